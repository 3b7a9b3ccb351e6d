// The players' keys: five per player (left, right, up, down, fire), held as
// virtual key codes, their defaults, and the short names the key editor
// shows for a key.
#pragma once

#include "platform/PlatformTypes.h"

enum { kPlayerKeyCount = 5 };

// Entry (p, k) at 5 p + k. Starts with the default keys, so that a
// preferences file without keys leaves both players able to play.
extern UInt8 playerKEY[2 * kPlayerKeyCount];

void DefaultKeys();
// Return or Escape, with which the main loop pauses a game (as with caps
// lock, key number 138).
bool PauseKeyCode(UInt8 code);
// A key that is never a game key: the pause keys, the mouse button and the
// power key.
bool ReservedKey(UInt8 code);
// Writes the key's name as a length-prefixed string into out (256 bytes),
// between square brackets when bracket is set; a one-character name is upper
// case. 0 for a one-character name, 1 for a word or "???".
SInt16 GetKeyString(UInt8 code, unsigned char* out, UInt8 bracket);
// 1 for the editing, modifier and arrow keys the key editor treats apart.
SInt16 SpecialKey(SInt16 code);
char GetCharCode(char c);
