#include "support/e2e/Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "support/Poll.h"
#include "support/e2e/PressLog.h"

namespace e2e {

std::string Describe(const ScreenRect& r) {
  return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
         std::to_string(r.y);
}

namespace {

const Millis kStartTimeout(15000);

// A window may go away between two requests about it; such errors are
// answers, not reasons to end the test process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Atom Intern(Display* x, const char* name) { return XInternAtom(x, name, False); }

// A property of 32-bit items (windows, atoms, cardinals).
std::vector<unsigned long> LongProperty(Display* x, Window w, const char* name, Atom type) {
  Atom actualType;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> result;
  if (XGetWindowProperty(x, w, Intern(x, name), 0, 4096, False, type, &actualType, &format, &count, &after, &data) ==
          Success &&
      data && format == 32) {
    // Xlib hands 32-bit items back as longs.
    const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
    result.assign(items, items + count);
  }
  if (data) XFree(data);
  return result;
}

// Reads the display number that Xvfb writes once it is ready.
std::string ReadDisplayNumber(int fd, ChildProcess& server) {
  std::string text;
  const auto deadline = Clock::now() + kStartTimeout;
  while (text.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    if (left <= 0 || !server.Running()) break;
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, int(std::min<long long>(left, 100)));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    char buffer[32];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, size_t(n));
  }
  size_t end = text.find('\n');
  return end == std::string::npos ? "" : text.substr(0, end);
}

void SendClientMessage(Display* x, Window target, const char* type, long a, long b, long c) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = Intern(x, type);
  e.xclient.format = 32;
  e.xclient.data.l[0] = a;
  e.xclient.data.l[1] = b;
  e.xclient.data.l[2] = c;
  XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

std::vector<Window> Children(Display* x, Window w) {
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  std::vector<Window> result;
  if (XQueryTree(x, w, &root, &parent, &children, &count) && children) result.assign(children, children + count);
  if (children) XFree(children);
  return result;
}

Window Parent(Display* x, Window w) {
  Window root, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(x, w, &root, &parent, &children, &count)) return 0;
  if (children) XFree(children);
  return parent;
}

}  // namespace

Desktop::Desktop(int width, int height) : width_(width), height_(height) {
  XSetErrorHandler(IgnoreXError);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  try {
    server_.Start(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
        BaseEnvironment(), "", folder_ / "xvfb.log", fds[1]);
  } catch (...) {
    close(fds[0]);
    close(fds[1]);
    throw;
  }
  close(fds[1]);
  std::string number = ReadDisplayNumber(fds[0], server_);
  close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start: " + ReadWholeFile(folder_ / "xvfb.log"));
  name_ = ":" + number;
  x_ = XOpenDisplay(name_.c_str());
  if (!x_) throw std::runtime_error("cannot open the private display " + name_);
  int event, error, major, minor;
  if (!XTestQueryExtension(x_, &event, &error, &major, &minor))
    throw std::runtime_error("the private display has no XTest extension");

  // The manager's settings are Debian's defaults (its own home is empty).
  const std::string home = folder_.MakeFolder("home");
  auto env = BaseEnvironment();
  env["DISPLAY"] = name_;
  env["HOME"] = home;
  env["XDG_CONFIG_HOME"] = home + "/.config";
  env["XDG_CACHE_HOME"] = home + "/.cache";
  env["XDG_DATA_HOME"] = home + "/.local/share";
  manager_.Start({"openbox", "--sm-disable"}, env, "", folder_ / "openbox.log");
  WaitForWindowManager();
}

void Desktop::StopServer() {
  if (watcher_) XCloseDisplay(watcher_);
  watcher_ = nullptr;
  if (x_) {
    for (XWindow w : ownWindows_) XDestroyWindow(x_, w);
    XCloseDisplay(x_);
    x_ = nullptr;
  }
  ownWindows_.clear();
  server_.Stop(Millis(2000));
}

Desktop::~Desktop() {
  if (watcher_) XCloseDisplay(watcher_);
  if (x_) {
    for (XWindow w : ownWindows_) XDestroyWindow(x_, w);
    XCloseDisplay(x_);
  }
  manager_.Stop(Millis(1000));
  server_.Stop(Millis(2000));
}

void Desktop::WaitForWindowManager() {
  Window root = DefaultRootWindow(x_);
  bool ready = PollUntil(
      [&] {
        if (!manager_.Running()) return true;
        // The manager redirects the root's map requests before it announces itself.
        return !LongProperty(x_, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty() &&
               !LongProperty(x_, root, "_NET_SUPPORTED", XA_ATOM).empty();
      },
      {}, kStartTimeout);
  if (!ready || !manager_.Running())
    throw std::runtime_error("the window manager did not start: " + ReadWholeFile(folder_ / "openbox.log"));
}

void Desktop::Flush() { XSync(x_, False); }

std::vector<XWindow> Desktop::ManagedWindows() {
  auto list = LongProperty(x_, DefaultRootWindow(x_), "_NET_CLIENT_LIST", XA_WINDOW);
  return std::vector<XWindow>(list.begin(), list.end());
}

XWindow Desktop::WindowOfProcess(pid_t pid) {
  for (XWindow w : ManagedWindows()) {
    auto owner = LongProperty(x_, w, "_NET_WM_PID", XA_CARDINAL);
    if (!owner.empty() && pid_t(owner[0]) == pid) return w;
  }
  return 0;
}

bool Desktop::IsShown(XWindow window) {
  XWindowAttributes a;
  return window && XGetWindowAttributes(x_, window, &a) && a.map_state == IsViewable;
}

ScreenRect Desktop::ContentRect(XWindow window) {
  XWindowAttributes a;
  if (!window || !XGetWindowAttributes(x_, window, &a)) return ScreenRect{};
  int sx = 0, sy = 0;
  Window child;
  if (!XTranslateCoordinates(x_, window, DefaultRootWindow(x_), 0, 0, &sx, &sy, &child)) return ScreenRect{};
  return ScreenRect{sx, sy, a.width, a.height};
}

std::string Desktop::Title(XWindow window) {
  char* name = nullptr;
  std::string title;
  if (window && XFetchName(x_, window, &name) && name) title = name;
  if (name) XFree(name);
  return title;
}

void Desktop::WatchInput(XWindow window) {
  if (!watcher_) watcher_ = XOpenDisplay(DisplayString(x_));
  if (!watcher_) return;
  XSelectInput(watcher_, window, KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
  XSync(watcher_, False);
  seen_ += "watching window " + std::to_string(window) + "\n";
}

std::string Desktop::InputSeen() {
  static const char* const kDetails[] = {"Ancestor",         "Virtual", "Inferior",    "Nonlinear",
                                         "NonlinearVirtual", "Pointer", "PointerRoot", "None"};
  static const char* const kModes[] = {"Normal", "Grab", "Ungrab", "WhileGrabbed"};
  while (watcher_ && XPending(watcher_)) {
    XEvent e;
    XNextEvent(watcher_, &e);
    char line[160];
    switch (e.type) {
      case KeyPress:
      case KeyRelease:
        if (e.type == KeyPress) keyPressesSeen_[e.xkey.keycode & 0xFF]++;
        std::snprintf(line, sizeof line, "x %s keycode %u state 0x%x time %lu\n",
                      e.type == KeyPress ? "KeyPress" : "KeyRelease", e.xkey.keycode, e.xkey.state, e.xkey.time);
        break;
      case FocusIn:
      case FocusOut:
        std::snprintf(line, sizeof line, "x %s mode %s detail %s\n", e.type == FocusIn ? "FocusIn" : "FocusOut",
                      kModes[e.xfocus.mode & 3], kDetails[e.xfocus.detail & 7]);
        break;
      case MapNotify: std::snprintf(line, sizeof line, "x Map\n"); break;
      case UnmapNotify: std::snprintf(line, sizeof line, "x Unmap\n"); break;
      case ReparentNotify: std::snprintf(line, sizeof line, "x Reparent to %lu\n", e.xreparent.parent); break;
      case ConfigureNotify:
        std::snprintf(line, sizeof line, "x Configure %dx%d\n", e.xconfigure.width, e.xconfigure.height);
        break;
      default: line[0] = 0;
    }
    seen_ += line;
  }
  return seen_;
}

XWindow Desktop::FocusedWindow() {
  Window focus = 0;
  int revert;
  XGetInputFocus(x_, &focus, &revert);
  auto managed = ManagedWindows();
  Window root = DefaultRootWindow(x_);
  for (Window w = focus; w && w != root && w != PointerRoot; w = Parent(x_, w))
    if (std::find(managed.begin(), managed.end(), w) != managed.end()) return w;
  return 0;
}

bool Desktop::IsFullScreen(XWindow window) {
  auto states = LongProperty(x_, window, "_NET_WM_STATE", XA_ATOM);
  return std::find(states.begin(), states.end(), Intern(x_, "_NET_WM_STATE_FULLSCREEN")) != states.end();
}

unsigned char Desktop::KeyCode(const std::string& key) {
  KeySym sym = XStringToKeysym(key.c_str());
  ::KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(x_, sym);
  if (!code) throw std::invalid_argument("no key called " + key);
  return code;
}

bool Desktop::PressKey(const std::string& key, const std::vector<std::string>& modifiers) {
  std::vector<::KeyCode> held;
  for (const std::string& m : modifiers) held.push_back(KeyCode(m));
  ::KeyCode k = KeyCode(key);
  NotePress(key);
  if (watcher_) {
    Window focus = 0;
    int revert;
    XGetInputFocus(x_, &focus, &revert);
    InputSeen();
    seen_ +=
        "harness presses " + key + " (keycode " + std::to_string(k) + "), focus on " + std::to_string(focus) + "\n";
  }
  for (::KeyCode m : held) XTestFakeKeyEvent(x_, m, True, CurrentTime);
  XTestFakeKeyEvent(x_, k, True, CurrentTime);
  XTestFakeKeyEvent(x_, k, False, CurrentTime);
  for (auto m = held.rbegin(); m != held.rend(); ++m) XTestFakeKeyEvent(x_, *m, False, CurrentTime);
  Flush();
  if (!watcher_) return true;
  const unsigned long before = keyPressesSeen_[k];
  if (PollUntil([&] { return InputSeen(), keyPressesSeen_[k] > before; }, {}, Millis(1000))) return true;
  seen_ += "the server gave the watched window no press of " + key + "\n";
  return false;
}

void Desktop::KeyDown(const std::string& key) {
  NotePress(key);
  XTestFakeKeyEvent(x_, KeyCode(key), True, CurrentTime);
  Flush();
}

void Desktop::KeyUp(const std::string& key) {
  XTestFakeKeyEvent(x_, KeyCode(key), False, CurrentTime);
  Flush();
}

void Desktop::MovePointer(int x, int y) {
  XTestFakeMotionEvent(x_, -1, x, y, CurrentTime);
  Flush();
}

void Desktop::Click(int x, int y, int button) {
  XTestFakeMotionEvent(x_, -1, x, y, CurrentTime);
  NotePress("button" + std::to_string(button));
  XTestFakeButtonEvent(x_, unsigned(button), True, CurrentTime);
  XTestFakeButtonEvent(x_, unsigned(button), False, CurrentTime);
  Flush();
}

void Desktop::ClickFrameButton(const ScreenRect& button) {
  XTestFakeMotionEvent(x_, -1, button.x + button.width / 2, button.y + button.height / 2, CurrentTime);
  XTestFakeButtonEvent(x_, 1, True, CurrentTime);
  XTestFakeButtonEvent(x_, 1, False, CurrentTime);
  Flush();
}

void Desktop::ButtonDown(int button) {
  NotePress("button" + std::to_string(button));
  XTestFakeButtonEvent(x_, unsigned(button), True, CurrentTime);
  Flush();
}

void Desktop::ButtonUp(int button) {
  XTestFakeButtonEvent(x_, unsigned(button), False, CurrentTime);
  Flush();
}

std::vector<ScreenRect> Desktop::TitleBarButtons(XWindow window) {
  Window root = DefaultRootWindow(x_), frame = window;
  for (Window p = Parent(x_, frame); p && p != root; p = Parent(x_, frame)) frame = p;
  if (!frame || frame == window) return {};
  const ScreenRect content = ContentRect(window);
  // The title bar holds the buttons: small square windows above the content.
  std::vector<ScreenRect> buttons;
  for (Window bar : Children(x_, frame)) {
    for (Window button : Children(x_, bar)) {
      if (!IsShown(button)) continue;
      ScreenRect r = ContentRect(button);
      if (r.width >= 6 && r.width == r.height && r.y + r.height <= content.y) buttons.push_back(r);
    }
  }
  std::sort(buttons.begin(), buttons.end(), [](const ScreenRect& a, const ScreenRect& b) { return a.x < b.x; });
  return buttons;
}

std::optional<ScreenRect> Desktop::CloseButton(XWindow window) {
  auto buttons = TitleBarButtons(window);
  if (buttons.empty()) return std::nullopt;
  return buttons.back();
}

void Desktop::RequestClose(XWindow window) {
  SendClientMessage(x_, window, "_NET_CLOSE_WINDOW", CurrentTime, 2, 0);
  Flush();
}

void Desktop::Activate(XWindow window) {
  SendClientMessage(x_, window, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
  Flush();
}

XWindow Desktop::OpenOtherWindow(const ScreenRect& where) {
  Window root = DefaultRootWindow(x_);
  Window w = XCreateSimpleWindow(x_, root, where.x, where.y, unsigned(std::max(where.width, 1)),
                                 unsigned(std::max(where.height, 1)), 0, BlackPixel(x_, DefaultScreen(x_)),
                                 WhitePixel(x_, DefaultScreen(x_)));
  XStoreName(x_, w, "Another application");
  XMapWindow(x_, w);
  Flush();
  ownWindows_.push_back(w);
  return w;
}

ScreenImage Desktop::Grab(const ScreenRect& wanted) {
  const int left = std::max(wanted.x, 0), top = std::max(wanted.y, 0);
  const int right = std::min(wanted.x + wanted.width, width_), bottom = std::min(wanted.y + wanted.height, height_);
  if (right <= left || bottom <= top) return ScreenImage();
  XImage* image = XGetImage(x_, DefaultRootWindow(x_), left, top, unsigned(right - left), unsigned(bottom - top),
                            AllPlanes, ZPixmap);
  if (!image) return ScreenImage();
  auto channel = [](unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long value = (pixel & mask) >> shift, max = mask >> shift;
    return int(value * 255 / max);
  };
  ScreenImage result(right - left, bottom - top);
  for (int y = 0; y < result.Height(); ++y)
    for (int x = 0; x < result.Width(); ++x) {
      unsigned long p = XGetPixel(image, x, y);
      result.Set(x, y,
                 Rgba{channel(p, image->red_mask), channel(p, image->green_mask), channel(p, image->blue_mask), 255});
    }
  XDestroyImage(image);
  return result;
}

}  // namespace e2e
