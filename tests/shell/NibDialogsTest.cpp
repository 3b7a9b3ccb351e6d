#include <cstdlib>

#include "DialogFixture.h"
#include "foundation/Paths.h"
#include "foundation/Timer.h"
#include "shell/ControlUtilities.h"
#include "shell/NibDialogs.h"
#include "support/TempFolder.h"

namespace {

class NibDialogsTest : public DialogTest {};

UInt32 Code(const char* c) { return FOUR_CHAR(c[0], c[1], c[2], c[3]); }

TEST_F(NibDialogsTest, EveryWindowHoldsTheControlsTheCodeLooksFor) {
  ASSERT_NE(QKEngineNIB, nullptr);
  struct Case {
    const char* window;
    std::vector<const char*> commands;
  } cases[] = {
      {"Main Prefs", {"quit", "full", "graf", "inpu", "rumb", "audi", "ok  ", "not!"}},
      {"Online Settings",
       {"tabs", "icon", "port", "camr", "micr", "stng", "spek", "voic", "cvol", "volm", "crat", "rate", "cpch", "ptch",
        "logn", "upnp", "npmp", "ok  ", "not!"}},
      {"Password", {"text", "pass", "ok  ", "not!"}},
      {"Password Wrong", {"text", "ok  "}},
      {"Progress", {"icon", "txt1", "prog"}},
      {"Scale Image", {"ok  ", "not!"}},
      {"Audio Settings", {"icon", "schk", "svol", "sprc", "mchk", "mvol", "mprc", "chan", "ok  ", "not!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    WindowRef w = GetNibWindow(QKEngineNIB, c.window);
    ASSERT_NE(w, nullptr);
    for (const char* command : c.commands) EXPECT_NE(GetControlByCommand(w, Code(command)), nullptr) << command;
    DisposeDialogWindow(w);
  }
  EXPECT_EQ(GetNibWindow(QKEngineNIB, "No Such Window"), nullptr);
  EXPECT_EQ(GetNibWindow(nullptr, "Password"), nullptr);
}

// Tab titles and pop-up items come from the description, and its UTF-8 text
// reaches the model as the engine's 8-bit text.
TEST_F(NibDialogsTest, TitlesAndItemsComeFromTheDescription) {
  WindowRef online = GetNibWindow(QKEngineNIB, "Online Settings");
  EXPECT_EQ(GetControlByCommand(online, Code("tabs"))->items, (std::vector<std::string>{"Network", "Voice"}));
  DisposeDialogWindow(online);
  WindowRef audio = GetNibWindow(QKEngineNIB, "Audio Settings");
  EXPECT_EQ(GetControlByCommand(audio, Code("chan"))->items, (std::vector<std::string>{"2", "4", "6", "8"}));
  DisposeDialogWindow(audio);

  TempFolder bundle;
  bundle.MakeFolder("Contents");
  bundle.MakeFolder("Contents/Resources");
  bundle.Write("Contents/Resources/Accents.plist",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<plist version=\"1.0\">\r<dict>\r"
               "\t<key>Windows</key>\r\t<dict>\r\t\t<key>W</key>\r\t\t<dict>\r"
               "\t\t\t<key>Title</key>\r\t\t\t<string>R\xC3\xA9glages</string>\r"
               "\t\t\t<key>Controls</key>\r\t\t\t<array>\r\t\t\t\t<dict>\r"
               "\t\t\t\t\t<key>Kind</key>\r\t\t\t\t\t<string>popup</string>\r"
               "\t\t\t\t\t<key>Title</key>\r\t\t\t\t\t<string>Qualit\xC3\xA9</string>\r"
               "\t\t\t\t\t<key>Items</key>\r\t\t\t\t\t<array>\r"
               "\t\t\t\t\t\t<string>\xC3\x87 va</string>\r\t\t\t\t\t</array>\r"
               "\t\t\t\t</dict>\r\t\t\t</array>\r\t\t</dict>\r\t</dict>\r</dict>\r</plist>");
  SetBundlePathForTesting(bundle.Path().c_str());
  IBNibRef nib = nullptr;
  ASSERT_EQ(CreateNibReference("Accents", &nib), noErr);
  WindowRef w = GetNibWindow(nib, "W");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(Str(DialogRecord(w)->title), "R\x8Eglages");  // Mac Roman
  ControlRef popup = GetRootControl(w)->children.at(0);
  EXPECT_EQ(Str(popup->title), "Qualit\x8E");
  EXPECT_EQ(popup->items, std::vector<std::string>{"\x82 va"});
  DisposeDialogWindow(w);
  DisposeNibReference(nib);
  SetBundlePathForTesting(nullptr);
}

TEST_F(NibDialogsTest, MissingOrBrokenInterfaceFileIsRefused) {
  EXPECT_EQ(LoadQKEngineNibFile("/nonexistent/QK Engine.plist"), fnfErr);
  EXPECT_NE(QKEngineNIB, nullptr);  // the loaded one stays
  EXPECT_EQ(StandardDialog("No Such Nib", "Main Prefs", nullptr, 0), kHICommandCancel);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "CreateNibReference() failed.");
  EXPECT_EQ(dialogs.Reports()[1].message, "CreateWindowFromNib() failed.");
}

TEST_F(NibDialogsTest, LookupsFindEmbeddedControls) {
  WindowRef w = GetNibWindow(QKEngineNIB, "Online Settings");
  ControlRef pane = GetControlBySignature(w, Code("tabs"), 2);
  ASSERT_NE(pane, nullptr);
  ControlRef stng = GetControlByCommand(w, Code("stng"));
  EXPECT_EQ(stng->parent, pane);  // a button inside a tab pane
  EXPECT_EQ(GetControlSignature(pane), Code("tabs"));
  EXPECT_EQ(GetControlBySignature(w, Code("tabs"), 9), nullptr);
  GetControlByCommand(w, Code("volm"))->value = 42;
  EXPECT_EQ(GetControlValueByCommand(w, Code("volm")), 42);
  EXPECT_EQ(GetControlValueByCommand(w, Code("none")), 0);
  Str255 text;
  CToPStr("untouched", text);
  GetControlTextByCommand(w, Code("none"), text);
  EXPECT_EQ(Str(text), "untouched");
  GetControlTextByCommand(w, Code("port"), text);
  EXPECT_EQ(Str(text), "5000");
  DisposeDialogWindow(w);
}

TEST_F(NibDialogsTest, NumberFieldConstrainsWhenItLosesTheFocus) {
  struct Case {
    const char* typed;
    float min, max;
    bool allowEmpty;
    const char* want;
  } cases[] = {
      {"123", 0, 0, false, "0"}, {"x7y", 0, 100, false, "7"}, {"500", 0, 100, false, "100"},
      {"", 0, 100, true, ""},    {"", 5, 100, false, "5"},    {"2", 1024, 65535, false, "1024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    FieldWindow();
    NumberParams params;
    params.minimum = c.min;
    params.maximum = c.max;
    params.allowEmpty = c.allowEmpty;
    InstallNumberFieldHandler(field, &params);
    Type(c.typed);
    ClearKeyboardFocus(window);
    EXPECT_EQ(field->text, c.want);
    DisposeDialogWindow(window);
    window = nullptr;
  }
}

TEST_F(NibDialogsTest, RealNumberFieldTakesMinusOnlyBelowZero) {
  struct Case {
    float min;
    UInt8 allowSpace;
    const char* typed;
    const char* kept;
    const char* constrained;
  } cases[] = {
      {-10, 0, "-2.5x", "-2.5", "-2.50"},
      {0, 0, "-2.5", "2.5", "2.50"},
      {0, 1, "1 2", "1 2", "1.00"},
      {-10, 0, "-20", "-20", "-10.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    FieldWindow();
    NumberParams params;
    params.minimum = c.min;
    params.maximum = 10;
    params.allowSpace = c.allowSpace;
    InstallRealNumberFieldHandler(field, &params);
    Type(c.typed);
    EXPECT_EQ(field->text, c.kept);
    ClearKeyboardFocus(window);
    EXPECT_EQ(field->text, c.constrained);
    DisposeDialogWindow(window);
    window = nullptr;
  }
}

TEST_F(NibDialogsTest, CharacterLimitRefusesTheNextLetterButNotEditing) {
  FieldWindow(std::string(31, 'a').c_str());
  CharLimitParams limit(31);
  InstallCharLimitHandler(field, &limit);
  Type("b");
  EXPECT_EQ(field->text.size(), 31u);
  TypeDialogKey(window, 28, 0);  // left
  TypeDialogKey(window, 8, 0);   // Backspace
  EXPECT_EQ(field->text.size(), 30u);
  Type("bc");
  EXPECT_EQ(field->text, std::string(29, 'a') + "b" + "a");
  field->text = std::string(40, 'z');
  ClearKeyboardFocus(window);
  EXPECT_EQ(field->text.size(), 31u);
}

TEST_F(NibDialogsTest, ReadOnlyFieldRefusesTypingAndPastingButPassesTab) {
  FieldWindow("fixed");
  Rect r{70, 75, 86, 277};
  ControlRef other = NewDialogControl(window, &r, kEditTextProc, PStr(""), 0, 0, 0);
  InstallReadOnlyHandler(field);
  Type("xy");
  TypeDialogKey(window, 8, 0);
  TypeDialogKey(window, 'q', 0, kEventRawKeyRepeat);
  EXPECT_EQ(field->text, "fixed");
  DialogEvent paste{kEventClassCommand, kEventCommandProcess, window, nullptr, 0, 0, 0, 0, Code("past"), 0};
  EXPECT_EQ(SendDialogEvent(window, &paste), noErr);
  TypeDialogKey(window, 9, 0);
  EXPECT_EQ(GetKeyboardFocus(window), other);
  ClickDialogControl(field);
  EXPECT_EQ(GetKeyboardFocus(window), field);
  EXPECT_EQ(field->selStart, 0);
}

TEST_F(NibDialogsTest, ButtonEnablerFollowsTheField) {
  FieldWindow();
  Rect r{80, 200, 100, 270};
  ControlRef ok = NewDialogControl(window, &r, kPushButtonProc, PStr("OK"), 0, 0, 1);
  ButtonEnabler enabler;
  InstallButtonEnabler(&enabler, ok, field);
  Type("a");
  EXPECT_TRUE(IsControlEnabled(ok));
  TypeDialogKey(window, 8, 0);
  EXPECT_FALSE(IsControlEnabled(ok));
}

TEST_F(NibDialogsTest, FieldMonitorAndButtonHandler) {
  FieldWindow();
  static int changes;
  changes = 0;
  FieldMonitor monitor;
  monitor.proc = [](ControlRef, void* data) { ++*static_cast<int*>(data); };
  InstallFieldMonitor(&monitor, field, &changes);
  Type("ab");
  EXPECT_EQ(changes, 2);

  Rect r{80, 200, 100, 270};
  ControlRef button = NewDialogControl(window, &r, kPushButtonProc, PStr("Go"), 0, 0, 1);
  static int calls;
  calls = 0;
  static bool passed;
  passed = false;
  static const EventTypeSpec hit[] = {{kEventClassControl, kEventControlHit}};
  InstallWindowEventHandler(
      window,
      [](EventHandlerCallRef, EventRef, void*) -> OSStatus {
        passed = true;
        return eventNotHandledErr;
      },
      1, hit, nullptr, nullptr);
  InstallButtonHandler(button, [](ControlRef) -> SInt16 { return ++calls == 1 ? 0 : 1; });
  ClickDialogControl(button);
  EXPECT_FALSE(passed);  // swallowed
  ClickDialogControl(button);
  EXPECT_TRUE(passed);
  EXPECT_EQ(calls, 2);
}

TEST_F(NibDialogsTest, MissingHandlerDataIsFatal) {
  DialogEvent hit{kEventClassControl, kEventControlHit, nullptr, nullptr, 0, 0, 0, 0, 0, 0};
  EXPECT_THROW(CustomControlHandler(nullptr, &hit, nullptr), FatalReport);
  DialogHandler handler;
  EXPECT_THROW(CustomControlHandler(nullptr, &hit, &handler), FatalReport);
  EXPECT_THROW(FieldMonitorHandler(nullptr, &hit, nullptr), FatalReport);
}

TEST_F(NibDialogsTest, CustomDialogHandlerForwardsAndStoresTheCommand) {
  FieldWindow();
  Rect r{80, 200, 100, 270};
  ControlRef go = NewDialogControl(window, &r, kCheckBoxProc, PStr("Go"), 0, 0, 1);
  go->command = Code("go  ");
  static UInt32 seen;
  seen = 0;
  DialogHandler handler;
  handler.customProc = [](WindowRef, UInt32 command, SInt16) { seen = command; };
  InstallCustomDialogHandler(&handler, window);
  ClickDialogControl(go);
  EXPECT_EQ(seen, Code("go  "));
  EXPECT_EQ(handler.result, Code("go  "));
  EXPECT_EQ(go->value, 1);
}

TEST_F(NibDialogsTest, TabsSkipADisabledPaneWithABeep) {
  WindowRef w = GetNibWindow(QKEngineNIB, "Online Settings");
  ControlRef tabs = GetControlByCommand(w, Code("tabs"));
  InstallTabsControlHandler(tabs);
  ControlRef pane1 = GetControlBySignature(w, Code("tabs"), 1);
  ControlRef pane2 = GetControlBySignature(w, Code("tabs"), 2);
  tabs->value = 2;
  ClickDialogControl(tabs);
  EXPECT_TRUE(pane2->visible);
  EXPECT_FALSE(pane1->visible);
  DisableControl(pane1);
  tabs->value = 1;
  ClickDialogControl(tabs);
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(tabs->value, 2);
  EXPECT_TRUE(pane2->visible);
  DisposeDialogWindow(w);
}

TEST_F(NibDialogsTest, SliderConversions) {
  FieldWindow();
  Rect r{80, 20, 96, 200};
  ControlRef slider = NewDialogControl(window, &r, kSliderProc, PStr(""), 5, 0, 10);
  struct Case {
    SInt16 min, max, value, low, high, real;
  } cases[] = {
      {0, 10, 5, 0, 100, 50},
      {0, 10, 10, 0, 100, 100},
      {5, 5, 5, 20, 80, 20},   // no range: the low end
      {0, 100, 50, 0, 10, 5},  // a real range narrower than the slider's
  };
  for (const Case& c : cases) {
    SetControlValues(slider, c.value, c.min, c.max);
    EXPECT_EQ(SliderToRealValue(slider, c.low, c.high), c.real);
  }
  SetControlValues(slider, 0, 0, 10);
  EXPECT_EQ(RealValueToSlider(50, slider, 0, 100), 5);
  EXPECT_EQ(slider->value, 5);
  SetControlValues(slider, 0, 5, 5);
  EXPECT_EQ(RealValueToSlider(50, slider, 0, 100), 5);
  SetControlValues(slider, 0, 0, 100);
  EXPECT_EQ(RealValueToSlider(5, slider, 0, 10), 50);
  EXPECT_EQ(SliderToRealValue(nullptr, 0, 10), 0);
  EXPECT_EQ(RealValueToSlider(3, nullptr, 0, 10), 0);
}

TEST_F(NibDialogsTest, ProgressWindowOpensUpdatesAndCloses) {
  const char* bundle = getenv("HALVANE_BUNDLE");
  if (!bundle) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  SetBundlePathForTesting(bundle);
  OpenProgressDialog("Loading", 0, "Reading files");
  ASSERT_NE(applICON, nullptr);  // the application's icon, held while the window is open
  EXPECT_EQ(GetControlByCommand(progressDLOG, Code("icon"))->iconPath, applICON->path);
  ASSERT_TRUE(ProgressDialogVisible());
  EXPECT_EQ(progressFIELD->text, "Reading files");
  EXPECT_EQ(progressBAR->data[Code("inde")], 0);
  OpenProgressDialog("Again", 0, "Still reading");
  EXPECT_EQ(progressFIELD->text, "Still reading");
  EXPECT_EQ(progressBAR->data[Code("inde")], 1);
  UpdateProgressDialog("Step", 1);
  EXPECT_EQ(progressBAR->value, 0);  // a bar of no length stays at its end
  progressBAR->maximum = 3;
  UpdateProgressDialog("Step", 1);
  EXPECT_EQ(progressBAR->value, 1);
  EXPECT_EQ(progressBAR->data[Code("inde")], 0);
  ASSERT_EQ(presenter.refreshed.size(), 4u);  // shown at each change
  EXPECT_EQ(presenter.refreshed.back().title, "Loading");
  EXPECT_EQ(presenter.refreshed.back().texts, std::vector<std::string>{"Step"});
  CloseProgressDialog();
  EXPECT_FALSE(ProgressDialogVisible());
  EXPECT_EQ(applICON, nullptr);
  UpdateProgressDialog("closed", 1);
  CloseProgressDialog();
  SetBundlePathForTesting(nullptr);
}

// Without the application's icon the window cannot be shown: a fatal error.
TEST_F(NibDialogsTest, ProgressWindowWithoutTheApplicationIconIsFatal) {
  TempFolder empty;
  SetBundlePathForTesting(empty.Path().c_str());
  try {
    OpenProgressDialog("Loading", 0, "Reading files");
    ADD_FAILURE() << "no fatal report";
  } catch (const FatalReport& report) {
    EXPECT_EQ(report.message, "GetIconRef() failed.");
  }
  EXPECT_EQ(applICON, nullptr);
  CloseProgressDialog();
  SetBundlePathForTesting(nullptr);
}

TEST_F(NibDialogsTest, WindowTimerFiresWhileInstalled) {
  static int fired;
  fired = 0;
  WindowEventLoop loop;
  loop.interval = 0.0;
  InstallWindowEventLoop(loop, nullptr, [](WindowEventLoop*) { ++fired; });
  ServiceTimers();
  EXPECT_EQ(fired, 1);
  RemoveWindowEventLoop(loop);
  ServiceTimers();
  EXPECT_EQ(fired, 1);
  RemoveWindowEventLoop(loop);
}

TEST_F(NibDialogsTest, ScaleDimensionsAppliesTheChosenMethod) {
  struct Case {
    int radio;  // 0, 1, 2: methods 1, 2, 3
    Rect want;
  } cases[] = {{0, Rect{10, 10, 310, 310}}, {1, Rect{0, 0, 100, 300}}, {2, Rect{10, 10, 110, 110}}};
  for (const Case& c : cases) {
    Rect size{10, 10, 110, 110}, target{0, 0, 100, 300};
    presenter.Do([&](const DialogView& v) {
      ControlRef group = GetControlBySignature(v.window, Code("mthd"), 0);
      return DialogAction{DialogAction::Control, -1, 0, 0, group->children[size_t(c.radio)], 0};
    });
    presenter.Key(13);
    EXPECT_EQ(ScaleDimensionsDialog(PStr(""), 0, nullptr, &size, &target, nullptr), kHICommandOK);
    EXPECT_EQ(size.top, c.want.top);
    EXPECT_EQ(size.left, c.want.left);
    EXPECT_EQ(size.bottom, c.want.bottom) << c.radio;
    EXPECT_EQ(size.right, c.want.right) << c.radio;
  }
}

}  // namespace
