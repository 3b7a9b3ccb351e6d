// The real program, started from its bundle on a private desktop with a home
// folder of its own, driven and watched from outside as a person would:
// its window, the window's size and place, what it shows, the keys and
// clicks it gets, how it ends, and what it leaves in the user's folders.
//
//   Desktop desktop;                  // private X server and window manager
//   UserHome home;                    // kept across restarts of the program
//   Program program(desktop, home);
//   program.Start();
//   ASSERT_TRUE(program.WaitForWindow()) << program.Diagnostics();
//   program.SkipLogo(showsTitle);     // a key on the logo movie, then the title
//   ASSERT_TRUE(program.WaitForReady("title")) << program.Diagnostics();
//   ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
//   auto status = program.WaitForExit();   // ExitStatus, or nothing on time-out
//
// Every wait polls with a deadline; nothing sleeps a fixed time. Each key
// and click is given once and must be taken: the program's input trace
// (HALVANE_TRACE_INPUT) says when it took the press from its queue, or
// threw it away, and which of its screens takes input now ("ready pause
// box"), so a test waits for that instead of pressing until a picture
// changes. The one press given again is one the X server never gave the
// window (see PressKey); each such re-press is counted and logged. A press,
// click or close that is not taken fails the running test there and then,
// whatever the caller does with the answer.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "support/TempFolder.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/Process.h"
#include "support/e2e/ScreenImage.h"

namespace e2e {

// The bundle the build made (HALVANE_BUNDLE); throws when it is not set.
std::string DefaultBundle();
// Copies a bundle to a new place (to damage one of its files there).
void CopyBundle(const std::string& from, const std::string& to);

// A user's home folder with its XDG folders, which outlives the runs of the
// program that share it (a restart finds what the last run saved).
class UserHome {
 public:
  UserHome();
  std::string Home() const { return folder_ / "home"; }
  std::string ConfigHome() const { return Home() + "/.config"; }
  std::string DataHome() const { return Home() + "/.local/share"; }
  // The program's preferences file, as the program names it.
  std::string PreferencesFile() const { return ConfigHome() + "/Halvane/Halvane Preferences.plist"; }
  // Writes the preferences file (making its folder).
  void WritePreferences(const std::string& text) const;
  const TempFolder& Folder() const { return folder_; }

 private:
  TempFolder folder_;
};

// Where a point of the 640 by 480 game picture shows inside a window content
// of the given size: scaled by the smaller of the two ratios and centred.
struct ScreenPoint {
  double x, y;
};
ScreenPoint GameToContent(double gameX, double gameY, int contentWidth, int contentHeight);
// The pixel of a content grab that shows the centre of a game picture pixel.
Rgba GamePixel(const ScreenImage& content, int gameX, int gameY);
// The title at full brightness: the opaque pixels of the title picture, on a
// grid fine enough to meet its lettering, show as they are.
bool TitleShows(const ScreenImage& shown);

// How each line of the program's input trace begins.
inline constexpr char kInputTracePrefix[] = "input ";

// The trace's words for the program taking a press of the key (an X keysym
// name, "Escape", "q", "A") from its queue: "taken KeyDown key 53 "; for a
// modifier key alone, "taken Modifiers ". Words of the same form after
// "flushed" tell a press thrown away.
std::string TakenText(const std::string& key);

// How many presses the harness gave again in this test process because the
// X server gave the window none. Each is printed as it happens and appended
// ("<suite>.<test> <key>") to the file HALVANE_E2E_REPRESS_LOG names, when
// set; a test that gave any names their keys as it ends, and the process
// prints "harness re-presses: N" at its end.
int HarnessRepresses();

class Program {
 public:
  static constexpr Millis kTimeout{15000};
  // For a picture that comes after fades counted in steps of the program's
  // loop: a loaded machine runs few steps a second.
  static constexpr Millis kFadeTimeout{60000};

  Program(Desktop& desktop, const UserHome& home, std::string bundle = DefaultBundle());
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Starts this file instead of the bundle's own program (an installed
  // launcher, for example); empty goes back to the bundle's.
  void SetExecutable(const std::string& path) { executable_ = path; }
  // Extra environment for the next start.
  void SetEnv(const std::string& name, const std::string& value) { extraEnv_[name] = value; }
  // Starts the program; throws when it cannot be started.
  void Start();

  // Waits until the program's window shows; false when time ran out or the
  // program ended first.
  bool WaitForWindow(Millis timeout = kTimeout);
  XWindow Window() const { return window_; }
  // The window's content on the screen now.
  ScreenRect Content();
  // Waits until the content has the size; false when time ran out.
  bool WaitForContentSize(int width, int height, Millis timeout = kTimeout);
  // Waits until the window holds the keyboard focus.
  bool WaitForFocus(Millis timeout = kTimeout);
  // The window's content as it shows on the screen.
  ScreenImage GrabContent();
  // Grabs the content until `shows` accepts it or time runs out; the last grab.
  ScreenImage WaitForContent(const std::function<bool(const ScreenImage&)>& shows, Millis timeout = kTimeout);
  // Waits until the content shows more than one flat colour; the last grab.
  ScreenImage WaitForPicture(Millis timeout = kTimeout);
  // Takes a started program past the logo movie, as a person skips it: once
  // the logo shows, a key, then waits until `titleShows` accepts the content
  // (the title picture); the last grab.
  ScreenImage SkipLogo(const std::function<bool(const ScreenImage&)>& titleShows = TitleShows,
                       Millis timeout = kFadeTimeout);

  // Waits until the input trace says that `taker` acts on the next key or
  // click: a screen by its name ("logo", "title", "main screen", "help",
  // "about", "pause box", "quit question", "name panel 1") or "game" (in
  // play at full brightness, so a key pauses it). False on time-out or
  // when the program ended.
  bool WaitForReady(const std::string& taker, Millis timeout = kFadeTimeout);
  // What the trace last said takes input; "" while nothing does.
  std::string InputTaker() const;

  // Presses a key on the desktop's keyboard once the window has the focus,
  // and waits until the program has taken the press from its queue. False
  // when the window got no focus, or the program threw the press away or
  // did not take it in time (LastInputProblem says which). A press the X
  // server gave the window no sign of (it never reached the program) is
  // given again, up to twice, and counted (HarnessRepresses).
  bool PressKey(const std::string& key, const std::vector<std::string>& modifiers = {});
  // Keys held in a game (fire, a ship's turn), pressed down together; each
  // press given while the game takes keys ("ready game") must be taken. A
  // press given as the game ends (a fade, a panel opening) may be thrown
  // away with the rest of the queue: true then too, as the game no longer
  // takes keys. False, as for PressKey, when the game in play lost one.
  bool HoldKeysInPlay(const std::vector<std::string>& keys);
  void LetGoKeys(const std::vector<std::string>& keys);
  // The program's key codes name a key's place on a US keyboard; on a desktop
  // given another layout the place of a named key moves, so a press is then
  // required taken as a key-down of any code.
  void KeysFollowAnotherLayout() { otherLayout_ = true; }
  // Where a point of the game picture is on the screen now.
  ScreenPoint GamePointOnScreen(double gameX, double gameY);
  // Clicks a point of the game picture once, and waits until the program
  // has taken the button's press and release; false as for PressKey.
  bool ClickGame(double gameX, double gameY);
  void MovePointerToGame(double gameX, double gameY);
  // The left button pressed, or let go, where the pointer is; each must be
  // taken, as for ClickGame.
  bool ButtonDown();
  bool ButtonUp();
  // Clicks the close button of the window's title bar and waits until the
  // program has taken the close request; false when the window has none or
  // the request was not taken.
  bool ClickCloseButton();
  // Why the last press, click or close was not taken; "" when it was.
  const std::string& LastInputProblem() const { return inputProblem_; }

  void Signal(int signal) { process_.Signal(signal); }
  bool Running() { return process_.Running(); }
  std::optional<ExitStatus> WaitForExit(Millis timeout = kTimeout) { return process_.WaitForExit(timeout); }
  pid_t Pid() const { return process_.Pid(); }

  // The program's standard error without the input trace, which the harness
  // switches on (HALVANE_TRACE_INPUT) for every program it starts.
  std::string Stderr() const;
  std::string Stdout() const;
  // The input trace: each event the program received and what became of it.
  std::string InputTrace() const;
  // How many lines of the trace hold the text ("taken KeyDown key 36 ": the
  // program took a press of Return from its queue).
  int TraceCount(const std::string& text) const;
  // Where each thread of the running program is, from gdb (a note instead
  // when there is no gdb); "" once it has ended.
  std::string Stacks();
  // What a failure message needs: the window, the exit, the output, the end
  // of the input trace and, while the program runs, its threads' stacks.
  std::string Diagnostics();

 private:
  Desktop& desktop_;
  const UserHome& home_;
  std::string bundle_;
  std::map<std::string, std::string> extraEnv_;
  std::string executable_;
  // Waits, after input given when the trace held `before` lines of each
  // text, until the program took it (the `taken` texts) or threw it away.
  bool WaitForTaken(const std::string& what, const std::vector<std::string>& taken, const std::vector<int>& takenBefore,
                    const std::vector<std::string>& flushed, const std::vector<int>& flushedBefore);
  bool Click(const std::string& what, bool down, bool up);
  // Says why the input (inputProblem_) was not taken and fails the test.
  bool InputNotTaken();

  TempFolder logs_;
  ChildProcess process_;
  XWindow window_ = 0;
  std::string inputProblem_;
  bool otherLayout_ = false;
};

}  // namespace e2e
