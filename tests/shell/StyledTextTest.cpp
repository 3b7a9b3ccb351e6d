#include <filesystem>

#include "ShellFixture.h"
#include "foundation/Paths.h"
#include "platform/QuickDraw.h"
#include "shell/StyledText.h"
#include "support/TempFolder.h"

namespace {

const UInt8 kCommandKey = 55;

std::vector<std::string> drawn;
void RecordDraw(const char* text, SInt32 count, const TextStyle&, SInt16, SInt16) { drawn.emplace_back(text, count); }

class StyledTextTest : public ShellTest {
 protected:
  StyledTextTest() {
    styledTextDrawProc = RecordDraw;
    drawn.clear();
  }
  ~StyledTextTest() override { styledTextDrawProc = nullptr; }
  void Type(char c) {
    platform.PostKey(PlatformEvent::KeyDown, 0, UInt8(c));
    platform.PostKey(PlatformEvent::KeyUp, 0, UInt8(c));
  }
  void Command(char c) {
    platform.PostKey(PlatformEvent::KeyDown, kCommandKey);
    Type(c);
    platform.PostKey(PlatformEvent::KeyUp, kCommandKey);
  }
  FakeEventPlatform platform;
  Rect view{0, 0, 100, 60};
};

TEST_F(StyledTextTest, ReturnBreaksTheLineAndOnlyEnterEnds) {
  Rect r = view;
  for (char c : std::string("ab")) Type(c);
  Type('\r');
  Type('c');
  Type(3);
  EditInfoText(&r, nullptr);
  EXPECT_EQ(styledScrapText, "ab\rc");
}

TEST_F(StyledTextTest, CommandKeysStyleTheSelection) {
  Rect r = view;
  for (char c : std::string("word")) Type(c);
  Command('a');
  Command('b');
  Command('i');
  Type(3);
  EditInfoText(&r, nullptr);
  ASSERT_EQ(styledScrapRuns.size(), 1u);
  EXPECT_EQ(styledScrapRuns[0].style.tsFace, kBoldFace | kItalicFace);
  for (char c : std::string("xy")) Type(c);
  Command('a');
  Command('b');
  Command('p');  // plain takes the bold away again
  Type(3);
  EditInfoText(&r, nullptr);
  EXPECT_EQ(styledScrapText, "xy");
  EXPECT_EQ(styledScrapRuns[0].style.tsFace, kPlainFace);
  for (char c : std::string("gone")) Type(c);
  Command('s');  // saves nothing
  Command('l');  // starts again from empty text
  Type('k');
  Type(3);
  EditInfoText(&r, nullptr);
  EXPECT_EQ(styledScrapText, "k");
}

TEST_F(StyledTextTest, RunsFollowEditing) {
  StyledText t(view);
  t.SetText("hello world");
  t.SetSelect(0, 5);
  TextStyle big;
  big.tsSize = 24;
  t.SetStyle(doSize, big);
  ASSERT_EQ(t.Runs().size(), 2u);
  EXPECT_EQ(t.Runs()[1].start, 5);
  t.SetSelect(2, 2);
  t.Key('X');  // typed in the style around it
  EXPECT_EQ(t.Text(), "heXllo world");
  EXPECT_EQ(t.StyleAt(2).tsSize, 24);
  EXPECT_EQ(t.Runs()[1].start, 6);
  t.SetSelect(4, 8);
  t.Cut();
  EXPECT_EQ(styledScrapText, "lo w");
  EXPECT_EQ(t.Text(), "heXlorld");
  ASSERT_EQ(styledScrapRuns.size(), 2u);
  EXPECT_EQ(styledScrapRuns[1].start, 2);
  t.SetSelect(0, 0);
  t.Paste();
  EXPECT_EQ(t.Text(), "lo wheXlorld");
  EXPECT_EQ(t.StyleAt(0).tsSize, 24);
  EXPECT_EQ(t.StyleAt(2).tsSize, 12);
  EXPECT_EQ(t.StyleAt(4).tsSize, 24);
  t.SetSelect(4, 4);
  t.Key(8);  // backspace
  EXPECT_EQ(t.Text(), "lo heXlorld");
}

TEST_F(StyledTextTest, LinesBreakAtBlanksAndAlign) {
  StyledText t(view);  // 60 wide; 7 pixels a character at size 12
  t.SetText("one two three four\rfive");
  std::vector<TextLine> lines = t.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(t.Text().substr(size_t(lines[0].start), size_t(lines[0].end - lines[0].start)), "one two ");
  EXPECT_EQ(lines[0].width, 49);
  EXPECT_EQ(t.Text().substr(size_t(lines[3].start)), "five");
  t.SetAlignment(teFlushRight);
  EXPECT_EQ(t.Lines()[3].left, 60 - 28);
  t.SetAlignment(teCenter);
  EXPECT_EQ(t.Lines()[3].left, (60 - 28) / 2);
  t.Draw();
  EXPECT_EQ(drawn.front(), "one two ");
}

TEST_F(StyledTextTest, ClicksPlaceTheCaret) {
  StyledText t(view);
  t.SetText("abcdef");
  t.Click({5, 15}, false);  // between b and c
  EXPECT_EQ(t.SelStart(), 2);
  t.Click({5, 36}, true);
  EXPECT_EQ(t.SelStart(), 2);
  EXPECT_EQ(t.SelEnd(), 5);
}

TEST(StyleCommands, TableAndBlends) {
  struct Case {
    char key;
    char command;
    UInt8 face;
  };
  for (const Case& c : {Case{'b', 'p', kBoldFace}, Case{'B', 'p', kBoldFace}, Case{',', 'p', kCondenseFace},
                        Case{'.', 'p', kExtendFace}, Case{'h', 'p', kShadowFace}, Case{'v', 'v', 0},
                        Case{'2', '2', 0}, Case{'z', 0, 0}}) {
    UInt8 face = 0;
    EXPECT_EQ(StyleCommand(c.key, &face), c.command) << c.key;
    EXPECT_EQ(face, c.face) << c.key;
  }
  std::vector<RGBColor> ramp = BlendColors({0, 0, 0}, {65535, 300, 0}, 4);
  EXPECT_EQ(ramp[1].red, 21845);
  EXPECT_EQ(ramp[3].green, 300);
  std::vector<RGBColor> words = BlendWordColors("ab cde", {0, 0, 0}, {100, 0, 0});
  EXPECT_EQ(words[0].red, 0);
  EXPECT_EQ(words[1].red, 100);
  EXPECT_EQ(words[3].red, 0);
  EXPECT_EQ(words[4].red, 50);
}

TEST_F(StyledTextTest, DrawingErasesOnlyWhenAsked) {
  GWorldPtr world = nullptr;
  Rect bounds{0, 0, 4, 4};
  ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), noErr);
  SetGWorld(world, nullptr);
  auto* pixel = reinterpret_cast<UInt32*>(GetPixBaseAddr(GetGWorldPixMap(world)));
  *pixel = 0x123456;
  TextStyle style;
  style.tsFace = kBoldFace;
  Rect area{0, 0, 20, 40};
  DrawText(reinterpret_cast<const unsigned char*>("\2Hi"), &area, &style, teCenter, 0);
  EXPECT_EQ(*pixel, 0x123456u);
  EXPECT_EQ(drawn.back(), "Hi");
  DrawText(reinterpret_cast<const unsigned char*>("\2Hi"), &area, &style, teCenter, 1);
  EXPECT_EQ(*pixel, 0x00FFFFFFu);
  SetGWorld(nullptr, nullptr);
  DisposeGWorld(world);
}

TEST_F(StyledTextTest, StyleResources) {
  TempFolder folder;
  SetBundlePathForTesting(folder.Path().c_str());
  std::filesystem::create_directories(GetResourcesPath());
  Rect r = view;
  EXPECT_THROW(PlaceText(reinterpret_cast<const unsigned char*>("\4info"), &r), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Failed to load 'styl' resource.");
  EXPECT_EQ(dialogs.Reports().back().detail, "PlaceText()");
  std::string one(22, '\0');
  one[1] = 1;
  folder.Write(GetResourcesPath().substr(folder.Path().size() + 1) + "/info.styl", one);
  PlaceText(reinterpret_cast<const unsigned char*>("\4info"), &r);
  SetBundlePathForTesting(nullptr);
}

}  // namespace
