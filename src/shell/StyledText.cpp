#include "shell/StyledText.h"

#include <algorithm>
#include <cstdio>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/TextEncodings.h"
#include "platform/Clipboard.h"
#include "platform/PlatformFiles.h"
#include "platform/PlatformTime.h"
#include "platform/QuickDraw.h"
#include "platform/QuickDrawColor.h"
#include "shell/DialogLibrary.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Events.h"
#include "shell/StandardDialog.h"
#include "shell/Startup.h"

TextWidthProc styledTextWidthProc;
TextDrawProc styledTextDrawProc;
InvertRectProc styledInvertProc;
std::string styledScrapText;
std::vector<StyleRun> styledScrapRuns;

namespace {

const char kReturn = '\r', kEnter = 3, kBackspace = 8;

// Without a measurer: 0.6 of the size a character, wider when bold or
// extended, narrower when condensed.
SInt32 EstimateWidth(const char*, SInt32 count, const TextStyle& style) {
  SInt32 per = style.tsSize * 6 / 10;
  if (style.tsFace & (kBoldFace | kExtendFace)) per++;
  if (style.tsFace & kCondenseFace) per--;
  return count * std::max<SInt32>(per, 1);
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == kReturn; }

// The runs of non-blank characters of `text`, as [start, end) pairs.
std::vector<std::pair<SInt32, SInt32>> Words(const std::string& text) {
  std::vector<std::pair<SInt32, SInt32>> words;
  SInt32 size = SInt32(text.size());
  for (SInt32 i = 0; i < size;) {
    if (Blank(text[size_t(i)])) {
      i++;
      continue;
    }
    SInt32 j = i;
    while (j < size && !Blank(text[size_t(j)])) j++;
    words.push_back({i, j});
    i = j;
  }
  return words;
}

// What the system clipboard held just after the last styled copy; while it
// still holds exactly that, a paste takes the styled form. (When the copy
// could not be written there, that is whatever it held before.)
std::string scrapMark;
bool scrapMarked = false;

// The engine's text is Mac Roman with '\r' line ends; other programs get
// UTF-8 with '\n'.
std::string ToSystemText(std::string text) {
  std::replace(text.begin(), text.end(), kReturn, '\n');
  return ConvertCStrToUnicode(text.c_str());
}

std::string FromSystemText(const std::string& utf8) {
  std::string mac = ConvertUnicodeToCStr(utf8.c_str()), text;
  for (size_t i = 0; i < mac.size(); i++) {
    if (mac[i] == '\r' && i + 1 < mac.size() && mac[i + 1] == '\n') continue;
    text += mac[i] == '\n' ? kReturn : mac[i];
  }
  return text;
}

UInt16 Blend(UInt16 a, UInt16 b, SInt32 i, SInt32 steps) {
  return UInt16(SInt32(a) + (SInt32(b) - SInt32(a)) * i / steps);
}

UInt32 Word(const UInt8* p, int bytes) {
  UInt32 v = 0;
  for (int i = 0; i < bytes; i++) v = v << 8 | p[i];
  return v;
}

}  // namespace

StyledText::StyledText(const Rect& view) : view_(view) { runs_.push_back({0, typing_}); }

void StyledText::SetText(const std::string& text) {
  text_ = text;
  runs_.assign(1, {0, runs_.empty() ? typing_ : runs_.front().style});
  selStart_ = selEnd_ = SInt32(text_.size());
}

TextStyle StyledText::StyleAt(SInt32 offset) const {
  TextStyle style = runs_.front().style;
  for (const StyleRun& run : runs_)
    if (run.start <= offset) style = run.style;
  return style;
}

void StyledText::SetSelect(SInt32 start, SInt32 end) {
  SInt32 size = SInt32(text_.size());
  selStart_ = std::clamp(std::min(start, end), 0, size);
  selEnd_ = std::clamp(std::max(start, end), 0, size);
  typing_ = StyleAt(selStart_ > 0 && selStart_ == selEnd_ ? selStart_ - 1 : selStart_);
}

// Makes a run start at `offset` (with the style already there).
void StyledText::Split(SInt32 offset) {
  for (const StyleRun& run : runs_)
    if (run.start == offset) return;
  TextStyle style = StyleAt(offset);
  auto at = std::find_if(runs_.begin(), runs_.end(), [offset](const StyleRun& r) { return r.start > offset; });
  runs_.insert(at, {offset, style});
}

// Drops empty runs and merges neighbours of the same style; the first run
// always starts at 0.
void StyledText::Normalise() {
  std::vector<StyleRun> kept;
  SInt32 size = SInt32(text_.size());
  for (size_t i = 0; i < runs_.size(); i++) {
    SInt32 end = i + 1 < runs_.size() ? runs_[i + 1].start : size;
    if (end <= runs_[i].start && !(runs_[i].start == 0 && size == 0)) continue;
    if (!kept.empty() && kept.back().style == runs_[i].style) continue;
    kept.push_back(runs_[i]);
  }
  if (kept.empty()) kept.push_back({0, runs_.empty() ? typing_ : runs_.front().style});
  kept.front().start = 0;
  runs_ = kept;
}

void StyledText::Delete() {
  if (selStart_ == selEnd_) return;
  SInt32 removed = selEnd_ - selStart_;
  TextStyle first = StyleAt(selStart_);
  text_.erase(size_t(selStart_), size_t(removed));
  for (StyleRun& run : runs_) {
    if (run.start >= selEnd_)
      run.start -= removed;
    else if (run.start > selStart_)
      run.start = selStart_;
  }
  typing_ = first;
  selEnd_ = selStart_;
  Normalise();
}

void StyledText::Insert(const std::string& text, const std::vector<StyleRun>& runs) {
  Delete();
  SInt32 at = selStart_, count = SInt32(text.size());
  Split(at);
  TextStyle after = StyleAt(at);
  text_.insert(size_t(at), text);
  for (StyleRun& run : runs_)
    if (run.start >= at) run.start += count;
  std::vector<StyleRun> added = runs.empty() ? std::vector<StyleRun>{{0, typing_}} : runs;
  for (const StyleRun& run : added) runs_.push_back({at + run.start, run.style});
  runs_.push_back({at + count, after});
  std::stable_sort(runs_.begin(), runs_.end(), [](const StyleRun& a, const StyleRun& b) { return a.start < b.start; });
  // Of runs starting at the same place, the last one added holds.
  std::vector<StyleRun> unique;
  for (const StyleRun& run : runs_) {
    if (!unique.empty() && unique.back().start == run.start)
      unique.back() = run;
    else
      unique.push_back(run);
  }
  runs_ = unique;
  selStart_ = selEnd_ = at + count;
  Normalise();
}

void StyledText::Key(char c) {
  if (c == kBackspace) {
    if (selStart_ == selEnd_ && selStart_ > 0) selStart_--;
    Delete();
    return;
  }
  Insert(std::string(1, c), {});
}

void StyledText::SetStyle(SInt16 mode, const TextStyle& style) {
  auto apply = [&](TextStyle& s) {
    if (mode & doFont) s.tsFont = style.tsFont;
    if (mode & doFace) s.tsFace = style.tsFace == kPlainFace ? UInt8(kPlainFace) : UInt8(s.tsFace | style.tsFace);
    if (mode & doSize) s.tsSize = style.tsSize;
    if (mode & doColor) s.tsColor = style.tsColor;
  };
  if (selStart_ == selEnd_) {
    apply(typing_);
    return;
  }
  Split(selStart_);
  Split(selEnd_);
  for (StyleRun& run : runs_)
    if (run.start >= selStart_ && run.start < selEnd_) apply(run.style);
  Normalise();
}

void StyledText::SetColors(const std::vector<RGBColor>& colours) {
  SInt32 start = selStart_, end = selEnd_;
  for (SInt32 i = start; i < end && size_t(i - start) < colours.size(); i++) {
    selStart_ = i;
    selEnd_ = i + 1;
    TextStyle s;
    s.tsColor = colours[size_t(i - start)];
    SetStyle(doColor, s);
  }
  selStart_ = start;
  selEnd_ = end;
}

void StyledText::Copy() const {
  std::vector<StyleRun> runs;
  for (const StyleRun& run : runs_) {
    SInt32 end = &run == &runs_.back() ? SInt32(text_.size()) : (&run + 1)->start;
    if (end <= selStart_ || run.start >= selEnd_) continue;
    runs.push_back({std::max(run.start, selStart_) - selStart_, run.style});
  }
  PutStyledScrap(text_.substr(size_t(selStart_), size_t(selEnd_ - selStart_)), runs);
}

void StyledText::Cut() {
  Copy();
  Delete();
}

// Text that another program put on the clipboard since our last copy goes
// in plain, in the style at the caret; with nothing readable there, the
// styled form.
void StyledText::Paste() {
  std::string system;
  if (Clipboard().GetText(&system) && !(scrapMarked && system == scrapMark))
    Insert(FromSystemText(system), {});
  else
    Insert(styledScrapText, styledScrapRuns);
}

void PutStyledScrap(const std::string& text, const std::vector<StyleRun>& runs) {
  styledScrapText = text;
  styledScrapRuns = runs;
  Clipboard().SetText(ToSystemText(text));
  scrapMarked = Clipboard().GetText(&scrapMark);
}

void StyledText::Click(Point where, bool extend) {
  SInt32 offset = SInt32(text_.size());
  SInt32 top = view_.top;
  for (const TextLine& line : Lines()) {
    SInt32 height = LineHeight(line);
    if (where.v < top + height) {
      offset = line.end;
      for (SInt32 i = line.start; i < line.end; i++)
        if (where.h < view_.left + line.left + Width(line.start, i) + Width(i, i + 1) / 2) {
          offset = i;
          break;
        }
      break;
    }
    top += height;
  }
  if (extend)
    SetSelect(std::min(selStart_, offset), std::max(selEnd_, offset));
  else
    SetSelect(offset, offset);
}

SInt32 StyledText::Width(SInt32 start, SInt32 end) const {
  TextWidthProc measure = styledTextWidthProc ? styledTextWidthProc : EstimateWidth;
  SInt32 width = 0;
  for (SInt32 i = start; i < end;) {
    TextStyle style = StyleAt(i);
    SInt32 j = i + 1;
    while (j < end && StyleAt(j) == style) j++;
    width += measure(text_.data() + i, j - i, style);
    i = j;
  }
  return width;
}

std::vector<TextLine> StyledText::Lines() const {
  std::vector<TextLine> lines;
  SInt32 size = SInt32(text_.size()), maxWidth = view_.right - view_.left;
  for (SInt32 start = 0; start < size || lines.empty();) {
    // The line runs to its return (or the end), or stops before the first
    // character that would make it wider than the view, always holding one.
    // Widths grow with the characters measured, so that character is found
    // by doubling and then halving: a line of n characters takes n log n,
    // not n squared, to measure.
    SInt32 paragraphEnd = start;
    while (paragraphEnd < size && text_[size_t(paragraphEnd)] != kReturn) paragraphEnd++;
    SInt32 end = paragraphEnd;
    SInt32 fits = start + 1, over = -1;  // Width(start, over) > maxWidth
    for (SInt32 step = 1; fits < paragraphEnd && over < 0; step *= 2) {
      SInt32 probe = SInt32(std::min<SInt64>(paragraphEnd, SInt64(fits) + step));
      if (Width(start, probe) > maxWidth)
        over = probe;
      else
        fits = probe;
    }
    if (over >= 0) {
      while (over - fits > 1) {
        SInt32 middle = fits + (over - fits) / 2;
        if (Width(start, middle) > maxWidth)
          over = middle;
        else
          fits = middle;
      }
      end = fits;
    }
    SInt32 lastBreak = -1;
    for (SInt32 i = end; i-- > start;)
      if (Blank(text_[size_t(i)])) {
        lastBreak = i + 1;
        break;
      }
    SInt32 next = end;
    if (end < size && text_[size_t(end)] == kReturn)
      next = end + 1;
    else if (end < size && lastBreak > start)
      end = next = lastBreak;
    SInt32 shown = end;
    while (shown > start && Blank(text_[size_t(shown - 1)])) shown--;
    SInt32 width = Width(start, shown);
    SInt32 left = alignment_ == teCenter ? (maxWidth - width) / 2 : alignment_ == teFlushRight ? maxWidth - width : 0;
    lines.push_back({start, end, left, width});
    if (next == start) break;
    start = next;
  }
  return lines;
}

SInt32 StyledText::LineHeight(const TextLine& line) const {
  SInt32 height = StyleAt(line.start).tsSize;
  for (SInt32 i = line.start; i < line.end; i++) height = std::max<SInt32>(height, StyleAt(i).tsSize);
  return height + height / 4;
}

// Draws inside the view only: the port's clip is narrowed to it meanwhile.
void StyledText::Draw() const {
  if (!styledTextDrawProc) return;
  CGrafPtr port = nullptr;
  GetGWorld(&port, nullptr);
  RgnHandle saved = port ? port->clipRgn : nullptr, clip = nullptr;
  if (port) {
    Rect inside = view_;
    if (saved && !SectRect(&inside, &saved->rgnBBox, &inside)) inside = Rect{0, 0, 0, 0};
    clip = NewRgn();
    RectRgn(clip, &inside);
    port->clipRgn = clip;
  }
  SInt32 top = view_.top;
  for (const TextLine& line : Lines()) {
    SInt32 height = LineHeight(line);
    SInt32 h = view_.left + line.left;
    for (SInt32 i = line.start; i < line.end && text_[size_t(i)] != kReturn;) {
      TextStyle style = StyleAt(i);
      SInt32 j = i + 1;
      while (j < line.end && text_[size_t(j)] != kReturn && StyleAt(j) == style) j++;
      styledTextDrawProc(text_.data() + i, j - i, style, SInt16(h), SInt16(top + height * 4 / 5));
      h += Width(i, j);
      i = j;
    }
    top += height;
  }
  if (port) {
    port->clipRgn = saved;
    DisposeRgn(clip);
  }
}

Rect StyledText::CaretRect() const {
  if (selStart_ != selEnd_) return Rect{0, 0, 0, 0};
  const SInt32 size = SInt32(text_.size()), offset = selStart_;
  const std::vector<TextLine> lines = Lines();
  SInt32 top = view_.top, h = view_.left, height = 0;
  for (const TextLine& line : lines) {
    height = LineHeight(line);
    // A line broken at a Return holds the position before it; one broken
    // softly gives its end to the next line.
    const bool beforeReturn = line.end < size && text_[size_t(line.end)] == kReturn && offset == line.end;
    if (offset < line.end || beforeReturn || &line == &lines.back()) {
      h = view_.left + line.left + Width(line.start, std::min(offset, line.end));
      break;
    }
    top += height;
  }
  // After a final Return the caret starts the empty line below.
  if (offset == size && size > 0 && text_[size_t(size - 1)] == kReturn) {
    top += height;
    const TextStyle style = StyleAt(size - 1);
    height = style.tsSize + style.tsSize / 4;
    const SInt32 maxWidth = view_.right - view_.left;
    h = view_.left + (alignment_ == teCenter ? maxWidth / 2 : alignment_ == teFlushRight ? maxWidth : 0);
  }
  h = std::clamp<SInt32>(h, view_.left, std::max<SInt32>(view_.left, view_.right - 1));
  const SInt32 bottom = std::min<SInt32>(top + height, view_.bottom);
  if (top >= bottom) return Rect{0, 0, 0, 0};
  return Rect{SInt16(top), SInt16(h), SInt16(bottom), SInt16(h + 1)};
}

void StyledText::InvertCaret() const {
  const Rect caret = CaretRect();
  if (styledInvertProc && caret.bottom > caret.top) styledInvertProc(caret);
}

char StyleCommand(char key, UInt8* face) {
  char k = char(key >= 'A' && key <= 'Z' ? key - 'A' + 'a' : key);
  const struct {
    char key;
    UInt8 face;
  } faces[] = {{'p', kPlainFace},   {'b', kBoldFace},   {'i', kItalicFace},   {'u', kUnderlineFace},
               {'o', kOutlineFace}, {'h', kShadowFace}, {',', kCondenseFace}, {'.', kExtendFace}};
  for (const auto& f : faces)
    if (f.key == k) {
      if (face) *face = f.face;
      return 'p';
    }
  const char others[] = "cxvartf12sl";
  for (const char* c = others; *c; c++)
    if (*c == k) return k;
  return 0;
}

std::vector<RGBColor> BlendColors(const RGBColor& from, const RGBColor& to, SInt32 count) {
  std::vector<RGBColor> colours;
  SInt32 steps = std::max<SInt32>(count - 1, 1);
  for (SInt32 i = 0; i < count; i++)
    colours.push_back({Blend(from.red, to.red, i, steps), Blend(from.green, to.green, i, steps),
                       Blend(from.blue, to.blue, i, steps)});
  return colours;
}

std::vector<RGBColor> BlendWordColors(const std::string& text, const RGBColor& from, const RGBColor& to) {
  std::vector<RGBColor> colours(text.size(), from);
  for (auto [start, end] : Words(text)) {
    std::vector<RGBColor> word = BlendColors(from, to, end - start);
    std::copy(word.begin(), word.end(), colours.begin() + start);
  }
  return colours;
}

namespace {

// A colour of the screen's colour table, the entry nearest `current`
// offered first; false when the dialog was cancelled.
bool AskColor(const RGBColor& current, RGBColor* colour) {
  SInt16 index = GetColorDialog(UInt8(Color2Index(&current)));
  if (index < 0) return false;
  Index2Color(index, colour);
  return true;
}

// Asks with the input dialog, widened for the editor; false unless the
// answer is 'ok  '. The answer comes back without blanks around it.
bool AskText(const char* prompt, const char* initial, std::string* answer) {
  Str255 text;
  CToPStr(initial, text);
  dlogPARAMS.extraWidth = 256;
  dlogPARAMS.extraHeight = 96;
  if (InputDialog(PStr(prompt), text, dlogPARAMS.charLimit ? 31 : 255) != kHICommandOK) return false;
  std::string got(reinterpret_cast<const char*>(text + 1), text[0]);
  size_t first = got.find_first_not_of(" \t"), last = got.find_last_not_of(" \t");
  *answer = first == std::string::npos ? std::string() : got.substr(first, last - first + 1);
  return true;
}

// A whole number of points from 1 to kMaxTextSize; anything else beeps and
// changes nothing.
bool AskSize(SInt16* size) {
  dlogPARAMS.numbersOnly = 1;
  std::string answer;
  if (!AskText("Set font size to:", "12", &answer)) return false;
  unsigned char ok = 0;
  SInt32 n = ParseNum(answer.c_str(), &ok);
  if (!ok || n < 1 || n > kMaxTextSize) {
    Beep();
    return false;
  }
  *size = SInt16(n);
  return true;
}

// A font the system knows; an unknown name beeps and changes nothing.
bool AskFont(SInt16* font) {
  dlogPARAMS.charLimit = 1;
  std::string answer;
  if (!AskText("Set text font to:", "Geneva", &answer)) return false;
  SInt16 number = GetFontNum(answer.c_str());
  if (number < 0) {
    Beep();
    return false;
  }
  *font = number;
  return true;
}

// Colours from one chosen colour to another over the selection, per
// character or restarted on each word. Holding the mouse button stops a
// per-word blend between words.
void BlendSelection(StyledText& record, bool perWord) {
  SInt32 start = record.SelStart(), end = record.SelEnd();
  RGBColor from, to;
  if (!AskColor(record.StyleAt(start).tsColor, &from)) return;
  if (!AskColor(record.StyleAt(std::max(start, end - 1)).tsColor, &to)) return;
  if (!perWord) {
    record.SetColors(BlendColors(from, to, end - start));
    return;
  }
  for (auto [first, last] : Words(record.Text().substr(size_t(start), size_t(end - start)))) {
    if (Button()) break;
    record.SetSelect(start + first, start + last);
    record.SetColors(BlendColors(from, to, last - first));
  }
  record.SetSelect(start, end);
}

// The Command keys that ask something: after them the arrow cursor comes
// back and the editor waits for the mouse button to be up.
void AskAndStyle(StyledText& record, char command) {
  TextStyle style;
  switch (command) {
    case 'r':
      if (AskColor(record.StyleAt(record.SelStart()).tsColor, &style.tsColor)) record.SetStyle(doColor, style);
      break;
    case 't':
      if (AskSize(&style.tsSize)) record.SetStyle(doSize, style);
      break;
    case 'f':
      if (AskFont(&style.tsFont)) record.SetStyle(doFont, style);
      break;
    default: BlendSelection(record, command == '2'); break;
  }
  Platform().ArrowCursor();
  while (Button() && !applQUIT) SystemIdle();
}

bool Inside(Point p, const Rect& r) { return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right; }

}  // namespace

namespace {

// The editor's caret: on for kCaretTicks, off as long; hidden around every
// change, since drawing over it would leave its inverted pixels behind.
class BlinkingCaret {
 public:
  explicit BlinkingCaret(const StyledText& record) : record_(record) {}
  ~BlinkingCaret() { Hide(); }
  void Show() {
    if (!on_) Toggle();
    since_ = TickCount();
  }
  void Hide() {
    if (on_) Toggle();
  }
  void Idle() {
    if (TickCount() - since_ < kCaretTicks) return;
    Toggle();
    since_ = TickCount();
  }

 private:
  void Toggle() {
    shown_ = on_ ? shown_ : record_.CaretRect();
    if (styledInvertProc && shown_.bottom > shown_.top) styledInvertProc(shown_);
    on_ = !on_;
  }
  const StyledText& record_;
  Rect shown_{0, 0, 0, 0};  // where the caret is inverted now
  bool on_ = false;
  UInt32 since_ = 0;
};

}  // namespace

void EditInfoText(Rect* rect, unsigned char*) {
  Platform().ArrowCursor();
  StyledText record(*rect);
  FlushEvents(mDownMask | keyDownMask | autoKeyMask, 0);
  record.SelectAll();
  record.Draw();
  if (!cursorVIS) {
    Platform().ShowCursor(true);
    cursorVIS = true;
  }
  BlinkingCaret caret(record);
  caret.Show();
  EventRecord event;
  while (!applQUIT) {
    caret.Idle();
    if (!GetEvent(mDownMask | keyDownMask | autoKeyMask, &event)) continue;
    if (event.what == mouseDown) {
      if (Inside(event.where, *rect)) {
        caret.Hide();
        record.Click(event.where, (event.modifiers & shiftKey) != 0);
        caret.Show();
      }
      continue;
    }
    if (event.what != keyDown && event.what != autoKey) continue;
    char c = char(event.message & charCodeMask);
    caret.Hide();
    if (!(event.modifiers & cmdKey)) {
      if (c == kEnter) break;
      record.Key(c);
      record.Draw();
      caret.Show();
      continue;
    }
    UInt8 face = 0;
    switch (char command = StyleCommand(c, &face)) {
      case 'c': record.Copy(); break;
      case 'x': record.Cut(); break;
      case 'v': record.Paste(); break;
      case 'a': record.SelectAll(); break;
      case 'p': {
        TextStyle s;
        s.tsFace = face;
        record.SetStyle(doFace, s);
        break;
      }
      case 'r':
      case 't':
      case 'f':
      case '1':
      case '2': AskAndStyle(record, command); break;
      case 'l': record.SetText(""); break;  // loads the empty text; 's' saves nothing
      default: break;
    }
    record.Draw();
    caret.Show();
  }
  caret.Hide();
  record.SelectAll();
  record.Copy();
}

void DrawText(const unsigned char* text, Rect* rect, TextStyle* style, SInt16 alignment, unsigned char erase) {
  if (!text || !rect) return;
  StyledText record(*rect);
  record.SetText(std::string(reinterpret_cast<const char*>(text + 1), text[0]));
  record.SelectAll();
  record.SetAlignment(alignment);
  if (style) record.SetStyle(doAll, *style);
  if (erase) EraseRect(rect);
  record.Draw();
}

namespace {

// A file of the bundle's Resources, whole; false when it cannot be read.
bool ReadResource(const std::string& name, std::string* data) {
  std::FILE* f = OpenRegularFileForReading(GetResourcesPath() + "/" + name);
  if (!f) return false;
  data->clear();
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) data->append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

// A style resource: a big-endian count, then elements of 20 bytes (start,
// line height, ascent, font, face, filler, size, colour). Elements past the
// end of the data are ignored; a size of 0 or less is the default size.
std::vector<StyleRun> ParseStyles(const std::string& data) {
  const UInt8* p = reinterpret_cast<const UInt8*>(data.data());
  std::vector<StyleRun> runs;
  UInt32 count = std::min<UInt32>(Word(p, 2), UInt32((data.size() - 2) / 20));
  for (UInt32 i = 0; i < count; i++) {
    const UInt8* e = p + 2 + 20 * i;
    TextStyle s;
    s.tsFont = SInt16(Word(e + 8, 2));
    s.tsFace = e[10];
    SInt16 size = SInt16(Word(e + 12, 2));
    s.tsSize = size < 1 ? TextStyle().tsSize : std::min(size, kMaxTextSize);
    s.tsColor = {UInt16(Word(e + 14, 2)), UInt16(Word(e + 16, 2)), UInt16(Word(e + 18, 2))};
    runs.push_back({SInt32(Word(e, 4)), s});
  }
  return runs;
}

}  // namespace

void PlaceText(const unsigned char* styleName, Rect* rect) {
  std::string name(reinterpret_cast<const char*>(styleName + 1), styleName[0]), styles, text;
  if (!ReadResource(name + ".styl", &styles) || styles.size() < 2) {
    ErrorDialog("Failed to load 'styl' resource.", "PlaceText()", 0, 1);
    return;
  }
  // The text is the style's companion of the same name, UTF-8 like any
  // text file here; without one the styles fall on empty text.
  if (ReadResource(name + ".text", &text) && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  StyledText record(*rect);
  record.Insert(FromSystemText(text), ParseStyles(styles));
  record.Draw();
}

void NoEraseRectProc(SInt8, const Rect*) {}

SInt16 GetFontNum(const char* name) {
  Str255 p;
  CToPStr(name ? name : "", p);
  return GetFontNum(static_cast<const unsigned char*>(p));
}
