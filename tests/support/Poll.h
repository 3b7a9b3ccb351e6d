// Waiting in tests: on a condition, with a deadline, never for a fixed time.
#pragma once

#include <chrono>
#include <functional>

// Runs `step` (pumping events, say) and checks `done` until it holds or the
// deadline passes; true when it held.
bool PollUntil(const std::function<bool()>& done, const std::function<void()>& step = {},
               std::chrono::milliseconds deadline = std::chrono::seconds(5));
