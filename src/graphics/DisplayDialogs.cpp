#include "graphics/DisplayDialogs.h"

#include <cstring>
#include <string>

#include "graphics/Display.h"
#include "graphics/GammaFading.h"
#include "shell/ApplInfo.h"
#include "shell/DialogLibrary.h"
#include "shell/MainPrefs.h"

Boolean DisplayAskDialog(SInt16 width, SInt16 height) {
  switch (mainPREFS.monitorMode) {
    case kMonitorModeSwitch: return true;
    case kMonitorModeAsk: {
      std::string message = std::string((const char*)APPL.name + 1, APPL.name[0]) +
                            " will look better displayed at a resolution of " + std::to_string(width) + "x" +
                            std::to_string(height) + ".  Is it OK to change?";
      return ConfirmDialog(message.c_str(), 0) == kHICommandOK;
    }
    default: return false;
  }
}

Boolean DisplayConfirmDialog(Display* display) {
  SInt32 index = -1;
  if (!display || !display->GetMode(&index, nullptr) || index < 0) return false;
  if (display->modes[UInt32(index)].safe) return true;
  if (curResGAMMA) SetGammaTable(curResGAMMA, display->device);
  Str255 message;
  const char* text =
      "The settings for your monitor have been changed.  Click OK to confirm that the monitor is displayed "
      "correctly.  Click Cancel or wait 10 seconds to revert to the previous settings.";
  message[0] = UInt8(strlen(text));
  memcpy(message + 1, text, message[0]);
  return ConfirmDialog2(message, 600, 1, 2) == kHICommandOK;
}
