// Asking before the screen's resolution is changed.
#pragma once

#include "platform/PlatformTypes.h"

// Whether the screen may be switched to width by height, by the "Monitor
// Mode" preference: switch without asking, ask, or never switch.
Boolean DisplayAskDialog(SInt16 width, SInt16 height);
