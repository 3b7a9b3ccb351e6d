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

void* GetSoundHeaderSamples(SoundHeader* header);
UInt32 GetSoundHeaderNumFrames(SoundHeader* header);
void SetSoundHeaderNumFrames(SoundHeader* header, UInt32 frames);
UInt32 GetSoundHeaderNumChannels(SoundHeader* header);
void SetSoundHeaderNumChannels(SoundHeader* header, UInt32 channels);
UInt32 GetSoundHeaderSampleRate(SoundHeader* header);
void SetSoundHeaderSampleRate(SoundHeader* header, UInt32 rate);
UInt16 GetSoundHeaderSampleSize(SoundHeader* header);
void SetSoundHeaderSampleSize(SoundHeader* header, UInt16 size);
SInt16 GetSoundHeaderLength(SoundHeader* header);
UInt32 GetSoundHeaderNumSamples(SoundHeader* header);
void SetSoundHeaderNumSamples(SoundHeader* header, UInt32 samples);
UInt32 GetSoundHeaderSampleLengthInBytes(SoundHeader* header);
void SetSoundHeaderSampleLengthInBytes(SoundHeader* header, UInt32 bytes);

SoundHeader* GetSoundHeader(SndListResource* resource);
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
