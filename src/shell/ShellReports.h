// The shell's back end for failure reports: the error and alert dialogs
// (ErrorAlertDialogs.h). A fatal report runs the application's error trap and
// shuts down with exit status 1.
#pragma once

// Set by the first fatal report; later reports only reach the error trap.
extern bool errorShutdown;

void InstallShellReports();
