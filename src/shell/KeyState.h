// The keyboard as a fixed-step game polls it: per-key press, release and
// trigger counts that keep a tap shorter than a step, the tables between key
// numbers, key codes and characters, and the held state of each key.
#pragma once

#include "platform/EventPlatform.h"

// Key numbers: 0 to 127 virtual key codes, 128 + i bit i of the modifier
// flags (caps lock is bit 10), 161 the mouse button.
enum : UInt8 {
  kKeyCapsLock = 138,
  kKeyMouseButton = 161,
};

extern UInt8 keyDowns[256], keyUps[256], keyTrigs[256];
extern UInt8 keyToCode[256], codeToKey[256];
extern UInt8 keyToChar[128], charToKey[256];

// Counts a press (down non-zero) or a release of a key number.
void UpdateKeyState(UInt8 key, UInt8 down);
// Whether the key is down for this poll: held, or pressed and released
// since the last poll (such a press answers true once).
bool KeyState(UInt8 key);
// Forgets every count and held key.
void FlushKeyState();
bool GetMouseState();
// Whether the key is held right now, read from the system's key map (the
// counts play no part); false for a key number with no key code.
bool KeyDown(UInt8 key);
bool AnyKey();
// Queues a key-down event for a typed character.
void PostKeyboardEvent(char c);
// Builds the key-number, key-code and character tables.
void InitKeyCodesChars();
// Counts a release of every key that is no longer held (GetEvent, on an empty queue).
void ReleaseKeysNotHeld();
