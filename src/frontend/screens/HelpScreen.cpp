#include "frontend/screens/HelpScreen.h"

#include <cstdio>

#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/screens/PanelScreens.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "shell/Events.h"
#include "shell/Launching.h"

HelpScreen helpSCREEN;
LoadScreen loadSCREEN;

const char* const kSupportMailURL = "mailto:support@halvane.invalid?subject=Halvane%20Support";

namespace {

const float kShrink = 1.6f;
const char* const kButtonPictures[3] = {"Help/Next", "Help/Prev", "Help/Done"};

Rect CentredIn(const Rect& outer, SInt16 w, SInt16 h) {
  Rect r;
  r.left = SInt16(outer.left + (outer.right - outer.left) / 2 - w / 2);
  r.top = SInt16(outer.top + (outer.bottom - outer.top) / 2 - h / 2);
  r.right = SInt16(r.left + w);
  r.bottom = SInt16(r.top + h);
  return r;
}

void OffsetRect2(Rect* r, SInt16 dh, SInt16 dv) {
  r->left += dh;
  r->right += dh;
  r->top += dv;
  r->bottom += dv;
}

}  // namespace

void HelpScreen::Open() {
  LoadImage(&frame, "Help/Help Screen", 1);
  bounds = CentredIn(mainRECT, SInt16(frame.Width() / kShrink), SInt16(frame.Height() / kShrink));

  for (int i = 0; i < 3; ++i) {
    MSButton& b = buttons[i];
    b.Reset();
    LoadImage(&b.titleImage, kButtonPictures[i], 1);
    SInt16 w = SInt16(b.titleImage.Width() / kShrink), h = SInt16(b.titleImage.Height() / kShrink);
    SetRect2(&b.bounds, bounds.right - 88 * i - w / 2 - 48, bounds.bottom - h / 2 - 20, w, h);
    b.pressDepth = 0;
    b.pressScale = 0.75f;
    OffsetRect2(&b.bounds, -12, -15);
    b.hitRect = b.bounds;
  }

  emailButton.Reset();
  LoadImage(&emailButton.titleImage, "Help/Email", 1);
  SInt16 w = SInt16(0.8 * emailButton.titleImage.Width() / kShrink);
  SInt16 h = SInt16(0.8 * emailButton.titleImage.Height() / kShrink);
  SetRect2(&emailButton.bounds, bounds.left - w / 2 + 68, bounds.bottom - h / 2 - 22, w, h);
  OffsetRect2(&emailButton.bounds, -4, -15);
  emailButton.hitRect = emailButton.bounds;
  emailButton.pressDepth = 0;
  emailButton.pressScale = 0.75f;
  emailButton.visible = 1;

  pageCount = 4;
  buttons[kNext].enabled = 1;
  buttons[kPrev].enabled = 0;
  pageIndex = 0;
  LoadPage();
  pageRect = CentredIn(bounds, SInt16(page.Width() / kShrink), SInt16(page.Height() / kShrink));
  ScreenGL::Open(1);
}

void HelpScreen::LoadPage() {
  char name[32];
  snprintf(name, sizeof name, "Help/Help %d", pageIndex + 1);
  LoadImage(&page, name, 1);
}

void HelpScreen::Process() {
  emailButton.Animate();
  UserInput input{};
  GetUserInput(&input);
  for (int i = 0; i < 3; ++i) {
    MSButton& b = buttons[i];
    if (b.pressDepth) --b.pressDepth;
    if (!b.HandleInput(&input, 4, 0)) continue;
    if (i == kDone) {
      PREFS.firstPlay = 0;
      Dispose();
      ScreenGL::Close();
      return;
    }
    if (i == kNext && pageIndex < pageCount - 1) {
      ++pageIndex;
      LoadPage();
      buttons[kPrev].enabled = 1;
      if (pageIndex == pageCount - 1) buttons[kNext].enabled = 0;
    } else if (i == kPrev && pageIndex > 0) {
      --pageIndex;
      LoadPage();
      buttons[kNext].enabled = 1;
      if (pageIndex == 0) buttons[kPrev].enabled = 0;
    }
    emailButton.visible = pageIndex <= 1 ? 1 : 0;
  }
  if (emailButton.ControlGL::HandleInput(&input, 4, 0)) LaunchURL(kSupportMailURL, nullptr);
}

void HelpScreen::Draw() {
  DarkenGamePicture(0.75f);
  frame.Draw(&bounds);
  page.Draw(&pageRect);
  for (MSButton& b : buttons) b.Draw();
  emailButton.Draw();
}

void HelpScreen::Dispose() {
  frame.Dispose();
  page.Dispose();
}

void LoadScreen::Open() {
  LoadImage(&picture, "Graphics/Loading", 1);
  loaded = 1;
  NormBright_GL();
  ScreenGL::Open(1);
}

void LoadScreen::Draw() {
  Rect all = mainRECT;
  picture.Draw(&all);
}
