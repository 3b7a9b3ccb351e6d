#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

#include "ControlTestSupport.h"
#include "foundation/Memory.h"
#include "frontend/ApplicationHooks.h"
#include "frontend/controls/TextFieldGL.h"
#include "frontend/screens/AboutScreen.h"
#include "frontend/screens/PanelScreens.h"
#include "frontend/screens/PauseScreen.h"
#include "game/GameObjects.h"
#include "graphics/ClutFading.h"
#include "graphics/ColorTables.h"
#include "graphics/Display.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageBuffer.h"
#include "graphics/OpenGLFrame.h"
#include "platform/EventPlatform.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformSystem.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "shell/MainPrefs.h"
#include "shell/Menus.h"
#include "shell/Startup.h"
#include "support/FakeClipboard.h"
#include "support/FakeDisplayServices.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeTime.h"
#include "support/GammaChannels.h"
#include "support/RecordingDialogs.h"

namespace {

bool fullScreen = false;
bool FullScreenTest() { return fullScreen; }

// The hooks as the shell calls them, with no display: the fake window's
// content (640 x 480) starts 200 right and 100 down on the screen, so a game
// point (h, v) is the screen point (200 + h, 100 + v).
class ApplicationHooksTest : public ::testing::Test {
 protected:
  ApplicationHooksTest() {
    APPL.gameWidth = 640;
    APPL.gameHeight = 480;
    mainRECT = Rect{0, 0, 480, 640};
    QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(FullScreenTest);
    fullScreen = false;
    theEVENT = EventRecord{};
    gEventREC = &theEVENT;
    applQUIT = 0;
    quitEVENT = prefsEVENT = false;
    menuCLICKED = suspendEVENT = resumeEVENT = closeBoxEVENT = 0;
    gamePLAY = gamePAUSE = gameOVER = gameFREEZE = gameSUSPEND = 0;
    glFADER.SetBright(255);
    pauseSCREEN.loaded = 1;  // its pictures need a display
    mainCURS.visible = mainCURS.obscured = 0;
    cursorVIS = true;
    ResetControlPress();
    InstallApplicationHooks();
  }
  ~ApplicationHooksTest() override {
    for (ScreenGL* s : std::initializer_list<ScreenGL*>{&confirmSCREEN, &pauseSCREEN, &aboutSCREEN})
      if (s->IsOpen()) s->Close();
    QKEL[kQKELIsFullScreen] = nullptr;
    APPL.initLocalMenus = APPL.updateLocalMenus = APPL.customEvents = APPL.aboutDialog = nullptr;
    APPL.videoFadeIn = APPL.videoFadeOut = nullptr;
    APPL.shutdown = nullptr;
    applQUIT = 0;
    quitEVENT = false;
    gamePLAY = gamePAUSE = gameOVER = gameFREEZE = gameSUSPEND = 0;
    for (UInt8& b : mainINPUT) b = 0;
    theEVENT = EventRecord{};
    cursorVIS = true;
    ClearTerminationSignal();
  }
  // The question's buttons, whose pictures are not loaded here.
  static void GiveButtonsASize() {
    for (int i = 0; i < 2; ++i) {
      SetRect2(&confirmSCREEN.buttons[i].bounds, 100 + 200 * i, 200, 60, 30);
      confirmSCREEN.buttons[i].hitRect = confirmSCREEN.buttons[i].bounds;
    }
  }
  void MouseAtGame(SInt16 h, SInt16 v) { platform.mouse = Point{SInt16(100 + v), SInt16(200 + h)}; }

  FakeEventPlatform platform;
  RecordingDialogs dialogs;
  ControlTestRecorders rec;
};

// ------------------------------------------------------------------ quitting

enum Request { kQuitCommand, kCloseBox };

TEST_F(ApplicationHooksTest, QuitRequestsAskOnlyWhileAGameIsInProgress) {
  struct Case {
    const char* name;
    Request request;
    UInt8 playing, paused;
    bool alreadyAsking, signalled;
    UInt8 quits;
    bool asks;
    UInt8 freeze;
  };
  const Case cases[] = {
      {"quit on the title", kQuitCommand, 0, 0, false, false, 1, false, 0},
      {"close box on the title", kCloseBox, 0, 0, false, false, 1, false, 0},
      {"quit in a game", kQuitCommand, 1, 0, false, false, 0, true, 1},
      {"close box in a game", kCloseBox, 1, 0, false, false, 0, true, 1},
      {"quit in a paused game", kQuitCommand, 1, 1, false, false, 0, true, 1},
      {"second quit while asking", kQuitCommand, 1, 0, true, false, 0, true, 1},
      {"second close while asking", kCloseBox, 1, 0, true, false, 0, true, 1},
      {"termination signal in a game", kQuitCommand, 1, 0, false, true, 1, false, 0},
      {"termination signal while asking", kQuitCommand, 1, 0, true, true, 1, true, 1},
  };
  WatchTerminationSignals();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    applQUIT = 0;
    gameFREEZE = 0;
    gameOVER = 0;
    gamePLAY = c.playing;
    gamePAUSE = c.paused;
    if (c.alreadyAsking) ConfirmQuitDialog();
    if (c.signalled) std::raise(SIGTERM);
    if (c.request == kQuitCommand) {
      quitEVENT = true;
      CustomEvents();
    } else {
      closeBoxEVENT = 1;
      CustomEvents();
      closeBoxEVENT = 0;
    }
    EXPECT_FALSE(quitEVENT);
    EXPECT_EQ(applQUIT, c.quits);
    EXPECT_EQ(confirmSCREEN.IsOpen(), c.asks);
    EXPECT_EQ(gameFREEZE, c.freeze);
    if (c.asks) {
      EXPECT_TRUE(confirmSCREEN.IsFront());
      EXPECT_EQ(confirmSCREEN.tag, kConfirmQuit);
      EXPECT_EQ(mainCURS.visible, 1) << "the cursor shows for the answer";
    }
    // Quitting ends the game in progress as it goes.
    EXPECT_EQ(gameOVER, c.quits);
    if (confirmSCREEN.IsOpen()) confirmSCREEN.Close();
    ClearTerminationSignal();
  }
  UnwatchTerminationSignals();
}

TEST_F(ApplicationHooksTest, CancellingTheQuestionLeavesTheGameAndCursorAsTheyWere) {
  struct Case {
    const char* name;
    UInt8 paused;
    UInt8 cursorAfter;
  };
  // Play hides the cursor; a paused game shows it for the pause box.
  const Case cases[] = {{"in play", 0, 0}, {"while paused", 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gamePLAY = 1;
    gamePAUSE = c.paused;
    gameFREEZE = 0;
    mainCURS.visible = c.paused;
    quitEVENT = true;
    CustomEvents();
    ASSERT_TRUE(confirmSCREEN.IsOpen());
    GiveButtonsASize();
    theEVENT = EventRecord{keyDown, UInt32(keycode::kEscape) << 8 | keychar::kEscape, 0, Point{0, 0}, 0};
    confirmSCREEN.Process();
    theEVENT = EventRecord{};
    confirmSCREEN.Process();
    EXPECT_FALSE(confirmSCREEN.IsOpen());
    EXPECT_EQ(gameFREEZE, 0);
    EXPECT_EQ(applQUIT, 0);
    EXPECT_EQ(mainCURS.visible, c.cursorAfter);
    ResetControlPress();
  }
}

TEST_F(ApplicationHooksTest, APreferencesRequestIsSwallowed) {
  prefsEVENT = true;
  EXPECT_EQ(CustomEvents(), 0);
  EXPECT_FALSE(prefsEVENT);
  EXPECT_EQ(applQUIT, 0);
  EXPECT_TRUE(dialogs.Reports().empty());
}

// ----------------------------------------------------------------- suspend

TEST_F(ApplicationHooksTest, LosingTheFocusPausesAGameInPlay) {
  struct Case {
    const char* name;
    UInt8 playing, paused;
    UInt8 pausedAfter;
    bool pauseScreen;
  };
  const Case cases[] = {
      {"in play", 1, 0, 1, true},
      {"already paused", 1, 1, 1, false},
      {"no game", 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gamePLAY = c.playing;
    gamePAUSE = c.paused;
    suspendEVENT = 1;
    EXPECT_EQ(CustomEvents(), 1);
    suspendEVENT = 0;
    EXPECT_EQ(gamePAUSE, c.pausedAfter);
    EXPECT_EQ(pauseSCREEN.IsOpen(), c.pauseScreen);
    EXPECT_EQ(gameSUSPEND, 0);
    if (pauseSCREEN.IsOpen()) pauseSCREEN.Close();
  }
}

// A game that cannot pause at the moment the focus goes (its picture is
// fading between waves) pauses as soon as it can, unless the user is back.
TEST_F(ApplicationHooksTest, AFocusLossDuringAFadePausesWhenTheFadeEnds) {
  struct Case {
    const char* name;
    bool backBeforeFadeEnds;
    UInt8 pausedAfter;
  };
  const Case cases[] = {{"still away", false, 1}, {"back again", true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gamePLAY = 1;
    gamePAUSE = 0;
    glFADER.SetBright(128);
    platform.front = false;
    suspendEVENT = 1;
    CustomEvents();
    suspendEVENT = 0;
    EXPECT_EQ(gamePAUSE, 0);
    PauseSuspendedGame();
    EXPECT_EQ(gamePAUSE, 0) << "still fading";
    if (c.backBeforeFadeEnds) {
      platform.front = true;
      resumeEVENT = 1;
      CustomEvents();
      resumeEVENT = 0;
    }
    glFADER.SetBright(255);
    PauseSuspendedGame();
    EXPECT_EQ(gamePAUSE, c.pausedAfter);
    EXPECT_EQ(gameSUSPEND, 0);
    if (pauseSCREEN.IsOpen()) pauseSCREEN.Close();
    platform.front = true;
  }
}

// ------------------------------------------------------------------ cursor

TEST_F(ApplicationHooksTest, TheDrawnCursorStandsInForTheSystemOneOverThePicture) {
  struct Case {
    const char* name;
    SInt16 h, v;
    bool front, full, menuBar;
    bool inside;
  };
  const Case cases[] = {
      {"middle", 320, 240, true, false, false, true},
      {"top-left pixel", 0, 0, true, false, false, true},
      {"bottom-right pixel", 639, 479, true, false, false, true},
      {"right edge", 640, 240, true, false, false, false},
      {"bottom edge", 320, 480, true, false, false, false},
      {"left of the picture", -1, 240, true, false, false, false},
      {"above the picture", 320, -1, true, false, false, false},
      {"full screen", 320, 240, true, true, false, true},
      {"full screen with the menu bar", 320, 240, true, true, true, false},
      {"window with the menu bar", 320, 240, true, false, true, true},
  };
  ShowCursorGL();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fullScreen = c.full;
    if (c.menuBar)
      QK_ShowMenuBar();
    else
      QK_HideMenuBar();
    // Each case starts from the opposite state, so that a change shows.
    cursorVIS = c.inside;
    platform.cursorShown = c.inside;
    mainCURS.obscured = c.inside;
    MouseAtGame(c.h, c.v);
    HandleCursorGL();
    EXPECT_EQ(cursorVIS, !c.inside);
    EXPECT_EQ(platform.cursorShown, !c.inside);
    EXPECT_EQ(mainCURS.obscured, c.inside ? 0 : 1);
    EXPECT_EQ(mainCURS.position.h, c.h);
    EXPECT_EQ(mainCURS.position.v, c.v);
  }
  QK_ShowMenuBar();
}

TEST_F(ApplicationHooksTest, InTheBackgroundTheCursorIsOnlyObscured) {
  ShowCursorGL();
  cursorVIS = false;
  platform.cursorShown = false;
  platform.front = false;
  MouseAtGame(320, 240);
  HandleCursorGL();
  EXPECT_EQ(mainCURS.obscured, 1);
  EXPECT_FALSE(cursorVIS) << "the system cursor is left alone";
  EXPECT_FALSE(platform.cursorShown);
  // Once obscured, the position stays where the cursor went out of view.
  MouseAtGame(10, 10);
  HandleCursorGL();
  EXPECT_EQ(mainCURS.position.h, 320);
  EXPECT_EQ(mainCURS.position.v, 240);
  platform.front = true;
  HandleCursorGL();
  EXPECT_EQ(mainCURS.obscured, 0);
  EXPECT_EQ(mainCURS.position.h, 10);
}

TEST_F(ApplicationHooksTest, CursorRectanglePutsTheScaledHotSpotOnThePointer) {
  struct Case {
    float scale;
    SInt16 hotV, hotH, width, height, h, v;
    Rect rect;
  };
  const Case cases[] = {
      {0.3f, 4, 4, 64, 64, 100, 50, Rect{48, 98, 48 + 19, 98 + 19}},
      {1.0f, 4, 4, 64, 64, 0, 0, Rect{-4, -4, 60, 60}},
      {0.3f, 4, 4, 64, 64, 639, 479, Rect{477, 637, 477 + 19, 637 + 19}},
      {0.5f, 10, 2, 33, 31, 20, 20, Rect{15, 19, 15 + 15, 19 + 16}},
  };
  ImageGL picture;
  CursorGL cursor;
  cursor.image = &picture;
  for (const Case& c : cases) {
    FakeImage(&picture, c.width, c.height);
    cursor.scale = c.scale;
    cursor.hotV = c.hotV;
    cursor.hotH = c.hotH;
    Point p{c.v, c.h};
    cursor.HandleInput(&p);
    EXPECT_EQ(cursor.rect.left, c.rect.left) << c.h << "," << c.v;
    EXPECT_EQ(cursor.rect.top, c.rect.top);
    EXPECT_EQ(cursor.rect.right, c.rect.right);
    EXPECT_EQ(cursor.rect.bottom, c.rect.bottom);
    EXPECT_EQ(cursor.lastPosition.h, c.h);
  }
}

TEST_F(ApplicationHooksTest, TheCursorIsDrawnOnlyWhileShownAndNotObscured) {
  ImageGL picture;
  FakeImage(&picture, 64, 64);
  CursorGL cursor;
  EXPECT_EQ(cursor.visible, 0) << "hidden until a screen shows it";
  cursor.image = &picture;
  cursor.scale = 0.3f;
  cursor.hotV = cursor.hotH = 4;
  Point p{50, 100};
  cursor.HandleInput(&p);
  struct Step {
    const char* name;
    void (*act)(CursorGL&);
    bool drawn;
  };
  const Step steps[] = {
      {"constructed", [](CursorGL&) {}, false},
      {"shown", [](CursorGL& c) { c.Show(); }, true},
      {"obscured",
       [](CursorGL& c) {
         Point q{1, 2};
         c.Obscure(&q);
       },
       false},
      {"shown again", [](CursorGL& c) { c.Show(); }, true},
      {"hidden", [](CursorGL& c) { c.Hide(); }, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.act(cursor);
    rec.draws.clear();
    cursor.Draw();
    ASSERT_EQ(rec.draws.size(), s.drawn ? 1u : 0u);
    if (s.drawn) {
      EXPECT_EQ(rec.draws[0].image, &picture);
      EXPECT_FLOAT_EQ(rec.draws[0].rect.left, 98.0f);
      EXPECT_FLOAT_EQ(rec.draws[0].rect.top, 48.0f);
      EXPECT_FLOAT_EQ(rec.draws[0].rect.right, 117.0f);
      EXPECT_FLOAT_EQ(rec.draws[0].rect.bottom, 67.0f);
    }
  }
}

// ------------------------------------------------------------------- menus

class MenusTest : public ApplicationHooksTest {
 protected:
  MenusTest() { ClearMenuBar(); }
  ~MenusTest() override {
    ClearMenuBar();
    windowMenuID = 0;
  }
  static std::string Text(MenuRef m, SInt16 item) {
    Str255 t;
    GetMenuItemText(m, item, t);
    return std::string(reinterpret_cast<const char*>(t + 1), t[0]);
  }
};

TEST_F(MenusTest, TheEditMenuComesBeforeTheWindowMenu) {
  InitLocalMenus();
  MenuRef edit = GetMenuHandle(130);
  ASSERT_NE(edit, nullptr);
  struct Item {
    const char* text;
    bool enabled;
    char key;
  };
  const Item items[] = {{"Undo", false, 'Z'}, {"-", false, 0},      {"Cut", true, 'X'},
                        {"Copy", true, 'C'},  {"Paste", true, 'V'}, {"Clear", true, 0}};
  ASSERT_EQ(CountMenuItems(edit), 6);
  for (SInt16 i = 1; i <= 6; ++i) {
    const Item& want = items[i - 1];
    SCOPED_TRACE(want.text);
    EXPECT_EQ(Text(edit, i), want.text);
    EXPECT_EQ(IsMenuItemEnabled(edit, i), want.enabled);
  }
  EXPECT_EQ(MenuKey('v', cmdKey), (130 << 16) | 5);
  EXPECT_EQ(MenuKey('z', cmdKey), 0) << "Undo is disabled";
  EXPECT_NE(GetMenuHandle(131), nullptr);
  EXPECT_EQ(windowMenuID, 131);
  // Without a Preferences item nothing is missing.
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(MenusTest, APreferencesItemIsDisabled) {
  MenuRef apple = NewMenu(kAppleMenuID, reinterpret_cast<const unsigned char*>("\1A"));
  InsertMenu(apple, 0);
  AppendMenu(apple, reinterpret_cast<const unsigned char*>("\14Preferences/,"));
  SetMenuItemCommandID(apple, 1, kHICommandPreferences);
  InitLocalMenus();
  EXPECT_FALSE(IsMenuItemEnabled(apple, 1));
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(MenusTest, TheFullScreenItemIsTickedExactlyInFullScreen) {
  UpdateLocalMenus();  // no Window menu yet: nothing to do
  InitLocalMenus();
  MenuRef window = GetMenuHandle(131);
  ASSERT_NE(window, nullptr);
  for (bool full : {true, true, false, false, true}) {
    mainPREFS.fullScreen = full;
    UpdateLocalMenus();
    EXPECT_EQ(IsMenuItemChecked(window, fullScreenItemID), full);
    EXPECT_FALSE(IsMenuItemChecked(window, 2)) << "the Large item never";
  }
  mainPREFS.fullScreen = false;
}

TEST_F(MenusTest, TheAboutItemOpensTheAboutScreen) {
  HandleMenu(kAppleMenuID, 1);
  EXPECT_TRUE(aboutSCREEN.IsOpen());
  EXPECT_TRUE(aboutSCREEN.IsFront());
}

// ------------------------------------------------------------------- paste

int FixedPitch(const char* text, FT_Face, float) { return 10 * int(std::strlen(text)); }

TEST_F(MenusTest, PasteFromTheEditMenuGoesIntoTheSelectedField) {
  ImageBuffer buffer(1024, 128);
  auto savedMeasure = textFieldMeasure;
  auto savedBuffer = mainGUI.imageBuff;
  textFieldMeasure = FixedPitch;
  mainGUI.imageBuff = &buffer;
  TextFieldGL field;
  field.bounds = Rect{100, 96, 132, 204};
  field.textRect = Rect{100, 100, 132, 200};
  FakeClipboard clipboard;
  struct Case {
    const char* name;
    const char* clipboardText;
    bool readable;
    const char* fieldAfter;
  };
  const Case cases[] = {
      {"plain text", "Ann", true, "xAnn"},
      {"what a name cannot hold is dropped", "A<b>\tc\n", true, "xAbc"},
      {"empty clipboard", "", true, "x"},
      {"unreadable clipboard", "Ann", false, "x"},
  };
  InitLocalMenus();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    field.Select();
    field.text = "x";
    field.caret = 1;
    clipboard.text = c.clipboardText;
    clipboard.readable = c.readable;
    int reads = clipboard.reads;
    dialogs.Clear();
    // Control+V, as the keyboard gives it.
    SInt32 choice = MenuKey('v', cmdKey);
    HandleMenu(SInt16(choice >> 16), SInt16(choice & 0xFFFF));
    EXPECT_EQ(field.text, c.fieldAfter);
    EXPECT_EQ(clipboard.reads, reads + 1);
    // A clipboard that cannot be read is told, once per paste, and the game
    // goes on.
    if (c.readable) {
      EXPECT_TRUE(dialogs.Reports().empty());
    } else {
      ASSERT_EQ(dialogs.Reports().size(), 1u);
      EXPECT_EQ(dialogs.Reports()[0].message, "Couldn't read scrap data.");
      EXPECT_FALSE(dialogs.Reports()[0].fatal);
    }
    EXPECT_EQ(PasteText(), c.readable ? c.clipboardText : "");
  }
  dialogs.Clear();
  // Other Edit items paste nothing.
  field.text = "x";
  clipboard.readable = true;
  HandleMenu(130, 4);
  EXPECT_EQ(field.text, "x");
  selectedCONTROL = nullptr;
  textFieldMeasure = savedMeasure;
  mainGUI.imageBuff = savedBuffer;
}

// ------------------------------------------------------------- video fades

// The violet ramp: red at 55000/65535 of full, no green, full blue.
Channels Violet() {
  Channels c;
  for (int i = 0; i < 256; i++) {
    c[0][i] = float(i) * (55000.0f / 65535.0f) / 255.0f;
    c[1][i] = 0.0f;
    c[2][i] = float(i) / 255.0f;
  }
  return c;
}

// a + (b - a) * k / n, entry by entry.
Channels Between(const Channels& a, const Channels& b, int k, int n) {
  Channels c;
  for (int ch = 0; ch < 3; ++ch)
    for (int i = 0; i < 256; ++i) c[ch][i] = a[ch][i] + (b[ch][i] - a[ch][i]) * float(k) / float(n);
  return c;
}

void ExpectNear(const Channels& seen, const Channels& want, const char* what) {
  for (int ch = 0; ch < 3; ++ch)
    for (int i = 0; i < 256; i += 15) ASSERT_NEAR(seen[ch][i], want[ch][i], 1e-4) << what << " ch " << ch << " i " << i;
}

class VideoFadesTest : public ApplicationHooksTest {
 protected:
  VideoFadesTest() {
    display.AddDisplay(1, {0, 0, 1024, 768}, {FakeDisplayServices::Mode(1, 1024, 768, 32)});
    display.transfer = Ramp();
    mainDEVICE = GetMainDevice();
    APPL.gameWindow = 1;
    InitFading();
    display.sets.clear();
  }
  ~VideoFadesTest() override {
    if (grayClut) DisposeCTable(grayClut);
    if (grayGamma) QKDisposeHandle(reinterpret_cast<Handle>(grayGamma));
    grayClut = nullptr;
    grayGamma = nullptr;
    DisposeFading();
    APPL.gameWindow = 0;
    curGammaCount = 0;
    DisposeDisplays(mainDISPLAY);
    DisposeDisplayAPI();
    mainDEVICE = nullptr;
  }
  UInt32 TicksOf(void (*fade)()) {
    UInt32 start = FakeTime::Ticks();
    fade();
    return FakeTime::Ticks() - start;
  }
  FakeDisplayServices display;
  FakeTime clock{1000};
};

TEST_F(VideoFadesTest, FadeOutGoesThroughVioletToBlackInTwentyFiveStepsEach) {
  fullScreen = true;
  cursorVIS = true;
  UInt32 ticks = TicksOf(VideoFadeOut);
  ASSERT_EQ(display.sets.size(), 50u);
  const Channels start = Ramp(), violet = Violet(), black = Flat(0);
  ExpectNear(Contents(grayGamma), violet, "grayGamma");
  for (int k = 1; k <= 25; ++k) {
    SCOPED_TRACE(k);
    ExpectNear(display.sets[size_t(k - 1)].table, Between(start, violet, k, 25), "to violet");
    ExpectNear(display.sets[size_t(24 + k)].table, Between(violet, black, k, 25), "to black");
  }
  // A tick between steps, none after the last of each stage.
  EXPECT_GE(ticks, 48u);
  EXPECT_LT(ticks, 52u);
  EXPECT_FALSE(cursorVIS) << "the system cursor is hidden for the fade";
  EXPECT_FALSE(platform.cursorShown);
}

TEST_F(VideoFadesTest, FadeInComesUpFromBlackThroughViolet) {
  fullScreen = true;
  VideoFadeOut();
  display.sets.clear();
  UInt32 ticks = TicksOf(VideoFadeIn);
  ASSERT_EQ(display.sets.size(), 51u);
  const Channels start = Ramp(), violet = Violet(), black = Flat(0);
  ExpectNear(display.sets[0].table, black, "set to black");
  for (int k = 1; k <= 25; ++k) {
    SCOPED_TRACE(k);
    ExpectNear(display.sets[size_t(k)].table, Between(black, violet, k, 25), "to violet");
    ExpectNear(display.sets[size_t(25 + k)].table, Between(violet, start, k, 25), "to normal");
  }
  EXPECT_GE(ticks, 48u);
  EXPECT_LT(ticks, 53u);
}

TEST_F(VideoFadesTest, InAWindowTheTablesAreMadeButNothingIsFadedOrAwaited) {
  UInt32 ticks = TicksOf(VideoFadeIn);
  EXPECT_EQ(grayClut, nullptr) << "no fade-in before the first fade-out";
  ticks += TicksOf(VideoFadeOut);
  ASSERT_NE(grayClut, nullptr);
  ASSERT_NE(grayGamma, nullptr);
  ExpectNear(Contents(grayGamma), Violet(), "grayGamma");
  ticks += TicksOf(VideoFadeIn);
  EXPECT_TRUE(display.sets.empty());
  EXPECT_LE(ticks, 1u);
  EXPECT_TRUE(cursorVIS);
  ExpectNear(Contents(currentGAMMA), Ramp(), "the display's table at the end");
}

TEST_F(VideoFadesTest, TheTintedColourTableIsVioletAtHalfTheValue) {
  // Hue 52000 of 65536 lies in the sixth from blue to magenta: blue carries
  // the value, red 0.7607 of it, green nothing.
  struct Case {
    RGBColor in;
    RGBColor out;
  };
  const Case cases[] = {
      {{65535, 65535, 65535}, {24926, 0, 32767}}, {{65535, 0, 0}, {24926, 0, 32767}}, {{0, 0, 0}, {0, 0, 0}},
      {{32768, 16384, 0}, {12463, 0, 16384}},     {{0, 0, 13107}, {4985, 0, 6553}},
  };
  CTabHandle table = nullptr;
  NewCTable(&table);
  ASSERT_NE(table, nullptr);
  for (size_t i = 0; i < std::size(cases); ++i) (*table)->ctTable[i].rgb = cases[i].in;
  TintTable(table);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const RGBColor& c = (*table)->ctTable[i].rgb;
    EXPECT_NEAR(c.red, cases[i].out.red, 2);
    EXPECT_NEAR(c.green, cases[i].out.green, 2);
    EXPECT_NEAR(c.blue, cases[i].out.blue, 2);
  }
  // Every entry of the standard table is turned.
  EXPECT_EQ((*table)->ctSize, 255);
  for (int i = 5; i < 256; ++i) {
    const RGBColor& c = (*table)->ctTable[i].rgb;
    EXPECT_EQ(c.green, 0);
    EXPECT_LE(c.blue, 32768);
    EXPECT_LE(c.red, c.blue);
  }
  DisposeCTable(table);
}

}  // namespace
