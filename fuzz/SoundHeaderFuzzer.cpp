// The 22- and 68-byte sound headers and the converters, as the engine's API
// hands them over: a header whose sample length matches the samples behind
// it, with any rate and loop points. Byte 0 picks a converter (9: the one the
// loader would choose, with the header's kind from byte 1), bytes 2-13 are
// the rate and the loop start and end (little-endian), the rest the samples.
// Whatever they hold, a converted block has the frames the rates call for,
// loop points within them (start <= end <= frames, never negative), and is
// folded into as many 16-bit mono samples as it has frames.
//
// A first byte of 250 or more reads the rest as the platform's packed
// headers instead (SoundHeaderUtilities.h): byte 1 picks the standard
// (22-byte) or extended (64-byte) form and the counts of a 'snd ' resource's
// modifiers and commands, the rest fills the header and gives the values to
// set. Each header sits in a block of exactly its own length, so that any
// read or write past it is caught; each accessor reads the field where the
// form keeps it, a set changes that field alone, and the resource's
// accessors reach the same header.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/Memory.h"
#include "sound/AudioPrefs.h"
#include "sound/SoundHeader.h"
#include "sound/SoundHeaderUtilities.h"
#include "sound/SoundLoading.h"

namespace {

typedef Ptr (*Converter)(QKSoundHeader*);

struct Kind {
  Converter convert;
  int channels, bits;
};

const Kind kKinds[9] = {
    {ConvertSound_8m_8m, 1, 8},    {ConvertSound_8s_8m, 2, 8},    {ConvertSound_16m_8m, 1, 16},
    {ConvertSound_16s_8m, 2, 16},  {ConvertSound_8s_8s, 2, 8},    {ConvertSound_16s_8s, 2, 16},
    {ConvertSound_16m_16m, 1, 16}, {ConvertSound_16s_16m, 2, 16}, {ConvertSound_16s_16s, 2, 16},
};

UInt32 U32(const uint8_t* p) { return UInt32(p[0]) | UInt32(p[1]) << 8 | UInt32(p[2]) << 16 | UInt32(p[3]) << 24; }

UInt32 foldedBytes;
unsigned char Record(ALSound*, int, int, short*, unsigned bytes, unsigned) {
  foldedBytes = bytes;
  return 1;
}

void CheckBlock(QKSoundHeader* block) {
  const UInt8 encode = SHEncode(block);
  FUZZ_CHECK(encode == stdSH || encode == extSH);
  const UInt32 frames = GetSoundHeaderNumFrames(block);
  const SInt32 start = SInt32(SHGet32(block, kSHLoopStart));
  const SInt32 end = SInt32(SHGet32(block, kSHLoopEnd));
  FUZZ_CHECK(start >= 0 && start <= end && UInt32(end) <= frames);
  SoundCommand command{bufferCmd, 0, reinterpret_cast<intptr_t>(block)};
  foldedBytes = ~0u;
  SetupALSound(nullptr, &command, 0, Record);
  FUZZ_CHECK(foldedBytes == frames * 2);
}

UInt32 Read32(const unsigned char* p) {
  UInt32 v;
  std::memcpy(&v, p, 4);
  return v;
}

// The packed accessors on a header of `length` bytes (22 or 64) made of
// `bytes`, inside a resource whose lists come first when `modifiers` or
// `commands` is not negative.
void CheckPacked(const uint8_t* data, size_t size) {
  const bool standard = (data[1] & 1) == 0;
  const int modifiers = (data[1] >> 1) & 3, commands = (data[1] >> 3) & 3;
  const size_t length = standard ? 22 : 64;
  const size_t lists = 6 + 6 * size_t(modifiers) + 8 * size_t(commands);
  const uint8_t* fill = data + 2;
  size_t left = size - 2;
  auto take32 = [&]() {
    UInt32 v = 0;
    for (int i = 0; i < 4 && left; ++i, --left) v |= UInt32(*fill++) << (8 * i);
    return v;
  };

  // The resource: its format, the lists with their counts, then the header.
  std::vector<unsigned char> image(lists + length, 0);
  image[1] = 1;
  for (size_t i = 0; i < length && left; ++i, --left) image[lists + i] = *fill++;
  image[lists + 20] = standard ? 0 : 255;
  // The counts in the machine's order, as the accessors read them.
  const SInt16 m = SInt16(modifiers), c = SInt16(commands);
  std::memcpy(&image[2], &m, 2);
  std::memcpy(&image[4 + 6 * modifiers], &c, 2);

  auto* block = static_cast<unsigned char*>(std::malloc(image.size()));
  std::memcpy(block, image.data(), image.size());
  auto* header = reinterpret_cast<SoundHeader*>(block + lists);
  auto* resource = reinterpret_cast<SndListResource*>(block);
  FUZZ_CHECK(GetSoundHeader(resource) == header);
  const unsigned char* h = block + lists;

  FUZZ_CHECK(GetSoundHeaderLength(header) == SInt16(length));
  FUZZ_CHECK(GetSoundHeaderSamples(header) == h + length);
  FUZZ_CHECK(GetSoundSamples(resource) == h + length);
  const UInt32 frames = standard ? Read32(h + 4) : Read32(h + 22);
  const UInt32 channels = standard ? 1 : Read32(h + 4);
  UInt16 bits = 8;
  if (!standard) std::memcpy(&bits, h + 48, 2);
  FUZZ_CHECK(GetSoundHeaderNumFrames(header) == frames && GetSoundNumFrames(resource) == frames);
  FUZZ_CHECK(GetSoundHeaderNumChannels(header) == channels && GetSoundNumChannels(resource) == channels);
  FUZZ_CHECK(GetSoundHeaderSampleSize(header) == bits && GetSoundSampleSize(resource) == bits);
  FUZZ_CHECK(GetSoundHeaderSampleRate(header) == Read32(h + 8) && GetSoundSampleRate(resource) == Read32(h + 8));
  FUZZ_CHECK(GetSoundHeaderNumSamples(header) == frames * channels);
  FUZZ_CHECK(GetSoundNumSamples(resource) == frames * channels);
  FUZZ_CHECK(GetSoundHeaderSampleLengthInBytes(header) == frames * channels * (bits / 8u));

  // Each set changes its own field and nothing else of the block.
  struct Field {
    int at, width;  // -1: the form has no such field
  };
  const Field frameField{standard ? 4 : 22, 4}, channelField{standard ? -1 : 4, 4}, rateField{8, 4},
      sizeField{standard ? -1 : 48, 2};
  auto expectOnly = [&](const std::vector<unsigned char>& before, Field f) {
    for (size_t i = 0; i < image.size(); ++i) {
      const bool inside = f.at >= 0 && i >= lists + size_t(f.at) && i < lists + size_t(f.at + f.width);
      if (!inside) FUZZ_CHECK(block[i] == before[i]);
    }
  };
  for (int step = 0; step < 8; ++step) {
    const UInt32 value = take32();
    std::vector<unsigned char> before(block, block + image.size());
    const bool viaResource = step & 1;
    switch (step / 2 % 4) {
      case 0: {
        if (viaResource)
          SetSoundNumFrames(resource, value);
        else
          SetSoundHeaderNumFrames(header, value);
        FUZZ_CHECK(GetSoundHeaderNumFrames(header) == value);
        expectOnly(before, frameField);
        break;
      }
      case 1: {
        if (viaResource)
          SetSoundNumChannels(resource, value);
        else
          SetSoundHeaderNumChannels(header, value);
        FUZZ_CHECK(GetSoundHeaderNumChannels(header) == (standard ? 1 : value));
        expectOnly(before, channelField);
        break;
      }
      case 2: {
        if (viaResource)
          SetSoundSampleRate(resource, value);
        else
          SetSoundHeaderSampleRate(header, value);
        FUZZ_CHECK(GetSoundHeaderSampleRate(header) == value);
        expectOnly(before, rateField);
        before.assign(block, block + image.size());
        if (viaResource)
          SetSoundSampleSize(resource, UInt16(value));
        else
          SetSoundHeaderSampleSize(header, UInt16(value));
        FUZZ_CHECK(GetSoundHeaderSampleSize(header) == (standard ? 8 : UInt16(value)));
        expectOnly(before, sizeField);
        break;
      }
      case 3: {
        const UInt32 ch = GetSoundHeaderNumChannels(header);
        const UInt32 frameBytes = ch * (GetSoundHeaderSampleSize(header) / 8u);
        const UInt32 oldFrames = GetSoundHeaderNumFrames(header);
        if (viaResource)
          SetSoundNumSamples(resource, value);
        else
          SetSoundHeaderNumSamples(header, value);
        FUZZ_CHECK(GetSoundHeaderNumFrames(header) == (ch ? value / ch : oldFrames));
        const UInt32 framesBefore = GetSoundHeaderNumFrames(header);
        if (viaResource)
          SetSoundSampleLengthInBytes(resource, value);
        else
          SetSoundHeaderSampleLengthInBytes(header, value);
        FUZZ_CHECK(GetSoundHeaderNumFrames(header) == (frameBytes ? value / frameBytes : framesBefore));
        expectOnly(before, frameField);
        break;
      }
    }
  }
  std::free(block);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size >= 2 && data[0] >= 250) {
    if (size <= 4096) CheckPacked(data, size);
    return 0;
  }
  if (size < 14 || size > (1 << 16)) return 0;
  static bool prefs = (audioPREFS.Defaults(), true);
  (void)prefs;
  const int mode = data[0] % 10;
  Kind kind = mode < 9 ? kKinds[mode] : Kind{nullptr, 1 + (data[1] & 1), data[1] & 2 ? 16 : 8};
  const bool standard = kind.channels == 1 && kind.bits == 8 && (mode < 9 || (data[1] & 4));
  const UInt32 rate = U32(data + 2);
  const UInt32 loopStart = U32(data + 6), loopEnd = U32(data + 10);
  const size_t sampleBytes = size - 14;
  const UInt32 frameBytes = UInt32(kind.channels * kind.bits / 8);
  const UInt32 frames = UInt32(sampleBytes / frameBytes);
  const SInt16 headerLength = standard ? kStandardHeaderLength : kExtendedHeaderLength;

  std::vector<unsigned char> source(size_t(headerLength) + sampleBytes);
  auto* header = reinterpret_cast<QKSoundHeader*>(source.data());
  if (sampleBytes) std::memcpy(source.data() + headerLength, data + 14, sampleBytes);
  std::vector<unsigned char> fields(kExtendedHeaderLength, 0);
  auto* h = reinterpret_cast<QKSoundHeader*>(fields.data());
  SHSet32(h, kSHSampleRate, rate);
  SHSet32(h, kSHLoopStart, loopStart);
  SHSet32(h, kSHLoopEnd, loopEnd);
  h->bytes[kSHBaseFrequency] = 60;
  if (standard) {
    h->bytes[kSHEncode] = stdSH;
    SHSet32(h, kSHNumChannels, frames);
  } else {
    h->bytes[kSHEncode] = extSH;
    SHSet32(h, kSHNumChannels, UInt32(kind.channels));
    SHSet32(h, kSHNumFrames, frames);
    SHSet16(h, kSHSampleSize, UInt16(kind.bits));
  }
  std::memcpy(source.data(), fields.data(), size_t(headerLength));

  if (kind.convert) {
    Ptr block = kind.convert(header);
    const UInt32 srcHz = rate >> 16, dstHz = std::min(rate, audioPREFS.sampleRate) >> 16;
    if (srcHz == 0) FUZZ_CHECK(!block);
    if (!block) return 0;
    auto* out = reinterpret_cast<QKSoundHeader*>(block);
    FUZZ_CHECK(GetSoundHeaderNumFrames(out) == UInt32(UInt64(frames) * dstHz / srcHz));
    CheckBlock(out);
    QKDisposePtr(block);
  } else {
    QKSndCommand command;
    LoadSoundFromSoundHeader(&command, header, 0);
    if (command.param2) CheckBlock(command.Header());
  }
  return 0;
}
