#include "graphics/AppIcon.h"

#include <string>

#include "foundation/Paths.h"
#include "graphics/PNGFile.h"
#include "platform/WindowIcon.h"

bool ShowApplicationIcon(WindowRef window) {
  if (!window) return false;
  const std::string path = GetResourcesPath() + "/Icons/Halvane-" + std::to_string(kWindowIconSize) + ".png";
  SInt32 width = 0, height = 0;
  UInt8* pixels = LoadPNG(path.c_str(), &width, &height, 0, nullptr, nullptr);
  if (!pixels) return false;
  const bool shown = SetWindowIcon(window, pixels, width, height);
  delete[] pixels;
  return shown;
}
