// What the game window needs of the window system beyond an OpenGL window:
// placing its content area, covering the screen, hiding and showing, and
// hearing when the window system resizes it.
#pragma once

#include "platform/GLWindow.h"
#include "platform/QuickDraw.h"

// Leaves full screen when on, then sets the content area (global pixels).
void SetWindowContentBounds(WindowRef window, const Rect& content);
// Covers the whole screen at the desktop's resolution (the resolution is
// never changed), or goes back to a window. False when the window system
// refuses.
Boolean SetWindowFullScreen(WindowRef window, Boolean on);
Boolean WindowIsFullScreen(WindowRef window);
// The content area in global pixels.
Rect GetWindowContentBounds(WindowRef window);
void HideWindow(WindowRef window);
// Minimises the window (it stays in the window system's task list).
void MinimiseWindow(WindowRef window);
// Lets the window system resize (down to 320 by 240) and maximise the window.
void SetWindowResizable(WindowRef window, Boolean resizable);
// Shows the window and brings it in front of the others.
void SelectWindow(WindowRef window);
void SetWindowTitle(WindowRef window, const char* title);
// `proc` is called with the window whenever the window system changes its
// size; a null window or proc stops the watch.
void SetWindowResizedProc(WindowRef window, void (*proc)(WindowRef window));
// Hands pending window-system events to their watchers.
void PumpWindowEvents();

// The window's own port: a 32-bit offscreen world of the window's content
// size, made on first use. Null for a null window or when memory runs out.
CGrafPtr GetWindowPort(WindowRef window);
// The colour the window's content shows where nothing is drawn (white until set).
void SetWindowContentColor(WindowRef window, const RGBColor* colour);
RGBColor GetWindowContentColor(WindowRef window);
// Frees the window's port and forgets its colour; before the window goes.
void ForgetWindowPort(WindowRef window);
