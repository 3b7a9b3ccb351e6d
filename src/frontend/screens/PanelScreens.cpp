#include "frontend/screens/PanelScreens.h"

#include <cstdio>
#include <string>

#include "frontend/ApplicationHooks.h"
#include "frontend/KeyNames.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageBuffer.h"
#include "platform/EventPlatform.h"
#include "platform/KeyCodes.h"
#include "shell/Events.h"
#include "shell/KeyState.h"

InputScreen enterNameSCREEN[2];
ConfirmScreen confirmSCREEN;

const char* const kClearScoresQuestion = "Are you sure you want to clear the high scores?";
const char* const kQuitQuestion = "Are you sure you want to quit the game in progress?";

void (*renderScoresProc)() = nullptr;

namespace {

// Mouse-down, mouse-up, key-down, key-up and auto-key.
const UInt16 kInputEventsMask = 62;
const float kShrink = 1.6f;
// About a second and a half of steps: as long as a player takes to see the
// panel and stop playing.
const SInt16 kSettleSteps = 90;

void RenderScores() {
  if (renderScoresProc) renderScoresProc();
}

// The prompt line into its picture, and the picture's place on the panel.
void RenderPrompt(ImageGL* prompt, Rect* promptRect, const Rect& bounds, const char* text) {
  imageBUFF.Clear();
  Rect region{0, 0, 36, 740};
  imageBUFF.color.red = 0.85f;
  imageBUFF.color.green = 0.77f;
  imageBUFF.color.blue = 0.96f;
  imageBUFF.color.alpha = 1.0f;
  DrawText(&imageBUFF, text, vagRoundFONT, 1.6f * 12, 4, 26, 0);
  prompt->Update(&imageBUFF, &region);
  prompt->hasAlpha = 1;
  SetRect2(promptRect, bounds.left + 26, bounds.top + 26, SInt16(prompt->Width() / kShrink),
           SInt16(prompt->Height() / kShrink));
}

void DrawPanel(ImageGL* panel, const Rect& bounds, ImageGL* prompt, Rect* promptRect) {
  DarkenGamePicture(0.5f);
  Rect r = bounds;
  panel->Draw(&r);
  DrawWithShadow(prompt, promptRect, 2, 2, 1);
}

void PrepareButton(MSButton* button) {
  button->Reset();
  button->pressScale = 0.75f;
  button->pressDepth = 0;
}

}  // namespace

Rect PanelBounds(const ImageGL& panel) {
  SInt16 w = SInt16(panel.Width() / kShrink), h = SInt16(panel.Height() / kShrink);
  Rect r;
  r.left = SInt16(mainRECT.left + (mainRECT.right - mainRECT.left) / 2 - w / 2);
  r.top = SInt16(0.35 * (mainRECT.bottom - mainRECT.top) - h / 2.0);
  r.right = SInt16(r.left + w);
  r.bottom = SInt16(r.top + h);
  return r;
}

void DarkenGamePicture(float alpha) {
  Rect all = mainRECT;
  pixelIMAGE.SetBright(0.0f);
  pixelIMAGE.alpha = alpha;
  pixelIMAGE.Draw(&all);
  pixelIMAGE.alpha = 1.0f;
  pixelIMAGE.SetBright(1.0f);
}

std::string TrimBlanks(const std::string& name) {
  const size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

char PanelKey() {
  const EventRecord* e = gEventREC ? gEventREC : &theEVENT;
  if (e->what != keyDown && e->what != autoKey) return 0;
  if (ModifierEvent(136, nullptr)) return 0;
  return char(e->message & 0xFF);
}

// ---------------------------------------------------------------- name entry

void InputScreen::Open(char who, const char* name) {
  LoadImage(&panel, "ZadOR/InputScreen", 1);
  bounds = PanelBounds(panel);
  if (who == 1 && enterNameSCREEN[0].IsOpen()) {
    bounds.top += 96;
    bounds.bottom += 96;
  }

  PrepareButton(&okButton);
  LoadImage(&okButton.titleImage, "ZadOR/OK", 1);
  SInt16 w = SInt16(okButton.titleImage.Width() / kShrink), h = SInt16(okButton.titleImage.Height() / kShrink);
  SetRect2(&okButton.bounds, bounds.right - w / 2 - 50, bounds.top - h / 2 + 72, w, h);
  okButton.hitRect = okButton.bounds;

  SetRect2(&nameField.bounds, bounds.left + 234, bounds.top + 56, 200, 32);
  nameField.hitRect = nameField.bounds;
  nameField.text.clear();
  nameField.caret = 0;
  nameField.allSelected = false;
  nameField.InsertText(name ? name : "");
  nameField.textRect = nameField.bounds;
  nameField.textRect.left += 4;
  nameField.textRect.top += 4;
  nameField.textRect.right -= 4;
  nameField.textRect.bottom -= 4;
  nameField.keySound = &dinkSND;
  nameField.deleteSound = &bounceSND;
  nameField.Render();
  okButton.enabled = TrimBlanks(nameField.text).empty() ? 0 : 1;

  RenderText(who);
  // The last game's name stands selected: typing replaces it, Return keeps it.
  nameField.SelectAll();
  player = UInt8(who);
  for (UInt8 code = 0; code < 128; ++code) heldAtOpen[code] = KeyState(code);
  settleSteps = kSettleSteps;
  FlushEvents(kInputEventsMask, 0);
  ScreenGL::Open(1);
}

// A player still at the controls as the game ended does not mean to type:
// a key held since the panel opened, and a game key pressed in its first
// moment, are dropped, and the offered name stays selected.
bool InputScreen::MeantForTheName(const EventRecord* e) {
  for (UInt8 code = 0; code < 128; ++code)
    if (heldAtOpen[code] && !KeyState(code)) heldAtOpen[code] = false;
  if (e->what != keyDown && e->what != autoKey) return true;
  const UInt8 code = UInt8((e->message >> 8) & 0x7F);
  if (heldAtOpen[code]) return false;
  if (settleSteps > 0)
    for (UInt8 k : playerKEY)
      if (k == code) return false;
  return true;
}

void InputScreen::RenderText(char who) {
  int p = who == 1 ? 1 : 0;
  char text[96];
  snprintf(text, sizeof text, "Player #%d got a new high score of %d!", p + 1, int(playerSCORE[p]));
  RenderPrompt(&prompt, &promptRect, bounds, text);
}

void InputScreen::Process() {
  if (animateDELAY == 0.0f) {
    nameField.Animate();
    okButton.Animate();
  }
  if (settleSteps > 0) --settleSteps;
  if (!IsFront()) return;
  UserInput input{};
  GetUserInput(&input);
  char key = MeantForTheName(gEventREC ? gEventREC : &theEVENT) ? PanelKey() : 0;
  if (key == keychar::kTab) nameField.Select();
  if ((key == keychar::kReturn || key == keychar::kEnter) && okButton.enabled) {
    selectedCONTROL = nullptr;
    okButton.Press();
  }
  nameField.HandleInput(&input, key);
  // Blanks around a name are not kept; a name of blanks only is no name.
  const std::string name = TrimBlanks(nameField.text);
  okButton.enabled = name.empty() ? 0 : 1;
  if (!okButton.ControlGL::HandleInput(&input, 4, 0)) return;
  SetNewScoreName(char(player), name.c_str());
  RenderScores();
  ScreenGL::Close();
  FlushEvents(kInputEventsMask, 0);
  if (enterNameSCREEN[0].IsOpen()) {
    enterNameSCREEN[0].nameField.SelectAll();
  } else {
    RenderScores();
  }
}

void InputScreen::Draw() {
  DrawPanel(&panel, bounds, &prompt, &promptRect);
  nameField.Draw();
  okButton.Draw();
}

// -------------------------------------------------------------- confirmation

void ConfirmScreen::Open(const char* text, ConfirmTag t) {
  tag = t;
  LoadImage(&panel, "ZadOR/InputScreen", 1);
  bounds = PanelBounds(panel);
  for (MSButton& b : buttons) PrepareButton(&b);
  LoadImage(&buttons[kConfirm].titleImage,
            tag == kConfirmQuit ? "Graphics/Interface/Buttons/Quit" : "Graphics/Interface/Buttons/Clear", 1);
  LoadImage(&buttons[kCancel].titleImage, "ZadOR/Cancel", 1);
  MSButton& yes = buttons[kConfirm];
  SInt16 w = SInt16(yes.titleImage.Width() / kShrink), h = SInt16(yes.titleImage.Height() / kShrink);
  SetRect2(&yes.bounds, SInt16(bounds.right - 30 - yes.titleImage.Width() / kShrink), bounds.bottom - 48, w, h);
  MSButton& no = buttons[kCancel];
  SetRect2(&no.bounds, bounds.right - 280, bounds.bottom - 48, SInt16(no.titleImage.Width() / kShrink),
           SInt16(no.titleImage.Height() / kShrink));
  for (MSButton& b : buttons) b.hitRect = b.bounds;
  RenderText(text);
  ScreenGL::Open(1);
}

void ConfirmScreen::RenderText(const char* text) { RenderPrompt(&prompt, &promptRect, bounds, text ? text : ""); }

void ConfirmScreen::Process() {
  for (MSButton& b : buttons) b.Animate();
  UserInput input{};
  GetUserInput(&input);
  char key = PanelKey();
  if (key == keychar::kReturn || key == keychar::kEnter) buttons[kConfirm].Press();
  if (key == keychar::kEscape) buttons[kCancel].Press();
  for (int i = 0; i < 2; ++i) {
    if (!buttons[i].HandleInput(&input, 4, 0)) continue;
    if (tag == kConfirmClearScores) {
      if (i == kConfirm) {
        Rect centre = mainRECT;
        PlayControlSound(&powerSND, &centre);
        ClearScoresAndReload();
        RenderScores();
      }
    } else {
      if (i == kConfirm) {
        applQUIT = 1;
        gameOVER = 1;
      }
      if (gameFREEZE) --gameFREEZE;
      QuitQuestionClosed();
      // The Escape or Return that answered must not reach the loop's pause
      // trigger as a new request once the game runs again.
      mainINPUT[kInputEscape] = 0;
      mainINPUT[kInputReturn] = 0;
    }
    ScreenGL::Close();
    return;
  }
}

void ConfirmScreen::Draw() {
  DrawPanel(&panel, bounds, &prompt, &promptRect);
  for (MSButton& b : buttons) b.Draw();
}
