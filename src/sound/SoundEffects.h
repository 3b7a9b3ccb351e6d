// Sound effects: each is an ALSound, an OpenAL buffer filled at load time,
// played on a pool of up to 16 OpenAL sources shared by the whole program and
// placed left to right and top to bottom by the rectangle of whatever makes
// it, relative to the 2D sound rectangle.
#pragma once

#include "platform/PlatformTypes.h"

class ALSound {
 public:
  unsigned buffers[2];  // OpenAL buffer names; 0 = none. Every play uses 0.

  ALSound();
  ~ALSound();
  ALSound(const ALSound&) = delete;
  ALSound& operator=(const ALSound&) = delete;

  // 1 on success, 0 on failure; a filled slot has its samples replaced.
  int Setup(int format, void* data, unsigned size, unsigned frequency, unsigned index);
  unsigned Buffer(unsigned index) const;
  // A negative index disposes both slots.
  void Dispose(int index);
};

enum : int { kMaxALSources = 16 };

extern unsigned mainALSOURCE[kMaxALSources];
extern SInt32 numALSOURCES;
extern unsigned curALSOURCE;
extern unsigned char alSourceRESERVED[kMaxALSources];
extern unsigned playedBuffer[kMaxALSources];
extern Rect sound2DRect;

unsigned InitALSource();
SInt32 InitALSources();
SInt32 NumALSources();
void DisposeALSources();
void ReserveALSource(unsigned index, unsigned char reserved);
unsigned char ALSourceReserved(unsigned index);
unsigned FreeALSource();
unsigned NextALSource(unsigned char idleFirst);
void QuietALSource(unsigned source);
void QuietAllALSources();

void SetupSound2DRect(Rect* rect);
void PlaySound2D(unsigned buffer, unsigned source, int h, int v, float volume, float pitch, unsigned char loop);
void PlaySound2D(unsigned buffer, unsigned source, Point* where, float volume, float pitch, unsigned char loop);
void PlaySound2D(unsigned buffer, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
void PlaySound(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);

// The game's calls. Sources are OpenAL source names from the pool, 0 = none.
OSErr LoadSound_Game(ALSound* sound, char const* name);
void PlaySound_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
void PlaySound_Stereo_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
unsigned NextChan_Game();
unsigned FreeChan_Game();
void SetChanVolume_Game(unsigned source, unsigned char volume);
void QuietChannel_Game(unsigned source);
void PauseChannel_Game(unsigned source, unsigned char mode);
Boolean IsSoundLoaded(ALSound* sound);
Boolean ChannelIsPlayingSound(unsigned source, ALSound* sound);
void DisposeSound_Game(ALSound* sound);
void QuietAllChans();

// Element `index` of an array of sounds, for callers that do not know the
// size of an ALSound.
ALSound* SoundElement(ALSound* sounds, int index);

// The game's sound effects.
extern ALSound blipSND, dinkSND, bounceSND, podSND, flipSND, superSND, alarmSND, suckSND, toneSND, pshotSND;
extern ALSound shotSND[2], boomSND[2];
extern ALSound waveSND;
extern ALSound metalSND[2];
extern ALSound powerSND, shieldSND, spinSND, bumpSND, zoomSND, tapSND;
