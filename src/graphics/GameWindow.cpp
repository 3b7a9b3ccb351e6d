#include "graphics/GameWindow.h"

WindowPtr mainWIND = nullptr;
Rect mainRECT = {0, 0, 480, 640};
