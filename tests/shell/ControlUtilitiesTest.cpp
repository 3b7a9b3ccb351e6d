#include "DialogFixture.h"
#include "foundation/Paths.h"
#include "shell/ControlUtilities.h"
#include "support/TempFolder.h"

namespace {

class ControlUtilitiesTest : public DialogTest {};

TEST_F(ControlUtilitiesTest, ControlFontLastsOneCall) {
  FieldWindow();
  field->fontStyle.font = 7;
  ctrlPARAMS.size = 18;
  ctrlPARAMS.style = 1;
  ctrlPARAMS.foreColor = RGBColor{65535, 0, 0};
  SetControlFont(field);
  EXPECT_EQ(field->fontStyle.font, 7);  // font 0 leaves the font alone
  EXPECT_EQ(field->fontStyle.size, 18);
  EXPECT_EQ(field->fontStyle.style, 1);
  EXPECT_EQ(field->fontStyle.foreColor.red, 65535);
  SetControlFont(field);
  EXPECT_EQ(field->fontStyle.size, 12);
  EXPECT_EQ(field->fontStyle.style, 0);
  EXPECT_EQ(field->fontStyle.foreColor.red, 0);
  ctrlPARAMS.font = 3;
  SetControlFont(nullptr);
  EXPECT_EQ(ctrlPARAMS.font, 0);  // reset even without a control
}

// An icon-reference control shows the icon registered for the application's
// creator and the type: a registered icon file, else the icon number noted
// for the type; a type with neither is reported and shows the note icon,
// and the dialog being built keeps its settings.
TEST_F(ControlUtilitiesTest, IconCodeLooksUpTheApplicationsRegisteredIcon) {
  TempFolder folder;
  const std::string png = folder.Write("own.png", std::string("\x89PNG\r\n\x1A\n", 8));
  const std::string other = folder.Write("other.png", std::string("\x89PNG\r\n\x1A\n", 8));
  APPL.creator = FOUR_CHAR('H', 'l', 'v', 'n');
  const UInt32 own = FOUR_CHAR('i', 'c', 'o', '1'), numbered = FOUR_CHAR('i', 'c', 'o', '2'),
               foreign = FOUR_CHAR('i', 'c', 'o', '3'), none = FOUR_CHAR('i', 'c', 'o', '4');
  IconRef icon = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFile(APPL.creator, own, png.c_str(), &icon), noErr);
  ReleaseIconRef(icon);
  ASSERT_EQ(RegisterIconRefFromIconFile(FOUR_CHAR('o', 't', 'h', 'r'), foreign, other.c_str(), &icon), noErr);
  ReleaseIconRef(icon);
  ASSERT_EQ(RegisterIconCode(numbered, 2), noErr);
  struct Case {
    UInt32 type;
    std::string path;
    SInt16 value;
    bool reported;
  } cases[] = {
      {own, png, 0, false},
      {numbered, "", 2, false},
      {foreign, "", 1, true},  // registered for another application only
      {none, "", 1, true},
  };
  for (const Case& c : cases) {
    Rect bounds{0, 0, 100, 300};
    WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", 0);
    Rect r = IconPosition();
    ControlRef control = NewDialogControl(window, &r, kIconRefProc, (const unsigned char*)"", 0, 0, 0);
    dialogs.Clear();
    dlogPARAMS.extraWidth = 33;
    SetControlIconCode(control, c.type);
    EXPECT_EQ(control->iconPath, c.path) << c.type;
    EXPECT_EQ(control->value, c.value) << c.type;
    EXPECT_EQ(control->iconType, c.type);
    EXPECT_EQ(control->data[FOUR_CHAR('s', 'c', 'a', 'l')], 1);
    ASSERT_EQ(dialogs.Reports().size(), c.reported ? 1u : 0u) << c.type;
    if (c.reported) {
      EXPECT_EQ(dialogs.Reports()[0].message, "GetIconRef() failed.");
      EXPECT_EQ(dialogs.Reports()[0].detail, std::to_string(noSuchIconErr));
      EXPECT_FALSE(dialogs.Reports()[0].fatal) << "a missing icon never ends the program";
    }
    EXPECT_EQ(dlogPARAMS.extraWidth, 33) << "the dialog being built keeps its settings";
    dlogPARAMS.Reset();
    DisposeDialogWindow(window);
  }
}

TEST_F(ControlUtilitiesTest, SingleFontPartsAndTaggedSettings) {
  FieldWindow();
  SetControlFontSize(field, 9);
  SetControlFontFace(field, 4);
  SetControlFontJustification(field, -1);
  SetControlFontColor(field, RGBColor{1, 2, 3});
  EXPECT_EQ(field->fontStyle.size, 9);
  EXPECT_EQ(field->fontStyle.style, 4);
  EXPECT_EQ(field->fontStyle.just, -1);
  EXPECT_EQ(field->fontStyle.foreColor.blue, 3);
  SetControlFontSize(nullptr, 9);  // nothing for no control
  SetTextPlacement(field, 2);
  SetIconAlignment(field, 5);
  SetIndeterminateFlag(field, 1);
  EXPECT_EQ(field->data[kTagTextPlacement], 2);
  EXPECT_EQ(field->data[kTagGraphicAlignment], 5);
  EXPECT_EQ(field->data[kTagIndeterminate], 1);
  EXPECT_TRUE(dialogs.Reports().empty());
  SetTextOffset(nullptr, 3);
  SetControlCIcon(field, 128);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "SetTextOffset() failed.");
  EXPECT_EQ(dialogs.Reports()[1].message, "SetControlCIcon() failed.");
  EXPECT_FALSE(dialogs.Reports()[1].fatal);
}

TEST_F(ControlUtilitiesTest, PictureValuesAndNumbers) {
  FieldWindow("-42");
  EXPECT_EQ(GetControlTextAsNumber(field), -42);
  EXPECT_EQ(SetControlPict(nullptr, nullptr), -1);
  // The control keeps the picture it is to show, and loses it with none.
  UInt32 pixels[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  Rect frame{0, 0, 2, 2};
  PicHandle picture = NewPictureFromPixels(&frame, pixels);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(SetControlPict(field, picture), noErr);
  EXPECT_EQ(field->picture, picture);
  EXPECT_EQ(field->data[kTagPicture], 1);
  EXPECT_EQ(SetControlPict(field, nullptr), noErr);
  EXPECT_EQ(field->picture, nullptr);
  EXPECT_EQ(field->data[kTagPicture], 0);  // the old picture is gone
  KillPicture(picture);
  SetControlValues(field, 7, 1, 9);
  EXPECT_EQ(field->value, 7);
  EXPECT_EQ(field->minimum, 1);
  EXPECT_EQ(field->maximum, 9);
  ListHandle list;
  EXPECT_EQ(GetListBoxListHandle(nullptr, &list), paramErr);
  EXPECT_EQ(GetListBoxListHandle(field, nullptr), paramErr);
}

TEST_F(ControlUtilitiesTest, AnIconIsKeptAsItsFileAndOutlivesItsReference) {
  FieldWindow("");
  TempFolder folder;
  std::string png = folder.Write("icon.icns", std::string("\x89PNG\r\n\x1a\n", 8) + "rest");
  IconRef icon = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFile(0, 0, png.c_str(), &icon), noErr);
  EXPECT_EQ(SetControlIconRef(field, icon), noErr);
  ReleaseIconRef(icon);
  EXPECT_EQ(field->iconPath, png);
  EXPECT_EQ(field->data[kTagContent], 1);
  EXPECT_EQ(SetControlIconRef(field, nullptr), noErr);
  EXPECT_EQ(field->iconPath, "");
  EXPECT_EQ(SetControlIconRef(nullptr, nullptr), paramErr);
  // A bundle's icon by its name below Resources; a missing one is no icon.
  SetBundlePathForTesting(folder.Path().c_str());
  IconRef missing = nullptr;
  EXPECT_NE(LoadBundleIcon(kAudioIconFile, 0, &missing), noErr);
  EXPECT_EQ(missing, nullptr);
  SetBundlePathForTesting(nullptr);
}

TEST_F(ControlUtilitiesTest, ByteCounts) {
  struct Case {
    const char* start;
    SInt32 bytes;
    const char* want;
  } cases[] = {
      {"", 2048, "2.0 K"},
      {"", 1536, "1.5 K"},
      {"", 3145728, "3.0 M"},
      {"", 1048575, "1023.9 K"},
      {"Size: ", 3670016, "Size: 3.5 M"},
      {"A text of twenty-eight chars", 2048, "A text of twenty-eight chars2.0"},
  };
  for (const Case& c : cases) {
    Str255 text;
    CToPStr(c.start, text);
    AddBytesToString(c.bytes, text);
    EXPECT_EQ(Str(text), c.want) << c.bytes;
  }
}

TEST_F(ControlUtilitiesTest, TextViewStaysReadOnly) {
  FieldWindow();
  Rect r{0, 0, 100, 100};
  ControlRef view = NewDialogControl(window, &r, kTextViewProc, PStr(""), 0, 0, 0);
  view->readOnly = true;
  SetTextViewText(view, "hello world", -1, 1);
  EXPECT_EQ(view->text, "hello world");
  EXPECT_TRUE(view->readOnly);
  SetTextViewText(view, PStr("short"));
  EXPECT_EQ(view->text, "short");
  MakeTextViewTransparent(view);
  SetKeyboardFocus(window, view);
  view->selStart = 2;
  view->selEnd = 4;
  ClearKeyboardFocus(window);
  EXPECT_EQ(view->selStart, 0);
  EXPECT_EQ(view->selEnd, 0);
}

TEST_F(ControlUtilitiesTest, IconRegistryAndResources) {
  EXPECT_EQ(RegisteredIcon(FOUR_CHAR('t', 'e', 's', 't')), -1);
  EXPECT_EQ(RegisterIconCode(FOUR_CHAR('t', 'e', 's', 't'), 130), noErr);
  EXPECT_EQ(RegisteredIcon(FOUR_CHAR('t', 'e', 's', 't')), 130);
  EXPECT_EQ(GetCurrentResourceFSSpec(nullptr), resNotFound);
  EventRecord record{};
  SetEventRecord(&record);
  EXPECT_EQ(gEventREC, &record);
  gEventREC = &theEVENT;
}

}  // namespace
