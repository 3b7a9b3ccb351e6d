// The application's icon on its windows: the bundle's own picture
// (Resources/Icons/Halvane-<size>.png, the same one installed for the icon
// theme).
#pragma once

#include "platform/PlatformTypes.h"

// The size of the icon the windows show.
constexpr SInt32 kWindowIconSize = 128;

// Gives the window the application's icon; false when the bundle has no
// icon or the window system took none.
bool ShowApplicationIcon(WindowRef window);
