#include "sound/SoundHeaderUtilities.h"

#include <cstdint>
#include <cstring>

#include "foundation/ErrorDialog.h"

namespace {

// Packed offsets: the extended header's frame count follows the base note
// directly, and its sample size sits at 48.
enum : int {
  kLength = 4,  // standard: bytes; extended: channels
  kRate = 8,
  kEncode = 20,
  kExtFrames = 22,
  kExtSampleSize = 48,
  kStandardLength = 22,
  kExtendedLength = 64,
};

enum Form { kStandard, kExtended, kNone };

UInt32 Get32(const SoundHeader* h, int at) {
  UInt32 v;
  std::memcpy(&v, h->bytes + at, 4);
  return v;
}
void Set32(SoundHeader* h, int at, UInt32 v) { std::memcpy(h->bytes + at, &v, 4); }

// The header's form; a form the accessors cannot read is reported fatally.
Form FormOf(const SoundHeader* h) {
  switch (h->bytes[kEncode]) {
    case 0: return kStandard;
    case 255: return kExtended;
    case 254: ErrorDialog("Compressed sound header format unsupported.", "", 0, 1); return kNone;
    default: ErrorDialog("Unknown sound header format!", "", 0, 1); return kNone;
  }
}

SInt16 GetI16(const unsigned char* p) {
  SInt16 v;
  std::memcpy(&v, p, 2);
  return v;
}

}  // namespace

void* GetSoundHeaderSamples(SoundHeader* h) {
  switch (FormOf(h)) {
    case kStandard: return h->bytes + kStandardLength;
    case kExtended: return h->bytes + kExtendedLength;
    default: return nullptr;
  }
}

UInt32 GetSoundHeaderNumFrames(SoundHeader* h) {
  switch (FormOf(h)) {
    case kStandard: return Get32(h, kLength);
    case kExtended: return Get32(h, kExtFrames);
    default: return 0;
  }
}

void SetSoundHeaderNumFrames(SoundHeader* h, UInt32 frames) {
  switch (FormOf(h)) {
    case kStandard: Set32(h, kLength, frames); break;
    case kExtended: Set32(h, kExtFrames, frames); break;
    default: break;
  }
}

UInt32 GetSoundHeaderNumChannels(SoundHeader* h) {
  switch (FormOf(h)) {
    case kStandard: return 1;
    case kExtended: return Get32(h, kLength);
    default: return 0;
  }
}

void SetSoundHeaderNumChannels(SoundHeader* h, UInt32 channels) {
  if (FormOf(h) == kExtended) Set32(h, kLength, channels);
}

UInt32 GetSoundHeaderSampleRate(SoundHeader* h) {
  if (!h || FormOf(h) == kNone) return 0;
  return Get32(h, kRate);
}

void SetSoundHeaderSampleRate(SoundHeader* h, UInt32 rate) {
  if (h && FormOf(h) != kNone) Set32(h, kRate, rate);
}

UInt16 GetSoundHeaderSampleSize(SoundHeader* h) {
  switch (FormOf(h)) {
    case kStandard: return 8;
    case kExtended: {
      UInt16 v;
      std::memcpy(&v, h->bytes + kExtSampleSize, 2);
      return v;
    }
    default: return 0;
  }
}

void SetSoundHeaderSampleSize(SoundHeader* h, UInt16 size) {
  if (FormOf(h) == kExtended) std::memcpy(h->bytes + kExtSampleSize, &size, 2);
}

SInt16 GetSoundHeaderLength(SoundHeader* h) {
  switch (FormOf(h)) {
    case kStandard: return kStandardLength;
    case kExtended: return kExtendedLength;
    default: return 0;
  }
}

UInt32 GetSoundHeaderNumSamples(SoundHeader* h) { return GetSoundHeaderNumFrames(h) * GetSoundHeaderNumChannels(h); }

void SetSoundHeaderNumSamples(SoundHeader* h, UInt32 samples) {
  UInt32 channels = GetSoundHeaderNumChannels(h);
  if (channels) SetSoundHeaderNumFrames(h, samples / channels);
}

UInt32 GetSoundHeaderSampleLengthInBytes(SoundHeader* h) {
  return GetSoundHeaderNumFrames(h) * GetSoundHeaderNumChannels(h) * (GetSoundHeaderSampleSize(h) / 8u);
}

void SetSoundHeaderSampleLengthInBytes(SoundHeader* h, UInt32 bytes) {
  UInt32 frameBytes = GetSoundHeaderNumChannels(h) * (GetSoundHeaderSampleSize(h) / 8u);
  if (frameBytes) SetSoundHeaderNumFrames(h, bytes / frameBytes);
}

// The header's offset comes from the resource's modifier and command counts.
SoundHeader* GetSoundHeader(SndListResource* resource) {
  const unsigned char* p = resource->bytes;
  SInt32 modifiers = GetI16(p + 2);
  SInt32 commands = GetI16(p + 4 + 6 * modifiers);
  return reinterpret_cast<SoundHeader*>(reinterpret_cast<uintptr_t>(resource) +
                                        uintptr_t(6 + 6 * modifiers + 8 * commands));
}

UInt16 GetSoundSampleSize(SndListResource* r) { return GetSoundHeaderSampleSize(GetSoundHeader(r)); }
void SetSoundSampleSize(SndListResource* r, UInt16 v) { SetSoundHeaderSampleSize(GetSoundHeader(r), v); }
UInt32 GetSoundSampleRate(SndListResource* r) { return GetSoundHeaderSampleRate(GetSoundHeader(r)); }
void SetSoundSampleRate(SndListResource* r, UInt32 v) { SetSoundHeaderSampleRate(GetSoundHeader(r), v); }
UInt32 GetSoundNumChannels(SndListResource* r) { return GetSoundHeaderNumChannels(GetSoundHeader(r)); }
void SetSoundNumChannels(SndListResource* r, UInt32 v) { SetSoundHeaderNumChannels(GetSoundHeader(r), v); }
UInt32 GetSoundNumFrames(SndListResource* r) { return GetSoundHeaderNumFrames(GetSoundHeader(r)); }
void SetSoundNumFrames(SndListResource* r, UInt32 v) { SetSoundHeaderNumFrames(GetSoundHeader(r), v); }
UInt32 GetSoundNumSamples(SndListResource* r) { return GetSoundHeaderNumSamples(GetSoundHeader(r)); }
void SetSoundNumSamples(SndListResource* r, UInt32 v) { SetSoundHeaderNumSamples(GetSoundHeader(r), v); }
UInt32 GetSoundSampleLengthInBytes(SndListResource* r) { return GetSoundHeaderSampleLengthInBytes(GetSoundHeader(r)); }
void SetSoundSampleLengthInBytes(SndListResource* r, UInt32 v) {
  SetSoundHeaderSampleLengthInBytes(GetSoundHeader(r), v);
}
void* GetSoundSamples(SndListResource* r) { return GetSoundHeaderSamples(GetSoundHeader(r)); }

UInt32 SoundManagerVersion() { return 0x03600000; }
