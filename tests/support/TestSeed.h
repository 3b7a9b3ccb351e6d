// Seeds of the randomised tests. Each test keeps its own fixed seed, so a run
// is the same every time; HALVANE_TEST_SEED=N (a number) moves every test to
// another stream derived from N and its fixed seed, to widen the search by
// hand. A failing test names the seed it ran with.
#pragma once

#include <cstdint>
#include <string>

struct TestSeed {
  // The fixed seed, or the one HALVANE_TEST_SEED derives from it; a value
  // that is not a number fails the test and keeps the fixed seed.
  explicit TestSeed(std::uint32_t fixed);
  std::uint32_t value;
  // What to show with a failure (SCOPED_TRACE(seed.note)): the seed and how
  // to run with it again.
  std::string note;
};
