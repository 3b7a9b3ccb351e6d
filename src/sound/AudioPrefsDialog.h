// The "Audio Settings" dialog: a window of the engine's interface file that
// edits the sound settings while they are heard. The Sound and Music check
// boxes switch the software mixer and the music on and off at once, the
// sliders and their percentage fields set the two volumes, the pop-up sets the
// mixer's channels. OK keeps the changes and writes them into the given
// property-list document; Cancel puts back what held when the dialog opened.
#pragma once

#include "platform/DialogModel.h"
#include "platform/EventPlatform.h"

class PlistTag;
class QKSndCommand;

// Command codes of the dialog's controls.
enum : UInt32 {
  kAudioSoundCheck = FOUR_CHAR('s', 'c', 'h', 'k'),
  kAudioSoundSlider = FOUR_CHAR('s', 'v', 'o', 'l'),
  kAudioSoundField = FOUR_CHAR('s', 'p', 'r', 'c'),
  kAudioMusicCheck = FOUR_CHAR('m', 'c', 'h', 'k'),
  kAudioMusicSlider = FOUR_CHAR('m', 'v', 'o', 'l'),
  kAudioMusicField = FOUR_CHAR('m', 'p', 'r', 'c'),
  kAudioChannels = FOUR_CHAR('c', 'h', 'a', 'n'),
  kAudioIcon = FOUR_CHAR('i', 'c', 'o', 'n'),
};

// Runs the dialog, as a sheet of `parent` when one is given, and answers the
// low byte of the command that closed it. With OK the settings are saved into
// `document` (when not null) and become the ones Cancel goes back to.
UInt8 AudioPrefsDialog(PlistTag* document, WindowRef parent);
// The engine's hook for the main preferences' audio button: the dialog with
// a document of its own. The settings reach the preferences file when the
// main preferences are next saved.
bool AudioPrefsDialogHook(WindowRef parent);

// The window's handler: the check boxes, the sliders, the pop-up, the icon,
// OK and Cancel. The user data is the UInt32 that receives the closing command.
OSStatus AudioDialogHandler(EventHandlerCallRef call, EventRef event, void* userData);
// The sliders' actions: the percentage into the field, the volume from it.
void SoundSlider(ControlRef slider, SInt16 part);
void MusicSlider(ControlRef slider, SInt16 part);
// The percentage fields' handlers: only digits and the editing keys are
// typed; each change is held to 0..100 and moves the slider and the volume.
OSStatus SoundFieldHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus MusicFieldHandler(EventHandlerCallRef call, EventRef event, void* userData);
// The filter for the dialog as a classic modal dialog: Return and Enter
// answer item 23.
Boolean AudioPrefsFilter(WindowRef dialog, EventRecord* event, SInt16* itemHit);
// Starts the software mixer afresh and lets go of the test sound.
void ReloadAudioTests();

// The conversions between a stored volume (256 = full) and the dialog's
// percentage, and between the channel pop-up's items 1..4 and 2, 4, 6 or 8
// mixer channels.
SInt16 VolumeToPercent(SInt16 volume);
SInt16 PercentToVolume(SInt16 percent);
SInt16 ChannelsToPopupItem(char channels);
char PopupItemToChannels(SInt16 item);

// The test sound and the left and right volumes it is played at; clicking
// the speaker icon sends it to the other side.
extern QKSndCommand* audioTestSOUND;
extern SInt16 audioTestVOLUME[2];
