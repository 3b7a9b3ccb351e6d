// The pointer in window, screen and game coordinates of the letterboxed
// picture, its relative motion for games that steer with it, and the
// questions the engine asks about it.
#pragma once

#include "platform/PlatformTypes.h"

struct OpaqueRgnHandle;
struct UserInput {
  UInt8 down;
  UInt8 clicked;
  Point where;
};

extern Point mouseDelta;
extern bool skipMouse;
extern Point virtualMouse;

// The motion since the last call (nothing while skipMouse is set), which also
// moves the virtual pointer, kept on the screen.
Point GetMouseDelta();
Point GetVirtualMouse();
// Drops pending motion and ignores the next delta, after a warp.
void ClearMouseDelta();
// The game picture's rectangle in the window: letterboxed, its shape kept.
void GetScaledGameRect(Rect* r);
// Window (local), screen (global) and game coordinates into one another,
// through the letterboxed picture.
Point LocalToGame(Point p);
Point GameToLocal(Point p);
Point GlobalToGame(Point p);
Point GameToGlobal(Point p);
// The pointer, read or moved in each coordinate system; moves stay on the
// screen.
Point GetGameMouse();
Point GetGlobalMouse();
void SetGlobalMouse(Point p);
void OffsetGlobalMouse(int dh, int dv);
void OffsetMouse(SInt16 dh, SInt16 dv);
void OffsetGameMouse(SInt16 dh, SInt16 dv);
void SetGameMouse(Point p);
void SetMouse(Point local);
void GetMouse(Point* local);
// Whether the pointer is inside the rectangle, or the region (its bounds,
// narrowed by its mask), in window coordinates.
bool MouseInRect(Rect* r);
bool MouseInRgn(OpaqueRgnHandle** region);
bool Button();
// Whether the program is the front process: asked of the platform, or the
// value the last suspend or resume event left.
bool IsFrontProcess();
bool IsFrontProcess_Var();
// A click of this pass (where it was) or else the button and the pointer now,
// in game coordinates; nothing while the program is in the background.
void GetUserInput(UserInput* input);
