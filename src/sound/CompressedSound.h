// Streamed music. An Ogg Vorbis file stays open while it plays; each time
// the channels are serviced the next blocks of up to 16 KB are decoded into a
// ring of sixteen blocks and queued as bufferCmd commands on a sound channel,
// which hands them to OpenAL.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/LinkedList.h"
#include "sound/SoundChannels.h"

// One open Ogg Vorbis stream.
class CompressedSound {
 public:
  FILE* file;
  OggVorbis_File state;
  vorbis_info* info;
  SInt32 format;     // 0 closed, 2 open
  SInt64 fileBytes;  // the size of the file open

  CompressedSound();
  ~CompressedSound();
  CompressedSound(const CompressedSound&) = delete;
  CompressedSound& operator=(const CompressedSound&) = delete;

  // Opens a file for decoding once a child process has decoded it whole
  // with this same code, rewound as the player rewinds, and lived: a
  // damaged file that makes the decoder fault is refused, never decoded
  // here. What the headers say is checked too, but a fault deep inside the
  // decoder (a division by zero, a copy of negative size) cannot be foreseen
  // from them nor caught once it happens in this process; in a child it
  // costs nothing but the check. Each file is checked once while the
  // program runs (bench_sound's FirstLoadOfMusic measures the cost). Also
  // refused: what the engine cannot play (no channels or more than two; a
  // rate of 0 or of 65,536 Hz or more, which its 16.16 rates cannot hold).
  Boolean Load(const char* path);
  // The same open without the check, for the check itself.
  Boolean Open(const char* path);
  void Dispose();
  SInt16 Channels() const;
  UInt32 Rate() const;  // 16.16 hertz
  SInt32 Format() const { return format; }
  SInt32 GetBufferSize() const;
  // Bytes of 16-bit samples the stream claims, held to what a file of its
  // size can hold (kMaxSampleBytesPerFileByte each): a damaged last page
  // may claim any length.
  SInt32 Length();
  SInt32 Position();  // bytes of 16-bit samples decoded so far
  // Rewinds with the decoder's lapped seek, so that a loop joins without a
  // click (the check exercises it at the end and at the start).
  void Reset();
  // Rewinds without lapping, from anywhere: a stopped music starts again
  // from its first sample.
  void Rewind();
  // Decodes up to `space` bytes into destination; 0 at the end of the stream.
  SInt32 GetNextBuffer(void* destination, SInt32 space);
};

enum : int { kMusicRingBlocks = 16, kMusicBlockBytes = 16384, kMusicQueueLength = 14 };
// No Vorbis stream comes near this many bytes of samples per byte of file:
// even silence takes a byte or two for each 1,024 frames.
enum : SInt64 { kMaxSampleBytesPerFileByte = 1024 };
// How long the check may decode one file.
constexpr double kDecodeCheckSeconds = 20.0;

// Plays CompressedSounds on a sound channel.
class CompressedSoundChannel {
 public:
  QKSndChannel* channel;
  SoundCommand ringCommands[kMusicRingBlocks];
  SInt32 ringIndex;
  UInt8 blockReady;
  Ptr ring;
  SInt16 headerLength;
  float duration;
  SInt32 state;  // 0 stopped, 1 playing, 2 paused
  UInt8 loop;
  SInt32 clock;
  SInt16 volume;
  SInt16 fadeStartVolume;
  SInt16 fadeTargetVolume;
  SInt16 realVolume;
  double fadeStartTime;
  double fadeEndTime;
  CompressedSound* sound;
  CompressedSound* nextSound;

  CompressedSoundChannel();
  // Leaves the list of serviced channels and releases the engine channel and
  // the ring, so a channel that goes away is never serviced again.
  ~CompressedSoundChannel();
  CompressedSoundChannel(const CompressedSoundChannel&) = delete;
  CompressedSoundChannel& operator=(const CompressedSoundChannel&) = delete;

  Boolean Init();
  void Dispose() {}
  void Play(CompressedSound* sound, unsigned char now);
  void Stop();
  void Pause();
  void UnPause();
  void Idle();
  void FX();
  void SetVolume(SInt16 volume, float seconds);
  void Loop(unsigned char flag) { loop = flag; }
  UInt8 Looping() const { return loop; }
  Boolean Playing() const { return state == 1; }
  Boolean Paused() const { return state == 2; }
  Boolean Stopped() const { return state == 0; }
  SInt32 State() const { return state; }
  CompressedSound* Sound() const { return sound; }
  SInt16 GetVolume() const { return volume; }
  void SetRealVolume(SInt16 v) { realVolume = v; }
  SInt16 RealVolume() const { return realVolume; }
  double GetTime() const;
  float SetDuration(float seconds);
  float GetDuration() const { return duration; }

 private:
  void SendVolume(SInt32 scaled);
};

class Music : public CompressedSound {
 public:
  CompressedSoundChannel channel;
  UInt8 loop;
  std::string fileName;
  UInt8 active;

  Music();
  ~Music();
  Boolean Playing() const { return channel.Playing(); }
  Boolean IsActive() const { return active; }
  static const SInt16 MaxVolume = 256;
};

// The game's one music, reloaded for each screen and for the waves.
extern Music gameMUSIC;

extern LinkedItemListTemplate<Music>* musicLIST;
extern LinkedItemListTemplate<CompressedSoundChannel>* compressedSoundChannels;
extern UInt8* musicWasPlaying;
extern UInt8 activeMusicCount;

// Begins the check CompressedSound::Load makes of each file, in child
// processes that run while the caller goes on; the first load of a file
// then waits only for what is left of its check. For files that are loaded
// later, such as the music of each screen.
void CheckSoundFilesAhead(const std::vector<std::string>& paths);
// Reaps the children of checks begun ahead that have ended, keeping their
// verdicts, so that none stays a zombie until its file is loaded. Each
// servicing of the channels does it.
void CollectSoundChecksAhead();
// What runs CompressedSound::Load's check of a file: check(path) away from
// the caller, true only when it returned true within `seconds` (a fault in
// it refuses the file and nothing more). The default forks a child for each
// file (PlatformRunIsolated); the sound fuzzer installs one that keeps its
// child. Answers the runner installed before (null for the default); null
// puts the default back. Checks begun ahead use the default.
using SoundCheckRunner = bool (*)(bool (*check)(const char* path), const char* path, double seconds);
SoundCheckRunner SetSoundCheckRunnerForTesting(SoundCheckRunner runner);
// Forgets every verdict (ends the checks begun ahead), so that each file is
// checked again on its next load.
void ForgetSoundChecks();
// The music file `name` (a path below the Resources folder, without
// ".ogg"), as LoadMusic finds it.
std::string MusicPath(const char* name);

OSErr LoadMusicFile(Music* music, const char* path);
// The music file `name` (a path below the Resources folder, without ".ogg").
SInt16 LoadMusic(Music* music, const char* name);
void PlayMusic(Music* music, unsigned char loop);
void StopMusic(Music* music);
// Sets the music's own loop flag, which PlayMusic follows.
void SetMusicLoop(Music* music, unsigned char loop);
void PauseMusic(Music* music);
void UnPauseMusic(Music* music);
void DisposeMusic(Music* music);
void SetMusicVolume(Music* music, SInt16 volume);
void UpdateMusicVolume();
void AddToMusicList(Music* music);
void RemoveFromMusicList(Music* music);
void StopActiveMusic();
void StartActiveMusic();
void CheckActiveMusic();
// What the last StopActiveMusic recorded for the music at `index` of the
// list: 1 when it was playing; 0 beyond the record or without one.
UInt8 MusicWasPlaying(UInt32 index);

// Services every streaming channel. The program reaches it through
// ProcessCompressedSoundChannels once the sound services are installed.
void ProcessCompressedSoundChannels_Sound();
