// The SDL implementation of the event platform. SDL's own keyboard and mouse
// state do not follow events pushed into its queue, so this layer keeps its
// own key map, button and focus, fed from the events it translates.
#pragma once

#include "platform/EventPlatform.h"

struct SDL_Window;

// The SDL platform, started (SDL video, or only SDL events when no display
// can be opened) on first use.
EventPlatform& SDLPlatform();
// The window whose focus, close and maximise buttons and content the events
// refer to; the game window sets itself here when it opens (null when it closes).
void SetSDLEventWindow(PlatformWindow* window);
// The program hides the window itself (to place it again or to switch it to
// or from full screen): the focus loss this brings, until the focus comes
// back, is neither a suspend nor, when it ends, a resume.
void NoteWindowHiddenByProgram(PlatformWindow* window);
// The window record's handle of a window SDL made, for programs that drive
// SDL themselves (tests, fuzzers); the back end's headers stay its own.
PlatformWindow* PlatformWindowOfSDL(SDL_Window* window);
