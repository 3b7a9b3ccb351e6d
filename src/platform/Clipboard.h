// The system clipboard, as far as the program uses it: its text, read and
// written. The program uses the SDL clipboard (sdl/SDLClipboard.cpp); tests
// install a fake.
#pragma once

#include <string>

struct ClipboardService {
  virtual ~ClipboardService() = default;
  // The clipboard's text (UTF-8); false when there is none or it cannot be
  // read.
  virtual bool GetText(std::string* text) = 0;
  // Whether the last GetText failed because the clipboard holds text that
  // could not be read, rather than none at all.
  virtual bool ReadFailed() { return false; }
  // Replaces the clipboard's content with `text` (UTF-8); false when it
  // cannot be written.
  virtual bool SetText(const std::string& text) = 0;
};

// The clipboard in use: the SDL one until another is installed.
ClipboardService& Clipboard();
// Installs a clipboard (null: back to the SDL one); returns the one before.
ClipboardService* SetClipboardService(ClipboardService* service);
// The SDL clipboard.
ClipboardService& SDLClipboard();
