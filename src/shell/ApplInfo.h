// The application record: who the game is and how it wants to be served, and
// the engine's table of sixteen hook slots through which its optional services
// reach each other. Every hook is optional: an empty one does nothing and
// yields its default.
#pragma once

#include "platform/PlatformTypes.h"

struct Frame;

struct ApplInfo {
  ApplInfo();
  void Init();
  // The short name falls back to the name when empty; the scores file is
  // named after the short name.
  void SetName(const char* name, const char* shortName);
  void SetCreatorCode(UInt32 code);

  void InitLocalMenus();
  void UpdateLocalMenus();
  void InitLocalAppleEvents();
  void CustomEvents();
  void AboutDialog();
  void VideoFadeIn();
  void VideoFadeOut();
  SInt32 GWorldFX();
  void OpenGLFX();
  void CustomGLDraw();
  void Shutdown();
  SInt32 LockLocalPixMaps();
  SInt32 UnlockLocalPixMaps();
  SInt32 RealignBuildPixMap();
  void SaveReplayPrefs();
  SInt32 RestoreReplayPrefs();
  void KeyboardDialog();
  SInt8 PrefsDialog(WindowRef parent);
  void AE_OpenFilesDone();
  void AE_GetURL(const char* url);
  void InitInputNeeds();
  void ResetInputs();
  UInt8 AnyISInput();
  void ProcessInputs();
  void DoInterruptInput(SInt16* dh, SInt16* dv, UInt8* button, UInt8* second, UInt8* third);
  SInt32 ErrorTrap();

  Str31 name;
  Str31 shortName;
  Str31 scoresName;
  UInt32 creator;
  Str15 creatorText;
  UInt8 gameWindow;   // the engine manages a game window of its own
  UInt8 buildToGL;    // the software build buffer is copied into the OpenGL picture
  UInt8 onlinePanel;  // preferences dialog panels
  UInt8 keysPanel;
  UInt8 gamePanel;
  UInt8 lineSkip;
  UInt8 buildDepth;  // 8 or 16; also selects the grey table Startup fills
  UInt8 windowDepth;
  UInt8 thirdDepth;
  SInt16 gameWidth, gameHeight;  // the game picture in game coordinates
  SInt16 gameWidth2, gameHeight2;
  Str31 engineVersion;
  NumVersion version;
  Str255 longVersion;
  Str255 shortVersion;
  Frame*** frameList;  // the game's table of named frame arrays
  SInt16* frameCount;
  UInt32* inputNeeds;
  SInt16 inputNeedCount;
  UInt8 bundle;  // the program runs from an application bundle
  RGBColor contentColor;
  void* icon;

  void (*initLocalMenus)();
  void (*updateLocalMenus)();
  void (*initLocalAppleEvents)();
  void (*customEvents)();
  void (*aboutDialog)();
  void (*videoFadeIn)();
  void (*videoFadeOut)();
  SInt32 (*gWorldFX)();
  void (*openGLFX)();
  void (*customGLDraw)();
  void (*shutdown)();
  SInt32 (*lockLocalPixMaps)();
  SInt32 (*unlockLocalPixMaps)();
  SInt32 (*realignBuildPixMap)();
  void (*saveReplayPrefs)();
  SInt32 (*restoreReplayPrefs)();
  void (*keyboardDialog)();
  SInt8 (*prefsDialog)(WindowRef parent);
  void (*aeOpenFilesDone)();
  void (*aeGetURL)(const char* url);
  void (*initInputNeeds)();
  void (*resetInputs)();
  UInt8 (*anyISInput)();
  void (*processInputs)();
  void (*doInterruptInput)(SInt16* dh, SInt16* dv, UInt8* button, UInt8* second, UInt8* third);
  SInt32 (*errorTrap)();
};

extern ApplInfo APPL;

// The hook table. Only the fillers named beside each dispatcher write it;
// everyone else calls the dispatchers. Slots 1 to 6 (pixmaps) belong to the
// pixmap registry, which declares their dispatchers.
// A slot holds its dispatcher's own signature converted to QKELProc; the
// dispatcher converts it back before the call.
typedef void (*QKELProc)();
extern QKELProc QKEL[16];

typedef void (*FlushToScreenProc)(WindowRef window);
typedef bool (*IsFullScreenProc)();
typedef void (*FullScreenModeProc)(unsigned char mode);
typedef bool (*AllEventsEnabledProc)();
typedef bool (*AudioPrefsDialogProc)(WindowRef parent);

enum {
  kQKELNormBright = 0,
  kQKELFlushToScreen = 7,
  kQKELIsFullScreen = 8,
  kQKELFullScreenMode = 9,
  kQKELEnableAllEvents = 10,
  kQKELDisableAllEvents = 11,
  kQKELAllEventsEnabled = 12,
  kQKELAudioPrefsDialog = 13,
  kQKELDisposeSoundMixer = 14,
};

void NormBright();
// Lets sound run, takes the main window for a null one, then flushes.
void FlushToScreen(WindowRef window);
bool IsFullScreen();
void FullScreenMode(unsigned char mode);
void EnableAllEvents();
void DisableAllEvents();
bool AllEventsEnabled();
bool AudioPrefsDialog(WindowRef parent);
void DisposeSoundMixer();

// Seams to the graphics layer above the shell, empty until it fills them at
// start-up: the game window (mainWIND), and a window's own flush
// (FlushWindow, used while slot 7 is empty).
extern WindowRef (*mainWindowProc)();
extern void (*flushWindowProc)(WindowRef window);
// The game window, or null before it opens.
WindowRef MainWindow();
