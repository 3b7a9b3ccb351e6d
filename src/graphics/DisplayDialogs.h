// Asking before the screen's resolution is changed.
#pragma once

#include "platform/PlatformTypes.h"

// Whether the screen may be switched to width by height, by the "Monitor
// Mode" preference: switch without asking, ask, or never switch.
Boolean DisplayAskDialog(SInt16 width, SInt16 height);

class Display;
// After a switch of `display`'s mode: a mode marked safe counts as
// confirmed; any other is confirmed only by an 'ok  ' answer to the timed
// confirmation (which answers at once without one). False when the current
// mode is not among the display's modes.
Boolean DisplayConfirmDialog(Display* display);
