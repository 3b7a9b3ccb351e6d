// The game's preferences file as the game reads it: the shell's keys, the
// game's own ("Custom Keys", "Window Size", the names) and "Audio Prefs".
// Whatever the file, every setting loaded is within its range; a key that
// is missing (or of another type) leaves the default; what is saved loads
// back as the same settings, and saving those writes the same bytes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "foundation/PlistTag.h"
#include "frontend/KeyNames.h"
#include "frontend/Preferences.h"
#include "graphics/GameWindow.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "sound/AudioPrefs.h"

namespace {

void SetUp() {
  static bool done = [] {
    FuzzUseHome();
    // No sound device is needed to read the settings.
    setenv("ALSOFT_DRIVERS", "null", 0);
    APPL.SetName("Halvane", "");
    mainPREFS.SetFileName("Halvane Preferences");
    loadAudioPrefsProc = LoadAudioPrefs;
    saveAudioPrefsProc = SaveAudioPrefs;
    return true;
  }();
  (void)done;
}

// Everything a load may set, as one comparable string.
std::string Settings() {
  std::string s;
  auto add = [&s](long long v) { s += std::to_string(v) + ","; };
  for (const std::string& name : PREFS.lastPlayer) s += name + "|";
  s += PREFS.lastCommand + "|";
  add(PREFS.firstPlay);
  add(PREFS.adScreen);
  add(windSIZE.h);
  add(windSIZE.v);
  for (UInt8 key : playerKEY) add(key);
  add(mainPREFS.fullScreen);
  add(mainPREFS.graphicsMode);
  add(mainPREFS.monitorMode);
  const AudioPrefs& a = audioPREFS;
  for (long long v : {(long long)a.soundOn, (long long)a.musicOn, (long long)a.soundVolume, (long long)a.musicVolume,
                      (long long)a.sampleSize, (long long)a.sampleRate, (long long)a.stereo, (long long)a.preset,
                      (long long)a.numChannels, (long long)a.interpolation, (long long)a.smoothing,
                      (long long)a.soundEchos, (long long)a.musicEchos, (long long)a.fakeStereo})
    add(v);
  return s;
}

// The state of a first start: what the program holds before it loads.
void FreshStart() {
  PREFS.Defaults();
  DefaultKeys();
  windSIZE.h = 640;
  windSIZE.v = 480;
  mainPREFS.fullScreen = false;
  mainPREFS.graphicsMode = false;
  mainPREFS.monitorMode = 0;
  audioPREFS.Defaults();
}

bool Printable(const std::string& text) {
  if (text.size() > 31) return false;
  for (char c : text)
    if (c < 32 || c > 126 || c == '<' || c == '>') return false;
  return true;
}

bool Flag(long long v) { return v == 0 || v == 1; }

void CheckRanges() {
  for (const std::string& name : PREFS.lastPlayer) FUZZ_CHECK(Printable(name));
  FUZZ_CHECK(Printable(PREFS.lastCommand));
  FUZZ_CHECK((windSIZE.h == 640 && windSIZE.v == 480) || (windSIZE.h == 1024 && windSIZE.v == 768));
  for (UInt8 key : playerKEY) FUZZ_CHECK(!PauseKeyCode(key));
  FUZZ_CHECK(mainPREFS.monitorMode >= kMonitorModeSwitch && mainPREFS.monitorMode <= kMonitorModeNever);
  const AudioPrefs& a = audioPREFS;
  FUZZ_CHECK(Flag(a.soundOn) && Flag(a.musicOn) && Flag(a.stereo) && Flag(a.interpolation));
  FUZZ_CHECK(Flag(a.smoothing) && Flag(a.soundEchos) && Flag(a.musicEchos) && Flag(a.fakeStereo));
  FUZZ_CHECK(a.soundVolume >= 0 && a.soundVolume <= 255 && a.musicVolume >= 0 && a.musicVolume <= 255);
  FUZZ_CHECK(a.sampleSize == 8 || a.sampleSize == 16);
  FUZZ_CHECK((a.sampleRate >> 16) >= 8000);
  FUZZ_CHECK(a.numChannels == 2 || a.numChannels == 4 || a.numChannels == 6 || a.numChannels == 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  SetUp();
  if (size > (1 << 20)) return 0;
  const std::string path = mainPREFS.Path();
  FuzzWriteFile(path, data, size);
  // Which of the shell's flags the file really holds.
  bool hasFull = false, hasGraphics = false;
  {
    PlistTag tree;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
      if (tree.LoadFile(file) == 0) {
        unsigned char flag;
        hasFull = tree.GetBoolean("Full Screen", &flag, 0) != nullptr;
        hasGraphics = tree.GetBoolean("Graphics Mode", &flag, 0) != nullptr;
      }
      std::fclose(file);
    }
    tree.DeleteChildren();
  }

  FreshStart();
  LoadPreferences();
  CheckRanges();
  if (!hasFull) FUZZ_CHECK(mainPREFS.fullScreen);
  if (!hasGraphics) FUZZ_CHECK(mainPREFS.graphicsMode);
  const std::string loaded = Settings();

  SavePreferences();
  const std::string saved = FuzzReadFile(path);
  FreshStart();
  LoadPreferences();
  CheckRanges();
  FUZZ_CHECK(Settings() == loaded);
  SavePreferences();
  FUZZ_CHECK(FuzzReadFile(path) == saved);
  return 0;
}
