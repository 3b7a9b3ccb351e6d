// A scripted event platform for tests: events are posted by hand, the key
// map, button, pointer, window and screen are plain fields, and every cursor,
// warp, beep and exit is recorded. Exit throws ProcessExit so that a test can
// see where the process would have ended. Installs itself while it lives.
#pragma once

#include <vector>

#include "platform/EventPlatform.h"

struct ProcessExit {
  int status;
};

struct FakeEventPlatform : EventPlatform {
  FakeEventPlatform();
  ~FakeEventPlatform() override;
  FakeEventPlatform(const FakeEventPlatform&) = delete;
  FakeEventPlatform& operator=(const FakeEventPlatform&) = delete;

  // Posts an event as the system would deliver it; key and button events also
  // update the key map and the button, as a real keyboard and mouse do.
  void PostKey(PlatformEvent::Kind kind, UInt8 keyCode, UInt8 charCode = 0);
  void PostMouse(PlatformEvent::Kind kind, Point where);
  void PostMotion(SInt16 dh, SInt16 dv);
  void Post(PlatformEvent::Kind kind);
  void SetKey(UInt8 keyCode, bool down);

  void Pump() override {}
  void GetKeys(UInt8 map[16]) override;
  bool Button() override { return button; }
  Point GlobalMouse() override { return mouse; }
  void WarpMouse(Point global) override;
  void SetRelativeMouse(bool on) override { relative = on; }
  Rect MainScreen() override { return screen; }
  bool WindowContent(Rect* global) override;
  bool WindowMinimised() override { return minimised; }
  bool IsFront() override { return front; }
  void ShowCursor(bool shown) override { cursorShown = shown; }
  void ArrowCursor() override { ++arrowCursors, handCursor = false; }
  void HandCursor() override { handCursor = true; }
  void Beep() override { ++beeps; }
  void Exit(int status) override;
  void SetEventWindow(PlatformWindow* w) override { eventWindow = w; }

  UInt8 keys[16] = {};
  bool button = false;
  Point mouse = {0, 0};
  Rect screen = {0, 0, 1024, 1280};
  bool hasWindow = true;
  Rect window = {100, 200, 580, 840};
  bool minimised = false;
  bool front = true;
  bool relative = false;
  bool cursorShown = true;
  int arrowCursors = 0;
  bool handCursor = false;
  int beeps = 0;
  std::vector<Point> warps;
  std::vector<int> exits;
  PlatformWindow* eventWindow = nullptr;

 private:
  EventPlatform* previous_;
};
