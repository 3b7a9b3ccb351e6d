#include "frontend/screens/AboutScreen.h"

#include <cstring>

#include "frontend/Resources.h"
#include "frontend/screens/PanelScreens.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageBuffer.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"

AboutScreen aboutSCREEN;

const char* const kAboutCreditLine2 = "Built on the Halvane engine";

std::string AboutCreditLine1(const char* version) {
  return std::string("Version ") + (version ? version : "") + " - (c) 2026 the Halvane developers";
}

void AboutScreen::Open() {
  LoadImage(&about, "ZadOR/About", 0);
  LoadImage(&shadow, "ZadOR/About-Shadow", 1);
  SInt16 w = SInt16(about.Width() / 1.6f), h = SInt16(about.Height() / 1.6f);
  bounds.left = SInt16(mainRECT.left + (mainRECT.right - mainRECT.left) / 2 - w / 2);
  bounds.top = SInt16(0.388 * (mainRECT.bottom - mainRECT.top) - h / 2.0);
  bounds.right = SInt16(bounds.left + w);
  bounds.bottom = SInt16(bounds.top + h);

  char version[256];
  memcpy(version, APPL.shortVersion + 1, APPL.shortVersion[0]);
  version[APPL.shortVersion[0]] = 0;
  std::string line1 = AboutCreditLine1(version);
  imageBUFF.Clear();
  Rect region{0, 0, 40, 600};
  imageBUFF.color.red = 0.75f;
  imageBUFF.color.green = 0.6f;
  imageBUFF.color.blue = 1.0f;
  imageBUFF.color.alpha = 1.0f;
  DrawText(&imageBUFF, line1.c_str(), vagRoundFONT, 16, 300, 16, 1);
  DrawText(&imageBUFF, kAboutCreditLine2, vagRoundFONT, 16, 300, 36, 1);
  text.Update(&imageBUFF, &region);
  text.hasAlpha = 1;
  SInt16 tw = SInt16(text.Width() / 1.6f), th = SInt16(text.Height() / 1.6f);
  SetRect2(&textRect, bounds.left + (bounds.right - bounds.left) / 2 - tw / 2,
           SInt16(bounds.top + 0.33 * (bounds.bottom - bounds.top) - th / 2.0), tw, th);
  ++gameFREEZE;
  ScreenGL::Open(1);
}

void AboutScreen::Process() {
  UserInput input{};
  GetUserInput(&input);
  if (!input.down && !input.clicked) return;
  ScreenGL::Close();
  if (gameFREEZE) --gameFREEZE;
}

void AboutScreen::Draw() {
  DarkenGamePicture(0.5f);
  Rect s = bounds;
  s.left += 12 - 4;
  s.right += 12 + 4;
  s.top += 12 - 4;
  s.bottom += 12 + 4;
  shadow.Draw(&s);
  about.Draw(&bounds);
  DrawWithShadow(&text, &textRect, 2, 2, 1);
}
