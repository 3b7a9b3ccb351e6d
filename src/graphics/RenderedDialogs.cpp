#include "graphics/RenderedDialogs.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/MainTimer.h"
#include "foundation/TextEncodings.h"
#include "foundation/Timer.h"
#include "graphics/ImageBuffer.h"
#include "graphics/ImageGL.h"
#include "graphics/TextRender.h"
#include "platform/DialogModel.h"
#include "platform/DialogSurface.h"
#include "platform/GLWindow.h"

namespace {

constexpr float kTextSize = 12.0f;
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

FT_Face DialogFont() {
  static FT_Face face = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (!fontLibrary) InitFreeType();
    face = LoadFont(kFontPath);
  }
  return face;
}

void SetColor(ImageBuffer* b, float r, float g, float bl) {
  b->color.red = r;
  b->color.green = g;
  b->color.blue = bl;
  b->color.alpha = 1.0f;
}

void Fill(ImageBuffer* b, Rect r, float grey) {
  SetColor(b, grey, grey, grey);
  b->PaintRect(&r);
}

void Frame(ImageBuffer* b, Rect r, float red, float green, float blue) {
  SetColor(b, red, green, blue);
  b->FrameRect(&r);
}

std::string Utf8(const std::string& macRoman) { return ConvertCStrToUnicode(macRoman.c_str()); }
std::string Title(ControlRef c) { return Utf8(std::string((const char*)c->title + 1, c->title[0])); }

void Text(ImageBuffer* b, const std::string& text, float x, float y, char align, float r = 0, float g = 0,
          float bl = 0) {
  SetColor(b, r, g, bl);
  DrawText(b, text.c_str(), DialogFont(), kTextSize, x, y, align);
}

// Words wrapped into the rectangle, one line every 15 pixels.
void WrappedText(ImageBuffer* b, const std::string& text, const Rect& r) {
  std::string line, word;
  float y = r.top + 12;
  auto flush = [&] {
    Text(b, line, r.left, y, 0);
    y += 15;
    line.clear();
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    char c = i < text.size() ? text[i] : ' ';
    if (c != ' ' && c != '\r' && c != '\n') {
      word += c;
      continue;
    }
    std::string tried = line.empty() ? word : line + " " + word;
    if (!line.empty() && DrawTextWidth(tried.c_str(), DialogFont(), kTextSize) > r.right - r.left) {
      flush();
      tried = word;
    }
    line = tried;
    word.clear();
    if (c != ' ') flush();
  }
  if (!line.empty()) flush();
}

// The colour of entry n of the screen's 256-colour table: a 6 by 6 by 6
// cube followed by greys.
void PaletteColor(SInt16 n, float* r, float* g, float* b) {
  if (n < 216) {
    *r = float(n / 36) / 5.0f;
    *g = float(n / 6 % 6) / 5.0f;
    *b = float(n % 6) / 5.0f;
  } else {
    *r = *g = *b = float(n - 216) / 39.0f;
  }
}

Rect Inset(Rect r, SInt16 d) { return Rect{SInt16(r.top + d), SInt16(r.left + d), SInt16(r.bottom - d), SInt16(r.right - d)}; }

Rect TabRect(ControlRef tabs, SInt16 n) {
  SInt16 left = SInt16(tabs->bounds.left + 8 + (n - 1) * 84);
  return Rect{tabs->bounds.top, left, SInt16(tabs->bounds.top + 22), SInt16(left + 80)};
}

Rect CellRect(ControlRef grid, SInt16 index) {
  SInt16 left = SInt16(grid->bounds.left + 12 * (index % 32)), top = SInt16(grid->bounds.top + 12 * (index / 32));
  return Rect{top, left, SInt16(top + 12), SInt16(left + 12)};
}

bool Inside(const Rect& r, SInt16 h, SInt16 v) { return h >= r.left && h < r.right && v >= r.top && v < r.bottom; }

void DrawControl(ImageBuffer* b, WindowRef dialog, ControlRef c) {
  bool active = IsControlEnabled(c);
  float ink = active ? 0.0f : 0.6f;
  bool focused = GetKeyboardFocus(dialog) == c;
  Rect r = c->bounds;
  SInt16 midV = SInt16((r.top + r.bottom) / 2);
  switch (c->kind) {
    case kControlKindStaticText:
      WrappedText(b, Utf8(c->text), r);
      break;
    case kControlKindPushButton:
    case kControlKindRoundButton:
    case kControlKindBevelButton: {
      bool isDefault = c->isDefault || c->command == FOUR_CHAR('o', 'k', ' ', ' ');
      Fill(b, r, isDefault && active ? 0.75f : 0.97f);
      Frame(b, r, ink, ink, ink);
      if (isDefault) Frame(b, Inset(r, 1), ink, ink, ink);
      Text(b, Title(c), (r.left + r.right) / 2.0f, midV + 4.0f, 1, ink, ink, ink);
      break;
    }
    case kControlKindEditText: {
      Fill(b, r, 1.0f);
      Frame(b, r, focused ? 0.1f : 0.5f, focused ? 0.3f : 0.5f, focused ? 0.9f : 0.5f);
      std::string shown = c->password ? std::string(c->text.size(), '*') : Utf8(c->text);
      Text(b, shown, r.left + 3.0f, r.bottom - 4.0f, 0, ink, ink, ink);
      if (focused) {
        std::string before = c->password ? std::string(size_t(c->selEnd), '*') : c->text.substr(0, size_t(c->selEnd));
        SInt16 x = SInt16(r.left + 3 + std::max(0, DrawTextWidth(Utf8(before).c_str(), DialogFont(), kTextSize)));
        Fill(b, Rect{SInt16(r.top + 2), x, SInt16(r.bottom - 2), SInt16(x + 1)}, 0.0f);
      }
      break;
    }
    case kControlKindCheckBox:
    case kControlKindRadioButton: {
      Rect box{SInt16(midV - 6), r.left, SInt16(midV + 6), SInt16(r.left + 12)};
      Fill(b, box, 1.0f);
      Frame(b, box, ink, ink, ink);
      if (c->value) Fill(b, Inset(box, 3), ink);
      Text(b, Title(c), r.left + 18.0f, midV + 4.0f, 0, ink, ink, ink);
      break;
    }
    case kControlKindTabs:
      for (SInt16 n = 1; n <= c->maximum; ++n) {
        Rect t = TabRect(c, n);
        Fill(b, t, n == c->value ? 0.75f : 0.97f);
        Frame(b, t, ink, ink, ink);
        Text(b, "Tab " + std::to_string(n), (t.left + t.right) / 2.0f, t.bottom - 7.0f, 1, ink, ink, ink);
      }
      Frame(b, Rect{SInt16(r.top + 22), r.left, r.bottom, r.right}, 0.5f, 0.5f, 0.5f);
      break;
    case kControlKindSlider: {
      Fill(b, Rect{SInt16(midV - 1), r.left, SInt16(midV + 1), r.right}, 0.4f);
      SInt32 span = std::max(1, c->maximum - c->minimum);
      SInt16 x = SInt16(r.left + (r.right - r.left - 8) * (c->value - c->minimum) / span);
      Fill(b, Rect{SInt16(midV - 7), x, SInt16(midV + 7), SInt16(x + 8)}, ink + 0.2f);
      break;
    }
    case kControlKindPopupButton:
      Fill(b, r, 0.97f);
      Frame(b, r, ink, ink, ink);
      Text(b, Title(c) + ": " + std::to_string(c->value) + "  \xE2\x96\xBE", r.left + 6.0f, midV + 4.0f, 0, ink, ink,
           ink);
      break;
    case kControlKindProgressBar: {
      Fill(b, r, 1.0f);
      Frame(b, r, 0.3f, 0.3f, 0.3f);
      auto indeterminate = c->data.find(FOUR_CHAR('i', 'n', 'd', 'e'));
      if (indeterminate != c->data.end() && indeterminate->second) {
        for (SInt16 x = SInt16(r.left + 2); x < r.right - 2; x = SInt16(x + 16))
          Fill(b, Rect{SInt16(r.top + 2), x, SInt16(r.bottom - 2), SInt16(std::min<SInt32>(x + 8, r.right - 2))}, 0.55f);
      } else if (c->maximum > c->minimum) {
        SInt16 w = SInt16((r.right - r.left - 4) * (c->value - c->minimum) / (c->maximum - c->minimum));
        SetColor(b, 0.2f, 0.4f, 0.9f);
        Rect bar{SInt16(r.top + 2), SInt16(r.left + 2), SInt16(r.bottom - 2), SInt16(r.left + 2 + w)};
        b->PaintRect(&bar);
      }
      break;
    }
    case kControlKindCellGrid:
      for (SInt16 i = 0; i < 256; ++i) {
        float red, green, blue;
        PaletteColor(i, &red, &green, &blue);
        SetColor(b, red, green, blue);
        Rect cell = CellRect(c, i);
        b->PaintRect(&cell);
      }
      if (c->value >= 0 && c->value < 256) {
        Rect sel = CellRect(c, c->value);
        Frame(b, sel, 0, 0, 0);
        Frame(b, Inset(sel, 1), 1, 1, 1);
      }
      Frame(b, Inset(r, -2), 0, 0, 0);
      break;
    case kControlKindLink:
      Text(b, Title(c), r.left, r.top + 16.0f, 0, 0, 0, 1);
      Fill(b, Rect{SInt16(r.top + 18), r.left,
                   SInt16(r.top + 19), SInt16(r.left + DrawTextWidth(Title(c).c_str(), DialogFont(), kTextSize))},
           0.0f);
      SetColor(b, 0, 0, 1);
      {
        Rect line{SInt16(r.top + 18), r.left, SInt16(r.top + 19),
                  SInt16(r.left + DrawTextWidth(Title(c).c_str(), DialogFont(), kTextSize))};
        b->PaintRect(&line);
      }
      break;
    case kControlKindIcon:
    case kControlKindIconRef: {
      bool caution = c->kind == kControlKindIcon && c->value == 2;
      bool stop = c->kind == kControlKindIcon && c->value == 0;
      SetColor(b, stop ? 0.8f : caution ? 0.95f : 0.25f, stop ? 0.1f : caution ? 0.75f : 0.45f,
               stop ? 0.1f : caution ? 0.1f : 0.85f);
      Rect icon{r.top, r.left, SInt16(r.top + 32), SInt16(r.left + 32)};
      b->PaintRect(&icon);
      Text(b, stop ? "x" : caution ? "!" : "i", r.left + 16.0f, r.top + 22.0f, 1, 1, 1, 1);
      break;
    }
    case kControlKindGroupBox:
    case kControlKindUserPane:
      if (c->title[0]) {
        Frame(b, r, 0.6f, 0.6f, 0.6f);
        Text(b, Title(c), r.left + 6.0f, r.top - 2.0f, 0, ink, ink, ink);
      }
      break;
    default:
      break;
  }
}

void DrawTree(ImageBuffer* b, WindowRef dialog, ControlRef parent) {
  for (ControlRef c : parent->children) {
    if (!c->visible) continue;
    DrawControl(b, dialog, c);
    DrawTree(b, dialog, c);
  }
}

bool Clickable(ControlRef c) {
  switch (c->kind) {
    case kControlKindStaticText:
    case kControlKindIcon:
    case kControlKindIconRef:
    case kControlKindUserPane:
    case kControlKindGroupBox:
    case kControlKindProgressBar:
      return false;
    default:
      return true;
  }
}

}  // namespace

void DrawDialog(WindowRef dialog, ImageBuffer* buffer) {
  DialogWindowRecord* record = DialogRecord(dialog);
  if (!record) return;
  SInt16 w = SInt16(record->bounds.right - record->bounds.left), h = SInt16(record->bounds.bottom - record->bounds.top);
  if (buffer->Width() != w || buffer->Height() != h) buffer->Init(w, h);
  Fill(buffer, Rect{0, 0, h, w}, 0.92f);
  DrawTree(buffer, dialog, &record->root);
}

ControlRef DialogControlAt(WindowRef dialog, SInt16 h, SInt16 v, SInt16* part) {
  std::vector<ControlRef> all = AllControls(dialog);
  *part = 0;
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    ControlRef c = *it;
    if (!IsControlVisible(c) || !Clickable(c)) continue;
    if (c->kind == kControlKindTabs) {
      for (SInt16 n = 1; n <= c->maximum; ++n)
        if (Inside(TabRect(c, n), h, v)) {
          *part = n;
          return c;
        }
      continue;
    }
    if (!Inside(c->bounds, h, v)) continue;
    if (c->kind == kControlKindCellGrid) *part = SInt16((v - c->bounds.top) / 12 * 32 + (h - c->bounds.left) / 12);
    return c;
  }
  return nullptr;
}

bool NeedsRenderedDialog(WindowRef dialog) {
  for (ControlRef c : AllControls(dialog)) {
    if (!IsControlVisible(c)) continue;
    switch (c->kind) {
      case kControlKindStaticText:
      case kControlKindIcon:
      case kControlKindIconRef:
      case kControlKindPushButton:
      case kControlKindLink:
        continue;
      default:
        return true;
    }
  }
  return false;
}

struct RenderedDialogPresenter::Surface {
  WindowPtr window = nullptr;
  GLContextRef context = nullptr;
  ImageBuffer picture;
  ImageGL image;
};

RenderedDialogPresenter::RenderedDialogPresenter() = default;

RenderedDialogPresenter::~RenderedDialogPresenter() {
  while (!surfaces_.empty()) Dismiss(surfaces_.begin()->first);
}

WindowPtr RenderedDialogPresenter::SurfaceOf(WindowRef dialog) const {
  auto it = surfaces_.find(dialog);
  return it == surfaces_.end() ? nullptr : it->second->window;
}

void RenderedDialogPresenter::Dismiss(WindowRef dialog) {
  auto it = surfaces_.find(dialog);
  if (it == surfaces_.end()) return;
  Surface* s = it->second;
  const GLServices* gl = GetGLServices();
  if (s->context) {
    gl->makeCurrent(s->window, s->context);
    s->image.Dispose();
    glBindCACHE.ClearTexture();
    gl->makeCurrent(nullptr, nullptr);
    gl->deleteContext(s->context);
  }
  DisposeGLWindow(s->window);
  delete s;
  surfaces_.erase(it);
  if (surfaces_.empty()) EndDialogInput();
}

RenderedDialogPresenter::Surface* RenderedDialogPresenter::Open(const DialogView& view) {
  WindowRef dialog = view.window;
  DialogWindowRecord* record = DialogRecord(dialog);
  if (!record) return nullptr;
  auto found = surfaces_.find(dialog);
  if (found != surfaces_.end()) return found->second;
  const GLServices* gl = GetGLServices();
  auto* s = new Surface;
  SInt32 w = record->bounds.right - record->bounds.left, h = record->bounds.bottom - record->bounds.top;
  s->window = NewGLWindow(view.title.c_str(), w, h, true);
  s->context = s->window ? gl->createContext(s->window) : nullptr;
  surfaces_[dialog] = s;
  if (!s->context) {
    Dismiss(dialog);
    return nullptr;
  }
  return s;
}

void RenderedDialogPresenter::Draw(Surface* s, WindowRef dialog) {
  const GLServices* gl = GetGLServices();
  gl->makeCurrent(s->window, s->context);
  glBindCACHE.ClearTexture();
  DrawDialog(dialog, &s->picture);
  Rect all{0, 0, s->picture.Height(), s->picture.Width()};
  s->image.New(&s->picture, &all);
  SInt32 dw, dh;
  gl->drawableSize(s->window, &dw, &dh);
  glViewport(0, 0, dw, dh);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, all.right, all.bottom, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.92f, 0.92f, 0.92f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  s->image.Draw(&all);
  glFinish();
  if (afterDraw) afterDraw(s->window, dialog);
  gl->swapBuffers(s->window);
  glBindCACHE.ClearTexture();
}

void RenderedDialogPresenter::Refresh(const DialogView& view) {
  if (Surface* s = Open(view)) {
    Draw(s, view.window);
    DialogInput ignored;
    while (NextDialogInput(s->window, &ignored)) {
    }
  }
}

DialogAction RenderedDialogPresenter::Present(const DialogView& view) {
  const DialogAction abandon{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  WindowRef dialog = view.window;
  Surface* s = Open(view);
  if (!s) return abandon;
  for (;;) {
    Draw(s, dialog);

    // Wait for the user, keeping the timers and the sound running.
    DialogInput input{DialogInput::None, 0, 0, 0, 0};
    while (!NextDialogInput(s->window, &input)) {
      ServiceTimers();
      IdleAudio();
      WaitDialogInput(15);
      if (afterDraw) break;  // a watcher sees each pass
    }
    if (input.kind == DialogInput::None) continue;
    if (input.kind == DialogInput::Close) return DialogAction{DialogAction::Key, -1, 27, 53, nullptr, 0};
    if (input.kind == DialogInput::Key) return DialogAction{DialogAction::Key, -1, input.charCode, input.keyCode, nullptr, 0};
    if (input.kind != DialogInput::MouseDown) continue;
    SInt16 part = 0;
    ControlRef c = DialogControlAt(dialog, input.h, input.v, &part);
    if (!c) continue;
    switch (c->kind) {
      case kControlKindEditText:
        if (IsControlEnabled(c)) {
          SetKeyboardFocus(dialog, c);
          c->selStart = c->selEnd = SInt16(c->text.size());
        }
        continue;
      case kControlKindSlider: {
        SInt32 span = c->maximum - c->minimum;
        SInt32 width = std::max(1, c->bounds.right - c->bounds.left - 8);
        SetControlValue(c, SInt16(c->minimum + span * std::clamp<SInt32>(input.h - c->bounds.left, 0, width) / width));
        break;
      }
      case kControlKindPopupButton:
        SetControlValue(c, SInt16(c->value >= c->maximum ? c->minimum : c->value + 1));
        break;
      case kControlKindTabs:
        c->value = part;
        break;
      default:
        break;
    }
    return DialogAction{DialogAction::Control, -1, 0, 0, c, part};
  }
}

namespace {

// Dialogs of texts and buttons go where UserPresenter() sends them; the
// others are rendered, unless the user presenter is standard error.
struct ProgramPresenter : DialogPresenter {
  RenderedDialogPresenter rendered;
  DialogAction Present(const DialogView& view) override {
    DialogPresenter& simple = UserPresenter();
    if (&simple != static_cast<DialogPresenter*>(&StderrPresenter()) && NeedsRenderedDialog(view.window))
      return rendered.Present(view);
    return simple.Present(view);
  }
  void Dismiss(WindowRef window) override { rendered.Dismiss(window); }
  void Refresh(const DialogView& view) override {
    if (&UserPresenter() != static_cast<DialogPresenter*>(&StderrPresenter())) rendered.Refresh(view);
  }
};

}  // namespace

void InstallRenderedDialogs() {
  static ProgramPresenter presenter;
  SetDialogPresenter(&presenter);
}
