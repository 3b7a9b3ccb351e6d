#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/Memory.h"
#include "foundation/Paths.h"
#include "sound/AudioPrefs.h"
#include "sound/SoundChannels.h"
#include "sound/SoundEffects.h"
#include "sound/SoundLoading.h"
#include "support/OggWriter.h"
#include "support/TempFolder.h"
#include "support/openal/FakeOpenAL.h"

namespace {

// A sound resource holding the given samples behind an extended header.
class Resource {
 public:
  Resource(const std::vector<int16_t>& samples, int channels, UInt32 hertz) {
    EXPECT_EQ(
        BuildSoundHandle(&handle, SInt16(channels), hertz << 16, 16, 60, samples.data(), UInt32(samples.size() * 2)),
        0);
  }
  Resource(const std::vector<uint8_t>& samples, int channels, UInt32 hertz) {
    EXPECT_EQ(BuildSoundHandle(&handle, SInt16(channels), hertz << 16, 8, 60, samples.data(), UInt32(samples.size())),
              0);
  }
  ~Resource() { QKDisposeHandle(handle); }
  QKSoundHeader* Header() { return QKGetSoundHeader(reinterpret_cast<QKSndListResource*>(*handle)); }
  Handle handle = nullptr;
};

std::vector<int16_t> Samples16(const QKSndCommand& c) {
  QKSoundHeader* h = c.Header();
  UInt32 count = GetSoundHeaderSampleLengthInBytes(h) / 2;
  std::vector<int16_t> out(count);
  std::memcpy(out.data(), QKGetSoundHeaderSamples(h), count * 2);
  return out;
}

std::vector<int8_t> Samples8(const QKSndCommand& c) {
  QKSoundHeader* h = c.Header();
  UInt32 count = GetSoundHeaderSampleLengthInBytes(h);
  std::vector<int8_t> out(count);
  std::memcpy(out.data(), QKGetSoundHeaderSamples(h), count);
  return out;
}

class SoundLoading : public ::testing::Test {
 protected:
  FakeOpenAL al;
};

TEST_F(SoundLoading, HeadersAreByteLayoutsOf68And22Bytes) {
  Resource r(std::vector<int16_t>(10, 0), 2, 44100);
  QKSoundHeader* h = r.Header();
  EXPECT_EQ(reinterpret_cast<char*>(h) - *r.handle, 6);
  EXPECT_EQ(GetSoundHeaderLength(h), 68);
  EXPECT_EQ(static_cast<char*>(QKGetSoundHeaderSamples(h)) - reinterpret_cast<char*>(h), 68);
  EXPECT_EQ(GetSoundHeaderNumFrames(h), 5u);
  EXPECT_EQ(QKGetSoundHeaderNumChannels(h), 2);
  EXPECT_EQ(QKGetSoundHeaderSampleRate(h), 44100u << 16);
  EXPECT_EQ(h->bytes[kSHBaseFrequency], 60);
  EXPECT_EQ(QKGetSoundHeaderSampleSize(h), 16);
  EXPECT_EQ(GetSoundHeaderSampleLengthInBytes(h), 20u);
  EXPECT_EQ(QKGetSoundHeaderSamples(h), QKGetSoundSamples(reinterpret_cast<QKSndListResource*>(*r.handle)));

  h->bytes[kSHEncode] = stdSH;
  SHSet32(h, kSHNumChannels, 7);
  EXPECT_EQ(GetSoundHeaderLength(h), 22);
  EXPECT_EQ(GetSoundHeaderNumFrames(h), 7u);
  EXPECT_EQ(GetSoundHeaderNumChannels(h), 1);
  EXPECT_EQ(GetSoundHeaderSampleSize(h), 8);

  h->bytes[kSHEncode] = cmpSH;
  EXPECT_EQ(QKGetSoundHeaderSampleRate(h), 0u);
  EXPECT_EQ(QKGetSoundHeaderSampleSize(h), 0);
  EXPECT_EQ(QKGetSoundHeaderNumChannels(h), 0);
  EXPECT_EQ(QKGetSoundHeaderSamples(h), nullptr);
  EXPECT_EQ(QKGetSoundHeaderSampleRate(nullptr), 0u);
}

TEST_F(SoundLoading, AtTheDefaultsA16BitMonoSoundIsCopiedWhole) {
  std::vector<int16_t> in(200);
  for (size_t i = 0; i < in.size(); i++) in[i] = int16_t(i * 100 - 9000);
  Resource r(in, 1, 44100);
  QKSndCommand c;
  EXPECT_TRUE(LoadSoundFromSoundHeader(&c, r.Header(), false));
  EXPECT_EQ(c.cmd, bufferCmd);
  EXPECT_EQ(Samples16(c), in);
  EXPECT_EQ(soundLIST.FindItem(&c), &c);
  DisposeSound(&c);
  EXPECT_EQ(c.param2, 0);
  EXPECT_EQ(soundLIST.FindItem(&c), nullptr);
}

TEST_F(SoundLoading, AtHalfTheRateEachSampleIsTheMeanOfTwoAndLoopsAreHalved) {
  std::vector<int16_t> in = {10, 20, -4, -8, 100, 101, 7, 7};
  Resource r(in, 1, 44100);
  SHSet32(r.Header(), kSHLoopStart, 2);
  SHSet32(r.Header(), kSHLoopEnd, 100);
  audioPREFS.sampleRate = kRate22khz;
  QKSndCommand c;
  EXPECT_TRUE(LoadSoundFromSoundHeader(&c, r.Header(), true));
  EXPECT_EQ(c.cmd, soundCmd);
  EXPECT_EQ(Samples16(c), (std::vector<int16_t>{15, -6, 100, 7}));
  EXPECT_EQ(QKGetSoundHeaderSampleRate(c.Header()), kRate22khz);
  EXPECT_EQ(SHGet32(c.Header(), kSHLoopStart), 1u);
  EXPECT_EQ(SHGet32(c.Header(), kSHLoopEnd), 4u);  // 50 held to the length
}

// Loop points of a header from anywhere end up inside the converted samples,
// the start never after the end.
TEST_F(SoundLoading, ConvertedLoopPointsLieInsideTheSamples) {
  struct Case {
    SInt32 start, end;
    UInt32 keptStart, keptEnd;
  } cases[] = {{-5, -1, 0, 0}, {-1000000, 3, 0, 3}, {2, -7, 0, 0}, {INT32_MIN, INT32_MAX, 0, 8},
               {6, 2, 2, 2},   {1, 100, 1, 8}};
  for (const Case& k : cases) {
    std::vector<int16_t> in(8, 100);
    Resource r(in, 1, 44100);
    SHSet32(r.Header(), kSHLoopStart, UInt32(k.start));
    SHSet32(r.Header(), kSHLoopEnd, UInt32(k.end));
    QKSndCommand c;
    ASSERT_TRUE(LoadSoundFromSoundHeader(&c, r.Header(), true)) << k.start << " " << k.end;
    EXPECT_EQ(SHGet32(c.Header(), kSHLoopStart), k.keptStart) << k.start << " " << k.end;
    EXPECT_EQ(SHGet32(c.Header(), kSHLoopEnd), k.keptEnd) << k.start << " " << k.end;
  }
}

TEST_F(SoundLoading, AQuarterOfTheRateAveragesFour) {
  Resource r(std::vector<int16_t>{1, 2, 3, 6, 8, 8, 8, 8}, 1, 44100);
  audioPREFS.sampleRate = kRate11khz;
  QKSndCommand c;
  LoadSoundFromSoundHeader(&c, r.Header(), false);
  EXPECT_EQ(Samples16(c), (std::vector<int16_t>{3, 8}));
}

TEST_F(SoundLoading, ConvertersTable) {
  struct Case {
    const char* name;
    bool stereoPref;
    char sizePref;
    int channels;
    int size;
    std::vector<int> in;
    int outChannels, outSize;
    UInt8 encode;
    std::vector<int> out;
  } cases[] = {
      {"16s kept stereo", true, 16, 2, 16, {100, 300, -2, -4}, 2, 16, extSH, {100, 300, -2, -4}},
      {"16s folded to mono", false, 16, 2, 16, {100, 300, -3, -4}, 1, 16, extSH, {200, -4}},
      {"16m with stereo off", false, 16, 1, 16, {5, -5}, 1, 16, extSH, {5, -5}},
      {"16m to 8-bit", true, 8, 1, 16, {256, -256, 32767}, 1, 8, stdSH, {1, -1, 127}},
      {"16s to 8-bit stereo", true, 8, 2, 16, {512, -512, 0, 256}, 2, 8, extSH, {2, -2, 0, 1}},
      {"16s to 8-bit mono", false, 8, 2, 16, {512, 1024, -512, -1024}, 1, 8, stdSH, {3, -3}},
      {"8m", true, 16, 1, 8, {128, 255, 0}, 1, 8, stdSH, {0, 127, -128}},
      {"8s kept stereo", true, 16, 2, 8, {128, 130, 0, 255}, 2, 8, extSH, {0, 2, -128, 127}},
      {"8s to mono", false, 16, 2, 8, {128, 130, 0, 255}, 1, 8, stdSH, {1, -1}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    audioPREFS.stereo = k.stereoPref;
    audioPREFS.sampleSize = k.sizePref;
    std::unique_ptr<Resource> r;
    if (k.size == 16)
      r = std::make_unique<Resource>(std::vector<int16_t>(k.in.begin(), k.in.end()), k.channels, 44100);
    else
      r = std::make_unique<Resource>(std::vector<uint8_t>(k.in.begin(), k.in.end()), k.channels, 44100);
    QKSndCommand c;
    EXPECT_TRUE(LoadSoundFromSoundHeader(&c, r->Header(), false));
    ASSERT_NE(c.param2, 0);
    EXPECT_EQ(SHEncode(c.Header()), k.encode);
    EXPECT_EQ(GetSoundHeaderNumChannels(c.Header()), k.outChannels);
    EXPECT_EQ(GetSoundHeaderSampleSize(c.Header()), k.outSize);
    std::vector<int> got;
    if (k.outSize == 16)
      for (int16_t v : Samples16(c)) got.push_back(v);
    else
      for (int8_t v : Samples8(c)) got.push_back(v);
    EXPECT_EQ(got, k.out);
  }
}

TEST_F(SoundLoading, CheckSoundComparesWithTheSettings) {
  Resource r(std::vector<int16_t>{1, 2, 3, 4}, 2, 44100);
  QKSndCommand c;
  EXPECT_FALSE(CheckSound(&c));
  EXPECT_FALSE(CheckSound(nullptr));
  EXPECT_TRUE(LoadSoundFromSoundHeader(&c, r.Header(), false));
  audioPREFS.stereo = 0;
  EXPECT_FALSE(CheckSound(&c));
  audioPREFS.stereo = 1;
  audioPREFS.sampleRate = kRate22khz;
  EXPECT_FALSE(CheckSound(&c));
  c.Header()->bytes[kSHEncode] = cmpSH;
  audioPREFS.sampleRate = kRate44khz;
  EXPECT_FALSE(CheckSound(&c));
}

TEST_F(SoundLoading, AHeaderWithoutARateMakesNoBlock) {
  Resource r(std::vector<int16_t>{1, 2}, 1, 0);
  QKSndCommand c;
  EXPECT_FALSE(LoadSoundFromSoundHeader(&c, r.Header(), false));
  EXPECT_EQ(c.param2, 0);
}

TEST_F(SoundLoading, SetupALSoundFoldsStereoToOneMonoBufferAtTheSoundsRate) {
  Resource r(std::vector<int16_t>{100, 300, -3, -4, 32767, 32767}, 2, 22050);
  QKSndCommand c;
  LoadSoundFromSoundHeader(&c, r.Header(), false);
  ALSound sound;
  InitAudio();
  EXPECT_EQ(SetupALSound(&sound, &c, 0, nullptr), 1);
  const FakeBuffer& b = al.buffers.at(sound.Buffer(0));
  EXPECT_EQ(b.format, AL_FORMAT_MONO16);
  EXPECT_EQ(b.frequency, 22050);
  std::vector<int16_t> mono(b.data.size() / 2);
  std::memcpy(mono.data(), b.data.data(), b.data.size());
  EXPECT_EQ(mono, (std::vector<int16_t>{200, -4, 32767}));
}

TEST_F(SoundLoading, SetupALSoundWidensEightBitBlocks) {
  audioPREFS.sampleSize = 8;
  Resource r(std::vector<int16_t>{256, -512}, 1, 44100);
  QKSndCommand c;
  LoadSoundFromSoundHeader(&c, r.Header(), false);
  ASSERT_EQ(SHEncode(c.Header()), stdSH);
  struct Seen {
    std::vector<int16_t> samples;
    unsigned hertz = 0;
  };
  static Seen seen;
  auto setup = [](ALSound*, int, int format, short* samples, unsigned bytes, unsigned hertz) -> unsigned char {
    EXPECT_EQ(format, AL_FORMAT_MONO16);
    seen.samples.assign(samples, samples + bytes / 2);
    seen.hertz = hertz;
    return 1;
  };
  EXPECT_EQ(SetupALSound(nullptr, &c, 0, setup), 1);
  EXPECT_EQ(seen.samples, (std::vector<int16_t>{256, -512}));
  EXPECT_EQ(seen.hertz, 44100u);
}

TEST_F(SoundLoading, LoadSoundFileDecodesAWholeOggFile) {
  TempFolder folder;
  std::string path = folder / "tone.ogg";
  ASSERT_TRUE(WriteOggFile(path, SineTone(5000, 2, 22050, 441, 12000), 2, 22050));
  QKSndCommand c;
  EXPECT_EQ(LoadSoundFile(&c, path.c_str()), 0);
  ASSERT_NE(c.param2, 0);
  EXPECT_EQ(c.fileName, path);
  EXPECT_EQ(GetSoundHeaderNumFrames(c.Header()), 5000u);
  EXPECT_EQ(GetSoundHeaderNumChannels(c.Header()), 2);
  EXPECT_EQ(QKGetSoundHeaderSampleRate(c.Header()), 22050u << 16);
  std::vector<int16_t> s = Samples16(c);
  // A quarter period in: the peak of the sine on both channels.
  EXPECT_NEAR(s[2 * 12 + 0], 12000, 400);
  EXPECT_NEAR(s[2 * 12 + 1], 12000, 400);
}

TEST_F(SoundLoading, LoadSoundFileRefusesMissingAndForeignFiles) {
  TempFolder folder;
  QKSndCommand c;
  EXPECT_EQ(LoadSoundFile(&c, (folder / "none.ogg").c_str()), -1);
  EXPECT_EQ(LoadSoundFile(&c, folder.Write("text.ogg", "not an ogg stream at all").c_str()), -1);
  EXPECT_EQ(c.param2, 0);
}

TEST_F(SoundLoading, LoadSoundGameFillsBufferZeroFromTheBundlesAudioFolder) {
  TempFolder folder;
  folder.MakeFolder("Contents/Resources/Audio");
  ASSERT_TRUE(WriteOggFile(folder / "Contents/Resources/Audio/Zap.ogg", SineTone(3000, 1, 44100, 882, 8000), 1, 44100));
  SetBundlePathForTesting(folder.Path().c_str());
  InitAudio();
  ALSound sound;
  EXPECT_EQ(LoadSound_Game(&sound, "Zap"), 0);
  ASSERT_TRUE(IsSoundLoaded(&sound));
  const FakeBuffer& b = al.buffers.at(sound.Buffer(0));
  EXPECT_EQ(b.data.size(), 6000u);
  EXPECT_EQ(b.frequency, 44100);
  EXPECT_EQ(soundLIST.Size(), 0u);
  EXPECT_EQ(LoadSound_Game(&sound, "Missing"), -1);
  EXPECT_TRUE(IsSoundLoaded(&sound));
  SetBundlePathForTesting(nullptr);
}

}  // namespace

namespace {

// Every effect the game names, from the bundle the build makes.
TEST(BundleSounds, EveryEffectLoadsAsOneMonoBufferAtItsOwnRate) {
  const char* built = std::getenv("HALVANE_BUNDLE");
  if (!built) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  FakeOpenAL al;
  InitAudio();
  SetBundlePathForTesting(built);
  const char* names[] = {"Blip",   "Dink",  "Bounce", "Pod",   "Flip",  "Super",  "Alarm",      "Suck",
                         "Tone",   "Shot2", "Shot0",  "Shot1", "Boom0", "Boom1",  "Intro_Mono", "Metal0",
                         "Metal1", "Power", "Shield", "Spin",  "Bump",  "Engine", "Tap"};
  for (const char* name : names) {
    ALSound sound;
    EXPECT_EQ(LoadSound_Game(&sound, name), 0) << name;
    ASSERT_TRUE(IsSoundLoaded(&sound)) << name;
    const FakeBuffer& b = al.buffers.at(sound.Buffer(0));
    EXPECT_EQ(b.format, AL_FORMAT_MONO16) << name;
    EXPECT_EQ(b.frequency, 44100) << name;
    EXPECT_GT(b.data.size(), 2000u) << name;
  }
  SetBundlePathForTesting(nullptr);
}

}  // namespace
