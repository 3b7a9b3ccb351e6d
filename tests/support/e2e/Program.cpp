#include "support/e2e/Program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Poll.h"
#include "support/e2e/PressLog.h"

namespace fs = std::filesystem;

namespace e2e {

namespace {

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

int represses = 0;
// The keys given again in the running test, in order.
std::string testRepresses;

// Each test that gave a press again says so as it ends, with the keys; the
// test process says its whole count at its end, none included, so that a
// run's logs add up to the run's count.
class RepressReport : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { testRepresses.clear(); }
  void OnTestEnd(const ::testing::TestInfo& test) override {
    if (testRepresses.empty()) return;
    std::printf("harness re-presses in %s.%s:%s\n", test.test_suite_name(), test.name(), testRepresses.c_str());
    std::fflush(stdout);
  }
};

class RepressTotal : public ::testing::Environment {
  void TearDown() override {
    std::printf("harness re-presses: %d\n", represses);
    std::fflush(stdout);
  }
};

// Registered as the harness is linked in, before the tests run.
[[maybe_unused]] const bool repressReportsRegistered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new RepressReport);
  ::testing::AddGlobalTestEnvironment(new RepressTotal);
  return true;
}();

void NoteRepress(const std::string& key) {
  ++represses;
  testRepresses += " " + key;
  std::printf("harness re-press: the X server gave the window no press of %s; pressing it again\n", key.c_str());
  std::fflush(stdout);
  if (const char* log = std::getenv("HALVANE_E2E_REPRESS_LOG"); log && *log)
    std::ofstream(log, std::ios::app) << RunningTestName() << " " << key << "\n";
}

// The program's key codes (the engine's, by position on a US keyboard) for
// the X keysyms of the keys the tests press.
int ProgramKeyCode(const std::string& key) {
  static const std::pair<const char*, int> codes[] = {
      {"a", 0},     {"s", 1},     {"d", 2},      {"f", 3},       {"h", 4},          {"g", 5},       {"z", 6},
      {"x", 7},     {"c", 8},     {"v", 9},      {"b", 11},      {"q", 12},         {"w", 13},      {"e", 14},
      {"r", 15},    {"y", 16},    {"t", 17},     {"1", 18},      {"2", 19},         {"3", 20},      {"4", 21},
      {"6", 22},    {"5", 23},    {"9", 25},     {"7", 26},      {"8", 28},         {"0", 29},      {"o", 31},
      {"u", 32},    {"i", 34},    {"p", 35},     {"Return", 36}, {"l", 37},         {"j", 38},      {"k", 40},
      {"n", 45},    {"m", 46},    {"Tab", 48},   {"space", 49},  {"BackSpace", 51}, {"Escape", 53}, {"KP_0", 82},
      {"KP_1", 83}, {"KP_2", 84}, {"KP_3", 85},  {"KP_4", 86},   {"KP_5", 87},      {"KP_6", 88},   {"KP_7", 89},
      {"KP_8", 91}, {"KP_9", 92}, {"Left", 123}, {"Right", 124}, {"Down", 125},     {"Up", 126}};
  std::string name = key;
  // A capital letter is its key with Shift.
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') name[0] = char(name[0] - 'A' + 'a');
  for (const auto& [sym, code] : codes)
    if (name == sym) return code;
  return -1;
}

bool IsModifierKey(const std::string& key) {
  for (const char* m :
       {"Shift_L", "Shift_R", "Control_L", "Control_R", "Alt_L", "Alt_R", "Super_L", "Super_R", "Caps_Lock"})
    if (key == m) return true;
  return false;
}

// The same words after "flushed " instead of "taken ".
std::string FlushedText(const std::string& taken) { return "flushed " + taken.substr(std::string("taken ").size()); }

}  // namespace

std::string TakenText(const std::string& key) {
  if (IsModifierKey(key)) return "taken Modifiers ";
  const int code = ProgramKeyCode(key);
  return code < 0 ? "taken KeyDown " : "taken KeyDown key " + std::to_string(code) + " ";
}

int HarnessRepresses() { return represses; }

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
  // Every input event and what became of it, and which screen takes input:
  // the harness waits on it, and a failure's diagnostics show it.
  env["HALVANE_TRACE_INPUT"] = "1";
  // A run that proves the tests notice a lost press preloads the shim that
  // loses one (tests/support/losepress/lost-press-run.sh).
  const char* lose = getenv("HALVANE_LOSE_PRESS");
  const char* shim = getenv("HALVANE_LOSE_PRESS_LIBRARY");
  if (lose && *lose && shim && *shim) {
    env["HALVANE_LOSE_PRESS"] = lose;
    env["LD_PRELOAD"] = shim;
  }
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

// Keys that come before the logo screen opens are dropped, so the key waits
// for the logo to take input. The logo leaves by itself only seconds later,
// so the key reaches the logo, never the title.
ScreenImage Program::SkipLogo(const std::function<bool(const ScreenImage&)>& titleShows, Millis timeout) {
  if (!WaitForReady("logo") || !PressKey("x")) return GrabContent();
  return WaitForContent(titleShows, timeout);
}

namespace {

// The rest of a trace line after its prefix and time: "ready pause box".
std::string TraceWords(const std::string& line) {
  size_t space = line.find(' ', sizeof kInputTracePrefix - 1);
  return space == std::string::npos ? "" : line.substr(space + 1);
}

}  // namespace

std::string Program::InputTaker() const {
  const std::string trace = InputTrace();
  std::string taker;
  size_t start = 0;
  while (start < trace.size()) {
    size_t end = trace.find('\n', start);
    if (end == std::string::npos) end = trace.size();
    const std::string words = TraceWords(trace.substr(start, end - start));
    if (words.rfind("ready ", 0) == 0)
      taker = words.substr(6);
    else if (words == "busy")
      taker.clear();
    start = end + 1;
  }
  return taker;
}

bool Program::WaitForReady(const std::string& taker, Millis timeout) {
  bool ready = false;
  PollUntil(
      [&] {
        ready = InputTaker() == taker;
        return ready || !process_.Running();
      },
      {}, timeout);
  if (!ready)
    std::printf("the program's input trace did not say \"ready %s\" (last: \"%s\")\n", taker.c_str(),
                InputTaker().c_str());
  return ready;
}

bool Program::WaitForTaken(const std::string& what, const std::vector<std::string>& taken,
                           const std::vector<int>& takenBefore, const std::vector<std::string>& flushed,
                           const std::vector<int>& flushedBefore) {
  auto allTaken = [&] {
    for (size_t i = 0; i < taken.size(); ++i)
      if (TraceCount(taken[i]) <= takenBefore[i]) return false;
    return true;
  };
  auto thrownAway = [&]() -> std::string {
    for (size_t i = 0; i < flushed.size(); ++i)
      if (TraceCount(flushed[i]) > flushedBefore[i]) return flushed[i];
    return "";
  };
  PollUntil([&] { return allTaken() || !thrownAway().empty() || !process_.Running(); }, {}, kTimeout);
  // The program may end on the input it took (Ctrl+Q): its trace is whole.
  if (allTaken()) {
    inputProblem_.clear();
    return true;
  }
  if (std::string lost = thrownAway(); !lost.empty())
    inputProblem_ = "the program threw away " + what + " (\"" + lost + "\" in its input trace)";
  else if (!process_.Running())
    inputProblem_ = "the program ended without taking " + what;
  else
    inputProblem_ =
        "the program was given " + what + " and did not take it within " + std::to_string(kTimeout.count()) + " ms";
  return InputNotTaken();
}

bool Program::InputNotTaken() {
  std::printf("%s\n", inputProblem_.c_str());
  std::fflush(stdout);
  // Whatever the caller makes of the answer (a picture may come by itself,
  // as the title does after the logo), a press not taken fails the test.
  ADD_FAILURE() << inputProblem_ << "\nthe end of the input trace:\n" << LastLines(InputTrace(), 40);
  return false;
}

bool Program::PressKey(const std::string& key, const std::vector<std::string>& modifiers) {
  const std::string taken = otherLayout_ && !IsModifierKey(key) ? "taken KeyDown " : TakenText(key),
                    flushed = FlushedText(taken);
  const std::string what = "the press of " + key;
  // A key pressed while the window manager has the focus elsewhere (the
  // window is being placed again) would go to nobody, so the press waits
  // for the focus. A key the server gave no client watching the window,
  // though it had the focus, never reached the program: that one, and only
  // that one, is pressed again (logged and counted).
  for (int tries = 0;; ++tries) {
    if (!WaitForFocus()) {
      inputProblem_ = "the window did not get the focus for " + what;
      return InputNotTaken();
    }
    const int takenBefore = TraceCount(taken), flushedBefore = TraceCount(flushed);
    if (desktop_.PressKey(key, modifiers) || TraceCount(taken) > takenBefore || TraceCount(flushed) > flushedBefore)
      return WaitForTaken(what, {taken}, {takenBefore}, {flushed}, {flushedBefore});
    if (!process_.Running() || tries == 2) {
      inputProblem_ = "the X server gave the window no press of " + key + " in three tries";
      return InputNotTaken();
    }
    NoteRepress(key);
  }
}

bool Program::HoldKeysInPlay(const std::vector<std::string>& keys) {
  if (!WaitForFocus()) {
    inputProblem_ = "the window did not get the focus for the keys held in play";
    return InputNotTaken();
  }
  std::vector<std::string> taken;
  std::vector<int> before;
  std::string what = "the press of";
  for (const std::string& key : keys) {
    taken.push_back(TakenText(key));
    before.push_back(TraceCount(taken.back()));
    what += " " + key;
  }
  for (const std::string& key : keys) desktop_.KeyDown(key);
  auto allTaken = [&] {
    for (size_t i = 0; i < taken.size(); ++i)
      if (TraceCount(taken[i]) <= before[i]) return false;
    return true;
  };
  PollUntil([&] { return allTaken() || InputTaker() != "game" || !process_.Running(); }, {}, kTimeout);
  if (allTaken() || (process_.Running() && InputTaker() != "game")) {
    inputProblem_.clear();
    return true;
  }
  inputProblem_ = process_.Running() ? "the game in play was given " + what + " and did not take it within " +
                                           std::to_string(kTimeout.count()) + " ms"
                                     : "the program ended without taking " + what;
  return InputNotTaken();
}

void Program::LetGoKeys(const std::vector<std::string>& keys) {
  for (const std::string& key : keys) desktop_.KeyUp(key);
}

ScreenPoint Program::GamePointOnScreen(double gameX, double gameY) {
  ScreenRect r = Content();
  ScreenPoint p = GameToContent(gameX, gameY, r.width, r.height);
  return ScreenPoint{r.x + p.x, r.y + p.y};
}

bool Program::Click(const std::string& what, bool down, bool up) {
  std::vector<std::string> taken, flushed;
  if (down) taken.push_back("taken MouseDown ");
  if (up) taken.push_back("taken MouseUp ");
  for (const std::string& t : taken) flushed.push_back(FlushedText(t));
  std::vector<int> takenBefore, flushedBefore;
  for (const std::string& t : taken) takenBefore.push_back(TraceCount(t));
  for (const std::string& f : flushed) flushedBefore.push_back(TraceCount(f));
  if (down) desktop_.ButtonDown();
  if (up) desktop_.ButtonUp();
  return WaitForTaken(what, taken, takenBefore, flushed, flushedBefore);
}

bool Program::ClickGame(double gameX, double gameY) {
  ScreenPoint p = GamePointOnScreen(gameX, gameY);
  desktop_.MovePointer(int(p.x), int(p.y));
  return Click("the click at " + std::to_string(int(gameX)) + ", " + std::to_string(int(gameY)) + " of the picture",
               true, true);
}

bool Program::ButtonDown() { return Click("the button's press", true, false); }
bool Program::ButtonUp() { return Click("the button's release", false, true); }

void Program::MovePointerToGame(double gameX, double gameY) {
  ScreenPoint p = GamePointOnScreen(gameX, gameY);
  desktop_.MovePointer(int(p.x), int(p.y));
}

bool Program::ClickCloseButton() {
  auto button = desktop_.CloseButton(window_);
  if (!button) {
    inputProblem_ = "the window has no close button";
    return InputNotTaken();
  }
  const std::string taken = "taken CloseBox", flushed = FlushedText(taken);
  const int takenBefore = TraceCount(taken), flushedBefore = TraceCount(flushed);
  desktop_.ClickFrameButton(*button);
  return WaitForTaken("the close button's request", {taken}, {takenBefore}, {flushed}, {flushedBefore});
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
  std::string text = inputProblem_.empty() ? "" : inputProblem_ + "\n";
  text += "window " + std::to_string(window_) + " content " + Describe(Content());
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
