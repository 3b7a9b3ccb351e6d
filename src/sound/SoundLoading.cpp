#include "sound/SoundLoading.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/Memory.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/OpenALTable.h"
#include "sound/SoundEffects.h"
#include "sound/SoundMixer.h"

LinkedItemListTemplate<QKSndCommand> soundLIST;

QKSndCommand::QKSndCommand() : SoundCommand{0, 0, 0}, playCount(0), mixerLoopStart(0), mixerLoopEnd(0) {}

// No mixer channel may go on playing a sound that is gone. A command listed
// without a block (its conversion failed) leaves the list too.
QKSndCommand::~QKSndCommand() {
  if (playCount) QuietChannelsPlaying(this);
  DisposeSound(this);
  soundLIST.RemoveItem(this);
}

void DisposeSound(QKSndCommand* command) {
  if (!command || !command->param2) return;
  soundLIST.RemoveItem(command);
  for (MixerChannel* channel : sndCHAN)
    if (channel) QuietChannel(channel);
  QuietChannelsPlaying(command);
  Ptr block = reinterpret_cast<Ptr>(command->param2);
  command->param2 = 0;
  QKDisposePtr(block);
}

// The samples are decoded into a block that grows as they come, up to the
// length the stream claims (held to what its file can hold), and the sound
// is made of what was decoded: a claimed length is never allocated on trust.
OSErr LoadSoundFile(QKSndCommand* command, const char* path) {
  CompressedSound decoder;
  if (!decoder.Load(path)) return -1;
  SInt32 most = decoder.Length();
  std::vector<char> samples;
  SInt32 decoded = 0;
  while (decoded < most) {
    if (decoded == SInt32(samples.size()))
      samples.resize(size_t(std::min<SInt64>(most, std::max<SInt64>(65536, SInt64(samples.size()) * 2))));
    SInt32 n = decoder.GetNextBuffer(samples.data() + decoded, SInt32(samples.size()) - decoded);
    if (n < 1) break;
    decoded += n;
  }
  SInt32 frameBytes = 2 * std::max<SInt16>(1, decoder.Channels());
  decoded -= decoded % frameBytes;
  Handle handle = nullptr;
  OSErr err = BuildSoundHandle(&handle, decoder.Channels(), decoder.Rate(), 16, 60, decoded ? samples.data() : nullptr,
                               UInt32(decoded));
  if (err != 0 || !handle) return err ? err : OSErr(-108);
  samples = std::vector<char>();
  QKHLock(handle);
  auto* resource = reinterpret_cast<QKSndListResource*>(*handle);
  LoadSoundFromSound(command, resource, false);
  QKHUnlock(handle);
  QKDisposeHandle(handle);
  // A sound that could not be made into a sample block is no sound.
  if (!command->param2) return -1;
  command->fileName = path;
  return 0;
}

Boolean LoadSoundFromSound(QKSndCommand* command, QKSndListResource* resource, unsigned char asSoundCmd) {
  return LoadSoundFromSoundHeader(command, QKGetSoundHeader(resource), asSoundCmd);
}

namespace {

typedef Ptr (*Converter)(QKSoundHeader*);

Converter ChooseConverter(const QKSoundHeader* header) {
  UnsignedFixed rate = QKGetSoundHeaderSampleRate(header);
  SInt16 size = QKGetSoundHeaderSampleSize(header);
  SInt16 channels = QKGetSoundHeaderNumChannels(header);
  const AudioPrefs& prefs = audioPREFS;
  bool stereo = channels == 2;
  bool needed = rate > prefs.sampleRate || size > prefs.sampleSize || channels > 2 * prefs.stereo || size == 8;
  if (!needed) return stereo ? ConvertSound_16s_16s : ConvertSound_16m_16m;
  if (size == 8) {
    if (prefs.stereo) return stereo ? ConvertSound_8s_8s : ConvertSound_8m_8m;
    return stereo ? ConvertSound_8s_8m : ConvertSound_8m_8m;
  }
  if (size != 16) return nullptr;
  if (prefs.sampleSize != 16) {
    if (prefs.stereo) return stereo ? ConvertSound_16s_8s : ConvertSound_16m_8m;
    return stereo ? ConvertSound_16s_8m : ConvertSound_16m_8m;
  }
  if (prefs.stereo) return stereo ? ConvertSound_16s_16s : ConvertSound_16m_16m;
  return stereo ? ConvertSound_16s_16m : ConvertSound_16m_16m;
}

}  // namespace

Boolean LoadSoundFromSoundHeader(QKSndCommand* command, QKSoundHeader* header, unsigned char asSoundCmd) {
  Converter convert = header ? ChooseConverter(header) : nullptr;
  if (convert) {
    Ptr block = convert(header);
    if (command->param2) DisposeSound(command);
    command->param2 = reinterpret_cast<intptr_t>(block);
  }
  command->cmd = asSoundCmd ? soundCmd : bufferCmd;
  command->param1 = 0;
  if (!soundLIST.FindItem(command)) soundLIST.AddLastItem(command);
  return CheckSound(command);
}

Boolean CheckSound(const QKSndCommand* command) {
  if (!command || !command->param2) return false;
  const QKSoundHeader* header = command->Header();
  UInt8 encode = SHEncode(header);
  if (encode != stdSH && encode != extSH) return false;
  SInt32 size = GetSoundHeaderSampleSize(header);
  SInt32 channels = GetSoundHeaderNumChannels(header);
  const AudioPrefs& prefs = audioPREFS;
  return prefs.sampleRate >= SHGet32(header, kSHSampleRate) && prefs.sampleSize >= size &&
         SInt32(prefs.stereo) >= channels - 1;
}

// --- The converters -------------------------------------------------------
//
// Every member resamples by the same accumulator: with a ratio of source to
// output hertz of 1 each source frame is weighed four times, of 2 twice,
// otherwise once, and each output frame is the mean of what it gathered.
// All of the source's samples are converted.

namespace {

enum class In { U8Mono, U8Stereo, S16Mono, S16Stereo };
enum class Out { S8Standard, S8Mono, S8Stereo, S16Mono, S16Stereo };

struct Frame {
  SInt32 lane[2];
};

Frame ReadFrame(In in, Out out, const unsigned char* data, UInt32 frame) {
  Frame f{{0, 0}};
  bool mono = out == Out::S8Standard || out == Out::S8Mono || out == Out::S16Mono;
  bool eight = out == Out::S8Standard || out == Out::S8Mono || out == Out::S8Stereo;
  switch (in) {
    case In::U8Mono: f.lane[0] = SInt32(data[frame]) - 128; break;
    case In::U8Stereo: {
      SInt32 l = data[2 * frame], r = data[2 * frame + 1];
      if (mono)
        f.lane[0] = ((l + r) - 256) >> 1;
      else
        f.lane[0] = l - 128, f.lane[1] = r - 128;
      break;
    }
    case In::S16Mono: {
      SInt16 v;
      std::memcpy(&v, data + 2 * frame, 2);
      f.lane[0] = eight ? v >> 8 : v;
      break;
    }
    case In::S16Stereo: {
      SInt16 lr[2];
      std::memcpy(lr, data + 4 * frame, 4);
      SInt32 l = lr[0], r = lr[1];
      if (eight) l >>= 8, r >>= 8;
      if (mono)
        f.lane[0] = (l + r) >> 1;
      else
        f.lane[0] = l, f.lane[1] = r;
      break;
    }
  }
  return f;
}

Ptr Convert(QKSoundHeader* source, In in, Out out) {
  if (!source) return nullptr;
  UnsignedFixed srcRate = QKGetSoundHeaderSampleRate(source);
  UnsignedFixed dstRate = std::min(srcRate, audioPREFS.sampleRate);
  UInt32 srcHz = srcRate >> 16, dstHz = dstRate >> 16;
  if (srcHz == 0 || dstHz == 0) return nullptr;

  int lanes = out == Out::S8Stereo || out == Out::S16Stereo ? 2 : 1;
  int laneBytes = out == Out::S16Mono || out == Out::S16Stereo ? 2 : 1;
  int frameBytes = lanes * laneBytes;
  int inFrameBytes = (in == In::U8Mono ? 1 : in == In::S16Stereo ? 4 : 2);
  UInt32 srcFrames = GetSoundHeaderSampleLengthInBytes(source) / UInt32(inFrameBytes);
  UInt64 dstFrames = UInt64(srcFrames) * dstHz / srcHz;
  UInt64 dstBytes = dstFrames * UInt64(frameBytes);
  SInt32 headerLen = out == Out::S8Standard ? kStandardHeaderLength : kExtendedHeaderLength;
  if (dstBytes + UInt64(headerLen) > 0x7FFFFFFF) return nullptr;
  Ptr block = QKNewPtrClear(SInt32(dstBytes) + headerLen);
  if (!block) return nullptr;

  const auto* src = static_cast<const unsigned char*>(QKGetSoundHeaderSamples(source));
  auto* dst = reinterpret_cast<unsigned char*>(block) + headerLen;
  UInt32 ratio = srcHz / dstHz;
  UInt32 weight = ratio == 1 ? 4 : ratio == 2 ? 2 : 1;
  UInt64 accumulator = 0;
  UInt32 subStep = 0, position = 0;
  for (UInt64 i = 0; i < dstFrames; i++) {
    SInt64 sum[2] = {0, 0};
    SInt64 count = 0;
    accumulator += UInt64(weight) * srcHz;
    while (accumulator >= dstHz) {
      accumulator -= dstHz;
      if (position < srcFrames) {
        Frame f = ReadFrame(in, out, src, position);
        sum[0] += f.lane[0];
        sum[1] += f.lane[1];
      }
      count++;
      if (++subStep >= weight) {
        subStep -= weight;
        position++;
      }
    }
    for (int lane = 0; lane < lanes; lane++) {
      SInt64 value = sum[lane] / count;
      unsigned char* at = dst + i * UInt64(frameBytes) + UInt64(lane * laneBytes);
      if (laneBytes == 1) {
        *at = static_cast<unsigned char>(SInt8(value));
      } else {
        SInt16 v = SInt16(value);
        std::memcpy(at, &v, 2);
      }
    }
  }

  auto* header = reinterpret_cast<QKSoundHeader*>(block);
  UInt32 frames = UInt32(dstFrames);
  SInt64 loopStart = SInt64(SInt32(SHGet32(source, kSHLoopStart))) * dstHz / srcHz;
  SInt64 loopEnd = SInt64(SInt32(SHGet32(source, kSHLoopEnd))) * dstHz / srcHz;
  // Loop points lie inside the samples, the start not after the end: a
  // header from anywhere may hold negative ones.
  loopStart = std::clamp<SInt64>(loopStart, 0, frames);
  loopEnd = std::clamp<SInt64>(loopEnd, 0, frames);
  loopStart = std::min(loopStart, loopEnd);
  SHSet32(header, kSHSamplePtr, 0);
  SHSet32(header, kSHSampleRate, dstRate);
  SHSet32(header, kSHLoopStart, UInt32(loopStart));
  SHSet32(header, kSHLoopEnd, UInt32(loopEnd));
  if (out == Out::S8Standard) {
    header->bytes[kSHEncode] = stdSH;
    SHSet32(header, kSHNumChannels, frames);
  } else {
    header->bytes[kSHEncode] = extSH;
    SHSet32(header, kSHNumChannels, UInt32(lanes));
    SHSet32(header, kSHNumFrames, frames);
    SHSet16(header, kSHSampleSize, UInt16(8 * laneBytes));
  }
  return block;
}

}  // namespace

Ptr ConvertSound_8m_8m(QKSoundHeader* s) { return Convert(s, In::U8Mono, Out::S8Standard); }
Ptr ConvertSound_8s_8m(QKSoundHeader* s) { return Convert(s, In::U8Stereo, Out::S8Standard); }
Ptr ConvertSound_16m_8m(QKSoundHeader* s) { return Convert(s, In::S16Mono, Out::S8Standard); }
Ptr ConvertSound_16s_8m(QKSoundHeader* s) { return Convert(s, In::S16Stereo, Out::S8Standard); }
Ptr ConvertSound_8s_8s(QKSoundHeader* s) { return Convert(s, In::U8Stereo, Out::S8Stereo); }
Ptr ConvertSound_16s_8s(QKSoundHeader* s) { return Convert(s, In::S16Stereo, Out::S8Stereo); }
Ptr ConvertSound_16m_16m(QKSoundHeader* s) { return Convert(s, In::S16Mono, Out::S16Mono); }
Ptr ConvertSound_16s_16m(QKSoundHeader* s) { return Convert(s, In::S16Stereo, Out::S16Mono); }
Ptr ConvertSound_16s_16s(QKSoundHeader* s) { return Convert(s, In::S16Stereo, Out::S16Stereo); }

// Whatever block the command holds (8 or 16-bit, mono or stereo, standard or
// extended header) becomes 16-bit mono at the sound's own rate; 8-bit
// samples in a block are signed.
unsigned char SetupALSound(ALSound* sound, SoundCommand* command, int index, ALSoundSetupProc setup) {
  auto* header = command ? reinterpret_cast<QKSoundHeader*>(command->param2) : nullptr;
  std::vector<SInt16> mono;
  unsigned hertz = 0;
  if (header && (SHEncode(header) == stdSH || SHEncode(header) == extSH)) {
    hertz = SHGet32(header, kSHSampleRate) >> 16;
    UInt32 frames = GetSoundHeaderNumFrames(header);
    SInt16 channels = GetSoundHeaderNumChannels(header);
    bool eight = GetSoundHeaderSampleSize(header) == 8;
    const auto* data = static_cast<const unsigned char*>(QKGetSoundHeaderSamples(header));
    if (channels == 1 || channels == 2) {
      mono.resize(frames);
      for (UInt32 i = 0; i < frames; i++) {
        SInt32 lane[2] = {0, 0};
        for (int c = 0; c < channels; c++) {
          UInt32 at = i * UInt32(channels) + UInt32(c);
          if (eight) {
            lane[c] = SInt32(SInt8(data[at])) << 8;
          } else {
            SInt16 v;
            std::memcpy(&v, data + 2 * at, 2);
            lane[c] = v;
          }
        }
        mono[i] = SInt16(channels == 2 ? (lane[0] + lane[1]) >> 1 : lane[0]);
      }
    }
  }
  unsigned bytes = unsigned(mono.size() * 2);
  if (setup) return setup(sound, index, AL_FORMAT_MONO16, mono.data(), bytes, hertz);
  return sound ? sound->Setup(AL_FORMAT_MONO16, mono.data(), bytes, hertz, unsigned(index)) : 0;
}
