// Failure reports. Every part of the engine reports a failure through
// ErrorDialog and tells the user something through AlertDialog. The dialogs
// themselves belong to the shell, which sits above this library, so the
// reports go through a replaceable back end: until the shell installs its
// own, messages go to stderr and a fatal report ends the process.
#pragma once

#include "platform/PlatformTypes.h"

void ErrorDialog(const unsigned char* message, const unsigned char* where, unsigned char flag, unsigned char fatal);
void ErrorDialog(const char* message, const char* where, unsigned char flag, unsigned char fatal);
void ErrorDialog(const char* message, SInt16 code, unsigned char flag, unsigned char fatal);
void ErrorDialog(const unsigned char* message, SInt16 code, unsigned char flag, unsigned char fatal);
// A fatal error: shown as the first form with fatal set.
void ErrorDialog(const unsigned char* message, const unsigned char* where, unsigned char flag);

void AlertDialog(const unsigned char* message, const unsigned char* detail, const char* button);
void AlertDialog(const char* message, const char* detail, const char* button);
void AlertDialog(SInt32 message, SInt32 detail, const char* button);
void AlertDialog(const unsigned char* message, SInt32 detail, const char* button);
void AlertDialog(const char* message, SInt32 detail, const char* button);
void AlertDialog(const unsigned char* message, const unsigned char* detail, unsigned char);
void AlertDialog(const unsigned char* message, const unsigned char* detail);

void DebugDialog(const char*, const char*, unsigned char);
void DebugDialog(const unsigned char*, const unsigned char*, unsigned char);
void DebugDialog(const char*, SInt32, unsigned char);
void DebugDialog(const unsigned char*, SInt32, unsigned char);
void DebugDialog(SInt32, SInt32, unsigned char);

// The back end receives length-prefixed texts of at most 255 characters.
struct DialogBackEnd {
  // The error dialog of ErrorDialog's first form; must not return when fatal.
  void (*error)(const unsigned char* message, const unsigned char* where, unsigned char fatal);
  // The alert dialog of AlertDialog's first form.
  void (*alert)(const unsigned char* message, const unsigned char* detail, const char* button);
  // Beep and shut down: the end of ErrorDialog's three-argument form, should
  // its fatal report have returned.
  void (*beepAndShutdown)();
};

// Installs a back end; a null pointer restores the provisional stderr one.
// Returns the back end that was installed before.
const DialogBackEnd* SetDialogBackEnd(const DialogBackEnd* backEnd);
