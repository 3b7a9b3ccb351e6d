// What one frame of the title, the menu and the game costs on the display
// the bench runs on (under Xvfb with Mesa's software renderer, the one a
// player without a GPU driver gets): CPU of the whole process (the
// renderer's threads included) and wall time a frame, with the image draw
// calls, quads, and the screens of pixels filled and blended a frame. The
// "one draw a star" and "with the dark page" variants draw as the screens
// drew before their batching and their page was dropped, side by side in
// the same run, and so is the menu "drawn whole", as it drew before the
// parts that do not change were copied once. With HALVANE_BENCH_PICTURES
// each frame's picture is written too. Needs DISPLAY; run: build/bench/bench_screens
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/Paths.h"
#include "foundation/Random.h"
#include "frontend/GameDrawing.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "frontend/controls/KeyEditor.h"
#include "frontend/controls/SliderGL.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "frontend/screens/TitleScreen.h"
#include "game/Game.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageGL.h"
#include "graphics/OpenGLContext.h"
#include "graphics/OpenGLFrame.h"
#include "platform/GLWindow.h"
#include "sound/AudioPrefs.h"

namespace {

// The volume lamps of a slider one draw each, as they were drawn before
// they shared a draw.
void DrawLampsOneByOne(const AudioSlider& s, float scale) {
  const int w = int(volumeIMAGE.Width() * scale), h = int(volumeIMAGE.Height() * scale);
  const int top = s.bounds.top + (s.bounds.bottom - s.bounds.top) / 2 - h / 2;
  for (int i = 0; i < 8; ++i) {
    Rect lamp;
    SetRect2(&lamp, s.bounds.left + i * w, top, w, h);
    volumeIMAGE.SetBright(i < s.value ? 1.0f : 0.25f);
    volumeIMAGE.Draw(&lamp);
  }
}

bool OpenOnce() {
  static int state = 0;
  if (state) return state > 0;
  SetBundlePathForTesting(HALVANE_BUNDLE_DIR);
  mainRECT = Rect{0, 0, 480, 640};
  const char* size = std::getenv("HALVANE_BENCH_SIZE");  // "WxH", the window's
  int w = 640, h = 480;
  if (size) std::sscanf(size, "%dx%d", &w, &h);
  mainWIND = NewGLWindow("Halvane bench", w, h, true);
  if (!mainWIND || !QK_BuildGLForWindow(mainWIND)) {
    state = -1;
    return false;
  }
  LoadResources();
  LoadResources_Mac();
  LoadResources_Game();
  state = 1;
  return true;
}

void Frame(void (*draw)()) {
  OpaqueGrafPtr port{};
  port.portRect = mainRECT;
  OpenGLBeginDraw(&port);
  draw();
  OpenGLEndDraw();
  glFinish();
}

// With HALVANE_BENCH_PICTURES set to a folder, one more frame is written
// there as title.ppm, menu.ppm and game.ppm (the window's picture, top row first), so that
// the pictures of two builds can be compared byte for byte.
void WritePicture(const char* folder, const char* name, void (*draw)()) {
  OpaqueGrafPtr port{};
  port.portRect = mainRECT;
  OpenGLBeginDraw(&port);
  draw();
  glFinish();
  const int w = glDrawVars.windRect.right, h = glDrawVars.windRect.bottom;
  std::vector<unsigned char> rgb(size_t(w) * size_t(h) * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  OpenGLEndDraw();
  const std::string file = std::string(folder) + "/" + name + ".ppm";
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = h - 1; y >= 0; --y) std::fwrite(&rgb[size_t(y) * size_t(w) * 3], 1, size_t(w) * 3, f);
    std::fclose(f);
  }
}

// Runs frames of `draw`, and reports the counts of one.
void Measure(benchmark::State& state, void (*draw)(), const char* picture = nullptr) {
  for (auto _ : state) Frame(draw);
  const char* folder = std::getenv("HALVANE_BENCH_PICTURES");
  if (folder && picture) WritePicture(folder, picture, draw);
  imageDrawCOUNTS = ImageDrawCounts{};
  Frame(draw);
  const double screen = double(mainRECT.right) * mainRECT.bottom;
  state.counters["draws"] = imageDrawCOUNTS.draws;
  state.counters["quads"] = imageDrawCOUNTS.quads;
  state.counters["filled"] = imageDrawCOUNTS.filled / screen;
  state.counters["blended"] = imageDrawCOUNTS.blended / screen;
}

void CloseScreens() {
  if (titleSCREEN.IsOpen()) titleSCREEN.Close();
  if (mainSCREEN.IsOpen()) mainSCREEN.Close();
  gamePLAY = 0;
}

void OpenTitle() {
  CloseScreens();
  // The same stars and rocks in every run, for pictures to compare.
  randomSEED = 5;
  titleSCREEN.Open();
  glFADER.SetBright(255);
}

// The title as it drew before: a draw of its own for each star.
void TitleOneDrawAStar() {
  titleSCREEN.background.Draw(&titleSCREEN.backgroundRect);
  const int side = int(starIMAGE.Width());
  for (const SparkF& star : titleSTAR) {
    const UInt8 c = UInt8(int(4 * (star.level + (4 - star.speed))));
    starIMAGE.SetBright(float(c) / 31.0f);
    starIMAGE.alpha = 1.0f;
    Rect r;
    SetRect2(&r, int(star.x), int(star.y), side, side);
    starIMAGE.Draw(&r);
  }
  titleSCREEN.title.Draw(&mainRECT);
}

void TitleFrame(benchmark::State& state) {
  if (!OpenOnce()) return state.SkipWithError("no OpenGL window");
  OpenTitle();
  Measure(
      state, [] { titleSCREEN.Draw(); }, "title");
}
BENCHMARK(TitleFrame)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

void TitleFrameOneDrawAStar(benchmark::State& state) {
  if (!OpenOnce()) return state.SkipWithError("no OpenGL window");
  OpenTitle();
  Measure(state, TitleOneDrawAStar);
}
BENCHMARK(TitleFrameOneDrawAStar)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

void OpenMenu() {
  CloseScreens();
  randomSEED = 5;
  mainSCREEN.Open();
  glFADER.SetBright(255);
}

void MenuFrame(benchmark::State& state) {
  if (!OpenOnce()) return state.SkipWithError("no OpenGL window");
  OpenMenu();
  const UInt32 copies = mainSCREEN.still.copiesTaken;
  Measure(
      state, [] { mainSCREEN.Draw(); }, "menu");
  // Copies taken while measuring: 1, the first frame's, when nothing changed.
  state.counters["copies"] = mainSCREEN.still.copiesTaken - copies;
}
BENCHMARK(MenuFrame)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// The menu as it drew before its still parts were copied: the frame, the
// controls and the texts all drawn whole each frame.
void MenuFrameDrawnWhole(benchmark::State& state) {
  if (!OpenOnce()) return state.SkipWithError("no OpenGL window");
  OpenMenu();
  Measure(state, [] {
    MainScreen& m = mainSCREEN;
    m.nebula.Draw(&m.nebulaRect);
    DrawMeteors();
    m.main.Draw(&m.bounds);
    for (MSButton& b : m.buttons) b.Draw();
    m.clearScoresButton.Draw();
    DrawToggleLight(m.buttons[MainScreen::kSound], audioPREFS.soundOn != 0, 0.75f);
    DrawToggleLight(m.buttons[MainScreen::kMusic], audioPREFS.musicOn != 0, 0.75f);
    for (AudioSlider& s : audioSLIDER) DrawLampsOneByOne(s, m.scale);
    keyEDIT.Draw();
    DrawWithShadow(&m.version, &m.versionRect, 2, 2, 1);
    DrawWithShadow(&m.scores, &m.scoresRect, 2, 2, 1);
  });
}
BENCHMARK(MenuFrameDrawnWhole)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// The menu as it drew before: its dark page first.
void MenuFrameWithTheDarkPage(benchmark::State& state) {
  if (!OpenOnce()) return state.SkipWithError("no OpenGL window");
  OpenMenu();
  Measure(state, [] {
    Rect page = mainRECT;
    pixelIMAGE.SetBright(0.0f);
    pixelIMAGE.alpha = 1.0f;
    pixelIMAGE.Draw(&page);
    pixelIMAGE.SetBright(1.0f);
    mainSCREEN.Draw();
  });
}
BENCHMARK(MenuFrameWithTheDarkPage)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// A player who joins, sweeps left and right and fires in bursts, as the
// program's demo plays.
void SweepAndFire(UInt32 step) {
  const UInt32 phase = step % 240;
  mainINPUT[0] = phase >= 120 && phase < 200;
  mainINPUT[2] = phase < 80;
  mainINPUT[4] = phase % 60 < 20 && phase % 4 == 0;
  mainINPUT[8] = (step / 6) % 2 == 0;
}

// A game frame after such a player has played a while.
void GameFrame(benchmark::State& state) {
  if (!OpenOnce()) return state.SkipWithError("no OpenGL window");
  CloseScreens();
  randomSEED = 5;
  MinBright_GL();
  StartGame();
  scriptedInputProc = SweepAndFire;
  for (int s = 0; s < 1500; ++s) MainStep();
  scriptedInputProc = nullptr;
  glFADER.SetBright(255);
  Measure(state, DrawPicture, "game");
  gamePLAY = 0;
}
BENCHMARK(GameFrame)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
