#include "shell/ShellReports.h"

#include "shell/ErrorAlertDialogs.h"

bool errorShutdown;

void InstallShellReports() { InstallErrorAlertDialogs(); }
