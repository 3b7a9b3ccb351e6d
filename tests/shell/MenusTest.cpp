#include "ShellFixture.h"
#include "shell/AppleEvents.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Menus.h"
#include "support/ScriptedDialogPresenter.h"

namespace {

std::string ItemText(MenuRef menu, SInt16 item) {
  Str255 text;
  GetMenuItemText(menu, item, text);
  return std::string((char*)text + 1, text[0]);
}

// The game's own menus, as its local-menus hook adds them.
void GameMenus() {
  MenuRef edit = NewMenu(130, (const unsigned char*)"\4Edit");
  AppendMenu(edit, (const unsigned char*)"\45(Undo/Z;(-;Cut/X;Copy/C;Paste/V;Clear");
  InsertMenu(edit, 0);
  InsertWindowMenu(131);
}

class MenusTest : public ShellTest {
 protected:
  MenusTest() {
    ClearMenuBar();
    fullScreen = false;
    calls.clear();
    APPL.SetName("Halvane", "Halvane");
    APPL.initLocalMenus = GameMenus;
    QKEL[kQKELIsFullScreen] = reinterpret_cast<QKELProc>(static_cast<IsFullScreenProc>([] { return fullScreen; }));
    QKEL[kQKELFullScreenMode] = reinterpret_cast<QKELProc>(static_cast<FullScreenModeProc>(
        [](unsigned char mode) { calls.push_back("full screen " + std::to_string(mode)); }));
    setWindowSizeProc = [](Point size) {
      calls.push_back("size " + std::to_string(size.h) + "x" + std::to_string(size.v));
    };
    adjustWindowSizeProc = [] { calls.push_back("adjust"); };
    APPL.customEvents = [] {
      calls.push_back(fullScreenEVENT ? "custom full" : "custom");
      // What the game does with a quit request while no game is in play.
      if (quitEVENT) {
        quitEVENT = false;
        applQUIT = 1;
      }
    };
  }
  ~MenusTest() override {
    MenuTrackCancel();
    QK_ShowMenuBar();
    ClearMenuBar();
    for (UInt32 c : {kAEOpenApplication, kAEPrintDocuments, kAEQuitApplicationID, kAEShowPreferences})
      AERemoveEventHandler(kAECoreEventClass, c);
    AERemoveEventHandler(kInternetEventClass, kAEGetURL);
    AERemoveEventHandler(kSimpleEventClass, kSimpleEventID);
  }

  static inline bool fullScreen;
  static inline std::vector<std::string> calls;
};

TEST_F(MenusTest, InitMenuBarBuildsTheAppleMenuAndTheGameMenus) {
  InitMenuBar(0);
  MenuRef apple = GetMenuHandle(kAppleMenuID);
  ASSERT_NE(apple, nullptr);
  EXPECT_EQ(ItemText(apple, 1), "About Halvane\xC9");
  MenuRef menu;
  SInt16 item;
  ASSERT_EQ(GetIndMenuItemWithCommandID(nullptr, kHICommandPreferences, 1, &menu, &item), noErr);
  EXPECT_EQ(menu, apple);
  EXPECT_FALSE(IsMenuItemEnabled(apple, item));
  ASSERT_EQ(GetIndMenuItemWithCommandID(nullptr, kHICommandQuit, 1, &menu, &item), noErr);
  EXPECT_EQ(ItemText(apple, item), "Quit Halvane");
  EXPECT_EQ(GetIndMenuItemWithCommandID(nullptr, FOUR_CHAR('n', 'o', 'n', 'e'), 1, &menu, &item), menuItemNotFoundErr);

  MenuRef window = GetMenuHandle(131);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(CountMenuItems(window), 4);
  EXPECT_EQ(ItemText(window, 4), "Full Screen");
  EXPECT_FALSE(IsMenuItemChecked(window, 4));
  EXPECT_EQ(CountMenuItems(GetMenuHandle(130)), 6);
  EXPECT_EQ(FreeMenuID(), 129);
  EXPECT_EQ(menuBarHeight, kMenuBarHeight);
  EXPECT_TRUE(menuBarINIT);
}

// The capture turns the system commands off while a game plays; its release
// turns back on only those that were on: Preferences, which the game
// ignores, stays off for good.
TEST_F(MenusTest, ReleasingTheCaptureLeavesADisabledCommandDisabled) {
  InitMenuBar(0);
  auto enabled = [](UInt32 command) {
    MenuRef menu = nullptr;
    SInt16 item = 0;
    EXPECT_EQ(GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &item), noErr);
    return menu && IsMenuItemEnabled(menu, item);
  };
  ASSERT_FALSE(enabled(kHICommandPreferences));
  for (int round = 0; round < 2; ++round) {
    CaptureMenus(true);
    EXPECT_FALSE(enabled(kHICommandPreferences)) << round;
    EXPECT_FALSE(enabled(kHICommandQuit)) << round;
    CaptureMenus(false);
    EXPECT_FALSE(enabled(kHICommandPreferences)) << "round " << round;
    EXPECT_TRUE(enabled(kHICommandQuit)) << round;
    EXPECT_TRUE(enabled(kHICommandHide)) << round;
  }
}

TEST_F(MenusTest, CommandKeysReachTheirItems) {
  InitMenuBar(0);
  SInt16 quitItem = FindMenuItemByText(GetMenuHandle(kAppleMenuID), (const unsigned char*)"\14Quit Halvane", 1);
  struct Case {
    char key;
    UInt16 modifiers;
    SInt32 choice;
  } cases[] = {
      {'q', cmdKey, kAppleMenuID << 16 | quitItem},
      {'Q', cmdKey, kAppleMenuID << 16 | quitItem},
      {'q', 0, 0},                  // no Command (Ctrl)
      {'q', cmdKey | shiftKey, 0},  // modifiers must match exactly
      {'1', cmdKey, 131 << 16 | 1},
      {'2', cmdKey, 131 << 16 | 2},
      {'f', cmdKey, 131 << 16 | 4},
      {'v', cmdKey, 130 << 16 | 5},
      {'z', cmdKey, 0},  // Undo is disabled
      {',', cmdKey, 0},  // so are the preferences
      {'h', cmdKey | optionKey, kAppleMenuID << 16 | (quitItem - 2)},
  };
  for (const Case& c : cases) EXPECT_EQ(MenuKey(c.key, c.modifiers), c.choice) << c.key << " " << c.modifiers;
}

TEST_F(MenusTest, CtrlQAndTheSystemsQuitRequestEndTheMainLoop) {
  InitAppleEvents();
  InitMenuBar(0);
  platform.SetKey(55, true);  // Ctrl
  platform.PostKey(PlatformEvent::KeyDown, 12, 'q');
  while (!applQUIT && PendingPlatformEvents()) {
    GetEvent(0, nullptr);
    HandleEvents();
  }
  EXPECT_EQ(applQUIT, 1);
  EXPECT_EQ(menuCLICKED, 0);

  applQUIT = 0;
  platform.Post(PlatformEvent::Quit);  // a signal or the session ending
  GetEvent(0, nullptr);
  EXPECT_TRUE(quitEVENT);
  HandleEvents();
  EXPECT_EQ(applQUIT, 1);
}

TEST_F(MenusTest, WindowMenuSizesAndFullScreen) {
  struct Case {
    bool gameWindow, fullScreen;
    SInt16 item;
    std::vector<std::string> calls;
  } cases[] = {
      {true, false, 2, {"size 1024x768", "adjust", "custom"}},
      {true, true, 2, {"size 1024x768", "full screen 0", "custom"}},
      {true, true, 1, {"size 640x480", "full screen 0", "custom"}},
      {true, false, 4, {"full screen 1", "custom full", "custom"}},
      {true, true, 4, {"full screen 0", "custom full", "custom"}},
      {false, false, 4, {"custom"}},
  };
  InitMenuBar(0);
  for (const Case& c : cases) {
    APPL.gameWindow = c.gameWindow;
    fullScreen = c.fullScreen;
    calls.clear();
    HandleMenu(131, c.item);
    EXPECT_EQ(calls, c.calls) << c.item;
    EXPECT_EQ(theMENU, 131);
    EXPECT_EQ(theITEM, c.item);
  }
}

// Bar coordinates with every character 7 pixels wide: the titles "Halvane"
// (8 to 77), "Edit" (77 to 125) and "Window" (125 to 187); the application
// menu's items About 26-46 (the frame above it, 22-26, counting as About), a
// line, Preferences (disabled) 56-76, ...; the Window menu's Small 26-46 and
// Large 46-66.
TEST_F(MenusTest, PressesAndReleasesOnTheBarChooseItems) {
  InitMenuBar(0);
  const Point appTitle{10, 20}, editTitle{10, 90}, windowTitle{10, 130}, about{36, 30}, line{50, 30}, prefs{66, 30},
      large{56, 140}, outside{300, 400}, aboveAbout{22, 30}, aboveSmall{25, 140};
  struct Step {
    bool down;
    Point at;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    SInt32 choice;
    SInt16 stillDown;
  } cases[] = {
      {"click on the title, then on the item",
       {{1, appTitle}, {0, appTitle}, {1, about}, {0, about}},
       128 << 16 | 1,
       0},
      {"drag from the title to the item", {{1, windowTitle}, {0, large}}, 131 << 16 | 2, 0},
      {"a click on the title leaves the menu down", {{1, windowTitle}, {0, windowTitle}}, 0, 131},
      {"a second click on the title takes it away", {{1, windowTitle}, {0, windowTitle}, {1, windowTitle}}, 0, 0},
      {"a click in the frame above the first item chooses it",
       {{1, appTitle}, {0, appTitle}, {1, aboveAbout}, {0, aboveAbout}},
       128 << 16 | 1,
       0},
      {"a drag from the title into that frame", {{1, windowTitle}, {0, aboveSmall}}, 131 << 16 | 1, 0},
      {"a disabled item chooses nothing", {{1, appTitle}, {0, prefs}}, 0, 0},
      {"a line chooses nothing", {{1, appTitle}, {0, appTitle}, {1, line}, {0, line}}, 0, 0},
      {"a press elsewhere takes the menu away", {{1, appTitle}, {0, appTitle}, {1, outside}, {0, outside}}, 0, 0},
      {"a drag let go elsewhere", {{1, appTitle}, {0, outside}}, 0, 0},
      {"a drag over to another title", {{1, appTitle}, {0, editTitle}}, 0, 0},
  };
  for (const Case& c : cases) {
    MenuTrackCancel();
    SInt32 choice = 0;
    for (const Step& s : c.steps) {
      if (s.down)
        EXPECT_TRUE(MenuTrackDown(s.at)) << c.name;
      else if (SInt32 chosen = MenuTrackUp(s.at))
        choice = chosen;
    }
    EXPECT_EQ(choice, c.choice) << c.name;
    EXPECT_EQ(MenuTracking().openMenu, c.stillDown) << c.name;
  }
  MenuTrackCancel();
  EXPECT_FALSE(MenuTrackDown(outside)) << "with no menu down a press below the bar is the game's";
}

TEST_F(MenusTest, ThePointerPullsMenusDownAndLightsItsItem) {
  InitMenuBar(0);
  ASSERT_TRUE(MenuTrackDown(Point{10, 20}));
  MenuTrackUp(Point{10, 20});
  EXPECT_EQ(HilitedMenu(), kAppleMenuID);
  MenuTrackMove(Point{36, 30});
  EXPECT_EQ(MenuTracking().hotItem, 1);
  MenuTrackMove(Point{23, 30});  // the frame between the bar and About lights About
  EXPECT_EQ(MenuTracking().hotItem, 1);
  MenuTrackMove(Point{66, 30});  // Preferences is disabled
  EXPECT_EQ(MenuTracking().hotItem, 0);
  MenuTrackMove(Point{10, 130});
  EXPECT_EQ(MenuTracking().openMenu, 131);
  EXPECT_EQ(HilitedMenu(), 131);
  MenuTrackMove(Point{56, 140});
  EXPECT_EQ(MenuTracking().hotItem, 2);

  // The release chooses through HandleMenu, which puts the title out.
  calls.clear();
  APPL.gameWindow = 1;
  fullScreen = false;
  ASSERT_TRUE(MenuTrackDown(Point{56, 140}));
  MenuBarMouseUp(Point{SInt16(menuBarRECT.top + 56), SInt16(menuBarRECT.left + 140)});
  EXPECT_EQ(calls, (std::vector<std::string>{"size 1024x768", "adjust", "custom"}));
  EXPECT_EQ(HilitedMenu(), 0);
  EXPECT_EQ(MenuTracking().openMenu, 0);
}

TEST_F(MenusTest, TheBarShowsTitlesItemsAndTheirKeys) {
  InitMenuBar(0);
  std::vector<std::string> titles;
  for (MenuRef m : MenuBarShownMenus()) titles.push_back(MenuTitleText(m));
  EXPECT_EQ(titles, (std::vector<std::string>{"Halvane", "Edit", "Window"}));
  MenuRef apple = GetMenuHandle(kAppleMenuID);
  EXPECT_EQ(MenuDisplayText(apple->items[0].text), "About Halvane...");
  struct Case {
    SInt16 menu, item;
    std::string keys;
  } cases[] = {{kAppleMenuID, 1, ""},
               {kAppleMenuID, 5, "Ctrl+H"},
               {kAppleMenuID, 6, "Ctrl+Alt+H"},
               {kAppleMenuID, 8, "Ctrl+Q"},
               {131, 4, "Ctrl+F"}};
  for (const Case& c : cases)
    EXPECT_EQ(MenuKeyText(GetMenuHandle(c.menu)->items[size_t(c.item - 1)]), c.keys) << c.menu << "/" << c.item;
  // The capture's own menu has no title and no place on the bar.
  CaptureMenus(true);
  EXPECT_EQ(MenuBarShownMenus().size(), 3u);
  CaptureMenus(false);
}

// The fake window's content is (100, 200) to (580, 840) on the screen: the
// bar is its top 22 rows.
TEST_F(MenusTest, TheBarShowsUnderThePointerAndItsHidingAsksForTheGameAgain) {
  static std::vector<std::string> seen;
  seen.clear();
  InitMenuBar(0);
  mainWindowProc = [] { return reinterpret_cast<WindowRef>(0x1234); };
  APPL.gameWindow = 1;
  APPL.gameWidth = 640;
  APPL.gameHeight = 480;
  APPL.customEvents = [] {
    WindowRef w;
    Rect r;
    if (UpdateEvent(&w, &r))
      seen.push_back("update " + std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) +
                     "," + std::to_string(r.right));
  };
  APPL.aboutDialog = [] { seen.push_back("about"); };
  auto step = [] {
    GetEvent(0, nullptr);
    HandleEvents();
  };
  const Point away{300, 300}, onBar{105, 300}, onAppTitle{110, 220}, onAbout{136, 240};
  // A click on the application's title pulls its menu down.
  auto clickAppTitle = [&] {
    platform.PostMouse(PlatformEvent::MouseDown, onAppTitle);
    step();
    platform.PostMouse(PlatformEvent::MouseUp, onAppTitle);
    step();
  };

  platform.mouse = away;
  step();
  EXPECT_FALSE(IsMenuBarVisible());
  seen.clear();
  platform.mouse = onBar;
  step();
  EXPECT_TRUE(IsMenuBarVisible());
  WindowRef window;
  EXPECT_EQ(FindWindow(onBar, &window), inMenuBar);
  EXPECT_EQ(FindWindow(away, &window), inContent);
  platform.mouse = away;
  step();
  EXPECT_FALSE(IsMenuBarVisible());
  EXPECT_EQ(seen, (std::vector<std::string>{"update 0,0,480,640"}));

  // Pulled down, the menu keeps the bar while the pointer is below it, and a
  // click there reaches the item, not the game.
  seen.clear();
  platform.mouse = onBar;
  step();
  clickAppTitle();
  EXPECT_EQ(MenuTracking().openMenu, kAppleMenuID);
  platform.PostMouse(PlatformEvent::MouseDown, onAbout);
  step();
  EXPECT_TRUE(IsMenuBarVisible());
  SInt16 h, v;
  EXPECT_FALSE(ClickEvent(&h, &v));
  UserInput input;
  GetUserInput(&input);
  EXPECT_FALSE(input.down) << "the button held on a menu is not the game's";
  platform.PostMouse(PlatformEvent::MouseUp, onAbout);
  step();
  EXPECT_EQ(seen, (std::vector<std::string>{"about"}));
  EXPECT_EQ(MenuTracking().openMenu, 0);

  // A key takes a menu away.
  clickAppTitle();
  ASSERT_EQ(MenuTracking().openMenu, kAppleMenuID);
  platform.PostKey(PlatformEvent::KeyDown, 53, 27);
  step();
  EXPECT_EQ(MenuTracking().openMenu, 0);
  EXPECT_EQ(HilitedMenu(), 0);

  // The capture keeps the bar away.
  platform.mouse = away;
  step();
  allEvents = false;
  platform.mouse = onBar;
  step();
  EXPECT_FALSE(IsMenuBarVisible());
  allEvents = true;

  // While the application bars it (a game in play), the bar neither comes
  // under the pointer nor stays, and a pulled-down menu goes with it.
  static bool allowed;
  allowed = true;
  menuBarAllowedProc = [] { return allowed; };
  platform.mouse = onBar;
  step();
  clickAppTitle();
  ASSERT_EQ(MenuTracking().openMenu, kAppleMenuID);
  allowed = false;
  step();
  EXPECT_FALSE(IsMenuBarVisible()) << "a barred bar stays";
  EXPECT_EQ(MenuTracking().openMenu, 0);
  step();
  EXPECT_FALSE(IsMenuBarVisible()) << "a barred bar came under the pointer";
  EXPECT_EQ(FindWindow(onBar, &window), inContent);
  allowed = true;
  step();
  EXPECT_TRUE(IsMenuBarVisible()) << "the bar is back once allowed";
  menuBarAllowedProc = nullptr;
  mainWindowProc = nullptr;
}

TEST_F(MenusTest, HideMinimisesTheWindow) {
  InitMenuBar(0);
  static int minimised;
  minimised = 0;
  minimiseWindowProc = [] { ++minimised; };
  SInt16 item = 0;
  MenuRef menu = nullptr;
  ASSERT_EQ(GetIndMenuItemWithCommandID(nullptr, kHICommandHide, 1, &menu, &item), noErr);
  HandleMenu(kAppleMenuID, item);
  EXPECT_EQ(minimised, 1);
  minimiseWindowProc = nullptr;
}

TEST_F(MenusTest, TheCaptureDisablesTheMenusAndPutsThemBack) {
  InitMenuBar(0);
  InitAllEvents();
  DisableMenuItem(GetMenuHandle(130), 0);
  MenuRef apple = GetMenuHandle(kAppleMenuID);
  SInt16 appleItems = CountMenuItems(apple);
  DisableAllEvents();
  DisableAllEvents();
  EXPECT_FALSE(IsMenuItemEnabled(GetMenuHandle(131), 0));
  EXPECT_EQ(MenuKey('q', cmdKey), 0);
  EXPECT_NE(GetMenuHandle(1000), nullptr);
  EXPECT_EQ(MenuKey('q', cmdKey | shiftKey), 1000 << 16 | 1);  // swallowed
  EnableAllEvents();
  EXPECT_TRUE(IsMenuItemEnabled(GetMenuHandle(131), 0));
  EXPECT_FALSE(IsMenuItemEnabled(GetMenuHandle(130), 0));  // disabled before, disabled after
  EXPECT_EQ(GetMenuHandle(1000), nullptr);
  EXPECT_EQ(CountMenuItems(apple), appleItems);
  EXPECT_NE(MenuKey('q', cmdKey), 0);
}

TEST_F(MenusTest, ItemsByTextAlphabeticAndCopied) {
  MenuRef menu = NewMenu(140, (const unsigned char*)"\1M");
  AppendMenu(menu, (const unsigned char*)"\5a;b;a");
  EXPECT_EQ(FindMenuItemByText(menu, (const unsigned char*)"\1a", 1), 1);
  EXPECT_EQ(FindMenuItemByText(menu, (const unsigned char*)"\1a", 2), 3);
  EXPECT_EQ(FindMenuItemByText(menu, (const unsigned char*)"\1a", 4), -1);
  EXPECT_EQ(FindMenuItemByText(menu, (const unsigned char*)"\1A", 1), -1);
  EXPECT_EQ(CheckMenuItemByText(menu, (const unsigned char*)"\1b", 1, 1), 2);
  EXPECT_TRUE(IsMenuItemChecked(menu, 2));
  EXPECT_EQ(DisableMenuItemByText(menu, (const unsigned char*)"\1c", 1), -1);

  MenuRef sorted = NewMenu(141, (const unsigned char*)"\1S");
  BuildMenuAlphabetic(sorted, {});
  EXPECT_EQ(CountMenuItems(sorted), 0);
  BuildMenuAlphabetic(sorted, {(const unsigned char*)"\1b", (const unsigned char*)"\1A", (const unsigned char*)"\1a",
                               (const unsigned char*)"\2ab", (const unsigned char*)"\1c"});
  std::vector<std::string> order;
  for (SInt16 i = 1; i <= CountMenuItems(sorted); ++i) order.push_back(ItemText(sorted, i));
  EXPECT_EQ(order, (std::vector<std::string>{"A", "a", "ab", "b", "c"}));

  MenuRef target = NewMenu(142, (const unsigned char*)"\1T");
  AppendMenu(target, (const unsigned char*)"\3x;y");
  AddMenuItems(menu, &target);
  order.clear();
  for (SInt16 i = 1; i <= CountMenuItems(target); ++i) order.push_back(ItemText(target, i));
  EXPECT_EQ(order, (std::vector<std::string>{"x", "a", "b", "a", "y"}));
  for (MenuRef m : {menu, sorted, target}) DisposeMenu(m);
}

TEST_F(MenusTest, AppleEventHandlersRaiseFlagsAndChain) {
  static SInt32 earlierRefCon;
  AEInstallEventHandler(
      kAECoreEventClass, kAEQuitApplicationID,
      [](const AppleEvent*, AppleEvent*, SInt32 refCon) -> OSErr {
        earlierRefCon = refCon;
        return -42;
      },
      77);
  InitAppleEvents();
  AppleEvent quit{kAECoreEventClass, kAEQuitApplicationID, false, {}, {}, {}};
  EXPECT_EQ(AEProcessAppleEvent(&quit), -42);  // the earlier handler's answer
  EXPECT_TRUE(quitEVENT);
  EXPECT_EQ(earlierRefCon, 77);

  struct Case {
    UInt32 eventClass, eventID;
    OSErr result;
  } cases[] = {
      {kAECoreEventClass, kAEOpenApplication, noErr},
      {kAECoreEventClass, kAEPrintDocuments, errAEEventNotHandled},
      {kAECoreEventClass, kAEShowPreferences, noErr},
      {kInternetEventClass, kAEGetURL, errAEDescNotFound},  // no list: an error, not the end
      {FOUR_CHAR('x', 'x', 'x', 'x'), kAEGetURL, errAEEventNotHandled},
  };
  for (const Case& c : cases) {
    AppleEvent e{c.eventClass, c.eventID, false, {}, {}, {}};
    EXPECT_EQ(AEProcessAppleEvent(&e), c.result);
  }
  EXPECT_TRUE(prefsEVENT);
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(MenusTest, GetURLHandsEachItemToTheHookCutToItsBuffer) {
  static std::vector<std::string> urls;
  urls.clear();
  APPL.aeGetURL = [](const char* url) { urls.push_back(url); };
  InitAppleEvents();
  AppleEvent e{kInternetEventClass, kAEGetURL, true, {"https://example.org/a", std::string(1100, 'u')}, {}, {}};
  EXPECT_EQ(AEProcessAppleEvent(&e), noErr);
  ASSERT_EQ(urls.size(), 2u);
  EXPECT_EQ(urls[0], "https://example.org/a");
  EXPECT_EQ(urls[1], std::string(1099, 'u'));
}

TEST_F(MenusTest, TheScriptEventShowsItsAlert) {
  InitAppleEvents();
  AppleEvent e{kSimpleEventClass, kSimpleEventID, false, {}, {}, {}};
  EXPECT_EQ(AEProcessAppleEvent(&e), noErr);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].kind, DialogReport::Alert);
  EventRecord null{};
  SInt32 sleep = 5;
  EXPECT_FALSE(idleProc(&null, &sleep, nullptr));
  EXPECT_EQ(sleep, 0);
}

}  // namespace
