#include "graphics/Ports.h"

#include "foundation/Array.h"
#include "foundation/ErrorDialog.h"
#include "platform/GLWindow.h"

Stack<GWorldInfo> gWorldStack(128);
Stack<TextParams> textParamsSTACK(32);

namespace {

CGrafPtr CurrentPort() {
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  return port;
}

void SetTextParams(const TextParams& p) {
  TextFace(p.face);
  TextFont(p.font);
  TextMode(p.mode);
  TextSize(p.size);
}

}  // namespace

OSErr PushPort() {
  GWorldInfo info;
  GetGWorld(&info.port, &info.device);
  if (!gWorldStack.Push(info)) ErrorDialog("GWorld stack is full!", "", 0, 1);
  return noErr;
}

void PopPort() {
  GWorldInfo info;
  if (!gWorldStack.Pop(&info)) {
    ErrorDialog("GWorld stack is empty!", "PopPort()", 0, 1);
    return;
  }
  SetGWorld(info.port, info.device);
}

Boolean GetOldPort(CGrafPtr* port, GDHandle* device) {
  GWorldInfo info;
  if (!gWorldStack.Top(&info)) return false;
  *port = info.port;
  if (device) *device = info.device;
  return true;
}

SInt16 PortStackSize() { return SInt16(gWorldStack.Size()); }

UInt8 QK_GetTextFace() { return UInt8(GetPortTextFace(CurrentPort())); }
SInt16 GetTextFont() { return GetPortTextFont(CurrentPort()); }
SInt16 GetTextMode() { return GetPortTextMode(CurrentPort()); }
SInt16 GetTextSize() { return GetPortTextSize(CurrentPort()); }

void DefaultTextParams() { SetTextParams({0, 0, srcOr, 0}); }

OSErr PushTextParams() {
  TextParams p{QK_GetTextFace(), GetTextFont(), GetTextMode(), GetTextSize()};
  if (!textParamsSTACK.Push(p)) ErrorDialog("Text params stack is full!", "PushTextParams()", 0, 1);
  return noErr;
}

// The message of an empty stack mirrors the full one.
void PopTextParams() {
  TextParams p;
  if (!textParamsSTACK.Pop(&p)) {
    ErrorDialog("Text params stack is empty!", "PopTextParams()", 0, 1);
    return;
  }
  SetTextParams(p);
}

Rect GetPortRect(WindowRef window) {
  if (!window) return Rect{0, 0, 0, 0};
  SInt32 width, height;
  GetWindowContentSize(window, &width, &height);
  return Rect{0, 0, SInt16(height), SInt16(width)};
}

// Windows are drawn with OpenGL and show their picture when their buffers
// are swapped; a window port keeps no back buffer of its own to flush.
void FlushWindow(WindowRef, Rect*) {}
