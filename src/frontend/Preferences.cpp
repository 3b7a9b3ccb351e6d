#include "frontend/Preferences.h"

#include "foundation/PlistTag.h"
#include "frontend/KeyNames.h"
#include "graphics/GameWindow.h"
#include "shell/MainPrefs.h"

Preferences PREFS;

namespace {

const size_t kMaxPrefString = 31;

const char* const kLastPlayerKeys[2] = {"Last Player 1", "Last Player 2"};

std::string KeyName(const char* prefix, int n) { return std::string(prefix) + std::to_string(n); }

// A stored string longer than the record allows is cut, never refused: the
// file may come from anywhere.
void ReadString(PlistTag& dict, const char* key, std::string* out) {
  std::string text;
  if (dict.GetString(key, &text, 0)) *out = PrintableText(text);
}

// Only the two sizes the window offers are taken; anything else would open an
// absurd window.
void ReadWindowSize(PlistTag& dict) {
  PlistTag* size = dict.FindDictionary("Window Size", 0);
  if (!size) return;
  SInt32 h = 0, v = 0;
  if (!size->GetLong("H", &h, 0) || !size->GetLong("V", &v, 0)) return;
  bool valid = (h == 640 && v == 480) || (h == 1024 && v == 768);
  windSIZE.h = valid ? SInt16(h) : 640;
  windSIZE.v = valid ? SInt16(v) : 480;
}

void ReadKeys(PlistTag& dict) {
  PlistTag* keys = dict.FindDictionary("Custom Keys", 0);
  if (!keys) return;
  for (int p = 0; p < 2; ++p) {
    PlistTag* player = keys->FindDictionary(KeyName("Player ", p).c_str(), 0);
    if (!player) continue;
    for (int k = 0; k < kPlayerKeyCount; ++k) {
      SInt32 code;
      // Key numbers are bytes; a file that stored them as signed ones
      // (136 as -120) reads back the same key.
      // Return or Escape, which the key editor once took, stays the default
      // key: as a game key it would pause the game at each use.
      if (player->GetLong(KeyName("Key ", k).c_str(), &code, 0) && !PauseKeyCode(UInt8(code & 0xFF)))
        playerKEY[p * kPlayerKeyCount + k] = UInt8(code & 0xFF);
    }
  }
}

}  // namespace

std::string PrintableText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (out.size() == kMaxPrefString) break;
    if (c >= 32 && c <= 126 && c != '<' && c != '>') out += c;
  }
  return out;
}

Preferences::Preferences() { Defaults(); }

void Preferences::Defaults() {
  effects = 1;
  secondFlag = 1;
  sharedScore = 0;
  firstPlay = 1;
  adScreen = 0;
  lastPlayer[0].clear();
  lastPlayer[1].clear();
  lastCommand.clear();
}

void LoadPreferences() {
  PlistTag dict;
  if (mainPREFS.Load(&dict) != 0) {
    PREFS.Defaults();
    DefaultKeys();
    dict.DeleteChildren();
    return;
  }
  ReadString(dict, kLastPlayerKeys[0], &PREFS.lastPlayer[0]);
  ReadString(dict, kLastPlayerKeys[1], &PREFS.lastPlayer[1]);
  ReadString(dict, "Last Command", &PREFS.lastCommand);
  unsigned char flag;
  if (dict.GetBoolean("First Play", &flag, 0)) PREFS.firstPlay = flag;
  char ad;
  if (dict.GetChar("Ad Screen", &ad, 0)) PREFS.adScreen = SInt8(ad);
  ReadWindowSize(dict);
  ReadKeys(dict);
  dict.DeleteChildren();
}

void SavePreferences() {
  PlistTag dict;
  dict.NewString(kLastPlayerKeys[0], PrintableText(PREFS.lastPlayer[0]).c_str());
  dict.NewString(kLastPlayerKeys[1], PrintableText(PREFS.lastPlayer[1]).c_str());
  dict.NewString("Last Command", PrintableText(PREFS.lastCommand).c_str());
  dict.NewBoolean("First Play", PREFS.firstPlay);
  dict.NewChar("Ad Screen", char(PREFS.adScreen));
  PlistTag* size = dict.NewDictionary("Window Size");
  size->NewShort("H", windSIZE.h);
  size->NewShort("V", windSIZE.v);
  PlistTag* keys = dict.NewDictionary("Custom Keys");
  for (int p = 0; p < 2; ++p) {
    PlistTag* player = keys->NewDictionary(KeyName("Player ", p).c_str());
    for (int k = 0; k < kPlayerKeyCount; ++k)
      player->NewShort(KeyName("Key ", k).c_str(), SInt16(playerKEY[p * kPlayerKeyCount + k]));
  }
  mainPREFS.Save(&dict);
  dict.DeleteChildren();
}
