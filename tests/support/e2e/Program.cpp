#include "support/e2e/Program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Poll.h"

namespace fs = std::filesystem;

namespace e2e {

std::string DefaultBundle() {
  const char* bundle = getenv("HALVANE_BUNDLE");
  if (!bundle || !*bundle) throw std::runtime_error("HALVANE_BUNDLE is not set");
  return bundle;
}

void CopyBundle(const std::string& from, const std::string& to) {
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

UserHome::UserHome() {
  folder_.MakeFolder("home/.config");
  folder_.MakeFolder("home/.local/share");
}

void UserHome::WritePreferences(const std::string& text) const {
  fs::create_directories(fs::path(PreferencesFile()).parent_path());
  std::ofstream(PreferencesFile(), std::ios::binary) << text;
}

ScreenPoint GameToContent(double gameX, double gameY, int contentWidth, int contentHeight) {
  const double s = std::min(contentWidth / 640.0, contentHeight / 480.0);
  return ScreenPoint{(contentWidth - 640.0 * s) / 2.0 + gameX * s, (contentHeight - 480.0 * s) / 2.0 + gameY * s};
}

Rgba GamePixel(const ScreenImage& content, int gameX, int gameY) {
  ScreenPoint p = GameToContent(gameX + 0.5, gameY + 0.5, content.Width(), content.Height());
  return content.At(int(p.x), int(p.y));
}

bool TitleShows(const ScreenImage& shown) {
  static const ScreenImage title = LoadPng(DefaultBundle() + "/Contents/Resources/Title/Title.png");
  int compared = 0, differ = 0;
  for (int y = 2; y < 480; y += 6)
    for (int x = 2; x < 640; x += 6) {
      const Rgba p = title.At(x, y);
      if (p.a != 255) continue;
      ++compared;
      if (ColourDistance(GamePixel(shown, x, y), p) > 24) ++differ;
    }
  return compared >= 50 && differ == 0;
}

Program::Program(Desktop& desktop, const UserHome& home, std::string bundle)
    : desktop_(desktop), home_(home), bundle_(std::move(bundle)) {}

Program::~Program() { process_.Stop(Millis(2000)); }

void Program::Start() {
  auto env = BaseEnvironment();
  env["DISPLAY"] = desktop_.DisplayName();
  env["HOME"] = home_.Home();
  env["XDG_CONFIG_HOME"] = home_.ConfigHome();
  env["XDG_DATA_HOME"] = home_.DataHome();
  env["XDG_CACHE_HOME"] = home_.Home() + "/.cache";
  // Never the silent off-screen fallback; sound to OpenAL's null output; a
  // dialog is written to stderr instead of waiting for a click.
  env["SDL_VIDEODRIVER"] = "x11";
  env["ALSOFT_DRIVERS"] = "null";
  env["LP_NUM_THREADS"] = "2";
  env["HALVANE_DIALOGS"] = "stderr";
  // Every input event and what became of it, for a failure's diagnostics.
  env["HALVANE_TRACE_INPUT"] = "1";
  for (const auto& [name, value] : extraEnv_) env[name] = value;
  window_ = 0;
  process_.Start({executable_.empty() ? bundle_ + "/Contents/bin/halvane" : executable_}, env, logs_ / "stdout.txt",
                 logs_ / "stderr.txt");
}

bool Program::WaitForWindow(Millis timeout) {
  PollUntil(
      [this] {
        if (!process_.Running()) return true;
        XWindow w = desktop_.WindowOfProcess(process_.Pid());
        if (w && desktop_.IsShown(w)) {
          window_ = w;
          desktop_.WatchInput(w);
        }
        return window_ != 0;
      },
      {}, timeout);
  return window_ != 0 && process_.Running();
}

ScreenRect Program::Content() { return desktop_.ContentRect(window_); }

bool Program::WaitForContentSize(int width, int height, Millis timeout) {
  return PollUntil(
      [&] {
        ScreenRect r = Content();
        return r.width == width && r.height == height;
      },
      {}, timeout);
}

bool Program::WaitForFocus(Millis timeout) {
  return PollUntil([this] { return window_ && desktop_.FocusedWindow() == window_; }, {}, timeout);
}

ScreenImage Program::GrabContent() { return desktop_.Grab(Content()); }

ScreenImage Program::WaitForContent(const std::function<bool(const ScreenImage&)>& shows, Millis timeout) {
  ScreenImage last;
  PollUntil(
      [&] {
        last = GrabContent();
        return !last.Empty() && shows(last);
      },
      {}, timeout);
  return last;
}

ScreenImage Program::WaitForPicture(Millis timeout) {
  return WaitForContent([](const ScreenImage& shown) { return !shown.OneColour(); }, timeout);
}

// Keys that come before the logo screen opens are dropped; its first frames
// show once it has. The logo leaves by itself only seconds later, so the key
// reaches the logo, never the title.
ScreenImage Program::SkipLogo(const std::function<bool(const ScreenImage&)>& titleShows, Millis timeout) {
  WaitForPicture();
  if (!PressKey("x")) return GrabContent();
  return WaitForContent(titleShows, timeout);
}

bool Program::PressKey(const std::string& key, const std::vector<std::string>& modifiers) {
  // A key pressed while the window manager has the focus elsewhere (the
  // window is being placed again) would go to nobody. A key the server
  // gave no client watching the window, though it had the focus, never
  // reached the program either: it is pressed again, and the watch log and
  // the test's output say so.
  for (int tries = 0; tries < 3; ++tries) {
    if (!WaitForFocus()) return false;
    if (desktop_.PressKey(key, modifiers)) return true;
    if (!process_.Running()) return false;
    std::printf("the server gave the window no press of %s; pressing it again\n", key.c_str());
  }
  return false;
}

ScreenPoint Program::GamePointOnScreen(double gameX, double gameY) {
  ScreenRect r = Content();
  ScreenPoint p = GameToContent(gameX, gameY, r.width, r.height);
  return ScreenPoint{r.x + p.x, r.y + p.y};
}

void Program::ClickGame(double gameX, double gameY) {
  ScreenPoint p = GamePointOnScreen(gameX, gameY);
  desktop_.Click(int(p.x), int(p.y));
}

void Program::MovePointerToGame(double gameX, double gameY) {
  ScreenPoint p = GamePointOnScreen(gameX, gameY);
  desktop_.MovePointer(int(p.x), int(p.y));
}

bool Program::ClickCloseButton() {
  auto button = desktop_.CloseButton(window_);
  if (!button) return false;
  desktop_.Click(button->x + button->width / 2, button->y + button->height / 2);
  return true;
}

namespace {

bool IsTraceLine(const std::string& line) { return line.rfind(kInputTracePrefix, 0) == 0; }

// The lines of a text that are (or are not) lines of the input trace.
std::string TraceLines(const std::string& text, bool trace) {
  std::string kept;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string line = text.substr(start, end - start);
    if (IsTraceLine(line) == trace) kept += line;
    start = end;
  }
  return kept;
}

// The last `count` lines of a text, with a note of how many came before.
std::string LastLines(const std::string& text, size_t count) {
  std::vector<size_t> starts;
  for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    starts.push_back(at);
    if (text.find('\n', at) == std::string::npos) break;
  }
  if (starts.size() <= count) return text;
  const size_t first = starts.size() - count;
  return "(" + std::to_string(first) + " earlier lines)\n" + text.substr(starts[first]);
}

}  // namespace

std::string Program::Stderr() const { return TraceLines(ReadWholeFile(logs_ / "stderr.txt"), false); }
std::string Program::InputTrace() const { return TraceLines(ReadWholeFile(logs_ / "stderr.txt"), true); }

int Program::TraceCount(const std::string& text) const {
  const std::string trace = InputTrace();
  int count = 0;
  for (size_t at = trace.find(text); at != std::string::npos; at = trace.find(text, at + 1)) ++count;
  return count;
}
std::string Program::Stdout() const { return ReadWholeFile(logs_ / "stdout.txt"); }

std::string Program::Stacks() {
  if (!process_.Running()) return "";
  ChildProcess gdb;
  try {
    gdb.Start({"gdb", "-p", std::to_string(process_.Pid()), "-batch", "-nx", "-ex", "thread apply all bt"},
              BaseEnvironment(), logs_ / "stacks.txt", logs_ / "gdb.txt");
  } catch (const std::exception&) {
    return "(no gdb to show them)\n";
  }
  if (!gdb.WaitForExit(Millis(30000))) return "(gdb took too long)\n";
  return ReadWholeFile(logs_ / "stacks.txt");
}

std::string Program::Diagnostics() {
  std::string text = "window " + std::to_string(window_) + " content " + Describe(Content());
  const bool running = process_.Running();
  if (running)
    text += ", running";
  else if (process_.Status())
    text += ", " + Describe(*process_.Status());
  text += "\nstderr:\n" + Stderr() + "stdout:\n" + Stdout() + "input trace:\n" + LastLines(InputTrace(), 300) +
          "the window's input as the X server delivered it:\n" + LastLines(desktop_.InputSeen(), 60);
  // A program that still runs but did not do what was asked: where it is.
  if (running) text += "threads:\n" + Stacks();
  return text;
}

}  // namespace e2e
