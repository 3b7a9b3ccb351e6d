#include <gtest/gtest.h>

#include <csignal>

#include "platform/DialogPresenter.h"
#include "platform/PlatformSystem.h"
#include "support/TempFolder.h"

namespace {

const UInt32 kOK = FOUR_CHAR('o', 'k', ' ', ' ');
const UInt32 kCancel = FOUR_CHAR('n', 'o', 't', '!');

DialogView::Button Button(const char* title, UInt32 command, bool enabled = true) {
  return DialogView::Button{title, command, Rect{}, enabled, command == kOK, command == kCancel};
}

TEST(MessageBoxPlan, ButtonsRightToLeftWithTheirKeys) {
  struct Case {
    const char* what;
    std::vector<DialogView::Button> buttons;
    // index in the view, Return, Escape; left to right
    std::vector<std::tuple<int, bool, bool>> plan;
    int defaultButton;
  } cases[] = {
      {"OK only: Escape falls back on OK", {Button("OK", kOK)}, {{0, true, true}}, 0},
      {"OK and Cancel", {Button("OK", kOK), Button("Cancel", kCancel)}, {{1, false, true}, {0, true, false}}, 0},
      {"three buttons",
       {Button("Save", kOK), Button("Cancel", kCancel), Button("Don't Save", FOUR_CHAR('d', 'o', 'n', 't'))},
       {{2, false, false}, {1, false, true}, {0, true, false}},
       0},
      {"disabled OK is left out", {Button("OK", kOK, false), Button("Cancel", kCancel)}, {{1, false, true}}, 1},
      {"no buttons", {}, {}, -1},
  };
  for (const Case& c : cases) {
    DialogView view{};
    view.buttons = c.buttons;
    MessageBoxPlan plan = PlanMessageBox(view);
    std::vector<std::tuple<int, bool, bool>> got;
    for (const auto& b : plan.buttons) got.emplace_back(b.index, b.returnKey, b.escapeKey);
    EXPECT_EQ(got, c.plan) << c.what;
    EXPECT_EQ(DefaultButton(view), c.defaultButton) << c.what;
  }
}

TEST(MessageBoxPlan, TextsAndKind) {
  DialogView view{};
  view.texts = {"Error:  Bad file", "", "LoadPNG()"};
  struct Case {
    SInt16 icon;
    MessageBoxPlan::Kind kind;
  } cases[] = {{0, MessageBoxPlan::Error},
               {1, MessageBoxPlan::Information},
               {2, MessageBoxPlan::Warning},
               {-1, MessageBoxPlan::Information}};
  for (const Case& c : cases) {
    view.icon = c.icon;
    MessageBoxPlan plan = PlanMessageBox(view);
    EXPECT_EQ(plan.kind, c.kind);
    EXPECT_EQ(plan.text, "Error:  Bad file\n\nLoadPNG()");
  }
}

TEST(StderrPresenter, WritesTheTextsAndTakesTheDefaultButton) {
  DialogView view{};
  view.texts = {"Error:  Gone", ""};
  view.buttons = {Button("OK", kOK)};
  testing::internal::CaptureStderr();
  DialogAction action = StderrPresenter().Present(view);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error:  Gone\n");
  EXPECT_EQ(action.kind, DialogAction::Click);
  EXPECT_EQ(action.button, 0);
  view.buttons.clear();
  testing::internal::CaptureStderr();
  EXPECT_EQ(StderrPresenter().Present(view).kind, DialogAction::Abandon);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(&Presenter(), static_cast<DialogPresenter*>(&StderrPresenter()));
}

// A quit signal that comes while a dialog is up: no one is left to answer,
// so the dialog is told on standard error and gets its default button (not
// what the presenter answered as the signal closed it), and a dialog that
// asks again is abandoned; the window the presenter shows is still closed
// through it.
TEST(Presenter, AQuitSignalAnswersEachDialogWithItsDefaultButtonOnce) {
  struct Shown : DialogPresenter {
    bool signalInside = false;
    int presented = 0, dismissed = 0;
    DialogAction Present(const DialogView&) override {
      ++presented;
      if (signalInside) raise(SIGTERM);
      return DialogAction{DialogAction::Click, 1, 0, 0, nullptr, 0};  // Cancel
    }
    void Dismiss(WindowRef) override { ++dismissed; }
  } shown;
  WatchTerminationSignals();
  DialogPresenter* before = SetDialogPresenter(&shown);
  DialogView view{};
  view.title = "Halvane";
  view.texts = {"Error:  Failed to load the scores file."};
  view.buttons = {Button("OK", kOK), Button("Cancel", kCancel)};
  view.window = reinterpret_cast<WindowRef>(&view);

  EXPECT_EQ(Presenter().Present(view).button, 1) << "no signal: the presenter's own answer";
  shown.signalInside = true;
  testing::internal::CaptureStderr();
  DialogAction first = Presenter().Present(view);
  DialogAction again = Presenter().Present(view);
  std::string told = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(TerminationSignalled());
  EXPECT_EQ(first.kind, DialogAction::Click);
  EXPECT_EQ(first.button, 0);
  EXPECT_EQ(again.kind, DialogAction::Abandon);
  EXPECT_EQ(shown.presented, 2) << "asked again after the signal";
  EXPECT_NE(told.find("Failed to load the scores file."), std::string::npos) << told;
  Presenter().Dismiss(view.window);
  EXPECT_EQ(shown.dismissed, 1);
  // Dismissed, the same window may be answered again.
  testing::internal::CaptureStderr();
  EXPECT_EQ(Presenter().Present(view).button, 0);
  testing::internal::GetCapturedStderr();

  SetDialogPresenter(before);
  UnwatchTerminationSignals();
  EXPECT_FALSE(TerminationSignalled());
}

// The program's presenter follows what it can reach, never who runs it.
TEST(UserPresenter, MessageBoxesOnlyWhenADisplayCanBeReached) {
  struct Case {
    const char* display;
    const char* wayland;
    const char* dialogs;
    const char* ci;
    bool boxes;
  } cases[] = {
      {nullptr, nullptr, nullptr, nullptr, false}, {"", "", nullptr, nullptr, false},
      {":5", nullptr, nullptr, nullptr, true},     {nullptr, "wayland-0", nullptr, nullptr, true},
      {":5", nullptr, nullptr, "1", true},         {":5", nullptr, "stderr", nullptr, false},
      {":5", nullptr, "boxes", nullptr, true},
  };
  for (const Case& c : cases) {
    ScopedEnv display("DISPLAY", c.display), wayland("WAYLAND_DISPLAY", c.wayland);
    ScopedEnv dialogs("HALVANE_DIALOGS", c.dialogs), ci("CI", c.ci);
    EXPECT_EQ(DisplayReachable(), (c.display && *c.display) || (c.wayland && *c.wayland));
    EXPECT_EQ(&UserPresenter() == &MessageBoxPresenter(), c.boxes)
        << (c.display ? c.display : "-") << " " << (c.dialogs ? c.dialogs : "-");
  }
}

}  // namespace
