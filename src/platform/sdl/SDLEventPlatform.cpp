#include "platform/SDLEventPlatform.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/InputTrace.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformSystem.h"
#include "platform/sdl/SDLWindow.h"
#include "platform/sdl/XDisplayWatch.h"

namespace {

SDL_Window* eventWindow = nullptr;

// How long the focus must stay away before the program counts as suspended.
constexpr Uint64 kFocusSettleMs = 250;

class SDLEventPlatform : public EventPlatform {
 public:
  SDLEventPlatform() {
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    video_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    // Without a display the events still run, so SIGTERM arrives as a quit.
    if (!video_) SDL_InitSubSystem(SDL_INIT_EVENTS);
    if (video_) WatchXDisplayConnection();
    // Every way out of the process, a fatal report included, gives back the
    // pointer grab and the display's gamma.
    atexit(SDL_Quit);
  }

  void Pump() override {
    if (video_) WatchXDisplayConnection();
    TakeEventsTheConnectionHolds();
    SDL_PumpEvents();
    std::vector<PlatformEvent> events;
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
      const size_t before = events.size();
      Translate(e, &events);
      if (InputTraceOn()) TraceTranslation(e, events, before);
    }
    // The loss a hide brings is queued by the time the hide returns; a hide
    // that took no focus away leaves nothing to wait for.
    if (ownFocusLoss_ && focused_) ownFocusLoss_ = false;
    // A focus loss that lasts is a suspend; one that the window system takes
    // back at once (it passes the focus around when a window is placed or
    // goes full screen) is not.
    if (suspendPending_ && SDL_GetTicks64() - lostAt_ >= kFocusSettleMs) {
      suspendPending_ = false;
      suspended_ = true;
      events.push_back(Make(PlatformEvent::Suspend, GlobalMouse(), false));
      TraceInput("focus away for %llu ms: Suspend", static_cast<unsigned long long>(SDL_GetTicks64() - lostAt_));
    }
    // The termination signals are watched before SDL starts, so SDL leaves
    // them alone and queues no quit of its own: a recorded signal becomes one
    // quit request here.
    if (TerminationSignalled() != signalTold_) {
      signalTold_ = !signalTold_;
      if (signalTold_) {
        events.push_back(Make(PlatformEvent::Quit, GlobalMouse(), false));
        TraceInput("termination signal: Quit");
      }
    }
    for (const PlatformEvent& p : events) PostPlatformEvent(p);
    if (InputTraceOn()) TraceAlive();
  }

  void GetKeys(UInt8 map[16]) override { memcpy(map, keys_, sizeof keys_); }
  bool Button() override { return button_; }

  Point GlobalMouse() override {
    int x = 0, y = 0;
    if (!video_) return Point{0, 0};
    // Over the game window, or held by it while a button is down, the
    // window's own pointer events tell where the pointer is. The desktop-wide
    // query is refreshed only by raw device motion, so it stands still for a
    // pointer that is warped, or whose raw motion a grab withholds.
    if (eventWindow && SDL_GetMouseFocus() == eventWindow && !SDL_GetRelativeMouseMode()) {
      int wx = 0, wy = 0;
      SDL_GetWindowPosition(eventWindow, &wx, &wy);
      SDL_GetMouseState(&x, &y);
      return Point{SInt16(wy + y), SInt16(wx + x)};
    }
    SDL_GetGlobalMouseState(&x, &y);
    return Point{SInt16(y), SInt16(x)};
  }

  void WarpMouse(Point global) override {
    if (video_) SDL_WarpMouseGlobal(global.h, global.v);
  }

  void SetRelativeMouse(bool on) override {
    if (video_) SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
  }

  Rect MainScreen() override {
    SDL_Rect b;
    if (!video_ || SDL_GetDisplayBounds(0, &b) != 0) return Rect{0, 0, 768, 1024};
    return Rect{SInt16(b.y), SInt16(b.x), SInt16(b.y + b.h), SInt16(b.x + b.w)};
  }

  bool WindowContent(Rect* global) override {
    if (!eventWindow) return false;
    int x, y, w, h;
    SDL_GetWindowPosition(eventWindow, &x, &y);
    SDL_GetWindowSize(eventWindow, &w, &h);
    *global = Rect{SInt16(y), SInt16(x), SInt16(y + h), SInt16(x + w)};
    return true;
  }

  bool WindowMinimised() override { return eventWindow && (SDL_GetWindowFlags(eventWindow) & SDL_WINDOW_MINIMIZED); }

  bool IsFront() override { return !eventWindow || focused_ || ownFocusLoss_ || suspendPending_; }

  void ShowCursor(bool shown) override {
    if (video_) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
  }

  void ArrowCursor() override {
    if (!video_) return;
    if (!arrow_) arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (arrow_) SDL_SetCursor(arrow_);
  }

  void HandCursor() override {
    if (!video_) return;
    if (!hand_) hand_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    if (hand_) SDL_SetCursor(hand_);
  }

  // X offers no bell through SDL; a beep is silent.
  void Beep() override {}
  void SetEventWindow(PlatformWindow* window) override { SetWindow(SDLWindowOf(window)); }

  void Exit(int status) override {
    SDL_Quit();
    std::exit(status);
  }

  void SetWindow(SDL_Window* window) {
    TraceInput("game window %u", window ? SDL_GetWindowID(window) : 0);
    eventWindow = window;
    focused_ = true;
    ownFocusLoss_ = suspendPending_ = false;
  }

  // Hiding the focused window takes the focus from it until it shows again
  // and the window system hands the focus back: that loss is the program's
  // own doing, not the user leaving for another application.
  void WindowHiddenByProgram(SDL_Window* window) {
    if (window && window == eventWindow && focused_) ownFocusLoss_ = true;
    TraceInput("the program hides the game window (focused %d)", focused_);
  }

 private:
  bool OurWindow(Uint32 id) const { return eventWindow && SDL_GetWindowID(eventWindow) == id; }

  Point WindowPoint(Uint32 id, int x, int y) const {
    int wx = 0, wy = 0;
    if (SDL_Window* w = SDL_GetWindowFromID(id)) SDL_GetWindowPosition(w, &wx, &wy);
    return Point{SInt16(wy + y), SInt16(wx + x)};
  }

  PlatformEvent Make(PlatformEvent::Kind kind, Point where, bool withModifiers) const {
    PlatformEvent p{};
    p.kind = kind;
    p.where = where;
    p.hasModifiers = withModifiers;
    p.modifiers = withModifiers ? ModifiersFromKeys(keys_) : 0;
    return p;
  }

  void SetKey(UInt8 code, bool down) {
    if (down)
      keys_[code >> 3] |= UInt8(1 << (code & 7));
    else
      keys_[code >> 3] &= UInt8(~(1 << (code & 7)));
  }

  void TranslateKey(const SDL_KeyboardEvent& k, std::vector<PlatformEvent>* out) {
    UInt8 code = VirtualKeyCode(k.keysym.scancode);
    if (code == kNoKeyCode) return;
    bool down = k.type == SDL_KEYDOWN;
    if (down && !focused_) FocusShownByKey(out);
    SetKey(code, down);
    PlatformEvent p = Make(PlatformEvent::Modifiers, GlobalMouse(), true);
    if (!IsModifierKeyCode(code)) {
      p.kind = !down ? PlatformEvent::KeyUp : k.repeat ? PlatformEvent::KeyRepeat : PlatformEvent::KeyDown;
      p.keyCode = code;
      p.charCode = LayoutCharacterCode(code, (p.modifiers & shiftKey) != 0);
    }
    out->push_back(p);
  }

  // Keys reach only the window that holds the focus, so a key typed at the
  // window shows the focus back even when its focus event is still to come:
  // the program is in front again before it takes the key.
  void FocusShownByKey(std::vector<PlatformEvent>* out) {
    focused_ = true;
    ownFocusLoss_ = false;
    if (suspendPending_) {
      suspendPending_ = false;
    } else if (suspended_) {
      suspended_ = false;
      out->push_back(Make(PlatformEvent::Resume, GlobalMouse(), false));
      TraceInput("a key typed at the window: Resume");
    }
  }

  // The text that a key-down or a repeat typed, when it is one plain
  // character, is that key's character (it follows the user's layout and Shift).
  static void MergeText(const char* text, std::vector<PlatformEvent>* out) {
    if (out->empty() || (out->back().kind != PlatformEvent::KeyDown && out->back().kind != PlatformEvent::KeyRepeat))
      return;
    if (UInt8(text[0]) >= 32 && UInt8(text[0]) < 127 && text[1] == 0) out->back().charCode = UInt8(text[0]);
  }

  void TranslateWindow(const SDL_WindowEvent& w, std::vector<PlatformEvent>* out) {
    if (!OurWindow(w.windowID)) return;
    Rect content{};
    WindowContent(&content);
    switch (w.event) {
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        focused_ = true;
        if (ownFocusLoss_)
          ownFocusLoss_ = false;
        else if (suspendPending_)
          suspendPending_ = false;
        else {
          suspended_ = false;
          out->push_back(Make(PlatformEvent::Resume, GlobalMouse(), false));
        }
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        focused_ = false;
        if (!ownFocusLoss_ && !suspendPending_) {
          suspendPending_ = true;
          lostAt_ = SDL_GetTicks64();
        }
        break;
      case SDL_WINDOWEVENT_CLOSE:
        out->push_back(Make(PlatformEvent::CloseBox, Point{SInt16(content.top - 1), content.left}, false));
        break;
      case SDL_WINDOWEVENT_MAXIMIZED:
        out->push_back(Make(PlatformEvent::ZoomBox, Point{SInt16(content.top - 1), content.left}, false));
        break;
      case SDL_WINDOWEVENT_EXPOSED: out->push_back(Make(PlatformEvent::Update, GlobalMouse(), false)); break;
    }
  }

  void Translate(const SDL_Event& e, std::vector<PlatformEvent>* out) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: TranslateKey(e.key, out); break;
      case SDL_TEXTINPUT: MergeText(e.text.text, out); break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) break;
        button_ = e.type == SDL_MOUSEBUTTONDOWN;
        out->push_back(Make(button_ ? PlatformEvent::MouseDown : PlatformEvent::MouseUp,
                            WindowPoint(e.button.windowID, e.button.x, e.button.y), true));
        break;
      case SDL_MOUSEMOTION: {
        PlatformEvent p = Make(PlatformEvent::MouseMoved, WindowPoint(e.motion.windowID, e.motion.x, e.motion.y), true);
        p.dh = SInt16(e.motion.xrel);
        p.dv = SInt16(e.motion.yrel);
        out->push_back(p);
        break;
      }
      case SDL_WINDOWEVENT: TranslateWindow(e.window, out); break;
      case SDL_QUIT: out->push_back(Make(PlatformEvent::Quit, GlobalMouse(), false)); break;
    }
  }

  static const char* WindowEventName(Uint8 event) {
    switch (event) {
      case SDL_WINDOWEVENT_SHOWN: return "SHOWN";
      case SDL_WINDOWEVENT_HIDDEN: return "HIDDEN";
      case SDL_WINDOWEVENT_EXPOSED: return "EXPOSED";
      case SDL_WINDOWEVENT_MOVED: return "MOVED";
      case SDL_WINDOWEVENT_RESIZED: return "RESIZED";
      case SDL_WINDOWEVENT_SIZE_CHANGED: return "SIZE_CHANGED";
      case SDL_WINDOWEVENT_MINIMIZED: return "MINIMIZED";
      case SDL_WINDOWEVENT_MAXIMIZED: return "MAXIMIZED";
      case SDL_WINDOWEVENT_RESTORED: return "RESTORED";
      case SDL_WINDOWEVENT_ENTER: return "ENTER";
      case SDL_WINDOWEVENT_LEAVE: return "LEAVE";
      case SDL_WINDOWEVENT_FOCUS_GAINED: return "FOCUS_GAINED";
      case SDL_WINDOWEVENT_FOCUS_LOST: return "FOCUS_LOST";
      case SDL_WINDOWEVENT_CLOSE: return "CLOSE";
      case SDL_WINDOWEVENT_TAKE_FOCUS: return "TAKE_FOCUS";
    }
    return "other";
  }

  // The SDL event in a few words.
  static void DescribeSDLEvent(const SDL_Event& e, char* text, size_t size) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        std::snprintf(text, size, "%s scancode %d (%s)%s window %u", e.type == SDL_KEYDOWN ? "KEYDOWN" : "KEYUP",
                      int(e.key.keysym.scancode), SDL_GetScancodeName(e.key.keysym.scancode),
                      e.key.repeat ? " repeat" : "", e.key.windowID);
        break;
      case SDL_TEXTINPUT: std::snprintf(text, size, "TEXTINPUT \"%.8s\"", e.text.text); break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        std::snprintf(text, size, "%s button %d at %d,%d window %u",
                      e.type == SDL_MOUSEBUTTONDOWN ? "MOUSEBUTTONDOWN" : "MOUSEBUTTONUP", e.button.button, e.button.x,
                      e.button.y, e.button.windowID);
        break;
      case SDL_MOUSEMOTION:
        std::snprintf(text, size, "MOUSEMOTION at %d,%d window %u", e.motion.x, e.motion.y, e.motion.windowID);
        break;
      case SDL_WINDOWEVENT:
        std::snprintf(text, size, "WINDOWEVENT %s window %u", WindowEventName(e.window.event), e.window.windowID);
        break;
      case SDL_QUIT: std::snprintf(text, size, "QUIT"); break;
      default: std::snprintf(text, size, "event 0x%x", e.type); break;
    }
  }

  // SDL reads the X connection only while its socket has data waiting. But
  // the OpenGL driver waits for replies on the same connection, and whatever
  // events arrive with a reply are read then and kept in the connection's
  // buffer, out of SDL's sight: with nothing more coming, a key pressed just
  // then would wait there for ever. Asking Xlib for the events it has read
  // moves them where SDL's pump finds them.
  void TakeEventsTheConnectionHolds() {
    if (!eventWindow) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(eventWindow, &info) || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    if (!InputTraceOn()) {
      XEventsQueued(display, QueuedAfterReading);
      return;
    }
    const int queued = XEventsQueued(display, QueuedAlready);
    pollfd socket{ConnectionNumber(display), POLLIN, 0};
    const bool unread = poll(&socket, 1, 0) > 0;
    const int taken = XEventsQueued(display, QueuedAfterReading);
    if (taken > queued && !unread)
      TraceInput("%d X events had been read with a reply and were out of SDL's sight", taken - queued);
  }

  // A line a second while the program pumps, with where SDL sends the keys.
  void TraceAlive() {
    ++pumps_;
    const Uint64 now = SDL_GetTicks64();
    if (now - lastAlive_ < 1000) return;
    lastAlive_ = now;
    SDL_Window* keyboard = video_ ? SDL_GetKeyboardFocus() : nullptr;
    TraceInput("pumping: %u pumps since the last line; SDL keyboard focus window %u", pumps_,
               keyboard ? SDL_GetWindowID(keyboard) : 0);
    pumps_ = 0;
  }

  // One line per SDL event: what it became in our queue, or why nothing.
  void TraceTranslation(const SDL_Event& e, const std::vector<PlatformEvent>& events, size_t before) const {
    char sdl[128], ours[96];
    DescribeSDLEvent(e, sdl, sizeof sdl);
    if (events.size() > before) {
      for (size_t i = before; i < events.size(); ++i)
        TraceInput("sdl %s -> %s", sdl, DescribePlatformEvent(events[i], ours, sizeof ours));
      return;
    }
    const char* why = "ignored";
    if (e.type == SDL_TEXTINPUT)
      why = !events.empty() &&
                    (events.back().kind == PlatformEvent::KeyDown || events.back().kind == PlatformEvent::KeyRepeat)
                ? "merged into the key-down"
                : "ignored: no key-down before it";
    else if ((e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && VirtualKeyCode(e.key.keysym.scancode) == kNoKeyCode)
      why = "ignored: no key code";
    else if (e.type == SDL_WINDOWEVENT && !OurWindow(e.window.windowID))
      why = "ignored: not the game window";
    else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
      why = ownFocusLoss_ ? "focus lost by the program's own hide" : "focus lost: a suspend once it lasts";
    else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
      why = "focus back: no resume needed";
    TraceInput("sdl %s: %s (focused %d, own loss %d, suspend pending %d)", sdl, why, focused_, ownFocusLoss_,
               suspendPending_);
  }

  unsigned pumps_ = 0;
  Uint64 lastAlive_ = 0;
  bool video_ = false;
  bool button_ = false;
  bool focused_ = true;
  // Between the program hiding its focused window and the focus coming back.
  bool ownFocusLoss_ = false;
  // The focus went to another window at lostAt_ and has not come back yet.
  bool suspendPending_ = false;
  bool signalTold_ = false;  // the recorded signal was posted as a quit
  Uint64 lostAt_ = 0;
  // A Suspend was posted and no Resume since.
  bool suspended_ = false;
  UInt8 keys_[16] = {};
  SDL_Cursor* arrow_ = nullptr;
  SDL_Cursor* hand_ = nullptr;
};

SDLEventPlatform& TheSDLPlatform() {
  static SDLEventPlatform platform;
  return platform;
}

}  // namespace

EventPlatform& SDLPlatform() { return TheSDLPlatform(); }

void SetSDLEventWindow(PlatformWindow* window) { TheSDLPlatform().SetWindow(SDLWindowOf(window)); }

PlatformWindow* PlatformWindowOfSDL(SDL_Window* window) { return PlatformWindowOf(window); }

void NoteWindowHiddenByProgram(PlatformWindow* window) {
  SDL_Window* sdl = SDLWindowOf(window);
  if (sdl && sdl == eventWindow) TheSDLPlatform().WindowHiddenByProgram(sdl);
}
