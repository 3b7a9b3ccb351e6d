#include "support/Poll.h"

#include <thread>

bool PollUntil(const std::function<bool()>& done, const std::function<void()>& step,
               std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    if (step) step();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}
