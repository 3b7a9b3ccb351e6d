#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include "platform/EventPlatform.h"
#include "platform/KeyCodes.h"

namespace {

TEST(KeyCodes, ScancodesMapToUsLayoutPositions) {
  struct Entry {
    SDL_Scancode scancode;
    UInt8 code;
    UInt8 plain, shifted;
  } entries[] = {
      {SDL_SCANCODE_A, 0, 'a', 'A'},        {SDL_SCANCODE_SPACE, 49, ' ', ' '},
      {SDL_SCANCODE_RETURN, 36, 13, 13},    {SDL_SCANCODE_KP_ENTER, 76, 3, 3},
      {SDL_SCANCODE_ESCAPE, 53, 27, 27},    {SDL_SCANCODE_BACKSPACE, 51, 8, 8},
      {SDL_SCANCODE_DELETE, 117, 127, 127}, {SDL_SCANCODE_LEFT, 123, 28, 28},
      {SDL_SCANCODE_RIGHT, 124, 29, 29},    {SDL_SCANCODE_UP, 126, 30, 30},
      {SDL_SCANCODE_DOWN, 125, 31, 31},     {SDL_SCANCODE_KP_0, 82, '0', '0'},
      {SDL_SCANCODE_KP_4, 86, '4', '4'},    {SDL_SCANCODE_KP_5, 87, '5', '5'},
      {SDL_SCANCODE_KP_6, 88, '6', '6'},    {SDL_SCANCODE_KP_8, 91, '8', '8'},
      {SDL_SCANCODE_1, 18, '1', '!'},       {SDL_SCANCODE_APOSTROPHE, 39, '\'', '"'},
      {SDL_SCANCODE_SLASH, 44, '/', '?'},   {SDL_SCANCODE_GRAVE, 50, '`', '~'},
      {SDL_SCANCODE_F1, 122, 16, 16},       {SDL_SCANCODE_LCTRL, 55, 0, 0},
      {SDL_SCANCODE_RSHIFT, 56, 0, 0},      {SDL_SCANCODE_CAPSLOCK, 57, 0, 0},
      {SDL_SCANCODE_RALT, 58, 0, 0},        {SDL_SCANCODE_LGUI, 59, 0, 0},
  };
  for (const Entry& e : entries) {
    EXPECT_EQ(VirtualKeyCode(e.scancode), e.code) << "scancode " << int(e.scancode);
    EXPECT_EQ(KeyCharacterCode(e.code, false), e.plain) << "scancode " << int(e.scancode);
    EXPECT_EQ(KeyCharacterCode(e.code, true), e.shifted) << "scancode " << int(e.scancode);
  }
  EXPECT_EQ(VirtualKeyCode(SDL_SCANCODE_AC_BACK), kNoKeyCode);
}

TEST(KeyCodes, ModifierKeysMapByFunction) {
  struct Entry {
    UInt8 code;
    UInt16 flag;
  } entries[] = {{55, cmdKey}, {56, shiftKey}, {57, alphaLock}, {58, optionKey}, {59, controlKey}};
  UInt8 all[16] = {};
  for (const Entry& e : entries) {
    UInt8 map[16] = {};
    map[e.code >> 3] |= UInt8(1 << (e.code & 7));
    all[e.code >> 3] |= UInt8(1 << (e.code & 7));
    EXPECT_EQ(ModifiersFromKeys(map), e.flag);
  }
  EXPECT_EQ(ModifiersFromKeys(all), cmdKey | shiftKey | alphaLock | optionKey | controlKey);
}

}  // namespace

namespace {

// Before the video starts, the system's layout is SDL's default: the US one.
TEST(KeyCodes, TheSystemLayoutFallsBackToUsCharacters) {
  struct Entry {
    UInt8 code;
    bool shift;
    UInt8 character;
  } entries[] = {
      {0, false, 'a'}, {0, true, 'A'},   {18, false, '1'}, {18, true, '!'},  {44, true, '?'},
      {36, false, 13}, {49, false, ' '}, {123, false, 28}, {86, false, '4'}, {51, false, 8},
  };
  for (const Entry& e : entries)
    EXPECT_EQ(SystemLayoutCharacter(e.code, e.shift), e.character) << int(e.code) << (e.shift ? " shifted" : "");
}

UInt8 Azerty(UInt8 code, bool shift) {
  if (code == 0) return shift ? 'Q' : 'q';
  if (code == 12) return shift ? 'A' : 'a';
  return KeyCharacterCode(code, shift);
}
const KeyboardLayout kAzerty{Azerty};

TEST(KeyCodes, AnInstalledLayoutGivesTheCharacters) {
  const KeyboardLayout* before = SetKeyboardLayout(&kAzerty);
  EXPECT_EQ(LayoutCharacterCode(12, false), 'a');
  EXPECT_EQ(LayoutCharacterCode(0, true), 'Q');
  EXPECT_EQ(LayoutCharacterCode(36, false), 13);
  EXPECT_EQ(SetKeyboardLayout(before), &kAzerty);
  EXPECT_EQ(LayoutCharacterCode(12, false), 'q');
}

}  // namespace
