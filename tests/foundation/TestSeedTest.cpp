// The randomised tests' seeds: fixed unless HALVANE_TEST_SEED asks for others.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "support/TestSeed.h"

namespace {

TEST(TestSeed, IsTheFixedOneUnlessAskedAndThenAnotherForEachChoice) {
  {
    ScopedEnv unset("HALVANE_TEST_SEED", nullptr);
    EXPECT_EQ(TestSeed(3).value, 3u);
    EXPECT_NE(TestSeed(3).note.find("3"), std::string::npos);
  }
  {
    ScopedEnv empty("HALVANE_TEST_SEED", "");
    EXPECT_EQ(TestSeed(3).value, 3u);
  }
  ScopedEnv chosen("HALVANE_TEST_SEED", "17");
  const TestSeed a(3), b(4);
  EXPECT_NE(a.value, 3u);
  EXPECT_NE(a.value, b.value) << "each test keeps a stream of its own";
  EXPECT_EQ(TestSeed(3).value, a.value) << "one choice gives one seed";
  EXPECT_NE(a.note.find("HALVANE_TEST_SEED=17"), std::string::npos) << a.note;
  EXPECT_NE(a.note.find(std::to_string(a.value)), std::string::npos) << a.note;
  ScopedEnv other("HALVANE_TEST_SEED", "18");
  EXPECT_NE(TestSeed(3).value, a.value);
}

TEST(TestSeed, AChoiceThatIsNoNumberFailsTheTest) {
  for (const char* bad : {"x", "12x", "-1", "99999999999999999999999"}) {
    ScopedEnv chosen("HALVANE_TEST_SEED", bad);
    static std::uint32_t value;
    value = 0;
    EXPECT_NONFATAL_FAILURE(value = TestSeed(3).value, "is not a number");
    EXPECT_EQ(value, 3u) << bad;
  }
}

}  // namespace
