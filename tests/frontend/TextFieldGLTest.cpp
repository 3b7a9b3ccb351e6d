#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "frontend/controls/TextFieldGL.h"
#include "graphics/ImageBuffer.h"
#include "support/FakeClipboard.h"

namespace {

// Every character 10 pixels wide, whatever the font.
int FixedPitch(const char* text, FT_Face, float) { return 10 * int(std::strlen(text)); }

// A field whose text shows in a 100-pixel rectangle, text scale 2.
class TextFieldTest : public ::testing::Test {
 protected:
  TextFieldTest() : buffer(1024, 128) {
    savedMeasure = textFieldMeasure;
    textFieldMeasure = FixedPitch;
    savedBuffer = mainGUI.imageBuff;
    savedScale = mainGUI.textScale;
    mainGUI.imageBuff = &buffer;
    mainGUI.textScale = 2.0f;
    FakeLoad(&keySound, 51);
    FakeLoad(&deleteSound, 52);
    field.keySound = &keySound;
    field.deleteSound = &deleteSound;
    field.bounds = Rect{100, 96, 132, 204};
    field.textRect = Rect{100, 100, 132, 200};
  }
  ~TextFieldTest() override {
    textFieldMeasure = savedMeasure;
    mainGUI.imageBuff = savedBuffer;
    mainGUI.textScale = savedScale;
  }
  // One pass with the button up and one key.
  ControlGL* Key(UInt8 key) {
    UserInput in{0, 0, Point{0, 0}};
    return field.HandleInput(&in, char(key));
  }
  void Type(const std::string& s) {
    for (char c : s) Key(UInt8(c));
  }
  void Start(const std::string& text, SInt16 caret) {
    field.Select();
    field.text = text;
    field.caret = caret;
    rec.sounds.clear();
  }
  ImageBuffer buffer;
  ControlTestRecorders rec;
  ALSound keySound, deleteSound;
  TextFieldGL field;
  int (*savedMeasure)(const char*, FT_Face, float);
  ImageBuffer* savedBuffer;
  float savedScale;
};

TEST_F(TextFieldTest, KeysEditTheTextAndMoveTheCaret) {
  struct Case {
    const char* text;
    SInt16 caret;
    UInt8 key;
    const char* after;
    SInt16 caretAfter;
    unsigned sound;  // 0 none
  };
  const Case cases[] = {
      {"abc", 3, 'd', "abcd", 4, 51}, {"abc", 1, 'X', "aXbc", 2, 51}, {"abc", 2, 8, "ac", 1, 52},
      {"abc", 0, 8, "abc", 0, 0},     {"abc", 1, 127, "ac", 1, 52},   {"abc", 3, 127, "abc", 3, 0},
      {"abc", 2, 28, "abc", 1, 0},    {"abc", 0, 28, "abc", 0, 0},    {"abc", 2, 29, "abc", 3, 0},
      {"abc", 3, 29, "abc", 3, 0},    {"abc", 2, 30, "abc", 0, 0},    {"abc", 1, 31, "abc", 3, 0},
      {"abc", 1, 9, "abc", 1, 0},     {"abc", 1, 13, "abc", 1, 0},    {"abc", 1, 27, "abc", 1, 0},
      {"abc", 1, 3, "abc", 1, 0},     {"abc", 1, ' ', "a bc", 2, 51}, {"", 0, '~', "~", 1, 51},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " key " + std::to_string(c.key) + " at " + std::to_string(c.caret));
    Start(c.text, c.caret);
    field.blink = 6;
    Key(c.key);
    EXPECT_EQ(field.text, c.after);
    EXPECT_EQ(field.caret, c.caretAfter);
    EXPECT_EQ(field.blink, 0);  // every key shows the caret at once
    if (c.sound) {
      ASSERT_EQ(rec.sounds.size(), 1u);
      EXPECT_EQ(rec.sounds[0].buffer, c.sound);
    } else {
      EXPECT_TRUE(rec.sounds.empty());
    }
  }
}

TEST_F(TextFieldTest, RefusesWhatCannotGoIntoAName) {
  for (UInt8 key : {UInt8('<'), UInt8('>'), UInt8(10), UInt8(2), UInt8(31 - 5), UInt8(200), UInt8(255)}) {
    SCOPED_TRACE(int(key));
    Start("ab", 2);
    field.blink = 5;
    Key(key);
    EXPECT_EQ(field.text, "ab");
    EXPECT_EQ(field.caret, 2);
    EXPECT_EQ(field.blink, 0);
    EXPECT_TRUE(rec.sounds.empty());
  }
}

TEST_F(TextFieldTest, TakesAtMostThirtyOneCharacters) {
  Start("", 0);
  Type(std::string(31, 'n'));
  EXPECT_EQ(field.text.size(), 31u);
  EXPECT_EQ(rec.sounds.size(), 31u);
  Key('z');
  EXPECT_EQ(field.text, std::string(31, 'n'));
  EXPECT_EQ(rec.sounds.size(), 31u);
  Key(8);
  Key('z');
  EXPECT_EQ(field.text, std::string(30, 'n') + "z");
}

TEST_F(TextFieldTest, KeysReachOnlyTheSelectedField) {
  field.text = "abc";
  selectedCONTROL = nullptr;
  Key('d');
  EXPECT_EQ(field.text, "abc");
  field.enabled = 0;
  field.Select();
  EXPECT_EQ(Key('d'), nullptr);
  EXPECT_EQ(field.text, "abc");
}

TEST_F(TextFieldTest, ClickInsideSelectsWithTheCaretAtTheEnd) {
  field.text = "abc";
  UserInput in{1, 1, Point{110, 150}};
  EXPECT_EQ(field.HandleInput(&in, 0), &field);
  EXPECT_EQ(selectedCONTROL, &field);
  EXPECT_EQ(field.caret, 3);
  EXPECT_EQ(field.hilite, 0);
  in.down = 0;
  field.HandleInput(&in, 0);
  EXPECT_EQ(pressedCONTROL, nullptr);
}

TEST_F(TextFieldTest, AKeyIsTypedWhileAnotherControlHoldsThePress) {
  ButtonGL button;
  button.bounds = Rect{200, 200, 220, 260};
  Start("ab", 2);
  UserInput in{1, 1, Point{210, 210}};
  button.HandleInput(&in, 4, 0);
  ASSERT_EQ(pressedCONTROL, &button);
  field.HandleInput(&in, 'c');
  EXPECT_EQ(field.text, "abc");
  EXPECT_EQ(pressedCONTROL, &button);
}

TEST_F(TextFieldTest, PasteGoesIntoTheSelectedFieldFilteredAndLimited) {
  FakeClipboard clipboard;
  clipboard.text = "a<b>\tc\nd";
  field.text = "x";
  PasteClipboardGL();  // nothing selected
  EXPECT_EQ(field.text, "x");
  EXPECT_EQ(clipboard.reads, 0);

  ButtonGL button;
  selectedCONTROL = &button;  // the selected control is no text field
  PasteClipboardGL();
  PasteTextGL("zz");
  EXPECT_EQ(field.text, "x");

  field.Select();
  PasteClipboardGL();
  EXPECT_EQ(field.text, "xabcd");
  EXPECT_EQ(field.caret, 5);
  EXPECT_TRUE(rec.sounds.empty());  // pasting is silent

  field.caret = 1;
  PasteTextGL(std::string(40, 'q').c_str());
  EXPECT_EQ(field.text, "x" + std::string(26, 'q') + "abcd");
  EXPECT_EQ(field.caret, 27);

  clipboard.readable = false;
  field.text = "x";
  field.Select();
  PasteClipboardGL();
  EXPECT_EQ(field.text, "x");
}

TEST_F(TextFieldTest, CaretAndOverflowFollowTheTextWidth) {
  Start("abcde", 2);
  Rect caret = field.GetCaret();
  EXPECT_EQ(caret.left, 100 + 4 + 10);  // 20 pixels of text at scale 2
  EXPECT_EQ(caret.right - caret.left, 4);
  EXPECT_EQ(caret.top, 100);
  EXPECT_EQ(caret.bottom, 132);
  EXPECT_EQ(field.GetOffset(), 0);
  field.text = std::string(25, 'w');
  EXPECT_EQ(field.GetOffset(), 30);  // 0.6 x (250 - 200)
}

TEST_F(TextFieldTest, LongTextScrollsToKeepTheCaretInView) {
  Start(std::string(25, 'w'), 25);
  FakeImage(&field.textImage, 260, 64);
  field.Draw();
  // Caret at 100 + 4 + 125 = 229..233, beyond 200 by 33.
  auto text = rec.DrawsOf(field.textImage);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].rect.left, 100 - 33);
  auto caret = rec.DrawsOf(mainGUI.caretImage);
  ASSERT_EQ(caret.size(), 1u);
  EXPECT_EQ(caret[0].rect.left, 229 - 33);

  rec.draws.clear();
  Key(30);  // back to the start: shown from its beginning again
  field.Draw();
  EXPECT_EQ(rec.DrawsOf(field.textImage)[0].rect.left, 100);

  rec.draws.clear();
  field.blink = 4;  // the caret's dark half of the blink
  field.Draw();
  EXPECT_TRUE(rec.DrawsOf(mainGUI.caretImage).empty());

  rec.draws.clear();
  selectedCONTROL = nullptr;
  field.caret = 25;
  field.Draw();
  EXPECT_EQ(rec.DrawsOf(field.textImage)[0].rect.left, 100);  // unselected: no scrolling
  field.textImage.texture = 0;
}

TEST_F(TextFieldTest, FlashTintsTextCaretAndHilite) {
  Start("ab", 2);
  FakeImage(&field.textImage, 100, 64);
  FakeImage(&mainGUI.fieldHiliteSkin[0], 8, 32);
  FakeImage(&mainGUI.fieldHiliteSkin[1], 8, 32);
  FakeImage(&mainGUI.fieldHiliteSkin[2], 8, 32);
  field.flash = 2;
  field.Draw();
  const ImageDraw text = rec.DrawsOf(field.textImage)[0];
  EXPECT_FLOAT_EQ(text.red, 1.0f);
  EXPECT_FLOAT_EQ(text.green, 0.0f);
  EXPECT_FLOAT_EQ(rec.DrawsOf(mainGUI.caretImage)[0].green, 0.0f);
  EXPECT_FLOAT_EQ(rec.DrawsOf(mainGUI.fieldHiliteSkin[0])[0].blue, 0.0f);
  field.Animate();
  field.Animate();
  EXPECT_EQ(field.flash, 0);
  rec.draws.clear();
  field.Draw();
  EXPECT_FLOAT_EQ(rec.DrawsOf(field.textImage)[0].green, 1.0f);
  EXPECT_FLOAT_EQ(rec.DrawsOf(mainGUI.fieldHiliteSkin[0])[0].green, 1.0f);
  field.textImage.texture = 0;
  for (ImageGL& i : mainGUI.fieldHiliteSkin) FakeImage(&i, 0, 0, false);
}

TEST_F(TextFieldTest, CaretBlinksOnANineTickCycle) {
  field.blink = 0;
  for (int tick = 1; tick <= 8; ++tick) {
    field.Animate();
    EXPECT_EQ(field.blink, tick);
  }
  field.Animate();
  EXPECT_EQ(field.blink, 0);
}

// A text selected whole gives way to what is typed or pasted; a field with
// no text has nothing to select, and selecting anew ends the selection.
TEST_F(TextFieldTest, SelectedWholeTextIsReplaced) {
  auto selectAll = [&](const char* text) {
    field.text = text;
    field.SelectAll();
    rec.sounds.clear();
  };
  selectAll("Maximilian");
  EXPECT_TRUE(field.allSelected);
  EXPECT_EQ(field.caret, 10);
  PasteTextGL("Abby");
  EXPECT_EQ(field.text, "Abby");
  EXPECT_EQ(field.caret, 4);
  EXPECT_FALSE(field.allSelected);

  // The whole limit is free for what replaces a long text.
  selectAll("abcdefghijklmnopqrstuvwxyz01234");
  PasteTextGL("0123456789012345678901234567890123456789");
  EXPECT_EQ(field.text, "0123456789012345678901234567890");

  // A refused character leaves the selection as it was.
  selectAll("Max");
  Key('<');
  EXPECT_EQ(field.text, "Max");
  EXPECT_TRUE(field.allSelected);
  Key(127);  // forward delete erases it as one, with one sound
  EXPECT_EQ(field.text, "");
  EXPECT_EQ(rec.sounds.size(), 1u);

  selectAll("");
  EXPECT_FALSE(field.allSelected);
  selectAll("Max");
  field.Select();
  EXPECT_FALSE(field.allSelected);
  Key('x');
  EXPECT_EQ(field.text, "Maxx");
}

}  // namespace
