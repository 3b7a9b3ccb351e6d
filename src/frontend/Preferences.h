// The game's own settings, kept in the engine's main preferences file beside
// the shell's keys and the audio settings: the preference record PREFS, the
// players' keys (playerKEY) and the windowed size (windSIZE).
#pragma once

#include <string>

#include "platform/PlatformTypes.h"

class Preferences {
 public:
  UInt8 effects;  // sparks are made only while set
  UInt8 secondFlag;
  UInt8 sharedScore;  // both players play for one score
  UInt8 firstPlay;    // cleared once the help screen has been seen
  SInt8 adScreen;
  // At most 31 characters each: the names offered on the name-entry screens.
  std::string lastPlayer[2];
  std::string lastCommand;

  Preferences();
  void Defaults();
};

extern Preferences PREFS;

// A name or command as the files can hold it: printable characters only
// (no '<' or '>', which the property-list writer refuses), at most 31.
std::string PrintableText(const std::string& text);

// Reads the game's keys from the preferences file. Without a file (or with an
// unreadable one) PREFS and the keys take their defaults; a key missing from
// the file keeps its current value.
void LoadPreferences();
// Writes the game's keys, in a fixed order, then lets the shell add its own
// and save the file.
// 0, or -1 when the file could not be written (the old one is left whole).
SInt16 SavePreferences();
// What the player is told when the preferences could not be saved.
inline constexpr char kPreferencesSaveFailed[] = "Failed to save the preferences file.";
