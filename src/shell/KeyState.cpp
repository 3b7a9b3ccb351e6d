#include "shell/KeyState.h"

#include <cstring>

#include "platform/KeyCodes.h"
#include "shell/Events.h"

UInt8 keyDowns[256], keyUps[256], keyTrigs[256];
UInt8 keyToCode[256], codeToKey[256];
UInt8 keyToChar[128], charToKey[256];

namespace {

// Key codes that have a bit in the key map; the modifier keys are reached
// through their flag numbers instead.
const UInt8 mappedCodes[] = {
    0,  1,  2,   3,   4,   5,   6,   7,   8,   9,   11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,
    25, 26, 27,  28,  29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,
    49, 50, 51,  53,  65,  67,  69,  71,  75,  76,  78,  81,  82,  83,  84,  85,  86,  87,  88,  89,  91,  92,  96,  97,
    98, 99, 100, 101, 103, 105, 107, 109, 111, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126,
};

struct KeyBit {
  UInt8 key;
  UInt8 bit;
};

const KeyBit flagKeys[] = {{136, 48}, {137, 63}, {138, 62}, {139, 61}, {140, 60}, {192, 120}};

// Bit index as the engine counts it: from the high bit of the first byte.
UInt8 BitIndexOfCode(UInt8 code) { return UInt8(8 * (code / 8) + 7 - code % 8); }

bool BitTst(const UInt8 map[16], int index) { return (map[index >> 3] & (0x80 >> (index & 7))) != 0; }

struct KeyTransSetter {
  KeyTransSetter() { InitKeyCodesChars(); }
} keyTransSetter;

}  // namespace

void InitKeyCodesChars() {
  memset(keyToCode, 255, sizeof keyToCode);
  memset(codeToKey, 255, sizeof codeToKey);
  for (UInt8 code : mappedCodes) keyToCode[code] = BitIndexOfCode(code);
  for (const KeyBit& k : flagKeys) keyToCode[k.key] = k.bit;
  for (int key = 0; key < 256; ++key)
    if (keyToCode[key] != 255) codeToKey[keyToCode[key]] = UInt8(key);
  memset(charToKey, 255, sizeof charToKey);
  for (int code = 127; code >= 0; --code) {
    keyToChar[code] = LayoutCharacterCode(UInt8(code), false);
    if (keyToChar[code]) charToKey[keyToChar[code]] = UInt8(code);
  }
}

void UpdateKeyState(UInt8 key, UInt8 down) {
  if (down) {
    if (keyDowns[key] != keyUps[key]) return;
    // A key tapped 255 times with nobody polling it would wrap its counter and
    // go dead; forget the backlog instead.
    if (keyDowns[key] == 255) keyDowns[key] = keyUps[key] = keyTrigs[key] = 0;
    ++keyDowns[key];
  } else if (keyUps[key] < keyDowns[key]) {
    ++keyUps[key];
  }
}

bool KeyState(UInt8 key) {
  if (keyDowns[key] == 0) {
    keyTrigs[key] = 0;
    return false;
  }
  if (keyUps[key] && keyTrigs[key]) {
    keyTrigs[key] = 0;
    if (keyDowns[key]) --keyDowns[key];
    if (keyUps[key]) --keyUps[key];
    return false;
  }
  keyTrigs[key] = 1;
  return true;
}

void FlushKeyState() {
  memset(keyDowns, 0, sizeof keyDowns);
  memset(keyUps, 0, sizeof keyUps);
  memset(keyTrigs, 0, sizeof keyTrigs);
}

bool GetMouseState() { return KeyState(kKeyMouseButton); }

bool KeyDown(UInt8 key) {
  if (keyToCode[key] == 255) return false;
  UInt8 map[16];
  Platform().GetKeys(map);
  return BitTst(map, keyToCode[key]);
}

bool AnyKey() {
  UInt8 map[16];
  Platform().GetKeys(map);
  for (UInt8 byte : map)
    if (byte) return true;
  return false;
}

void PostKeyboardEvent(char c) {
  PlatformEvent e{};
  e.keyCode = charToKey[UInt8(c)];
  e.charCode = UInt8(c);
  e.where = Platform().GlobalMouse();
  e.kind = PlatformEvent::KeyDown;
  PostPlatformEvent(e);
  e.kind = PlatformEvent::KeyUp;
  PostPlatformEvent(e);
}

// A key-up lost to a focus change must not leave the key down.
void ReleaseKeysNotHeld() {
  UInt8 map[16];
  Platform().GetKeys(map);
  for (int i = 0; i < 128; ++i)
    if (codeToKey[i] != 255 && !BitTst(map, i)) UpdateKeyState(codeToKey[i], 0);
  if (!Platform().Button()) UpdateKeyState(kKeyMouseButton, 0);
}
