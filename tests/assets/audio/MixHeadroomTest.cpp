// The loudest moment of play, two pilots hammering a boss, leaves headroom:
// the bundle's effects and boss music are played as the game plays them
// (sources placed over the field, gains from the default volumes) through
// OpenAL Soft's own mixer, rendered offline, and the mix's peak is read.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/OggDecoder.h"

namespace {

std::string Resources() {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  return std::string(bundle ? bundle : "build/Halvane.app") + "/Contents/Resources/";
}

// One effect started at a step (60 a second) by something at a point of the
// 640 x 480 field.
struct Cue {
  int step;
  const char* sound;
  int h, v;
};

// Four seconds of a boss wave with both pilots in: each fires ten times a
// second (player 2 with doubles), their shots ring on the boss a few steps
// later, the boss fires and loses parts, and the second pilot is hit.
std::vector<Cue> BossFight() {
  std::vector<Cue> cues;
  for (int step = 0; step < 240; ++step) {
    if (step % 6 == 0) cues.push_back({step, "Shot0", 240, 420});
    if (step % 6 == 3) cues.push_back({step, "Shot2", 400, 420});
    if (step % 6 == 5) cues.push_back({step, (step / 6) % 2 ? "Metal1" : "Metal0", 320, 150});
    if (step % 20 == 10) cues.push_back({step, "Shot1", 320, 170});
  }
  for (int step : {40, 130, 200}) cues.push_back({step, "Boom0", 300 + step % 60, 160});
  cues.push_back({100, "Boom1", 320, 150});
  cues.push_back({150, "Bump", 400, 420});
  cues.push_back({160, "Shield", 400, 420});
  return cues;
}

// The mix's peak in dBFS with the effects and the music at the given volumes
// (0..255, as the preferences hold them).
double BossFightPeak(int soundVolume, int musicVolume) {
  auto openLoopback =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!openLoopback || !render) {
    ADD_FAILURE() << "this OpenAL has no loopback device";
    return 0;
  }
  ALCdevice* device = openLoopback(nullptr);
  if (!device) {
    ADD_FAILURE() << "no loopback device";
    return 0;
  }
  const ALCint attributes[] = {
      ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT, ALC_FREQUENCY, 44100, 0};
  ALCcontext* context = alcCreateContext(device, attributes);
  if (!context) {
    ADD_FAILURE() << "no context on the loopback device";
    alcCloseDevice(device);
    return 0;
  }
  alcMakeContextCurrent(context);
  // The listener as the game places it: at the origin, looking down -z.
  const ALfloat origin[3] = {0, 0, 0}, facing[6] = {0, 0, -1, 0, 1, 0};
  alListenerfv(AL_POSITION, origin);
  alListenerfv(AL_VELOCITY, origin);
  alListenerfv(AL_ORIENTATION, facing);

  const float soundGain = soundVolume / 255.0f, musicGain = musicVolume / 255.0f;
  std::map<std::string, ALuint> buffers;
  auto load = [&](const std::string& relative) {
    DecodedOgg d = DecodeOggFile(Resources() + relative);
    EXPECT_FALSE(d.samples.empty()) << relative;
    ALuint b = 0;
    alGenBuffers(1, &b);
    alBufferData(b, d.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, d.samples.data(),
                 ALsizei(d.samples.size() * sizeof(short)), ALsizei(d.rate));
    return b;
  };
  const std::vector<Cue> cues = BossFight();
  for (const Cue& c : cues)
    if (!buffers.count(c.sound)) buffers[c.sound] = load(std::string("Audio/") + c.sound + ".ogg");

  ALuint music = 0;
  alGenSources(1, &music);
  ALuint musicBuffer = load("Music/Boss.ogg");
  alSourcei(music, AL_BUFFER, ALint(musicBuffer));
  alSourcei(music, AL_LOOPING, AL_TRUE);
  alSourcei(music, AL_SOURCE_RELATIVE, AL_TRUE);
  alSourcef(music, AL_GAIN, musicGain);
  alSourcePlay(music);

  // The game's sixteen effect sources, taken in turn.
  ALuint sources[16];
  alGenSources(16, sources);
  int next = 0;
  std::vector<float> mix;
  float frame[735 * 2];
  size_t cue = 0;
  for (int step = 0; step < 300; ++step) {
    for (; cue < cues.size() && cues[cue].step == step; ++cue) {
      ALuint s = sources[next];
      next = (next + 1) % 16;
      const ALfloat at[3] = {(cues[cue].h - 320) / 320.0f, (cues[cue].v - 240) / 320.0f, 0};
      alSourceStop(s);
      alSourcei(s, AL_BUFFER, ALint(buffers[cues[cue].sound]));
      alSourcef(s, AL_GAIN, soundGain);
      alSourcefv(s, AL_POSITION, at);
      alSourcePlay(s);
    }
    render(device, frame, 735);
    mix.insert(mix.end(), frame, frame + 735 * 2);
  }
  EXPECT_EQ(alGetError(), AL_NO_ERROR);

  float peak = 0;
  for (float v : mix) peak = std::max(peak, std::fabs(v));
  const double dbfs = 20 * std::log10(std::max(peak, 1e-9f));

  alDeleteSources(16, sources);
  alDeleteSources(1, &music);
  for (auto& [name, b] : buffers) alDeleteBuffers(1, &b);
  alDeleteBuffers(1, &musicBuffer);
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
  return dbfs;
}

TEST(MixHeadroom, TwoPilotsAndTheBossLeaveThreeDecibels) {
  struct Volumes {
    const char* what;
    int sound, music;
  };
  const Volumes cases[] = {{"default volumes", 192, 192}, {"full volumes", 255, 255}};
  for (const Volumes& v : cases) {
    SCOPED_TRACE(v.what);
    const double dbfs = BossFightPeak(v.sound, v.music);
    std::printf("boss fight, two pilots, %s: peak %.1f dBFS\n", v.what, dbfs);
    EXPECT_LE(dbfs, -3.0);
  }
}

}  // namespace
