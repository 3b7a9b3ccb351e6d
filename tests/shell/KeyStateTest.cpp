#include <sstream>

#include "ShellFixture.h"
#include "platform/KeyCodes.h"

namespace {

class KeyStateTest : public ShellTest {};

// A script of what happens to the space bar (key code 49) between and at the
// game's polls: D key-down event, U key-up event, R the key is released with
// no event (the key-up went to another window), E an empty pump, Dn n taps,
// 1 or 0 a poll of KeyState and its expected answer.
struct KeyScript {
  const char* name;
  const char* steps;
};

const KeyScript keyScripts[] = {
    {"tap between two polls answers once", "D U E 1 0 0"},
    {"held key answers at every poll", "D E 1 E 1 E 1 E 1 E 1 E 1 E 1 E 1 E 1 E 1 U E 0 0"},
    {"two taps between polls answer twice", "D U D U E 1 0 1 0 0"},
    {"second key-down without key-up counts a new press", "D D E 1 0 1 U E 0 0"},
    {"swallowed key-up is released by an empty pump", "D E 1 R E 0 0"},
    {"press polled while held, released later", "D E 1 1 U E 0 0 D E 1"},
    {"256 unpolled taps leave the key alive", "T256 E 1 0 D E 1 U E 0"},
    {"255 unpolled taps are all still owed", "T255 E 1 0 1 0"},
};

void PrintTo(const KeyScript& k, std::ostream* os) { *os << k.name << ": " << k.steps; }

class KeyStateScript : public ShellTest, public ::testing::WithParamInterface<KeyScript> {};

TEST_P(KeyStateScript, Polls) {
  const UInt8 space = 49;
  std::istringstream steps(GetParam().steps);
  std::string step;
  int poll = 0;
  while (steps >> step) {
    switch (step[0]) {
      case 'D': platform.PostKey(PlatformEvent::KeyDown, space, ' '); break;
      case 'U': platform.PostKey(PlatformEvent::KeyUp, space, ' '); break;
      case 'R': platform.SetKey(space, false); break;
      case 'E': Drain(), GetEvent(0, nullptr); break;
      case 'T':
        for (int i = std::stoi(step.substr(1)); i > 0; --i) {
          platform.PostKey(PlatformEvent::KeyDown, space, ' ');
          platform.PostKey(PlatformEvent::KeyUp, space, ' ');
          Drain();
        }
        break;
      default: EXPECT_EQ(KeyState(space), step == "1") << "poll " << poll++ << " of " << GetParam().steps; break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sequences, KeyStateScript, ::testing::ValuesIn(keyScripts),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(KeyStateTest, ModifierKeysCountAsFlagNumbersAndMakeNoEventRecord) {
  platform.PostKey(PlatformEvent::KeyDown, 55);  // Ctrl, the command key
  EXPECT_FALSE(GetEvent(0, nullptr));
  EXPECT_TRUE(KeyState(136));
  EXPECT_TRUE(KeyDown(136));
  EXPECT_FALSE(KeyState(137));

  platform.PostKey(PlatformEvent::KeyDown, 9, 'v');
  EXPECT_TRUE(GetEvent(0, nullptr));
  EXPECT_EQ(theEVENT.what, keyDown);
  EXPECT_EQ(theEVENT.message, (9u << 8) | 'v');
  EXPECT_EQ(theEVENT.modifiers, cmdKey);
  EXPECT_TRUE(ModifierEvent(136, nullptr));
  EXPECT_TRUE(KeyEvent(9, 136, nullptr));
  EXPECT_FALSE(KeyEvent(9, 137, nullptr));
  EXPECT_TRUE(KeyEvent(9, -1, nullptr));

  platform.PostKey(PlatformEvent::KeyUp, 55);
  Drain();
  EXPECT_FALSE(KeyDown(136));
  EXPECT_FALSE(KeyState(136));
}

TEST_F(KeyStateTest, MouseButtonIsKey161) {
  platform.PostMouse(PlatformEvent::MouseDown, Point{200, 300});
  platform.PostMouse(PlatformEvent::MouseUp, Point{200, 300});
  Drain();
  EXPECT_TRUE(GetMouseState());
  EXPECT_FALSE(GetMouseState());
}

TEST_F(KeyStateTest, KeyDownReadsTheKeyMapThroughTheCodeTable) {
  platform.SetKey(49, true);
  platform.SetKey(10, true);  // the ISO key has no bit in the map
  EXPECT_TRUE(KeyDown(49));
  EXPECT_FALSE(KeyDown(10));
  EXPECT_FALSE(KeyDown(161));
  EXPECT_TRUE(AnyKey());
  platform.SetKey(49, false);
  platform.SetKey(10, false);
  EXPECT_FALSE(AnyKey());
}

TEST(KeyCodeTables, MapKeysToBitsCountedFromTheHighBit) {
  struct Entry {
    int key;
    int bit;
  } entries[] = {{0, 7},     {7, 0},     {8, 15},   {49, 54},  {53, 50},  {10, 255}, {52, 255}, {54, 255},
                 {126, 121}, {127, 255}, {136, 48}, {137, 63}, {138, 62}, {139, 61}, {140, 60}, {192, 120}};
  for (const Entry& e : entries) {
    EXPECT_EQ(keyToCode[e.key], e.bit) << "key " << e.key;
    if (e.bit != 255) {
      EXPECT_EQ(codeToKey[e.bit], e.key) << "bit " << e.bit;
    }
  }
  EXPECT_EQ(keyToChar[0], 'a');
  EXPECT_EQ(keyToChar[49], ' ');
  EXPECT_EQ(keyToChar[36], 13);
  EXPECT_EQ(charToKey[UInt8('1')], 18);  // the main row, not the keypad
}

TEST_F(KeyStateTest, PostedKeyboardEventIsADownUpPair) {
  PostKeyboardEvent('q');
  EXPECT_TRUE(GetEvent(0, nullptr));
  EXPECT_EQ(theEVENT.what, keyDown);
  EXPECT_EQ(theEVENT.message, (12u << 8) | 'q');
  EXPECT_TRUE(GetEvent(0, nullptr));
  EXPECT_EQ(theEVENT.what, keyUp);
  EXPECT_TRUE(KeyState(12));
  EXPECT_FALSE(KeyState(12));
}

}  // namespace

namespace {

// A layout with A and Q swapped, as a French keyboard has them.
UInt8 SwappedAQ(UInt8 code, bool shift) {
  if (code == 0) return shift ? 'Q' : 'q';
  if (code == 12) return shift ? 'A' : 'a';
  return KeyCharacterCode(code, shift);
}
const KeyboardLayout kSwappedAQ{SwappedAQ};

// Key codes stay by position; the characters of the key tables, and the
// keys that posted characters go to, follow the layout.
TEST_F(ShellTest, KeyTablesFollowTheLayout) {
  const KeyboardLayout* before = SetKeyboardLayout(&kSwappedAQ);
  InitKeyCodesChars();
  EXPECT_EQ(keyToChar[12], 'a');
  EXPECT_EQ(keyToChar[0], 'q');
  EXPECT_EQ(charToKey[UInt8('a')], 12);
  EXPECT_EQ(charToKey[UInt8('q')], 0);
  EXPECT_EQ(charToKey[13], 36);
  PostKeyboardEvent('a');
  GetEvent(keyDownMask, nullptr);
  EXPECT_EQ((theEVENT.message >> 8) & 0xFF, 12u);
  EXPECT_EQ(theEVENT.message & 0xFF, UInt32('a'));
  SetKeyboardLayout(before);
  InitKeyCodesChars();
  EXPECT_EQ(keyToChar[12], 'q');
  EXPECT_EQ(charToKey[UInt8('a')], 0);
}

}  // namespace
