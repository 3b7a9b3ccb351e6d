#include <SDL2/SDL_keyboard.h>
#include <SDL2/SDL_scancode.h>
#include <SDL2/SDL_video.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstring>

#include "platform/KeyCodes.h"

namespace {

struct ScancodeKey {
  SDL_Scancode scancode;
  UInt8 keyCode;
};

const ScancodeKey scancodeKeys[] = {
    {SDL_SCANCODE_A, 0},
    {SDL_SCANCODE_S, 1},
    {SDL_SCANCODE_D, 2},
    {SDL_SCANCODE_F, 3},
    {SDL_SCANCODE_H, 4},
    {SDL_SCANCODE_G, 5},
    {SDL_SCANCODE_Z, 6},
    {SDL_SCANCODE_X, 7},
    {SDL_SCANCODE_C, 8},
    {SDL_SCANCODE_V, 9},
    {SDL_SCANCODE_NONUSBACKSLASH, 10},
    {SDL_SCANCODE_B, 11},
    {SDL_SCANCODE_Q, 12},
    {SDL_SCANCODE_W, 13},
    {SDL_SCANCODE_E, 14},
    {SDL_SCANCODE_R, 15},
    {SDL_SCANCODE_Y, 16},
    {SDL_SCANCODE_T, 17},
    {SDL_SCANCODE_1, 18},
    {SDL_SCANCODE_2, 19},
    {SDL_SCANCODE_3, 20},
    {SDL_SCANCODE_4, 21},
    {SDL_SCANCODE_6, 22},
    {SDL_SCANCODE_5, 23},
    {SDL_SCANCODE_EQUALS, 24},
    {SDL_SCANCODE_9, 25},
    {SDL_SCANCODE_7, 26},
    {SDL_SCANCODE_MINUS, 27},
    {SDL_SCANCODE_8, 28},
    {SDL_SCANCODE_0, 29},
    {SDL_SCANCODE_RIGHTBRACKET, 30},
    {SDL_SCANCODE_O, 31},
    {SDL_SCANCODE_U, 32},
    {SDL_SCANCODE_LEFTBRACKET, 33},
    {SDL_SCANCODE_I, 34},
    {SDL_SCANCODE_P, 35},
    {SDL_SCANCODE_RETURN, 36},
    {SDL_SCANCODE_RETURN2, 36},
    {SDL_SCANCODE_L, 37},
    {SDL_SCANCODE_J, 38},
    {SDL_SCANCODE_APOSTROPHE, 39},
    {SDL_SCANCODE_K, 40},
    {SDL_SCANCODE_SEMICOLON, 41},
    {SDL_SCANCODE_BACKSLASH, 42},
    {SDL_SCANCODE_NONUSHASH, 42},
    {SDL_SCANCODE_COMMA, 43},
    {SDL_SCANCODE_SLASH, 44},
    {SDL_SCANCODE_N, 45},
    {SDL_SCANCODE_M, 46},
    {SDL_SCANCODE_PERIOD, 47},
    {SDL_SCANCODE_TAB, 48},
    {SDL_SCANCODE_SPACE, 49},
    {SDL_SCANCODE_GRAVE, 50},
    {SDL_SCANCODE_BACKSPACE, 51},
    {SDL_SCANCODE_ESCAPE, 53},
    {SDL_SCANCODE_LCTRL, 55},
    {SDL_SCANCODE_RCTRL, 55},
    {SDL_SCANCODE_LSHIFT, 56},
    {SDL_SCANCODE_RSHIFT, 56},
    {SDL_SCANCODE_CAPSLOCK, 57},
    {SDL_SCANCODE_LALT, 58},
    {SDL_SCANCODE_RALT, 58},
    {SDL_SCANCODE_LGUI, 59},
    {SDL_SCANCODE_RGUI, 59},
    {SDL_SCANCODE_F17, 64},
    {SDL_SCANCODE_KP_PERIOD, 65},
    {SDL_SCANCODE_KP_MULTIPLY, 67},
    {SDL_SCANCODE_KP_PLUS, 69},
    {SDL_SCANCODE_NUMLOCKCLEAR, 71},
    {SDL_SCANCODE_VOLUMEUP, 72},
    {SDL_SCANCODE_VOLUMEDOWN, 73},
    {SDL_SCANCODE_MUTE, 74},
    {SDL_SCANCODE_KP_DIVIDE, 75},
    {SDL_SCANCODE_KP_ENTER, 76},
    {SDL_SCANCODE_KP_MINUS, 78},
    {SDL_SCANCODE_F18, 79},
    {SDL_SCANCODE_F19, 80},
    {SDL_SCANCODE_KP_EQUALS, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_1, 83},
    {SDL_SCANCODE_KP_2, 84},
    {SDL_SCANCODE_KP_3, 85},
    {SDL_SCANCODE_KP_4, 86},
    {SDL_SCANCODE_KP_5, 87},
    {SDL_SCANCODE_KP_6, 88},
    {SDL_SCANCODE_KP_7, 89},
    {SDL_SCANCODE_F20, 90},
    {SDL_SCANCODE_KP_8, 91},
    {SDL_SCANCODE_KP_9, 92},
    {SDL_SCANCODE_INTERNATIONAL3, 93},
    {SDL_SCANCODE_INTERNATIONAL1, 94},
    {SDL_SCANCODE_KP_COMMA, 95},
    {SDL_SCANCODE_F5, 96},
    {SDL_SCANCODE_F6, 97},
    {SDL_SCANCODE_F7, 98},
    {SDL_SCANCODE_F3, 99},
    {SDL_SCANCODE_F8, 100},
    {SDL_SCANCODE_F9, 101},
    {SDL_SCANCODE_LANG2, 102},
    {SDL_SCANCODE_F11, 103},
    {SDL_SCANCODE_LANG1, 104},
    {SDL_SCANCODE_F13, 105},
    {SDL_SCANCODE_PRINTSCREEN, 105},
    {SDL_SCANCODE_F16, 106},
    {SDL_SCANCODE_F14, 107},
    {SDL_SCANCODE_SCROLLLOCK, 107},
    {SDL_SCANCODE_F10, 109},
    {SDL_SCANCODE_APPLICATION, 110},
    {SDL_SCANCODE_F12, 111},
    {SDL_SCANCODE_F15, 113},
    {SDL_SCANCODE_PAUSE, 113},
    {SDL_SCANCODE_INSERT, 114},
    {SDL_SCANCODE_HOME, 115},
    {SDL_SCANCODE_PAGEUP, 116},
    {SDL_SCANCODE_DELETE, 117},
    {SDL_SCANCODE_F4, 118},
    {SDL_SCANCODE_END, 119},
    {SDL_SCANCODE_F2, 120},
    {SDL_SCANCODE_PAGEDOWN, 121},
    {SDL_SCANCODE_F1, 122},
    {SDL_SCANCODE_LEFT, 123},
    {SDL_SCANCODE_RIGHT, 124},
    {SDL_SCANCODE_DOWN, 125},
    {SDL_SCANCODE_UP, 126},
    {SDL_SCANCODE_POWER, 127},
};

// The X key codes of the main block's keys by virtual key code (the evdev
// numbering every current X server and XWayland use); 0 for none.
const UInt8 xKeyCodes[51] = {38, 39, 40, 41, 43, 42, 52, 53, 54, 55, 94, 56, 24, 25, 26, 27, 29,
                             28, 10, 11, 12, 13, 15, 14, 21, 18, 16, 20, 17, 19, 35, 32, 30, 34,
                             31, 33, 0,  46, 44, 48, 45, 47, 51, 59, 61, 57, 58, 60, 0,  0,  49};

// The character the key types with Shift in the X server's current layout
// and group; 0 when it types none of ASCII or the server cannot be asked.
// SDL tells only a key's unshifted character, so the server's own map is
// read (each time: the layout may change while the program runs).
UInt8 XShiftedCharacter(UInt8 keyCode) {
  if (keyCode > 50 || !xKeyCodes[keyCode]) return 0;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) return 0;
  static Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  XkbStateRec state;
  if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) return 0;
  XkbDescPtr map = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
  if (!map) return 0;
  unsigned int modifiers = 0;
  KeySym symbol = NoSymbol;
  const unsigned int shiftInGroup = ShiftMask | (unsigned(state.group) << 13);
  const bool found = XkbTranslateKeyCode(map, xKeyCodes[keyCode], shiftInGroup, &modifiers, &symbol);
  XkbFreeKeyboard(map, 0, True);
  return found && symbol >= 0x21 && symbol <= 0x7E ? UInt8(symbol) : 0;
}

}  // namespace

UInt8 VirtualKeyCode(int sdlScancode) {
  for (const ScancodeKey& k : scancodeKeys)
    if (k.scancode == sdlScancode) return k.keyCode;
  return kNoKeyCode;
}

UInt8 SystemLayoutCharacter(UInt8 keyCode, bool shift) {
  const UInt8 us = KeyCharacterCode(keyCode, shift);
  // The main block's printing keys, the ISO key (10) among them.
  if (keyCode > 50 || keyCode == 36 || keyCode == 48 || keyCode == 49) return us;
  SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN;
  for (const ScancodeKey& k : scancodeKeys)
    if (k.keyCode == keyCode) {
      scancode = k.scancode;
      break;
    }
  const SDL_Keycode key = SDL_GetKeyFromScancode(scancode);
  if (key < 33 || key > 126) return us;
  if (!shift) return UInt8(key);
  if (UInt8 shifted = XShiftedCharacter(keyCode)) return shifted;
  if (key >= 'a' && key <= 'z') return UInt8(key - 'a' + 'A');
  // Without the server's map: where the layout puts the US character, the
  // US shifted one goes with it; elsewhere the plain one stands.
  return key == KeyCharacterCode(keyCode, false) ? us : UInt8(key);
}
