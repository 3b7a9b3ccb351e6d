// Saving and restoring the current port and device, and the current port's
// text settings, on two bounded stacks. Every temporary change of the
// current port is bracketed by PushPort and PopPort.
#pragma once

#include "platform/QuickDraw.h"

struct GWorldInfo {
  CGrafPtr port = nullptr;
  GDHandle device = nullptr;
};

struct TextParams {
  SInt16 face = 0;
  SInt16 font = 0;
  SInt16 mode = 0;
  SInt16 size = 0;
};

template <typename T>
class Stack;
extern Stack<GWorldInfo> gWorldStack;
extern Stack<TextParams> textParamsSTACK;

OSErr PushPort();
void PopPort();
Boolean GetOldPort(CGrafPtr* port, GDHandle* device);
SInt16 PortStackSize();

UInt8 QK_GetTextFace();
SInt16 GetTextFont();
SInt16 GetTextMode();
SInt16 GetTextSize();
void DefaultTextParams();
OSErr PushTextParams();
void PopTextParams();

// The window's port rectangle: (0, 0, content height, content width).
Rect GetPortRect(WindowRef window);
void FlushWindow(WindowRef window, Rect* r);
