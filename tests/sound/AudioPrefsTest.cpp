#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/MainTimer.h"
#include "foundation/PlistTag.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/MainPrefs.h"
#include "sound/AudioPrefs.h"
#include "sound/SoundServices.h"
#include "support/TempFolder.h"
#include "support/openal/FakeOpenAL.h"

namespace {

class AudioSettings : public ::testing::Test {
 protected:
  FakeOpenAL al;
  PlistTag document;

  PlistTag* Dict() { return document.FindDictionary("Audio Prefs", 0); }
  std::string Value(const char* key) {
    PlistTag* d = Dict();
    for (UInt32 i = 0; d && i < d->children.Size(); i++) {
      PlistTag* c = d->children[i];
      if (std::string(reinterpret_cast<char*>(c->key + 1), c->key[0]) == key)
        return std::string(reinterpret_cast<char*>(c->value + 1), c->value[0]);
    }
    return "(missing)";
  }
  PlistTag* Stored() { return document.FindDictionary("Audio Prefs", 1); }
};

TEST_F(AudioSettings, SavedKeysComeInTheirOrderAndTheRateInItsSignedForm) {
  SaveAudioPrefs(&document);
  PlistTag* d = Dict();
  ASSERT_NE(d, nullptr);
  const char* order[] = {"Sound On",    "Music On",    "Sound Volume", "Music Volume",  "Sample Size",
                         "Sample Rate", "Stereo",      "Num Channels", "Interpolation", "Smoothing",
                         "Sound Echos", "Music Echos", "Fake Stereo",  "Preset"};
  ASSERT_EQ(d->children.Size(), 14u);
  for (UInt32 i = 0; i < 14; i++) {
    PlistTag* c = d->children[i];
    EXPECT_EQ(std::string(reinterpret_cast<char*>(c->key + 1), c->key[0]), order[i]);
  }
  EXPECT_EQ(Value("Sample Rate"), "-1404829696");
  EXPECT_EQ(Value("Sound Volume"), "192");
  EXPECT_EQ(Value("Num Channels"), "8");
}

TEST_F(AudioSettings, ARoundTripKeepsEverySetting) {
  audioPREFS.soundOn = 0;
  audioPREFS.musicVolume = 17;
  audioPREFS.sampleRate = kRate22khz;
  audioPREFS.numChannels = 4;
  audioPREFS.fakeStereo = 1;
  SaveAudioPrefs(&document);
  audioPREFS = AudioPrefs();
  LoadAudioPrefs(&document);
  EXPECT_EQ(audioPREFS.soundOn, 0);
  EXPECT_EQ(audioPREFS.musicVolume, 17);
  EXPECT_EQ(audioPREFS.sampleRate, kRate22khz);
  EXPECT_EQ(audioPREFS.numChannels, 4);
  EXPECT_EQ(audioPREFS.fakeStereo, 1);
  EXPECT_TRUE(_audioPrefsLoaded);
}

TEST_F(AudioSettings, ARateIsReadInEitherSign) {
  for (const char* text : {"-1404829696", "2890137600"}) {
    audioPREFS.sampleRate = kRate22khz;
    Stored()->NewTag("integer", "Sample Rate", text);
    LoadAudioPrefs(&document);
    EXPECT_EQ(audioPREFS.sampleRate, kRate44khz) << text;
    document.DeleteChildren();
  }
}

TEST_F(AudioSettings, StoredValuesOutOfRangeAreHeldOrIgnored) {
  struct Case {
    const char* key;
    const char* text;
    SInt64 (*field)();
    SInt64 expected;
  } cases[] = {
      {"Sound Volume", "300", [] { return SInt64(audioPREFS.soundVolume); }, 255},
      {"Music Volume", "-5", [] { return SInt64(audioPREFS.musicVolume); }, 0},
      {"Sample Size", "12", [] { return SInt64(audioPREFS.sampleSize); }, 16},
      {"Sample Size", "8", [] { return SInt64(audioPREFS.sampleSize); }, 8},
      {"Num Channels", "20", [] { return SInt64(audioPREFS.numChannels); }, 8},
      {"Num Channels", "x", [] { return SInt64(audioPREFS.numChannels); }, 8},
      {"Num Channels", "6", [] { return SInt64(audioPREFS.numChannels); }, 6},
      {"Sample Rate", "0", [] { return SInt64(audioPREFS.sampleRate); }, kRate44khz},
      {"Sample Rate", "65536", [] { return SInt64(audioPREFS.sampleRate); }, kRate44khz},
      {"Sample Rate", "99999999999", [] { return SInt64(audioPREFS.sampleRate); }, kRate44khz},
      {"Sample Rate", "722534400", [] { return SInt64(audioPREFS.sampleRate); }, kRate11khz},
  };
  for (const Case& k : cases) {
    audioPREFS = AudioPrefs();
    document.DeleteChildren();
    Stored()->NewTag("integer", k.key, k.text);
    LoadAudioPrefs(&document);
    EXPECT_EQ(k.field(), k.expected) << k.key << " " << k.text;
  }
}

TEST_F(AudioSettings, AFileWithoutTheDictionaryKeepsTheDefaults) {
  LoadAudioPrefs(&document);
  AudioPrefs defaults;
  EXPECT_EQ(audioPREFS.soundVolume, 192);
  EXPECT_EQ(audioPREFS.sampleRate, kRate44khz);
  EXPECT_EQ(audioPREFS.stereoSupported, 1);
  EXPECT_EQ(audioPREFS.sixteenBitSupported, 1);
  EXPECT_EQ(defaults.stereoSupported, 0);
}

TEST_F(AudioSettings, ALesserOutputBringsTheSettingsDown) {
  struct Case {
    SInt16 channels, size;
    UnsignedFixed deviceRate, stored, expected;
  } cases[] = {{1, 8, kRate22khz, kRate44khz, kRate22khz},
               {2, 16, kRate44khz, 48000u << 16, kRate44khz},
               {2, 16, kRate44khz, kRate22khz, kRate22khz}};
  for (const Case& k : cases) {
    AudioPrefs p;
    p.sampleRate = k.stored;
    p.FitToOutput(k.channels, k.size, k.deviceRate);
    EXPECT_EQ(p.sampleRate, k.expected);
    EXPECT_EQ(p.stereo, k.channels == 2);
    EXPECT_EQ(p.sampleSize, k.size == 16 ? 16 : 8);
  }
}

TEST_F(AudioSettings, MixerTypeFollowsStereoAndSize) {
  struct Case {
    UInt8 stereo;
    char size;
    UInt8 type;
  } cases[] = {{0, 8, 0}, {1, 8, 1}, {0, 16, 2}, {1, 16, 3}, {0, 12, 3}};
  for (const Case& k : cases) {
    AudioPrefs p;
    p.stereo = k.stereo;
    p.sampleSize = k.size;
    p.Init();
    EXPECT_EQ(p.mixerType, k.type);
  }
}

TEST_F(AudioSettings, RevertGoesBackToTheLastSaved) {
  SaveAudioPrefs(&document);
  audioPREFS.soundVolume = 3;
  audioPREFS.stereo = 0;
  audioPREFS.Revert();
  EXPECT_EQ(audioPREFS.soundVolume, 192);
  EXPECT_EQ(audioPREFS.stereo, 1);
  PlistTag other;
  NewAudioPrefs(&other);
  EXPECT_NE(other.FindDictionary("Audio Prefs", 0), nullptr);
}

TEST_F(AudioSettings, TheMainPreferencesFileCarriesTheAudioEntry) {
  ScopedHome home;
  InstallSoundServices();
  mainPREFS.SetFileName("Sound Test Preferences");
  audioPREFS.musicVolume = 77;
  PlistTag saved;
  ASSERT_EQ(mainPREFS.Save(&saved), 0);
  EXPECT_NE(ReadWholeFile(mainPREFS.Path()).find("-1404829696"), std::string::npos);
  audioPREFS = AudioPrefs();
  PlistTag loaded;
  ASSERT_EQ(mainPREFS.Load(&loaded), 0);
  EXPECT_EQ(audioPREFS.musicVolume, 77);
  loadAudioPrefsProc = nullptr;
  saveAudioPrefsProc = nullptr;
  SetAudioBackEnd(nullptr);
  SetBeepBackEnd(nullptr);
}

}  // namespace
