// The shell's back end for failure reports until the real dialogs exist:
// texts go to stderr, and a fatal report runs the application's error trap
// and shuts down with exit status 1.
#pragma once

// Set by the first fatal report; later reports only reach the error trap.
extern bool errorShutdown;

void InstallShellReports();
