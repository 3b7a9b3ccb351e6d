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

// Mouse and coordinates.
Point GetMouseDelta();
Point GetVirtualMouse();
void ClearMouseDelta();
void GetScaledGameRect(Rect* r);
Point LocalToGame(Point p);
Point GameToLocal(Point p);
Point GlobalToGame(Point p);
Point GameToGlobal(Point p);
Point GetGameMouse();
Point GetGlobalMouse();
void SetGlobalMouse(Point p);
void OffsetGlobalMouse(int dh, int dv);
void OffsetMouse(SInt16 dh, SInt16 dv);
void OffsetGameMouse(SInt16 dh, SInt16 dv);
void SetGameMouse(Point p);
void SetMouse(Point local);
void GetMouse(Point* local);
bool MouseInRect(Rect* r);
bool MouseInRgn(OpaqueRgnHandle** region);
bool Button();
bool IsFrontProcess();
bool IsFrontProcess_Var();
void GetUserInput(UserInput* input);
