// The twenty-three sound effects: mono 44.1 kHz, each rendered by its own
// small recipe and ended with silence (the player drops the last samples).
#include "AssetGen.h"
#include "Synth.h"

namespace assetgen {

using namespace synth;

namespace {

using Voice = double (*)(double t, double& phase, Noise& noise, Svf& filter);

std::vector<float> Render(double seconds, uint32_t seed, Voice voice) {
  std::vector<float> out(size_t(seconds * kRate));
  double phase = 0;
  Noise noise(seed);
  Svf filter;
  for (size_t i = 0; i < out.size(); ++i) out[i] = float(voice(double(i) / kRate, phase, noise, filter));
  return out;
}

// Advances a phase by one sample at frequency hz and returns it.
double Step(double& phase, double hz) {
  phase += hz / kRate;
  return phase;
}

double Blip(double t, double& ph, Noise&, Svf&) {
  double hz = t < 0.03 ? 1320 : 1760;
  return 0.6 * Square(Step(ph, hz), 0.25) * Env(t, 0.002, 0.025);
}

double Dink(double t, double& ph, Noise&, Svf&) {
  double p = Step(ph, 2637);
  return Env(t, 0.001, 0.05) * (0.7 * Sine(p) + 0.25 * Sine(p * 2.76) + 0.1 * Sine(p * 5.4));
}

double Bounce(double t, double& ph, Noise&, Svf&) {
  double hz = 220 + 500 * std::sin(M_PI * std::min(1.0, t / 0.16));
  return 0.7 * Tri(Step(ph, hz)) * Env(t, 0.003, 0.07);
}

double Pod(double t, double& ph, Noise&, Svf&) {
  static const double notes[] = {76, 79, 83, 88};
  int k = std::min(3, int(t / 0.05));
  double tk = t - 0.05 * k;
  double p = Step(ph, MidiHz(notes[k]));
  return Env(tk, 0.002, 0.04 + 0.03 * k) * (0.6 * Sine(p) + 0.25 * Square(p, 0.3));
}

double Flip(double t, double& ph, Noise& n, Svf& f) {
  double hz = 900 + 2400 * t / 0.08;
  f.Run(n(), 3000, 2);
  return Env(t, 0.001, 0.025) * (0.5 * Square(Step(ph, hz)) + 0.5 * f.band);
}

double Super(double t, double& ph, Noise&, Svf&) {
  double p = Step(ph, MidiHz(60 + 24 * std::min(1.0, t / 0.7)));
  double shimmer = 0.5 + 0.5 * Sine(t * 14);
  double s = Saw(p) * 0.35 + Saw(p * 1.5) * 0.25 + Saw(p * 2.003) * 0.2 + Sine(p * 4) * 0.2;
  return s * Env(t, 0.05, 0.45) * (0.7 + 0.3 * shimmer);
}

double Alarm(double t, double& ph, Noise&, Svf& f) {
  double cycle = std::fmod(t, 0.4);
  double hz = cycle < 0.2 ? 740 : 554;
  f.Run(Square(Step(ph, hz), 0.4), 2600, 1.2);
  double within = std::fmod(cycle, 0.2);
  double gate = std::min(1.0, std::min(within, 0.2 - within) * 200);
  return 0.6 * f.low * gate * std::min(1.0, (1.6 - t) * 8);
}

double Suck(double t, double& ph, Noise& n, Svf& f) {
  double k = t / 0.55;
  f.Run(n(), 300 + 5000 * k * k, 3);
  double tone = Sine(Step(ph, 900 - 700 * k)) * 0.3;
  return (f.band * 0.8 + tone) * std::sin(M_PI * std::min(1.0, k)) * (1 - 0.7 * k);
}

double Tone(double t, double& ph, Noise&, Svf&) {
  double p = Step(ph, 880);
  return 0.5 * (Sine(p) + 0.2 * Sine(2 * p)) * Env(t, 0.01, 0.25);
}

double Laser(double t, double& ph, double from, double to, double len, double duty) {
  double k = std::min(1.0, t / len);
  double hz = from * std::pow(to / from, k);
  return (0.55 * Square(Step(ph, hz), duty) + 0.3 * Sine(ph * 0.5)) * Env(t, 0.002, len * 0.45);
}

double Shot0(double t, double& ph, Noise&, Svf&) { return Laser(t, ph, 2200, 380, 0.16, 0.35); }
double Shot1(double t, double& ph, Noise&, Svf&) { return Laser(t, ph, 1100, 160, 0.22, 0.5); }
double Shot2(double t, double& ph, Noise&, Svf&) {
  double second = t > 0.05 ? Laser(t - 0.05, ph, 2600, 520, 0.14, 0.3) : 0;
  return 0.6 * Laser(t, ph, 2000, 420, 0.16, 0.4) + 0.5 * second;
}

double Explosion(double t, Noise& n, Svf& f, double cutoff, double decay, double rumbleHz) {
  double env = Env(t, 0.004, decay);
  f.Run(n(), cutoff * (0.15 + 0.85 * env), 0.8);
  double crackle = (n() > 0.96 ? 1.0 : 0.0) * Env(t, 0.0, decay * 0.4);
  return env * (f.low * 1.4 + 0.6 * Sine(rumbleHz * t * (1.0 - 0.25 * t))) + 0.3 * crackle;
}

double Boom0(double t, double&, Noise& n, Svf& f) { return Explosion(t, n, f, 3200, 0.16, 70); }
double Boom1(double t, double&, Noise& n, Svf& f) { return Explosion(t, n, f, 2200, 0.42, 45); }

double Metal(double t, double base, double decay) {
  static const double ratios[] = {1.0, 2.32, 3.17, 4.41, 5.93};
  double s = 0;
  for (int i = 0; i < 5; ++i) s += Sine(base * ratios[i] * t) * std::exp(-t / (decay / (1 + 0.5 * i))) / (1 + i * 0.6);
  return 0.5 * s * std::min(1.0, t * 2000);
}

double Metal0(double t, double&, Noise& n, Svf&) { return Metal(t, 523, 0.12) + 0.3 * n() * Env(t, 0, 0.008); }
double Metal1(double t, double&, Noise& n, Svf&) { return Metal(t, 389, 0.16) + 0.3 * n() * Env(t, 0, 0.01); }

double Power(double t, double& ph, Noise&, Svf&) {
  double k = t / 0.6;
  double p = Step(ph, 300 * std::pow(6.0, k));
  double vib = 1 + 0.5 * Square(t * 30);
  return 0.45 * (Square(p, 0.5) * 0.5 + Tri(p * 2) * 0.5) * vib * 0.6 * Env(t, 0.01, 0.5) *
         std::min(1.0, (0.6 - t) * 20);
}

double Shield(double t, double& ph, Noise&, Svf&) {
  double p = Step(ph, 330 + 300 * t);
  double s = Sine(p) + 0.6 * Sine(p * 1.503) + 0.4 * Sine(p * 2.01);
  return 0.35 * s * (0.6 + 0.4 * Sine(t * 24)) * Env(t, 0.05, 0.22);
}

double Spin(double t, double& ph, Noise& n, Svf& f) {
  double k = t / 0.6;
  f.Run(n(), 1800 - 1400 * k, 6);
  double whirl = 0.5 + 0.5 * Sine(t * (30 - 20 * k));
  return (f.band * 0.9 + 0.3 * Saw(Step(ph, 420 - 300 * k))) * whirl * Env(t, 0.01, 0.3);
}

double Bump(double t, double& ph, Noise& n, Svf& f) {
  f.Run(n(), 600, 0.7);
  return 0.9 * Sine(Step(ph, 110 - 60 * std::min(1.0, t / 0.12))) * Env(t, 0.002, 0.05) +
         0.5 * f.low * Env(t, 0.001, 0.02);
}

double Engine(double t, double& ph, Noise& n, Svf& f) {
  double k = t / 0.75;
  double doppler = 1.0 + 0.6 * std::tanh((0.45 - k) * 6);
  f.Run(n(), 700 * doppler, 4);
  double body = Saw(Step(ph, 95 * doppler)) * 0.4 + f.band * 0.8;
  return body * std::sin(M_PI * std::min(1.0, k)) * 0.8;
}

double Tap(double t, double& ph, Noise& n, Svf&) {
  return Env(t, 0.0005, 0.012) * (0.6 * Sine(Step(ph, 1900)) + 0.4 * n());
}

double Intro(double t, double& ph, Noise&, Svf&) {
  static const double notes[] = {57, 64, 69, 72, 76};
  int k = std::min(4, int(t / 0.14));
  double tk = t - 0.14 * k;
  double hz = MidiHz(notes[k]);
  double p = Step(ph, hz);
  double hold = k == 4 ? 0.6 : 0.12;
  return 0.5 * (Saw(p) * 0.4 + Square(p, 0.3) * 0.3 + Sine(p * 2) * 0.3) * Env(tk, 0.005, hold);
}

struct Effect {
  const char* name;
  double seconds;
  Voice voice;
  double peak;
};

const Effect kEffects[] = {
    {"Blip", 0.09, Blip, 0.6},     {"Dink", 0.2, Dink, 0.55},    {"Bounce", 0.2, Bounce, 0.7},
    {"Pod", 0.32, Pod, 0.6},       {"Flip", 0.1, Flip, 0.5},     {"Super", 1.1, Super, 0.75},
    {"Alarm", 1.6, Alarm, 0.42},   {"Suck", 0.55, Suck, 0.75},   {"Tone", 0.6, Tone, 0.55},
    {"Shot2", 0.26, Shot2, 0.6},   {"Shot0", 0.2, Shot0, 0.55},  {"Shot1", 0.28, Shot1, 0.6},
    {"Boom0", 0.8, Boom0, 0.9},    {"Boom1", 1.8, Boom1, 0.95},  {"Intro_Mono", 1.5, Intro, 0.7},
    {"Metal0", 0.5, Metal0, 0.7},  {"Metal1", 0.6, Metal1, 0.7}, {"Power", 0.62, Power, 0.65},
    {"Shield", 0.6, Shield, 0.6},  {"Spin", 0.6, Spin, 0.65},    {"Bump", 0.22, Bump, 0.85},
    {"Engine", 0.75, Engine, 0.6}, {"Tap", 0.06, Tap, 0.55},
};

}  // namespace

// Every effect's peak is scaled by this, so that the busiest moments of play
// (two pilots firing at a boss over its music) keep their headroom.
const double kEffectLevel = 0.62;

void AddSoundJobs(std::vector<Job>& jobs) {
  uint32_t seed = 1;
  for (const Effect& e : kEffects) {
    jobs.push_back([e, seed] {
      std::vector<float> s = Render(e.seconds, seed * 2654435761u, e.voice);
      BlockDc(s);
      Normalise(s, e.peak * kEffectLevel);
      Finish(s, 0.01, 0.02);
      WriteOgg(std::string("Audio/") + e.name + ".ogg", s, 1, kRate, 0.5f);
    });
    ++seed;
  }
}

}  // namespace assetgen
