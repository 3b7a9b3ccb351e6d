#include "support/FakeEventPlatform.h"

#include <cstring>

#include "platform/KeyCodes.h"

FakeEventPlatform::FakeEventPlatform() : previous_(SetEventPlatform(this)) { RemovePlatformEvents(everyEvent); }

FakeEventPlatform::~FakeEventPlatform() {
  RemovePlatformEvents(everyEvent);
  SetEventPlatform(previous_);
}

void FakeEventPlatform::SetKey(UInt8 keyCode, bool down) {
  if (down)
    keys[keyCode >> 3] |= UInt8(1 << (keyCode & 7));
  else
    keys[keyCode >> 3] &= UInt8(~(1 << (keyCode & 7)));
}

void FakeEventPlatform::PostKey(PlatformEvent::Kind kind, UInt8 keyCode, UInt8 charCode) {
  if (kind != PlatformEvent::KeyRepeat) SetKey(keyCode, kind != PlatformEvent::KeyUp);
  PlatformEvent e{};
  e.kind = IsModifierKeyCode(keyCode) ? PlatformEvent::Modifiers : kind;
  e.keyCode = keyCode;
  e.charCode = charCode;
  e.hasModifiers = true;
  e.modifiers = ModifiersFromKeys(keys);
  e.where = mouse;
  PostPlatformEvent(e);
}

void FakeEventPlatform::PostMouse(PlatformEvent::Kind kind, Point where) {
  if (kind == PlatformEvent::MouseDown || kind == PlatformEvent::MouseUp) button = kind == PlatformEvent::MouseDown;
  mouse = where;
  PlatformEvent e{};
  e.kind = kind;
  e.hasModifiers = kind == PlatformEvent::MouseDown || kind == PlatformEvent::MouseUp;
  e.modifiers = ModifiersFromKeys(keys);
  e.where = where;
  PostPlatformEvent(e);
}

void FakeEventPlatform::PostMotion(SInt16 dh, SInt16 dv) {
  mouse.h = SInt16(mouse.h + dh);
  mouse.v = SInt16(mouse.v + dv);
  PlatformEvent e{};
  e.kind = PlatformEvent::MouseMoved;
  e.hasModifiers = true;
  e.modifiers = ModifiersFromKeys(keys);
  e.dh = dh;
  e.dv = dv;
  e.where = mouse;
  PostPlatformEvent(e);
}

void FakeEventPlatform::Post(PlatformEvent::Kind kind) {
  if (kind == PlatformEvent::Suspend || kind == PlatformEvent::Resume) front = kind == PlatformEvent::Resume;
  PlatformEvent e{};
  e.kind = kind;
  e.where = kind == PlatformEvent::CloseBox || kind == PlatformEvent::ZoomBox
                ? Point{SInt16(window.top - 1), window.left}
                : mouse;
  PostPlatformEvent(e);
}

void FakeEventPlatform::GetKeys(UInt8 map[16]) { memcpy(map, keys, sizeof keys); }

void FakeEventPlatform::WarpMouse(Point global) {
  mouse = global;
  warps.push_back(global);
}

bool FakeEventPlatform::WindowContent(Rect* global) {
  if (hasWindow) *global = window;
  return hasWindow;
}

void FakeEventPlatform::Exit(int status) {
  exits.push_back(status);
  throw ProcessExit{status};
}
