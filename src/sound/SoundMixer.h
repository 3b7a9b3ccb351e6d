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
  // Lets go of the sound (one play fewer on it); with the click filter on,
  // the next mix fades its last value out.
  void Stop();
  // Readies the channel to play the command's sound from its start at left
  // and right volumes (256 = unity), stepping at the sound's rate against
  // the 16.16 `rate`, or for rate 0 at `note`; loops off, amplitude full.
  void Setup(QKSndCommand* command, UInt32 rate, SInt16 left, SInt16 right, unsigned char note);
  // Sets the sample and loop bounds from the command's header (and, for a
  // mono extended header, the command's own loop points), held inside the
  // samples.
  void Realign(QKSndCommand* command);
  // Clears the interpolation history.
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

// Starts the mixer from the sound settings (rate no higher than the
// device's, 8 or 16 bits, mono or stereo): its channels, its sound channel and
// double buffers, and the first two buffers mixed and playing. A running
// mixer is stopped first; with effects off it stays stopped.
void InitSoundMixer();
// Stops every channel and frees the mixer's channel and buffers.
void DisposeSoundMixer_Sound();
// Makes the mixer channels the settings ask for (once); -1 without memory.
OSErr InitSoundChans();
void DisposeSoundChans();
// The number of mixer channels the settings ask for, within the mixer's slots.
SInt16 MixerChannelCount();

// An idle channel (the last one first), else the next unreserved one in
// rotation, whose sound is cut off when played; null when none can be taken.
MixerChannel* NextChan();
// The last idle channel, or null.
MixerChannel* FreeChan();
// Whether the channel has a sound (false for null).
Boolean ChannelBusy(MixerChannel* channel);
// The channel calls below do nothing for a null channel.
void PauseChannel(MixerChannel* channel, unsigned char paused);
// Left and right volumes, 256 = unity.
void SetChanVolume(MixerChannel* channel, SInt16 left, SInt16 right);
// 0 to 256 (held there).
void SetChanAmplitude(MixerChannel* channel, SInt16 amplitude);
void QuietChannel(MixerChannel* channel);
// Quiets every mixer channel playing `command` (all of them for null).
void QuietChannelsPlaying(QKSndCommand* command);

// Plays the sound on the channel at unity volume, at `note` (60: its own
// rate); nothing with effects off or a sound without samples.
void PlaySound(QKSndCommand* command, MixerChannel* channel, unsigned char note);
// PlaySound at note 72 - 12 x rate: 0 an octave up, 1 as recorded, 2 an
// octave down.
void PlaySoundRate(QKSndCommand* command, MixerChannel* channel, char rate);
// Plays the sound at its own rate at left and right volumes (256 = unity),
// whatever the effects setting.
void PlaySound_StereoLR(QKSndCommand* command, SInt16 left, SInt16 right, MixerChannel* channel);
// With `make`, gives a command without samples a zeroed block of `size`
// bytes as a bufferCmd.
void NewSoundCommand(SoundCommand* command, SInt32 size, SInt32 make);
// The channel step that plays a sound recorded at the output rate at `note`
// (60 = as recorded, 12 notes an octave); 0 before the mixer has a rate.
SInt32 GetNotePitch(SInt16 note);
// Sets the two echoes: delay in 44.1 kHz samples and level in percent.
void SoundEchoParams(SInt32 delay1, char level1, SInt32 delay2, char level2);
// Turns the echo settings into the mixer's rate and levels (a running mixer
// only).
void InitSoundEchos();

// Notes the output device's rate in oldSampleRate (the device keeps it).
void SetOutputRate();
// Nothing to do here: the device's rate is never changed, music and the
// mixer's volumes do not go through the mixer.
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

// Starts double-buffered playback on the channel: the header's first buffer
// plays, and each time one is played the callback swaps in the other (when
// ready) and has the header's routine refill the one played; silence when
// none is ready. 0, or -1 for no channel, -2 for no header, -108 without
// memory.
OSErr CarbonSndPlayDoubleBuffer(QKSndChannel* channel, SndDoubleBufferHeader* header);
// The callBackCmd behind each buffer; a buffer marked dbLastBuffer ends the
// playback through the clean-up callback, which puts the channel's own
// callback back.
void CarbonSndPlayDoubleBufferCallBackProc(QKSndChannel* channel, SoundCommand* command);
void CarbonSndPlayDoubleBufferCleanUpProc(QKSndChannel* channel, SoundCommand* command);
// Puts a command at the front of the channel's queue (nothing when full).
void InsertSndDoCommand(QKSndChannel* channel, const SoundCommand* command);
// Frees the records of double-buffered playbacks that have ended.
void CleanUpChannelMemory();
// QKSndDoImmediate, except that quiet and flush are ignored while the
// channel plays double buffers (they would drop the buffer commands).
OSErr MixerDoImmediate(QKSndChannel* channel, const SoundCommand* command);
// Copies count bytes (the ranges may overlap); nothing for 0 or less.
void QKBlockMove(void const* source, void* destination, SInt32 count);

// Forgets the mixer's state without touching its memory (for tests that
// start the sound code afresh).
void ForgetSoundMixer();
