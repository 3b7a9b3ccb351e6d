#include <cstring>

#include "ShellFixture.h"
#include "foundation/StringLibrary.h"
#include "platform/KeyCodes.h"
#include "shell/StandardDialog.h"
#include "support/ScriptedDialogPresenter.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::string Text(const Rect& r) {
  return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
         std::to_string(r.right);
}

class StandardDialogTest : public ShellTest {
 protected:
  StandardDialogTest() {
    dlogPARAMS.Reset();
    mainWindowProc = [] { return gameWindow; };
    gameWindow = nullptr;
  }
  ~StandardDialogTest() override {
    mainWindowProc = nullptr;
    dlogPARAMS.Reset();
  }

  // A dialog of 360 by 120 with the given push buttons (command 0 for none).
  WindowRef Dialog(std::vector<std::pair<const char*, UInt32>> buttons) {
    Rect bounds{0, 0, 120, 360};
    WindowRef w = NewStandardDialog(&bounds, PStr("Test"), 0);
    char index = 0;
    for (auto& [title, command] : buttons) {
      Rect r = ButtonPosition_Dlog(&bounds, index++);
      ControlRef c = NewDialogControl(w, &r, kPushButtonProc, PStr(title), 0, 0, 1);
      c->command = command;
    }
    windows.push_back(w);
    return w;
  }

  void TearDown() override {
    for (WindowRef w : windows) DisposeDialogWindow(w);
  }

  static inline WindowRef gameWindow;
  WindowRecord game{nullptr, nullptr, 0};
  std::vector<WindowRef> windows;
  ScriptedDialogPresenter presenter;
};

TEST_F(StandardDialogTest, LayoutRectangles) {
  Rect d360{0, 0, 120, 360}, d400{0, 0, 160, 400};
  struct Case {
    const char* what;
    Rect got, want;
  } cases[] = {
      {"button 0", ButtonPosition_Dlog(&d360, 0), {80, 270, 100, 340}},
      {"button 1", ButtonPosition_Dlog(&d360, 1), {80, 188, 100, 258}},
      {"button 3", ButtonPosition_Dlog(&d360, 3), {80, 24, 100, 94}},
      {"error button", ButtonPosition_Dlog(&d400, 0), {120, 310, 140, 380}},
      {"icon", IconPosition(), {10, 20, 42, 52}},
      {"alert text", TextPosition(&d360), {10, 75, 73, 337}},
      {"alert detail", InfoPosition(&d360), {92, 75, 108, 268}},
      {"error text", TextPosition(&d400), {10, 75, 113, 377}},
      {"window button 1", ButtonPosition_Wind(&d400, 1, 60, 10), {130, 258, 150, 318}},
      {"fold-down", FoldDownPosition(&d360), {64, 8, 76, 20}},
  };
  for (const Case& c : cases) EXPECT_TRUE(SameRect(c.got, c.want)) << c.what << ": " << Text(c.got);
}

TEST_F(StandardDialogTest, DlogPositionOverTheScreenOrTheVisibleGameWindow) {
  struct Case {
    bool window, minimised;
    Rect screen, content;
    SInt16 width, height, extra;
    Rect want;
  } cases[] = {
      {false, false, {0, 0, 768, 1024}, {}, 400, 160, 0, {223, 312, 383, 712}},
      {true, true, {0, 0, 768, 1024}, {0, 0, 480, 640}, 400, 160, 0, {223, 312, 383, 712}},
      {true, false, {0, 0, 768, 1024}, {0, 0, 480, 640}, 360, 120, 0, {120, 140, 240, 500}},
      // Relative to the window, then made global.
      {true, false, {0, 0, 768, 1024}, {100, 200, 580, 840}, 360, 120, 0, {220, 340, 340, 700}},
      // extra moves the dialog up but does not enlarge it.
      {false, false, {0, 0, 768, 1024}, {}, 400, 160, 60, {203, 312, 363, 712}},
  };
  for (const Case& c : cases) {
    gameWindow = c.window ? &game : nullptr;
    platform.minimised = c.minimised;
    platform.screen = c.screen;
    platform.window = c.content;
    Rect got = DlogPosition(c.width, c.height, c.extra);
    EXPECT_TRUE(SameRect(got, c.want)) << Text(got);
  }
}

TEST_F(StandardDialogTest, ReturnEnterAndEscapeChooseTheirButtons) {
  struct Case {
    bool withCancel, okDisabled;
    UInt8 key;
    UInt32 result;
  } cases[] = {
      {false, false, keychar::kReturn, kHICommandOK},    {false, false, keychar::kEnter, kHICommandOK},
      {false, false, keychar::kEscape, kHICommandOK},  // no cancel button: Escape falls back on OK
      {true, false, keychar::kEscape, kHICommandCancel}, {true, false, keychar::kReturn, kHICommandOK},
      {true, true, keychar::kReturn, kHICommandCancel},  // Return does nothing while OK is disabled
  };
  for (const Case& c : cases) {
    std::vector<std::pair<const char*, UInt32>> buttons = {{"OK", kHICommandOK}};
    if (c.withCancel) buttons.push_back({"Cancel", kHICommandCancel});
    WindowRef w = Dialog(buttons);
    if (c.okDisabled) GetControlByCommand(w, kHICommandOK)->hilite = kControlInactive;
    presenter.Key(c.key);
    if (c.okDisabled) presenter.Key(keychar::kEscape);
    EXPECT_EQ(RunStandardDialog(w, nullptr, 0), c.result) << int(c.key);
  }
  EXPECT_EQ(presenter.misses, 0);
}

TEST_F(StandardDialogTest, ButtonsEndTheDialogOtherControlsOnlyReport) {
  WindowRef w = Dialog({{"OK", kHICommandOK}, {"Plain", 0}});
  Rect r{10, 75, 26, 75};
  ControlRef check = NewDialogControl(w, &r, kCheckBoxProc, PStr("Full Screen"), 0, 0, 5);
  EXPECT_EQ(check->maximum, 1);
  EXPECT_EQ(r.right, 75 + 7 * 11 + 12 + 16);  // sized to its title
  check->command = FOUR_CHAR('f', 'u', 'l', 'l');
  // The check box is not a push button: the presenter never offers it, so
  // click it through the model between two presenter rounds.
  PostControlClickEvent(check, 1);
  presenter.ClickTitle("Plain");
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), 0u);  // a push button without a command
  EXPECT_EQ(check->value, 1);
  ClickDialogControl(check);
  EXPECT_EQ(check->value, 0);
}

TEST_F(StandardDialogTest, ParamsLastForOneDialogEvenWhenEndedByEscape) {
  dlogPARAMS.extraWidth = 40;
  dlogPARAMS.iconID = 0;
  WindowRef w = Dialog({{"OK", kHICommandOK}});
  presenter.Key(keychar::kEscape);
  RunStandardDialog(w, nullptr, 0);
  EXPECT_EQ(dlogPARAMS.extraWidth, 0);
  EXPECT_EQ(dlogPARAMS.iconID, -1);
  EXPECT_EQ(dlogPARAMS.iconType, kNoIconType);
  EXPECT_EQ(std::string((char*)dlogPARAMS.button1 + 1, dlogPARAMS.button1[0]), "OK");
  EXPECT_EQ(std::string((char*)dlogPARAMS.button2 + 1, dlogPARAMS.button2[0]), "Cancel");
  EXPECT_EQ(dlogPARAMS.showCancel, 1);
  EXPECT_EQ(dlogPARAMS.bevelDismisses, 1);
}

TEST_F(StandardDialogTest, RunRestoresCursorAndCaptureAndIgnoresStaleInput) {
  InitAllEvents();
  DisableAllEvents();
  ASSERT_FALSE(cursorVIS);
  platform.PostKey(PlatformEvent::KeyDown, 36, 13);
  WindowRef w = Dialog({{"OK", kHICommandOK}});
  presenter.ClickTitle("OK");
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandOK);
  EXPECT_FALSE(cursorVIS);
  EXPECT_FALSE(platform.cursorShown);
  EXPECT_FALSE(AllEventsEnabled());
  EXPECT_EQ(PendingPlatformEvents(), 0);  // the key pressed before the dialog is gone
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].title, "Test");
}

TEST_F(StandardDialogTest, AHandlerThatCannotBeInstalledGivesAnAlertAndNotOk) {
  WindowRef w = Dialog({{"OK", kHICommandOK}});
  FailNextHandlerInstall(-108);
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandCancel);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "InstallWindowEventHandler() failed.");
  EXPECT_EQ(dialogs.Reports()[0].detail, "-108");
  EXPECT_TRUE(presenter.shown.empty());
}

TEST_F(StandardDialogTest, AnAbandonedDialogAnswersNotOk) {
  WindowRef w = Dialog({{"OK", kHICommandOK}});
  EXPECT_EQ(RunStandardDialog(w, nullptr, 0), kHICommandCancel);
  EXPECT_EQ(presenter.misses, 1);
}

TEST_F(StandardDialogTest, ControlTextAndLookupByCommand) {
  WindowRef w = Dialog({});
  Rect r{0, 0, 100, 100};
  ControlRef tabs = NewDialogControl(w, &r, kUserPaneProc, PStr(""), 0, 0, 0);
  ControlRef group = NewDialogControl(w, &r, kGroupBoxCheckProc, PStr(""), 0, 0, 0);
  ControlRef button = NewDialogControl(w, &r, kPushButtonProc, PStr("Go"), 0, 0, 1);
  EmbedControl(group, tabs);
  EmbedControl(button, group);
  button->command = FOUR_CHAR('g', 'o', ' ', ' ');
  EXPECT_EQ(GetControlByCommand(w, FOUR_CHAR('g', 'o', ' ', ' ')), button);
  EXPECT_EQ(GetControlByCommand(w, FOUR_CHAR('n', 'o', 'n', 'e')), nullptr);

  Rect t{0, 0, 16, 0};
  ControlRef text = NewDialogControl(w, &t, kStaticTextProc, PStr("abc"), 0, 0, 0);
  EXPECT_EQ(t.right, 7 * 3 + 12);
  text->text = std::string(300, 'x');
  Str255 out;
  GetControlText(text, out);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(std::string((char*)out + 1, 255), std::string(255, 'x'));

  GetControlText(nullptr, out);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "GetControlText() failed.");
  EXPECT_FALSE(dialogs.Reports()[0].fatal);
}

}  // namespace
