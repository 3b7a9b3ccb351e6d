// Each kind of dialog shown in its own window: the drawn window is read back
// and its controls are used with injected mouse clicks and keys.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/Timer.h"
#include "graphics/OpenGLContext.h"
#include "graphics/PNGFile.h"
#include "graphics/RenderedDialogs.h"
#include "graphics/TextRender.h"
#include "platform/DialogModel.h"
#include "platform/GLWindow.h"
#include "platform/QuickDrawColor.h"
#include "shell/ApplInfo.h"
#include "shell/DialogLibrary.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Launching.h"
#include "shell/MainPrefs.h"
#include "shell/NibDialogs.h"
#include "shell/PrefsDialogs.h"
#include "shell/StandardDialog.h"
#include "support/DisplayCheck.h"
#include "support/FakeEventPlatform.h"
#include "support/PictureColour.h"
#include "support/RecordingDialogs.h"
#include "support/RenderedDialogDriver.h"

namespace {

class RenderedDialogTest : public RenderedDialogDriver {
 protected:
  // Moves the pointer there until `ready` holds at a drawing (at most 200
  // drawings on), then runs `then`. The move is posted again at each try: the
  // window may also see the real pointer, which other tests on the display move.
  void PointUntil(int h, int v, std::function<bool()> ready, std::function<void()> then, int tries = 200) {
    Mouse(SDL_MOUSEMOTION, h, v);
    steps.push_front([=, this] {
      if (ready() || tries <= 0)
        then();
      else
        PointUntil(h, v, ready, then, tries - 1);
    });
  }
  // Runs `then` at the first drawing where `ready` holds (at most 200 drawings
  // on). Posted input may wait a pass: SDL ends a polling pass at the mark its
  // last pump left in the queue.
  void Until(std::function<bool()> ready, std::function<void()> then, int tries = 200) {
    steps.push_front([=, this] {
      if (ready() || tries <= 0)
        then();
      else
        Until(ready, then, tries - 1);
    });
  }
  // The leftmost and rightmost columns of a rectangle holding dark ink; -1 for none.
  std::pair<int, int> InkColumns(const Rect& r) {
    int first = -1, last = -1;
    for (int h = r.left; h < r.right; ++h)
      for (int v = r.top; v < r.bottom; ++v)
        if (At(h, v).r < 100) {
          if (first < 0) first = h;
          last = h;
          break;
        }
    return {first, last};
  }
  static Rect Inset(Rect r, SInt16 d) {
    return Rect{SInt16(r.top + d), SInt16(r.left + d), SInt16(r.bottom - d), SInt16(r.right - d)};
  }
  ControlRef ByCommand(UInt32 command) { return GetControlByCommand(dialog, command); }
};

bool Near(const Pixel& p, int r, int g, int b, int by = 8) {
  return std::abs(p.r - r) <= by && std::abs(p.g - g) <= by && std::abs(p.b - b) <= by;
}

std::string Show(const Pixel& p) { return std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b); }

// A picture file scaled to 32 by 32 over a grey background, each pixel the
// average of the file's pixels under it.
std::vector<Pixel> Scaled32(const std::string& path, int grey) {
  SInt32 w = 0, h = 0;
  UInt8* p = LoadPNG(path.c_str(), &w, &h, 0, nullptr, nullptr);
  std::vector<Pixel> out;
  if (!p) return out;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      int y0 = y * h / 32, y1 = std::max(y0 + 1, (y + 1) * h / 32);
      int x0 = x * w / 32, x1 = std::max(x0 + 1, (x + 1) * w / 32);
      double sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const UInt8* q = p + (sy * w + sx) * 4;
          double a = q[3] / 255.0;
          for (int c = 0; c < 3; ++c) sum[c] += q[c] * a + grey * (1 - a);
        }
      int n = (y1 - y0) * (x1 - x0);
      out.push_back(Pixel{int(sum[0] / n + 0.5), int(sum[1] / n + 0.5), int(sum[2] / n + 0.5)});
    }
  delete[] p;
  return out;
}

double MeanDifference(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    sum += std::abs(a[i].r - b[i].r) + std::abs(a[i].g - b[i].g) + std::abs(a[i].b - b[i].b);
  return a.empty() ? 0 : sum / (3.0 * double(a.size()));
}

std::string SourceNib() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist";
}

// The bundle the build made, whose Resources hold the engine's icons.
void UseBuiltBundle() {
  const char* bundle = getenv("HALVANE_BUNDLE");
  SetBundlePathForTesting(bundle ? bundle : "");
}

Rect IconArea(ControlRef c) {
  SInt16 left = SInt16((c->bounds.left + c->bounds.right) / 2 - 16), top = SInt16(c->bounds.top + 4);
  return Rect{top, left, SInt16(top + 32), SInt16(left + 32)};
}

TEST_F(RenderedDialogTest, ConfirmButtonsAnswerClicksAndKeys) {
  if (skip) return;
  Pixel background{}, okFace{}, cancelFace{};
  steps.push_back([&] {
    background = At(5, 60);
    okFace = At(280, 83);      // the default button, 270..340 by 80..100
    cancelFace = At(198, 83);  // the cancel button
    ClickControl(ByCommand(kHICommandCancel));
  });
  EXPECT_EQ(ConfirmDialog("Replace the file?", 0), kHICommandCancel);
  EXPECT_EQ(width, 360);
  EXPECT_TRUE(Near(background, 234, 234, 234)) << background.r;
  EXPECT_TRUE(Near(okFace, 191, 191, 191)) << okFace.r;
  EXPECT_TRUE(Near(cancelFace, 247, 247, 247)) << cancelFace.r;
  EXPECT_EQ(presenter.SurfaceOf(dialog), nullptr);  // closed with the dialog

  steps.push_back([&] { Key(SDLK_RETURN); });
  EXPECT_EQ(ConfirmDialog("Again?", 0), kHICommandOK);
  steps.push_back([&] { Key(SDLK_ESCAPE); });
  EXPECT_EQ(ConfirmDialog("Again?", 0), kHICommandCancel);
}

// The window lies where the dialog layout put the dialog.
TEST_F(RenderedDialogTest, TheWindowIsPlacedAtTheDialogsBounds) {
  if (skip) return;
  int x = -1, y = -1;
  Rect bounds{};
  std::function<void()> look = [&] {
    bounds = DialogRecord(dialog)->bounds;
    SDL_GetWindowPosition(reinterpret_cast<SDL_Window*>(surface->platform), &x, &y);
    if ((x == bounds.left && y == bounds.top) || draws > 150)
      Key(SDLK_RETURN);
    else
      steps.push_back(look);
  };
  steps.push_back(look);
  ShowAlertDialog(PStr("Placed."), PStr(""), "OK");
  EXPECT_EQ(x, bounds.left);
  EXPECT_EQ(y, bounds.top);
  Rect expected = DlogPosition(360, 120, 0);  // no game window: over the main screen
  EXPECT_EQ(bounds.left, expected.left);
  EXPECT_EQ(bounds.top, expected.top);
}

TEST_F(RenderedDialogTest, InputFieldTakesTypingAndShowsIt) {
  if (skip) return;
  Str255 text{0};
  Pixel emptyField{}, typedField{};
  auto darkest = [&] {
    int d = 255;
    for (int h = 78; h < 100; ++h)
      for (int v = 44; v < 57; ++v) d = std::min(d, At(h, v).r);
    return d;
  };
  steps.push_back([&] {
    emptyField = At(80, 50);
    Type("Hi");
    // Some ink is in the field once both letters are in.
    Until([&] { return GetKeyboardFocus(dialog) && GetKeyboardFocus(dialog)->text == "Hi"; },
          [&] {
            typedField = At(80, 50);
            typedField.r = darkest();
            Key(SDLK_RETURN);
          });
  });
  EXPECT_EQ(InputDialog(PStr("Your name:"), text), kHICommandOK);
  EXPECT_EQ(std::string((const char*)text + 1, text[0]), "Hi");
  EXPECT_TRUE(Near(emptyField, 255, 255, 255));
  EXPECT_LT(typedField.r, 128);
}

TEST_F(RenderedDialogTest, PasswordFieldShowsStarsAndChecks) {
  if (skip) return;
  IBNibRef nib = QKEngineNIB;
  std::string here = __FILE__;
  if (!QKEngineNIB) LoadQKEngineNibFile((here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist").c_str());
  steps.push_back([&] {
    Type("pw");
    ControlRef field = ByCommand(FOUR_CHAR('p', 'a', 's', 's'));
    Until([field] { return field->text == "pw"; },
          [&, field] {
            EXPECT_EQ(field->text, "pw");
            Key(SDLK_RETURN);
          });
  });
  EXPECT_EQ(PasswordDialog(PStr("Password:"), PStr("pw")), kHICommandOK);
  (void)nib;
}

TEST_F(RenderedDialogTest, ChecksRadiosTabsSlidersPopupsAndProgress) {
  if (skip) return;
  Rect bounds{100, 100, 300, 500};
  WindowRef w = NewStandardDialog(&bounds, PStr("Kinds"), 0);
  auto make = [&](Rect r, SInt16 proc, const char* title, SInt16 value, SInt16 min, SInt16 max) {
    return NewDialogWindowControl(w, r, proc, PStr(title), value, min, max);
  };
  ControlRef check = make(Rect{10, 10, 26, 150}, kCheckBoxProc, "Check", 0, 0, 1);
  ControlRef group = make(Rect{30, 10, 70, 150}, kUserPaneProc, "", 0, 0, 0);
  ControlRef radio1 = make(Rect{32, 10, 48, 150}, kRadioButtonProc, "One", 1, 0, 1);
  ControlRef radio2 = make(Rect{52, 10, 68, 150}, kRadioButtonProc, "Two", 0, 0, 1);
  EmbedControl(radio1, group);
  EmbedControl(radio2, group);
  ControlRef tabs = make(Rect{10, 200, 120, 390}, kTabsProc, "", 1, 1, 2);
  tabs->items = {"General", "Voice"};
  ControlRef slider = make(Rect{80, 10, 96, 150}, kSliderProc, "", 0, 0, 100);
  ControlRef popup = make(Rect{100, 10, 120, 150}, kPopupButtonProc, "Channels", 1, 1, 4);
  popup->items = {"2", "4", "6", "8"};
  ControlRef bar = make(Rect{130, 10, 146, 150}, kProgressBarProc, "", 1, 0, 2);
  Rect okRect = ButtonPosition_Dlog(&bounds, 0);
  SetDefaultControl(NewDialogWindowControl(w, okRect, kPushButtonProc, PStr("OK"), 0, 0, 1), 1);
  static int fired;
  fired = 0;
  Timer timer([](Timer*) { ++fired; }, 1, nullptr);
  Pixel checkBefore{}, checkAfter{}, barFilled{}, barEmpty{};
  steps.push_back([&] {
    checkBefore = At(16, 18);
    barFilled = At(20, 138);
    barEmpty = At(140, 138);
    ClickControl(check);
  });
  steps.push_back([&] {
    // A drawing made once the click took effect.
    Until([&] { return check->value == 1; },
          [&] {
            checkAfter = At(16, 18);
            ClickControl(radio2);
          });
  });
  std::pair<int, int> firstTitle{}, secondTitle{};
  steps.push_back([&] {
    firstTitle = InkColumns(Inset(DialogTabRect(tabs, 1), 2));
    secondTitle = InkColumns(Inset(DialogTabRect(tabs, 2), 2));
    ClickIn(DialogTabRect(tabs, 2));
  });
  steps.push_back([&] { Click(10 + (150 - 10 - 8) * 3 / 4, 88); });
  steps.push_back([&] { ClickControl(popup); });
  steps.push_back([&] { ClickIn(PopupItemRect(popup, 200, 3)); });
  steps.push_back([&] { Key(SDLK_KP_ENTER); });
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandOK);
  EXPECT_EQ(check->value, 1);
  EXPECT_EQ(radio1->value, 0);
  EXPECT_EQ(radio2->value, 1);
  EXPECT_EQ(tabs->value, 2);
  EXPECT_NEAR(slider->value, 75, 2);
  EXPECT_EQ(popup->value, 3);
  // The tabs carry their titles, each as wide as the title's own letters.
  FT_Face face = LoadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  ASSERT_NE(face, nullptr);
  EXPECT_NEAR(firstTitle.second - firstTitle.first + 1, DrawTextWidth("General", face, 12), 3);
  EXPECT_NEAR(secondTitle.second - secondTitle.first + 1, DrawTextWidth("Voice", face, 12), 3);
  EXPECT_TRUE(Near(checkBefore, 255, 255, 255));
  EXPECT_TRUE(Near(checkAfter, 0, 0, 0));
  EXPECT_TRUE(Near(barFilled, 51, 102, 229)) << barFilled.r << "," << barFilled.g << "," << barFilled.b;
  EXPECT_TRUE(Near(barEmpty, 255, 255, 255));
  EXPECT_GT(fired, 0);  // the timers ran while the dialog was up
  (void)bar;
  DisposeDialogWindow(w);
}

// Each cell shows the entry of the colour table that the dialog's answer is
// read through.
TEST_F(RenderedDialogTest, ColourGridShowsTheColourItAnswers) {
  if (skip) return;
  const SInt16 cells[] = {0, 5, 37, 100, 215, 255};
  for (SInt16 cell : cells) {
    SCOPED_TRACE(cell);
    int h = 2 + 12 * (cell % 32) + 6, v = 2 + 12 * (cell / 32) + 6;
    Pixel shown{};
    steps.push_back([&, h, v] {
      shown = At(h, v);
      Press(h, v);
    });
    SInt16 answer = GetColorDialog(cell == 5 ? 6 : 5);
    steps.clear();
    ASSERT_EQ(answer, cell);
    RGBColor colour;
    Index2Color(answer, &colour);
    EXPECT_TRUE(Near(shown, colour.red >> 8, colour.green >> 8, colour.blue >> 8, 2))
        << Show(shown) << " for entry " << colour.red << "," << colour.green << "," << colour.blue;
  }
}

TEST_F(RenderedDialogTest, ColourGridHighlightsTheHoveredCellWithItsNumberAndBlinksTheChoice) {
  if (skip) return;
  Rect number{100, 2, 124, 50};
  Pixel cellFrame{}, before{};
  int numberInk = 0, drawsAtRelease = 0;
  steps.push_back([&] {
    // Below the grid, left of the button: no cell.
    PointUntil(
        200, 118, [&] { return Near(Average(number), 234, 234, 234, 2); },
        [&] {
          before = Average(number);
          // Over cell 37.
          PointUntil(
              2 + 12 * 5 + 6, 2 + 12 + 6, [&] { return Near(At(2 + 12 * 5, 2 + 12 + 6), 0, 0, 0); },
              [&] {
                cellFrame = At(2 + 12 * 5, 2 + 12 + 6);  // the left edge of cell 37
                auto ink = InkColumns(number);
                numberInk = ink.first < 0 ? 0 : ink.second - ink.first + 1;
                drawsAtRelease = draws;
                Press(2 + 12 * 5 + 6, 2 + 12 + 6);
              });
        });
  });
  EXPECT_EQ(GetColorDialog(5), 37);
  EXPECT_TRUE(Near(before, 234, 234, 234)) << Show(before);  // no number before a cell is hovered
  EXPECT_TRUE(Near(cellFrame, 0, 0, 0)) << Show(cellFrame);
  FT_Face face = LoadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  EXPECT_NEAR(numberInk, DrawTextWidth("37", face, 12), 3);
  EXPECT_GE(draws - drawsAtRelease, 6);  // three blinks, two pictures each

  // A release between cells (over the Cancel button) beeps and goes on; Escape answers -1.
  steps.push_back([&] { PressIn(ByCommand(kHICommandCancel)->bounds); });
  steps.push_back([&] { Key(SDLK_ESCAPE); });
  EXPECT_EQ(GetColorDialog(5), -1);
}

// A pop-up opens its menu on a click, highlights the item under the pointer
// and takes the item clicked.
TEST_F(RenderedDialogTest, PopUpOpensAMenuAndAClickChoosesAnItem) {
  if (skip) return;
  Rect bounds{100, 100, 220, 400};
  WindowRef w = NewStandardDialog(&bounds, PStr("Menu"), 0);
  ControlRef popup = NewDialogWindowControl(w, Rect{40, 20, 60, 200}, kPopupButtonProc, PStr("Channels"), 2, 1, 4);
  popup->items = {"2", "4", "6", "8"};
  Rect okRect = ButtonPosition_Dlog(&bounds, 0);
  SetDefaultControl(NewDialogWindowControl(w, okRect, kPushButtonProc, PStr("OK"), 0, 0, 1), 1);
  Pixel closedBelow{}, openItem4{}, lit{};
  steps.push_back([&] {
    closedBelow = At(100, PopupItemRect(popup, 120, 4).top + 4);
    ClickControl(popup);
  });
  steps.push_back([&] {
    Rect item4 = PopupItemRect(popup, 120, 4);
    // The open menu covers what lay below the pop-up.
    Until([&, item4] { return !Near(At(item4.left + 60, item4.top + 2), 234, 234, 234); },
          [&, item4] {
            openItem4 = At(item4.left + 60, item4.top + 2);
            PointUntil(
                item4.left + 60, item4.top + 9,
                [&, item4] { return Near(At(item4.left + 60, item4.top + 2), 51, 102, 229); },
                [&, item4] {
                  lit = At(item4.left + 60, item4.top + 2);
                  ClickIn(item4);
                  steps.push_back([&] { Key(SDLK_RETURN); });
                });
          });
  });
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandOK);
  EXPECT_EQ(popup->value, 4);
  EXPECT_TRUE(Near(closedBelow, 234, 234, 234)) << Show(closedBelow);
  EXPECT_TRUE(Near(openItem4, 255, 255, 255)) << Show(openItem4);
  EXPECT_TRUE(Near(lit, 51, 102, 229)) << Show(lit);
  EXPECT_EQ(PopupItems(popup), (std::vector<std::string>{"2", "4", "6", "8"}));
  DisposeDialogWindow(w);
}

// The keys of an open menu: down and up move the highlight (from the chosen
// item while the pointer lights none), Return takes the highlighted item,
// Escape closes the menu and keeps the value.
TEST_F(RenderedDialogTest, AnOpenMenuAnswersTheArrowKeys) {
  if (skip) return;
  Rect bounds{100, 100, 220, 400};
  WindowRef w = NewStandardDialog(&bounds, PStr("Menu"), 0);
  ControlRef popup = NewDialogWindowControl(w, Rect{40, 20, 60, 200}, kPopupButtonProc, PStr("Channels"), 2, 1, 4);
  popup->items = {"2", "4", "6", "8"};
  Rect okRect = ButtonPosition_Dlog(&bounds, 0);
  SetDefaultControl(NewDialogWindowControl(w, okRect, kPushButtonProc, PStr("OK"), 0, 0, 1), 1);
  struct Case {
    std::vector<SDL_Keycode> keys;
    SInt16 value;
  } cases[] = {{{SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}, 4},
               {{SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_KP_ENTER}, 4},  // the last item holds
               {{SDLK_UP, SDLK_RETURN}, 1},
               {{SDLK_UP, SDLK_ESCAPE}, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys.size());
    popup->value = 2;
    Rect menu = PopupMenuRect(popup, 120);
    steps.push_back([&, menu] {
      // The real pointer goes to the screen's corner, away from the dialog,
      // so that only the posted moves reach it.
      SDL_WarpMouseGlobal(0, 0);
      ClickControl(popup);
      // With the pointer off the menu (lighting no item), the keys; then
      // Return for the dialog once the menu is gone.
      PointUntil(
          menu.right + 40, 110, [&, menu] { return Near(At(menu.left + 60, menu.bottom - 2), 255, 255, 255); },
          [&, menu] {
            for (SDL_Keycode key : c.keys) Key(key);
            Until([&, menu] { return Near(At(menu.left + 60, menu.bottom - 2), 234, 234, 234); },
                  [&] { Key(SDLK_RETURN); });
          });
    });
    EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandOK);
    steps.clear();
    EXPECT_EQ(popup->value, c.value);
  }
  DisposeDialogWindow(w);
}

TEST_F(RenderedDialogTest, AnAlertShowsTheIconOfItsKind) {
  if (skip) return;
  UseBuiltBundle();
  struct Case {
    SInt16 iconID;
    SInt16 kind;
  } cases[] = {{-1, 1}, {0, 0}, {2, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    std::vector<Pixel> icon;
    steps.push_back([&] {
      for (int v = 10; v < 42; ++v)
        for (int h = 20; h < 52; ++h) icon.push_back(At(h, v));
      Key(SDLK_RETURN);
    });
    dlogPARAMS.iconID = c.iconID;
    ShowAlertDialog(PStr("Something happened."), PStr(""), "OK");
    std::vector<Pixel> expected = Scaled32(AlertIconFile(c.kind), 234);
    ASSERT_EQ(expected.size(), 32u * 32u) << AlertIconFile(c.kind);
    ASSERT_EQ(icon.size(), expected.size());
    std::vector<Pixel> blank(expected.size(), Pixel{234, 234, 234});
    EXPECT_GT(MeanDifference(expected, blank), 8.0);  // the icon is no blank square
    EXPECT_LT(MeanDifference(icon, expected), 3.0);
  }
  SetBundlePathForTesting(nullptr);
}

// Over a link dialog's link the pointer is the hand; away from it, the arrow.
TEST_F(RenderedDialogTest, TheHandShowsOverALinkAndTheArrowElsewhere) {
  if (skip) return;
  FakeEventPlatform platform;
  bool handOverLink = false, arrowAway = false;
  steps.push_back([&] {
    ControlRef link = nullptr;
    for (ControlRef c : AllControls(dialog))
      if (c->kind == kControlKindLink) link = c;
    if (!link) {
      ADD_FAILURE() << "the dialog has no link";
      Key(SDLK_ESCAPE);
      return;
    }
    const Rect r = link->bounds;
    PointUntil((r.left + r.right) / 2, (r.top + r.bottom) / 2, [&] { return platform.handCursor; },
               [&] {
                 handOverLink = platform.handCursor;
                 PointUntil(
                     30, 100, [&] { return !platform.handCursor; },
                     [&] {
                       arrowAway = !platform.handCursor;
                       Key(SDLK_ESCAPE);
                     });
               });
  });
  LaunchURLDialog(PStr("Halvane's page:"), PStr("https://example.invalid/halvane"), PStr("Later"), 1);
  EXPECT_TRUE(handOverLink) << "no hand over the link";
  EXPECT_TRUE(arrowAway) << "the hand stayed off the link";
  EXPECT_FALSE(platform.handCursor) << "the hand outlived the dialog";
}

// Once an alert over the game window goes, the window's context is current
// again: the game renders pictures right after (a table drawn anew), and
// with no context current they would go nowhere.
TEST_F(RenderedDialogTest, TheGameWindowsContextIsCurrentAgainOnceAnAlertGoes) {
  if (skip) return;
  WindowRef game = NewGLWindow("game", 64, 64, false);
  ASSERT_NE(game, nullptr);
  ASSERT_TRUE(QK_BuildGLForWindow(game));
  GLContextRef context = static_cast<OpenGLContext*>(GetWRefCon(game))->context;
  dlogPARAMS.parentWindow = game;
  steps.push_back([&] { Key(SDLK_RETURN); });
  ShowAlertDialog(PStr("Failed to save the scores file."), PStr(""), "OK");
  EXPECT_GT(draws, 0) << "the alert was not shown";
  EXPECT_EQ(SDL_GL_GetCurrentContext(), context);
  dlogPARAMS.Reset();
  QK_DisposeGLForWindow(game);
  DisposeGLWindow(game);
}

TEST_F(RenderedDialogTest, MainPrefsWindowShowsItsPanelIcons) {
  if (skip) return;
  UseBuiltBundle();
  if (!QKEngineNIB) LoadQKEngineNibFile(SourceNib().c_str());
  FakeEventPlatform platform;
  APPL.SetName("Halvane", "Halvane");
  struct Panel {
    UInt32 command;
    const char* file;
    int face;  // the button's grey
    Pixel shown;
  } panels[] = {{kCommandInputs, "QK Resources/Inputs.icns", 247, {}},
                {kCommandRumble, "QK Resources/Rumble.icns", 247, {}},
                {kCommandAudio, "QK Resources/Audio.icns", 247, {}}};
  steps.push_back([&] {
    for (Panel& p : panels) p.shown = Average(IconArea(ByCommand(p.command)));
    Key(SDLK_ESCAPE);
  });
  EXPECT_EQ(MainPrefsDialog(0), kHICommandCancel);
  for (const Panel& p : panels) {
    SCOPED_TRACE(p.file);
    Pixel expected = Composite(GetResourcesPath() + "/" + p.file, p.face);
    ASSERT_GE(expected.r, 0);
    // The two disabled panels show their icons faded.
    bool faded = p.command != kCommandAudio;
    if (faded)
      expected = Pixel{int(expected.r * 0.45 + p.face * 0.55), int(expected.g * 0.45 + p.face * 0.55),
                       int(expected.b * 0.45 + p.face * 0.55)};
    EXPECT_FALSE(Near(expected, p.face, p.face, p.face, 6));
    EXPECT_TRUE(Near(p.shown, expected.r, expected.g, expected.b, 10))
        << Show(p.shown) << " against " << Show(expected);
  }
  SetBundlePathForTesting(nullptr);
}

}  // namespace

namespace {

TEST_F(RenderedDialogTest, ProgressWindowIsShownWithoutWaiting) {
  if (skip) return;
  std::string here = __FILE__;
  if (!QKEngineNIB) LoadQKEngineNibFile((here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist").c_str());
  UseBuiltBundle();
  Pixel half{}, rest{}, icon{};
  presenter.afterDraw = [&](WindowPtr s, WindowRef d) {
    surface = s;
    dialog = d;
    SDL_GL_GetDrawableSize(SDL_GetWindowFromID(WindowID()), &width, &height);
    half = At(80, 64);  // the bar runs from 75 to 340 at 56..72
    rest = At(330, 64);
    icon = Average(Rect{14, 20, 46, 52});
  };
  OpenProgressDialog("Loading", 0, "Reading");
  progressBAR->maximum = 2;
  UpdateProgressDialog("Half way", 1);
  ASSERT_NE(presenter.SurfaceOf(progressDLOG), nullptr);
  EXPECT_TRUE(Near(half, 51, 102, 229)) << half.r << "," << half.g << "," << half.b;
  EXPECT_TRUE(Near(rest, 255, 255, 255));
  // The application's own icon.
  ASSERT_NE(applICON, nullptr);
  Pixel expected = Composite(GetResourcesPath() + "/Icons/Halvane-64.png", 234);
  EXPECT_TRUE(Near(icon, expected.r, expected.g, expected.b, 10)) << Show(icon) << " against " << Show(expected);
  SetBundlePathForTesting(nullptr);
  WindowRef shown = progressDLOG;
  CloseProgressDialog();
  EXPECT_EQ(presenter.SurfaceOf(shown), nullptr);
}

}  // namespace
