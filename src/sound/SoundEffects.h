// Sound effects: each is an ALSound, an OpenAL buffer filled at load time,
// played on a pool of up to 16 OpenAL sources shared by the whole program and
// placed left to right and top to bottom by the rectangle of whatever makes
// it, relative to the 2D sound rectangle.
#pragma once

#include <string>
#include <vector>

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
  // The buffer of a slot (an index past 1 reads slot 0).
  unsigned Buffer(unsigned index) const;
  // A negative index disposes both slots.
  void Dispose(int index);
};

enum : int { kMaxALSources = 16 };

// The pool: source names, how many there are, the slot last handed out,
// which slots are kept out of rotation, and the buffer each slot last played.
extern unsigned mainALSOURCE[kMaxALSources];
extern SInt32 numALSOURCES;
extern unsigned curALSOURCE;
extern unsigned char alSourceRESERVED[kMaxALSources];
extern unsigned playedBuffer[kMaxALSources];
// The rectangle sounds are placed in: its middle is straight ahead.
extern Rect sound2DRect;

// A new OpenAL source (a few tries, a tick apart), or 0 without a context.
unsigned InitALSource();
// Fills the pool with up to 16 sources (once: later calls only count them);
// the number made.
SInt32 InitALSources();
SInt32 NumALSources();
// Stops and deletes every source of the pool.
void DisposeALSources();
// Keeps slot `index` out of (or back in) rotation; slots past the pool are
// ignored and read as not reserved.
void ReserveALSource(unsigned index, unsigned char reserved);
unsigned char ALSourceReserved(unsigned index);
// The next unreserved source after the last one handed out that is not
// playing, or 0 when every one is busy.
unsigned FreeALSource();
// The next unreserved source in rotation, playing or not (with `idleFirst`,
// an idle one when there is one); 0 when every slot is reserved.
unsigned NextALSource(unsigned char idleFirst);
void QuietALSource(unsigned source);
void QuietAllALSources();

void SetupSound2DRect(Rect* rect);
// Plays `buffer` on `source` (which is stopped first) placed at the point
// (h, v), at `volume` (0 to 1) times the effects volume and at `pitch`,
// looping when asked; nothing with effects off or no source. The Point and
// Rect forms place it at the point or the rectangle's middle.
void PlaySound2D(unsigned buffer, unsigned source, int h, int v, float volume, float pitch, unsigned char loop);
void PlaySound2D(unsigned buffer, unsigned source, Point* where, float volume, float pitch, unsigned char loop);
void PlaySound2D(unsigned buffer, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
// PlaySound2D of the sound's buffer; nothing for a null sound.
void PlaySound(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);

// The game's calls. Sources are OpenAL source names from the pool, 0 = none.
// Loads Resources/Audio/<name>.ogg into the sound; the file's error if it
// cannot be read.
OSErr LoadSound_Game(ALSound* sound, char const* name);
// The file LoadSound_Game reads for `name`, and those of every effect the
// game loads (for CheckSoundFilesAhead).
std::string SoundEffectPath(const char* name);
std::vector<std::string> SoundEffectPaths();
// Plays the sound placed by `r` (null: the middle of SetupSound2DRect's);
// the stereo form is the same.
void PlaySound_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
void PlaySound_Stereo_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop);
// NextALSource preferring idle sources, and FreeALSource.
unsigned NextChan_Game();
unsigned FreeChan_Game();
// Sets the source's gain to volume / 255 (the effects volume is not applied).
void SetChanVolume_Game(unsigned source, unsigned char volume);
void QuietChannel_Game(unsigned source);
// Mode 0 resumes (or restarts) the source, 1 pauses it; others do nothing.
void PauseChannel_Game(unsigned source, unsigned char mode);
Boolean IsSoundLoaded(ALSound* sound);
// Whether the source holds one of the sound's buffers, playing or not.
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
