// Whole games played through the simulation from a fixed seed, with the
// state's digest taken every 600 steps, and a short digest of every step kept
// in golden/<name>.trace to name the first step that differs. Any change of
// behaviour shows here first; when a change is meant, run the test with
// HALVANE_GOLDEN_PRINT=1: it rewrites the traces and prints the new table to
// replace the one below.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "GameFixture.h"

namespace gd = gamedriver;

namespace {

enum { kInterval = 600, kDigests = 20 };

struct Golden {
  const char* name;
  const char* trace;
  UInt32 seed;
  int players;
  uint64_t digests[kDigests];
  SInt8 wave;
  SInt32 score[2];
  UInt32 endSeed;
};

struct Played {
  std::vector<uint64_t> digests;
  std::vector<UInt16> steps;  // the low 16 bits of every step's digest
  bool foughtBoss = false;
};

std::string TracePath(const char* name) {
  std::string here = __FILE__;
  return here.substr(0, here.rfind('/')) + "/golden/" + name + ".trace";
}

// Four hex digits a step, sixteen steps a line.
void WriteTrace(const char* name, const std::vector<UInt16>& steps) {
  std::ofstream out(TracePath(name));
  for (size_t i = 0; i < steps.size(); i++) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", steps[i]);
    out << text << ((i + 1) % 16 == 0 ? "\n" : " ");
  }
}

std::vector<UInt16> ReadTrace(const char* name) {
  std::ifstream in(TracePath(name));
  std::vector<UInt16> steps;
  std::string word;
  while (in >> word) steps.push_back(UInt16(std::stoul(word, nullptr, 16)));
  return steps;
}

Played Play(const Golden& g) {
  Played out;
  fakeSERVICES.Reset();
  gd::Begin(g.seed);
  for (int step = 0; step < kInterval * kDigests; step++) {
    gd::ReleaseAll();
    for (int p = 0; p < g.players; p++) gd::Pilot(p, step);
    gd::Step();
    if (BOSS.on) out.foughtBoss = true;
    uint64_t digest = gd::StateDigest();
    out.steps.push_back(UInt16(digest));
    if ((step + 1) % kInterval == 0) out.digests.push_back(digest);
  }
  return out;
}

const Golden kGames[] = {
    {"one player",
     "one-player",
     13,
     1,
     {0xacb52f653c24e279ull, 0x26b44b618a8d5410ull, 0x6e4cc773efab670bull, 0x9e3e7ae6a0c578b9ull,
      0x40e097a55ed42eb9ull, 0xac3adc6990c0ebd2ull, 0x90ed36172c89e3b8ull, 0x1c30ad8d4defd23dull,
      0x0770f2c934878590ull, 0xe323db73f43d9f2cull, 0xa3db8d57d6e4ae04ull, 0xab1463e5a440a0c1ull,
      0x690bd296dbc31eb3ull, 0x15f924ead5c38cf2ull, 0x16546c88eca93d4eull, 0x75886374c4a2a258ull,
      0xf94b2db29ed4a960ull, 0x01807744045d9959ull, 0x45c3f269c8265a3dull, 0x6e03ad570f506065ull},
     4,
     {18200, 0},
     13283960u},
    {"two players",
     "two-players",
     35,
     2,
     {0xa242a4a42ff8f393ull, 0xf0181b2e46d9e4b6ull, 0x61a7b428b9ed4f3bull, 0x68e130e2f8b6f35dull,
      0xc2bf4b831f5fdeaaull, 0x3997276125889fdfull, 0x2d4dbd5b9fb9a6d5ull, 0xb8457ce27f687f8eull,
      0x4cfc47dd00b6e6bdull, 0x39cc138588d951f8ull, 0xb68022d0359146b7ull, 0x6e1379aa96f67406ull,
      0x036eb45bc04fc12full, 0x6427b70ffc3ff321ull, 0xb384a0c056797b73ull, 0x718d4b51597520e6ull,
      0x88e6caeb8e0359f2ull, 0xb8cc08732b2e3b5full, 0xf6ce11fa6fdbebafull, 0x6a23c529284552ecull},
     4,
     {14550, 600},
     18305708u},
};

}  // namespace

TEST(GoldenGame, PlaysAsRecorded) {
  bool print = std::getenv("HALVANE_GOLDEN_PRINT") != nullptr;
  for (const Golden& g : kGames) {
    Played played = Play(g);
    if (print) {
      WriteTrace(g.trace, played.steps);
      std::printf("    {\"%s\", \"%s\", %u, %d, {", g.name, g.trace, g.seed, g.players);
      for (uint64_t d : played.digests) std::printf("0x%016" PRIx64 "ull, ", d);
      std::printf("}, %d, {%d, %d}, %uu},\n", waveNUM, playerSCORE[0], playerSCORE[1], randomSEED);
      continue;
    }
    EXPECT_TRUE(played.foughtBoss) << g.name;
    EXPECT_GT(waveNUM, 3) << g.name << ": past the first boss wave";
    std::vector<UInt16> trace = ReadTrace(g.trace);
    EXPECT_EQ(trace.size(), played.steps.size()) << g.name << ": " << TracePath(g.trace);
    for (size_t i = 0; i < trace.size() && i < played.steps.size(); i++) {
      if (trace[i] != played.steps[i]) {
        ADD_FAILURE() << g.name << ": the game state first differs after step " << i + 1 << " of "
                      << played.steps.size();
        break;
      }
    }
    for (int i = 0; i < kDigests; i++) {
      if (played.digests[i] != g.digests[i]) {
        ADD_FAILURE() << g.name << ": the state after step " << (i + 1) * kInterval << " is not the recorded one; now "
                      << gd::Describe();
        break;
      }
    }
    EXPECT_EQ(waveNUM, g.wave) << g.name;
    EXPECT_EQ(playerSCORE[0], g.score[0]) << g.name;
    EXPECT_EQ(playerSCORE[1], g.score[1]) << g.name;
    EXPECT_EQ(randomSEED, g.endSeed) << g.name;
  }
}
