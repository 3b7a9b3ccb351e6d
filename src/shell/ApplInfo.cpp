#include "shell/ApplInfo.h"

#include <cstring>

#include "foundation/MainTimer.h"

ApplInfo APPL;
QKELProc QKEL[16];

WindowRef (*mainWindowProc)();
void (*flushWindowProc)(WindowRef window);

namespace {

void CopyText(unsigned char* to, const char* text, size_t capacity) {
  size_t n = text ? strlen(text) : 0;
  if (n > capacity) n = capacity;
  to[0] = UInt8(n);
  memcpy(to + 1, text, n);
}

void AppendText(unsigned char* to, const char* text, size_t capacity) {
  size_t n = strlen(text);
  if (to[0] + n > capacity) n = capacity - to[0];
  memcpy(to + 1 + to[0], text, n);
  to[0] = UInt8(to[0] + n);
}

}  // namespace

// Every field the defaults leave alone is zero, wherever the record lives.
ApplInfo::ApplInfo() {
  memset(static_cast<void*>(this), 0, sizeof *this);
  Init();
}

void ApplInfo::Init() {
  gameWidth = gameWidth2 = 640;
  gameHeight = gameHeight2 = 480;
  bundle = 1;
  CopyText(engineVersion, "8.6", 31);
}

void ApplInfo::SetName(const char* newName, const char* newShortName) {
  CopyText(name, newName, 31);
  CopyText(shortName, newShortName && *newShortName ? newShortName : newName, 31);
  memcpy(scoresName, shortName, size_t(shortName[0]) + 1);
  AppendText(scoresName, " Scores", 31);
}

void ApplInfo::SetCreatorCode(UInt32 code) {
  creator = code;
  creatorText[0] = 4;
  for (int i = 0; i < 4; ++i) creatorText[1 + i] = UInt8(code >> (24 - 8 * i));
}

void ApplInfo::InitLocalMenus() {
  if (initLocalMenus) initLocalMenus();
}
void ApplInfo::UpdateLocalMenus() {
  if (updateLocalMenus) updateLocalMenus();
}
void ApplInfo::InitLocalAppleEvents() {
  if (initLocalAppleEvents) initLocalAppleEvents();
}
void ApplInfo::CustomEvents() {
  if (customEvents) customEvents();
}
void ApplInfo::AboutDialog() {
  if (aboutDialog) aboutDialog();
}
void ApplInfo::VideoFadeIn() {
  if (videoFadeIn) videoFadeIn();
}
void ApplInfo::VideoFadeOut() {
  if (videoFadeOut) videoFadeOut();
}
SInt32 ApplInfo::GWorldFX() { return gWorldFX ? gWorldFX() : 0; }
void ApplInfo::OpenGLFX() {
  if (openGLFX) openGLFX();
}
void ApplInfo::CustomGLDraw() {
  if (customGLDraw) customGLDraw();
}
void ApplInfo::Shutdown() {
  if (shutdown) shutdown();
}
SInt32 ApplInfo::LockLocalPixMaps() { return lockLocalPixMaps ? lockLocalPixMaps() : 0; }
SInt32 ApplInfo::UnlockLocalPixMaps() { return unlockLocalPixMaps ? unlockLocalPixMaps() : 0; }
SInt32 ApplInfo::RealignBuildPixMap() { return realignBuildPixMap ? realignBuildPixMap() : 0; }
void ApplInfo::SaveReplayPrefs() {
  if (saveReplayPrefs) saveReplayPrefs();
}
SInt32 ApplInfo::RestoreReplayPrefs() { return restoreReplayPrefs ? restoreReplayPrefs() : 0; }
void ApplInfo::KeyboardDialog() {
  if (keyboardDialog) keyboardDialog();
}
SInt8 ApplInfo::PrefsDialog(WindowRef parent) { return prefsDialog ? prefsDialog(parent) : 0; }
void ApplInfo::AE_OpenFilesDone() {
  if (aeOpenFilesDone) aeOpenFilesDone();
}
void ApplInfo::AE_GetURL(const char* url) {
  if (aeGetURL) aeGetURL(url);
}
void ApplInfo::InitInputNeeds() {
  if (initInputNeeds) initInputNeeds();
}
void ApplInfo::ResetInputs() {
  if (resetInputs) resetInputs();
}
UInt8 ApplInfo::AnyISInput() { return anyISInput ? anyISInput() : 0; }
void ApplInfo::ProcessInputs() {
  if (processInputs) processInputs();
}
void ApplInfo::DoInterruptInput(SInt16* dh, SInt16* dv, UInt8* button, UInt8* second, UInt8* third) {
  if (doInterruptInput) doInterruptInput(dh, dv, button, second, third);
}
SInt32 ApplInfo::ErrorTrap() { return errorTrap ? errorTrap() : 0; }

WindowRef MainWindow() { return mainWindowProc ? mainWindowProc() : nullptr; }

void NormBright() {
  if (QKEL[kQKELNormBright]) QKEL[kQKELNormBright]();
}

void FlushToScreen(WindowRef window) {
  IdleAudio();
  if (!window) window = MainWindow();
  if (QKEL[kQKELFlushToScreen])
    reinterpret_cast<FlushToScreenProc>(QKEL[kQKELFlushToScreen])(window);
  else if (flushWindowProc)
    flushWindowProc(window);
}

bool IsFullScreen() { return QKEL[kQKELIsFullScreen] && reinterpret_cast<IsFullScreenProc>(QKEL[kQKELIsFullScreen])(); }

void FullScreenMode(unsigned char mode) {
  if (QKEL[kQKELFullScreenMode]) reinterpret_cast<FullScreenModeProc>(QKEL[kQKELFullScreenMode])(mode);
}

void EnableAllEvents() {
  if (QKEL[kQKELEnableAllEvents]) QKEL[kQKELEnableAllEvents]();
}

void DisableAllEvents() {
  if (QKEL[kQKELDisableAllEvents]) QKEL[kQKELDisableAllEvents]();
}

bool AllEventsEnabled() {
  return QKEL[kQKELAllEventsEnabled] && reinterpret_cast<AllEventsEnabledProc>(QKEL[kQKELAllEventsEnabled])();
}

bool AudioPrefsDialog(WindowRef parent) {
  return QKEL[kQKELAudioPrefsDialog] && reinterpret_cast<AudioPrefsDialogProc>(QKEL[kQKELAudioPrefsDialog])(parent);
}

void DisposeSoundMixer() {
  if (QKEL[kQKELDisposeSoundMixer]) QKEL[kQKELDisposeSoundMixer]();
}
