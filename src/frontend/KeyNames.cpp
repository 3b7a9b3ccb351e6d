#include "frontend/KeyNames.h"

#include <cctype>
#include <cstring>

#include "platform/KeyCodes.h"
#include "shell/KeyState.h"

namespace {

const UInt8 kDefaultKeys[2 * kPlayerKeyCount] = {
    123, 124, 126, 125, 49,  // arrows and space
    86,  88,  91,  87,  82,  // keypad 4, 6, 8, 5 and 0
};

struct KeyName {
  UInt8 code;
  const char* name;
};

const KeyName kKeyNames[] = {
    {0, "a"},     {1, "s"},     {2, "d"},     {3, "f"},     {4, "h"},     {5, "g"},     {6, "z"},     {7, "x"},
    {8, "c"},     {9, "v"},     {11, "b"},    {12, "q"},    {13, "w"},    {14, "e"},    {15, "r"},    {16, "y"},
    {17, "t"},    {18, "1"},    {19, "2"},    {20, "3"},    {21, "4"},    {22, "6"},    {23, "5"},    {24, "+"},
    {25, "9"},    {26, "7"},    {27, "-"},    {28, "8"},    {29, "0"},    {30, "]"},    {31, "o"},    {32, "u"},
    {33, "["},    {34, "i"},    {35, "p"},    {36, "rtn"},  {37, "l"},    {38, "j"},    {39, "'"},    {40, "k"},
    {41, ";"},    {42, "\\"},   {43, ","},    {44, "/"},    {45, "n"},    {46, "m"},    {47, "."},    {48, "tab"},
    {49, "spc"},  {50, "`"},    {51, "del"},  {53, "esc"},  {65, "."},    {67, "*"},    {69, "+"},    {71, "clr"},
    {75, "/"},    {76, "ent"},  {78, "-"},    {81, "="},    {82, "0"},    {83, "1"},    {84, "2"},    {85, "3"},
    {86, "4"},    {87, "5"},    {88, "6"},    {89, "7"},    {91, "8"},    {92, "9"},    {96, "f5"},   {97, "f6"},
    {98, "f7"},   {99, "f3"},   {100, "f8"},  {101, "f9"},  {103, "f11"}, {105, "f13"}, {107, "f14"}, {109, "f10"},
    {111, "f12"}, {113, "f15"}, {114, "hlp"}, {115, "hom"}, {116, "pgu"}, {117, "fde"}, {118, "f4"},  {119, "end"},
    {120, "f2"},  {121, "pgd"}, {122, "f1"},  {123, "lft"}, {124, "rgt"}, {125, "dwn"}, {126, "up"},  {136, "cmd"},
    {137, "sft"}, {138, "cap"}, {139, "opt"}, {140, "ctl"}, {192, "pow"},
};

const UInt8 kSpecialKeys[] = {51, 71, 48, 138, 36, 137, 140, 139, 136, 49, 53, 123, 124, 125, 126, 76};

const char* NameOf(UInt8 code) {
  for (const KeyName& k : kKeyNames)
    if (k.code == code) return k.name;
  return nullptr;
}

void Append(unsigned char* out, const char* text) {
  size_t n = std::strlen(text);
  std::memcpy(out + 1 + out[0], text, n);
  out[0] = UInt8(out[0] + n);
}

}  // namespace

UInt8 playerKEY[2 * kPlayerKeyCount] = {123, 124, 126, 125, 49, 86, 88, 91, 87, 82};

bool PauseKeyCode(UInt8 code) { return code == keycode::kReturn || code == keycode::kEscape; }

bool ReservedKey(UInt8 code) {
  return PauseKeyCode(code) || code == kKeyCapsLock || code == kKeyMouseButton || code == 192;
}

void DefaultKeys() { std::memcpy(playerKEY, kDefaultKeys, sizeof playerKEY); }

SInt16 GetKeyString(UInt8 code, unsigned char* out, UInt8 bracket) {
  out[0] = 0;
  if (bracket) Append(out, "[");
  const char* name = NameOf(code);
  // A key of the main block that the keyboard's layout gives another
  // character than the US layout is named by that character.
  char typed[2] = {char(code <= 50 ? LayoutCharacterCode(code, false) : 0), 0};
  if (typed[0] > ' ' && typed[0] < 127 && typed[0] != char(KeyCharacterCode(code, false)) &&
      (!name || std::strlen(name) == 1))
    name = typed;
  if (!name) name = "???";
  bool single = std::strlen(name) == 1;
  Append(out, name);
  if (bracket) Append(out, "]");
  if (single)
    for (int i = 1; i <= out[0]; ++i) out[i] = UInt8(std::toupper(out[i]));
  return single ? 0 : 1;
}

SInt16 SpecialKey(SInt16 code) {
  for (UInt8 k : kSpecialKeys)
    if (k == code) return 1;
  return 0;
}

char GetCharCode(char) { return '_'; }
