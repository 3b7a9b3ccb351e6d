#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "foundation/Random.h"
#include "shell/Replay.h"
#include "support/RecordingDialogs.h"
#include "support/ScriptedDialogPresenter.h"
#include "support/game/GameDriver.h"
#include "support/gameservices/FakeGameServices.h"

namespace gd = gamedriver;

namespace {

const int kSteps = 6000;

// A stream the recorder can close while the test keeps the file.
std::FILE* Duplicate(std::FILE* f) {
  std::FILE* copy = fdopen(dup(fileno(f)), "w+b");
  std::rewind(copy);
  return copy;
}

// One step: the pilot's keys (while recording) or none (while playing) pass
// through the recorder into the game's controls, then the game steps.
void RecordedStep(int players, int step, bool live) {
  gd::ReleaseAll();
  if (live)
    for (int p = 0; p < players; p++) gd::Pilot(p, step);
  UInt8 keys[10];
  std::memcpy(keys, gd::Held(), sizeof keys);
  gd::ReleaseAll();
  for (int b = 0; b < 10; b++)
    if (ReplayBit(keys[b])) mainINPUT[b] = 1;
  gd::Step();
  CheckReplay();
}

TEST(ReplayGame, ARecordedGameReplaysToTheSameEndState) {
  RecordingDialogs dialogs;
  ScriptedDialogPresenter presenter;  // a drift report would be shown here
  std::FILE* stream = std::tmpfile();
  std::FILE* trace = std::tmpfile();
  for (int players : {1, 2}) {
    SCOPED_TRACE(players);
    std::rewind(stream);
    std::rewind(trace);
    ASSERT_EQ(ftruncate(fileno(stream), 0), 0);
    ASSERT_EQ(ftruncate(fileno(trace), 0), 0);

    fakeSERVICES.Reset();
    mainREPLAY.Load();
    mainREPLAY.stream = Duplicate(stream);
    mainREPLAY.trace = Duplicate(trace);
    randomSEED = 2024u + UInt32(players);
    mainREPLAY.Record();
    gd::Begin(randomSEED);
    for (int step = 0; step < kSteps; step++) RecordedStep(players, step, true);
    mainREPLAY.Stop();
    uint64_t recorded = gd::StateDigest();
    SInt32 scores[2] = {playerSCORE[0], playerSCORE[1]};
    ASSERT_GT(scores[0], 0) << gd::Describe();

    fakeSERVICES.Reset();
    mainREPLAY.Load();
    mainREPLAY.stream = Duplicate(stream);
    mainREPLAY.trace = Duplicate(trace);
    randomSEED = 1;
    mainREPLAY.Play();
    gd::Begin(randomSEED);
    for (int step = 0; step < kSteps; step++) RecordedStep(players, step, false);
    EXPECT_EQ(gd::StateDigest(), recorded) << gd::Describe();
    EXPECT_EQ(playerSCORE[0], scores[0]);
    EXPECT_EQ(playerSCORE[1], scores[1]);
    EXPECT_TRUE(presenter.shown.empty());
    std::fclose(mainREPLAY.stream);
    std::fclose(mainREPLAY.trace);
    mainREPLAY.stream = mainREPLAY.trace = nullptr;
    mainREPLAY.Load();

    // Without the recorded keys the same seed plays another game.
    fakeSERVICES.Reset();
    gd::Begin(2024u + UInt32(players));
    for (int step = 0; step < kSteps; step++) RecordedStep(players, step, false);
    EXPECT_NE(gd::StateDigest(), recorded);
  }
  std::fclose(stream);
  std::fclose(trace);
}

}  // namespace
