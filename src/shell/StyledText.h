// Styled text: text held as runs of one style each, with a selection that
// typing, deleting, cutting, pasting and restyling act on; line breaks and
// aligned line positions inside a rectangle; the engine's editor loop on
// top of it, the Command-key styling table and the colour blends.
// Measuring and drawing go through two seams that the graphics layer fills
// when its pixmaps start (text into the current port); until then drawing
// does nothing and measuring is a plain estimate.
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

// Face bits.
enum : UInt8 {
  kPlainFace = 0,
  kBoldFace = 1,
  kItalicFace = 2,
  kUnderlineFace = 4,
  kOutlineFace = 8,
  kShadowFace = 16,
  kCondenseFace = 32,
  kExtendFace = 64
};
// Alignments.
enum : SInt16 { teFlushDefault = 0, teCenter = 1, teFlushRight = -1, teFlushLeft = -2 };
// Which parts of a style to apply.
enum : SInt16 { doFont = 1, doFace = 2, doSize = 4, doColor = 8, doAll = 15 };

struct TextStyle {
  SInt16 tsFont = 0;
  UInt8 tsFace = 0;
  SInt16 tsSize = 12;
  RGBColor tsColor{0, 0, 0};
  bool operator==(const TextStyle& o) const {
    return tsFont == o.tsFont && tsFace == o.tsFace && tsSize == o.tsSize && tsColor.red == o.tsColor.red &&
           tsColor.green == o.tsColor.green && tsColor.blue == o.tsColor.blue;
  }
};

struct StyleRun {
  SInt32 start;
  TextStyle style;
};

// One laid-out line: its characters and its left edge.
struct TextLine {
  SInt32 start;
  SInt32 end;
  SInt32 left;
  SInt32 width;
};

// Measures `count` characters of one style, in pixels.
typedef SInt32 (*TextWidthProc)(const char* text, SInt32 count, const TextStyle& style);
// Draws characters of one style with their baseline's left end at (h, v)
// in the current port.
typedef void (*TextDrawProc)(const char* text, SInt32 count, const TextStyle& style, SInt16 h, SInt16 v);
// Inverts the pixels of a rectangle of the current port (the caret: a
// second call puts them back).
typedef void (*InvertRectProc)(const Rect& rect);
extern TextWidthProc styledTextWidthProc;
extern TextDrawProc styledTextDrawProc;
extern InvertRectProc styledInvertProc;

class StyledText {
 public:
  explicit StyledText(const Rect& view);

  void SetText(const std::string& text);
  const std::string& Text() const { return text_; }
  const std::vector<StyleRun>& Runs() const { return runs_; }
  TextStyle StyleAt(SInt32 offset) const;
  void SetSelect(SInt32 start, SInt32 end);
  void SelectAll() { SetSelect(0, SInt32(text_.size())); }
  SInt32 SelStart() const { return selStart_; }
  SInt32 SelEnd() const { return selEnd_; }
  // A typed character: backspace (8) deletes, others replace the selection
  // (Return goes in as a line break, '\r').
  void Key(char c);
  void Delete();
  void Insert(const std::string& text, const std::vector<StyleRun>& runs);
  // Applies the parts of `style` named by `mode` to the selection; a face
  // of plain clears the faces, any other face is added.
  void SetStyle(SInt16 mode, const TextStyle& style);
  // A colour for each character of the selection.
  void SetColors(const std::vector<RGBColor>& colours);
  void Copy() const;
  void Cut();
  void Paste();
  // The character nearest a point of the view; a shifted click extends the
  // selection.
  void Click(Point where, bool extend);

  void SetAlignment(SInt16 alignment) { alignment_ = alignment; }
  // Lines broken at blanks (or mid-word when a word is wider than the
  // view) and at '\r', placed by the alignment.
  std::vector<TextLine> Lines() const;
  // Each line's height: the largest size on it.
  SInt32 LineHeight(const TextLine& line) const;
  void Draw() const;
  // Where typing goes: a column one pixel wide and a line high at the
  // insertion point, inside the view. Empty while a range is selected.
  Rect CaretRect() const;
  // Inverts the caret's pixels (a second call takes it away again).
  void InvertCaret() const;

 private:
  SInt32 Width(SInt32 start, SInt32 end) const;
  void Normalise();
  void Split(SInt32 offset);

  Rect view_;
  std::string text_;
  std::vector<StyleRun> runs_;
  SInt32 selStart_ = 0, selEnd_ = 0;
  SInt16 alignment_ = teFlushDefault;
  TextStyle typing_;
};

// The styled clipboard of the editor: text and its runs. A copy also puts
// the text on the system clipboard for other programs (UTF-8, '\n' line
// ends); a paste takes the styled form back while the system clipboard
// still holds that text, and the system clipboard's text otherwise.
extern std::string styledScrapText;
extern std::vector<StyleRun> styledScrapRuns;
void PutStyledScrap(const std::string& text, const std::vector<StyleRun>& runs);

// The largest text size the editor and style resources accept, in points.
constexpr SInt16 kMaxTextSize = 255;

// What a Command key does in the editor: 'c', 'x', 'v', 'a', a face
// command 'p' (returns the face in *face), or 'r', 't', 'f', '1', '2',
// 's', 'l'; 0 for keys without a meaning.
char StyleCommand(char key, UInt8* face);
// Colours blended linearly from `from` to `to` over `count` characters.
std::vector<RGBColor> BlendColors(const RGBColor& from, const RGBColor& to, SInt32 count);
// The same restarted on every run of non-blank characters of `text`.
std::vector<RGBColor> BlendWordColors(const std::string& text, const RGBColor& from, const RGBColor& to);

// Runs the editor in `rect` of the current port until Enter; the result
// goes to the styled clipboard. The caret blinks at the insertion point
// (kCaretTicks on, as many off) and shows at once after each change. `text` is not used. Command r, t, f, 1 and
// 2 ask with the colour and input dialogs; a size that is not a whole
// number of 1 to kMaxTextSize points, or a font the system does not know,
// beeps and leaves the text as it was.
void EditInfoText(Rect* rect, unsigned char* text);
constexpr UInt32 kCaretTicks = 30;
void DrawText(const unsigned char* text, Rect* rect, TextStyle* style, SInt16 alignment, unsigned char erase);
// Applies the style resource "<styleName>.styl" of the bundle's Resources
// (a missing one is fatal) and draws the result.
void PlaceText(const unsigned char* styleName, Rect* rect);
void NoEraseRectProc(SInt8 verb, const Rect* rect);
SInt16 GetFontNum(const char* name);
