// The SDL event platform under a real X server: events pushed into SDL's
// queue come back through GetEvent as the engine's event records, and the
// key and button state follow them.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/SDLEventPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "support/DisplayCheck.h"
#include "support/Poll.h"

namespace {

class SDLEventPump : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEventPlatform(&SDLPlatform());
    // Hidden, so that the X server's own focus changes (other tests' windows
    // come and go under the pointer) never reach it: the tests push their own.
    window_ =
        SDL_CreateWindow("Halvane events", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_HIDDEN);
    if (!window_) {
      ReportNoDisplay(std::string("no window: ") + SDL_GetError());
      return;
    }
    SetSDLEventWindow(PlatformWindowOfSDL(window_));
    // Let the window system's own events (exposure, focus, motion) go by:
    // pump until a few rounds in a row bring none.
    int quiet = 0;
    PollUntil([&] { return (quiet = GetEvent(0, nullptr) ? 0 : quiet + 1) >= 10; });
    FlushEvents(everyEvent, 0);
    FlushKeyState();
    id_ = SDL_GetWindowID(window_);
  }

  void TearDown() override {
    SetSDLEventWindow(nullptr);
    if (window_) SDL_DestroyWindow(window_);
    APPL = ApplInfo();
  }

  void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }

  void PushKey(Uint32 type, SDL_Scancode scancode) {
    SDL_Event e{};
    e.key.type = type;
    e.key.windowID = id_;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    Push(e);
  }

  void PushButton(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.button.type = type;
    e.button.windowID = id_;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    Push(e);
  }

  void PushWindowEvent(Uint8 event) {
    SDL_Event e{};
    e.window.type = SDL_WINDOWEVENT;
    e.window.windowID = id_;
    e.window.event = event;
    Push(e);
  }

  // Pumps until an event of the class arrives (or the poll gives up); other
  // events the X server sends meanwhile are passed over.
  bool Expect(UInt16 what) {
    return PollUntil([&] { return GetEvent(0, nullptr) && theEVENT.what == what; });
  }

  // Pumps for longer than a focus loss takes to count as a suspend; answers
  // whether a suspend or resume came.
  bool SuspendOrResumeWithin(Uint32 ms) {
    bool seen = false;
    const Uint64 until = SDL_GetTicks64() + ms;
    do {
      if (GetEvent(0, nullptr) && theEVENT.what == osEvt) seen = true;
      SDL_Delay(1);
    } while (SDL_GetTicks64() < until);
    return seen;
  }

  SDL_Window* window_ = nullptr;
  Uint32 id_ = 0;
};

TEST_F(SDLEventPump, KeysComeBackAsKeyEventsWithOurCodes) {
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LCTRL);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_A);
  ASSERT_TRUE(Expect(keyDown));
  EXPECT_EQ(theEVENT.message, (0u << 8) | 'a');
  EXPECT_EQ(theEVENT.modifiers, cmdKey);
  EXPECT_TRUE(KeyDown(0));
  EXPECT_TRUE(KeyDown(136));
  EXPECT_TRUE(KeyState(0));

  PushKey(SDL_KEYUP, SDL_SCANCODE_A);
  PushKey(SDL_KEYUP, SDL_SCANCODE_LCTRL);
  ASSERT_TRUE(Expect(keyUp));
  GetEvent(0, nullptr);
  EXPECT_FALSE(KeyDown(0));
  EXPECT_FALSE(KeyDown(136));
  EXPECT_FALSE(KeyState(0));

  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
  ASSERT_TRUE(Expect(keyDown));
  EXPECT_EQ(theEVENT.message, (36u << 8) | 13);
  PushKey(SDL_KEYUP, SDL_SCANCODE_RETURN);
  ASSERT_TRUE(Expect(keyUp));
}

TEST_F(SDLEventPump, MouseButtonAndMotionComeBackInGlobalCoordinates) {
  int wx, wy;
  SDL_GetWindowPosition(window_, &wx, &wy);
  PushButton(SDL_MOUSEBUTTONDOWN, 10, 20);
  ASSERT_TRUE(Expect(mouseDown));
  EXPECT_EQ(theEVENT.where.h, wx + 10);
  EXPECT_EQ(theEVENT.where.v, wy + 20);
  EXPECT_TRUE(Button());
  SInt16 h, v;
  EXPECT_TRUE(ClickEvent(&h, &v));
  EXPECT_EQ(h, 10);
  EXPECT_EQ(v, 20);
  PushButton(SDL_MOUSEBUTTONUP, 10, 20);
  ASSERT_TRUE(Expect(mouseUp));
  EXPECT_FALSE(Button());
  EXPECT_TRUE(GetMouseState());
  EXPECT_FALSE(GetMouseState());

  GetMouseDelta();
  SDL_Event e{};
  e.motion.type = SDL_MOUSEMOTION;
  e.motion.windowID = id_;
  e.motion.x = 30;
  e.motion.y = 40;
  e.motion.xrel = 7;
  e.motion.yrel = -3;
  Push(e);
  GetEvent(0, nullptr);
  Point d = GetMouseDelta();
  EXPECT_EQ(d.h, 7);
  EXPECT_EQ(d.v, -3);
}

TEST_F(SDLEventPump, CloseButtonFocusAndQuit) {
  static int closes;
  closes = 0;
  APPL.gameWindow = 1;
  APPL.customEvents = [] { closes += closeBoxEVENT; };
  // Clicks count only in the front process; a late focus change from the
  // X server must not decide the outcome.
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  ASSERT_TRUE(Expect(mouseDown));
  HandleEvents();
  EXPECT_EQ(closes, 1);

  // A loss that lasts is a suspend, once it has lasted a moment.
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  GetEvent(0, nullptr);
  EXPECT_TRUE(IsFrontProcess());
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000000u);
  EXPECT_FALSE(IsFrontProcess());
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000001u);
  EXPECT_TRUE(IsFrontProcess());

  applQUIT = 0;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  ASSERT_TRUE(Expect(kHighLevelEvent));
  EXPECT_EQ(applQUIT, 1);
  applQUIT = 0;
}

// The window manager passes the focus around when a window is mapped or goes
// full screen, and the program's own hiding of its window takes the focus
// away until the window shows again: neither is the user leaving.
TEST_F(SDLEventPump, PassingFocusLossesAreNoSuspend) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));

  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_FALSE(SuspendOrResumeWithin(600)) << "a loss taken back at once";
  EXPECT_TRUE(IsFrontProcess());

  NoteWindowHiddenByProgram(PlatformWindowOfSDL(window_));
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_FALSE(SuspendOrResumeWithin(600)) << "the program's own hiding";
  EXPECT_TRUE(IsFrontProcess());
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_FALSE(SuspendOrResumeWithin(50)) << "the focus coming back after the program's hiding";

  // A hide that takes no focus away: the next loss is the user's.
  NoteWindowHiddenByProgram(PlatformWindowOfSDL(window_));
  GetEvent(0, nullptr);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000000u);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000001u);

  // Afterwards a real loss is a suspend again.
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000000u);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000001u);
}

// A key reaches only the focused window: typed at the window while the
// program counts itself away, it brings the program back before it is
// taken, and the focus event that follows changes nothing.
TEST_F(SDLEventPump, AKeyBeforeTheFocusEventResumesAndIsServed) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  ASSERT_TRUE(Expect(osEvt));
  ASSERT_EQ(theEVENT.message, 0x01000000u);
  ASSERT_FALSE(IsFrontProcess());

  PushKey(SDL_KEYDOWN, SDL_SCANCODE_A);
  PushKey(SDL_KEYUP, SDL_SCANCODE_A);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(osEvt));
  EXPECT_EQ(theEVENT.message, 0x01000001u);
  EXPECT_TRUE(IsFrontProcess());
  ASSERT_TRUE(Expect(keyDown)) << "the key typed as the focus came back";
  EXPECT_EQ(EventKey(nullptr, nullptr), 0) << "the A key's code";
  ASSERT_TRUE(Expect(keyUp));
  // The late focus event brings at most a second resume.
  SuspendOrResumeWithin(300);
  EXPECT_TRUE(IsFrontProcess());

  // A key while the loss is still settling only ends the wait for it.
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_B);
  ASSERT_TRUE(Expect(keyDown));
  EXPECT_FALSE(SuspendOrResumeWithin(600)) << "the key showed the focus back";
  EXPECT_TRUE(IsFrontProcess());
  PushKey(SDL_KEYUP, SDL_SCANCODE_B);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(Expect(keyUp));
}

}  // namespace
