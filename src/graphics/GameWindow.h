// The game window and the game's logical rectangle. The window code fills
// them when it opens the window; the OpenGL frame reads them.
#pragma once

#include "platform/GLWindow.h"

extern WindowPtr mainWIND;
// (0, 0, game height, game width).
extern Rect mainRECT;
