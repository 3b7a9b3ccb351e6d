#include "sound/SoundEffects.h"

#include <string>
#include <vector>

#include "foundation/Paths.h"
#include "platform/PlatformTime.h"
#include "sound/AudioPrefs.h"
#include "sound/OpenALTable.h"
#include "sound/SoundChannels.h"
#include "sound/SoundLoading.h"
#include "sound/SoundMixer.h"

unsigned mainALSOURCE[kMaxALSources];
SInt32 numALSOURCES;
unsigned curALSOURCE;
unsigned char alSourceRESERVED[kMaxALSources];
unsigned playedBuffer[kMaxALSources];
Rect sound2DRect;

// In the order they are loaded and listed; destroyed in the reverse order.
ALSound blipSND, dinkSND, bounceSND, podSND, flipSND, superSND, alarmSND, suckSND, toneSND, pshotSND;
ALSound shotSND[2], boomSND[2];
ALSound waveSND;
ALSound metalSND[2];
ALSound powerSND, shieldSND, spinSND, bumpSND, zoomSND, tapSND;

namespace {

bool ALFailed() { return openAL->alGetError() != AL_NO_ERROR; }

// Stops every pool source that last played `buffer` and takes the buffer off
// it: OpenAL neither refills nor deletes a buffer still attached to a source.
void DetachFromSources(unsigned buffer) {
  for (int i = 0; i < kMaxALSources; i++) {
    if (playedBuffer[i] != buffer) continue;
    QuietALSource(mainALSOURCE[i]);
    openAL->alSourcei(mainALSOURCE[i], AL_BUFFER, 0);
    playedBuffer[i] = 0;
  }
}

}  // namespace

// --- ALSound --------------------------------------------------------------

ALSound::ALSound() : buffers{0, 0} {}

// At exit OpenAL may already have no context; the buffers then go with it.
ALSound::~ALSound() {
  if (openAL->alcGetCurrentContext()) Dispose(-1);
  buffers[0] = buffers[1] = 0;
}

int ALSound::Setup(int format, void* data, unsigned size, unsigned frequency, unsigned index) {
  if (index > 1) return 0;
  ALuint& buffer = buffers[index];
  if (!buffer) {
    openAL->alGetError();
    openAL->alGenBuffers(1, &buffer);
    if (ALFailed()) {
      buffer = 0;
      return 0;
    }
  } else {
    DetachFromSources(buffer);
  }
  openAL->alGetError();
  openAL->alBufferData(buffer, format, data, ALsizei(size), ALsizei(frequency));
  if (ALFailed()) {
    openAL->alBufferData(buffer, format, nullptr, 0, ALsizei(frequency));
    openAL->alGetError();
    return 0;
  }
  return 1;
}

unsigned ALSound::Buffer(unsigned index) const { return buffers[index > 1 ? 0 : index]; }

void ALSound::Dispose(int index) {
  if (index < 0) {
    Dispose(0);
    Dispose(1);
    return;
  }
  if (index > 1 || !buffers[index]) return;
  DetachFromSources(buffers[index]);
  openAL->alDeleteBuffers(1, &buffers[index]);
  buffers[index] = 0;
}

// --- The source pool ------------------------------------------------------

unsigned InitALSource() {
  if (!myALContext) return 0;
  for (int attempt = 0; attempt < 10; attempt++) {
    ALuint source = 0;
    openAL->alGetError();
    openAL->alGenSources(1, &source);
    if (!ALFailed()) return source;
    Delay(1);
  }
  return 0;
}

SInt32 InitALSources() {
  if (numALSOURCES != 0) return numALSOURCES;
  for (int i = 0; i < kMaxALSources; i++) {
    mainALSOURCE[i] = InitALSource();
    alSourceRESERVED[i] = 0;
    if (!mainALSOURCE[i]) break;
    numALSOURCES++;
  }
  return numALSOURCES;
}

SInt32 NumALSources() { return numALSOURCES; }

void DisposeALSources() {
  for (SInt32 i = numALSOURCES - 1; i >= 0; i--) {
    openAL->alSourceStop(mainALSOURCE[i]);
    openAL->alSourcei(mainALSOURCE[i], AL_BUFFER, 0);
    openAL->alDeleteSources(1, &mainALSOURCE[i]);
    mainALSOURCE[i] = 0;
    playedBuffer[i] = 0;
  }
  numALSOURCES = 0;
}

void ReserveALSource(unsigned index, unsigned char reserved) {
  if (index < unsigned(numALSOURCES)) alSourceRESERVED[index] = reserved;
}

unsigned char ALSourceReserved(unsigned index) { return index < unsigned(numALSOURCES) ? alSourceRESERVED[index] : 0; }

unsigned FreeALSource() {
  unsigned count = unsigned(numALSOURCES);
  for (unsigned i = 1; i <= count; i++) {
    unsigned slot = (curALSOURCE + i) % count;
    if (alSourceRESERVED[slot]) continue;
    ALint state = 0;
    openAL->alGetSourcei(mainALSOURCE[slot], AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) {
      curALSOURCE = slot;
      return mainALSOURCE[slot];
    }
  }
  return 0;
}

unsigned NextALSource(unsigned char idleFirst) {
  if (idleFirst) {
    if (unsigned source = FreeALSource()) return source;
  }
  unsigned count = unsigned(numALSOURCES);
  for (unsigned i = 1; i <= count; i++) {
    unsigned slot = (curALSOURCE + i) % count;
    if (alSourceRESERVED[slot]) continue;
    curALSOURCE = slot;
    return mainALSOURCE[slot];
  }
  return 0;
}

void QuietALSource(unsigned source) { openAL->alSourceStop(source); }

void QuietAllALSources() {
  for (SInt32 i = 0; i < numALSOURCES; i++) openAL->alSourceStop(mainALSOURCE[i]);
}

// --- Placing and playing --------------------------------------------------

void SetupSound2DRect(Rect* rect) { sound2DRect = *rect; }

// Both axes are scaled by the half width: across a 640 by 480 rectangle x
// runs from -1 to 1 and y from -0.75 to 0.75. A rectangle of no width puts
// every sound in the middle.
void PlaySound2D(unsigned buffer, unsigned source, int h, int v, float volume, float pitch, unsigned char loop) {
  if (!audioPREFS.soundOn || !source) return;
  float gain = float(audioPREFS.soundVolume) * volume / 255.0f;
  const Rect& r = sound2DRect;
  int halfW = int((r.right - r.left) / 2.0);
  int halfH = int((r.bottom - r.top) / 2.0);
  float halfWf = float(r.right - r.left) / 2.0f;
  ALfloat position[3] = {0.0f, 0.0f, 0.0f};
  if (halfWf != 0.0f) {
    position[0] = float(h - halfW) / halfWf;
    position[1] = float(v - halfH) / halfWf;
  }
  static const ALfloat still[3] = {0.0f, 0.0f, 0.0f};

  openAL->alSourceStop(source);
  openAL->alSourcei(source, AL_BUFFER, ALint(buffer));
  for (int i = 0; i < kMaxALSources; i++)
    if (mainALSOURCE[i] == source) playedBuffer[i] = buffer;
  openAL->alSourcef(source, AL_PITCH, pitch);
  openAL->alSourcef(source, AL_GAIN, gain);
  openAL->alSourcefv(source, AL_POSITION, position);
  openAL->alSourcefv(source, AL_VELOCITY, still);
  openAL->alSourcei(source, AL_LOOPING, loop);
  openAL->alSourcePlay(source);
}

void PlaySound2D(unsigned buffer, unsigned source, Point* where, float volume, float pitch, unsigned char loop) {
  PlaySound2D(buffer, source, where->h, where->v, volume, pitch, loop);
}

void PlaySound2D(unsigned buffer, unsigned source, Rect* r, float volume, float pitch, unsigned char loop) {
  PlaySound2D(buffer, source, r->left + (r->right - r->left) / 2, r->top + (r->bottom - r->top) / 2, volume, pitch,
              loop);
}

void PlaySound(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop) {
  if (sound) PlaySound2D(sound->Buffer(0), source, r, volume, pitch, loop);
}

// --- The game's calls -----------------------------------------------------

std::string SoundEffectPath(const char* name) {
  return GetResourcesPath() + PathStr() + "Audio" + PathStr() + name + ".ogg";
}

std::vector<std::string> SoundEffectPaths() {
  static const char* const kNames[] = {"Alarm", "Blip",   "Boom0",  "Boom1", "Bounce", "Bump",       "Dink",  "Engine",
                                       "Flip",  "Metal0", "Metal1", "Pod",   "Power",  "Shield",     "Shot0", "Shot1",
                                       "Shot2", "Spin",   "Suck",   "Super", "Tap",    "Intro_Mono", "Tone"};
  std::vector<std::string> paths;
  for (const char* name : kNames) paths.push_back(SoundEffectPath(name));
  return paths;
}

OSErr LoadSound_Game(ALSound* sound, char const* name) {
  std::string path = SoundEffectPath(name);
  QKSndCommand command;
  OSErr err = LoadSoundFile(&command, path.c_str());
  if (err != 0) return err;
  SetupALSound(sound, &command, 0, nullptr);
  DisposeSound(&command);
  return 0;
}

void PlaySound_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop) {
  if (!sound) return;
  PlaySound2D(sound->Buffer(0), source, r ? r : &sound2DRect, volume, pitch, loop);
}

void PlaySound_Stereo_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop) {
  PlaySound_Game(sound, source, r, volume, pitch, loop);
}

unsigned NextChan_Game() { return NextALSource(true); }

unsigned FreeChan_Game() { return FreeALSource(); }

void SetChanVolume_Game(unsigned source, unsigned char volume) {
  openAL->alSourcef(source, AL_GAIN, float(volume) / 255.0f);
}

void QuietChannel_Game(unsigned source) { openAL->alSourceStop(source); }

void PauseChannel_Game(unsigned source, unsigned char mode) {
  if (mode == 0)
    openAL->alSourcePlay(source);
  else if (mode == 1)
    openAL->alSourcePause(source);
}

Boolean IsSoundLoaded(ALSound* sound) { return sound->buffers[0] != 0 || sound->buffers[1] != 0; }

Boolean ChannelIsPlayingSound(unsigned source, ALSound* sound) {
  ALint buffer = 0;
  openAL->alGetSourcei(source, AL_BUFFER, &buffer);
  return buffer != 0 && (unsigned(buffer) == sound->buffers[0] || unsigned(buffer) == sound->buffers[1]);
}

void DisposeSound_Game(ALSound* sound) {
  if (sound) sound->Dispose(-1);
}

ALSound* SoundElement(ALSound* sounds, int index) { return sounds + index; }

// Only the software mixer's channels are quieted here (nothing while it is
// stopped): the effects' OpenAL sources are left alone.
void QuietAllChans() { QuietChannelsPlaying(nullptr); }
