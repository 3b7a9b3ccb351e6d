// What the window manager says of a window beyond its focus and full screen:
// its place in the stacking order and whether it is iconic (hidden).
#pragma once

#include "support/e2e/Desktop.h"

namespace e2e {

// The first window lies above the second in the manager's stacking order;
// false when either is not in it.
bool LiesAbove(Desktop& desktop, XWindow upper, XWindow lower);
// The window's ICCCM state is iconic: hidden by its program or the user.
bool IsIconic(Desktop& desktop, XWindow window);

}  // namespace e2e
