// Screens: every full-window page of the front end (logo, title, main menu,
// about, help, pause, name entry, confirmation) derives from ScreenGL and
// has its own per-step logic (Process) and drawing (Draw). The open screens
// form one list in the order they were opened; the last one is drawn on top
// and the front screen alone takes the pointer and keys. Each screen decides
// in its own Process when to close and which screen comes next.
#pragma once

#include "foundation/LinkedList.h"
#include "platform/QuickDraw.h"

class ScreenGL {
 public:
  UInt8 open;
  UInt8 suspended;
  Rect bounds;

  ScreenGL();
  virtual void Process() {}
  virtual void Draw() {}
  // The screen's name in the input trace ("pause box").
  virtual const char* TraceName() const { return "screen"; }
  // Whether, in front, it acts on a key or click now: one fading in or
  // on its way out does not.
  virtual bool TakesInput() const { return true; }

  // Lists the screen last (on top), makes it the front screen when toFront
  // is set, and drops the mouse and key events still queued. A screen that
  // is already open only comes to the front.
  void Open(UInt8 toFront);
  // Unlists the screen; the new last screen becomes the front one.
  void Close();
  void MoveToFront();
  UInt8 IsOpen() const { return open; }
  bool IsFront() const;
  UInt8 IsSuspended() const { return suspended; }

 protected:
  ~ScreenGL() = default;
};

extern LinkedItemListTemplate<ScreenGL>* screenList;
extern ScreenGL* frontScreen;

void AddToScreensList(ScreenGL* screen);
void RemoveFromScreensList(ScreenGL* screen);
void SetFrontScreen();
// Once per step: Process of every open screen, first to last. The follower is
// fetched before each call, so a screen may close itself in its Process.
void ProcessScreens();
// Once per frame: Draw of every open screen, first to last.
void DrawScreens();
Boolean AnyScreenOpen();
