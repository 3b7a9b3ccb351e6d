#include "shell/StyledText.h"

#include <algorithm>
#include <cstdio>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "platform/QuickDraw.h"
#include "shell/Events.h"
#include "shell/Startup.h"

TextWidthProc styledTextWidthProc;
TextDrawProc styledTextDrawProc;
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
  styledScrapText = text_.substr(size_t(selStart_), size_t(selEnd_ - selStart_));
  styledScrapRuns.clear();
  for (const StyleRun& run : runs_) {
    SInt32 end = &run == &runs_.back() ? SInt32(text_.size()) : (&run + 1)->start;
    if (end <= selStart_ || run.start >= selEnd_) continue;
    styledScrapRuns.push_back({std::max(run.start, selStart_) - selStart_, run.style});
  }
}

void StyledText::Cut() {
  Copy();
  Delete();
}

void StyledText::Paste() { Insert(styledScrapText, styledScrapRuns); }

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
    SInt32 end = start, lastBreak = -1;
    while (end < size && text_[size_t(end)] != kReturn) {
      if (Width(start, end + 1) > maxWidth && end > start) break;
      if (Blank(text_[size_t(end)])) lastBreak = end + 1;
      end++;
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

void StyledText::Draw() const {
  if (!styledTextDrawProc) return;
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
}

char StyleCommand(char key, UInt8* face) {
  char k = char(key >= 'A' && key <= 'Z' ? key - 'A' + 'a' : key);
  const struct {
    char key;
    UInt8 face;
  } faces[] = {{'p', kPlainFace},   {'b', kBoldFace},    {'i', kItalicFace}, {'u', kUnderlineFace},
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
  for (size_t i = 0; i < text.size();) {
    if (Blank(text[i])) {
      i++;
      continue;
    }
    size_t j = i;
    while (j < text.size() && !Blank(text[j])) j++;
    std::vector<RGBColor> word = BlendColors(from, to, SInt32(j - i));
    std::copy(word.begin(), word.end(), colours.begin() + long(i));
    i = j;
  }
  return colours;
}

void EditInfoText(Rect* rect, unsigned char*) {
  StyledText record(*rect);
  FlushEvents(mDownMask | keyDownMask | autoKeyMask, 0);
  record.SelectAll();
  record.Draw();
  EventRecord event;
  while (!applQUIT) {
    if (!GetEvent(mDownMask | keyDownMask | autoKeyMask, &event)) continue;
    if (event.what == mouseDown) {
      Point local = event.where;
      if (local.v >= rect->top && local.v < rect->bottom && local.h >= rect->left && local.h < rect->right)
        record.Click(local, (event.modifiers & shiftKey) != 0);
      continue;
    }
    char c = char(event.message & charCodeMask);
    if (!(event.modifiers & cmdKey)) {
      if (c == kEnter) break;
      record.Key(c);
      continue;
    }
    UInt8 face = 0;
    switch (StyleCommand(c, &face)) {
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
      case 'l': record.SetText(""); break;  // loads the empty text; 's' saves nothing
      default: break;  // colour, size and font need the colour and input dialogs
    }
    record.Draw();
  }
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

void PlaceText(const unsigned char* styleName, Rect* rect) {
  std::string name(reinterpret_cast<const char*>(styleName + 1), styleName[0]);
  std::FILE* f = std::fopen((GetResourcesPath() + "/" + name + ".styl").c_str(), "rb");
  UInt8 head[2];
  if (!f || std::fread(head, 1, 2, f) != 2) {
    if (f) std::fclose(f);
    ErrorDialog("Failed to load 'styl' resource.", "PlaceText()", 0, 1);
    return;
  }
  StyledText record(*rect);
  // Elements of 20 bytes: start, height, ascent, font, face, filler, size,
  // colour; big-endian.
  std::vector<StyleRun> runs;
  UInt8 e[20];
  for (UInt32 n = Word(head, 2); n > 0 && std::fread(e, 1, 20, f) == 20; n--) {
    TextStyle s;
    s.tsFont = SInt16(Word(e + 8, 2));
    s.tsFace = e[10];
    s.tsSize = SInt16(Word(e + 12, 2));
    s.tsColor = {UInt16(Word(e + 14, 2)), UInt16(Word(e + 16, 2)), UInt16(Word(e + 18, 2))};
    runs.push_back({SInt32(Word(e, 4)), s});
  }
  std::fclose(f);
  record.Insert("", runs);
  record.Draw();
}

void NoEraseRectProc(SInt8, const Rect*) {}

SInt16 GetFontNum(const char* name) {
  Str255 p;
  CToPStr(name ? name : "", p);
  return GetFontNum(static_cast<const unsigned char*>(p));
}
