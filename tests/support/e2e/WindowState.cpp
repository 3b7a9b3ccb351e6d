#include "support/e2e/WindowState.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

namespace e2e {

namespace {

std::vector<unsigned long> LongItems(Display* x, Window w, const char* name, Atom type) {
  Atom actualType;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> result;
  if (XGetWindowProperty(x, w, XInternAtom(x, name, False), 0, 4096, False, type, &actualType, &format, &count, &after,
                         &data) == Success &&
      data && format == 32) {
    // Xlib hands 32-bit items back as longs.
    const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
    result.assign(items, items + count);
  }
  if (data) XFree(data);
  return result;
}

}  // namespace

bool LiesAbove(Desktop& desktop, XWindow upper, XWindow lower) {
  // Bottom first.
  auto order = LongItems(desktop.X(), DefaultRootWindow(desktop.X()), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
  auto u = std::find(order.begin(), order.end(), upper), l = std::find(order.begin(), order.end(), lower);
  return u != order.end() && l != order.end() && u > l;
}

bool IsIconic(Desktop& desktop, XWindow window) {
  Atom wmState = XInternAtom(desktop.X(), "WM_STATE", False);
  auto state = LongItems(desktop.X(), window, "WM_STATE", wmState);
  return !state.empty() && state[0] == IconicState;
}

}  // namespace e2e
