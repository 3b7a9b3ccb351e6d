#include "frontend/MainProgram.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/MainTimer.h"
#include "foundation/Random.h"
#include "foundation/Version.h"
#include "frontend/ApplicationHooks.h"
#include "frontend/GameDrawing.h"
#include "frontend/InstructionPages.h"
#include "frontend/KeyNames.h"
#include "frontend/MainLoop.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/controls/ControlGL.h"
#include "frontend/screens/AboutScreen.h"
#include "frontend/screens/HelpScreen.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "frontend/screens/PauseScreen.h"
#include "frontend/screens/QKLogoScreen.h"
#include "frontend/screens/TitleScreen.h"
#include "game/Game.h"
#include "graphics/GameWindow.h"
#include "graphics/GammaFading.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/PNGFile.h"
#include "graphics/RenderedDialogs.h"
#include "platform/DisplayLost.h"
#include "platform/PlatformSystem.h"
#include "platform/PlatformTime.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Events.h"
#include "shell/Launching.h"
#include "shell/MainPrefs.h"
#include "shell/Menus.h"
#include "shell/NibDialogs.h"
#include "shell/Startup.h"
#include "sound/CompressedSound.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundServices.h"

namespace {

struct DemoOptions {
  bool on = false;
  long steps = 0;
  UInt32 seed = 1;
  std::string screenshot;
};

// Only the demo's options are read; anything else (a desktop launcher may
// pass a file) is left alone. A demo option without its value, or a demo of
// no steps, is refused.
bool ParseArguments(int argc, char** argv, DemoOptions* demo) {
  bool bad = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--demo" || a == "--seed" || a == "--screenshot") {
      if (!hasValue) {
        bad = true;
        break;
      }
      const char* value = argv[++i];
      if (a == "--demo") {
        demo->on = true;
        demo->steps = std::strtol(value, nullptr, 10);
      } else if (a == "--seed") {
        demo->seed = UInt32(std::strtoul(value, nullptr, 10));
      } else {
        demo->screenshot = value;
      }
    }
  }
  if (!bad && (!demo->on || demo->steps > 0)) return true;
  std::fprintf(stderr, "usage: halvane [--demo STEPS [--seed N] [--screenshot FILE.png]]\n");
  return false;
}

void StartUp(bool demo) {
  InstallUserDialogs();
  InstallRenderedDialogs();
  APPL.SetName("Halvane", "");
  APPL.SetCreatorCode(FOUR_CHAR('H', 'L', 'V', 'N'));
  mainPREFS.SetFileName("Halvane Preferences");
  mainSCORES.SetFileName("Halvane Scores");
  mainSCORES.Init(15, 2);
  APPL.gameWindow = 1;
  APPL.buildDepth = APPL.windowDepth = APPL.thirdDepth = 16;
  InstallApplicationHooks();
  InitTime();
  InitAllEvents();
  InitAppleEvents();
  InitAppleScript();
  FindDesktopFolder(&desktopFOLD);
  SetUpHomeFile();
  GetApplicationVersion(&APPL.version, APPL.shortVersion, 0);
  GetVersionString(APPL.version, APPL.longVersion, 1);
  Startup();
  LoadQKEngineNib();
  InitFading();
  InstallSoundServices();
  // Each screen's music and every effect are checked side by side while the
  // program starts, not one by one as they load nor when a screen opens.
  CheckSoundFilesAhead(
      {MusicPath("Music/Title"), MusicPath("Music/Main"), MusicPath("Music/Game"), MusicPath("Music/Boss")});
  CheckSoundFilesAhead(SoundEffectPaths());
  if (demo) {
    // The demo leaves the user's files alone and always runs in a window.
    PREFS.Defaults();
    DefaultKeys();
    mainPREFS.Defaults(false);
    windSIZE = Point{480, 640};
  } else {
    LoadPreferences();
    LoadScores();
  }
  // A quit signal during start-up (it dismissed any alert) ends the program
  // before its window and resources: nothing of them is needed to save.
  if (TerminationSignalled()) return;
  mainTIMER.Init(MainTimer, 30, nullptr);
  InitAudio();
  if (!InitALSources()) OpenALRequiredAlert();
  if (TerminationSignalled()) return;
  DisableFlushing();
  InitGameWindow();
  EnableVBLSync();
  SetGammaTable(GetOrigGTable(), nullptr);
  LoadResources();
  LoadResources_Mac();
  LoadResources_Game();
  SetupSound2DRect(&mainRECT);
  drawFrameProc = DrawEverything;
  pictureRedrawProc = DrawEverything;
  // A display that goes away takes no settings with it.
  if (!demo) SetDisplayLostHandler([] { SavePreferences(); });
}

// The scripted player of the demo: player 1 joins, sweeps left and right and
// fires in bursts.
void DemoInput(UInt32 step) {
  UInt32 phase = step % 240;
  mainINPUT[InputSlot(kActionLeft, 0)] = phase >= 120 && phase < 200;
  mainINPUT[InputSlot(kActionRight, 0)] = phase < 80;
  mainINPUT[InputSlot(kActionUp, 0)] = phase % 60 < 20 && phase % 4 == 0;
  mainINPUT[InputSlot(kActionFire, 0)] = (step / 6) % 2 == 0;
}

// Draws the frame and reads it back before it is shown, brightness overlay
// included.
bool SaveScreenshot(const std::string& path) {
  OpaqueGrafPtr port{};
  port.portRect = mainRECT;
  OpenGLBeginDraw(&port);
  DrawPicture();
  VisualFXGL(&glDrawVars.portRect);
  glFinish();
  SInt32 w = 0, h = 0;
  GetWindowContentSize(mainWIND, &w, &h);
  if (w <= 0 || h <= 0) return false;
  std::vector<UInt8> pixels(size_t(w) * h * 4), flipped(pixels.size());
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  for (SInt32 y = 0; y < h; ++y)
    std::memcpy(&flipped[size_t(y) * w * 4], &pixels[size_t(h - 1 - y) * w * 4], size_t(w) * 4);
  for (size_t i = 3; i < flipped.size(); i += 4) flipped[i] = 255;
  OpenGLEndDraw();
  return SavePNG(path.c_str(), flipped.data(), w, h, 0, nullptr, 0) == 1;
}

int RunDemo(const DemoOptions& demo) {
  randomSEED = demo.seed;
  // A game starts from a black picture, as after the main screen's fade.
  MinBright_GL();
  StartGame();
  scriptedInputProc = DemoInput;
  for (long s = 0; s < demo.steps && !applQUIT; ++s) {
    MainStep();
    if (s % 4 == 3) DrawEverything();
  }
  if (!demo.screenshot.empty() && !SaveScreenshot(demo.screenshot)) {
    std::fprintf(stderr, "halvane: could not write \"%s\"\n", demo.screenshot.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int HalvaneMain(int argc, char** argv) {
  // Before the first picture is decoded: what each screen frees goes back.
  ReturnBigBlocksToTheSystem();
  // Watched before anything can put up a dialog or start SDL: a signal that
  // comes during start-up dismisses what is up, and the program ends as soon
  // as it has started, as it does on a signal later.
  WatchTerminationSignals();
  DemoOptions demo;
  if (!ParseArguments(argc, argv, &demo)) return 2;
  StartUp(demo.on);
  int status = 0;
  if (demo.on) {
    if (!TerminationSignalled()) status = RunDemo(demo);
  } else {
    if (!TerminationSignalled()) {
      qklogoSCREEN.Open();
      ResetSpeedManager();
    }
    while (!applQUIT && !TerminationSignalled()) MainPass();
    // A failed save is told, never lost: in a dialog when a person quit, on
    // standard error when a signal asked the program to end now.
    if (SavePreferences() != 0) {
      if (TerminationSignalled())
        std::fprintf(stderr, "halvane: %s\n", kPreferencesSaveFailed);
      else
        ErrorDialog(kPreferencesSaveFailed, "", 0, 0);
    }
  }
  DisposeResources_Mac();
  DisposeGameWindow();
  Shutdown(status != 0);
  return status;
}

int MainProgram() {
  if (!mainPREFS.FullScreen()) FullScreenMode(0);
  GDHandle screen = GetMainDevice();
  if (screen && (*screen)->gdRect.right - (*screen)->gdRect.left == 640 &&
      (*screen)->gdRect.bottom - (*screen)->gdRect.top == 480)
    QK_HideMenuBar();
  if (!PREFS.firstPlay) {
    MinBright_GL();
    FadeIn_GL(8);
    FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
    EnableAllEvents();
  } else {
    Instructions();
    EnableAllEvents();
  }
  if (applQUIT) return applQUIT;
  // Waits, handling events, until the program is in front again or asked to
  // quit.
  while (!IsFrontProcess() && !applQUIT) {
    GetEvent(everyEvent, nullptr);
    if (AllEventsEnabled()) HandleEvents();
    Delay(1);
  }
  return applQUIT;
}

void ResetFrontEndState() {
  for (ScreenGL* s : {static_cast<ScreenGL*>(&enterNameSCREEN[0]), static_cast<ScreenGL*>(&enterNameSCREEN[1]),
                      static_cast<ScreenGL*>(&confirmSCREEN), static_cast<ScreenGL*>(&helpSCREEN),
                      static_cast<ScreenGL*>(&loadSCREEN), static_cast<ScreenGL*>(&aboutSCREEN),
                      static_cast<ScreenGL*>(&pauseSCREEN), static_cast<ScreenGL*>(&mainSCREEN),
                      static_cast<ScreenGL*>(&titleSCREEN), static_cast<ScreenGL*>(&qklogoSCREEN)})
    if (s->IsOpen()) s->Close();
  selectedCONTROL = nullptr;
  ResetControlPress();
  renderScoresProc = nullptr;
  mainSCORES.document.DeleteChildren();
  mainSCORES.ClearUpdates();
}
