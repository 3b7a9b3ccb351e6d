// Game steps per second, headless: a quiet wave, a busy one (every enemy
// slot alive, a meteor shower, both players firing double shots, sparks at
// their limit), and one step of the busiest state.
#include <benchmark/benchmark.h>

#include "foundation/Random.h"
#include "support/game/GameDriver.h"
#include "support/gameservices/FakeGameServices.h"

namespace gd = gamedriver;

namespace {

// Plays a wave with one player until enemies are coming.
void StartQuietWave() {
  fakeSERVICES.Reset();
  gd::Begin(4242);
  gd::Hold(0, gd::kFire);
  gd::Step();
  gd::ReleaseAll();
  gd::StepUntil([] { return waveREADY != 0; }, 2000);
}

// Keeps the field full: enemies in every slot, a shower running, both ships
// shielded and firing doubles, every spark alive.
void KeepBusy(int step) {
  enemCOUNT = 500;
  useENEMS = useMETEORS = 8;
  if (stormACTIVE == 0 || stormACTIVE > 25) stormACTIVE = 25;
  for (int p = 0; p < 2; p++) {
    _PLAYER[p].status.shield.target = 12;
    _PLAYER[p].status.doubles.target = 18;
    if (step % 4 == p * 2) gd::Hold(p, gd::kFire);
  }
  for (Spark& s : _SPARK) {
    if (s.active) continue;
    s.active = 1;
    s.x = 320 * 256;
    s.y = 200 * 256;
    s.alpha = 1.0f;
    s.fades = 1;
    s.fade = 1.0f;
  }
}

void StartBusyWave() {
  fakeSERVICES.Reset();
  gd::Begin(4242);
  gd::Hold(0, gd::kFire);
  gd::Hold(1, gd::kFire);
  gd::Step();
  gd::ReleaseAll();
  waveNUM = 15;
  ResetWave(-1);
  gd::StepUntil([] { return waveREADY != 0; }, 2000);
  for (int step = 0; step < 600; step++) {
    gd::ReleaseAll();
    KeepBusy(step);
    gd::Step();
  }
}

void QuietWave(benchmark::State& state) {
  StartQuietWave();
  for (auto _ : state) {
    gd::Step();
    if (!gamePLAY || !waveREADY) {
      state.PauseTiming();
      StartQuietWave();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(QuietWave);

void BusyWave(benchmark::State& state) {
  StartBusyWave();
  int step = 0;
  int enemies = 0, meteors = 0, shots = 0;
  for (auto _ : state) {
    gd::ReleaseAll();
    KeepBusy(step++);
    gd::Step();
    for (const Enemy& e : _ENEMY) enemies += e.flying;
    for (const Meteor& m : _METEOR) meteors += m.on;
    for (const auto& row : SHOT)
      for (const Shot& s : row) shots += s.on;
  }
  state.SetItemsProcessed(state.iterations());
  double n = double(state.iterations());
  state.counters["enemies"] = enemies / n;
  state.counters["meteors"] = meteors / n;
  state.counters["shots"] = shots / n;
}
BENCHMARK(BusyWave);

// A copy of everything a step reads and writes.
struct Snapshot {
  Player players[kPlayers];
  Enemy enemies[kEnemies];
  Meteor meteors[kMeteors];
  Spark sparks[kSparks];
  Object wings[kWings], pods[kPods], explosions[kExplosions], pows[kPows];
  MSSprite glows[kGlows];
  SparkF stars[kStars];
  Shot shots[kPlayers][kShots], enemyShots[kEnemyShots];
  UInt16 enemCount;
  UInt8 curEnems, storm;
  float animate;
  UInt32 seed;

  void Save() {
    std::copy(std::begin(_PLAYER), std::end(_PLAYER), players);
    std::copy(std::begin(_ENEMY), std::end(_ENEMY), enemies);
    std::copy(std::begin(_METEOR), std::end(_METEOR), meteors);
    std::copy(std::begin(_SPARK), std::end(_SPARK), sparks);
    std::copy(std::begin(_WING), std::end(_WING), wings);
    std::copy(std::begin(_POD), std::end(_POD), pods);
    std::copy(std::begin(EXPL), std::end(EXPL), explosions);
    std::copy(std::begin(POW), std::end(POW), pows);
    std::copy(std::begin(_GLOW), std::end(_GLOW), glows);
    std::copy(std::begin(_STAR), std::end(_STAR), stars);
    for (int p = 0; p < kPlayers; p++) std::copy(std::begin(SHOT[p]), std::end(SHOT[p]), shots[p]);
    std::copy(std::begin(enemySHOT), std::end(enemySHOT), enemyShots);
    enemCount = enemCOUNT, curEnems = curENEMS, storm = stormACTIVE, animate = animateDELAY, seed = randomSEED;
  }
  void Restore() const {
    std::copy(std::begin(players), std::end(players), _PLAYER);
    std::copy(std::begin(enemies), std::end(enemies), _ENEMY);
    std::copy(std::begin(meteors), std::end(meteors), _METEOR);
    std::copy(std::begin(sparks), std::end(sparks), _SPARK);
    std::copy(std::begin(wings), std::end(wings), _WING);
    std::copy(std::begin(pods), std::end(pods), _POD);
    std::copy(std::begin(explosions), std::end(explosions), EXPL);
    std::copy(std::begin(pows), std::end(pows), POW);
    std::copy(std::begin(glows), std::end(glows), _GLOW);
    std::copy(std::begin(stars), std::end(stars), _STAR);
    for (int p = 0; p < kPlayers; p++) std::copy(std::begin(shots[p]), std::end(shots[p]), SHOT[p]);
    std::copy(std::begin(enemyShots), std::end(enemyShots), enemySHOT);
    enemCOUNT = enemCount, curENEMS = curEnems, stormACTIVE = storm, animateDELAY = animate, randomSEED = seed;
  }
};

// The busiest state seen over a stretch of busy play: the most enemies,
// meteors and shots on at once, on an animation step.
void BusiestStep(benchmark::State& state) {
  StartBusyWave();
  static Snapshot busiest;
  int best = -1;
  for (int step = 0; step < 3000; step++) {
    gd::ReleaseAll();
    KeepBusy(step);
    if (animateDELAY == 0.0f) {
      int load = 0;
      for (const Enemy& e : _ENEMY) load += e.flying;
      for (const Meteor& m : _METEOR) load += m.on;
      for (const auto& row : SHOT)
        for (const Shot& s : row) load += s.on;
      for (const Shot& s : enemySHOT) load += s.on;
      if (load > best) best = load, busiest.Save();
    }
    gd::Step();
  }
  gd::ReleaseAll();
  for (auto _ : state) {
    state.PauseTiming();
    busiest.Restore();
    state.ResumeTiming();
    HandleGame();
  }
  state.counters["objects"] = best;
}
BENCHMARK(BusiestStep);

}  // namespace

BENCHMARK_MAIN();
