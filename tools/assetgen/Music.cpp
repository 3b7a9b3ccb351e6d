// The four music loops (title, main menu, game, boss): stereo 44.1 kHz,
// composed from a chord progression by a small step sequencer. Every note's
// tail and the echo wrap around the loop's end, so the last sample runs
// straight into the first and the loop has no seam.
#include <algorithm>
#include <cstdlib>

#include "AssetGen.h"
#include "Synth.h"

namespace assetgen {

using namespace synth;

namespace {

struct Chord {
  int offset;  // semitones above the key's root
  bool minor;
};

struct Song {
  const char* file;
  double bpm;
  int root;  // MIDI note of the key
  int bars;
  std::vector<Chord> chords;  // one per two bars, repeating
  int drums;                  // 0 none, 1 light, 2 driving, 3 heavy
  bool bass, arp, lead;
  double padLevel;
  uint32_t seed;
};

struct Loop {
  std::vector<float> lr;  // interleaved stereo
  size_t frames;
  void Add(size_t frame, double left, double right) {
    size_t i = (frame % frames) * 2;
    lr[i] += float(left);
    lr[i + 1] += float(right);
  }
};

// One note: voice shape by kind, written with its tail wrapping the loop.
enum class Kind { Kick, Snare, Hat, Bass, Pad, Arp, Lead };

void Note(Loop& loop, Kind kind, size_t start, double midi, double len, double gain, double pan, uint32_t seed) {
  double hz = MidiHz(midi);
  double tail = kind == Kind::Pad ? 1.2 : kind == Kind::Kick ? 0.35 : 0.3;
  size_t n = size_t((len + tail) * kRate);
  Noise noise(seed);
  Svf f;
  double ph = 0, ph2 = 0.3, ph3 = 0.6;
  for (size_t i = 0; i < n; ++i) {
    double t = double(i) / kRate;
    double gate = t < len ? 1.0 : std::exp(-(t - len) / (tail * 0.25));
    double v = 0;
    switch (kind) {
      case Kind::Kick:
        ph += (45 + 110 * std::exp(-t / 0.03)) / kRate;
        v = Sine(ph) * Env(t, 0.001, 0.16) + 0.2 * noise() * Env(t, 0, 0.004);
        break;
      case Kind::Snare:
        f.Run(noise(), 4200, 0.9);
        ph += 185.0 / kRate;
        v = f.band * 1.3 * Env(t, 0.001, 0.09) + 0.5 * Sine(ph) * Env(t, 0.001, 0.04);
        break;
      case Kind::Hat: {
        double x = noise();
        f.Run(x, 7000, 0.7);
        v = f.High(x, 0.7) * Env(t, 0.0005, len);
        break;
      }
      case Kind::Bass:
        ph += hz / kRate;
        ph2 += hz * 1.006 / kRate;
        f.Run(0.6 * Saw(ph) + 0.4 * Square(ph2), 180 + 1400 * Env(t, 0.002, 0.09), 2.5);
        v = f.low * gate * Env(t, 0.003, 1.5);
        break;
      case Kind::Pad:
        ph += hz * 0.997 / kRate;
        ph2 += hz * 1.004 / kRate;
        ph3 += hz * 2.001 / kRate;
        f.Run(Saw(ph) + Saw(ph2) + 0.3 * Tri(ph3), 900 + 500 * Sine(t * 0.15), 0.9);
        v = 0.45 * f.low * std::min(1.0, t / 0.4) * gate;
        break;
      case Kind::Arp:
        ph += hz / kRate;
        f.Run(Square(ph, 0.3), 2400 + 2000 * Env(t, 0.001, 0.05), 1.5);
        v = f.low * Env(t, 0.002, 0.11) * gate;
        break;
      case Kind::Lead:
        ph += hz * (1 + 0.004 * Sine(t * 5.5) * std::min(1.0, t * 3)) / kRate;
        ph2 += hz * 1.003 / kRate;
        f.Run(Saw(ph) * 0.6 + Square(ph2, 0.45) * 0.4, 2800, 1.2);
        v = f.low * std::min(1.0, t / 0.01) * gate * (0.8 + 0.2 * Env(t, 0, 0.2));
        break;
    }
    double l = std::cos((pan + 1) * M_PI / 4), r = std::sin((pan + 1) * M_PI / 4);
    loop.Add(start + i, v * gain * l * 1.41, v * gain * r * 1.41);
  }
}

std::vector<int> ChordTones(const Chord& c, int root) {
  int base = root + c.offset;
  return {base, base + (c.minor ? 3 : 4), base + 7};
}

// Stereo echo run twice round the loop so its state at the end matches the start.
void Echo(Loop& loop, double beats, double bpm, double feedback, double mix) {
  size_t d = size_t(beats * 60.0 / bpm * kRate);
  std::vector<float> buf(d * 2, 0.0f);
  std::vector<float> dry = loop.lr;
  size_t at = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < loop.frames; ++i) {
      float delayedPair[2] = {buf[at * 2 + 1], buf[at * 2]};  // ping-pong
      for (int c = 0; c < 2; ++c) {
        float delayed = delayedPair[c];
        float in = dry[i * 2 + c];
        if (pass == 1) loop.lr[i * 2 + c] = float(in + mix * delayed);
        buf[at * 2 + c] = float(in * 0.5 + feedback * delayed);
      }
      at = (at + 1) % d;
    }
  }
}

void Compose(const Song& s) {
  const double step = 60.0 / s.bpm / 4;  // a sixteenth
  const int steps = s.bars * 16;
  Loop loop;
  loop.frames = size_t(std::lround(steps * step * kRate));
  loop.lr.assign(loop.frames * 2, 0.0f);
  Rng rng(s.seed);
  auto at = [&](int st) { return size_t(std::lround(st * step * kRate)); };
  int leadNote = s.root + 12;
  int leadFree = 0;  // first step after the sounding lead note
  for (int st = 0; st < steps; ++st) {
    const Chord& ch = s.chords[(st / 32) % s.chords.size()];
    std::vector<int> tones = ChordTones(ch, s.root);
    int inBar = st % 16;
    uint32_t seed = s.seed * 7919u + uint32_t(st);
    if (st % 32 == 0)
      for (int k = 0; k < 3; ++k)
        Note(loop, Kind::Pad, at(st), tones[k], 32 * step - 0.05, 0.16 * s.padLevel, -0.5 + 0.5 * k, seed + k);
    if (s.drums >= 1 && (inBar % 8 == 0 || (s.drums >= 2 && inBar % 4 == 0) || (s.drums >= 3 && inBar % 16 == 14)))
      Note(loop, Kind::Kick, at(st), 0, 0.2, 0.55, 0, seed);
    if (s.drums >= 2 && inBar % 8 == 4) Note(loop, Kind::Snare, at(st), 0, 0.15, 0.32, 0.1, seed);
    if (s.drums >= 3 && inBar == 15 && (st / 16) % 2 == 1) Note(loop, Kind::Snare, at(st), 0, 0.1, 0.2, -0.1, seed + 1);
    if (s.drums >= 1 && (s.drums >= 2 ? st % 2 == 0 : st % 4 == 2))
      Note(loop, Kind::Hat, at(st), 0, inBar % 4 == 2 ? 0.06 : 0.025, s.drums >= 2 ? 0.12 : 0.08, 0.4, seed);
    if (s.bass) {
      bool hit = s.drums >= 2 ? st % 2 == 0 : inBar % 4 == 0;
      if (hit) {
        int note = tones[0] - 24 + ((s.drums >= 3 && inBar % 8 == 6) ? 12 : 0);
        Note(loop, Kind::Bass, at(st), note, step * (s.drums >= 2 ? 1.6 : 3.5), 0.3, 0, seed);
      }
    }
    if (s.arp) {
      static const int order[] = {0, 1, 2, 3, 2, 1, 0, 2};
      int k = order[st % 8];
      int note = (k == 3 ? tones[0] + 12 : tones[k]) + 12;
      Note(loop, Kind::Arp, at(st), note, step * 0.9, 0.075, (st % 2) ? 0.6 : -0.6, seed);
    }
    if (s.lead && inBar % 2 == 0 && (st / 64) % 2 == 1 && st >= leadFree) {
      if (rng.Unit() < 0.7) {
        // a chord tone near the last note keeps the line in key and smooth
        std::vector<int> near;
        for (int octave : {12, 24})
          for (int t : tones) near.push_back(t + octave);
        std::sort(near.begin(), near.end(),
                  [&](int a, int b) { return std::abs(a - leadNote) < std::abs(b - leadNote); });
        leadNote = near[rng.Next() % 3];
        int hold = 1 + int(rng.Next() % 3);
        leadFree = st + 2 * hold;
        Note(loop, Kind::Lead, at(st), leadNote, step * 2 * hold - 0.02, 0.11, 0.15, seed);
      }
    }
  }
  Echo(loop, 0.75, s.bpm, 0.38, 0.35);
  RemoveMean(loop.lr, 2);
  // Well below full scale: the effects play over it.
  Normalise(loop.lr, 0.45);
  WriteOgg(std::string("Music/") + s.file + ".ogg", loop.lr, 2, kRate, 0.4f);
}

}  // namespace

void AddMusicJobs(std::vector<Job>& jobs) {
  const std::vector<Song> songs = {
      {"Title", 84, 57, 8, {{0, true}, {8, false}, {3, false}, {10, false}}, 1, false, true, false, 1.3, 11},
      {"Main",
       100,
       50,
       16,
       {{0, true}, {5, true}, {8, false}, {7, false}, {0, true}, {10, false}, {3, false}, {7, false}},
       1,
       true,
       true,
       true,
       1.1,
       23},
      {"Game",
       128,
       52,
       16,
       {{0, true}, {8, false}, {3, false}, {10, false}, {0, true}, {8, false}, {5, true}, {7, false}},
       2,
       true,
       true,
       true,
       0.8,
       37},
      {"Boss",
       148,
       48,
       16,
       {{0, true}, {1, false}, {0, true}, {8, false}, {0, true}, {1, false}, {10, false}, {7, false}},
       3,
       true,
       true,
       true,
       0.9,
       41},
  };
  for (const Song& s : songs) jobs.push_back([s] { Compose(s); });
}

}  // namespace assetgen
