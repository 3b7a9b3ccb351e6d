#include "ShellFixture.h"
#include "foundation/ErrorDialog.h"
#include "shell/ControlUtilities.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/ShellReports.h"
#include "shell/StandardDialog.h"
#include "support/ScriptedDialogPresenter.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

class ErrorAlertDialogsTest : public ShellTest {
 protected:
  ErrorAlertDialogsTest() {
    errorShutdown = false;
    traps = 0;
    dlogPARAMS.Reset();
    platform.hasWindow = false;
    platform.screen = Rect{0, 0, 768, 1024};
    InstallErrorAlertDialogs();
  }
  ~ErrorAlertDialogsTest() override {
    errorShutdown = false;
    dlogPARAMS.Reset();
  }

  // Runs a report that should end the program; answers the exit status.
  template <typename F>
  int ExitStatus(F report) {
    try {
      report();
    } catch (const ProcessExit& exit) {
      return exit.status;
    }
    ADD_FAILURE() << "the report returned";
    return -1;
  }

  static inline int traps;
  ScriptedDialogPresenter presenter;
};

TEST_F(ErrorAlertDialogsTest, ErrorDialogShowsItsTextsIconAndButtonThenBeeps) {
  presenter.ClickTitle("OK");
  ErrorDialog("Couldn't load the image.", "LoadPNG()", 1, 0);
  ASSERT_EQ(presenter.shown.size(), 1u);
  const DialogView& v = presenter.shown[0];
  EXPECT_TRUE(SameRect(v.bounds, Rect{223, 312, 383, 712}));
  EXPECT_EQ(v.icon, 2);
  ASSERT_EQ(v.texts.size(), 2u);
  EXPECT_EQ(v.texts[0], "Error:  Couldn't load the image.");
  EXPECT_EQ(v.texts[1], "LoadPNG()");
  ASSERT_EQ(v.buttons.size(), 1u);  // the flag adds no button
  EXPECT_EQ(v.buttons[0].title, "OK");
  EXPECT_TRUE(v.buttons[0].isDefault);
  EXPECT_TRUE(SameRect(v.buttons[0].bounds, Rect{120, 310, 140, 380}));
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_FALSE(errorShutdown);
}

TEST_F(ErrorAlertDialogsTest, ErrorTextForms) {
  struct Case {
    void (*report)();
    const char* text;
    const char* detail;
  } cases[] = {
      {[] { ErrorDialog("Out of range", SInt16(-43), 0, 0); }, "Error:  Out of range", "-43"},
      {[] { ErrorDialog((const unsigned char*)"\3abc", SInt16(7), 0, 0); }, "Error:  abc", "7"},
      {[] { ErrorDialog("Empty detail", "", 0, 0); }, "Error:  Empty detail", ""},
      {[] { ErrorDialog(std::string(250, 'm').c_str(), "x", 0, 0); }, nullptr, "x"},
  };
  for (const Case& c : cases) {
    presenter.Key(13);
    c.report();
    const DialogView& v = presenter.shown.back();
    ASSERT_EQ(v.texts.size(), 2u);
    if (c.text)
      EXPECT_EQ(v.texts[0], c.text);
    else
      EXPECT_EQ(v.texts[0], "Error:  " + std::string(247, 'm'));  // 255 characters in all
    EXPECT_EQ(v.texts[1], c.detail);
  }
  EXPECT_EQ(presenter.misses, 0);
}

TEST_F(ErrorAlertDialogsTest, IconIdLastsForOneErrorDialog) {
  dlogPARAMS.iconID = 0;
  presenter.Key(27);
  presenter.Key(3);
  ErrorDialog("First", "", 0, 0);
  ErrorDialog("Second", "", 0, 0);
  EXPECT_EQ(presenter.shown[0].icon, 0);
  EXPECT_EQ(presenter.shown[1].icon, 2);
  EXPECT_EQ(presenter.misses, 0);
}

TEST_F(ErrorAlertDialogsTest, FatalErrorRunsTheTrapShutsDownAndExitsWithOne) {
  APPL.errorTrap = [] { return SInt32(++traps); };
  APPL.shutdown = [] { ErrorDialog("Raised in Shutdown", "", 0, 1); };
  presenter.ClickTitle("OK");
  EXPECT_EQ(ExitStatus([] { ErrorDialog("Out of memory, couldn't create array", "Array", 0, 1); }), 1);
  EXPECT_TRUE(errorShutdown);
  EXPECT_EQ(traps, 2);  // the fatal error's own, and the one raised inside Shutdown
  EXPECT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(platform.beeps, 1);

  // Once shut down, every report only reaches the trap: no dialog, no beep.
  ErrorDialog("Later", "", 0, 0);
  presenter.ClickTitle("OK");
  AlertDialog("Still shown", "", "OK");
  EXPECT_EQ(traps, 3);
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(presenter.shown.size(), 2u);  // alerts are not errors
}

TEST_F(ErrorAlertDialogsTest, TheThreeArgumentFormShowsTheErrorBeforeEnding) {
  presenter.ClickTitle("OK");
  EXPECT_EQ(ExitStatus([] { ErrorDialog((const unsigned char*)"\4Gone", (const unsigned char*)"\4here", 0); }), 1);
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].texts[0], "Error:  Gone");
  EXPECT_EQ(presenter.shown[0].texts[1], "here");
}

TEST_F(ErrorAlertDialogsTest, WithNoUserTheDefaultButtonIsTakenAndTheTextsGoToStderr) {
  SetDialogPresenter(nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(ExitStatus([] { ErrorDialog("No display", "main()", 0, 1); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error:  No display\nmain()\n");
  SetDialogPresenter(&presenter);
}

TEST_F(ErrorAlertDialogsTest, AlertDialogLayoutAndForms) {
  presenter.ClickTitle("OK");
  AlertDialog("OpenAL is required for sound playback.", "", "OK");
  const DialogView& v = presenter.shown.back();
  EXPECT_EQ(v.bounds.right - v.bounds.left, 360);
  EXPECT_EQ(v.bounds.bottom - v.bounds.top, 120);
  EXPECT_EQ(v.icon, 1);
  EXPECT_EQ(v.texts, (std::vector<std::string>{"OpenAL is required for sound playback.", ""}));
  ASSERT_EQ(v.buttons.size(), 1u);
  EXPECT_TRUE(SameRect(v.buttons[0].bounds, Rect{80, 270, 100, 340}));
  EXPECT_EQ(platform.beeps, 0);

  dlogPARAMS.extraWidth = 40;
  dlogPARAMS.iconID = 0;
  presenter.ClickTitle("Later");
  AlertDialog(SInt32(12), SInt32(-34), "Later");
  EXPECT_EQ(presenter.shown.back().bounds.right - presenter.shown.back().bounds.left, 400);
  EXPECT_EQ(presenter.shown.back().icon, 0);
  EXPECT_EQ(presenter.shown.back().texts, (std::vector<std::string>{"12", "-34"}));
  EXPECT_EQ(dlogPARAMS.extraWidth, 0);

  // An icon chosen by type shows the icon number registered for it.
  ASSERT_EQ(RegisterIconCode(FOUR_CHAR('w', 'a', 'r', 'n'), 2), noErr);
  dlogPARAMS.iconType = FOUR_CHAR('w', 'a', 'r', 'n');
  presenter.ClickTitle("OK");
  AlertDialog("Careful.", "", "OK");
  EXPECT_EQ(presenter.shown.back().icon, 2);

  size_t shown = presenter.shown.size();
  AlertDialog((const unsigned char*)"\1x", (const unsigned char*)"\1y");
  AlertDialog((const unsigned char*)"\1x", (const unsigned char*)"\1y", 1);
  DebugDialog("a", "b", 0);
  DebugDialog(SInt32(1), SInt32(2), 0);
  EXPECT_EQ(presenter.shown.size(), shown);
  EXPECT_EQ(presenter.misses, 0);
}

TEST_F(ErrorAlertDialogsTest, AnInstalledBeepBackEndSoundsInsteadOfThePlatform) {
  static int sounded;
  sounded = 0;
  EXPECT_EQ(SetBeepBackEnd([] { ++sounded; }), nullptr);
  presenter.ClickTitle("OK");
  ErrorDialog("Loud", "here", 0, 0);
  Beep();
  EXPECT_EQ(sounded, 2);
  EXPECT_EQ(platform.beeps, 0);
  EXPECT_NE(SetBeepBackEnd(nullptr), nullptr);
  Beep();
  EXPECT_EQ(sounded, 2);
  EXPECT_EQ(platform.beeps, 1);
}

TEST_F(ErrorAlertDialogsTest, AlertAsASheetOfItsParentWindow) {
  WindowRecord parent{nullptr, nullptr, 0};
  dlogPARAMS.sheet = 1;
  dlogPARAMS.parentWindow = &parent;
  presenter.ClickTitle("OK");
  AlertDialog("Sheet", "", "OK");
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].parent, &parent);
  EXPECT_EQ(dlogPARAMS.sheet, 0);
  EXPECT_EQ(dlogPARAMS.parentWindow, nullptr);
}

}  // namespace

namespace {

// The program as it runs, on the real platform: with no display the error
// goes to standard error, and the process ends with status 1.
TEST(RunningProgram, AFatalErrorIsShownThenEndsTheProcessWithStatusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        InstallUserDialogs();
        ErrorDialog("Couldn't open the game window.", "InitGameWindow()", 0, 1);
      },
      testing::ExitedWithCode(1), "Error:  Couldn't open the game window\\.\nInitGameWindow");
}

}  // namespace
