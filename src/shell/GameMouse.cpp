#include "shell/GameMouse.h"

#include <algorithm>
#include <cmath>

#include "foundation/Letterbox.h"
#include "platform/QuickDraw.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/Menus.h"

Point mouseDelta;
bool skipMouse;
Point virtualMouse;

namespace {

Rect GameRect() { return Rect{0, 0, APPL.gameHeight, APPL.gameWidth}; }

// Top-left corner of the game window's content in global coordinates.
Point WindowOrigin() {
  Rect content;
  if (!Platform().WindowContent(&content)) return Point{0, 0};
  return Point{content.top, content.left};
}

SInt16 FloorDiv(SInt32 a, SInt32 b) { return SInt16(a / b - ((a % b != 0) && ((a < 0) != (b < 0)))); }

// Maps a point proportionally from one rectangle onto another; points just
// outside the source land outside the destination (the division floors).
Point MapPoint(Point p, const Rect& from, const Rect& to) {
  SInt32 fw = from.right - from.left, fh = from.bottom - from.top;
  SInt32 tw = to.right - to.left, th = to.bottom - to.top;
  if (fw <= 0 || fh <= 0) return Point{to.top, to.left};
  return Point{SInt16(to.top + FloorDiv((p.v - from.top) * th, fh)),
               SInt16(to.left + FloorDiv((p.h - from.left) * tw, fw))};
}

Point ClampToScreen(Point p) {
  Rect screen = Platform().MainScreen();
  SInt16 height = SInt16(screen.bottom - screen.top), width = SInt16(screen.right - screen.left);
  return Point{std::clamp<SInt16>(p.v, 0, SInt16(height - 1)), std::clamp<SInt16>(p.h, 0, SInt16(width - 1))};
}

Point Offset(Point p, SInt32 dh, SInt32 dv) { return Point{SInt16(p.v + dv), SInt16(p.h + dh)}; }

}  // namespace

// The picture keeps its shape, placed as the drawing places it.
void GetScaledGameRect(Rect* r) {
  Rect content;
  SInt32 w = APPL.gameWidth, h = APPL.gameHeight;
  if (Platform().WindowContent(&content)) {
    w = content.right - content.left;
    h = content.bottom - content.top;
  }
  *r = LetterboxRect(APPL.gameWidth, APPL.gameHeight, w, h);
}

Point LocalToGame(Point p) {
  Rect scaled;
  GetScaledGameRect(&scaled);
  return MapPoint(p, scaled, GameRect());
}

Point GameToLocal(Point p) {
  Rect scaled;
  GetScaledGameRect(&scaled);
  return MapPoint(p, GameRect(), scaled);
}

Point GlobalToGame(Point p) {
  Point origin = WindowOrigin();
  return LocalToGame(Offset(p, -origin.h, -origin.v));
}

Point GameToGlobal(Point p) {
  Point origin = WindowOrigin();
  return Offset(GameToLocal(p), origin.h, origin.v);
}

void GetMouse(Point* local) {
  Point origin = WindowOrigin();
  *local = Offset(Platform().GlobalMouse(), -origin.h, -origin.v);
}

Point GetGameMouse() {
  Point local;
  GetMouse(&local);
  return LocalToGame(local);
}

Point GetGlobalMouse() { return Platform().GlobalMouse(); }
void SetGlobalMouse(Point p) { Platform().WarpMouse(ClampToScreen(p)); }
void OffsetGlobalMouse(int dh, int dv) { SetGlobalMouse(Offset(GetGlobalMouse(), dh, dv)); }
void OffsetMouse(SInt16 dh, SInt16 dv) { OffsetGlobalMouse(dh, dv); }
void OffsetGameMouse(SInt16 dh, SInt16 dv) { SetGameMouse(Offset(GetGameMouse(), dh, dv)); }
void SetGameMouse(Point p) { SetGlobalMouse(GameToGlobal(p)); }

void SetMouse(Point local) {
  Point origin = WindowOrigin();
  SetGlobalMouse(Offset(local, origin.h, origin.v));
}

bool MouseInRect(Rect* r) {
  Point p;
  GetMouse(&p);
  return p.v >= r->top && p.v < r->bottom && p.h >= r->left && p.h < r->right;
}

// A region is its bounds, narrowed by its mask when it has one.
bool MouseInRgn(RgnHandle* region) {
  if (!region || !*region) return false;
  const OpaqueRgnHandle& r = **region;
  Point p;
  GetMouse(&p);
  if (p.v < r.rgnBBox.top || p.v >= r.rgnBBox.bottom || p.h < r.rgnBBox.left || p.h >= r.rgnBBox.right) return false;
  SInt32 width = r.rgnBBox.right - r.rgnBBox.left;
  return !r.mask || r.mask[(p.v - r.rgnBBox.top) * width + (p.h - r.rgnBBox.left)] != 0;
}

Point GetMouseDelta() {
  if (skipMouse) mouseDelta = Point{0, 0};
  virtualMouse = ClampToScreen(Offset(virtualMouse, mouseDelta.h, mouseDelta.v));
  Point delta = mouseDelta;
  mouseDelta = Point{0, 0};
  return delta;
}

Point GetVirtualMouse() { return virtualMouse; }

void ClearMouseDelta() {
  RemoveMotionEvents();
  mouseDelta = Point{0, 0};
  skipMouse = true;
}

bool Button() { return Platform().Button(); }
bool IsFrontProcess() { return Platform().IsFront(); }
bool IsFrontProcess_Var() { return isFrontProcess; }

void GetUserInput(UserInput* input) {
  if (!IsFrontProcess()) {
    input->down = 0;
    input->where = Point{-1, -1};
    return;
  }
  SInt16 h, v;
  input->clicked = ClickEvent(&h, &v);
  input->down = input->clicked;
  if (input->clicked) {
    input->where = Point{v, h};
  } else {
    // A press on the menu bar or its menus is the bar's, not the game's.
    input->down = Button() && !MenuBarHasPointer();
    input->where = GetGameMouse();
  }
}
