// The software mixer: up to eight mixer channels, each playing one loaded
// sound at a pitch and a left/right volume, summed in software into the two
// buffers of a double-buffered sound channel. The game plays its effects
// through OpenAL and never starts the mixer; while it is stopped its entry
// points (QuietAllChans, DisposeSound, the sound's destructor) do nothing.
//
// Double-buffered playback is emulated over sound commands: a bufferCmd plays
// the current buffer and the callBackCmd behind it swaps in the other one and
// has the mixing routine refill the buffer just handed over.
#pragma once

#include "foundation/LinkedList.h"
#include "sound/SoundChannels.h"
#include "sound/SoundHeader.h"

enum : int { kMaxMixerChannels = 8, kMixHistoryBuffers = 16, kSilenceBytes = 8192 };

class MixerChannel {
 public:
  QKSndCommand* sound = nullptr;
  Ptr position = nullptr, sampleStart = nullptr, sampleEnd = nullptr, loopStart = nullptr, loopEnd = nullptr;
  UInt8 repeat = 0;
  UInt8 stereo = 0;
  UInt8 loopEnabled = 0;
  UInt8 newSound = 0;
  UInt8 paused = 0;
  UInt8 sampleSize = 0;
  SInt32 step = 0;                         // source advance per output value, in units of s_errorSize per sample
  SInt32 accumulator = 0;                  // the fraction of a source sample
  SInt16 leftVolume = 0, rightVolume = 0;  // 256 = unity
  SInt16 amplitude = 0;                    // 0..256
  SInt32 rateRatio = 0;
  UInt8 fadeStep = 0;      // amplitude lost per mixed buffer
  SInt32 lastOut[2] = {};  // last mixed value per side, for the click filter
  SInt32 history[4] = {};  // interpolation: value and increment, per side

  QKSndCommand* CurrentSound() const { return sound; }
  void Start(QKSndCommand* command) { sound = command; }
  void Stop();
  void Setup(QKSndCommand* command, UInt32 rate, SInt16 left, SInt16 right, unsigned char note);
  void Realign(QKSndCommand* command);
  void Reset();
};

// The platform's double-buffer records.
struct SndDoubleBuffer {
  SInt32 dbNumFrames;
  SInt32 dbFlags;
  SInt32 dbUserInfo[2];
  unsigned char dbSoundData[4];
};
enum : SInt32 { dbBufferReady = 1, dbLastBuffer = 4 };
enum : int { kDoubleBufferDataOffset = 16 };

typedef void (*SndDoubleBackProcPtr)(QKSndChannel* channel, SndDoubleBuffer* buffer);
struct SndDoubleBufferHeader {
  SInt16 dbhNumChannels;
  SInt16 dbhSampleSize;
  SInt16 dbhCompressionID;
  SInt16 dbhPacketSize;
  UInt32 dbhSampleRate;  // 16.16 hertz
  SndDoubleBuffer* dbhBufferPtr[2];
  SndDoubleBackProcPtr dbhDoubleBack;
};

struct EchoInfo {
  SInt32 delay[2];  // in 44.1 kHz samples
  char level[2];    // percent
  SInt32 sampleDelay[2];
  SInt32 sampleLevel[2];  // 0..256
};

extern LinkedItemListTemplate<MixerChannel> s_channelLIST;
extern MixerChannel* mixerCHAN[kMaxMixerChannels];
extern UInt8 mixerChanRSRV[kMaxMixerChannels];
extern SInt16 _nextChan;
extern MixerChannel* sndCHAN[kMaxMixerChannels];
extern QKSndChannel* soundMixerCHAN;
extern SndDoubleBufferHeader s_mixerHEAD;
extern SndDoubleBuffer* s_doubleBUFF[2];
extern SInt32* s_largeDATA;
extern SInt32* s_tempDATA;
extern SInt32 s_bufferSize;
extern SInt32 speedRatio;
extern SInt32 s_errorSize;
extern SInt32 errorSize;
extern EchoInfo s_echoINFO;
extern UInt8 soundECHO;
extern UInt8 clickFilter;
extern Boolean s_mixerInited;
extern SInt32 oldSampleRate;  // the output device's own rate, in hertz; 0 when unknown

void InitSoundMixer();
void DisposeSoundMixer_Sound();
OSErr InitSoundChans();
void DisposeSoundChans();
// The number of mixer channels the settings ask for, within the mixer's slots.
SInt16 MixerChannelCount();

MixerChannel* NextChan();
MixerChannel* FreeChan();
Boolean ChannelBusy(MixerChannel* channel);
void PauseChannel(MixerChannel* channel, unsigned char paused);
void SetChanVolume(MixerChannel* channel, SInt16 left, SInt16 right);
void SetChanAmplitude(MixerChannel* channel, SInt16 amplitude);
void QuietChannel(MixerChannel* channel);
// Quiets every mixer channel playing `command` (all of them for null).
void QuietChannelsPlaying(QKSndCommand* command);

void PlaySound(QKSndCommand* command, MixerChannel* channel, unsigned char note);
void PlaySoundRate(QKSndCommand* command, MixerChannel* channel, char rate);
void PlaySound_StereoLR(QKSndCommand* command, SInt16 left, SInt16 right, MixerChannel* channel);
void NewSoundCommand(SoundCommand* command, SInt32 size, SInt32 make);
SInt32 GetNotePitch(SInt16 note);
void SoundEchoParams(SInt32 delay1, char level1, SInt32 delay2, char level2);
void InitSoundEchos();

void SetOutputRate();
void RestoreOutputRate();
void InitSoundMusic();
void DisposeSoundMusic();
void SetSoundMixerVolume(SInt16 volume);
void SetMusicMixerVolume(SInt16 volume);

// The mixing routines, one for each mixer type.
void SoundMixer8_Mono(QKSndChannel* channel, SndDoubleBuffer* buffer);
void SoundMixer8_Stereo(QKSndChannel* channel, SndDoubleBuffer* buffer);
void SoundMixer16_Mono(QKSndChannel* channel, SndDoubleBuffer* buffer);
void SoundMixer16_Stereo(QKSndChannel* channel, SndDoubleBuffer* buffer);

OSErr CarbonSndPlayDoubleBuffer(QKSndChannel* channel, SndDoubleBufferHeader* header);
void CarbonSndPlayDoubleBufferCallBackProc(QKSndChannel* channel, SoundCommand* command);
void CarbonSndPlayDoubleBufferCleanUpProc(QKSndChannel* channel, SoundCommand* command);
void InsertSndDoCommand(QKSndChannel* channel, const SoundCommand* command);
void CleanUpChannelMemory();
OSErr MixerDoImmediate(QKSndChannel* channel, const SoundCommand* command);
void QKBlockMove(void const* source, void* destination, SInt32 count);

// Forgets the mixer's state without touching its memory (for tests that
// start the sound code afresh).
void ForgetSoundMixer();
