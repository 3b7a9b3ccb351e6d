// The picture a window shows as its icon in the window manager's title bar,
// task bar and switcher.
#pragma once

#include "platform/PlatformTypes.h"

// Sets the window's icon from straight RGBA pixels (four bytes a pixel,
// rows top to bottom); false when the window system took none.
bool SetWindowIcon(WindowRef window, const UInt8* rgba, SInt32 width, SInt32 height);
