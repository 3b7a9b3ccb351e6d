// Sound commands and the engine's sound header.
//
// A sound header is a byte layout at fixed offsets, as the engine has always
// stored it: the samples of an extended header start 68 bytes in, those of a
// standard header (8-bit mono) 22 bytes in. Multi-byte fields are in host
// order. The sample pointer field is 32 bits wide and always 0 here (the
// samples follow the header).
#pragma once

#include <cstdint>
#include <string>

#include "platform/PlatformTypes.h"

// The platform's sound command; param2 carries pointers, so it is pointer-sized.
struct SoundCommand {
  UInt16 cmd;
  SInt16 param1;
  intptr_t param2;
};

enum : UInt16 {
  quietCmd = 3,
  flushCmd = 4,
  pauseCmd = 11,
  resumeCmd = 12,
  callBackCmd = 13,
  volumeCmd = 46,
  clockComponentCmd = 50,
  getClockComponentCmd = 51,
  soundCmd = 80,
  bufferCmd = 81,
};

enum : UInt8 { stdSH = 0, cmpSH = 254, extSH = 255 };

// The engine's sound header; the samples follow it in the same block.
struct QKSoundHeader {
  unsigned char bytes[68];
};

// Field offsets.
enum : int {
  kSHSamplePtr = 0,
  kSHNumChannels = 4,  // a standard header's sample length in bytes
  kSHSampleRate = 8,   // unsigned 16.16 hertz
  kSHLoopStart = 12,
  kSHLoopEnd = 16,
  kSHEncode = 20,
  kSHBaseFrequency = 21,
  kSHNumFrames = 24,
  kSHAIFFSampleRate = 28,
  kSHSampleSize = 52,
  kStandardHeaderLength = 22,
  kExtendedHeaderLength = 68,
};

UInt32 SHGet32(const QKSoundHeader* header, int offset);
void SHSet32(QKSoundHeader* header, int offset, UInt32 value);
UInt16 SHGet16(const QKSoundHeader* header, int offset);
void SHSet16(QKSoundHeader* header, int offset, UInt16 value);
inline UInt8 SHEncode(const QKSoundHeader* header) { return header->bytes[kSHEncode]; }

// A loaded sound: a sound command that owns its sample block (header and
// samples) through param2.
class QKSndCommand : public SoundCommand {
 public:
  UInt16 playCount;
  std::string fileName;
  SInt32 mixerLoopStart;
  SInt32 mixerLoopEnd;

  QKSndCommand();
  ~QKSndCommand();
  QKSndCommand(const QKSndCommand&) = delete;
  QKSndCommand& operator=(const QKSndCommand&) = delete;

  QKSoundHeader* Header() const { return reinterpret_cast<QKSoundHeader*>(param2); }
};

// The platform's format-1 'snd ' resource: format, modifier count, modifiers
// (6 bytes each), command count, commands (8 bytes each), then the header.
struct QKSndListResource {
  unsigned char bytes[6];
};

OSErr QKGetSoundHeaderOffset(Handle handle, SInt32* offset);
QKSoundHeader* QKGetSoundHeader(QKSndListResource* resource);
OSErr QKSetupSndHeader(Handle handle, SInt16 numChannels, UInt32 sampleRate, SInt16 sampleSize, OSType compressionType,
                       unsigned char baseNote, UInt32 numBytes, SInt16* headerLen);
OSErr BuildSoundHandle(Handle* handle, SInt16 numChannels, UInt32 sampleRate, SInt16 sampleSize, SInt16 baseNote,
                       const void* data, UInt32 numBytes);

// Readers; a compressed header or an unknown encoding gives 0 (null).
UInt32 QKGetSoundHeaderSampleRate(const QKSoundHeader* header);
SInt16 QKGetSoundHeaderSampleSize(const QKSoundHeader* header);
SInt16 QKGetSoundHeaderNumChannels(const QKSoundHeader* header);
void* QKGetSoundHeaderSamples(QKSoundHeader* header);
UInt32 GetSoundHeaderNumFrames(const QKSoundHeader* header);
SInt16 GetSoundHeaderNumChannels(const QKSoundHeader* header);
SInt16 GetSoundHeaderSampleSize(const QKSoundHeader* header);
SInt16 GetSoundHeaderLength(const QKSoundHeader* header);
UInt32 GetSoundHeaderSampleLengthInBytes(const QKSoundHeader* header);
void* QKGetSoundSamples(QKSndListResource* resource);
