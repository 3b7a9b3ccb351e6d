// The error and alert dialogs behind ErrorDialog and AlertDialog: a 400 by
// 160 error box ("Error:  " and the message, the detail line, "OK", a beep)
// that ends the program through the error trap and Shutdown when the error is
// fatal, and a 360 by 120 notice with one button.
#pragma once

#include "platform/PlatformTypes.h"

// Installs these dialogs as the back end of the failure reports.
void InstallErrorAlertDialogs();
// The same, shown to the user through UserPresenter (message boxes when a
// display can be reached, else standard error). For the program's start-up
// only.
void InstallUserDialogs();

// The dialogs themselves, on length-prefixed texts.
void ShowErrorDialog(const unsigned char* message, const unsigned char* where, unsigned char fatal);
void ShowAlertDialog(const unsigned char* message, const unsigned char* detail, const char* button);

// The system alert sound: the beep back end's, else the event platform's own
// (none under SDL; the test platform counts it).
void Beep();
// The sound layer sits above the shell, so it provides the alert sound by
// installing a back end when it starts; null goes back to the platform's.
// Returns the one installed before.
typedef void (*BeepBackEnd)();
BeepBackEnd SetBeepBackEnd(BeepBackEnd backEnd);
