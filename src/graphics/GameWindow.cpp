#include "graphics/GameWindow.h"

WindowRef mainWIND = nullptr;
Rect mainRECT = {0, 0, 480, 640};
