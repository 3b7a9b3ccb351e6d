#include "shell/ShellReports.h"

#include <cstdio>

#include "foundation/ErrorDialog.h"
#include "platform/EventPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"

bool errorShutdown;

namespace {

void WriteLine(const unsigned char* text) {
  fwrite(text + 1, 1, text[0], stderr);
  fputc('\n', stderr);
}

void ReportError(const unsigned char* message, const unsigned char* where, unsigned char fatal) {
  if (errorShutdown) {
    APPL.ErrorTrap();
    return;
  }
  if (fatal) errorShutdown = true;
  fputs("Error:  ", stderr);
  WriteLine(message);
  WriteLine(where);
  if (!fatal) return;
  APPL.ErrorTrap();
  Shutdown(0);
}

void ReportAlert(const unsigned char* message, const unsigned char* detail, const char*) {
  WriteLine(message);
  WriteLine(detail);
}

void BeepAndShutdown() {
  errorShutdown = true;
  Platform().Beep();
  Shutdown(0);
}

const DialogBackEnd shellReports = {ReportError, ReportAlert, BeepAndShutdown};

}  // namespace

void InstallShellReports() { SetDialogBackEnd(&shellReports); }
