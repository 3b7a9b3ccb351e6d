// The one-line text entry: typed and pasted text with a blinking caret,
// scrolling to keep the caret in view, and a sound per inserted or deleted
// character. The field that has the keyboard is selectedCONTROL. Names end
// up in the high-score file, so the field takes at most 31 characters, and
// only printable ones other than '<' and '>'.
#pragma once

#include <string>

#include "frontend/controls/ControlGL.h"

class TextFieldGL : public ControlGL {
 public:
  enum { kMaxLength = 31 };

  ALSound* keySound;     // each inserted character
  ALSound* deleteSound;  // each deleted character
  std::string text;
  ImageGL textImage;
  Rect textRect;  // where the text shows, clipped
  SInt16 caret;   // insertion index, 0 to the text's length
  UInt8 blink;    // 0 to 8; the caret shows while below 4
  UInt8 flash;    // while non-zero, drawn in mainGUI's flash colour
  // The whole text is selected (a name filled in for the user): the next
  // character or paste replaces it, a delete key erases it, an arrow key
  // ends the selection.
  bool allSelected;

  TextFieldGL();
  virtual void Process() {}
  virtual void Render();
  virtual void Draw();
  virtual void DrawTitle() {}
  virtual void DrawHilite();
  virtual Rect GetCaret();
  // How far the rendered text overflows the text rectangle (0 when it fits).
  virtual SInt16 GetOffset();
  // Once per animation tick.
  virtual void Animate();
  // Gives this field the keyboard, caret at the end.
  virtual void Select();
  // Gives this field the keyboard with its whole text selected.
  void SelectAll();
  // Inserts what the field accepts of s at the caret (no sound); returns how
  // many characters went in.
  virtual int InsertText(const char* s);
  // Pointer handling and one key per call (0 = none); null when disabled.
  virtual ControlGL* HandleInput(UserInput* input, char key);
  using ControlGL::HandleInput;
};

// A character the field takes: printable, and neither '<' nor '>'.
bool TextFieldAccepts(unsigned char c);

// Inserts s into the selected control when it is a text field.
void PasteTextGL(const char* s);
// Pastes the clipboard's text into the selected field; a clipboard that
// cannot be read pastes nothing.
void PasteClipboardGL();

// How text is measured (whole pixels); tests put a fixed-pitch rule here.
extern int (*textFieldMeasure)(const char* text, FT_Face face, float size);

void ResetTextFieldPress();
