#include "DialogFixture.h"
#include "platform/KeyCodes.h"
#include "shell/DialogLibrary.h"

namespace {

class DialogLibraryTest : public DialogTest {
 protected:
  static std::vector<std::string> Titles(const DialogView& view) {
    std::vector<std::string> out;
    for (const auto& b : view.buttons) out.push_back(b.title);
    return out;
  }
};

TEST_F(DialogLibraryTest, ConfirmWithThirdButtonAnswersEachWay) {
  struct Case {
    const char* what;
    std::function<void(ScriptedDialogPresenter&)> answer;
    UInt32 want;
  } cases[] = {
      {"No", [](ScriptedDialogPresenter& p) { p.ClickTitle("No"); }, 0},
      {"Escape", [](ScriptedDialogPresenter& p) { p.Key(keychar::kEscape); }, kHICommandCancel},
      {"Return", [](ScriptedDialogPresenter& p) { p.Key(13); }, kHICommandOK},
      {"Enter", [](ScriptedDialogPresenter& p) { p.Key(3); }, kHICommandOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    presenter.shown.clear();
    c.answer(presenter);
    EXPECT_EQ(ConfirmDialog("Replace the file?", 1), c.want);
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(Titles(presenter.shown[0]), (std::vector<std::string>{"OK", "Cancel", "No"}));
    EXPECT_EQ(presenter.shown[0].buttons[2].bounds.left, 360 - 90 - 82 * 3);
    EXPECT_EQ(presenter.shown[0].texts, std::vector<std::string>{"Replace the file?"});
  }
  EXPECT_EQ(presenter.misses, 0);
}

TEST_F(DialogLibraryTest, ConfirmButtonWidenAndOneShotSettings) {
  dlogPARAMS.buttonWiden = 20;
  CToPStr("Replace", dlogPARAMS.button1);
  CToPStr("Save As", dlogPARAMS.button3);
  presenter.ClickTitle("Save As");
  EXPECT_EQ(ConfirmDialog("Replace?", 2), kHICommandDont);
  const DialogView& v = presenter.shown[0];
  ASSERT_EQ(v.buttons.size(), 2u);
  EXPECT_EQ(v.buttons[0].bounds.right - v.buttons[0].bounds.left, 90);
  EXPECT_EQ(v.buttons[1].bounds.right - v.buttons[1].bounds.left, 70);
  EXPECT_EQ(v.buttons[1].bounds.left, 360 - 90 - 82 - 20);
  // The next dialog starts from the reset settings.
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(ConfirmDialog("Again?", 0), kHICommandCancel);
  EXPECT_EQ(Titles(presenter.shown[1]), (std::vector<std::string>{"OK", "Cancel"}));
}

TEST_F(DialogLibraryTest, ConfirmDontLabelsItsThirdButton) {
  struct Case {
    const char* action;
    const char* label;
  } cases[] = {{"Save", "Don't Save"}, {"Save the whole long document", "Don't "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    presenter.shown.clear();
    presenter.ClickTitle(c.label);
    EXPECT_EQ(ConfirmDontDialog(PStr("Save changes?"), PStr(c.action), 2, 1, 1), kHICommandDont);
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(Titles(presenter.shown[0]), (std::vector<std::string>{c.action, "Cancel", c.label}));
  }
  // Without a cancel button and without the third one only the action is left.
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(ConfirmDontDialog(PStr("Save?"), PStr("Save"), 2, 0, 0), kHICommandOK);
  EXPECT_EQ(Titles(presenter.shown.back()), std::vector<std::string>{"Save"});
}

TEST_F(DialogLibraryTest, ConfirmTwoAndThreeKeepTheirAnswers) {
  Str255 message, quit;
  CToPStr("Keep this screen mode?", message);
  CToPStr("Quit", quit);
  EXPECT_EQ(ConfirmDialog2(message, 600, 1, 2), kHICommandCancel);
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_EQ(confirmDelay, 600);
  presenter.ClickTitle("Quit");
  EXPECT_EQ(ConfirmDialog3(message, quit), 0u);
}

TEST_F(DialogLibraryTest, InputEnablesOkOnlyWithText) {
  Str255 text{0};
  bool disabledAtFirst = false, enabledAfterTyping = false;
  presenter.Do([&](const DialogView& v) {
    disabledAtFirst = !v.buttons[0].enabled;
    return DialogAction{DialogAction::Key, -1, 'a', 0, nullptr, 0};
  });
  presenter.Do([&](const DialogView& v) {
    enabledAfterTyping = v.buttons[0].enabled;
    return DialogAction{DialogAction::Key, -1, 'b', 0, nullptr, 0};
  });
  presenter.Key(13);
  EXPECT_EQ(InputDialog(PStr("Name:"), text), kHICommandOK);
  EXPECT_TRUE(disabledAtFirst);
  EXPECT_TRUE(enabledAfterTyping);
  EXPECT_EQ(Str(text), "ab");
}

TEST_F(DialogLibraryTest, InputTypingReplacesTheStartingTextAndCancelKeepsWhatWasTyped) {
  Str255 text;
  CToPStr("old", text);
  presenter.Type("new");
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(InputDialog(PStr("Name:"), text), kHICommandCancel);
  EXPECT_EQ(Str(text), "new");
}

TEST_F(DialogLibraryTest, InputNumbersOnlyRefusesLettersAndStopsAt31) {
  dlogPARAMS.numbersOnly = 1;
  Str255 text{0};
  presenter.Type("1a2b" + std::string(40, '9'));
  presenter.Key(13);
  EXPECT_EQ(InputDialog(PStr("Count:"), text), kHICommandOK);
  EXPECT_EQ(Str(text), "12" + std::string(29, '9'));
}

TEST_F(DialogLibraryTest, InputLettersOnlyAndCapacity) {
  dlogPARAMS.lettersOnly = 1;
  Str255 text{0};
  presenter.Type("ab1 c!d");
  presenter.Key(13);
  EXPECT_EQ(InputDialog(PStr("Word:"), text, 4), kHICommandOK);
  EXPECT_EQ(Str(text), "ab c");
}

TEST_F(DialogLibraryTest, PasswordRightWrongAndThreeTries) {
  presenter.Type("secret");
  presenter.Key(13);
  EXPECT_EQ(PasswordDialog(PStr("Password:"), PStr("secret")), kHICommandOK);

  presenter.shown.clear();
  for (int i = 0; i < 3; ++i) {
    presenter.Type("nope");
    presenter.Key(13);
    presenter.Key(13);  // the "wrong" sheet
  }
  EXPECT_EQ(PasswordDialog(PStr("Password:"), PStr("secret")), kHICommandCancel);
  EXPECT_EQ(platform.beeps, 3);
  EXPECT_EQ(presenter.misses, 0);

  presenter.Key(keychar::kEscape);
  EXPECT_EQ(PasswordDialog(PStr("Password:"), PStr("secret")), kHICommandCancel);
}

TEST_F(DialogLibraryTest, PasswordFieldTakesNoMoreThanCanBeStored) {
  std::string typed(40, 'x');
  presenter.Type(typed);
  presenter.Key(13);
  EXPECT_EQ(PasswordDialog(PStr("Password:"), PStr(std::string(31, 'x').c_str())), kHICommandOK);
}

TEST_F(DialogLibraryTest, NewPasswordMismatchStaysOpenThenSets) {
  Str255 password{0};
  bool noneDisabled = false;
  presenter.Do([&](const DialogView& v) {
    for (const auto& b : v.buttons)
      if (b.title == "None") noneDisabled = !b.enabled;
    return DialogAction{DialogAction::Key, -1, 'a', 0, nullptr, 0};
  });
  presenter.Key(9);
  presenter.Type("b");
  presenter.Key(13);
  presenter.Key(13);       // the mismatch sheet
  presenter.Type("pass");  // the first field has the focus again, all selected
  presenter.Key(9);
  presenter.Type("pass");
  presenter.Key(13);
  EXPECT_EQ(NewPasswordDialog(PStr("New password:"), password, PStr("Clear it?")), kHICommandOK);
  EXPECT_TRUE(noneDisabled);
  EXPECT_EQ(Str(password), "pass");
  EXPECT_EQ(platform.beeps, 1);
  bool sawMismatch = false;
  for (const auto& v : presenter.shown)
    for (const auto& t : v.texts) sawMismatch |= t.find("do not match") != std::string::npos;
  EXPECT_TRUE(sawMismatch);
  EXPECT_EQ(presenter.misses, 0);
}

TEST_F(DialogLibraryTest, NewPasswordNoneClearsAfterConfirmation) {
  Str255 password;
  CToPStr("old", password);
  presenter.ClickTitle("None");
  presenter.Key(13);  // the confirmation
  EXPECT_EQ(NewPasswordDialog(PStr("New password:"), password, PStr("Clear it?")), kHICommandOK);
  EXPECT_EQ(Str(password), "");
  EXPECT_EQ(presenter.shown[1].texts, std::vector<std::string>{"Clear it?"});
}

TEST_F(DialogLibraryTest, NewPasswordOf40CharactersIsStoredAsTyped) {
  Str255 password{0};
  presenter.Type(std::string(40, 'k'));
  presenter.Key(9);
  presenter.Type(std::string(40, 'k'));
  presenter.Key(13);
  EXPECT_EQ(NewPasswordDialog(PStr("New password:"), password, PStr("Clear?")), kHICommandOK);
  EXPECT_EQ(Str(password), std::string(31, 'k'));
}

TEST_F(DialogLibraryTest, ColourPickerAnswers) {
  presenter.Key(keychar::kEscape, keycode::kEscape);
  EXPECT_EQ(GetColorDialog(5), -1);
  presenter.ClickControl(kCommandColorGrid, 37);
  EXPECT_EQ(GetColorDialog(5), 37);
  presenter.ClickCommand(kHICommandCancel);
  EXPECT_EQ(GetColorDialog(5), -1);
  EXPECT_EQ(ColorCellAt(Point{2 + 12, 2 + 5 * 12 + 3}), 37);  // v, h
  EXPECT_EQ(ColorCellAt(Point{200, 2}), -1);
}

TEST_F(DialogLibraryTest, UrlPathDialogShowsShortPathsWhole) {
  std::string longPath = "/" + std::string(49, 'a') + "/tail.txt";
  CheckURLPathDialog("/tmp/short");
  CheckURLPathDialog(longPath.c_str());
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "/tmp/short");
  EXPECT_EQ(dialogs.Reports()[1].message, "/tail.txt");
}

}  // namespace

namespace {

TEST_F(DialogLibraryTest, ClassicFilters) {
  Rect bounds{0, 0, 120, 352};
  WindowRef dialog = NewStandardDialog(&bounds, PStr(""), 0);
  confirmDelay = 600;
  confirmButton = 1;
  confirmTimeoutButton = 2;
  SInt16 item = 0;
  EventRecord none{};
  EventRecord period{keyDown, '.', 0, Point{0, 0}, cmdKey >> 1};
  EventRecord letter{keyDown, 'x', 0, Point{0, 0}, 0};
  EXPECT_FALSE(TimedConfirmFilter(dialog, &none, &item));  // starts the clock
  EXPECT_FALSE(TimedConfirmFilter(dialog, &letter, &item));
  EXPECT_TRUE(TimedConfirmFilter(dialog, &period, &item));
  EXPECT_EQ(item, 1);
  EXPECT_FALSE(StandardDialogFilter(dialog, &letter, &item));
  EventRecord enter{keyDown, 3, 0, Point{0, 0}, 0};
  item = 0;
  EXPECT_TRUE(DontButtonFilter(dialog, &enter, &item));
  EXPECT_EQ(item, 1);
  EXPECT_FALSE(DontButtonFilter(dialog, &letter, &item));
  DisposeDialogWindow(dialog);
}

TEST_F(DialogLibraryTest, FeatureDialogsCarryTheirFeaturesAndStartAsAsked) {
  const Rect bounds{40, 60, 200, 360};
  const unsigned char title[] = "\x05Sizes";
  struct Case {
    const char* what;
    WindowRef (*make)(const Rect*, const unsigned char*, Boolean, SInt16, WindowRef, Boolean, SInt32);
    Boolean visible;
    UInt32 features;
  } cases[] = {
      {"root, shown", NewColorDialog_Root, true, 15},
      {"root, hidden", NewColorDialog_Root, false, 15},
      {"no hierarchy", NewColorDialog2, true, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindowRef window = c.make(&bounds, title, c.visible, 0, nullptr, true, 77);
    DialogWindowRecord* record = DialogRecord(window);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->features, c.features);
    EXPECT_EQ(record->visible, bool(c.visible));
    EXPECT_EQ(record->userRefCon, 77);
    EXPECT_EQ(record->bounds.right, 360);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->title) + 1, record->title[0]), "Sizes");
    DisposeDialogWindow(window);
  }
  EXPECT_EQ(NewColorDialog2(nullptr, title, true, 0, nullptr, false, 0), nullptr);
}

}  // namespace
