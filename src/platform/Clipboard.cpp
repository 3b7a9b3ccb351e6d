#include "platform/Clipboard.h"

namespace {
ClipboardService* installed = nullptr;
}  // namespace

ClipboardService& Clipboard() { return installed ? *installed : SDLClipboard(); }

ClipboardService* SetClipboardService(ClipboardService* service) {
  ClipboardService* before = installed;
  installed = service;
  return before;
}
