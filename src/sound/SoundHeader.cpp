#include "sound/SoundHeader.h"

#include <cstring>

#include "foundation/Memory.h"

UInt32 SHGet32(const QKSoundHeader* header, int offset) {
  UInt32 value;
  std::memcpy(&value, header->bytes + offset, 4);
  return value;
}

void SHSet32(QKSoundHeader* header, int offset, UInt32 value) { std::memcpy(header->bytes + offset, &value, 4); }

UInt16 SHGet16(const QKSoundHeader* header, int offset) {
  UInt16 value;
  std::memcpy(&value, header->bytes + offset, 2);
  return value;
}

void SHSet16(QKSoundHeader* header, int offset, UInt16 value) { std::memcpy(header->bytes + offset, &value, 2); }

namespace {

SInt16 GetI16(const unsigned char* p) {
  SInt16 value;
  std::memcpy(&value, p, 2);
  return value;
}

// The header's offset inside a resource, from its modifier and command counts.
SInt32 HeaderOffset(const unsigned char* resource) {
  SInt32 modifiers = GetI16(resource + 2);
  SInt32 commands = GetI16(resource + 4 + 6 * modifiers);
  return 6 + 6 * modifiers + 8 * commands;
}

}  // namespace

OSErr QKGetSoundHeaderOffset(Handle handle, SInt32* offset) {
  *offset = HeaderOffset(reinterpret_cast<const unsigned char*>(*handle));
  return 0;
}

// The offset is read straight from the resource: it needs only the counts,
// so a resource shorter than any scratch copy is never read past its end.
QKSoundHeader* QKGetSoundHeader(QKSndListResource* resource) {
  return reinterpret_cast<QKSoundHeader*>(reinterpret_cast<uintptr_t>(resource) +
                                          uintptr_t(HeaderOffset(resource->bytes)));
}

OSErr QKSetupSndHeader(Handle handle, SInt16 numChannels, UInt32 sampleRate, SInt16 sampleSize, OSType,
                       unsigned char baseNote, UInt32 numBytes, SInt16* headerLen) {
  SInt32 offset = 0;
  OSErr err = QKGetSoundHeaderOffset(handle, &offset);
  if (numChannels < 1) numChannels = 1;
  if (sampleSize < 8) sampleSize = 8;
  auto* header = reinterpret_cast<QKSoundHeader*>(*handle + offset);
  std::memset(header, 0, sizeof(QKSoundHeader));
  SHSet32(header, kSHNumChannels, UInt32(numChannels));
  SHSet32(header, kSHSampleRate, sampleRate);
  header->bytes[kSHEncode] = extSH;
  header->bytes[kSHBaseFrequency] = baseNote;
  SHSet32(header, kSHNumFrames, numBytes / UInt32(numChannels) / UInt32(sampleSize / 8));
  SHSet16(header, kSHSampleSize, UInt16(sampleSize));
  if (headerLen) *headerLen = SInt16(offset + kExtendedHeaderLength);
  return err;
}

OSErr BuildSoundHandle(Handle* handle, SInt16 numChannels, UInt32 sampleRate, SInt16 sampleSize, SInt16 baseNote,
                       const void* data, UInt32 numBytes) {
  Handle h = QKNewHandleClear(100);
  if (!h || QKMemError() != 0) {
    *handle = nullptr;
    return QKMemError();
  }
  SInt16 headerLen = 0;
  QKSetupSndHeader(h, numChannels, sampleRate, sampleSize, FOUR_CHAR('N', 'O', 'N', 'E'), UInt8(baseNote), 0,
                   &headerLen);
  QKDisposeHandle(h);
  UInt64 total = UInt64(headerLen) + numBytes;
  h = total <= 0x7FFFFFFF ? QKNewHandleClear(SInt32(total)) : nullptr;
  if (!h || QKMemError() != 0) {
    *handle = nullptr;
    return h ? QKMemError() : OSErr(-108);
  }
  QKSetupSndHeader(h, numChannels, sampleRate, sampleSize, FOUR_CHAR('N', 'O', 'N', 'E'), UInt8(baseNote), numBytes,
                   &headerLen);
  if (data) {
    QKHLock(h);
    std::memcpy(*h + headerLen, data, numBytes);
    QKHUnlock(h);
  }
  *handle = h;
  return 0;
}

UInt32 QKGetSoundHeaderSampleRate(const QKSoundHeader* header) {
  if (!header) return 0;
  UInt8 encode = SHEncode(header);
  return encode == stdSH || encode == extSH ? SHGet32(header, kSHSampleRate) : 0;
}

SInt16 QKGetSoundHeaderSampleSize(const QKSoundHeader* header) { return GetSoundHeaderSampleSize(header); }

SInt16 QKGetSoundHeaderNumChannels(const QKSoundHeader* header) { return GetSoundHeaderNumChannels(header); }

void* QKGetSoundHeaderSamples(QKSoundHeader* header) {
  SInt16 length = GetSoundHeaderLength(header);
  return length ? header->bytes + length : nullptr;
}

UInt32 GetSoundHeaderNumFrames(const QKSoundHeader* header) {
  switch (SHEncode(header)) {
    case stdSH: return SHGet32(header, kSHNumChannels);
    case extSH: return SHGet32(header, kSHNumFrames);
    default: return 0;
  }
}

SInt16 GetSoundHeaderNumChannels(const QKSoundHeader* header) {
  switch (SHEncode(header)) {
    case stdSH: return 1;
    case extSH: return SInt16(SHGet32(header, kSHNumChannels));
    default: return 0;
  }
}

SInt16 GetSoundHeaderSampleSize(const QKSoundHeader* header) {
  switch (SHEncode(header)) {
    case stdSH: return 8;
    case extSH: return SInt16(SHGet16(header, kSHSampleSize));
    default: return 0;
  }
}

SInt16 GetSoundHeaderLength(const QKSoundHeader* header) {
  switch (SHEncode(header)) {
    case stdSH: return kStandardHeaderLength;
    case extSH: return kExtendedHeaderLength;
    default: return 0;
  }
}

UInt32 GetSoundHeaderSampleLengthInBytes(const QKSoundHeader* header) {
  return GetSoundHeaderNumFrames(header) * UInt32(GetSoundHeaderNumChannels(header)) *
         UInt32(GetSoundHeaderSampleSize(header) / 8);
}

void* QKGetSoundSamples(QKSndListResource* resource) { return QKGetSoundHeaderSamples(QKGetSoundHeader(resource)); }
