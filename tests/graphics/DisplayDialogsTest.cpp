#include <gtest/gtest.h>

#include "graphics/DisplayDialogs.h"
#include "shell/ApplInfo.h"
#include "shell/DialogLibrary.h"
#include "shell/MainPrefs.h"
#include "shell/StandardDialog.h"
#include "support/FakeEventPlatform.h"
#include "support/RecordingDialogs.h"
#include "support/ScriptedDialogPresenter.h"

namespace {

TEST(DisplayAskDialog, FollowsTheMonitorModePreference) {
  FakeEventPlatform platform;  // the dialogs are placed on its screen, not a real one
  RecordingDialogs dialogs;
  ScriptedDialogPresenter presenter;
  APPL.SetName("Halvane", "");
  struct Case {
    char mode;
    int key;  // 0: no dialog expected
    bool want;
  } cases[] = {{kMonitorModeSwitch, 0, true},
               {kMonitorModeAsk, 13, true},
               {kMonitorModeAsk, 27, false},
               {kMonitorModeNever, 0, false},
               {7, 0, false}};
  char before = mainPREFS.monitorMode;
  for (const Case& c : cases) {
    presenter.shown.clear();
    mainPREFS.monitorMode = c.mode;
    if (c.key) presenter.Key(UInt8(c.key));
    EXPECT_EQ(DisplayAskDialog(1024, 768) != 0, c.want) << int(c.mode);
    EXPECT_EQ(presenter.shown.size(), c.key ? 1u : 0u);
    if (c.key) {
      EXPECT_EQ(presenter.shown[0].texts.at(0),
                "Halvane will look better displayed at a resolution of 1024x768.  Is it OK to change?");
    }
  }
  mainPREFS.monitorMode = before;
  APPL = ApplInfo();
  EXPECT_EQ(presenter.misses, 0);
}

}  // namespace

#include "foundation/StringLibrary.h"
#include "graphics/RenderedDialogs.h"
#include "platform/DialogModel.h"

namespace {

TEST(RenderedDialogs, OnlyDialogsBeyondTextsAndButtonsAreRendered) {
  Rect bounds{0, 0, 120, 360};
  WindowRef w = NewStandardDialog(&bounds, PStr(""), 0);
  Rect r{10, 75, 60, 300};
  NewDialogControl(w, &r, kStaticTextProc, PStr("Message"), 0, 0, 0);
  Rect b = ButtonPosition_Dlog(&bounds, 0);
  NewDialogControl(w, &b, kPushButtonProc, PStr("OK"), 0, 0, 1);
  EXPECT_FALSE(NeedsRenderedDialog(w));
  Rect f{70, 75, 86, 300};
  ControlRef field = NewDialogControl(w, &f, kEditTextProc, PStr(""), 0, 0, 0);
  EXPECT_TRUE(NeedsRenderedDialog(w));
  HideControl(field);
  EXPECT_FALSE(NeedsRenderedDialog(w));
  SInt16 part = -1;
  ControlRef hit = DialogControlAt(w, SInt16(b.left + 2), SInt16(b.top + 2), &part);
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->kind, kControlKindPushButton);
  EXPECT_EQ(DialogControlAt(w, 80, 20, &part), nullptr);  // static text takes no clicks
  DisposeDialogWindow(w);
}

}  // namespace
