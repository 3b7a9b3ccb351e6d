#include "support/TestSeed.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Spreads the chosen number over the seed's bits so that neighbouring choices
// give unrelated streams (the mixing step of splitmix64).
std::uint32_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return std::uint32_t(x ^ (x >> 31));
}

}  // namespace

TestSeed::TestSeed(std::uint32_t fixed) : value(fixed) {
  const char* chosen = std::getenv("HALVANE_TEST_SEED");
  if (!chosen || !*chosen) {
    note = "random seed " + std::to_string(fixed) + " (fixed; set HALVANE_TEST_SEED=N for others)";
    return;
  }
  char* end = nullptr;
  errno = 0;
  unsigned long long n = std::strtoull(chosen, &end, 10);
  if (*end != 0 || errno != 0 || *chosen == '-') {
    ADD_FAILURE() << "HALVANE_TEST_SEED=" << chosen << " is not a number";
    note = "random seed " + std::to_string(fixed) + " (fixed)";
    return;
  }
  value = Mix(std::uint64_t(n) << 32 | fixed);
  note = "random seed " + std::to_string(value) + " (HALVANE_TEST_SEED=" + chosen + ")";
}
