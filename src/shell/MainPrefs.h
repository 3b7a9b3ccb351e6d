// The engine's own preferences (full screen, graphics mode, monitor mode),
// kept in one property-list file in the user's Preferences folder together
// with the sound settings and the game's own keys. The game names the file,
// loads it before its window opens and saves it at quit; it hands both calls
// the dictionary that holds its keys.
#pragma once

#include <string>

#include "platform/PlatformTypes.h"

class PlistTag;

class MainPrefs {
 public:
  bool fullScreen;
  bool graphicsMode;
  std::string fileName;
  char monitorMode;

  MainPrefs();
  // The defaults; full screen is set only when `full` is true.
  void Defaults(bool full);
  void SetFileName(const char* name);
  unsigned char FullScreen() const { return fullScreen; }
  // 0 loaded; -1 no file name, -2 no dictionary (both fatal reports first);
  // -3 no file, -4 a file that holds no whole property list (empty,
  // truncated, garbled): in both the defaults apply, full screen included.
  int Load(PlistTag* dict);
  // 0 saved; -1 and -2 as for Load; -3 the file could not be written (the
  // old file then stays as it was).
  int Save(PlistTag* dict);
  // The file's path: the Preferences folder, the name and ".plist".
  std::string Path() const;
};

extern MainPrefs mainPREFS;

// The monitor modes the display manager knows: switch without asking, ask,
// never switch.
enum : char { kMonitorModeSwitch = 0, kMonitorModeAsk = 1, kMonitorModeNever = 2 };

void DefaultPrefs(bool full);
void LoadOnlinePrefs(PlistTag* dict);
void SaveOnlinePrefs(PlistTag* dict);
void NewOnlinePrefs();
void CheckPrefsLockedVolume();

// Seams to the sound subsystem, empty until it starts: its settings in the
// "Audio Prefs" dictionary of the preferences.
extern void (*loadAudioPrefsProc)(PlistTag* dict);
extern void (*saveAudioPrefsProc)(PlistTag* dict);
