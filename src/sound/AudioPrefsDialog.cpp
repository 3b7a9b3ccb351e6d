#include "sound/AudioPrefsDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "foundation/ErrorDialog.h"
#include "foundation/PlistTag.h"
#include "foundation/QK_MathUtils.h"
#include "platform/KeyCodes.h"
#include "platform/QuickDrawPicture.h"
#include "shell/ControlUtilities.h"
#include "shell/NibDialogs.h"
#include "shell/StandardDialog.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/SoundLoading.h"
#include "sound/SoundMixer.h"

QKSndCommand* audioTestSOUND = nullptr;
SInt16 audioTestVOLUME[2] = {256, 0};

namespace {

// What is asked of the event by the handlers, as the platform reports a
// parameter that an event does not carry.
constexpr OSStatus kEventParameterNotFound = -9870;
// The classic dialog's item that Return and Enter answer.
constexpr SInt16 kAudioDefaultItem = 23;

const EventTypeSpec kDialogEvents[] = {{kEventClassControl, kEventControlHit}};
const EventTypeSpec kFieldEvents[] = {{kEventClassKeyboard, kEventRawKeyDown},
                                      {kEventClassKeyboard, kEventRawKeyRepeat},
                                      {kEventClassTextField, kEventTextDidChange}};

ControlRef Find(WindowRef window, UInt32 command) { return GetControlByCommand(window, command); }

void SetActive(ControlRef control, bool active) {
  if (!control) return;
  if (active) {
    EnableControl(control);
    return;
  }
  DisableControl(control);
  // An inactive field takes no more typing.
  if (GetKeyboardFocus(control->window) == control) ClearKeyboardFocus(control->window);
}

void ShowPercent(ControlRef field, SInt16 percent) {
  if (!field) return;
  char text[16];
  snprintf(text, sizeof text, "%d", int(percent));
  field->text = text;
  field->selStart = field->selEnd = SInt16(field->text.size());
}

// The music checkbox turned on: every music that was playing when it went
// off, and every music that should be looping, plays again. (The list's own
// restart waits on a count that nothing sets, so it would bring back none.)
void RestartMusic() {
  StartActiveMusic();
  if (musicLIST) {
    UInt32 i = 0;
    for (auto* link = musicLIST->First(); link; link = musicLIST->Next(link), i++) {
      Music* music = link->item;
      if (!music->Playing() && (MusicWasPlaying(i) || music->IsActive())) PlayMusic(music, true);
    }
  }
  CheckActiveMusic();
}

SInt16 MixerChannelsMade() {
  SInt16 made = 0;
  for (MixerChannel* channel : mixerCHAN)
    if (channel) made++;
  return made;
}

void RebuildMixerChannels() {
  if (!s_mixerInited) return;
  DisposeSoundChans();
  InitSoundChans();
}

// After Cancel has put the settings back: the mixer, its channels, the music
// and the volumes follow them again.
void ApplyRevertedSettings(bool musicStoppedHere, bool musicStartedHere) {
  if (audioPREFS.soundOn && !s_mixerInited)
    InitSoundMixer();
  else if (!audioPREFS.soundOn && s_mixerInited)
    DisposeSoundMixer_Sound();
  else if (s_mixerInited && MixerChannelsMade() != MixerChannelCount())
    RebuildMixerChannels();
  if (s_mixerInited) SetSoundMixerVolume(audioPREFS.soundVolume);
  if (audioPREFS.musicOn && musicStoppedHere) RestartMusic();
  if (!audioPREFS.musicOn && musicStartedHere) {
    StopActiveMusic();
    CheckActiveMusic();
  }
  UpdateMusicVolume();
}

// What the dialog changed while it ran, for Cancel.
struct DialogRun {
  bool musicStopped = false;
  bool musicStarted = false;
};
DialogRun* currentRUN = nullptr;

void SetSoundVolumeFromPercent(SInt16 percent) {
  audioPREFS.soundVolume = PercentToVolume(percent);
  if (s_mixerInited) SetSoundMixerVolume(audioPREFS.soundVolume);
}

void SetMusicVolumeFromPercent(SInt16 percent) {
  audioPREFS.musicVolume = PercentToVolume(percent);
  UpdateMusicVolume();
}

// A field's key: digits, Tab, Backspace, Escape, Return, Enter and the left
// and right arrows are typed; anything else is swallowed.
OSStatus FilterFieldKey(EventRef event) {
  UInt8 c = event->charCode;
  bool pass = (c >= '0' && c <= '9') || c == keychar::kTab || c == keychar::kBackspace || c == keychar::kEscape ||
              c == keychar::kReturn || c == keychar::kEnter || c == keychar::kLeftArrow || c == keychar::kRightArrow;
  return pass ? OSStatus(eventNotHandledErr) : OSStatus(noErr);
}

// The field's text held to a whole number 0..100, written back, and the
// slider moved to it; answers the number.
SInt16 ConstrainPercentField(ControlRef field, UInt32 sliderCommand) {
  NumberParams range;
  range.minimum = 0;
  range.maximum = 100;
  ConstrainNumberField(field, &range);
  SInt16 percent = SInt16(std::clamp(std::atoi(field->text.c_str()), 0, 100));
  if (ControlRef slider = Find(field->window, sliderCommand)) SetControlValue(slider, percent);
  return percent;
}

void FillVolume(WindowRef window, UInt32 check, UInt32 slider, UInt32 field, UInt8 on, SInt16 volume) {
  SInt16 percent = VolumeToPercent(volume);
  if (ControlRef box = Find(window, check)) box->value = on ? 1 : 0;
  if (ControlRef s = Find(window, slider)) {
    SetControlValue(s, percent);
    SetActive(s, on);
  }
  if (ControlRef f = Find(window, field)) {
    ShowPercent(f, percent);
    SetActive(f, on);
  }
}

}  // namespace

SInt16 VolumeToPercent(SInt16 volume) { return SInt16(SInt32(volume) * 100 / 256); }

SInt16 PercentToVolume(SInt16 percent) { return StretchNum(percent, 100, 256); }

SInt16 ChannelsToPopupItem(char channels) {
  switch (channels) {
    case 2: return 1;
    case 4: return 2;
    case 6: return 3;
    default: return 4;
  }
}

char PopupItemToChannels(SInt16 item) { return char(2 * std::clamp<SInt16>(item, 1, 4)); }

void SoundSlider(ControlRef slider, SInt16) {
  if (!slider) return;
  ShowPercent(Find(slider->window, kAudioSoundField), slider->value);
  SetSoundVolumeFromPercent(slider->value);
}

void MusicSlider(ControlRef slider, SInt16) {
  if (!slider) return;
  ShowPercent(Find(slider->window, kAudioMusicField), slider->value);
  SetMusicVolumeFromPercent(slider->value);
}

OSStatus SoundFieldHandler(EventHandlerCallRef, EventRef event, void*) {
  if (event->eventClass == kEventClassKeyboard) return FilterFieldKey(event);
  if (event->eventClass != kEventClassTextField || !event->control) return eventNotHandledErr;
  SetSoundVolumeFromPercent(ConstrainPercentField(event->control, kAudioSoundSlider));
  std::swap(audioTestVOLUME[0], audioTestVOLUME[1]);
  return noErr;
}

OSStatus MusicFieldHandler(EventHandlerCallRef, EventRef event, void*) {
  if (event->eventClass == kEventClassKeyboard) return FilterFieldKey(event);
  if (event->eventClass != kEventClassTextField || !event->control) return eventNotHandledErr;
  SetMusicVolumeFromPercent(ConstrainPercentField(event->control, kAudioMusicSlider));
  return noErr;
}

OSStatus AudioDialogHandler(EventHandlerCallRef, EventRef event, void* userData) {
  if (event->eventClass != kEventClassControl || event->eventKind != kEventControlHit) return eventNotHandledErr;
  ControlRef control = event->control;
  if (!control) {
    AlertDialog("GetEventParameter() failed.", SInt32(kEventParameterNotFound), "OK");
    return kEventParameterNotFound;
  }
  WindowRef window = control->window;
  switch (control->command) {
    case kAudioSoundCheck:
      audioPREFS.soundOn = control->value ? 1 : 0;
      SetActive(Find(window, kAudioSoundSlider), audioPREFS.soundOn);
      SetActive(Find(window, kAudioSoundField), audioPREFS.soundOn);
      if (audioPREFS.soundOn)
        InitSoundMixer();
      else
        DisposeSoundMixer_Sound();
      return noErr;
    case kAudioMusicCheck:
      audioPREFS.musicOn = control->value ? 1 : 0;
      SetActive(Find(window, kAudioMusicSlider), audioPREFS.musicOn);
      SetActive(Find(window, kAudioMusicField), audioPREFS.musicOn);
      if (audioPREFS.musicOn) {
        RestartMusic();
        if (currentRUN) currentRUN->musicStarted = true;
      } else {
        StopActiveMusic();
        if (currentRUN) currentRUN->musicStopped = true;
      }
      return noErr;
    case kAudioSoundSlider: SoundSlider(control, 0); return noErr;
    case kAudioMusicSlider: MusicSlider(control, 0); return noErr;
    case kAudioChannels:
      audioPREFS.numChannels = PopupItemToChannels(control->value);
      RebuildMixerChannels();
      return noErr;
    case kAudioIcon: std::swap(audioTestVOLUME[0], audioTestVOLUME[1]); return noErr;
    case kHICommandOK:
    case kHICommandCancel:
      if (userData) *static_cast<UInt32*>(userData) = control->command;
      QuitAppModalLoopForWindow(window);
      return noErr;
    default: return eventNotHandledErr;
  }
}

Boolean AudioPrefsFilter(WindowRef, EventRecord* event, SInt16* itemHit) {
  if (!event || (event->what != keyDown && event->what != autoKey)) return false;
  UInt8 c = UInt8(event->message & charCodeMask);
  if (c != 13 && c != 3) return false;
  if (itemHit) *itemHit = kAudioDefaultItem;
  return true;
}

void ReloadAudioTests() {
  InitSoundMixer();
  if (audioTestSOUND) {
    DisposeSound(audioTestSOUND);
    delete audioTestSOUND;
    audioTestSOUND = nullptr;
  }
}

UInt8 AudioPrefsDialog(PlistTag* document, WindowRef parent) {
  audioPREFS.Backup();
  if (!s_mixerInited) InitSoundMixer();
  Platform().ArrowCursor();
  if (!QKEngineNIB) LoadQKEngineNib();
  WindowRef window = GetNibWindow(QKEngineNIB, "Audio Settings");
  if (!window) {
    AlertDialog("GetNibWindow() failed.", SInt32(-1), "OK");
    return 0;
  }
  UInt32 result = kHICommandCancel;
  if (OSStatus error = InstallWindowEventHandler(window, AudioDialogHandler, 1, kDialogEvents, &result, nullptr)) {
    AlertDialog("InstallWindowEventHandler() failed.", SInt32(error), "OK");
    DisposeDialogWindow(window);
    return 0;
  }
  InstallControlEventHandler(Find(window, kAudioSoundField), SoundFieldHandler, 3, kFieldEvents, nullptr, nullptr);
  InstallControlEventHandler(Find(window, kAudioMusicField), MusicFieldHandler, 3, kFieldEvents, nullptr, nullptr);

  FillVolume(window, kAudioSoundCheck, kAudioSoundSlider, kAudioSoundField, audioPREFS.soundOn, audioPREFS.soundVolume);
  FillVolume(window, kAudioMusicCheck, kAudioMusicSlider, kAudioMusicField, audioPREFS.musicOn, audioPREFS.musicVolume);
  if (ControlRef popup = Find(window, kAudioChannels))
    SetControlValue(popup, ChannelsToPopupItem(audioPREFS.numChannels));
  // The speaker picture when the bundle has one; the note icon otherwise.
  IconRef icon = nullptr;
  if (ControlRef iconControl = Find(window, kAudioIcon))
    if (LoadIconFile(&icon, kAudioIconFile, 0, FOUR_CHAR('i', 'c', 'n', 's'), nullptr) == noErr)
      SetControlIconRef(iconControl, icon);

  DialogWindowRecord* record = DialogRecord(window);
  record->parent = parent;
  record->sheetParent = parent;
  record->visible = true;
  DialogRun run;
  DialogRun* outer = currentRUN;
  currentRUN = &run;
  if (!RunAppModalLoopForWindow(window)) result = kHICommandCancel;
  currentRUN = outer;

  if (result == kHICommandOK) {
    if (document)
      audioPREFS.Save(document);
    else
      audioPREFS.Backup();
    audioPREFS.Init();
  } else {
    audioPREFS.Revert();
    ApplyRevertedSettings(run.musicStopped, run.musicStarted);
  }
  DisposeDialogWindow(window);
  if (icon) ReleaseIconRef(icon);
  return UInt8(result & 0xFF);
}

bool AudioPrefsDialogHook(WindowRef parent) {
  PlistTag document;
  return AudioPrefsDialog(&document, parent) != 0;
}
