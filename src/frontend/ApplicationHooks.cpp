#include "frontend/ApplicationHooks.h"

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "frontend/MainLoop.h"
#include "frontend/controls/ControlGL.h"
#include "frontend/controls/TextFieldGL.h"
#include "frontend/screens/AboutScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "game/Game.h"
#include "game/GameObjects.h"
#include "graphics/ClutFading.h"
#include "graphics/ColorTables.h"
#include "graphics/Display.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageGL.h"
#include "graphics/OpenGLFrame.h"
#include "platform/Clipboard.h"
#include "platform/EventPlatform.h"
#include "platform/PlatformSystem.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "shell/MainPrefs.h"
#include "shell/Menus.h"
#include "shell/PrefsDialogs.h"
#include "shell/Startup.h"
#include "shell/TaskKeys.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundMixer.h"

CursorGL mainCURS;
CTabHandle grayClut;
GammaHandle grayGamma;

namespace {

enum : SInt16 { kEditMenuID = 130, kWindowMenuID = 131, kPasteItem = 5 };
enum : SInt16 { kFadeSteps = 25 };
const UInt16 kVioletHue = 52000;
const RGBColor kVioletGamma{55000, 0, 65535};
const RGBColor kBlack{0, 0, 0};

// Whether the drawn cursor showed before the quit question showed it.
UInt8 cursorBeforeQuestion;

bool ScreenIsIndexed() { return GetMonitorMode(nullptr, nullptr, nullptr) == 8; }

void HideSystemCursor() {
  if (cursorVIS) Platform().ShowCursor(false);
  cursorVIS = false;
}

void ShowSystemCursor() {
  if (!cursorVIS) Platform().ShowCursor(true);
  cursorVIS = true;
}

// The tinted tables, made again from the display's unfaded ones.
void BuildTintedTables() {
  if (!grayClut) NewCTable(&grayClut);
  CTabHandle original = GetOrigCTable();
  if (grayClut && original) {
    CopyCTable(original, grayClut);
    TintTable(grayClut);
  }
  if (!grayGamma) NewGTable(&grayGamma);
  if (grayGamma) {
    CopyGTable(GetOrigGTable(), grayGamma);
    BuildGTable(grayGamma, &kVioletGamma, 1.0f, 1.0f);
  }
}

}  // namespace

// ------------------------------------------------------------------ cursor

CursorGL::CursorGL()
    : image(&mainGUI.cursorImage),
      rect{},
      position{},
      lastPosition{},
      visible(0),
      obscured(0),
      hotV(0),
      hotH(0),
      scale(1.0f) {}

void CursorGL::Show() {
  visible = 1;
  obscured = 0;
}

void CursorGL::Hide() { visible = 0; }

void CursorGL::Obscure(const Point* p) {
  if (obscured) return;
  obscured = 1;
  position = lastPosition = *p;
}

void CursorGL::HandleInput(const Point* p) {
  position = lastPosition = *p;
  SInt16 width = image ? image->Width() : 0, height = image ? image->Height() : 0;
  SetRect2(&rect, int(float(p->h) - scale * float(hotH)), int(float(p->v) - scale * float(hotV)),
           int(scale * float(width)), int(scale * float(height)));
}

void CursorGL::Draw() {
  if (!visible || obscured || !image) return;
  image->Draw(&rect);
}

void ShowCursorGL() { mainCURS.Show(); }
void HideCursorGL() { mainCURS.Hide(); }

void ObscureCursorGL() {
  Point m = GetGameMouse();
  mainCURS.Obscure(&m);
}

void HandleCursorGL() {
  Point m = GetGameMouse();
  if (!IsFrontProcess()) {
    mainCURS.Obscure(&m);
    return;
  }
  mainCURS.HandleInput(&m);
  // The bar lies over the picture in a window too: over it, or a menu
  // pulled down from it, the system's cursor shows.
  bool inside = m.h >= mainRECT.left && m.h < mainRECT.right && m.v >= mainRECT.top && m.v < mainRECT.bottom &&
                !(IsFullScreen() && IsMenuBarVisible()) && !MenuBarHasPointer();
  if (inside) {
    HideSystemCursor();
    mainCURS.obscured = 0;
  } else {
    mainCURS.Obscure(&m);
    ShowSystemCursor();
  }
}

// ------------------------------------------------------------------ events

UInt8 CustomUpdate() {
  WindowRef window;
  Rect r;
  return UpdateEvent(&window, &r) ? 1 : 0;
}

UInt8 CustomSuspend() {
  if (!SuspendEvent()) return 0;
  if (gamePLAY && !gamePAUSE) {
    PauseGame();
    // A game that cannot pause yet (a fade, a question on screen) owes the
    // pause until it can, or until the user is back.
    gameSUSPEND = !gamePAUSE;
  }
  return 1;
}

UInt8 CustomResume() {
  if (!ResumeEvent()) return 0;
  gameSUSPEND = 0;
  return 1;
}

void PauseSuspendedGame() {
  if (!gameSUSPEND) return;
  if (!gamePLAY || gamePAUSE || gameOVER || IsFrontProcess()) {
    gameSUSPEND = 0;
    return;
  }
  PauseGame();
  if (gamePAUSE) gameSUSPEND = 0;
}

void CustomMenus() {
  SInt16 menu, item;
  if (!MenuEvent(&menu, &item) || menu != kEditMenuID || item != kPasteItem) return;
  std::string text = PasteText();
  PasteTextGL(text.c_str());
}

// The close box of the game window (or the window system's request to close
// it) asks first only while a game is in progress.
void CustomClick() {
  if (!closeBoxEVENT) return;
  if (gamePLAY)
    ConfirmQuitDialog();
  else
    applQUIT = 1;
}

UInt8 CustomEvents() {
  if (prefsEVENT) prefsEVENT = false;
  if (quitEVENT) {
    // A termination signal ends the program even in a game: nobody is
    // there to answer the question.
    if (gamePLAY && !TerminationSignalled())
      ConfirmQuitDialog();
    else
      applQUIT = 1;
    quitEVENT = false;
  }
  if (CustomUpdate() || CustomSuspend() || CustomResume()) return 1;
  CustomMenus();
  if (!menuCLICKED) CustomClick();
  if (applQUIT) {
    QuitGame();
    return 1;
  }
  return 0;
}

void ConfirmQuitDialog() {
  if (confirmSCREEN.IsOpen()) return;
  cursorBeforeQuestion = mainCURS.visible;
  ShowCursorGL();
  ++gameFREEZE;
  confirmSCREEN.Open(kQuitQuestion, kConfirmQuit);
}

void QuitQuestionClosed() {
  if (!cursorBeforeQuestion) HideCursorGL();
}

void AboutDialog() { aboutSCREEN.Open(); }

// A clipboard that holds text it cannot give is told, and the paste is empty.
std::string PasteText() {
  std::string text;
  if (Clipboard().GetText(&text)) return text;
  if (Clipboard().ReadFailed()) ErrorDialog("Couldn't read scrap data.", "", 0, 0);
  return std::string();
}

// ------------------------------------------------------------------- menus

void InitLocalMenus() {
  MenuRef edit = NewMenu(kEditMenuID, reinterpret_cast<const unsigned char*>("\4Edit"));
  InsertMenu(edit, 0);
  for (const char* item : {"\7Undo/Z(", "\1-", "\5Cut/X", "\6Copy/C", "\7Paste/V", "\5Clear"})
    AppendMenu(edit, reinterpret_cast<const unsigned char*>(item));
  // The game has no preferences of the shell's own to show: its item, where
  // the system menu has one, is disabled; where there is none, nothing is
  // missing.
  MenuRef menu = nullptr;
  SInt16 item = 0;
  if (GetIndMenuItemWithCommandID(nullptr, kHICommandPreferences, 1, &menu, &item) == noErr && menu)
    DisableMenuItem(menu, item);
  InsertWindowMenu(kWindowMenuID);
}

void UpdateLocalMenus() {
  MenuRef window = GetMenuHandle(kWindowMenuID);
  if (!window) return;
  bool full = mainPREFS.FullScreen();
  if (full != IsMenuItemChecked(window, fullScreenItemID)) CheckMenuItem(window, fullScreenItemID, full);
}

SInt16 OpenFile_AE(FSSpec*) { return 0; }

void Menu_Preferences() { MainPrefsDialog(0); }

// ------------------------------------------------------------- video fades

void TintTable(CTabHandle table) {
  if (!table) return;
  for (SInt32 i = 0; i <= (*table)->ctSize && i < kMaxColorEntries; ++i) {
    RGBColor& c = (*table)->ctTable[i].rgb;
    HSVColor hsv;
    RGB2HSV(&c, &hsv);
    hsv.hue = kVioletHue;
    hsv.saturation = 65535;
    hsv.value = UInt16(hsv.value / 2);
    HSV2RGB(&hsv, &c);
  }
}

void VideoFadeOut() {
  BuildTintedTables();
  if (!IsFullScreen()) return;
  HideSystemCursor();
  if (!ScreenIsIndexed()) {
    FadeGammaTable(grayGamma, kFadeSteps);
    FadeGammaColor(&kBlack, kFadeSteps);
  } else {
    FadeScreenTable(grayClut, kFadeSteps);
    FadeScreenColor(&kBlack, kFadeSteps);
  }
}

void VideoFadeIn() {
  if (!grayClut) return;
  BuildTintedTables();
  if (!IsFullScreen()) {
    // No display shows the tables: the fade ends where it would have ended,
    // without waiting on steps nobody sees.
    SetGammaTable(GetOrigGTable());
    return;
  }
  if (!ScreenIsIndexed()) {
    SetGammaColor(&kBlack);
    FadeGammaTable(grayGamma, kFadeSteps);
    FadeGammaTable(GetOrigGTable(), kFadeSteps);
  } else {
    SetScreenColor(&kBlack);
    FadeScreenTable(grayClut, kFadeSteps);
    FadeScreenTable(GetOrigCTable(), kFadeSteps);
  }
}

// -------------------------------------------------------------- start-up

void StartGame_Mac() {
  inputMouseON = false;
  SetupGame();
  GlobalizeMenuBar();
  const Rect& bar = gMenuBarRECT;
  auto startsWithin = [](SInt16 a0, SInt16 b0, SInt16 b1) { return a0 >= b0 && a0 < b1; };
  bool across =
      startsWithin(bar.left, mainRECT.left, mainRECT.right) || startsWithin(mainRECT.left, bar.left, bar.right);
  bool down = startsWithin(bar.top, mainRECT.top, mainRECT.bottom) || startsWithin(mainRECT.top, bar.top, bar.bottom);
  if (across && down) QK_HideMenuBar();
  SoundEchoParams(10000, 50, 0, 0);
  soundECHO = 1;
  windSIZE = Point{SInt16(mainRECT.bottom - mainRECT.top), SInt16(mainRECT.right - mainRECT.left)};
  DisableAllEvents();
  MinBright_GL();
  gamePLAY = 1;
  soundECHO = 0;
  DisposeSound_Game(&waveSND);
  windSIZE = Point{SInt16(mainRECT.bottom - mainRECT.top), SInt16(mainRECT.right - mainRECT.left)};
  inputMouseON = true;
}

void InstallApplicationHooks() {
  APPL.initLocalMenus = InitLocalMenus;
  APPL.updateLocalMenus = UpdateLocalMenus;
  APPL.customEvents = [] { CustomEvents(); };
  APPL.aboutDialog = AboutDialog;
  APPL.videoFadeIn = VideoFadeIn;
  APPL.videoFadeOut = VideoFadeOut;
  // The bar would lie over the ships in play; pause, the menu and the
  // panels bring it back.
  menuBarAllowedProc = [] { return !(gamePLAY && !gamePAUSE && !gameFREEZE); };
  // Shutdown runs it first: the audio device is closed on every way out.
  APPL.shutdown = DisposeAudio;
}
