#include "frontend/controls/TextFieldGL.h"

#include <algorithm>

#include "foundation/ErrorDialog.h"
#include "frontend/Resources.h"
#include "frontend/controls/SkinDrawing.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageBuffer.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/TextRender.h"
#include "platform/Clipboard.h"
#include "platform/KeyCodes.h"

int (*textFieldMeasure)(const char* text, FT_Face face, float size) = DrawTextWidth;

namespace {
// The field's own press memory; a press may begin on it without a click.
bool goodOrigin = true;
ControlGL* firstControl = nullptr;

bool Ignored(UInt8 key) {
  // Home, enter, end, tab, page up, page down, return, escape: the owner's.
  static const UInt8 kIgnored[] = {1, keychar::kEnter, 4, keychar::kTab, 11, 12, keychar::kReturn, keychar::kEscape};
  return std::find(std::begin(kIgnored), std::end(kIgnored), key) != std::end(kIgnored);
}

// The band behind a selected text.
const float kSelectionRed = 0.2f, kSelectionGreen = 0.4f, kSelectionBlue = 0.85f;

float TextSize() { return mainGUI.textFieldTextSize * mainGUI.textScale; }

int Measure(const std::string& s) {
  if (s.empty()) return 0;
  return std::max(0, textFieldMeasure(s.c_str(), mainGUI.textFieldFont, TextSize()));
}

void TintSkin(ImageGL* skin, const RGBColorF* tint, float alpha) {
  for (int k = 0; k < 3; ++k) {
    if (tint) {
      skin[k].red = tint->red;
      skin[k].green = tint->green;
      skin[k].blue = tint->blue;
    } else {
      skin[k].SetBright(1.0f);
    }
    skin[k].alpha = alpha;
  }
}

// The three parts scaled to the rectangle's height, as the middle image
// gives it.
void DrawScaledSkin(ImageGL* skin, const Rect& r) {
  if (skin[1].Height() <= 0) return;
  const float s = float(r.bottom - r.top) / skin[1].Height();
  DrawThreePart(skin, r, int(skin[0].Width() * s), int(skin[1].Width() * s), int(skin[2].Width() * s), false);
}

}  // namespace

void ResetTextFieldPress() {
  goodOrigin = true;
  firstControl = nullptr;
}

bool TextFieldAccepts(unsigned char c) { return c >= 32 && c <= 126 && c != '<' && c != '>'; }

TextFieldGL::TextFieldGL()
    : keySound(nullptr), deleteSound(nullptr), textRect{0, 0, 0, 0}, caret(0), blink(0), flash(0), allSelected(false) {
  type = kTextField;
  skin = mainGUI.textFieldSkin;
  secondResource = mainGUI.fieldHiliteSkin;
}

void TextFieldGL::Select() {
  selectedCONTROL = this;
  caret = SInt16(text.size());
  blink = 0;
  allSelected = false;
}

void TextFieldGL::SelectAll() {
  Select();
  allSelected = !text.empty();
}

void TextFieldGL::Animate() {
  blink = blink > 7 ? 0 : UInt8(blink + 1);
  if (flash > 0) --flash;
}

int TextFieldGL::InsertText(const char* s) {
  // A selected text gives up its room to what replaces it.
  const size_t kept = allSelected ? 0 : text.size();
  std::string accepted;
  for (; *s && kept + accepted.size() < size_t(kMaxLength); ++s)
    if (TextFieldAccepts(UInt8(*s))) accepted += *s;
  if (accepted.empty()) return 0;
  if (allSelected) {
    text.clear();
    caret = 0;
    allSelected = false;
  }
  text.insert(size_t(caret), accepted);
  Render();
  caret = SInt16(caret + accepted.size());
  return int(accepted.size());
}

void TextFieldGL::Render() {
  ImageBuffer* buffer = mainGUI.imageBuff;
  if (!buffer) ErrorDialog("mainGUI.imageBuff is nil.", "TextFieldGL::Render()", 0, 1);
  const float scale = mainGUI.textScale, size = TextSize();
  // Never wider than the composition buffer.
  const int needed = std::min(int(6.0f * scale + Measure(text)), int(buffer->Width()));
  const int shown = int(scale * (textRect.right - textRect.left));
  Rect area;
  SetRect2(&area, 0, 0, needed > shown ? needed : shown, int(scale * (textRect.bottom - textRect.top)));
  buffer->Clear();
  buffer->color = RGBAColorF();
  SetBright(&buffer->color, 1.0f);
  const float baseline = float(area.top + (area.bottom - area.top) / 2) + 0.35f * size;
  DrawText(buffer, text.c_str(), mainGUI.textFieldFont, size, 4.0f, baseline, 0);
  textImage.Update(buffer, &area);
  // Drawn blended: the field's skin and a selection band show around the
  // letters.
  textImage.hasAlpha = 1;
}

Rect TextFieldGL::GetCaret() {
  const float scale = mainGUI.textScale;
  const int w = Measure(text.substr(0, size_t(caret)));
  Rect r;
  SetRect2(&r, textRect.left + 4 + int(w / scale), textRect.top, int(2 * scale), textRect.bottom - textRect.top);
  return r;
}

SInt16 TextFieldGL::GetOffset() {
  const int over = int(0.6 * (Measure(text) - mainGUI.textScale * (textRect.right - textRect.left)));
  return SInt16(std::max(over, 0));
}

ControlGL* TextFieldGL::HandleInput(UserInput* input, char key) {
  if (!enabled) return nullptr;
  if (EmptyControlRect(hitRect)) hitRect = bounds;
  if (input->down == 0) {
    if (pressedCONTROL == this) {
      hilite = 0;
      pressedCONTROL = nullptr;
    }
    firstControl = nullptr;
    goodOrigin = true;
  } else if (input->down == 1) {
    if (goodOrigin && InsideControlRect(hitRect, input->where)) {
      if (!pressedCONTROL || pressedCONTROL == this) {
        pressedCONTROL = this;
        Select();
      }
    } else {
      hilite = 0;
      if (firstControl == this && !pressedCONTROL) goodOrigin = false;
    }
  }
  if (input->down && !firstControl) firstControl = this;

  Rect where = GetCaret();
  const UInt8 code = UInt8(key);
  if (selectedCONTROL != this || code == 0) return this;
  blink = 0;
  if (allSelected) {
    switch (code) {
      case keychar::kBackspace:
      case keychar::kForwardDelete:
        // The selection goes as one.
        text.clear();
        caret = 0;
        allSelected = false;
        Render();
        PlayControlSound(deleteSound, &where);
        return this;
      case keychar::kLeftArrow:
      case keychar::kUpArrow:
        caret = 0;
        allSelected = false;
        return this;
      case keychar::kRightArrow:
      case keychar::kDownArrow:
        caret = SInt16(text.size());
        allSelected = false;
        return this;
      default: break;  // a character replaces it in InsertText
    }
  }
  switch (code) {
    case keychar::kBackspace:
      if (caret > 0) {
        text.erase(size_t(caret - 1), 1);
        Render();
        --caret;
        PlayControlSound(deleteSound, &where);
      }
      break;
    case keychar::kForwardDelete:
      if (size_t(caret) < text.size()) {
        text.erase(size_t(caret), 1);
        Render();
        PlayControlSound(deleteSound, &where);
      }
      break;
    case keychar::kLeftArrow:
      if (caret > 0) --caret;
      break;
    case keychar::kRightArrow:
      if (size_t(caret) < text.size()) ++caret;
      break;
    case keychar::kUpArrow: caret = 0; break;
    case keychar::kDownArrow: caret = SInt16(text.size()); break;
    default:
      if (Ignored(code)) break;
      // A character the field refuses, or one past the limit, only restarts
      // the blink.
      const char typed[2] = {char(code), 0};
      if (InsertText(typed)) PlayControlSound(keySound, &where);
      break;
  }
  return this;
}

void TextFieldGL::Draw() {
  TintSkin(skin, nullptr, enabled ? 1.0f : 0.33f);
  DrawScaledSkin(skin, bounds);

  ClipRectGL(&textRect);
  const float scale = mainGUI.textScale;
  Rect shownText;
  SetRect2(&shownText, textRect.left, textRect.top, int(textImage.Width() / scale), int(textImage.Height() / scale));
  if (flash) {
    textImage.red = mainGUI.flashColor.red;
    textImage.green = mainGUI.flashColor.green;
    textImage.blue = mainGUI.flashColor.blue;
  } else {
    textImage.SetBright(1.0f);
  }
  const bool selected = selectedCONTROL == this;
  Rect caretRect = GetCaret();
  // Keep the caret in view: slide the text left by what it overshoots.
  const int shift = selected && caretRect.right > textRect.right ? caretRect.right - textRect.right : 0;
  shownText = OffsetControlRect(shownText, -shift, 0);
  if (selected && allSelected) {
    // The selected text stands on a band of the selection colour.
    Rect band;
    SetRect2(&band, textRect.left + 2 - shift, textRect.top, 4 + int(Measure(text) / scale),
             textRect.bottom - textRect.top);
    ImageGL& pixel = mainGUI.caretImage;
    pixel.red = kSelectionRed;
    pixel.green = kSelectionGreen;
    pixel.blue = kSelectionBlue;
    pixel.Draw(&band);
  }
  textImage.Draw(&shownText);
  ClipRectGL(&mainRECT);

  if (!selected) return;
  if (blink < 4) {
    ImageGL& caretImage = mainGUI.caretImage;
    if (flash) {
      caretImage.red = mainGUI.flashColor.red;
      caretImage.green = mainGUI.flashColor.green;
      caretImage.blue = mainGUI.flashColor.blue;
    } else {
      caretImage.SetBright(1.0f);
    }
    Rect r = OffsetControlRect(caretRect, -shift, 0);
    caretImage.Draw(&r);
  }
  DrawHilite();
}

void TextFieldGL::DrawHilite() {
  ImageGL* hiliteSkin = static_cast<ImageGL*>(secondResource);
  TintSkin(hiliteSkin, flash ? &mainGUI.flashColor : nullptr, 1.0f);
  DrawScaledSkin(hiliteSkin, bounds);
}

void PasteTextGL(const char* s) {
  if (selectedCONTROL && selectedCONTROL->Type() == ControlGL::kTextField)
    static_cast<TextFieldGL*>(selectedCONTROL)->InsertText(s);
}

void PasteClipboardGL() {
  if (!selectedCONTROL || selectedCONTROL->Type() != ControlGL::kTextField) return;
  std::string text;
  if (Clipboard().GetText(&text)) PasteTextGL(text.c_str());
}
