// The 22- and 68-byte sound headers and the converters, as the engine's API
// hands them over: a header whose sample length matches the samples behind
// it, with any rate and loop points. Byte 0 picks a converter (9: the one the
// loader would choose, with the header's kind from byte 1), bytes 2-13 are
// the rate and the loop start and end (little-endian), the rest the samples.
// Whatever they hold, a converted block has the frames the rates call for,
// loop points within them (start <= end <= frames, never negative), and is
// folded into as many 16-bit mono samples as it has frames.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/Memory.h"
#include "sound/AudioPrefs.h"
#include "sound/SoundHeader.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
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
