#include "platform/KeyCodes.h"

#include "platform/EventPlatform.h"

namespace {

// Characters of key codes 0 to 53 on the US layout, unshifted and shifted.
const char plainChars[] = "asdfhgzxcv\0bqweryt123465=97-80]ou[ip\rlj'k;\\,/nm.\t `\b";
const char shiftChars[] = "ASDFHGZXCV\0BQWERYT!@#$^%+(&_*)}OU{IP\rLJ\"K:|<?NM>\t ~\b";

struct KeyChar {
  UInt8 keyCode;
  UInt8 charCode;
};

const KeyChar otherChars[] = {
    {53, 27},  {65, '.'}, {67, '*'},  {69, '+'}, {71, 27},  {75, '/'}, {76, 3},   {78, '-'}, {81, '='}, {82, '0'},
    {83, '1'}, {84, '2'}, {85, '3'},  {86, '4'}, {87, '5'}, {88, '6'}, {89, '7'}, {91, '8'}, {92, '9'}, {114, 5},
    {115, 1},  {116, 11}, {117, 127}, {119, 4},  {121, 12}, {123, 28}, {124, 29}, {125, 31}, {126, 30}, {64, 16},
    {79, 16},  {80, 16},  {90, 16},   {96, 16},  {97, 16},  {98, 16},  {99, 16},  {100, 16}, {101, 16}, {103, 16},
    {105, 16}, {106, 16}, {107, 16},  {109, 16}, {111, 16}, {113, 16}, {118, 16}, {120, 16}, {122, 16},
};

struct ModifierKey {
  UInt8 keyCode;
  UInt16 flag;
};

const ModifierKey modifierKeys[] = {
    {55, cmdKey}, {56, shiftKey}, {57, alphaLock}, {58, optionKey}, {59, controlKey},
};

const KeyboardLayout* layout = nullptr;

}  // namespace

const KeyboardLayout* SetKeyboardLayout(const KeyboardLayout* next) {
  const KeyboardLayout* before = layout;
  layout = next;
  return before;
}

UInt8 LayoutCharacterCode(UInt8 keyCode, bool shift) {
  return layout ? layout->character(keyCode, shift) : SystemLayoutCharacter(keyCode, shift);
}

UInt8 KeyCharacterCode(UInt8 keyCode, bool shift) {
  if (keyCode < sizeof plainChars - 1) return UInt8((shift ? shiftChars : plainChars)[keyCode]);
  for (const KeyChar& k : otherChars)
    if (k.keyCode == keyCode) return k.charCode;
  return 0;
}

UInt16 ModifiersFromKeys(const UInt8 map[16]) {
  UInt16 flags = 0;
  for (const ModifierKey& m : modifierKeys)
    if (map[m.keyCode >> 3] & (1 << (m.keyCode & 7))) flags |= m.flag;
  return flags;
}

bool IsModifierKeyCode(UInt8 keyCode) { return keyCode >= 55 && keyCode <= 59; }
