// Accessors for sound headers in the platform's own packed layouts, inside
// a 'snd ' resource or on their own: the standard header (samples after 22
// bytes, 8-bit mono) and the extended header (samples after 64 bytes). A
// compressed header or an unknown encoding is a fatal error.
#pragma once

#include "platform/PlatformTypes.h"

struct SoundHeader {
  unsigned char bytes[64];
};

struct SndListResource {
  unsigned char bytes[6];
};

// Each accessor reads or writes the header in place; for a header of neither
// form it reports the fatal error and answers 0 (null) or writes nothing.
// Fields the standard header lacks read as its fixed values (one channel,
// 8 bits) and are not written.

// Where the samples start: 22 or 64 bytes in.
void* GetSoundHeaderSamples(SoundHeader* header);
// Frames, i.e. samples per channel (a standard header's length field, which
// counts bytes).
UInt32 GetSoundHeaderNumFrames(SoundHeader* header);
void SetSoundHeaderNumFrames(SoundHeader* header, UInt32 frames);
UInt32 GetSoundHeaderNumChannels(SoundHeader* header);
void SetSoundHeaderNumChannels(SoundHeader* header, UInt32 channels);
// The rate in 16.16 fixed-point hertz; a null header reads 0 and is not
// written.
UInt32 GetSoundHeaderSampleRate(SoundHeader* header);
void SetSoundHeaderSampleRate(SoundHeader* header, UInt32 rate);
// Bits per sample.
UInt16 GetSoundHeaderSampleSize(SoundHeader* header);
void SetSoundHeaderSampleSize(SoundHeader* header, UInt16 size);
// The header's own length in bytes (22 or 64).
SInt16 GetSoundHeaderLength(SoundHeader* header);
// Samples of all channels: frames times channels. Setting them sets the
// frames, rounded down to whole frames.
UInt32 GetSoundHeaderNumSamples(SoundHeader* header);
void SetSoundHeaderNumSamples(SoundHeader* header, UInt32 samples);
// The samples' size in bytes. Setting it sets the frames, rounded down to
// whole frames.
UInt32 GetSoundHeaderSampleLengthInBytes(SoundHeader* header);
void SetSoundHeaderSampleLengthInBytes(SoundHeader* header, UInt32 bytes);

// The sound header inside a 'snd ' resource, found past its modifier and
// command lists (their counts are not checked against the resource's size).
SoundHeader* GetSoundHeader(SndListResource* resource);
// The header accessors above, applied to the resource's sound header.
UInt16 GetSoundSampleSize(SndListResource* resource);
void SetSoundSampleSize(SndListResource* resource, UInt16 size);
UInt32 GetSoundSampleRate(SndListResource* resource);
void SetSoundSampleRate(SndListResource* resource, UInt32 rate);
UInt32 GetSoundNumChannels(SndListResource* resource);
void SetSoundNumChannels(SndListResource* resource, UInt32 channels);
UInt32 GetSoundNumFrames(SndListResource* resource);
void SetSoundNumFrames(SndListResource* resource, UInt32 frames);
UInt32 GetSoundNumSamples(SndListResource* resource);
void SetSoundNumSamples(SndListResource* resource, UInt32 samples);
UInt32 GetSoundSampleLengthInBytes(SndListResource* resource);
void SetSoundSampleLengthInBytes(SndListResource* resource, UInt32 bytes);
void* GetSoundSamples(SndListResource* resource);

// The sound services' version: there is always one here.
UInt32 SoundManagerVersion();
