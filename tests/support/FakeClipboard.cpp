#include "FakeClipboard.h"

FakeClipboard::FakeClipboard() : previous(SetClipboardService(this)) {}

FakeClipboard::~FakeClipboard() { SetClipboardService(previous); }

bool FakeClipboard::GetText(std::string* out) {
  ++reads;
  if (!readable) return false;
  *out = text;
  return true;
}

bool FakeClipboard::SetText(const std::string& in) {
  ++writes;
  if (!writable) return false;
  text = in;
  return true;
}
