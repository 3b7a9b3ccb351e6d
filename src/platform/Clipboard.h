// The system clipboard, as far as the program reads it: its text. The
// program reads the SDL clipboard; tests install FakeClipboard.
#pragma once

#include <string>

struct ClipboardService {
  virtual ~ClipboardService() = default;
  // The clipboard's text (UTF-8); false when there is none or it cannot be
  // read.
  virtual bool GetText(std::string* text) = 0;
};

// The clipboard in use: the SDL one until another is installed.
ClipboardService& Clipboard();
// Installs a clipboard (null: back to the SDL one); returns the one before.
ClipboardService* SetClipboardService(ClipboardService* service);

// A clipboard of plain fields; installs itself while it lives.
struct FakeClipboard : ClipboardService {
  std::string text;
  bool readable = true;
  int reads = 0;

  FakeClipboard();
  ~FakeClipboard() override;
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;
  bool GetText(std::string* out) override;

 private:
  ClipboardService* previous;
};
