#include "graphics/OpenGLFrame.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/Clock.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageGL.h"
#include "graphics/MenuBarGL.h"
#include "graphics/OpenGLContext.h"
#include "shell/ApplInfo.h"

GLFader glFADER;
GLDrawVars glDrawVars;
UInt8 vblSYNC = 0;

namespace {

// The swap interval last handed to the platform; it is set again only when
// the flag changes (and failing to set it is normal on some servers).
int swapIntervalSet = -1;
// False while the window or port has no area: such frames are cleared and
// swapped, nothing more.
bool frameDrawable = false;

struct FittedGamma {
  float scale[3] = {1, 1, 1}, offset[3] = {0, 0, 0};
  bool on = false;
};
FittedGamma pictureGamma;
// Between OpenGLBeginDraw and OpenGLEndDraw.
bool inFrame = false;

bool GammaShows() { return pictureGamma.on && IsFullScreen(); }

void SetWindowPixelTransform(SInt32 width, SInt32 height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// Multiplies the window's pixels by the scale, then adds the offset.
void DrawGammaOverPicture(SInt32 width, SInt32 height) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  SetWindowPixelTransform(width, height);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_BLEND);
  const FittedGamma& g = pictureGamma;
  glBlendFunc(GL_ZERO, GL_SRC_COLOR);
  glColor4f(g.scale[0], g.scale[1], g.scale[2], 1.0f);
  glRectf(0, 0, float(width), float(height));
  if (g.offset[0] > 0 || g.offset[1] > 0 || g.offset[2] > 0) {
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(g.offset[0], g.offset[1], g.offset[2], 1.0f);
    glRectf(0, 0, float(width), float(height));
  }
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}

SInt32 RectWidth(const Rect& r) { return r.right - r.left; }
SInt32 RectHeight(const Rect& r) { return r.bottom - r.top; }

Rect AtOrigin(SInt32 width, SInt32 height) { return Rect{0, 0, SInt16(height), SInt16(width)}; }

void ResetFixedState() {
  const GLenum off[] = {GL_ALPHA_TEST, GL_BLEND,          GL_DEPTH_TEST,   GL_DITHER,     GL_FOG,
                        GL_LIGHTING,   GL_INDEX_LOGIC_OP, GL_STENCIL_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D};
  for (GLenum cap : off) glDisable(cap);
  glPixelTransferi(GL_MAP_COLOR, 0);
  const GLenum scales[] = {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE};
  const GLenum biases[] = {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS};
  for (GLenum e : scales) glPixelTransferf(e, 1.0f);
  for (GLenum e : biases) glPixelTransferf(e, 0.0f);
}

void SetSwapInterval() {
  if (swapIntervalSet == vblSYNC) return;
  GetGLServices()->setSwapInterval(vblSYNC);
  swapIntervalSet = vblSYNC;
}

void SetPortTransform(SInt32 pw, SInt32 ph, const Letterbox& box) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glScalef(2.0f / (float(pw) + 2.0f * box.mx / box.s), -2.0f / (float(ph) + 2.0f * box.my / box.s), 1.0f);
  glTranslatef(float(-(pw / 2)), float(-(ph / 2)), 0.0f);
  glRasterPos2i(0, ph);
  glPixelZoom(1.0f, 1.0f);
}

}  // namespace

ScissorBox PortScissorBox(const Rect& r, const Rect& port, const Rect& wind) {
  SInt32 pw = RectWidth(port), ph = RectHeight(port);
  Letterbox box = ComputeLetterbox(pw, ph, RectWidth(wind), RectHeight(wind));
  return ScissorBox{SInt32(float(r.left - port.left) * box.s + box.mx),
                    SInt32(float(port.bottom - r.bottom) * box.s + box.my), SInt32(float(r.right - r.left) * box.s),
                    SInt32(float(r.bottom - r.top) * box.s)};
}

void ClipRectGL(Rect* r) {
  ScissorBox b = PortScissorBox(*r, glDrawVars.portRect, glDrawVars.windRect);
  glScissor(b.x, b.y, b.width, b.height);
  glEnable(GL_SCISSOR_TEST);
}

void OpenGLBeginDraw(GrafPtr port) {
  frameDrawable = false;
  inFrame = true;
  if (!mainWIND || !GetWRefCon(mainWIND)) return;
  glDrawVars.context = static_cast<OpenGLContext*>(GetWRefCon(mainWIND));
  Rect bounds;
  GetPortBounds(port, &bounds);
  SInt32 pw = RectWidth(bounds), ph = RectHeight(bounds), ww, wh;
  GetWindowContentSize(mainWIND, &ww, &wh);
  glDrawVars.portRect = AtOrigin(pw, ph);
  glDrawVars.windRect = AtOrigin(ww, wh);
  frameDrawable = pw > 0 && ph > 0 && ww > 0 && wh > 0;
  Letterbox box = frameDrawable ? ComputeLetterbox(pw, ph, ww, wh) : Letterbox{1.0f, 0.0f, 0.0f};

  if (frameDrawable) ClipRectGL(&mainRECT);
  ResetFixedState();
  GetGLServices()->makeCurrent(mainWIND, glDrawVars.context->context);
  SetSwapInterval();

  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glShadeModel(GL_FLAT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  // The defaults go to the default texture: set on whatever picture was
  // bound last, they would change its sampling, which images set only once.
  glBindTexture_fast(GL_TEXTURE_2D, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!frameDrawable) return;
  glEnable(GL_SCISSOR_TEST);
  SetPortTransform(pw, ph, box);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void OpenGLEndDraw() {
  inFrame = false;
  if (!mainWIND || !GetWRefCon(mainWIND)) return;
  if (frameDrawable) {
    VisualFXGL(&glDrawVars.portRect);
    DrawMenuBarGL(glDrawVars.windRect.right, glDrawVars.windRect.bottom);
    if (GammaShows()) DrawGammaOverPicture(glDrawVars.windRect.right, glDrawVars.windRect.bottom);
  }
  GetGLServices()->swapBuffers(mainWIND);
}

void VisualFXGL(Rect* r) {
  APPL.OpenGLFX();
  if (glFADER.Bright() == 255) return;
  const GLfloat vertices[] = {float(r->left), float(r->top),    0.0f, float(r->right), float(r->top),    0.0f,
                              float(r->left), float(r->bottom), 0.0f, float(r->right), float(r->bottom), 0.0f};
  // The texture-coordinate array stays enabled: give it valid memory.
  const GLfloat unusedTexCoords[8] = {};
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(glFADER.red / 255.0f, glFADER.green / 255.0f, glFADER.blue / 255.0f, glFADER.alpha / 255.0f);
  glVertexPointer(3, GL_FLOAT, 0, vertices);
  glTexCoordPointer(2, GL_FLOAT, 0, unusedTexCoords);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glDisable(GL_BLEND);
}

void EnableVBLSync() { vblSYNC = 1; }
void DisableVBLSync() { vblSYNC = 0; }
UInt8 VBLSyncEnabled() { return vblSYNC; }

void MinBright_GL() { glFADER.SetBright(0); }
void NormBright_GL() { glFADER.SetBright(255); }
void MaxBright_GL() { glFADER.SetBright(255); }
int Brightness_GL() { return glFADER.Bright(); }
void Brighter_GL(UInt8 step) { glFADER.SetBright(SInt16(std::min(glFADER.Bright() + step, 255))); }
void Darker_GL(UInt8 step) { glFADER.SetBright(SInt16(std::max(glFADER.Bright() - step, 0))); }

void FadeOut_GL(UInt8 step) {
  if (step == 0) step = 1;
  while (Brightness_GL() >= 1) {
    StartTicks();
    Darker_GL(step);
    FlushToScreen(nullptr);
    WaitTicks(1);
  }
}

void FadeIn_GL(UInt8 step) {
  if (step == 0) step = 1;
  while (Brightness_GL() <= 254) {
    StartTicks();
    Brighter_GL(step);
    FlushToScreen(nullptr);
    WaitTicks(1);
  }
}

void (*pictureRedrawProc)();

void ShowGammaOverPicture(const float* red, const float* green, const float* blue) {
  const float* channels[3] = {red, green, blue};
  bool identity = true;
  for (int c = 0; c < 3; c++) {
    pictureGamma.offset[c] = std::clamp(channels[c][0], 0.0f, 1.0f);
    pictureGamma.scale[c] = std::clamp(channels[c][255] - channels[c][0], 0.0f, 1.0f);
    identity = identity && std::fabs(pictureGamma.offset[c]) < 1e-3f && std::fabs(pictureGamma.scale[c] - 1) < 1e-3f;
  }
  pictureGamma.on = !identity;
  // A fade blocks the program's frames: the picture is drawn again here
  // under each new table (not from inside a frame, whose end shows it).
  static bool redrawing = false;
  if (inFrame || redrawing || !pictureRedrawProc || !mainWIND || !GetWRefCon(mainWIND) || !IsFullScreen()) return;
  redrawing = true;
  pictureRedrawProc();
  redrawing = false;
}

bool PictureGamma(float scale[3], float offset[3]) {
  for (int c = 0; c < 3; c++) {
    scale[c] = pictureGamma.scale[c];
    offset[c] = pictureGamma.offset[c];
  }
  return pictureGamma.on;
}
