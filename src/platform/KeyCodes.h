// Key numbering on Linux. Keys keep the engine's virtual key codes (US layout
// positions: space 49, Return 36, Escape 53, arrows 123 to 126) whatever the
// keyboard layout; the modifiers map by function: Ctrl is Command (key code
// 55), Shift 56, Caps Lock 57 (held while physically held), Alt is Option
// (58), Super is Control (59).
#pragma once

#include "platform/PlatformTypes.h"

constexpr UInt8 kNoKeyCode = 255;

// The key codes the program names (by position, whatever the layout).
namespace keycode {
inline constexpr UInt8 kReturn = 36, kQuote = 39, kTab = 48, kSpace = 49, kDelete = 51, kEscape = 53, kEnter = 76;
inline constexpr UInt8 kKeypad0 = 82, kKeypad4 = 86, kKeypad5 = 87, kKeypad6 = 88, kKeypad8 = 91;
inline constexpr UInt8 kForwardDelete = 117, kLeftArrow = 123, kRightArrow = 124, kDownArrow = 125, kUpArrow = 126;
}  // namespace keycode

// The character codes key events carry for the keys that type no printing
// character.
namespace keychar {
inline constexpr UInt8 kEnter = 3, kBackspace = 8, kTab = 9, kReturn = 13, kEscape = 27;
inline constexpr UInt8 kLeftArrow = 28, kRightArrow = 29, kUpArrow = 30, kDownArrow = 31, kForwardDelete = 127;
}  // namespace keychar

// The virtual key code of an SDL scancode, kNoKeyCode when it has none (the
// SDL implementation's table).
UInt8 VirtualKeyCode(int sdlScancode);
// The character a key gives on the US layout: Return 13, Enter 3, Escape 27,
// arrows 28 to 31, delete 8 and 127, function keys 16; 0 when it gives none.
UInt8 KeyCharacterCode(UInt8 keyCode, bool shift);

// The keyboard's layout: the character a key types on it, unshifted or with
// Shift (0 for none). Keys keep their codes by position whatever the layout;
// the characters they type and the names they are shown by follow it. Keys
// that type no printing character (Return, the arrows, the keypad, ...)
// keep the characters of KeyCharacterCode.
struct KeyboardLayout {
  UInt8 (*character)(UInt8 keyCode, bool shift);
};
// Installs a layout (null: the system's); answers the one installed before.
const KeyboardLayout* SetKeyboardLayout(const KeyboardLayout* layout);
UInt8 LayoutCharacterCode(UInt8 keyCode, bool shift);
// The system's layout as the SDL layer reads it (its default, the US
// layout, before the video starts), the shifted characters from the X
// server's own map; a character beyond ASCII, or a dead key, gives the US
// character.
UInt8 SystemLayoutCharacter(UInt8 keyCode, bool shift);

// The modifier flags of the modifier keys held in a 128-bit key map.
UInt16 ModifiersFromKeys(const UInt8 map[16]);
// Whether a key code is a modifier key (55 to 59).
bool IsModifierKeyCode(UInt8 keyCode);
