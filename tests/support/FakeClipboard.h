// A clipboard of plain fields for tests; installs itself while it lives.
#pragma once

#include <string>

#include "platform/Clipboard.h"

struct FakeClipboard : ClipboardService {
  std::string text;
  bool readable = true;  // false: the clipboard cannot be read
  bool writable = true;  // false: the clipboard cannot be written
  int reads = 0;
  int writes = 0;

  FakeClipboard();
  ~FakeClipboard() override;
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;
  bool GetText(std::string* out) override;
  bool ReadFailed() override { return !readable; }
  bool SetText(const std::string& in) override;

 private:
  ClipboardService* previous;
};
