#include "support/e2e/GameScreens.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace e2e {

namespace {

// The panel is its picture at 1 / 1.6, centred across the 640 x 480 game
// picture with its middle at 35% of the height; the question's text and the
// buttons lie on it in two bands, which the samples leave out.
constexpr double kShrink = 1.6;

const ScreenImage& Panel() {
  static const ScreenImage panel = LoadPng(DefaultBundle() + "/Contents/Resources/ZadOR/InputScreen.png");
  return panel;
}

struct Sample {
  int gameX, gameY;
  Rgba colour;  // as it shows over black
};

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> found;
    const ScreenImage& p = Panel();
    if (p.Empty()) return found;
    const int w = int(p.Width() / kShrink), h = int(p.Height() / kShrink);
    const int left = 320 - w / 2, top = int(0.35 * 480 - h / 2.0);
    const int r = 4;
    for (int gy = top + 3; gy < top + h - 3; gy += 3) {
      if ((gy >= top + 20 && gy < top + 56) || (gy >= top + h - 54 && gy < top + h - 14)) continue;
      for (int gx = left + 3; gx < left + w - 3; gx += 9) {
        const int px = int((gx + 0.5 - left) * kShrink), py = int((gy + 0.5 - top) * kShrink);
        if (px < r || py < r || px >= p.Width() - r || py >= p.Height() - r) continue;
        const Rgba centre = p.At(px, py);
        bool steady = centre.a == 255;
        for (int dy = -r; dy <= r && steady; ++dy)
          for (int dx = -r; dx <= r && steady; ++dx) {
            const Rgba q = p.At(px + dx, py + dy);
            steady = q.a == 255 && ColourDistance(q, centre) <= 6;
          }
        if (steady) found.push_back(Sample{gx, gy, OverBlack(centre)});
      }
    }
    return found;
  }();
  return samples;
}

// Points of the game's background picture in patches of nearly one colour,
// on a grid over the whole picture.
const std::vector<Sample>& BackgroundSamples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> found;
    const ScreenImage space = LoadPng(DefaultBundle() + "/Contents/Resources/Background.png");
    if (space.Width() != 640) return found;
    const int r = 2;
    for (int y = 12; y < 480 - 12; y += 24)
      for (int x = 12; x < 640 - 12; x += 24) {
        const Rgba centre = space.At(x, y);
        bool steady = centre.a == 255;
        for (int dy = -r; dy <= r && steady; ++dy)
          for (int dx = -r; dx <= r && steady; ++dx) steady = ColourDistance(space.At(x + dx, y + dy), centre) <= 6;
        if (steady) found.push_back(Sample{x, y, OverBlack(centre)});
      }
    return found;
  }();
  return samples;
}

}  // namespace

int Differs(const ScreenImage& shown, const ScreenImage& picture) {
  int differ = 0;
  for (int y = 20; y < 480; y += 40)
    for (int x = 20; x < 640; x += 40) {
      const Rgba p = picture.At(x, y);
      if (p.a == 255 && ColourDistance(GamePixel(shown, x, y), p) > 24) ++differ;
    }
  return differ;
}

std::vector<std::pair<int, int>> PauseBoxSamples() {
  static const ScreenImage box = LoadPng(DefaultBundle() + "/Contents/Resources/Pause/PauseBox.png");
  std::vector<std::pair<int, int>> found;
  for (int y = 4; y < box.Height() - 4; y += 7)
    for (int x = 4; x < box.Width() - 4; x += 11) {
      if (x >= 30 && x < 180) continue;  // the column of buttons
      if (y >= 48 && y < 128) continue;  // the volume lamps beside Sound and Music
      const Rgba c = box.At(x, y);
      bool steady = c.a == 255;
      for (int d = -2; d <= 2 && steady; ++d)
        steady = ColourDistance(box.At(x + d, y), c) <= 6 && ColourDistance(box.At(x, y + d), c) <= 6;
      if (steady) found.emplace_back(x, y);
    }
  return found;
}

int PauseBoxMatches(const ScreenImage& shown) {
  static const ScreenImage box = LoadPng(DefaultBundle() + "/Contents/Resources/Pause/PauseBox.png");
  static const auto samples = PauseBoxSamples();
  int matches = 0;
  for (auto [x, y] : samples)
    if (ColourDistance(GamePixel(shown, 150 + x, 150 + y), OverBlack(box.At(x, y))) <= 16) ++matches;
  return matches;
}

std::string OpenToTheMenu(Program& program) {
  program.Start();
  if (!program.WaitForWindow()) return "no window\n" + program.Diagnostics();
  if (!program.WaitForFocus()) return "no focus\n" + program.Diagnostics();
  if (!program.WaitForContentSize(640, 480)) return "not 640 x 480\n" + program.Diagnostics();
  ScreenImage title = program.SkipLogo([](const ScreenImage& s) { return TitleDiffers(s) == 0; });
  if (TitleDiffers(title) != 0) return "no title\n" + program.Diagnostics();
  if (!program.WaitForReady("title")) return "the title takes no key\n" + program.Diagnostics();
  if (!program.PressKey("Return")) return "Return on the title was not taken\n" + program.Diagnostics();
  ScreenImage main =
      program.WaitForContent([](const ScreenImage& s) { return MainDiffers(s) == 0; }, Program::kFadeTimeout);
  if (MainDiffers(main) != 0) return "no main screen\n" + program.Diagnostics();
  if (!program.WaitForReady("main screen")) return "the main screen takes no click\n" + program.Diagnostics();
  return "";
}

int TitleDiffers(const ScreenImage& shown) {
  static const ScreenImage title = LoadPng(DefaultBundle() + "/Contents/Resources/Title/Title.png");
  return Differs(shown, title);
}

int MainDiffers(const ScreenImage& shown) {
  static const ScreenImage main = LoadPng(DefaultBundle() + "/Contents/Resources/Main/Main.png");
  return Differs(shown, main);
}

bool GamePlaying(const ScreenImage& shown) {
  const auto& samples = BackgroundSamples();
  if (shown.Empty() || samples.size() < 20) return false;
  int matches = 0;
  for (const Sample& s : samples)
    if (ColourDistance(GamePixel(shown, s.gameX, s.gameY), s.colour) <= 12) ++matches;
  return matches >= int(samples.size()) * 8 / 10;
}

ScreenImage PlayFromTheMenu(Program& program) {
  // The menu takes clicks once fully bright, a shade after it looks so.
  if (!program.WaitForReady("main screen") || !program.ClickGame(kPlayX, kPlayY)) return program.GrabContent();
  return program.WaitForContent(GamePlaying, Program::kFadeTimeout);
}

bool TapFire(Program& program, int times) {
  for (int shot = 0; shot < times; ++shot) {
    if (!program.HoldKeysInPlay({"space"})) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    program.LetGoKeys({"space"});
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  return true;
}

std::string PlayUntilScored(Program& program, const std::function<bool(const ScreenImage&)>& scored,
                            const std::function<bool(const ScreenImage&)>& menuBack) {
  for (int i = 0, games = 1; i < 120 && games <= 3; ++i) {
    const std::string side = i % 2 ? "Right" : "Left";
    if (!program.HoldKeysInPlay({side})) return program.Diagnostics();
    const bool fired = TapFire(program, 4);
    program.LetGoKeys({side});
    if (!fired) return program.Diagnostics();
    const ScreenImage now = program.GrabContent();
    if (scored(now)) return "";
    if (menuBack(now)) {
      ++games;
      if (!GamePlaying(PlayFromTheMenu(program))) return "no new game\n" + program.Diagnostics();
      if (!TapFire(program, 1)) return program.Diagnostics();
    }
  }
  return "no score in three games of play\n" + program.Diagnostics();
}

int QuitPanelSamples() { return int(Samples().size()); }

int QuitPanelMatches(const ScreenImage& shown) {
  if (shown.Empty()) return 0;
  int matches = 0;
  for (const Sample& s : Samples())
    if (ColourDistance(GamePixel(shown, s.gameX, s.gameY), s.colour) <= 20) ++matches;
  return matches;
}

bool QuitQuestionShown(const ScreenImage& shown) {
  const int samples = QuitPanelSamples();
  return samples >= 8 && QuitPanelMatches(shown) >= samples * 9 / 10;
}

std::optional<ExitStatus> PressUntilItEnds(Program& program, const std::string& key,
                                           const std::vector<std::string>& modifiers) {
  if (!program.PressKey(key, modifiers)) return std::nullopt;
  return program.WaitForExit(Program::kFadeTimeout);
}

std::optional<ExitStatus> QuitWithCtrlQ(Program& program) { return PressUntilItEnds(program, "q", {"Control_L"}); }

std::optional<ExitStatus> QuitGameInProgress(Program& program) {
  if (!program.PressKey("q", {"Control_L"})) return std::nullopt;
  ScreenImage asked = program.WaitForContent(QuitQuestionShown);
  if (!QuitQuestionShown(asked)) return std::nullopt;
  // A Return that came while the panel opened would be dropped with the
  // rest of the keys queued then; once taken, the program fades out.
  if (!program.WaitForReady("quit question")) return std::nullopt;
  return PressUntilItEnds(program, "Return");
}

bool BarShows(const ScreenImage& content) {
  if (content.Empty()) return false;
  int bar = 0, samples = 0;
  for (int x = 2; x < content.Width() - 2; x += 7, ++samples)
    if (ColourDistance(content.At(x, 2), kBarColour) <= 3) ++bar;
  return bar >= samples * 9 / 10;
}

std::vector<std::pair<int, int>> Titles(const ScreenImage& content) {
  std::vector<std::pair<int, int>> titles;
  int gap = 1000;
  for (int x = 3; x < content.Width() - 3; ++x) {
    bool ink = false;
    for (int y = 4; y < kBarHeight - 3 && !ink; ++y) {
      const Rgba c = content.At(x, y);
      ink = c.r + c.g + c.b < 400;
    }
    if (ink && gap > 8) titles.push_back({x, x});
    if (ink) titles.back().second = x;
    gap = ink ? 0 : gap + 1;
  }
  return titles;
}

bool MenuDown(const ScreenImage& content, int x) {
  if (content.Empty()) return false;
  int fill = 0;
  for (int y = kBarHeight + 2; y < kBarHeight + 40; y += 3)
    if (ColourDistance(content.At(x, y), Rgba{250, 250, 250}) <= 3) ++fill;
  return fill >= 8;
}

bool PanelAsks(const ScreenImage& s) { return QuitPanelMatches(s) >= QuitPanelSamples() * 3 / 4; }

int ScoreDigits(const ScreenImage& s, int player) {
  int n = 0;
  const int from = player == 0 ? 30 : 350, to = player == 0 ? 150 : 470;
  for (int y = 445; y < 475; ++y)
    for (int x = from; x < to; ++x) {
      const Rgba c = GamePixel(s, x, y);
      if (c.r > 120 && c.g > 70 && c.b < 60 && c.r > c.g) ++n;
    }
  return n;
}

}  // namespace e2e
