// Sound channels in the manner of the platform's classic ones: a channel
// takes sound commands into a queue and runs them whenever the audio is
// idled; the sample buffers that bufferCmd commands hand it are played on
// one OpenAL source fed through eight OpenAL buffers used in rotation.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include "platform/PlatformTypes.h"
#include "sound/SoundHeader.h"

enum : SInt16 { sampledSynth = 5 };
enum : OSErr { notEnoughHardwareErr = -201, queueFull = -203, badChannel = -205 };
enum : int { kChannelQueueSlots = 128, kChannelBuffers = 8 };
// The gain of everything heard (music, effects, the movie), set on the
// listener once the device opens: about 2.5 dB of headroom, so that both
// players firing through explosions over the music at full volume stay
// short of full scale. Every sound keeps its level relative to the others.
constexpr float kOutputGain = 0.75f;

// A channel's OpenAL side.
struct ALChannelState {
  ALuint source;
  SInt32 rate;
  float gain;
  SInt32 offset;  // byte position inside the samples of the bufferCmd in progress
  SInt32 primed;  // how many of the eight buffers have been handed to the source
  ALuint buffers[kChannelBuffers];
  // Buffers taken back from a source that ran dry, to be filled again before
  // any that was never used.
  SInt32 spareCount;
  ALuint spare[kChannelBuffers];
};

struct QKSndChannel;
typedef void (*SndCallBackProcPtr)(QKSndChannel* channel, SoundCommand* command);

struct QKSndChannel {
  QKSndChannel* nextChan;
  ALChannelState* al;
  SndCallBackProcPtr callBack;
  intptr_t userInfo;
  SInt32 wait;  // paused: no command runs
  SoundCommand cmdInProgress;
  SInt16 flags;  // set while QKSndDoImmediate runs a command
  SInt16 qLength;
  SInt16 qHead;  // -1 when the queue is empty
  SInt16 qTail;
  SoundCommand queue[kChannelQueueSlots];
};

struct SCStatus {
  UInt32 scStartTime;
  UInt32 scEndTime;
  UInt32 scCurrentTime;
  Boolean scChannelBusy;
  Boolean scChannelDisposed;
  Boolean scChannelPaused;
  Boolean scUnused;
  UInt32 scChannelAttributes;
  SInt32 scCPULoad;
};

extern Boolean soundInited;
extern ALCdevice* myALDevice;
extern ALCcontext* myALContext;
extern QKSndChannel* firstChan;

// Opens the default device and makes its context current, once, and places
// the listener.
void InitAudio();
// Closes what InitAudio opened (context, then device); at shut-down.
void DisposeAudio();
OSErr QKSndNewChannel(QKSndChannel** channel, SInt16 synth, SInt32 init, SndCallBackProcPtr callback);
OSErr QKSndDoCommand(QKSndChannel* channel, const SoundCommand* command, unsigned char noWait);
OSErr QKSndDoImmediate(QKSndChannel* channel, const SoundCommand* command);
void QKIdleSoundChannel(QKSndChannel* channel);
Boolean QueueBuffer(QKSndChannel* channel, ALuint buffer);
OSErr QKSndDisposeChannel(QKSndChannel* channel, unsigned char quietNow);
OSErr QKSndChannelStatus(QKSndChannel* channel, SInt16 length, SCStatus* status);
OSErr QKSndGetInfo(QKSndChannel* channel, OSType selector, void* info);
OSErr QKGetCompressionInfo(SInt16 compressionID, OSType format, SInt16 numChannels, SInt16 sampleSize, void* info);
SndCallBackProcPtr QKNewSndCallBackUPP(SndCallBackProcPtr routine);

// The audio upkeep: idles every channel. The program reaches it through
// IdleAudio once the sound services are installed.
void IdleAudio_Sound();
