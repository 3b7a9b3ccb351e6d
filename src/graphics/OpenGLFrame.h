// The frame: every picture is drawn between OpenGLBeginDraw and
// OpenGLEndDraw, letterboxed into the game window, with the brightness
// overlay of glFADER drawn last.
#pragma once

#include "foundation/Letterbox.h"
#include "platform/QuickDraw.h"

struct OpenGLContext;

// The overlay colour and opacity, each 0 to 255. Brightness is 255 - alpha.
struct GLFader {
  SInt16 red, green, blue, alpha;
  SInt16 Bright() const { return SInt16(255 - alpha); }
  void SetBright(SInt16 b) { alpha = SInt16(255 - b); }
};
extern GLFader glFADER;

struct GLDrawVars {
  OpenGLContext* context;
  Rect portRect;  // the port's bounds moved to the origin
  Rect windRect;  // the window's content bounds moved to the origin
};
extern GLDrawVars glDrawVars;

// Where the port lands in the window: ComputeLetterbox, shared with the
// pointer's mapping.

// The scissor box (window pixels, y up) of a port rectangle.
struct ScissorBox {
  SInt32 x, y, width, height;
};
ScissorBox PortScissorBox(const Rect& r, const Rect& port, const Rect& wind);

// Begins a frame whose logical size is the port's bounds.
void OpenGLBeginDraw(GrafPtr port);
void OpenGLEndDraw();
void VisualFXGL(Rect* r);
void ClipRectGL(Rect* r);

extern UInt8 vblSYNC;
void EnableVBLSync();
void DisableVBLSync();
UInt8 VBLSyncEnabled();

void MinBright_GL();
void NormBright_GL();
void MaxBright_GL();
int Brightness_GL();
void Brighter_GL(UInt8 step);
void Darker_GL(UInt8 step);
// Block until black or full brightness, one step a tick, each step flushed
// to the screen. A step of 0 counts as 1.
void FadeOut_GL(UInt8 step);
void FadeIn_GL(UInt8 step);

// The display's transfer tables (256 entries a channel) shown over the
// picture in the game window: in full screen the window is all the user
// sees, so the picture faded there is the display faded, and the display's
// own tables are never changed. Each table is drawn as output = offset +
// scale x input, fitted to its first and last entries. Outside a frame (a
// fade blocks the program's frames) the picture is drawn again at once
// through pictureRedrawProc.
void ShowGammaOverPicture(const float* red, const float* green, const float* blue);
// Draws the program's whole picture, one frame (set by the program).
extern void (*pictureRedrawProc)();
// The fitted scale and offset of each channel in force; false when the
// tables leave the picture as it is.
bool PictureGamma(float scale[3], float offset[3]);
