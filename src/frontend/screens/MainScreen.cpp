#include "frontend/screens/MainScreen.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "foundation/Letterbox.h"
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
#include "graphics/OpenGLContext.h"
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
  ++layoutsDone;
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

// ------------------------------------------------- what lies over the nebula

namespace {

UInt64 Mix(UInt64 h, UInt64 v) { return (h ^ v) * 1099511628211ull; }
UInt64 MixFloat(UInt64 h, float f) {
  UInt32 bits;
  std::memcpy(&bits, &f, sizeof bits);
  return Mix(h, bits);
}
UInt64 ButtonState(const MSButton& b) {
  UInt64 h = 14695981039346656037ull;
  for (UInt64 v : {UInt64(b.visible), UInt64(b.enabled), UInt64(b.hilite), UInt64(b.pressDepth),
                   UInt64(b.titleImage.texture), UInt64(UInt16(b.bounds.left)), UInt64(UInt16(b.bounds.top)),
                   UInt64(UInt16(b.bounds.right)), UInt64(UInt16(b.bounds.bottom))})
    h = Mix(h, v);
  return MixFloat(MixFloat(h, b.titleImage.alpha), b.pressScale);
}
Rect Grown(Rect r, SInt16 right, SInt16 down) {
  r.right = SInt16(r.right + right);
  r.bottom = SInt16(r.bottom + down);
  return r;
}
Rect Union(const Rect& a, const Rect& b) {
  return Rect{std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom),
              std::max(a.right, b.right)};
}
// A button's picture moves down and right by its press, four at most.
SInt16 PressRoom(const MSButton& b) { return SInt16(b.pressScale * 6 + 2); }

}  // namespace

// The port rectangle a layer can paint in any of its states.
Rect MainScreen::StillLayerArea(int layer) const {
  if (layer < kButtons) return Grown(buttons[layer].bounds, PressRoom(buttons[layer]), PressRoom(buttons[layer]));
  switch (layer) {
    case kClearScoresLayer:
      return Grown(clearScoresButton.bounds, PressRoom(clearScoresButton), PressRoom(clearScoresButton));
    case kSoundLight:
    case kMusicLight: {
      const MSButton& b = buttons[layer == kSoundLight ? kSound : kMusic];
      const SInt8 side = SInt8(0.75f * radioButtonIMAGE[0].Width());
      const SInt16 centre = SInt16(b.bounds.top + (b.bounds.bottom - b.bounds.top) / 2);
      Rect r;
      SetRect2(&r, b.hitRect.left, SInt16(centre - side / 2 - 1), side, side);
      return Grown(r, PressRoom(b), PressRoom(b));
    }
    case kFirstSlider:
    case kFirstSlider + 1: return audioSLIDER[layer - kFirstSlider].bounds;
    case kKeysLayer: {
      Rect all = keyEDIT.player[0].rect[0];
      for (int p = 0; p < keyEDIT.numPlayers; ++p)
        for (int k = 0; k < keyEDIT.numKeys; ++k) all = Union(all, keyEDIT.player[UInt32(p)].rect[UInt32(k)]);
      return all;
    }
    case kVersionLayer: return Grown(versionRect, 2, 2);
    default: return Grown(scoresRect, 2, 2);
  }
}

// All a layer's picture depends on; a copied layer whose state differs from
// the copy's makes a new copy.
UInt64 MainScreen::StillLayerState(int layer) const {
  if (layer < kButtons) return ButtonState(buttons[layer]);
  switch (layer) {
    case kClearScoresLayer: return ButtonState(clearScoresButton);
    case kSoundLight:
    case kMusicLight: {
      const bool sound = layer == kSoundLight;
      UInt64 h = ButtonState(buttons[sound ? kSound : kMusic]);
      h = Mix(h, sound ? audioPREFS.soundOn : audioPREFS.musicOn);
      return Mix(Mix(h, radioButtonIMAGE[0].texture), radioButtonIMAGE[1].texture);
    }
    case kFirstSlider:
    case kFirstSlider + 1: {
      const AudioSlider& s = audioSLIDER[layer - kFirstSlider];
      return Mix(Mix(Mix(14695981039346656037ull, UInt64(UInt16(s.value))), volumeIMAGE.texture),
                 UInt64(UInt16(s.bounds.left)));
    }
    case kVersionLayer: return Mix(Mix(14695981039346656037ull, version.texture), versionsDone);
    case kScoresLayer: return Mix(Mix(14695981039346656037ull, scores.texture), scoresDone);
    // The key names are rendered again in place, with nothing to tell: the
    // key editor is never copied.
    default: return 0;
  }
}

void MainScreen::DrawStillLayer(int layer) {
  if (layer < kButtons) return buttons[layer].Draw();
  switch (layer) {
    case kClearScoresLayer: return clearScoresButton.Draw();
    case kSoundLight: return DrawToggleLight(buttons[kSound], audioPREFS.soundOn != 0, 0.75f);
    case kMusicLight: return DrawToggleLight(buttons[kMusic], audioPREFS.musicOn != 0, 0.75f);
    case kFirstSlider:
    case kFirstSlider + 1: return audioSLIDER[layer - kFirstSlider].Draw(scale);
    case kKeysLayer: return keyEDIT.Draw();
    case kVersionLayer: return DrawWithShadow(&version, &versionRect, 2, 2, 1);
    default: return DrawWithShadow(&scores, &scoresRect, 2, 2, 1);
  }
}

void MainScreen::ForgetStill() {
  still.copy.Forget();
  still.sorted = false;
}

namespace {

// Window pixels (x from the left, y from the bottom) that a port rectangle's
// quad can reach: every pixel whose centre lies inside it.
ScissorBox ReachOf(const Rect& r) {
  const Rect& port = glDrawVars.portRect;
  const Letterbox box = ComputeLetterbox(port.right - port.left, port.bottom - port.top,
                                         glDrawVars.windRect.right - glDrawVars.windRect.left,
                                         glDrawVars.windRect.bottom - glDrawVars.windRect.top);
  const int left = int(std::floor((r.left - port.left) * box.s + box.mx)) - 1;
  const int right = int(std::ceil((r.right - port.left) * box.s + box.mx)) + 1;
  const int bottom = int(std::floor((port.bottom - r.bottom) * box.s + box.my)) - 1;
  const int top = int(std::ceil((port.bottom - r.top) * box.s + box.my)) + 1;
  return ScissorBox{left, bottom, right - left, top - bottom};
}

bool Meet(const ScissorBox& a, const ScissorBox& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

}  // namespace

// On the black the frame was cleared to: draws the panel frame over black
// and over white, and sorts the window's pixels by what the frame did to
// them. A pixel that came out the same over both is covered (whatever lay
// under it, blending, being monotone, gives the same); one that came out
// black and white is left as it was; the rest let what is under them be
// seen. The picture is black again afterwards.
void MainScreen::SortStillTiles() {
  still.copy.Forget(still.context == CurrentContextSerial());
  GLint scissor[4];
  glGetIntegerv(GL_SCISSOR_BOX, scissor);
  const ScissorBox area{scissor[0], scissor[1], scissor[2], scissor[3]};
  const int ww = glDrawVars.windRect.right - glDrawVars.windRect.left,
            wh = glDrawVars.windRect.bottom - glDrawVars.windRect.top;
  main.Draw(&bounds);
  const std::vector<UInt8> overBlack = ReadWindowPixels(ww, wh);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  main.Draw(&bounds);
  const std::vector<UInt8> overWhite = ReadWindowPixels(ww, wh);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);

  // By pixel of the area, from its bottom left.
  std::vector<UInt8> kind(size_t(std::max(area.width, 0)) * size_t(std::max(area.height, 0)), Still::kLeft);
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x) {
      const int wx = area.x + x, wy = area.y + y;
      if (wx < 0 || wy < 0 || wx >= ww || wy >= wh) continue;
      const UInt8* b = &overBlack[(size_t(wy) * size_t(ww) + size_t(wx)) * 4];
      const UInt8* w = &overWhite[(size_t(wy) * size_t(ww) + size_t(wx)) * 4];
      UInt8& k = kind[size_t(y) * size_t(area.width) + size_t(x)];
      if (std::memcmp(b, w, 3) == 0)
        k = Still::kCovered;
      else if (b[0] || b[1] || b[2] || w[0] != 255 || w[1] != 255 || w[2] != 255)
        k = Still::kSeenThrough;
    }
  auto allCovered = [&](const ScissorBox& r) {
    if (r.x < area.x || r.y < area.y || r.x + r.width > area.x + area.width || r.y + r.height > area.y + area.height)
      return false;
    for (int y = r.y - area.y; y < r.y - area.y + r.height; ++y)
      for (int x = r.x - area.x; x < r.x - area.x + r.width; ++x)
        if (kind[size_t(y) * size_t(area.width) + size_t(x)] != Still::kCovered) return false;
    return true;
  };

  // A layer is copied when all it can reach is covered and no layer drawn
  // each frame reaches into it; the others are drawn each frame, and so is
  // the key editor, whose names are rendered again in place.
  const int layers = kStillLayers;
  std::vector<ScissorBox> reach;
  for (int i = 0; i < layers; ++i) reach.push_back(ReachOf(StillLayerArea(i)));
  still.live.assign(size_t(layers), false);
  still.live[kKeysLayer] = true;
  for (int i = 0; i < layers; ++i)
    if (!allCovered(reach[size_t(i)])) still.live[size_t(i)] = true;
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 0; i < layers; ++i) {
      if (still.live[size_t(i)]) continue;
      for (int j = 0; j < layers; ++j)
        if (still.live[size_t(j)] && Meet(reach[size_t(i)], reach[size_t(j)])) {
          still.live[size_t(i)] = true;
          changed = true;
          break;
        }
    }
  }

  // Tiles of covered pixels that no live layer reaches are copied too, and
  // so is what each copied layer reaches.
  const int fine = 4;
  const int fineColumns = (area.width + fine - 1) / fine, fineRows = (area.height + fine - 1) / fine;
  std::vector<UInt8> fineKinds(size_t(std::max(fineColumns * fineRows, 0)), Still::kLeft);
  for (int row = 0; row < fineRows; ++row)
    for (int c = 0; c < fineColumns; ++c) {
      const ScissorBox t{area.x + c * fine, area.y + row * fine, std::min(fine, area.width - c * fine),
                         std::min(fine, area.height - row * fine)};
      bool copied = allCovered(t);
      for (int i = 0; i < layers && copied; ++i)
        if (still.live[size_t(i)] && Meet(t, reach[size_t(i)])) copied = false;
      if (copied) fineKinds[size_t(row) * size_t(fineColumns) + size_t(c)] = Still::kCopied;
    }
  // Pixel by pixel, so that no pixel is copied twice.
  std::vector<UInt8> copiedPixels(kind.size(), Still::kLeft);
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x)
      if (fineKinds[size_t(y / fine) * size_t(fineColumns) + size_t(x / fine)] == Still::kCopied)
        copiedPixels[size_t(y) * size_t(area.width) + size_t(x)] = Still::kCopied;
  for (int i = 0; i < layers; ++i) {
    if (still.live[size_t(i)]) continue;
    const ScissorBox& r = reach[size_t(i)];
    for (int y = r.y - area.y; y < r.y - area.y + r.height; ++y)
      for (int x = r.x - area.x; x < r.x - area.x + r.width; ++x)
        copiedPixels[size_t(y) * size_t(area.width) + size_t(x)] = Still::kCopied;
  }
  still.copiedBoxes = BoxesOfKind(copiedPixels, area.width, area.height, 1, area, Still::kCopied);

  // The frame is drawn in larger tiles: unblended where all it shows is
  // covered, blended where it lets something through, not at all where it
  // leaves all as it was or all is copied over it. A few tiles between
  // blended ones are drawn blended too (over pixels it leaves, that changes
  // nothing) for fewer draws.
  const int tile = 16;
  const int columns = (area.width + tile - 1) / tile, rows = (area.height + tile - 1) / tile;
  std::vector<UInt8> kinds(size_t(std::max(columns * rows, 0)), Still::kLeft);
  for (int row = 0; row < rows; ++row)
    for (int c = 0; c < columns; ++c) {
      bool skip = true, covered = true;
      for (int fy = row * tile / fine; fy < std::min((row + 1) * tile / fine, fineRows); ++fy)
        for (int fx = c * tile / fine; fx < std::min((c + 1) * tile / fine, fineColumns); ++fx) {
          const bool copied = fineKinds[size_t(fy) * size_t(fineColumns) + size_t(fx)] == Still::kCopied;
          for (int y = fy * fine; !copied && y < std::min((fy + 1) * fine, area.height); ++y)
            for (int x = fx * fine; x < std::min((fx + 1) * fine, area.width); ++x) {
              const UInt8 k = kind[size_t(y) * size_t(area.width) + size_t(x)];
              if (k != Still::kLeft) skip = false;
              if (k != Still::kCovered) covered = false;
            }
        }
      kinds[size_t(row) * size_t(columns) + size_t(c)] =
          skip ? Still::kLeft : (covered ? Still::kCovered : Still::kSeenThrough);
    }
  // The nebula is needed where the frame is not drawn unblended and not all
  // is copied.
  std::vector<UInt8> under(kinds.size(), Still::kLeft);
  for (int row = 0; row < rows; ++row)
    for (int c = 0; c < columns; ++c) {
      bool allCopied = true;
      for (int fy = row * tile / fine; fy < std::min((row + 1) * tile / fine, fineRows); ++fy)
        for (int fx = c * tile / fine; fx < std::min((c + 1) * tile / fine, fineColumns); ++fx)
          if (fineKinds[size_t(fy) * size_t(fineColumns) + size_t(fx)] != Still::kCopied) allCopied = false;
      const size_t t = size_t(row) * size_t(columns) + size_t(c);
      if (kinds[t] != Still::kCovered && !allCopied) under[t] = Still::kSeenThrough;
    }
  const int kGap = 2;
  for (std::vector<UInt8>* map : {&kinds, &under})
    for (int row = 0; row < rows; ++row)
      for (int c = 0; c < columns; ++c) {
        UInt8* k = &(*map)[size_t(row) * size_t(columns)];
        if (k[c] != Still::kSeenThrough) continue;
        int next = c + 1;
        while (next < columns && k[next] == Still::kLeft) ++next;
        if (next < columns && next - c - 1 <= kGap && k[next] == Still::kSeenThrough)
          for (int g = c + 1; g < next; ++g) k[g] = Still::kSeenThrough;
      }
  still.underBoxes = BoxesOfKind(under, columns, rows, tile, area, Still::kSeenThrough);
  still.coveredBoxes = BoxesOfKind(kinds, columns, rows, tile, area, Still::kCovered);
  still.seenThroughBoxes = BoxesOfKind(kinds, columns, rows, tile, area, Still::kSeenThrough);
  still.area = area;
  still.context = CurrentContextSerial();
  still.window = glDrawVars.windRect;
  still.frameTexture = main.texture;
  still.layout = layoutsDone;
  still.sorted = true;
}

void MainScreen::Draw() {
  // Over a game or a screen beneath, everything is drawn whole, the dark
  // page first; and so it is while the draws are being recorded.
  const bool first = FirstInTheFrame(this);
  if (imageDrawRecorder || !first) {
    ForgetStill();
    // The dark page: over the black a frame starts with, it would change no
    // pixel.
    if (!first) {
      Rect page = bounds;
      pixelIMAGE.SetBright(0.0f);
      pixelIMAGE.alpha = 1.0f;
      pixelIMAGE.Draw(&page);
      pixelIMAGE.SetBright(1.0f);
    }
    nebula.Draw(&nebulaRect);
    DrawMeteors();
    main.Draw(&bounds);
    for (int i = 0; i < kStillLayers; ++i) DrawStillLayer(i);
    return;
  }
  // The frame is still the black it was cleared to, which sorting needs.
  if (!still.sorted || still.context != CurrentContextSerial() ||
      std::memcmp(&still.window, &glDrawVars.windRect, sizeof(Rect)) != 0 || still.frameTexture != main.texture ||
      still.layout != layoutsDone)
    SortStillTiles();
  DrawStill();
}

void MainScreen::DrawStill() {
  std::vector<UInt64> states(static_cast<size_t>(kStillLayers));
  for (int i = 0; i < kStillLayers; ++i) states[size_t(i)] = StillLayerState(i);
  bool copyGood = still.copy.Held() || still.copiedBoxes.empty();
  for (int i = 0; i < kStillLayers && copyGood; ++i)
    if (!still.live[size_t(i)] &&
        (still.copyOf.size() != states.size() || still.copyOf[size_t(i)] != states[size_t(i)]))
      copyGood = false;
  if (!copyGood) {
    // Drawn whole once, and the copied tiles taken from it.
    nebula.Draw(&nebulaRect);
    DrawMeteors();
    main.Draw(&bounds);
    for (int i = 0; i < kStillLayers; ++i) DrawStillLayer(i);
    still.copy.Take(still.copiedBoxes);
    still.copyOf = states;
    ++still.copiesTaken;
    return;
  }
  // The nebula only where something lets it be seen; the rocks are small,
  // and what covers them is drawn over them.
  DrawImageInBoxes(&nebula, &nebulaRect, still.underBoxes, still.area);
  DrawMeteors();
  // The frame where it covers, unblended; where it lets the nebula through,
  // blended; nowhere else.
  const UInt8 hadAlpha = main.hasAlpha;
  main.hasAlpha = 0;
  DrawImageInBoxes(&main, &bounds, still.coveredBoxes, still.area);
  main.hasAlpha = hadAlpha;
  DrawImageInBoxes(&main, &bounds, still.seenThroughBoxes, still.area);
  still.copy.Draw();
  for (int i = 0; i < kStillLayers; ++i)
    if (still.live[size_t(i)]) DrawStillLayer(i);
}

void MainScreen::RenderVersionText() {
  const std::string text = VersionLine(VersionString().c_str());
  imageBUFF.Clear();
  SetTextColour(0.75f, 0.6f, 1.0f, 1.0f);
  Rect region{0, 0, 32, 400};
  DrawText(&imageBUFF, text.c_str(), vagRoundFONT, 24, 394, 24, 2);
  version.Update(&imageBUFF, &region);
  version.hasAlpha = 1;
  ++versionsDone;
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
  ++scoresDone;
}

void MainScreen::Dispose() {
  ForgetStill();
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
