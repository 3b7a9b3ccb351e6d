// A clipboard of plain fields for tests; installs itself while it lives.
#pragma once

#include <string>

#include "platform/Clipboard.h"

struct FakeClipboard : ClipboardService {
  std::string text;
  bool readable = true;  // false: the clipboard cannot be read
  int reads = 0;

  FakeClipboard();
  ~FakeClipboard() override;
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;
  bool GetText(std::string* out) override;

 private:
  ClipboardService* previous;
};
