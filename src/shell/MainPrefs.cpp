#include "shell/MainPrefs.h"

#include <cstdio>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"
#include "platform/PlatformFiles.h"
#include "platform/SafeSave.h"
#include "shell/ApplInfo.h"

MainPrefs mainPREFS;
void (*loadAudioPrefsProc)(PlistTag* dict);
void (*saveAudioPrefsProc)(PlistTag* dict);

namespace {

const char kNoFileName[] = "Must call MainPrefs::SetFileName() before MainPrefs:Load()";
const char kNoDictionary[] = "MainPrefs:Load() requires a valid PLIST dictionary to return custom prefs.";

// The name and the dictionary every load and save needs: 0, -1 or -2.
int CheckArguments(const MainPrefs& prefs, PlistTag* dict) {
  if (prefs.fileName.empty()) {
    ErrorDialog(kNoFileName, "", 0, 1);
    return -1;
  }
  if (!dict) {
    ErrorDialog(kNoDictionary, "", 0, 1);
    return -2;
  }
  return 0;
}

}  // namespace

MainPrefs::MainPrefs() : fullScreen(false), graphicsMode(false), monitorMode(0) {}

void MainPrefs::Defaults(bool full) {
  if (full) fullScreen = true;
  graphicsMode = true;
  monitorMode = kMonitorModeAsk;
}

void MainPrefs::SetFileName(const char* name) { fileName = name ? name : ""; }

std::string MainPrefs::Path() const { return GetPreferencesPath() + "/" + fileName + ".plist"; }

int MainPrefs::Load(PlistTag* dict) {
  if (int error = CheckArguments(*this, dict)) return error;
  // A named pipe or any other non-regular file in its place is unreadable:
  // it must not hold up the start.
  FILE* file = OpenRegularFileForReading(Path());
  if (!file) {
    Defaults(true);
    return -3;
  }
  SInt16 loaded = dict->LoadFile(file);
  fclose(file);
  if (loaded != 0) {
    Defaults(true);
    return -4;
  }
  // A key that is missing, of another type or outside what the settings
  // allow takes its default.
  Defaults(true);
  SInt32 monitor;
  if (dict->GetLong("Monitor Mode", &monitor, 0))
    monitorMode = monitor >= kMonitorModeSwitch && monitor <= kMonitorModeNever ? char(monitor) : char(kMonitorModeAsk);
  unsigned char flag;
  if (dict->GetBoolean("Full Screen", &flag, 0)) fullScreen = flag;
  if (dict->GetBoolean("Graphics Mode", &flag, 0)) graphicsMode = flag;
  if (APPL.onlinePanel) LoadOnlinePrefs(dict);
  if (loadAudioPrefsProc) loadAudioPrefsProc(dict);
  return 0;
}

int MainPrefs::Save(PlistTag* dict) {
  if (int error = CheckArguments(*this, dict)) return error;
  dict->SetChar("Monitor Mode", monitorMode);
  dict->SetBoolean("Full Screen", fullScreen);
  dict->SetBoolean("Graphics Mode", graphicsMode);
  if (APPL.onlinePanel) SaveOnlinePrefs(dict);
  if (saveAudioPrefsProc) saveAudioPrefsProc(dict);
  TextBuffer text;
  dict->SaveBuffer(&text);
  return SafeSaveFile(Path(), text.Start(), text.DataSize()) == noErr ? 0 : -3;
}

void DefaultPrefs(bool full) { mainPREFS.Defaults(full); }

void LoadOnlinePrefs(PlistTag* dict) { dict->FindDictionary("Online Prefs", 1); }
void SaveOnlinePrefs(PlistTag* dict) { dict->FindDictionary("Online Prefs", 1); }
void NewOnlinePrefs() {}
void CheckPrefsLockedVolume() {}
