#include "graphics/DisplayDialogs.h"

#include <string>

#include "shell/ApplInfo.h"
#include "shell/DialogLibrary.h"
#include "shell/MainPrefs.h"

Boolean DisplayAskDialog(SInt16 width, SInt16 height) {
  switch (mainPREFS.monitorMode) {
    case kMonitorModeSwitch:
      return true;
    case kMonitorModeAsk: {
      std::string message = std::string((const char*)APPL.name + 1, APPL.name[0]) +
                            " will look better displayed at a resolution of " + std::to_string(width) + "x" +
                            std::to_string(height) + ".  Is it OK to change?";
      return ConfirmDialog(message.c_str(), 0) == kHICommandOK;
    }
    default:
      return false;
  }
}
