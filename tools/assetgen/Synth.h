// Small synthesis kit shared by the effects and the music: oscillators,
// envelopes, noise and one-pole/state-variable filters on float buffers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace assetgen::synth {

constexpr int kRate = 44100;
constexpr double kTau = 6.283185307179586;

inline double Saw(double phase) { return 2.0 * (phase - std::floor(phase)) - 1.0; }
inline double Square(double phase, double duty = 0.5) { return (phase - std::floor(phase)) < duty ? 1.0 : -1.0; }
inline double Tri(double phase) {
  double p = phase - std::floor(phase);
  return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
}
inline double Sine(double phase) { return std::sin(kTau * phase); }

// Deterministic white noise in [-1, 1].
struct Noise {
  uint32_t s;
  explicit Noise(uint32_t seed) : s(seed | 1) {}
  double operator()() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return (s >> 8) / 8388608.0 - 1.0;
  }
};

// Chamberlin state-variable filter; cutoff in Hz, q about 0.5..10.
struct Svf {
  double low = 0, band = 0;
  void Run(double in, double cutoff, double q) {
    double f = 2 * std::sin(M_PI * std::min(cutoff, kRate / 6.5) / kRate);
    double high = in - low - band / q;
    band += f * high;
    low += f * band;
  }
  double High(double in, double q) const { return in - low - band / q; }
};

// Attack/decay envelope with exponential decay, t in seconds.
inline double Env(double t, double attack, double decay) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

inline double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Fades the last `seconds` of a buffer out and adds `silence` seconds of zeros.
inline void Finish(std::vector<float>& s, double fade, double silence) {
  size_t n = size_t(fade * kRate);
  for (size_t i = 0; i < n && i < s.size(); ++i) s[s.size() - 1 - i] *= float(double(i) / n);
  s.resize(s.size() + size_t(silence * kRate), 0.0f);
}

// One-pole DC blocker for sounds that start and end in silence (pulse waves
// of uneven duty carry an offset).
inline void BlockDc(std::vector<float>& s) {
  double x1 = 0, y1 = 0;
  for (float& v : s) {
    double y = v - x1 + 0.997 * y1;
    x1 = v;
    y1 = y;
    v = float(y);
  }
}

// Removes each channel's mean: a constant shift keeps a loop's seam intact.
inline void RemoveMean(std::vector<float>& s, int channels) {
  for (int c = 0; c < channels; ++c) {
    double sum = 0;
    for (size_t i = c; i < s.size(); i += channels) sum += s[i];
    float mean = float(sum / (s.size() / channels));
    for (size_t i = c; i < s.size(); i += channels) s[i] -= mean;
  }
}

// Scales a buffer so that its peak is `peak`.
inline void Normalise(std::vector<float>& s, double peak) {
  float m = 0;
  for (float v : s) m = std::max(m, std::fabs(v));
  if (m > 0)
    for (float& v : s) v = float(v * peak / m);
}

}  // namespace assetgen::synth
