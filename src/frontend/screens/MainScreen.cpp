#include "frontend/screens/MainScreen.h"

#include <cstdio>
#include <cstring>

#include "foundation/PlistTag.h"
#include "frontend/GameDrawing.h"
#include "frontend/MainLoop.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/controls/KeyEditor.h"
#include "frontend/controls/SliderGL.h"
#include "frontend/screens/HelpScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "game/Game.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageBuffer.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/TextRender.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"

MainScreen mainSCREEN;

namespace {

const char* const kButtonPictures[MainScreen::kButtons] = {"Interface/Buttons/Play", "Interface/Buttons/Help",
                                                           "Interface/Buttons/Sound", "Interface/Buttons/Music",
                                                           "Interface/Buttons/Quit"};
const UInt8 kFadeStep = 10;
const int kTitleMeteors = 8;
// Text is rendered 1.6 times larger than it is shown, for smooth edges.
const float kTextScale = 1.6f;
const float kRowPitch = 34.08f, kRowTextSize = 28.0f;
// The light of the Sound and Music buttons sits in this gap on their left.
const SInt16 kLightGap = 32;

struct KeyBox {
  SInt16 x, y, width, height;  // centre and size
};
// Left, right, up, down and fire of player 0; player 1's stand 176 right.
const KeyBox kKeyBoxes[5] = {
    {64, 372, 32, 32}, {128, 372, 32, 32}, {96, 340, 32, 32}, {96, 372, 32, 32}, {48, 444, 40, 32}};
const SInt16 kPlayerKeysApart = 176;

void SetTextColour(float r, float g, float b, float a) {
  imageBUFF.color.red = r;
  imageBUFF.color.green = g;
  imageBUFF.color.blue = b;
  imageBUFF.color.alpha = a;
}

void RenderScoresHook() { mainSCREEN.RenderScores(); }

std::string VersionString() {
  return std::string(reinterpret_cast<const char*>(APPL.shortVersion + 1), APPL.shortVersion[0]);
}

}  // namespace

void MakeRoomForLight(MSButton* button) {
  button->bounds.left = SInt16(button->bounds.left + kLightGap);
  button->bounds.right = SInt16(button->bounds.right + kLightGap);
  button->hitRect.right = button->bounds.right;
}

void ToggleSoundSwitch(Rect* bounds) {
  audioPREFS.soundOn = audioPREFS.soundOn ? 0 : 1;
  PlaySound_Game(&mainGUI.buttonSound, NextChan_Game(), bounds, 1.0f, 1.0f, 0);
}

void ToggleMusicSwitch(Music* music) {
  audioPREFS.musicOn = audioPREFS.musicOn ? 0 : 1;
  if (audioPREFS.musicOn)
    PlayMusic(music, 1);
  else
    StopMusic(music);
}

void DrawToggleLight(const MSButton& button, bool on, float scale) {
  SInt8 side = SInt8(scale * radioButtonIMAGE[0].Width());
  Rect r;
  SInt16 centre = SInt16(button.bounds.top + (button.bounds.bottom - button.bounds.top) / 2);
  SetRect2(&r, button.hitRect.left, SInt16(centre - side / 2 - 1), side, side);
  ImageGL& light = radioButtonIMAGE[on ? 1 : 0];
  UInt8 d = button.pressDepth;
  if (button.hilite || d > 0) {
    r.left = SInt16(r.left + d);
    r.right = SInt16(r.right + d);
    r.top = SInt16(r.top + d);
    r.bottom = SInt16(r.bottom + d);
    light.SetBright(1.0f - d / 6.0f);
  } else {
    light.SetBright(1.0f);
  }
  light.Draw(&r);
  light.SetBright(1.0f);
}

// ------------------------------------------------------------- the texts

std::string VersionLine(const char* version) { return std::string(version ? version : "") + "  (c) 2026 Halvane"; }

std::string FitText(const std::string& text, int room, float size, int (*measure)(const char* text, float size)) {
  if (measure(text.c_str(), size) <= room) return text;
  std::string cut = text;
  while (!cut.empty()) {
    cut.pop_back();
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    if (measure((cut + "...").c_str(), size) <= room) break;
  }
  return cut + "...";
}

std::vector<ScoreText> ScoreTableTexts(PlistTag* scoresArray, SInt16 rows, SInt16 highlightA, SInt16 highlightB,
                                       SInt16 right, int (*measure)(const char* text, float size)) {
  std::vector<ScoreText> texts;
  if (!scoresArray) return texts;
  for (SInt16 i = 0; i < rows; ++i) {
    PlistTag* row = scoresArray->GetChild(UInt16(i));
    if (!row) continue;  // a short table shows its rows and no more
    std::string name;
    SInt32 score = 0;
    char level = 0;
    row->GetString("Name", &name, 0);
    row->GetLong("Score", &score, 0);
    row->GetChar("Level", &level, 0);
    if (score == 0) continue;
    char scoreText[16], levelText[8];
    snprintf(scoreText, sizeof scoreText, "%d", int(score));
    snprintf(levelText, sizeof levelText, "%d", int(level));
    // The name keeps clear of its score, a gap between them.
    const int kNameLeft = 8, kGap = 16;
    if (measure) {
      const int scoreLeft = right - 32 - measure(scoreText, kRowTextSize);
      name = FitText(name, scoreLeft - kGap - kNameLeft, kRowTextSize, measure);
    }
    const bool highlighted = i == highlightA || i == highlightB;
    struct Pass {
      float offset, r, g, b, a;
    };
    const Pass plain[] = {{0, 0.0f, 1.0f, 0.75f, 0.7f}};
    const Pass bright[] = {{1, 0.5f, 0.25f, 0.0f, 0.65f}, {0, 1.0f, 0.9f, 0.0f, 1.0f}};
    const Pass* passes = highlighted ? &bright[0] : &plain[0];
    const int count = highlighted ? 2 : 1;
    for (int p = 0; p < count; ++p) {
      const Pass& s = passes[p];
      const float o = s.offset, baseline = 24 + i * kRowPitch + o;
      texts.push_back({name, kNameLeft + o, baseline, kRowTextSize, 0, s.r, s.g, s.b, s.a});
      texts.push_back({scoreText, right - 32 + o, baseline, kRowTextSize, 2, s.r, s.g, s.b, s.a});
      texts.push_back({levelText, right - 4 + o, baseline - 1, 0.65f * kRowTextSize, 2, s.r, s.g, s.b, s.a});
    }
  }
  return texts;
}

// ------------------------------------------------------------- the screen

MainScreen::MainScreen() : scale(1.0f) {
  nebulaRect = scoresRect = versionRect = Rect{0, 0, 0, 0};
  Reset();
}

void MainScreen::Reset() {
  leaveAction = kStay;
  fadeDirection = kFadingIn;
}

void MainScreen::Open() {
  scale = 0.75f;
  bounds = mainRECT;
  nebulaRect = bounds;
  viewRECT = bounds;
  SetRect2(&scoresRect, 379, 142, 241, 318);
  renderScoresProc = RenderScoresHook;

  MinBright_GL();
  LoadImage(&nebula, "Main/Nebula", 0);
  LoadImage(&main, "Main/Main", 1);
  LoadMusic(&music, "Music/Main");

  LoadImage_3Part(keyEDIT.border, "ZadOR/Key Border", 1);
  keyEDIT.selectSound = &blipSND;
  keyEDIT.assignSound = &dinkSND;
  keyEDIT.conflictSound = &metalSND[0];

  const SInt16 nw = nebula.Width(), nh = nebula.Height();
  SetRect2(&nebulaRect, SInt16(bounds.left + (bounds.right - bounds.left) / 2 - nw / 2),
           SInt16(bounds.top + (bounds.bottom - bounds.top) / 2 - nh / 2), nw, nh);

  RenderVersionText();
  RenderScores();

  for (int i = 0; i < kButtons; ++i) {
    MSButton& b = buttons[i];
    LoadGameImage(&b.titleImage, kButtonPictures[i], 1);
    SetRect2(&b.bounds, 52, SInt16(110 + 32 * i), SInt16(0.75 * b.titleImage.Width()),
             SInt16(0.75 * b.titleImage.Height()));
    b.hitRect = b.bounds;
    if (i == kSound || i == kMusic) MakeRoomForLight(&b);
  }
  // The screen sounds the Sound button's click itself, after the toggle.
  buttons[kSound].secondResource = nullptr;

  LoadImage(&clearScoresButton.titleImage, "ZadOR/HighScores", 1);
  {
    const SInt16 w = SInt16(0.75 * clearScoresButton.titleImage.Width());
    const SInt16 h = SInt16(0.75 * clearScoresButton.titleImage.Height());
    SetRect2(&clearScoresButton.bounds, SInt16(bounds.right - w / 2 - 140), SInt16(bounds.top - h / 2 + 122), w, h);
    clearScoresButton.hitRect = clearScoresButton.bounds;
  }

  SetupAudioSliders(&buttons[kSound], &buttons[kMusic], scale);

  keyEDIT.Init(2, 5);
  for (int p = 0; p < 2; ++p)
    for (int k = 0; k < 5; ++k) {
      const KeyBox& box = kKeyBoxes[k];
      Rect& r = keyEDIT.player[UInt32(p)].rect[UInt32(k)];
      SetRect2(&r, SInt16(box.x + kPlayerKeysApart * p - box.width / 2), SInt16(box.y - box.height / 2), box.width,
               box.height);
      keyEDIT.RenderKey(char(p), char(k));
    }

  for (int i = 0; i < kTitleMeteors; ++i) NewMeteor_Title(1);

  Reset();
  // The menu's music goes round until the menu is left.
  SetMusicLoop(&music, 1);
  SetMusicVolume(&music, 255);
  PlayMusic(&music, 1);
  EnableAllEvents();
  ShowCursorGL();
  ResetSpeedManager();
  ScreenGL::Open(1);
}

void MainScreen::Process() {
  if (animateDELAY == 0.0f) {
    nebula.rotation -= 0.1f;
    AnimateMeteors();
    for (MSButton& b : buttons) b.Animate();
    clearScoresButton.Animate();
    keyEDIT.Animate();
  }
  MoveMeteors_Title();

  // A panel in front of the menu (help, a question, name entry) takes the
  // input; the menu then neither fades nor leaves.
  if (!IsFront() || IsSuspended()) return;

  if (Brightness_GL() == 255) {
    UserInput input{};
    GetUserInput(&input);
    HandleButtons(&input);
  }

  if (leaveAction != kStay && Brightness_GL() == 0) {
    if (leaveAction == kLeaveToGame) {
      StopMusic(&music);
      Dispose();
      ScreenGL::Close();
      StartGame();
      ResetSpeedManager();
      return;
    }
    if (leaveAction == kLeaveToQuit) applQUIT = 1;
  }
  Fade();
}

// The buttons answer at full brightness only, and not once the menu is
// leaving for a game or the end.
bool MainScreen::TakesInput() const { return !IsSuspended() && leaveAction == kStay && Brightness_GL() == 255; }

void MainScreen::HandleButtons(UserInput* input) {
  for (int i = 0; i < kButtons; ++i) {
    MSButton& b = buttons[i];
    if (!b.HandleInput(input, 4, 0)) continue;
    switch (i) {
      case kPlay:
        HideCursorGL();
        StartGame_MainScreen();
        break;
      case kHelp: helpSCREEN.Open(); break;
      case kSound: ToggleSoundSwitch(&b.bounds); break;
      case kMusic: ToggleMusicSwitch(&music); break;
      case kQuit:
        leaveAction = kLeaveToQuit;
        fadeDirection = kFadingOut;
        break;
    }
  }
  if (clearScoresButton.ControlGL::HandleInput(input, 4, 0))
    confirmSCREEN.Open(kClearScoresQuestion, kConfirmClearScores);
  HandleAudioSliders(input);
  keyEDIT.HandleInput(input);
}

void MainScreen::Fade() {
  if (fadeDirection != kFadingIn) {
    Darker_GL(kFadeStep);
    SetMusicVolume(&music, glFADER.Bright());
    return;
  }
  if (Brightness_GL() >= 255) return;
  Brighter_GL(kFadeStep);
  if (Brightness_GL() != 255) return;
  // Fully bright: did the game just ended put a player in the table?
  if (mainSCORES.Check("Score")) {
    Rect centre = mainRECT;
    PlaySound_Game(&powerSND, NextChan_Game(), &centre, 1.0f, 1.0f, 0);
    EnterScoreName();
  }
  RenderScores();
}

namespace {

// Nothing was drawn into this frame before the screen: no game, and no open
// screen beneath it. The frame is then still the black it was cleared to.
bool FirstInTheFrame(const ScreenGL* screen) {
  if (gamePLAY || !screenList) return false;
  for (auto* link = screenList->First(); link; link = screenList->Next(link))
    if (link->item->open) return link->item == screen;
  return false;
}

}  // namespace

void MainScreen::Draw() {
  // The dark page: over the black a frame starts with, it would change no
  // pixel, so it is drawn only over what something else drew first.
  if (!FirstInTheFrame(this)) {
    Rect page = bounds;
    pixelIMAGE.SetBright(0.0f);
    pixelIMAGE.alpha = 1.0f;
    pixelIMAGE.Draw(&page);
    pixelIMAGE.SetBright(1.0f);
  }

  nebula.Draw(&nebulaRect);
  DrawMeteors();
  main.Draw(&bounds);

  for (MSButton& b : buttons) b.Draw();
  clearScoresButton.Draw();

  DrawToggleLight(buttons[kSound], audioPREFS.soundOn != 0, 0.75f);
  DrawToggleLight(buttons[kMusic], audioPREFS.musicOn != 0, 0.75f);

  for (AudioSlider& s : audioSLIDER) s.Draw(scale);
  keyEDIT.Draw();

  DrawWithShadow(&version, &versionRect, 2, 2, 1);
  DrawWithShadow(&scores, &scoresRect, 2, 2, 1);
}

void MainScreen::RenderVersionText() {
  const std::string text = VersionLine(VersionString().c_str());
  imageBUFF.Clear();
  SetTextColour(0.75f, 0.6f, 1.0f, 1.0f);
  Rect region{0, 0, 32, 400};
  DrawText(&imageBUFF, text.c_str(), vagRoundFONT, 24, 394, 24, 2);
  version.Update(&imageBUFF, &region);
  version.hasAlpha = 1;
  SetRect2(&versionRect, SInt16(bounds.right - 270), 76, SInt16(version.Width() / kTextScale),
           SInt16(version.Height() / kTextScale));
}

void MainScreen::RenderScores() {
  Rect region{0, 0, SInt16(kTextScale * (scoresRect.bottom - scoresRect.top)),
              SInt16(kTextScale * (scoresRect.right - scoresRect.left))};
  imageBUFF.Clear();
  PlistTag* table = mainSCORES.document.FindArray("Scores", 0);
  if (!table) return;  // the old picture stays
  SInt16 highlight[2] = {-1, -1};
  for (UInt32 p = 0; p < 2 && p < mainSCORES.checkEntry.Size(); ++p) highlight[p] = mainSCORES.checkEntry[p].position;
  auto measure = [](const char* text, float size) { return DrawTextWidth(text, vagRoundFONT, size); };
  for (const ScoreText& t :
       ScoreTableTexts(table, mainSCORES.NumScores(), highlight[0], highlight[1], region.right, measure)) {
    SetTextColour(t.red, t.green, t.blue, t.alpha);
    DrawText(&imageBUFF, t.text.c_str(), vagRoundFONT, t.size, t.x, t.y, t.align);
  }
  scores.Update(&imageBUFF, &region);
  scores.hasAlpha = 1;
}

void MainScreen::Dispose() {
  main.Dispose();
  nebula.Dispose();
  DisposeMusic(&music);
}

void StartGame_MainScreen() {
  mainSCREEN.leaveAction = MainScreen::kLeaveToGame;
  mainSCREEN.fadeDirection = MainScreen::kFadingOut;
}

void OpenMainScreen() { mainSCREEN.Open(); }

void EnterScoreName() {
  for (UInt32 p = 0; p < 2 && p < mainSCORES.checkEntry.Size(); ++p) {
    if (mainSCORES.checkEntry[p].position == -1) continue;
    enterNameSCREEN[p].Open(char(p), PREFS.lastPlayer[p].c_str());
  }
}
