// All-events capture: while a game is played the menus are off, the cursor
// is hidden and the pointer is parked in the game window so that only its
// motion reaches the game. Reached through hook slots 10 to 12.
#pragma once

#include "platform/PlatformTypes.h"

// 1 while events go to everybody (released), 0 while captured.
extern bool allEvents;
extern bool allEventsInited;
extern Point globalMouse;

// Seam to the menus, filled when the menus are built (null before): turns
// the menu part of the capture on (true) or off (false): all menus disabled,
// the Apple menu's commands off and its shortcut-swallowing items added, and
// back.
extern void (*captureMenusProc)(bool capture);

void InitAllEvents();
void EnableAllEvents_Displays();
void DisableAllEvents_Displays();
bool AllEventsEnabled_Displays();
// Where the pointer is parked while captured: the centre of the game window
// (or of the main screen), at least 6 pixels inside every screen edge.
Point AllEventsParkingPoint();
void HideInterface();
void ShowInterface();
