// A private desktop for tests that drive the real program as a person does:
// its own X server (Xvfb) with a small window manager (openbox) on it, so
// that focus, window decorations, the close button and full screen behave
// as on a user's desktop. Input goes in through XTest as real key presses
// and clicks; pixels are read back from the screen, outside the program.
// Each Desktop is independent of the test's own DISPLAY, so tests may run
// side by side.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "support/e2e/Process.h"
#include "support/e2e/ScreenImage.h"

struct _XDisplay;

namespace e2e {

// An X window id.
using XWindow = unsigned long;

// A rectangle in screen pixels.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};
std::string Describe(const ScreenRect& r);

class Desktop {
 public:
  // Starts the server with one screen of the size and the window manager,
  // and waits until the manager has taken the screen. Throws
  // std::runtime_error when either cannot be started.
  explicit Desktop(int width = 1280, int height = 1024);
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // ":N", for the DISPLAY of programs started on it.
  const std::string& DisplayName() const { return name_; }
  _XDisplay* X() const { return x_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // A folder that lives as long as the desktop.
  const TempFolder& Folder() const { return folder_; }

  // The top-level windows the window manager manages.
  std::vector<XWindow> ManagedWindows();
  // The managed window a process has shown (it names its process), or 0.
  XWindow WindowOfProcess(pid_t pid);
  bool IsShown(XWindow window);
  // The window's content area (inside the decorations) on the screen; an
  // empty rectangle once the window is gone.
  ScreenRect ContentRect(XWindow window);
  // The window's title.
  std::string Title(XWindow window);
  // The top-level managed window that holds the keyboard focus, or 0.
  XWindow FocusedWindow();
  // The window manager has the window in full screen.
  bool IsFullScreen(XWindow window);

  // Key names are X keysym names: "q", "1", "Escape", "Control_L", "KP_8".
  // A press is down and up, with the modifiers held around it. While a
  // window is watched: whether the server gave it the key within a second
  // (otherwise always true).
  bool PressKey(const std::string& key, const std::vector<std::string>& modifiers = {});
  // One half of a press, for keys held over time.
  void KeyDown(const std::string& key);
  void KeyUp(const std::string& key);
  void MovePointer(int x, int y);
  void Click(int x, int y, int button = 1);
  // A click on a button of a window's frame (close, maximise): the window
  // manager's, which the program gets no press of, so it is not one of the
  // test's presses in the press log.
  void ClickFrameButton(const ScreenRect& button);
  void ButtonDown(int button = 1);
  void ButtonUp(int button = 1);

  // The window manager's buttons in the window's title bar, on the screen,
  // left to right: with the desktop's standard layout, iconify, maximise and
  // close are the last three.
  std::vector<ScreenRect> TitleBarButtons(XWindow window);
  // The close button (the rightmost); nothing when the window has none.
  std::optional<ScreenRect> CloseButton(XWindow window);
  // Asks the window manager to close the window, as its keyboard shortcut
  // does (it then sends the window the delete request).
  void RequestClose(XWindow window);
  // Asks the window manager to give the window the focus, as clicking it or
  // the window switcher does.
  void Activate(XWindow window);
  // Opens a plain window of the desktop's own: another application for the
  // focus to move to. Closed with the desktop.
  XWindow OpenOtherWindow(const ScreenRect& where);

  // The screen's pixels in the rectangle (clipped to the screen).
  ScreenImage Grab(const ScreenRect& r);
  ScreenImage GrabScreen() { return Grab(ScreenRect{0, 0, width_, height_}); }

  // Ends the X server under the programs on it, as a crash of the server
  // does; the desktop's own connection is closed first. Afterwards nothing
  // of the desktop may be used but its destructor.
  void StopServer();

  // Watches the window from a connection of the harness's own: each key and
  // focus event the X server delivers to it, and each key the harness sends
  // with the focus at that moment, so that a failure can tell a key the
  // server gave the window from one that went elsewhere.
  void WatchInput(XWindow window);
  // What was seen since the watch began, a line each.
  std::string InputSeen();

 private:
  void WaitForWindowManager();
  void Flush();
  unsigned char KeyCode(const std::string& key);

  int width_, height_;
  TempFolder folder_;
  ChildProcess server_, manager_;
  std::string name_;
  _XDisplay* x_ = nullptr;
  _XDisplay* watcher_ = nullptr;
  std::string seen_;
  unsigned long keyPressesSeen_[256] = {};
  std::vector<XWindow> ownWindows_;
};

}  // namespace e2e
