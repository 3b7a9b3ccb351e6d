// The user's sound settings, stored as the dictionary "Audio Prefs" in the
// main preferences file. Effects play only while soundOn is set and at
// soundVolume, music only while musicOn is set and at musicVolume; the rest
// describes the output format sounds are converted to on loading.
#pragma once

#include "platform/PlatformTypes.h"

class PlistTag;

// Sample rates are unsigned 16.16 fixed-point hertz.
typedef UInt32 UnsignedFixed;
constexpr UnsignedFixed kRate44khz = 44100u << 16;
constexpr UnsignedFixed kRate22khz = 22050u << 16;
constexpr UnsignedFixed kRate11khz = 11025u << 16;

class AudioPrefs {
 public:
  // Stored.
  UInt8 soundOn;
  UInt8 musicOn;
  SInt16 soundVolume;  // 0..255
  SInt16 musicVolume;  // 0..255
  char sampleSize;     // 8 or 16
  UnsignedFixed sampleRate;
  UInt8 stereo;
  char preset;
  char numChannels;  // 2, 4, 6 or 8 mixer channels
  UInt8 interpolation;
  UInt8 smoothing;
  UInt8 soundEchos;
  UInt8 musicEchos;
  UInt8 fakeStereo;
  // Derived from the output device and the stored fields.
  UInt8 stereoSupported;
  UInt8 sixteenBitSupported;
  UnsignedFixed maxRate;
  UInt8 mixerType;  // 0 mono 8-bit, 1 stereo 8-bit, 2 mono 16-bit, 3 stereo 16-bit

  AudioPrefs();
  void Defaults();
  void Save(PlistTag* document);
  // Reads the dictionary; a missing key, or a value out of its range, leaves
  // the field as it was.
  void Load(PlistTag* document);
  void New(PlistTag* document);
  void Backup();
  void Revert();
  void Init();
  // Asks the output device what it offers, then FitToOutput.
  void CheckSupport();
  // Notes what the output offers and brings the stored fields within it.
  void FitToOutput(SInt16 channels, SInt16 size, UnsignedFixed rate);
};

extern AudioPrefs audioPREFS;
extern Boolean _audioPrefsLoaded;

// "Music On", for callers that see no more of the settings.
UInt8 MusicOnPref();

void SaveAudioPrefs(PlistTag* document);
void LoadAudioPrefs(PlistTag* document);
void NewAudioPrefs(PlistTag* document);

// The output quality: channels, sample size and rate of a sampled-sound
// channel. Returns the first error; the outputs keep what they held when no
// channel can be made.
OSErr GetSoundQuality(SInt16* channels, SInt16* sampleSize, UnsignedFixed* rate);
