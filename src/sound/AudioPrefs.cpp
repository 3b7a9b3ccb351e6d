#include "sound/AudioPrefs.h"

#include <cstdlib>
#include <cstring>

#include "foundation/PlistTag.h"
#include "sound/SoundChannels.h"

AudioPrefs audioPREFS;
Boolean _audioPrefsLoaded;

namespace {

// The fourteen stored fields as last saved or loaded.
struct StoredAudioPrefs {
  UInt8 soundOn, musicOn;
  SInt16 soundVolume, musicVolume;
  char sampleSize;
  UnsignedFixed sampleRate;
  UInt8 stereo;
  char preset, numChannels;
  UInt8 interpolation, smoothing, soundEchos, musicEchos, fakeStereo;
};
StoredAudioPrefs backup;

// An integer key's value, or false when the key is missing or no number.
// Read 64 bits wide: a rate may be stored in either sign.
bool ReadInteger(PlistTag* dict, const char* key, SInt64* value) {
  unsigned char text[256];
  if (!dict->GetTag("integer", key, text, 0)) return false;
  std::string digits(reinterpret_cast<char*>(text + 1), text[0]);
  char* end = nullptr;
  long long parsed = std::strtoll(digits.c_str(), &end, 10);
  if (end == digits.c_str()) return false;
  *value = parsed;
  return true;
}

void ReadBoolean(PlistTag* dict, const char* key, UInt8* field) {
  unsigned char flag = *field;
  dict->GetBoolean(key, &flag, 0);
  *field = flag;
}

template <class T>
void ReadRange(PlistTag* dict, const char* key, T* field, SInt64 low, SInt64 high, bool clamp) {
  SInt64 value;
  if (!ReadInteger(dict, key, &value)) return;
  if (value < low || value > high) {
    if (!clamp) return;
    value = value < low ? low : high;
  }
  *field = T(value);
}

}  // namespace

AudioPrefs::AudioPrefs() {
  Defaults();
  sixteenBitSupported = 0;
  stereoSupported = sixteenBitSupported;
  maxRate = kRate44khz;
  mixerType = 3;
}

void AudioPrefs::Defaults() {
  soundOn = 1;
  musicOn = 1;
  soundVolume = 192;
  musicVolume = 192;
  sampleSize = 16;
  sampleRate = kRate44khz;
  stereo = 1;
  preset = 4;
  numChannels = 8;
  interpolation = 1;
  smoothing = 0;
  soundEchos = 1;
  musicEchos = 1;
  fakeStereo = 0;
}

// "Sample Rate" is the 16.16 value as a signed 32-bit number (44,100 Hz is
// -1404829696), as the file has always held it.
void AudioPrefs::Save(PlistTag* document) {
  PlistTag* dict = document->NewDictionary("Audio Prefs");
  if (dict) {
    dict->NewBoolean("Sound On", soundOn);
    dict->NewBoolean("Music On", musicOn);
    dict->NewShort("Sound Volume", soundVolume);
    dict->NewShort("Music Volume", musicVolume);
    dict->NewChar("Sample Size", sampleSize);
    dict->NewLong("Sample Rate", SInt32(sampleRate));
    dict->NewBoolean("Stereo", stereo);
    dict->NewChar("Num Channels", numChannels);
    dict->NewBoolean("Interpolation", interpolation);
    dict->NewBoolean("Smoothing", smoothing);
    dict->NewBoolean("Sound Echos", soundEchos);
    dict->NewBoolean("Music Echos", musicEchos);
    dict->NewBoolean("Fake Stereo", fakeStereo);
    dict->NewChar("Preset", preset);
  }
  Backup();
}

// Every value is checked: volumes are held to 0..255; a sample size other
// than 8 or 16, a channel count other than 2, 4, 6 or 8, or a rate below
// 8,000 Hz is ignored.
void AudioPrefs::Load(PlistTag* document) {
  PlistTag* dict = document ? document->FindDictionary("Audio Prefs", 0) : nullptr;
  if (dict) {
    ReadBoolean(dict, "Sound On", &soundOn);
    ReadBoolean(dict, "Music On", &musicOn);
    ReadRange(dict, "Sound Volume", &soundVolume, 0, 255, true);
    ReadRange(dict, "Music Volume", &musicVolume, 0, 255, true);
    SInt64 size;
    if (ReadInteger(dict, "Sample Size", &size) && (size == 8 || size == 16)) sampleSize = char(size);
    SInt64 rate;
    if (ReadInteger(dict, "Sample Rate", &rate) && rate >= INT32_MIN && rate <= SInt64(UINT32_MAX) &&
        (UInt32(rate) >> 16) >= 8000)
      sampleRate = UInt32(rate);
    ReadBoolean(dict, "Stereo", &stereo);
    SInt64 channels;
    if (ReadInteger(dict, "Num Channels", &channels) &&
        (channels == 2 || channels == 4 || channels == 6 || channels == 8))
      numChannels = char(channels);
    ReadBoolean(dict, "Interpolation", &interpolation);
    ReadBoolean(dict, "Smoothing", &smoothing);
    ReadBoolean(dict, "Sound Echos", &soundEchos);
    ReadBoolean(dict, "Music Echos", &musicEchos);
    ReadBoolean(dict, "Fake Stereo", &fakeStereo);
    ReadRange(dict, "Preset", &preset, -128, 127, false);
  }
  CheckSupport();
  _audioPrefsLoaded = 1;
  Init();
  Backup();
}

void AudioPrefs::New(PlistTag* document) {
  Defaults();
  Save(document);
  CheckSupport();
}

void AudioPrefs::Backup() {
  backup = StoredAudioPrefs{soundOn, musicOn,     soundVolume,   musicVolume, sampleSize, sampleRate, stereo,
                            preset,  numChannels, interpolation, smoothing,   soundEchos, musicEchos, fakeStereo};
}

void AudioPrefs::Revert() {
  soundOn = backup.soundOn;
  musicOn = backup.musicOn;
  soundVolume = backup.soundVolume;
  musicVolume = backup.musicVolume;
  sampleSize = backup.sampleSize;
  sampleRate = backup.sampleRate;
  stereo = backup.stereo;
  preset = backup.preset;
  numChannels = backup.numChannels;
  interpolation = backup.interpolation;
  smoothing = backup.smoothing;
  soundEchos = backup.soundEchos;
  musicEchos = backup.musicEchos;
  fakeStereo = backup.fakeStereo;
  CheckSupport();
  Init();
}

void AudioPrefs::Init() {
  if (sampleSize == 8)
    mixerType = stereo ? 1 : 0;
  else if (sampleSize == 16)
    mixerType = stereo ? 3 : 2;
}

void AudioPrefs::CheckSupport() {
  SInt16 channels = 2, size = 16;
  UnsignedFixed rate = kRate44khz;
  GetSoundQuality(&channels, &size, &rate);
  FitToOutput(channels, size, rate);
}

// A rate above what the device offers comes down to the device's own.
void AudioPrefs::FitToOutput(SInt16 channels, SInt16 size, UnsignedFixed rate) {
  stereoSupported = channels == 2;
  sixteenBitSupported = size == 16;
  maxRate = rate == kRate44khz ? kRate44khz : kRate22khz;
  if (!sixteenBitSupported) sampleSize = 8;
  if (sampleRate > maxRate) {
    if (maxRate < kRate22khz)
      sampleRate = kRate11khz;
    else if (maxRate < kRate44khz)
      sampleRate = kRate22khz;
    else
      sampleRate = maxRate;
  }
  if (!stereoSupported) stereo = 0;
}

UInt8 MusicOnPref() { return audioPREFS.musicOn; }

void SaveAudioPrefs(PlistTag* document) { audioPREFS.Save(document); }
void LoadAudioPrefs(PlistTag* document) { audioPREFS.Load(document); }
void NewAudioPrefs(PlistTag* document) { audioPREFS.New(document); }

OSErr GetSoundQuality(SInt16* channels, SInt16* sampleSize, UnsignedFixed* rate) {
  QKSndChannel* channel = nullptr;
  OSErr err = QKSndNewChannel(&channel, sampledSynth, 0, nullptr);
  if (err != 0) return err;
  QKSndGetInfo(channel, FOUR_CHAR('c', 'h', 'a', 'n'), channels);
  QKSndGetInfo(channel, FOUR_CHAR('s', 's', 'i', 'z'), sampleSize);
  QKSndGetInfo(channel, FOUR_CHAR('s', 'r', 'a', 't'), rate);
  return QKSndDisposeChannel(channel, true);
}
