#include "platform/InputTrace.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool ReadSwitch() {
  const char* value = std::getenv("HALVANE_TRACE_INPUT");
  return value && *value && std::strcmp(value, "0") != 0;
}

const char* KindName(PlatformEvent::Kind kind) {
  switch (kind) {
    case PlatformEvent::KeyDown: return "KeyDown";
    case PlatformEvent::KeyRepeat: return "KeyRepeat";
    case PlatformEvent::KeyUp: return "KeyUp";
    case PlatformEvent::Modifiers: return "Modifiers";
    case PlatformEvent::MouseDown: return "MouseDown";
    case PlatformEvent::MouseUp: return "MouseUp";
    case PlatformEvent::MouseMoved: return "MouseMoved";
    case PlatformEvent::Suspend: return "Suspend";
    case PlatformEvent::Resume: return "Resume";
    case PlatformEvent::CloseBox: return "CloseBox";
    case PlatformEvent::ZoomBox: return "ZoomBox";
    case PlatformEvent::Update: return "Update";
    case PlatformEvent::Quit: return "Quit";
  }
  return "?";
}

}  // namespace

bool InputTraceOn() {
  static const bool on = ReadSwitch();
  return on;
}

void TraceInput(const char* format, ...) {
  if (!InputTraceOn()) return;
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  // One write per line, so that lines from other writers never cut into it.
  char line[512];
  int n = std::snprintf(line, sizeof line, "input %.3f ", ms);
  va_list args;
  va_start(args, format);
  if (n >= 0 && n < int(sizeof line)) n += std::vsnprintf(line + n, sizeof line - size_t(n), format, args);
  va_end(args);
  if (n < 0) return;
  if (n > int(sizeof line) - 2) n = int(sizeof line) - 2;
  line[n++] = '\n';
  std::fwrite(line, 1, size_t(n), stderr);
  std::fflush(stderr);
}

const char* DescribePlatformEvent(const PlatformEvent& e, char* buffer, int size) {
  int n = std::snprintf(buffer, size_t(size), "%s", KindName(e.kind));
  if (n < 0 || n >= size) return buffer;
  switch (e.kind) {
    case PlatformEvent::KeyDown:
    case PlatformEvent::KeyRepeat:
    case PlatformEvent::KeyUp:
      if (e.charCode >= 32 && e.charCode < 127)
        n += std::snprintf(buffer + n, size_t(size - n), " key %u char '%c'", e.keyCode, e.charCode);
      else
        n += std::snprintf(buffer + n, size_t(size - n), " key %u char %u", e.keyCode, e.charCode);
      break;
    case PlatformEvent::MouseMoved: n += std::snprintf(buffer + n, size_t(size - n), " by %d,%d", e.dh, e.dv); break;
    case PlatformEvent::MouseDown:
    case PlatformEvent::MouseUp:
      n += std::snprintf(buffer + n, size_t(size - n), " at %d,%d", e.where.h, e.where.v);
      break;
    default: break;
  }
  if (n >= 0 && n < size && e.hasModifiers) std::snprintf(buffer + n, size_t(size - n), " mods 0x%04x", e.modifiers);
  return buffer;
}
