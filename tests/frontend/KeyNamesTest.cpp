#include <gtest/gtest.h>

#include <string>

#include "frontend/KeyNames.h"
#include "platform/KeyCodes.h"

namespace {

struct NameCase {
  int code;
  bool bracket;
  std::string name;
  int result;
};

class KeyNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(KeyNameTest, NameAndKind) {
  const NameCase& c = GetParam();
  unsigned char out[256];
  EXPECT_EQ(GetKeyString(UInt8(c.code), out, c.bracket), c.result);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), out[0]), c.name);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyNameTest,
                         ::testing::Values(NameCase{49, true, "[spc]", 1}, NameCase{12, false, "Q", 0},
                                           NameCase{0, false, "A", 0}, NameCase{0, true, "[A]", 0},
                                           NameCase{10, false, "???", 1}, NameCase{52, false, "???", 1},
                                           NameCase{193, false, "???", 1}, NameCase{255, true, "[???]", 1},
                                           NameCase{22, false, "6", 0}, NameCase{88, false, "6", 0},
                                           NameCase{24, false, "+", 0}, NameCase{81, false, "=", 0},
                                           NameCase{126, true, "[up]", 1}, NameCase{192, false, "pow", 1},
                                           NameCase{39, false, "'", 0}, NameCase{42, false, "\\", 0}));

TEST(KeyNames, HundredAndOneCodesAreNamed) {
  int named = 0;
  unsigned char out[256];
  for (int code = 0; code <= 255; ++code) {
    GetKeyString(UInt8(code), out, 0);
    if (std::string(reinterpret_cast<char*>(out + 1), out[0]) != "???") ++named;
  }
  EXPECT_EQ(named, 101);
}

TEST(KeyNames, DefaultKeysAreArrowsSpaceAndKeypad) {
  playerKEY[0] = 0;
  playerKEY[9] = 0;
  DefaultKeys();
  const UInt8 expected[10] = {123, 124, 126, 125, 49, 86, 88, 91, 87, 82};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(playerKEY[i], expected[i]) << i;
}

TEST(KeyNames, SpecialKeys) {
  for (int code : {51, 71, 48, 138, 36, 137, 140, 139, 136, 49, 53, 123, 124, 125, 126, 76})
    EXPECT_EQ(SpecialKey(SInt16(code)), 1) << code;
  for (int code : {0, 12, 82, 192}) EXPECT_EQ(SpecialKey(SInt16(code)), 0) << code;
  EXPECT_EQ(GetCharCode('x'), '_');
}

}  // namespace

namespace {

UInt8 SwappedAQ(UInt8 code, bool shift) {
  if (code == 0) return shift ? 'Q' : 'q';
  if (code == 12) return shift ? 'A' : 'a';
  if (code == 41) return shift ? 0 : 'm';  // a French keyboard's M beside L
  return KeyCharacterCode(code, shift);
}
const KeyboardLayout kSwappedAQ{SwappedAQ};

// The main block's keys are named as the layout prints them; the others,
// and keys the layout leaves as on a US keyboard, keep their names.
TEST(KeyNames, FollowTheLayout) {
  const KeyboardLayout* before = SetKeyboardLayout(&kSwappedAQ);
  struct Case {
    UInt8 code;
    const char* name;
  } cases[] = {{12, "A"}, {0, "Q"}, {41, "M"}, {24, "+"}, {86, "4"}, {123, "lft"}, {49, "spc"}};
  for (const Case& c : cases) {
    unsigned char out[256];
    GetKeyString(c.code, out, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 1), out[0]), c.name) << int(c.code);
  }
  SetKeyboardLayout(before);
}

}  // namespace
