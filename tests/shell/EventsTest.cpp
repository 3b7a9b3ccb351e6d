#include "ShellFixture.h"
#include "shell/MainPrefs.h"

namespace {

class EventsTest : public ShellTest {};

TEST_F(EventsTest, EachPlatformEventBecomesOneClassicRecord) {
  struct Case {
    PlatformEvent::Kind kind;
    UInt16 what;
    UInt32 message;
  } cases[] = {
      {PlatformEvent::KeyDown, keyDown, (36u << 8) | 13},
      {PlatformEvent::KeyRepeat, autoKey, (36u << 8) | 13},
      {PlatformEvent::KeyUp, keyUp, (36u << 8) | 13},
      {PlatformEvent::MouseDown, mouseDown, 0},
      {PlatformEvent::MouseUp, mouseUp, 0},
      {PlatformEvent::Suspend, osEvt, 0x01000000},
      {PlatformEvent::Resume, osEvt, 0x01000001},
      {PlatformEvent::CloseBox, mouseDown, 0},
      {PlatformEvent::Update, updateEvt, 0},
      {PlatformEvent::Quit, kHighLevelEvent, kCoreEventClass},
  };
  for (const Case& c : cases) {
    if (c.kind <= PlatformEvent::KeyUp)
      platform.PostKey(c.kind, 36, 13);
    else if (c.kind <= PlatformEvent::MouseUp)
      platform.PostMouse(c.kind, Point{150, 250});
    else
      platform.Post(c.kind);
    EXPECT_EQ(GetEvent(0, nullptr), true) << int(c.kind);
    EXPECT_EQ(theEVENT.what, c.what) << int(c.kind);
    EXPECT_EQ(theEVENT.message, c.message) << int(c.kind);
  }
  EXPECT_FALSE(GetEvent(0, nullptr));
  EXPECT_EQ(theEVENT.what, nullEvent);
}

TEST_F(EventsTest, GetEventFillsAGivenRecordAndLeavesTheCurrentOne) {
  EventRecord other{};
  platform.PostMouse(PlatformEvent::MouseDown, Point{150, 250});
  EXPECT_TRUE(GetEvent(0, &other));
  EXPECT_EQ(other.what, mouseDown);
  EXPECT_EQ(other.where.v, 150);
  EXPECT_EQ(other.where.h, 250);
  EXPECT_EQ(theEVENT.what, nullEvent);
}

TEST_F(EventsTest, MotionIsDrainedAndAtMostOneOtherEventIsTaken) {
  platform.PostMotion(3, 4);
  platform.PostMotion(5, -1);
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  platform.PostMotion(7, 7);
  platform.PostKey(PlatformEvent::KeyUp, 0, 'a');
  EXPECT_TRUE(GetEvent(0, nullptr));
  EXPECT_EQ(theEVENT.what, keyDown);
  EXPECT_EQ(PendingPlatformEvents(), 2);
  Point d = GetMouseDelta();
  EXPECT_EQ(d.h, 8);
  EXPECT_EQ(d.v, 3);
  EXPECT_TRUE(GetEvent(0, nullptr));
  EXPECT_EQ(theEVENT.what, keyUp);
  d = GetMouseDelta();
  EXPECT_EQ(d.h, 7);
  EXPECT_EQ(GetMouseDelta().h, 0);
}

TEST_F(EventsTest, ClearMouseDeltaSkipsTheNextMotionOnly) {
  platform.PostMotion(9, 9);
  ClearMouseDelta();
  EXPECT_EQ(PendingPlatformEvents(), 0);
  platform.PostMotion(4, 5);
  platform.PostMotion(2, 1);
  GetEvent(0, nullptr);
  Point d = GetMouseDelta();
  EXPECT_EQ(d.h, 2);
  EXPECT_EQ(d.v, 1);
}

TEST_F(EventsTest, VirtualMouseFollowsDeltasWithinTheScreen) {
  platform.screen = Rect{0, 0, 768, 1024};
  platform.PostMotion(-50, 30);
  GetEvent(0, nullptr);
  GetMouseDelta();
  EXPECT_EQ(GetVirtualMouse().h, 0);
  EXPECT_EQ(GetVirtualMouse().v, 30);
  platform.PostMotion(2000, 2000);
  GetEvent(0, nullptr);
  GetMouseDelta();
  EXPECT_EQ(GetVirtualMouse().h, 1023);
  EXPECT_EQ(GetVirtualMouse().v, 767);
}

TEST_F(EventsTest, FlushEventsRemovesByClassUpToTheStopClass) {
  auto post = [&] {
    platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
    platform.PostMouse(PlatformEvent::MouseDown, Point{1, 1});
    platform.Post(PlatformEvent::Quit);
    platform.PostKey(PlatformEvent::KeyUp, 0, 'a');
    platform.Post(PlatformEvent::Update);
    platform.PostKey(PlatformEvent::KeyRepeat, 0, 'a');
    platform.Post(PlatformEvent::Resume);
  };
  struct Case {
    UInt16 which, stop;
    std::vector<UInt16> left;
  } cases[] = {
      {mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0, {kHighLevelEvent, updateEvt, osEvt}},
      {keyDownMask, 0, {mouseDown, kHighLevelEvent, keyUp, updateEvt, autoKey, osEvt}},
      {everyEvent, 0, {}},
      {keyDownMask | keyUpMask, updateMask, {mouseDown, kHighLevelEvent, updateEvt, autoKey, osEvt}},
      {everyEvent, keyDownMask, {keyDown, mouseDown, kHighLevelEvent, keyUp, updateEvt, autoKey, osEvt}},
  };
  for (const Case& c : cases) {
    post();
    FlushEvents(c.which, c.stop);
    EXPECT_EQ(Drain(), c.left) << c.which << " until " << c.stop;
    applQUIT = 0;
  }
}

TEST_F(EventsTest, QuitRequestEndsTheLoopUntilAHandlerIsInstalled) {
  platform.Post(PlatformEvent::Quit);
  GetEvent(0, nullptr);
  EXPECT_EQ(applQUIT, 1);

  applQUIT = 0;
  static int handled;
  handled = 0;
  highLevelEventProc = [](EventRecord*) { ++handled; };
  platform.Post(PlatformEvent::Quit);
  GetEvent(0, nullptr);
  highLevelEventProc = nullptr;
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(applQUIT, 0);
}

TEST_F(EventsTest, CloseButtonIsACloseBoxClick) {
  APPL.customEvents = LogCustomEvents;
  APPL.gameWindow = 1;
  platform.Post(PlatformEvent::CloseBox);
  GetEvent(0, nullptr);
  HandleEvents();
  APPL.gameWindow = 0;
  platform.Post(PlatformEvent::CloseBox);
  GetEvent(0, nullptr);
  HandleEvents();
  EXPECT_EQ(log, (std::vector<std::string>{"custom close", "custom"}));
  EXPECT_EQ(closeBoxEVENT, 0);
}

// The maximise button asks for full screen once, whether or not the game
// has captured the events.
TEST_F(EventsTest, TheMaximiseButtonIsTheZoom) {
  static std::vector<SInt16> zooms;
  zooms.clear();
  zoomWindowProc = [](SInt16 part) { zooms.push_back(part); };
  QKEL[kQKELAllEventsEnabled] = reinterpret_cast<QKELProc>(AllEventsEnabled_Displays);
  APPL.gameWindow = 1;
  for (bool captured : {false, true}) {
    allEvents = !captured;
    platform.Post(PlatformEvent::ZoomBox);
    GetEvent(0, nullptr);
    if (AllEventsEnabled()) HandleEvents();
  }
  allEvents = true;
  zoomWindowProc = nullptr;
  EXPECT_EQ(zooms, (std::vector<SInt16>{inZoomOut, inZoomOut}));
}

TEST_F(EventsTest, SuspendAndResumeToggleFrontAndRaiseTheirFlags) {
  static int fullScreenCalls[2];
  fullScreenCalls[0] = fullScreenCalls[1] = 0;
  // As the game window's switch does, the mode asked for is stored into the
  // preference (255 stands for the preference itself).
  QKEL[kQKELFullScreenMode] = reinterpret_cast<QKELProc>(static_cast<FullScreenModeProc>([](unsigned char m) {
    ++fullScreenCalls[m ? 1 : 0];
    if (m != 255) mainPREFS.fullScreen = m != 0;
  }));
  mainPREFS.fullScreen = true;
  InitAllEvents();
  APPL.customEvents = LogCustomEvents;
  APPL.gameWindow = 1;
  cursorVIS = false;
  platform.cursorShown = false;

  platform.Post(PlatformEvent::Suspend);
  GetEvent(0, nullptr);
  HandleEvents();
  EXPECT_FALSE(isFrontProcess);
  EXPECT_EQ(theEVENT.what, osEvt);  // put back after the handler ran
  EXPECT_TRUE(cursorVIS);
  EXPECT_TRUE(platform.cursorShown);
  EXPECT_EQ(fullScreenCalls[0], 1);
  // Leaving full screen while away is not the user's choice of a window.
  EXPECT_TRUE(mainPREFS.fullScreen);

  // In the background only system, high-level and update events go on.
  platform.PostMouse(PlatformEvent::MouseDown, Point{200, 300});
  GetEvent(0, nullptr);
  HandleEvents();

  // The click waiting at the resume brought the window back and is dropped;
  // a key could only have been typed at the window once it was back, and
  // stays.
  platform.Post(PlatformEvent::Resume);
  platform.PostMouse(PlatformEvent::MouseDown, Point{200, 300});
  platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
  platform.PostMouse(PlatformEvent::MouseUp, Point{200, 300});
  platform.Post(PlatformEvent::Update);
  GetEvent(0, nullptr);
  HandleEvents();
  EXPECT_TRUE(isFrontProcess);
  EXPECT_EQ(fullScreenCalls[1], 1);
  EXPECT_EQ(Drain(), (std::vector<UInt16>{keyDown, updateEvt}));

  // A second resume changes nothing.
  platform.Post(PlatformEvent::Resume);
  GetEvent(0, nullptr);
  HandleEvents();
  EXPECT_EQ(log, (std::vector<std::string>{"custom suspend", "custom resume"}));
  mainPREFS = MainPrefs();
}

TEST_F(EventsTest, EventQueriesNormaliseTheirModifierArgument) {
  theEVENT = EventRecord{keyDown, (12u << 8) | 'q', 0, Point{0, 0}, cmdKey | shiftKey};
  SInt32 modifiers = 0;
  EXPECT_EQ(EventKey(nullptr, &modifiers), 12);
  EXPECT_EQ(modifiers, cmdKey | shiftKey);
  EXPECT_TRUE(KeyEvent(-1, 0, nullptr));
  EXPECT_TRUE(KeyEvent(12, -1, nullptr));
  EXPECT_FALSE(KeyEvent(12, 136, nullptr));
  EXPECT_FALSE(ModifierEvent(-1, nullptr));
  EXPECT_FALSE(ModifierEvent(136, nullptr));
  EXPECT_TRUE(AutoKeyEvent(12));
  EXPECT_FALSE(AutoKeyEvent(-1));

  theEVENT = EventRecord{mouseDown, 0, 0, Point{0, 0}, cmdKey};
  EXPECT_TRUE(ButtonEvent(-1));
  EXPECT_TRUE(ButtonEvent(136));
  EXPECT_TRUE(ButtonEvent(8));  // 136 and 8 name the same bit
  EXPECT_FALSE(ButtonEvent(0));
  EXPECT_FALSE(KeyEvent(-1, 0, nullptr));

  theEVENT = EventRecord{};
  EXPECT_TRUE(NullEvent());
  resumeEVENT = 1;
  EXPECT_FALSE(NullEvent());
}

TEST_F(EventsTest, SaveEventEmptiesTheRecordAndRestoreEventBringsItBack) {
  theEVENT = EventRecord{keyDown, 0x3161, 5, Point{1, 2}, cmdKey};
  menuCLICKED = 1;
  SaveEvent();
  EXPECT_EQ(theEVENT.what, nullEvent);
  EXPECT_EQ(theEVENT.where.v, -32768);
  EXPECT_EQ(theEVENT.where.h, -32768);
  EXPECT_EQ(menuCLICKED, 0);
  RestoreEvent();
  EXPECT_EQ(theEVENT.message, 0x3161u);
  EXPECT_EQ(theEVENT.modifiers, cmdKey);
  EXPECT_EQ(menuCLICKED, 1);
}

TEST_F(EventsTest, UpdateEventsFlushTheGameWindow) {
  static WindowRef flushed;
  static Rect seen;
  flushed = nullptr;
  mainWindowProc = [] { return reinterpret_cast<WindowRef>(0x1234); };
  QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(static_cast<FlushToScreenProc>([](WindowRef w) {
    flushed = w;
    WindowRef dummy;
    UpdateEvent(&dummy, &seen);
  }));
  APPL.gameWindow = 1;
  platform.Post(PlatformEvent::Update);
  GetEvent(0, nullptr);
  mainWindowProc = nullptr;
  EXPECT_EQ(flushed, reinterpret_cast<WindowRef>(0x1234));
  EXPECT_EQ(seen.bottom, 480);
  EXPECT_EQ(seen.right, 640);
  WindowRef w;
  Rect r;
  EXPECT_FALSE(UpdateEvent(&w, &r));
}

}  // namespace

namespace {

TEST_F(EventsTest, EventRecordStackSavesTheQueriedRecord) {
  EventRecord other{keyDown, 12u << 8, 0, Point{0, 0}, 0};
  PushEventRecord();
  gEventREC = &other;
  EXPECT_TRUE(KeyEvent(12, -1, nullptr));
  PopEventRecord();
  EXPECT_EQ(gEventREC, &theEVENT);

  try {
    PopEventRecord();
    ADD_FAILURE() << "popped an empty stack";
  } catch (const FatalReport& report) {
    EXPECT_EQ(report.message, "EventRec stack is empty!");
    EXPECT_EQ(report.detail, "PopPort()");
  }
  for (int i = 0; i < 128; ++i) PushEventRecord();
  try {
    PushEventRecord();
    ADD_FAILURE() << "pushed a 129th record";
  } catch (const FatalReport& report) {
    EXPECT_EQ(report.message, "EventRec stack is full!");
  }
  for (int i = 0; i < 128; ++i) PopEventRecord();
  EXPECT_EQ(gEventREC, &theEVENT);
}

}  // namespace
