#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>

#include "ShellFixture.h"
#include "foundation/Paths.h"
#include "platform/DialogModel.h"
#include "platform/PlatformTime.h"
#include "platform/QuickDraw.h"
#include "platform/QuickDrawColor.h"
#include "shell/DialogLibrary.h"
#include "shell/StandardDialog.h"
#include "shell/StyledText.h"
#include "support/FakeClipboard.h"
#include "support/FakeTime.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogPresenter.h"
#include "support/TempFolder.h"

namespace {

const UInt8 kCommandKey = 55;

struct Drawn {
  std::string text;
  TextStyle style;
};
std::vector<Drawn> drawn;
void RecordDraw(const char* text, SInt32 count, const TextStyle& style, SInt16, SInt16) {
  drawn.push_back({std::string(text, size_t(count)), style});
}

// The keyboard and mouse as the editor meets them. The editor and each
// dialog flush the input typed before they start, as the system's do, so
// the user's input is held back in batches: the first arrives once the
// editor waits for input, each next one once a dialog has been dismissed and
// the editor looks at the mouse button again. An editor that keeps asking
// for input that never comes is ended through applQUIT and the platform
// notes that it starved, so no test can hang.
struct EditorPlatform : FakeEventPlatform {
  static constexpr int kPumpLimit = 200000;
  std::deque<std::function<void()>> batches;
  bool ready = true;  // the next batch may come
  bool starved = false;
  int pumps = 0;

  void Pump() override {
    if (++pumps > kPumpLimit && !applQUIT) {
      starved = true;
      applQUIT = 1;
    }
  }
  // The button as it was when asked; a batch posted now is what follows.
  bool Button() override {
    bool down = button;
    if (ready && !batches.empty()) {
      ready = false;
      std::function<void()> next = batches.front();
      batches.pop_front();
      next();
    }
    return down;
  }
};

struct EditorPresenter : ScriptedDialogPresenter {
  EditorPlatform* platform = nullptr;
  void Dismiss(WindowRef) override { platform->ready = true; }
};

class StyledTextTest : public ShellTest {
 protected:
  StyledTextTest() {
    styledTextDrawProc = RecordDraw;
    drawn.clear();
    dlogPARAMS.Reset();
    presenter.platform = &platform;
  }
  ~StyledTextTest() override {
    styledTextDrawProc = nullptr;
    dlogPARAMS.Reset();
  }
  void Type(char c) {
    platform.PostKey(PlatformEvent::KeyDown, 0, UInt8(c));
    platform.PostKey(PlatformEvent::KeyUp, 0, UInt8(c));
  }
  void Type(const std::string& text) {
    for (char c : text) Type(c);
  }
  void Command(char c) {
    platform.PostKey(PlatformEvent::KeyDown, kCommandKey);
    Type(c);
    platform.PostKey(PlatformEvent::KeyUp, kCommandKey);
  }
  // The user's next batch of input: at the editor's start, then after each
  // dialog.
  void Then(std::function<void()> batch) { platform.batches.push_back(std::move(batch)); }
  // Runs the editor until Enter; false when it starved first.
  bool Edit() {
    platform.ready = true;
    platform.pumps = 0;
    Rect r = view;
    EditInfoText(&r, nullptr);
    return !platform.starved;
  }
  // The style of one character of the editor's result.
  TextStyle ResultStyle(SInt32 offset) {
    StyledText t(view);
    t.Insert(styledScrapText, styledScrapRuns);
    return t.StyleAt(offset);
  }
  static RGBColor TableColor(SInt16 index) {
    RGBColor c;
    Index2Color(index, &c);
    return c;
  }

  EditorPlatform platform;
  EditorPresenter presenter;
  Rect view{0, 0, 100, 60};
};

bool SameColor(const RGBColor& a, const RGBColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

TEST_F(StyledTextTest, ReturnBreaksTheLineAndOnlyEnterEnds) {
  Then([this] {
    for (char c : std::string("ab")) Type(c);
    Type('\r');
    Type('c');
    Type(3);
  });
  ASSERT_TRUE(Edit());
  EXPECT_EQ(styledScrapText, "ab\rc");
}

TEST_F(StyledTextTest, CommandKeysStyleTheSelection) {
  Then([this] {
    for (char c : std::string("word")) Type(c);
    Command('a');
    Command('b');
    Command('i');
    Type(3);
  });
  ASSERT_TRUE(Edit());
  ASSERT_EQ(styledScrapRuns.size(), 1u);
  EXPECT_EQ(styledScrapRuns[0].style.tsFace, kBoldFace | kItalicFace);
  Then([this] {
    for (char c : std::string("xy")) Type(c);
    Command('a');
    Command('b');
    Command('p');  // plain takes the bold away again
    Type(3);
  });
  ASSERT_TRUE(Edit());
  EXPECT_EQ(styledScrapText, "xy");
  EXPECT_EQ(styledScrapRuns[0].style.tsFace, kPlainFace);
  Then([this] {
    for (char c : std::string("gone")) Type(c);
    Command('s');  // saves nothing
    Command('l');  // starts again from empty text
    Type('k');
    Type(3);
  });
  ASSERT_TRUE(Edit());
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
  EXPECT_EQ(drawn.front().text, "one two ");
}

// The characters the layout measures, at one pixel each whatever the style.
SInt32 measuredCharacters = 0;
SInt32 CountingWidth(const char*, SInt32 count, const TextStyle&) {
  measuredCharacters += count;
  return count;
}

// The lines as the layout means them, measured character by character.
std::vector<std::pair<SInt32, SInt32>> ReferenceLines(const std::string& text, SInt32 maxWidth) {
  std::vector<std::pair<SInt32, SInt32>> lines;
  SInt32 size = SInt32(text.size());
  for (SInt32 start = 0; start < size || lines.empty();) {
    SInt32 end = start, lastBreak = -1;
    while (end < size && text[size_t(end)] != '\r') {
      if (end + 1 - start > maxWidth && end > start) break;
      if (text[size_t(end)] == ' ' || text[size_t(end)] == '\t') lastBreak = end + 1;
      end++;
    }
    SInt32 next = end;
    if (end < size && text[size_t(end)] == '\r')
      next = end + 1;
    else if (end < size && lastBreak > start)
      end = next = lastBreak;
    lines.push_back({start, end});
    if (next == start) break;
    start = next;
  }
  return lines;
}

// A long line is laid out in n log n measured characters, not n squared,
// and breaks where measuring each character would break it.
TEST_F(StyledTextTest, LongLinesAreLaidOutWithoutMeasuringEachPrefix) {
  std::string bytes = FixtureBytes("styled-text-4000-chars-size1.bin");
  std::string longLine = bytes.substr(bytes.find('x'));
  ASSERT_GE(longLine.size(), 4000u);
  styledTextWidthProc = CountingWidth;
  struct Case {
    const char* what;
    std::string text;
    SInt16 width;
  } cases[] = {
      {"one line of the fixture's characters", longLine, 30000},
      {"the same broken every 7", longLine, 7},
      {"words", "one two three four five six seven eight nine ten eleven twelve", 13},
      {"a word wider than the view", "abcdefghijklmnopqrstuvwxyz tail", 5},
      {"returns and blanks", "a\r\rbb  cc\r  ddd eee\r", 3},
      {"one character a line", "abc def", 1},
      {"empty", "", 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StyledText t(Rect{0, 0, 100, c.width});
    t.SetText(c.text);
    measuredCharacters = 0;
    std::vector<TextLine> lines = t.Lines();
    std::vector<std::pair<SInt32, SInt32>> got;
    for (const TextLine& line : lines) got.push_back({line.start, line.end});
    EXPECT_EQ(got, ReferenceLines(c.text, c.width));
    SInt32 n = std::max<SInt32>(SInt32(c.text.size()), 1);
    EXPECT_LT(measuredCharacters, 40 * n) << "measured " << measuredCharacters << " characters for " << n;
  }
  styledTextWidthProc = nullptr;
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

// Estimated widths: 7 pixels a character at size 12, lines 15 high.
TEST_F(StyledTextTest, TheCaretStandsAtTheInsertionPoint) {
  struct Case {
    const char* name;
    const char* text;
    SInt32 start, end;
    SInt16 alignment;
    Rect caret;  // empty: none
  };
  const Case cases[] = {
      {"empty text", "", 0, 0, teFlushLeft, {0, 0, 15, 1}},
      {"after the text", "ab", 2, 2, teFlushLeft, {0, 14, 15, 15}},
      {"inside", "abc", 1, 1, teFlushLeft, {0, 7, 15, 8}},
      {"before a Return", "ab\rcd", 2, 2, teFlushLeft, {0, 14, 15, 15}},
      {"after a Return", "ab\rcd", 3, 3, teFlushLeft, {15, 0, 30, 1}},
      {"on the second line", "ab\rcd", 4, 4, teFlushLeft, {15, 7, 30, 8}},
      {"after a final Return", "ab\r", 3, 3, teFlushLeft, {15, 0, 30, 1}},
      {"at a soft break", "aaaa bbbb", 5, 5, teFlushLeft, {15, 0, 30, 1}},  // 63 pixels wrap in 60
      {"centred", "ab", 2, 2, teCenter, {0, 37, 15, 38}},
      {"flush right", "ab", 0, 0, teFlushRight, {0, 46, 15, 47}},
      {"a selected range", "abc", 0, 2, teFlushLeft, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StyledText t(view);
    t.SetText(c.text);
    t.SetAlignment(c.alignment);
    t.SetSelect(c.start, c.end);
    const Rect r = t.CaretRect();
    EXPECT_EQ(r.top, c.caret.top);
    EXPECT_EQ(r.left, c.caret.left);
    EXPECT_EQ(r.bottom, c.caret.bottom);
    EXPECT_EQ(r.right, c.caret.right);
  }
}

// The editor shows the caret after each key, blinks it while nothing
// happens (30 ticks on, 30 off) and takes it away at the end.
struct Inversion {
  SInt16 left;
  UInt32 tick;
};
std::vector<Inversion> inversions;
FakeEventPlatform* caretPlatform;
void RecordInversion(const Rect& r) {
  inversions.push_back({r.left, TickCount()});
  // Enter once the caret after "ab" has blinked off and on again twice.
  if (std::count_if(inversions.begin(), inversions.end(), [](const Inversion& i) { return i.left == 14; }) == 5) {
    caretPlatform->PostKey(PlatformEvent::KeyDown, 0, 3);
    caretPlatform->PostKey(PlatformEvent::KeyUp, 0, 3);
  }
}

TEST_F(StyledTextTest, TheEditorBlinksTheCaret) {
  FakeTime clock(1000);  // a millisecond at every reading
  styledInvertProc = RecordInversion;
  caretPlatform = &platform;
  inversions.clear();
  Then([this] { Type("ab"); });
  const bool ended = Edit();
  styledInvertProc = nullptr;
  ASSERT_TRUE(ended);
  EXPECT_EQ(styledScrapText, "ab");
  // On and off at 0 and at 7 around the keys, then at 14 until Enter.
  std::vector<SInt16> lefts;
  for (const Inversion& i : inversions) lefts.push_back(i.left);
  EXPECT_EQ(lefts, (std::vector<SInt16>{0, 0, 7, 7, 14, 14, 14, 14, 14, 14}));
  ASSERT_EQ(inversions.size(), 10u);
  for (size_t i = 5; i < 9; i++) {
    const UInt32 gap = inversions[i].tick - inversions[i - 1].tick;
    EXPECT_GE(gap, kCaretTicks);
    EXPECT_LE(gap, kCaretTicks + 1);
  }
}

TEST(StyleCommands, TableAndBlends) {
  struct Case {
    char key;
    char command;
    UInt8 face;
  };
  for (const Case& c : {Case{'b', 'p', kBoldFace}, Case{'B', 'p', kBoldFace}, Case{',', 'p', kCondenseFace},
                        Case{'.', 'p', kExtendFace}, Case{'h', 'p', kShadowFace}, Case{'v', 'v', 0}, Case{'2', '2', 0},
                        Case{'z', 0, 0}}) {
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
  EXPECT_EQ(drawn.back().text, "Hi");
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

// Each asking command on a selected "ab cd": what the dialog is told, what
// comes of it, and a beep for answers that cannot be used.
TEST_F(StyledTextTest, AskingCommandsStyleTheSelection) {
  struct Case {
    const char* name;
    char key;
    std::function<void(ScriptedDialogPresenter&)> answer;
    SInt16 size, font;
    SInt16 colourIndex;  // -1: the colour stays black
    int beeps;
  };
  auto typeAndReturn = [](const char* text) {
    return [text](ScriptedDialogPresenter& p) {
      p.Type(text);
      p.Key(13);
    };
  };
  auto escape = [](ScriptedDialogPresenter& p) { p.Key(27, 53); };
  const Case cases[] = {
      {"size", 't', typeAndReturn("18"), 18, 0, -1, 0},
      {"size typed with letters", 't', typeAndReturn("1a8"), 18, 0, -1, 0},
      {"size zero", 't', typeAndReturn("0"), 12, 0, -1, 1},
      {"size too large", 't', typeAndReturn("999"), 12, 0, -1, 1},
      {"size cancelled", 't', escape, 12, 0, -1, 0},
      {"font", 'f', typeAndReturn("Monaco"), 12, 4, -1, 0},
      {"font in other case with blanks", 'f', typeAndReturn(" monaco "), 12, 4, -1, 0},
      {"font offered", 'f', [](ScriptedDialogPresenter& p) { p.Key(13); }, 12, 3, -1, 0},
      {"unknown font", 'f', typeAndReturn("Nowhere Sans"), 12, 0, -1, 1},
      {"font cancelled", 'f', escape, 12, 0, -1, 0},
      {"colour", 'r', [](ScriptedDialogPresenter& p) { p.ClickControl(kCommandColorGrid, 37); }, 12, 0, 37, 0},
      {"colour cancelled", 'r', escape, 12, 0, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    presenter.shown.clear();
    platform.beeps = 0;
    Then([&] {
      Type("ab cd");
      Command('a');
      Command(c.key);
    });
    c.answer(presenter);
    Then([this] { Type(3); });
    ASSERT_TRUE(Edit());
    EXPECT_EQ(presenter.misses, 0);
    EXPECT_EQ(platform.beeps, c.beeps);
    EXPECT_EQ(styledScrapText, "ab cd");
    ASSERT_EQ(styledScrapRuns.size(), 1u);  // the whole selection alike
    TextStyle style = styledScrapRuns[0].style;
    EXPECT_EQ(style.tsSize, c.size);
    EXPECT_EQ(style.tsFont, c.font);
    EXPECT_TRUE(SameColor(style.tsColor, c.colourIndex < 0 ? RGBColor{0, 0, 0} : TableColor(c.colourIndex)));
    ASSERT_FALSE(presenter.shown.empty());
    const DialogView& dialog = presenter.shown[0];
    if (c.key == 'r') {
      EXPECT_EQ(dialog.bounds.right - dialog.bounds.left, 388);
      continue;
    }
    ASSERT_FALSE(dialog.texts.empty());
    EXPECT_EQ(dialog.texts[0], c.key == 't' ? "Set font size to:" : "Set text font to:");
    EXPECT_EQ(dialog.bounds.right - dialog.bounds.left, 300 + 256);
    EXPECT_EQ(dialog.bounds.bottom - dialog.bounds.top, 120 + 96);
  }
}

TEST_F(StyledTextTest, DialogsOfferTheDefaultsAndTheCurrentColour) {
  std::vector<std::string> fields;
  SInt16 offered = -2;
  auto field = [&](const DialogView& view) {
    for (ControlRef c : AllControls(view.window))
      if (c->command == kCommandInput) fields.push_back(c->text);
    return DialogAction{DialogAction::Key, -1, 27, 53, nullptr, 0};
  };
  Then([this] {
    Type("x");
    Command('a');
    Command('t');
  });
  presenter.Do(field);
  Then([this] { Command('f'); });
  presenter.Do(field);
  Then([this] { Command('r'); });
  presenter.Do([&](const DialogView& view) {
    for (ControlRef c : AllControls(view.window))
      if (c->command == kCommandColorGrid) offered = c->value;
    return DialogAction{DialogAction::Key, -1, 27, 53, nullptr, 0};
  });
  Then([this] { Type(3); });
  int arrows = platform.arrowCursors;
  ASSERT_TRUE(Edit());
  EXPECT_EQ(fields, (std::vector<std::string>{"12", "Geneva"}));
  RGBColor black{0, 0, 0};
  EXPECT_EQ(offered, Color2Index(&black));       // the text's colour
  EXPECT_GE(platform.arrowCursors - arrows, 4);  // at the start and after each command
}

// Two colours per character across the selection, or from the first to the
// second within each word; either dialog cancelled leaves the colours.
TEST_F(StyledTextTest, ColourBlends) {
  struct Case {
    const char* name;
    char key;
    bool cancelSecond;
    bool buttonHeld;  // the mouse button goes down while the blend runs
  };
  for (const Case& c :
       {Case{"per character", '1', false, false}, Case{"per word", '2', false, false},
        Case{"second colour cancelled", '1', true, false}, Case{"per word stopped by the button", '2', false, true}}) {
    SCOPED_TRACE(c.name);
    Then([&] {
      Type("ab cde");
      Command('a');
      Command(c.key);
    });
    presenter.ClickControl(kCommandColorGrid, 5);
    if (c.cancelSecond)
      presenter.Key(27, 53);
    else
      presenter.Do([&](const DialogView& view) {
        platform.button = c.buttonHeld;
        for (ControlRef ctl : AllControls(view.window))
          if (ctl->command == kCommandColorGrid) return DialogAction{DialogAction::Control, -1, 0, 0, ctl, 200};
        return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
      });
    Then([this] {
      platform.PostMouse(PlatformEvent::MouseUp, Point{0, 0});
      Type(3);
    });
    ASSERT_TRUE(Edit());
    EXPECT_EQ(presenter.misses, 0);
    std::vector<RGBColor> expected(6, RGBColor{0, 0, 0});
    if (!c.cancelSecond && !c.buttonHeld && c.key == '1') expected = BlendColors(TableColor(5), TableColor(200), 6);
    if (!c.cancelSecond && !c.buttonHeld && c.key == '2') {
      std::vector<RGBColor> two = BlendColors(TableColor(5), TableColor(200), 2),
                            three = BlendColors(TableColor(5), TableColor(200), 3);
      expected = {two[0], two[1], RGBColor{0, 0, 0}, three[0], three[1], three[2]};  // the blank keeps its colour
    }
    for (SInt32 i = 0; i < 6; i++) EXPECT_TRUE(SameColor(ResultStyle(i).tsColor, expected[size_t(i)])) << i;
  }
}

// The result leaves as text for other programs; a paste takes the styled
// form back while the clipboard still holds it, and another program's text
// otherwise.
TEST_F(StyledTextTest, ClipboardCarriesTheResult) {
  FakeClipboard clipboard;
  Then([this] {
    Type(
        "\x8E"
        "t\x8E\rfin");  // Mac Roman e acute
    Command('a');
    Command('b');
    Type(3);
  });
  ASSERT_TRUE(Edit());
  EXPECT_EQ(clipboard.text, "\u00E9t\u00E9\nfin");
  EXPECT_EQ(styledScrapText,
            "\x8E"
            "t\x8E\rfin");

  struct Case {
    const char* name;
    std::function<void()> before, after;  // what happens to the clipboard around the copy
    std::string pasted;
    UInt8 face;
  };
  const std::string styled =
      "\x8E"
      "t\x8E\rfin";
  auto nothing = [] {};
  const Case cases[] = {
      {"own text", nothing, nothing, styled, kBoldFace},
      {"another program's text", nothing, [&] { clipboard.text = "na\u00EFve\r\nx"; }, "na\x95ve\rx", kPlainFace},
      {"unreadable", [&] { clipboard.readable = false; }, nothing, styled, kBoldFace},
      {"not writable",
       [&] {
         clipboard.writable = false;
         clipboard.text = "older";
       },
       nothing, styled, kBoldFace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clipboard.readable = clipboard.writable = true;
    clipboard.text.clear();
    TextStyle bold;
    bold.tsFace = kBoldFace;
    StyledText source(view);
    source.Insert(styled, {{0, bold}});
    source.SelectAll();
    c.before();
    source.Copy();
    c.after();
    StyledText t(view);
    t.Paste();
    EXPECT_EQ(t.Text(), c.pasted);
    EXPECT_EQ(t.StyleAt(0).tsFace, c.face);
  }
}

TEST_F(StyledTextTest, StyleResourcesTakeTheirTextFromTheCompanionFile) {
  TempFolder folder;
  SetBundlePathForTesting(folder.Path().c_str());
  std::filesystem::create_directories(GetResourcesPath());
  std::string resources = GetResourcesPath().substr(folder.Path().size() + 1);
  // One element: start, height, ascent, font, face + filler, size, colour.
  auto element = [](UInt32 start, UInt8 face, SInt16 size, UInt16 red) {
    std::string e(20, '\0');
    for (int i = 0; i < 4; i++) e[size_t(i)] = char(start >> (24 - 8 * i));
    e[10] = char(face);
    e[12] = char(UInt16(size) >> 8);
    e[13] = char(size);
    e[14] = char(red >> 8);
    e[15] = char(red);
    return e;
  };
  struct Case {
    const char* name;
    std::string styles;
    const char* text;  // null: no text file
    std::vector<std::string> pieces;
    std::vector<SInt16> sizes;
  };
  const Case cases[] = {
      {"two runs over two lines",
       std::string("\0\2", 2) + element(0, kBoldFace, 12, 0) + element(6, 0, 18, 65535),
       "\xEF\xBB\xBFHello w\u00F6rld\nnext",
       {"Hello ", "w\x9Arld", "next"},
       {12, 18, 18}},
      {"count past the data", std::string("\0\5", 2) + element(0, 0, 14, 0), "one", {"one"}, {14}},
      {"sizes out of range",
       std::string("\0\2", 2) + element(0, 0, 0, 0) + element(2, 0, 30000, 0),
       "abcd",
       {"ab", "cd"},
       {12, kMaxTextSize}},
      {"no text", std::string("\0\1", 2) + element(0, 0, 12, 0), nullptr, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write(resources + "/note.styl", c.styles);
    std::filesystem::remove(GetResourcesPath() + "/note.text");
    if (c.text) folder.Write(resources + "/note.text", c.text);
    drawn.clear();
    Rect r{0, 0, 400, 600};
    PlaceText(reinterpret_cast<const unsigned char*>("\4note"), &r);
    ASSERT_EQ(drawn.size(), c.pieces.size());
    for (size_t i = 0; i < drawn.size(); i++) {
      EXPECT_EQ(drawn[i].text, c.pieces[i]);
      EXPECT_EQ(drawn[i].style.tsSize, c.sizes[i]);
    }
  }
  SetBundlePathForTesting(nullptr);
}

}  // namespace
