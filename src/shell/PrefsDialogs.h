// The engine's preferences dialog (full screen, graphics mode and buttons for
// the other settings panels) and the online settings dialog, both windows of
// the interface file.
#pragma once

#include "shell/StandardDialog.h"

enum : UInt32 {
  kCommandQuit = FOUR_CHAR('q', 'u', 'i', 't'),
  kCommandFull = FOUR_CHAR('f', 'u', 'l', 'l'),
  kCommandGraphics = FOUR_CHAR('g', 'r', 'a', 'f'),
  kCommandInputs = FOUR_CHAR('i', 'n', 'p', 'u'),
  kCommandRumble = FOUR_CHAR('r', 'u', 'm', 'b'),
  kCommandAudio = FOUR_CHAR('a', 'u', 'd', 'i'),
  kCommandOnline = FOUR_CHAR('o', 'n', 'l', 'n'),
  kCommandGame = FOUR_CHAR('g', 'a', 'm', 'e'),
  kCommandKeys = FOUR_CHAR('k', 'e', 'y', 's'),
};

// The command that closed the dialog; 0 when its handler cannot be installed.
UInt32 MainPrefsDialog(SInt16 unused);
OSStatus MainPrefsDialogHandler(EventHandlerCallRef call, EventRef event, void* result);
UInt32 OnlinePrefsDialog(WindowRef parent);
OSStatus OnlineDialogHandler(EventHandlerCallRef call, EventRef event, void* result);
