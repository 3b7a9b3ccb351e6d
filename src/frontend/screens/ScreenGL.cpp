#include "frontend/screens/ScreenGL.h"

#include "foundation/Colors.h"
#include "platform/EventPlatform.h"

LinkedItemListTemplate<ScreenGL>* screenList = nullptr;
ScreenGL* frontScreen = nullptr;

namespace {
// Mouse-down, mouse-up, key-down, key-up and auto-key.
const UInt16 kInputEventsMask = 62;
}  // namespace

ScreenGL::ScreenGL() : open(0), suspended(0) { SetRect2(&bounds, 32, 32, 320, 240); }

void ScreenGL::Open(UInt8 toFront) {
  if (open) {
    // Listing it twice would leave a stale entry behind after one Close.
    MoveToFront();
  } else {
    AddToScreensList(this);
    if (toFront) MoveToFront();
    open = 1;
  }
  FlushEvents(kInputEventsMask, 0);
}

void ScreenGL::Close() {
  RemoveFromScreensList(this);
  open = 0;
  SetFrontScreen();
}

void ScreenGL::MoveToFront() {
  RemoveFromScreensList(this);
  AddToScreensList(this);
  frontScreen = this;
}

bool ScreenGL::IsFront() const { return open && frontScreen == this; }

void AddToScreensList(ScreenGL* screen) {
  if (!screenList) screenList = new LinkedItemListTemplate<ScreenGL>();
  screenList->AddLastItem(screen);
}

void RemoveFromScreensList(ScreenGL* screen) {
  if (screenList) screenList->RemoveItem(screen);
}

void SetFrontScreen() { frontScreen = screenList ? screenList->LastItem() : nullptr; }

void ProcessScreens() {
  if (!screenList) return;
  for (auto* link = screenList->First(); link;) {
    auto* next = screenList->Next(link);
    if (link->item->open) link->item->Process();
    link = next;
  }
}

void DrawScreens() {
  if (!screenList) return;
  for (auto* link = screenList->First(); link; link = screenList->Next(link)) {
    if (link->item->open) link->item->Draw();
  }
}

Boolean AnyScreenOpen() {
  if (!screenList) return false;
  for (auto* link = screenList->First(); link; link = screenList->Next(link)) {
    if (link->item->open) return true;
  }
  return false;
}
