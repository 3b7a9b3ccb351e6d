// The menu bar drawn over the top of the game window, and the menu pulled
// down from it, from the menu records and their layout (platform/MenuModel):
// titles, items, command keys, enabled states and ticks, the highlighted
// title and the item under the pointer. Text is rendered with FreeType into
// images that are drawn again only when what they show changes.
#pragma once

#include "platform/PlatformTypes.h"

// Draws the bar while it is shown and events are not captured, in window
// pixels over whatever the frame holds; called at the end of each frame.
void DrawMenuBarGL(SInt32 windowWidth, SInt32 windowHeight);
