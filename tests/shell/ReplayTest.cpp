#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/Random.h"
#include "shell/Events.h"
#include "shell/Replay.h"
#include "support/Fixtures.h"
#include "support/RecordingDialogs.h"
#include "support/ScriptedDialogPresenter.h"

namespace {

std::vector<UInt8> Contents(std::FILE* f) {
  std::vector<UInt8> bytes;
  std::rewind(f);
  for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(UInt8(c));
  return bytes;
}

// A file that outlives the recorder's close: the recorder closes the stream
// it was given, so it gets a duplicate of a temporary file's descriptor.
struct TempStream {
  TempStream() : file(std::tmpfile()) {}
  ~TempStream() { std::fclose(file); }
  std::FILE* Handover() { return fdopen(dup(fileno(file)), "w+b"); }
  std::FILE* file;
};

class ReplayTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (replay.stream) std::fclose(replay.stream);
    if (replay.trace) std::fclose(replay.trace);
    replay.stream = replay.trace = nullptr;
  }
  Replay replay;
  RecordingDialogs dialogs;
};

TEST_F(ReplayTest, EmptyRecordingIsTheSeedAlone) {
  TempStream out;
  randomSEED = 0x12345678;
  replay.stream = out.Handover();
  replay.Record();
  EXPECT_EQ(replay.GetState(), Replay::kRecording);
  replay.Stop();
  EXPECT_EQ(replay.GetState(), Replay::kStopped);
  EXPECT_EQ(replay.stream, nullptr);
  EXPECT_EQ(Contents(out.file), (std::vector<UInt8>{0x12, 0x34, 0x56, 0x78}));
}

TEST_F(ReplayTest, BitsAreLeastSignificantFirstFromTheHighBitDown) {
  TempStream out;
  randomSEED = 1;
  replay.stream = out.Handover();
  replay.Record();
  EXPECT_EQ(replay.Bit(1), 1);
  EXPECT_EQ(replay.Short(5), 5);
  replay.Stop();
  EXPECT_EQ(Contents(out.file), (std::vector<UInt8>{0, 0, 0, 1, 0xD0, 0x00, 0x00}));
  EXPECT_EQ(replay.bytesUsed, 7u);
}

TEST_F(ReplayTest, PlaysBackEveryWidthAndFallsBackToLiveInput) {
  TempStream out;
  randomSEED = 777;
  replay.stream = out.Handover();
  replay.chunkSize = 4;
  replay.Record();
  replay.Long(-123456789);
  replay.Short(-2);
  replay.Char(-7);
  replay.Bit(1);
  replay.Long(42);
  replay.Stop();

  randomSEED = 5;
  Replay player;
  player.stream = out.Handover();
  std::rewind(player.stream);
  player.Play();
  EXPECT_EQ(randomSEED, 777u);
  EXPECT_EQ(player.Long(0), -123456789);
  EXPECT_EQ(player.Short(0), -2);
  EXPECT_EQ(player.Char(0), -7);
  EXPECT_EQ(player.Bit(0), 1);
  EXPECT_EQ(player.Long(0), 42);
  // Padding bits still read as zeros; past them the live value is used.
  for (int i = 0; i < 7; i++) EXPECT_EQ(player.Bit(1), 0);
  EXPECT_EQ(player.Long(99), 99);
  EXPECT_EQ(player.GetState(), Replay::kStopped);
  EXPECT_EQ(player.Short(3), 3);
  std::fclose(player.stream);
  player.stream = nullptr;
}

// Whatever chunk and buffer sizes the caller sets, every value recorded plays
// back: a buffer smaller than one chunk and 4 bytes is sized up.
TEST_F(ReplayTest, EveryChunkAndBufferSizePlaysBackWhatWasRecorded) {
  // Widths that put each 32-bit value at every bit offset of a chunk.
  std::vector<std::pair<int, SInt32>> values;
  for (int i = 0; i < 48; i++) {
    values.push_back({1, i & 1});
    values.push_back({32, SInt32(0x9E3779B9u * UInt32(i + 1))});
    if (i % 3 == 0) values.push_back({16, SInt16(-300 * i)});
    if (i % 5 == 0) values.push_back({8, SInt8(i * 7 - 100)});
  }
  for (UInt32 chunk : {1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 16u}) {
    for (UInt32 buffer : {0u, 4u, 5u, 8u, 9u, 12u, 13u, 64u}) {
      SCOPED_TRACE("chunk " + std::to_string(chunk) + ", buffer " + std::to_string(buffer));
      TempStream out;
      Replay recorder;
      recorder.stream = out.Handover();
      recorder.chunkSize = chunk;
      recorder.bufferSize = buffer;
      recorder.Record();
      for (auto [width, v] : values) {
        if (width == 1)
          recorder.Bit(UInt8(v));
        else if (width == 8)
          recorder.Char(char(v));
        else if (width == 16)
          recorder.Short(SInt16(v));
        else
          recorder.Long(v);
      }
      recorder.Stop();
      ASSERT_TRUE(dialogs.Reports().empty()) << dialogs.Reports().back().message;

      Replay player;
      player.stream = out.Handover();
      std::rewind(player.stream);
      player.chunkSize = chunk;
      player.bufferSize = buffer;
      player.Play();
      size_t i = 0;
      for (; i < values.size(); i++) {
        auto [width, v] = values[i];
        // The live value differs from the recorded one, so a value that
        // could not be played back shows.
        SInt32 got = width == 1    ? player.Bit(!v)
                     : width == 8  ? player.Char(char(~v))
                     : width == 16 ? player.Short(SInt16(~v))
                                   : player.Long(~v);
        if (got != v || player.GetState() != Replay::kPlaying) break;
      }
      EXPECT_EQ(i, values.size()) << "playback ended early";
      std::fclose(player.stream);
      player.stream = nullptr;
    }
  }
}

// A stream from anywhere plays to its end with a small chunk and buffer:
// every whole value it holds is read, then live input takes over.
TEST_F(ReplayTest, AnyStreamPlaysToItsEndWithASmallChunkAndBuffer) {
  // A fuzzer's input: mode, chunk size - 1, buffer size / 4, then the stream.
  std::string bytes = FixtureBytes("replay-stream-chunk5-buffer8.bin").substr(3);
  TempStream in;
  std::fwrite(bytes.data(), 1, bytes.size(), in.file);
  std::fflush(in.file);
  Replay player;
  player.stream = in.Handover();
  std::rewind(player.stream);
  player.chunkSize = 5;
  player.bufferSize = 8;
  player.Play();
  const UInt32 streamBits = UInt32(bytes.size() - 4) * 8;
  UInt32 played = 0;
  for (int i = 0; player.GetState() == Replay::kPlaying && i < 100000; i++) {
    const UInt32 widths[] = {1, 32, 8, 16, 32, 1, 1, 16};
    UInt32 width = widths[i % 8];
    if (width == 1)
      player.Bit(0);
    else if (width == 8)
      player.Char(0);
    else if (width == 16)
      player.Short(0);
    else
      player.Long(0);
    if (player.GetState() == Replay::kPlaying) played += width;
  }
  EXPECT_EQ(player.GetState(), Replay::kStopped);
  EXPECT_LE(played, streamBits);
  EXPECT_GT(played + 32, streamBits) << "playback stopped before the stream's end";
  EXPECT_EQ(player.Long(7), 7);
  std::fclose(player.stream);
  player.stream = nullptr;
}

TEST_F(ReplayTest, IdleAndErrors) {
  EXPECT_EQ(replay.Short(1234), 1234);
  EXPECT_EQ(ReplayShort(-5), -5);
  EXPECT_THROW(replay.Play(), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Must load a replay first");
  replay.Load();
  EXPECT_EQ(replay.GetState(), Replay::kIdle);
}

TEST_F(ReplayTest, CheckpointsCatchTheFirstDrift) {
  TempStream out, checks;
  randomSEED = 10;
  replay.stream = out.Handover();
  replay.trace = checks.Handover();
  replay.Record();
  replay.Bit(1);
  replay.Advance("a.cpp", 1, "F");
  randomSEED = 11;
  replay.Advance("a.cpp", 2, "F");
  // Values enough that playback does not reach the stream's end (which
  // ends the checking) before the second checkpoint.
  for (int i = 0; i < 8; i++) replay.Long(i);
  replay.Stop();
  EXPECT_EQ(Contents(checks.file), (std::vector<UInt8>{0, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 11, 0, 0, 0, 1}));

  ScriptedDialogPresenter presenter;
  presenter.ClickTitle("OK");
  Replay player;
  player.stream = out.Handover();
  player.trace = checks.Handover();
  std::rewind(player.stream);
  std::rewind(player.trace);
  player.Play();
  player.Bit(0);
  player.Advance("a.cpp", 1, "F");  // agrees
  EXPECT_TRUE(presenter.shown.empty());
  randomSEED = 99;
  player.Advance("a.cpp", 2, "F");  // the seed differs
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].texts[0], "Replay seed is out of sync!\r\r");
  EXPECT_EQ(presenter.shown[0].buttons.size(), 2u);
  player.Advance("a.cpp", 3, "F");  // past the checkpoints: nothing more
  EXPECT_EQ(presenter.shown.size(), 1u);
  std::fclose(player.stream);
  std::fclose(player.trace);
  player.stream = player.trace = nullptr;
}

}  // namespace

namespace {

// A small game driven by the generator and by live input: a ship moves
// with the pointer, fires when a key is down, and meteors fall at random.
struct MiniGame {
  SInt32 ship = 320, score = 0, meteors[4] = {};
  void Step(SInt16 liveMove, UInt8 liveFire) {
    ship += ReplayShort(liveMove);
    bool fire = ReplayBit(liveFire);
    for (SInt32& m : meteors) {
      m += RandomRange(1, 6);
      if (fire && RandomRange(0, 4) == 0) score += m, m = 0;
      if (m > 480) m = 0, score -= 10;
    }
    CheckReplay();
  }
};

TEST_F(ReplayTest, AWholeGameReplaysToTheSameEndState) {
  TempStream out, checks;
  mainREPLAY.Load();
  mainREPLAY.stream = out.Handover();
  mainREPLAY.trace = checks.Handover();
  randomSEED = 424242;
  mainREPLAY.Record();
  MiniGame live;
  UInt32 pattern = 0x9E3779B9;
  for (int step = 0; step < 2000; step++) {
    pattern = pattern * 1664525 + 1013904223;  // the player's input, not the game's generator
    live.Step(SInt16(SInt32(pattern >> 28) - 8), UInt8(pattern >> 27 & 1));
  }
  mainREPLAY.Stop();
  UInt32 seedAfter = randomSEED;

  mainREPLAY.Load();
  mainREPLAY.stream = out.Handover();
  mainREPLAY.trace = checks.Handover();
  std::rewind(mainREPLAY.stream);
  std::rewind(mainREPLAY.trace);
  randomSEED = 1;
  ScriptedDialogPresenter presenter;  // any drift would show its report here
  mainREPLAY.Play();
  MiniGame replayed;
  for (int step = 0; step < 2000; step++) replayed.Step(0, 0);  // the live input is ignored
  EXPECT_EQ(replayed.ship, live.ship);
  EXPECT_EQ(replayed.score, live.score);
  for (int i = 0; i < 4; i++) EXPECT_EQ(replayed.meteors[i], live.meteors[i]);
  EXPECT_EQ(randomSEED, seedAfter);
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_GT(mainREPLAY.KilobytesUsed(), 0u);
  std::fclose(mainREPLAY.stream);
  std::fclose(mainREPLAY.trace);
  mainREPLAY.stream = mainREPLAY.trace = nullptr;
  mainREPLAY.Load();
}

}  // namespace
