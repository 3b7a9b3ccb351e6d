// What the game simulation needs of the rest of the program: sounds, music,
// the picture's brightness, image sizes, screens, preferences and scores.
// The simulation links only foundation; the program joins it to the real
// subsystems (graphics defines the fader calls, shell the key state and the
// quit flag, sound the effects and music, the front end the screens,
// preferences, trigonometry tables, images and scores). Tests link recording
// fakes of the same functions instead.
#pragma once

#include "platform/PlatformTypes.h"

class ALSound;
class Music;
class ImageGL;

// Sound effects (sound). Arrays are reached through SoundElement, since the
// game never sees the size of an ALSound.
extern ALSound blipSND, dinkSND, bounceSND, podSND, flipSND, superSND, alarmSND, suckSND, toneSND, pshotSND, waveSND,
    powerSND, shieldSND, spinSND, bumpSND, zoomSND, tapSND;
extern ALSound shotSND[2], boomSND[2], metalSND[2];
ALSound* SoundElement(ALSound* sounds, int index);

unsigned NextChan_Game();
unsigned FreeChan_Game();
void PlaySound_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
void PlaySound_Stereo_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
OSErr LoadSound_Game(ALSound* sound, char const* name);
void QuietAllChans();

// Music (sound, and LoadMusic of the front end's resource loading).
extern Music gameMUSIC;
SInt16 LoadMusic(Music* m, const char* name);
void PlayMusic(Music* m, unsigned char loop);
void StopMusic(Music* m);
void SetMusicVolume(Music* m, SInt16 volume);
// Sets the music's own loop flag (Music::Loop).
void SetMusicLoop(Music* m, unsigned char loop);

// The brightness of the whole picture, 0..255 (graphics).
int Brightness_GL();
void Brighter_GL(UInt8 step);
void Darker_GL(UInt8 step);

// Images (front end): the boss picture and the sizes the game reads.
extern ImageGL bossIMAGE;
void LoadGameImage(ImageGL* image, const char* name, unsigned char alphaFlag);
SInt16 BossImageWidth();
SInt16 BossImageHeight();
SInt16 GlowImageWidth();
SInt16 GlowImageHeight();

// The trigonometry tables, one entry per whole degree, 256 standing for 1.0
// (front end's resource loading).
extern SInt32 cosTABLE[360];
extern SInt32 sinTABLE[360];

// Preferences the game reads: effects (sparks on), shared score, music on.
UInt8 EffectsPref();
UInt8 SharedScorePref();
UInt8 MusicOnPref();

// Screens, cursor, speed manager and resources (front end).
void MainScreen_Open();
void PauseScreen_Open();
void PauseScreen_Close();
Boolean AnyScreenOpen();
void ShowCursorGL();
void HideCursorGL();
void ResetSpeedManager();
void LoadResources_Game();

// High scores (front end): the two check entries the main screen compares
// with the table after a game.
void Scores_ClearUpdates();
void Scores_SetCheck(int entry, SInt32 score, SInt8 level);

// Shell.
extern UInt8 applQUIT;
void FlushKeyState();
