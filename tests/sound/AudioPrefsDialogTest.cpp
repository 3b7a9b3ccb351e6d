#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "foundation/Memory.h"
#include "foundation/PlistTag.h"
#include "platform/KeyCodes.h"
#include "shell/ApplInfo.h"
#include "shell/MainPrefs.h"
#include "shell/NibDialogs.h"
#include "shell/PrefsDialogs.h"
#include "sound/AudioPrefs.h"
#include "sound/AudioPrefsDialog.h"
#include "sound/CompressedSound.h"
#include "sound/SoundMixer.h"
#include "sound/SoundServices.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeTime.h"
#include "support/OggWriter.h"
#include "support/RecordingDialogs.h"
#include "support/ScriptedDialogPresenter.h"
#include "support/TempFolder.h"
#include "support/openal/FakeOpenAL.h"

namespace {

std::string EngineNibPath() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist";
}

constexpr UInt8 kClosedByOK = ' ';      // low byte of 'ok  '
constexpr UInt8 kClosedByCancel = '!';  // low byte of 'not!'

SInt16 MixerChannelsMade() {
  SInt16 made = 0;
  for (MixerChannel* channel : mixerCHAN)
    if (channel) made++;
  return made;
}

class AudioSettingsDialog : public ::testing::Test {
 protected:
  FakeOpenAL al;
  FakeTime time;
  FakeEventPlatform platform;
  RecordingDialogs dialogs;
  ScriptedDialogPresenter presenter;
  TempFolder folder;
  PlistTag document;

  AudioSettingsDialog() {
    if (!QKEngineNIB) LoadQKEngineNibFile(EngineNibPath().c_str());
    audioTestVOLUME[0] = 256;
    audioTestVOLUME[1] = 0;
  }
  ~AudioSettingsDialog() override {
    DisposeSoundMixer_Sound();
    for (QKELProc& slot : QKEL) slot = nullptr;
  }

  static ControlRef In(WindowRef window, UInt32 command) { return GetControlByCommand(window, command); }

  // Looks at the open dialog without doing anything in it.
  void Look(std::function<void(WindowRef)> look) {
    presenter.Do([look](const DialogView& v) {
      look(v.window);
      return DialogAction{DialogAction::Idle, -1, 0, 0, nullptr, 0};
    });
  }
  // Drags a slider (or picks a pop-up item) to `value`.
  void SetTo(UInt32 command, SInt16 value) {
    presenter.Do([command, value](const DialogView& v) {
      ControlRef c = In(v.window, command);
      c->value = value;
      return DialogAction{DialogAction::Control, -1, 0, 0, c, 0};
    });
  }
  // Puts the caret in a field with its text selected, as a click does on an
  // active field, then types.
  void TypeInto(UInt32 command, const std::string& keys) {
    presenter.Do([command](const DialogView& v) {
      ControlRef f = In(v.window, command);
      if (!IsControlEnabled(f)) return DialogAction{DialogAction::Control, -1, 0, 0, f, 0};
      SetKeyboardFocus(v.window, f);
      f->selStart = 0;
      f->selEnd = SInt16(f->text.size());
      return DialogAction{DialogAction::Idle, -1, 0, 0, nullptr, 0};
    });
    presenter.Type(keys);
  }
  // Replaces a field's text at once, as a paste does.
  void Paste(UInt32 command, const std::string& text) {
    presenter.Do([command, text](const DialogView& v) {
      ControlRef f = In(v.window, command);
      f->text = text;
      DialogEvent changed{kEventClassTextField, kEventTextDidChange, v.window, f, 0, 0, 0, 0, 0, 0};
      SendControlEvent(f, &changed);
      return DialogAction{DialogAction::Idle, -1, 0, 0, nullptr, 0};
    });
  }
  UInt8 Run() {
    UInt8 answer = AudioPrefsDialog(&document, nullptr);
    EXPECT_EQ(presenter.misses, 0);
    return answer;
  }

  std::string Tune(const char* name, long frames = 44100) {
    std::string path = folder / name;
    EXPECT_TRUE(WriteOggFile(path, SineTone(frames, 2, 44100, 441, 9000), 2, 44100));
    return path;
  }
  FakeSource& Source(Music& m) { return al.Source(m.channel.channel->al->source); }
};

TEST_F(AudioSettingsDialog, OpensWithTheStoredSettings) {
  struct Case {
    UInt8 soundOn, musicOn;
    SInt16 soundVolume, musicVolume;
    char channels;
    SInt16 soundPercent, musicPercent, popupItem;
  } cases[] = {
      {1, 1, 192, 192, 8, 75, 75, 4},
      {0, 1, 255, 0, 2, 99, 0, 1},
      {1, 0, 3, 128, 4, 1, 50, 2},
      {0, 0, 256, 1, 6, 100, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.soundVolume));
    audioPREFS.soundOn = c.soundOn;
    audioPREFS.musicOn = c.musicOn;
    audioPREFS.soundVolume = c.soundVolume;
    audioPREFS.musicVolume = c.musicVolume;
    audioPREFS.numChannels = c.channels;
    bool looked = false;
    Look([&](WindowRef w) {
      looked = true;
      EXPECT_EQ(In(w, kAudioSoundCheck)->value, c.soundOn);
      EXPECT_EQ(In(w, kAudioSoundSlider)->value, c.soundPercent);
      EXPECT_EQ(In(w, kAudioSoundField)->text, std::to_string(c.soundPercent));
      EXPECT_EQ(IsControlEnabled(In(w, kAudioSoundSlider)), c.soundOn != 0);
      EXPECT_EQ(IsControlEnabled(In(w, kAudioSoundField)), c.soundOn != 0);
      EXPECT_EQ(In(w, kAudioMusicCheck)->value, c.musicOn);
      EXPECT_EQ(In(w, kAudioMusicSlider)->value, c.musicPercent);
      EXPECT_EQ(In(w, kAudioMusicField)->text, std::to_string(c.musicPercent));
      EXPECT_EQ(IsControlEnabled(In(w, kAudioMusicSlider)), c.musicOn != 0);
      EXPECT_EQ(IsControlEnabled(In(w, kAudioMusicField)), c.musicOn != 0);
      EXPECT_EQ(In(w, kAudioChannels)->value, c.popupItem);
      // The mixer runs while the dialog is open, when sound is on.
      EXPECT_EQ(bool(s_mixerInited), c.soundOn != 0);
      EXPECT_EQ(MixerChannelsMade(), c.soundOn ? c.channels : 0);
    });
    presenter.ClickCommand(kHICommandCancel);
    EXPECT_EQ(Run(), kClosedByCancel);
    EXPECT_TRUE(looked);
    EXPECT_EQ(presenter.shown.back().title, "Audio Settings");
    DisposeSoundMixer_Sound();
  }
  EXPECT_GE(platform.arrowCursors, 1);
}

TEST_F(AudioSettingsDialog, TheSoundCheckBoxSwitchesItsControlsAndTheMixer) {
  presenter.ClickControl(kAudioSoundCheck);
  Look([](WindowRef w) {
    EXPECT_EQ(audioPREFS.soundOn, 0);
    EXPECT_FALSE(IsControlEnabled(In(w, kAudioSoundSlider)));
    EXPECT_FALSE(IsControlEnabled(In(w, kAudioSoundField)));
    EXPECT_TRUE(IsControlEnabled(In(w, kAudioMusicSlider)));
    EXPECT_FALSE(s_mixerInited);
    EXPECT_EQ(MixerChannelsMade(), 0);
  });
  // An inactive slider and field ignore the user.
  SetTo(kAudioSoundSlider, 10);
  TypeInto(kAudioSoundField, "5");
  Look([](WindowRef w) {
    EXPECT_EQ(audioPREFS.soundVolume, 192);
    EXPECT_EQ(In(w, kAudioSoundField)->text, "75");
  });
  presenter.ClickControl(kAudioSoundCheck);
  Look([](WindowRef w) {
    EXPECT_EQ(audioPREFS.soundOn, 1);
    EXPECT_TRUE(IsControlEnabled(In(w, kAudioSoundSlider)));
    EXPECT_TRUE(IsControlEnabled(In(w, kAudioSoundField)));
    EXPECT_TRUE(s_mixerInited);
    EXPECT_EQ(MixerChannelsMade(), 8);
  });
  presenter.ClickCommand(kHICommandOK);
  EXPECT_EQ(Run(), kClosedByOK);
}

TEST_F(AudioSettingsDialog, TheMusicCheckBoxStopsAndRestartsTheMusic) {
  for (UInt8 loop : {1, 0}) {
    SCOPED_TRACE(int(loop));
    Music m;
    ASSERT_EQ(LoadMusicFile(&m, Tune("tune.ogg", 44100 * 8).c_str()), 0);
    m.loop = loop;
    PlayMusic(&m, loop);
    ASSERT_TRUE(m.Playing());
    presenter.ClickControl(kAudioMusicCheck);
    Look([&](WindowRef w) {
      EXPECT_EQ(audioPREFS.musicOn, 0);
      EXPECT_FALSE(IsControlEnabled(In(w, kAudioMusicSlider)));
      EXPECT_FALSE(IsControlEnabled(In(w, kAudioMusicField)));
      EXPECT_FALSE(m.Playing());
    });
    // Back on, the music that was playing plays again, looping or not.
    presenter.ClickControl(kAudioMusicCheck);
    Look([&](WindowRef w) {
      EXPECT_EQ(audioPREFS.musicOn, 1);
      EXPECT_TRUE(IsControlEnabled(In(w, kAudioMusicSlider)));
      EXPECT_TRUE(IsControlEnabled(In(w, kAudioMusicField)));
      EXPECT_TRUE(m.Playing());
    });
    presenter.ClickControl(kAudioMusicCheck);
    presenter.Key(13);
    EXPECT_EQ(Run(), kClosedByOK);
    EXPECT_EQ(audioPREFS.musicOn, 0);
    EXPECT_FALSE(m.Playing());
    audioPREFS.musicOn = 1;
    audioPREFS.Backup();
  }
}

TEST_F(AudioSettingsDialog, ASliderSetsTheFieldAndTheVolume) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("slide.ogg").c_str()), 0);
  PlayMusic(&m, 1);
  struct Case {
    SInt16 value, volume;
  } cases[] = {{0, 0}, {1, 3}, {50, 128}, {99, 254}, {100, 256}};
  for (const Case& c : cases) {
    SetTo(kAudioSoundSlider, c.value);
    SetTo(kAudioMusicSlider, c.value);
    Look([&](WindowRef w) {
      SCOPED_TRACE(c.value);
      EXPECT_EQ(In(w, kAudioSoundField)->text, std::to_string(c.value));
      EXPECT_EQ(In(w, kAudioMusicField)->text, std::to_string(c.value));
      EXPECT_EQ(audioPREFS.soundVolume, c.volume);
      EXPECT_EQ(audioPREFS.musicVolume, c.volume);
      // The playing music follows at once; the setting acts twice on it.
      int scaled = std::min(c.volume * (c.volume * 256 / 255) / 256, 256);
      EXPECT_FLOAT_EQ(Source(m).gain, float(scaled) / 256.0f);
    });
  }
  presenter.ClickCommand(kHICommandOK);
  EXPECT_EQ(Run(), kClosedByOK);
  EXPECT_EQ(PercentToVolume(100), 256);
  EXPECT_EQ(VolumeToPercent(256), 100);
}

TEST_F(AudioSettingsDialog, AFieldIsHeldToAPercentageAndMovesItsSlider) {
  struct Case {
    bool typed;
    const char* text;
    const char* shown;
    SInt16 slider, volume;
  } cases[] = {
      {true, "150", "100", 100, 256},                              // clamped to the top
      {true, "42", "42", 42, 108},    {true, "abc7", "7", 7, 18},  // letters are never typed
      {true, "-3", "3", 3, 8},                                     // nor is the minus sign
      {false, "-3", "0", 0, 0},                                    // pasted, it is held to the bottom
      {false, "abc", "0", 0, 0},                                   // no number at all reads as 0
      {false, "", "0", 0, 0},         {false, "0099", "99", 99, 254},
  };
  for (const Case& c : cases) {
    for (UInt32 field : {kAudioSoundField, kAudioMusicField}) {
      if (c.typed)
        TypeInto(field, c.text);
      else
        Paste(field, c.text);
      bool sound = field == kAudioSoundField;
      Look([&, sound](WindowRef w) {
        SCOPED_TRACE(std::string(c.text) + (sound ? " sound" : " music"));
        EXPECT_EQ(In(w, sound ? kAudioSoundField : kAudioMusicField)->text, c.shown);
        EXPECT_EQ(In(w, sound ? kAudioSoundSlider : kAudioMusicSlider)->value, c.slider);
        EXPECT_EQ(sound ? audioPREFS.soundVolume : audioPREFS.musicVolume, c.volume);
      });
    }
  }
  presenter.ClickCommand(kHICommandOK);
  EXPECT_EQ(Run(), kClosedByOK);
}

TEST_F(AudioSettingsDialog, TheFieldsLetOnlyDigitsAndEditingKeysThrough) {
  struct Case {
    UInt8 key;
    bool passes;
  } cases[] = {{'0', true},  {'5', true},  {'9', true},  {9, true},   {8, true},    {27, true},
               {13, true},   {3, true},    {28, true},   {29, true},  {'a', false}, {'Z', false},
               {'-', false}, {'.', false}, {' ', false}, {30, false}, {127, false}, {0, false}};
  for (const Case& c : cases) {
    for (auto handler : {SoundFieldHandler, MusicFieldHandler}) {
      for (UInt32 kind : {UInt32(kEventRawKeyDown), UInt32(kEventRawKeyRepeat)}) {
        DialogEvent key{kEventClassKeyboard, kind, nullptr, nullptr, 3, c.key, 0, 0, 0, 0};
        EXPECT_EQ(handler(nullptr, &key, nullptr), c.passes ? OSStatus(eventNotHandledErr) : OSStatus(noErr))
            << int(c.key);
      }
    }
  }
}

TEST_F(AudioSettingsDialog, TheChannelPopUpRebuildsTheMixerChannels) {
  struct Case {
    SInt16 item;
    char channels;
  } cases[] = {{1, 2}, {2, 4}, {3, 6}, {4, 8}, {2, 4}};
  for (const Case& c : cases) {
    SetTo(kAudioChannels, c.item);
    Look([c](WindowRef) {
      EXPECT_EQ(audioPREFS.numChannels, c.channels);
      EXPECT_EQ(MixerChannelsMade(), c.channels);
      EXPECT_EQ(s_channelLIST.Size(), UInt32(c.channels));
    });
  }
  presenter.ClickCommand(kHICommandOK);
  EXPECT_EQ(Run(), kClosedByOK);
  EXPECT_EQ(audioPREFS.numChannels, 4);
  for (SInt16 item = 1; item <= 4; item++) EXPECT_EQ(ChannelsToPopupItem(PopupItemToChannels(item)), item);
}

TEST_F(AudioSettingsDialog, OKSavesTheChangesIntoTheDocument) {
  presenter.ClickControl(kAudioSoundCheck);
  SetTo(kAudioMusicSlider, 50);
  SetTo(kAudioChannels, 3);
  presenter.Key(3);  // Enter
  EXPECT_EQ(Run(), kClosedByOK);
  ASSERT_NE(document.FindDictionary("Audio Prefs", 0), nullptr);
  audioPREFS = AudioPrefs();
  LoadAudioPrefs(&document);
  EXPECT_EQ(audioPREFS.soundOn, 0);
  EXPECT_EQ(audioPREFS.musicOn, 1);
  EXPECT_EQ(audioPREFS.soundVolume, 192);
  EXPECT_EQ(audioPREFS.musicVolume, 128);
  EXPECT_EQ(audioPREFS.numChannels, 6);
  // What OK kept is what a later Cancel goes back to.
  presenter.ClickControl(kAudioSoundCheck);
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(Run(), kClosedByCancel);
  EXPECT_EQ(audioPREFS.soundOn, 0);
  EXPECT_FALSE(s_mixerInited);
}

TEST_F(AudioSettingsDialog, CancelPutsEverythingBack) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("cancel.ogg").c_str()), 0);
  m.loop = 1;
  PlayMusic(&m, 1);
  UpdateMusicVolume();
  const float gain = Source(m).gain;
  const AudioPrefs before = audioPREFS;
  presenter.ClickControl(kAudioMusicCheck);
  SetTo(kAudioMusicSlider, 10);
  TypeInto(kAudioSoundField, "20");
  SetTo(kAudioChannels, 1);
  presenter.ClickControl(kAudioSoundCheck);
  presenter.ClickControl(kAudioIcon);
  Look([&](WindowRef) {
    EXPECT_FALSE(m.Playing());
    EXPECT_FALSE(s_mixerInited);
  });
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(Run(), kClosedByCancel);
  EXPECT_EQ(audioPREFS.soundOn, before.soundOn);
  EXPECT_EQ(audioPREFS.musicOn, before.musicOn);
  EXPECT_EQ(audioPREFS.soundVolume, before.soundVolume);
  EXPECT_EQ(audioPREFS.musicVolume, before.musicVolume);
  EXPECT_EQ(audioPREFS.numChannels, before.numChannels);
  EXPECT_EQ(document.FindDictionary("Audio Prefs", 0), nullptr);
  // The output follows the settings put back.
  EXPECT_TRUE(s_mixerInited);
  EXPECT_EQ(MixerChannelsMade(), 8);
  EXPECT_TRUE(m.Playing());
  EXPECT_FLOAT_EQ(Source(m).gain, gain);
}

TEST_F(AudioSettingsDialog, CancelStopsMusicTurnedOnInTheDialog) {
  Music m;
  ASSERT_EQ(LoadMusicFile(&m, Tune("off.ogg").c_str()), 0);
  m.loop = 1;
  audioPREFS.musicOn = 0;
  PlayMusic(&m, 1);  // waits, active, for music to be turned on
  ASSERT_FALSE(m.Playing());
  presenter.ClickControl(kAudioMusicCheck);
  Look([&](WindowRef) { EXPECT_TRUE(m.Playing()); });
  presenter.ClickCommand(kHICommandCancel);
  EXPECT_EQ(Run(), kClosedByCancel);
  EXPECT_EQ(audioPREFS.musicOn, 0);
  EXPECT_FALSE(m.Playing());
}

TEST_F(AudioSettingsDialog, TheIconAndTheSoundFieldSwapTheTestVolumes) {
  presenter.ClickControl(kAudioIcon);
  Look([](WindowRef) {
    EXPECT_EQ(audioTestVOLUME[0], 0);
    EXPECT_EQ(audioTestVOLUME[1], 256);
  });
  Paste(kAudioSoundField, "30");
  Look([](WindowRef) {
    EXPECT_EQ(audioTestVOLUME[0], 256);
    EXPECT_EQ(audioTestVOLUME[1], 0);
  });
  Paste(kAudioMusicField, "30");
  Look([](WindowRef) { EXPECT_EQ(audioTestVOLUME[0], 256); });
  presenter.ClickCommand(kHICommandOK);
  EXPECT_EQ(Run(), kClosedByOK);
}

TEST_F(AudioSettingsDialog, ReturnAndEnterAnswerItem23InTheFilter) {
  struct Case {
    UInt16 what;
    UInt8 key;
    bool answered;
  } cases[] = {{keyDown, 13, true},
               {keyDown, 3, true},
               {autoKey, 13, true},
               {autoKey, 3, true},
               {keyUp, 13, false},
               {mouseDown, 13, false},
               {keyDown, keychar::kEscape, false},
               {keyDown, 'a', false},
               {nullEvent, 0, false}};
  for (const Case& c : cases) {
    EventRecord event{c.what, UInt32(0x2400 | c.key), 0, Point{0, 0}, 0};
    SInt16 item = -1;
    EXPECT_EQ(bool(AudioPrefsFilter(nullptr, &event, &item)), c.answered) << c.what << " " << int(c.key);
    EXPECT_EQ(item, c.answered ? 23 : -1);
  }
}

TEST_F(AudioSettingsDialog, SetupAndEventFailuresAreReported) {
  FailNextHandlerInstall(-108);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "InstallWindowEventHandler() failed.");
  EXPECT_EQ(dialogs.Reports()[0].detail, "-108");
  EXPECT_TRUE(presenter.shown.empty());

  DialogEvent hit{kEventClassControl, kEventControlHit, nullptr, nullptr, 0, 0, 0, 0, 0, 0};
  UInt32 result = 0;
  EXPECT_NE(AudioDialogHandler(nullptr, &hit, &result), noErr);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[1].message, "GetEventParameter() failed.");
  EXPECT_EQ(result, 0u);
}

TEST_F(AudioSettingsDialog, ReloadingTheTestsRestartsTheMixerAndDropsTheTestSound) {
  InitSoundMixer();
  MixerChannel* before = mixerCHAN[0];
  ASSERT_NE(before, nullptr);
  audioTestSOUND = new QKSndCommand;
  audioTestSOUND->param2 = reinterpret_cast<intptr_t>(QKNewPtrClear(64));
  ReloadAudioTests();
  EXPECT_EQ(audioTestSOUND, nullptr);
  EXPECT_TRUE(s_mixerInited);
  EXPECT_EQ(MixerChannelsMade(), 8);
  audioPREFS.soundOn = 0;
  ReloadAudioTests();
  EXPECT_FALSE(s_mixerInited);
}

TEST_F(AudioSettingsDialog, ThePreferencesAudioButtonOpensTheDialog) {
  APPL = ApplInfo();
  APPL.SetName("Halvane", "Halvane");
  mainPREFS.Defaults(false);
  InstallSoundServices();
  presenter.ClickCommand(kCommandAudio);
  presenter.ClickControl(kAudioSoundCheck);
  presenter.ClickCommand(kHICommandOK);      // the audio settings
  presenter.ClickCommand(kHICommandCancel);  // the preferences
  EXPECT_EQ(MainPrefsDialog(0), kHICommandCancel);
  ASSERT_EQ(presenter.shown.size(), 4u);
  EXPECT_EQ(presenter.shown[1].title, "Audio Settings");
  EXPECT_EQ(presenter.shown[1].parent, presenter.shown[0].window);
  EXPECT_EQ(presenter.shown[3].title, "Halvane Preferences");
  EXPECT_EQ(audioPREFS.soundOn, 0);
  EXPECT_EQ(presenter.misses, 0);
  APPL = ApplInfo();
}

}  // namespace
