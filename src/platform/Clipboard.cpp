#include "platform/Clipboard.h"

namespace {
ClipboardService* installed = nullptr;
}  // namespace

ClipboardService& Clipboard() { return installed ? *installed : SdlClipboard(); }

ClipboardService* SetClipboardService(ClipboardService* service) {
  ClipboardService* before = installed;
  installed = service;
  return before;
}
