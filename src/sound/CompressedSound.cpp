#include "sound/CompressedSound.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Memory.h"
#include "foundation/Paths.h"
#include "platform/PlatformFiles.h"
#include "platform/PlatformSystem.h"
#include "platform/PlatformTime.h"
#include "sound/AudioPrefs.h"

LinkedItemListTemplate<Music>* musicLIST;
LinkedItemListTemplate<CompressedSoundChannel>* compressedSoundChannels;
UInt8* musicWasPlaying;
UInt8 activeMusicCount;

namespace {
// How many musics musicWasPlaying records: one listed later has no entry.
UInt32 musicWasPlayingCount;
}  // namespace

// --- CompressedSound ------------------------------------------------------

CompressedSound::CompressedSound() : file(nullptr), state{}, info(nullptr), format(0), fileBytes(0) {}

CompressedSound::~CompressedSound() { Dispose(); }

namespace {

// Decodes the file as the program may: an effect or a looping music, from
// the start to its first empty block (a hole in a damaged stream is one),
// then rewound with the lapped seek there, twice; asked again past an empty
// block; rewound without lapping from the middle (a stopped music), lapped
// from the middle and from the start (a queued one). A music plays to the
// stream's real end, which a damaged stream puts past the length it claims:
// the check goes as far (a stream without end runs the check out of time,
// and is refused). Runs in the check's child process.
bool DecodeAsThePlayerDoes(const char* path) {
  CompressedSound sound;
  // What the open refuses, the program refuses the same way.
  if (!sound.Open(path)) return true;
  std::vector<char> block(kMusicBlockBytes);
  const SInt64 most = SInt64(1) << 31, aFewBlocks = 4 * kMusicBlockBytes;
  auto decode = [&](SInt64 limit, int emptyBlocks) {
    SInt64 total = 0;
    for (int empty = 0; total < limit && empty < emptyBlocks;) {
      SInt32 n = sound.GetNextBuffer(block.data(), kMusicBlockBytes);
      empty = n > 0 ? 0 : empty + 1;
      total += std::max<SInt32>(n, 0);
    }
    return total;
  };
  SInt64 whole = decode(most, 1);
  sound.Reset();
  decode(most, 1);
  sound.Reset();
  decode(most, 2);
  sound.Rewind();
  decode(whole / 2, 1);
  sound.Reset();
  decode(aFewBlocks, 1);
  sound.Rewind();
  sound.Reset();
  decode(aFewBlocks, 1);
  return true;
}

bool DecodeInChild(void* data) { return DecodeAsThePlayerDoes(static_cast<const char*>(data)); }

bool RunCheckIsolated(bool (*check)(const char* path), const char* path, double seconds) {
  (void)check;  // always DecodeAsThePlayerDoes, which DecodeInChild calls
  return PlatformRunIsolated(DecodeInChild, const_cast<char*>(path), seconds);
}

SoundCheckRunner checkRunner = RunCheckIsolated;

// Files checked while the program runs, by path and size, and checks begun
// ahead whose verdict has not been asked for yet.
struct Checked {
  SInt64 size;
  bool survives;
};
std::map<std::string, Checked>& CheckedFiles() {
  static auto* checked = new std::map<std::string, Checked>();
  return *checked;
}
struct Pending {
  SInt64 size;
  IsolatedRun* run;
};
std::map<std::string, Pending>& PendingChecks() {
  static auto* pending = new std::map<std::string, Pending>();
  return *pending;
}

bool SizeOf(const char* path, SInt64* size) {
  FSCatalogInfo info{};
  if (PlatformGetCatalogInfo(FSRef{path}, true, &info) != noErr) return false;
  *size = info.dataLogicalSize;
  return true;
}

bool DecodingSurvives(const char* path) {
  SInt64 size = 0;
  if (!SizeOf(path, &size)) return true;  // the open fails on its own
  auto pending = PendingChecks().find(path);
  if (pending != PendingChecks().end()) {
    Pending begun = pending->second;
    PendingChecks().erase(pending);
    bool survives = PlatformFinishIsolated(begun.run, kDecodeCheckSeconds);
    if (begun.size == size) CheckedFiles()[path] = {size, survives};
  }
  auto found = CheckedFiles().find(path);
  if (found != CheckedFiles().end() && found->second.size == size) return found->second.survives;
  bool survives = checkRunner(DecodeAsThePlayerDoes, path, kDecodeCheckSeconds);
  CheckedFiles()[path] = {size, survives};
  return survives;
}

}  // namespace

void CheckSoundFilesAhead(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    SInt64 size = 0;
    if (!SizeOf(path.c_str(), &size) || PendingChecks().count(path)) continue;
    auto found = CheckedFiles().find(path);
    if (found != CheckedFiles().end() && found->second.size == size) continue;
    if (IsolatedRun* run = PlatformStartIsolated(DecodeInChild, const_cast<char*>(path.c_str())))
      PendingChecks()[path] = {size, run};
  }
}

SoundCheckRunner SetSoundCheckRunnerForTesting(SoundCheckRunner runner) {
  SoundCheckRunner previous = checkRunner == RunCheckIsolated ? nullptr : checkRunner;
  checkRunner = runner ? runner : RunCheckIsolated;
  return previous;
}

void CollectSoundChecksAhead() {
  for (auto& pending : PendingChecks()) PlatformIsolatedEnded(pending.second.run);
}

void ForgetSoundChecks() {
  for (auto& pending : PendingChecks()) PlatformFinishIsolated(pending.second.run, 0);
  PendingChecks().clear();
  CheckedFiles().clear();
}

Boolean CompressedSound::Load(const char* path) {
  Dispose();
  if (!path || !DecodingSurvives(path)) return false;
  return Open(path);
}

Boolean CompressedSound::Open(const char* path) {
  Dispose();
  // Never waits on a named pipe or a device in the file's place.
  file = OpenRegularFileForReading(path);
  if (!file) return false;
  FSCatalogInfo catalog{};
  fileBytes = PlatformGetCatalogInfo(FSRef{path}, true, &catalog) == noErr ? catalog.dataLogicalSize : 0;
  if (ov_test(file, &state, nullptr, 0) != 0) {
    // The decoder did not take the file over, so it is still ours to close.
    std::fclose(file);
    file = nullptr;
    return false;
  }
  if (ov_test_open(&state) != 0) {
    ov_clear(&state);
    file = nullptr;
    return false;
  }
  info = ov_info(&state, -1);
  format = 2;
  if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || info->rate >= 65536) {
    Dispose();
    return false;
  }
  return true;
}

// The decoder owns the file once opened and closes it in ov_clear.
void CompressedSound::Dispose() {
  if (format == 2) ov_clear(&state);
  file = nullptr;
  info = nullptr;
  format = 0;
  fileBytes = 0;
}

SInt16 CompressedSound::Channels() const { return format == 2 && info ? SInt16(info->channels) : 0; }

UInt32 CompressedSound::Rate() const { return format == 2 && info ? UInt32(info->rate) << 16 : 0; }

SInt32 CompressedSound::GetBufferSize() const { return format == 2 ? kMusicBlockBytes : 0; }

SInt32 CompressedSound::Length() {
  if (format != 2) return 0;
  ogg_int64_t frames = ov_pcm_total(&state, -1);
  if (frames <= 0) return 0;
  SInt64 most = std::min<SInt64>(0x7FFFFF00, std::max<SInt64>(fileBytes, 0) * kMaxSampleBytesPerFileByte);
  return SInt32(std::min<SInt64>(most, SInt64(std::min<ogg_int64_t>(frames, most)) * Channels() * 2));
}

SInt32 CompressedSound::Position() {
  if (format != 2) return 0;
  // A damaged page can claim any granule position: the byte count is held to
  // what 32 bits can say rather than wrapping negative.
  ogg_int64_t frames = ov_pcm_tell(&state);
  if (frames <= 0) return 0;
  return SInt32(std::min<SInt64>(0x7FFFFFFF, SInt64(std::min<ogg_int64_t>(frames, 0x7FFFFFFF)) * Channels() * 2));
}

// A stream without samples has nothing to rewind, and the decoder's lapping
// seek reads out of bounds on one.
void CompressedSound::Reset() {
  if (format == 2 && ov_pcm_total(&state, -1) > 0) ov_raw_seek_lap(&state, 0);
}

void CompressedSound::Rewind() {
  if (format == 2 && ov_pcm_total(&state, -1) > 0) ov_raw_seek(&state, 0);
}

// Reads in pieces of at most 1,024 bytes and never past `space`.
SInt32 CompressedSound::GetNextBuffer(void* destination, SInt32 space) {
  if (format != 2) return 0;
  auto* out = static_cast<char*>(destination);
  SInt32 decoded = 0;
  long last = 1;
  int section = 0;
  while (last > 0 && space - decoded >= 1) {
    int piece = int(std::min<SInt32>(1024, space - decoded));
    last = ov_read(&state, out + decoded, piece, 0, 2, 1, &section);
    if (last > 0) decoded += SInt32(last);
    if (space - decoded < 1024) break;
  }
  return decoded;
}

// --- CompressedSoundChannel -----------------------------------------------

namespace {
const SInt32 kBlockSize = SInt32(kExtendedHeaderLength) + SInt32(kMusicBlockBytes);
}

CompressedSoundChannel::CompressedSoundChannel()
    : channel(nullptr),
      ringCommands{},
      ringIndex(0),
      blockReady(0),
      ring(nullptr),
      headerLength(0),
      duration(0),
      state(0),
      loop(0),
      clock(0),
      volume(0),
      fadeStartVolume(0),
      fadeTargetVolume(0),
      realVolume(255),
      fadeStartTime(0),
      fadeEndTime(0),
      sound(nullptr),
      nextSound(nullptr) {}

CompressedSoundChannel::~CompressedSoundChannel() {
  if (compressedSoundChannels) compressedSoundChannels->RemoveItem(this);
  if (channel) QKSndDisposeChannel(channel, true);
  if (ring) QKDisposePtr(ring);
}

Boolean CompressedSoundChannel::Init() {
  if (channel) return true;
  if (QKSndNewChannel(&channel, sampledSynth, 0, nullptr) != 0) return true;
  channel->qLength = kMusicQueueLength;
  Handle scratch = QKNewHandleClear(100);
  if (!scratch) return true;
  SInt32 offset = 0;
  QKGetSoundHeaderOffset(scratch, &offset);
  QKSetupSndHeader(scratch, 2, 44100u << 16, 16, FOUR_CHAR('N', 'O', 'N', 'E'), 60, kMusicBlockBytes, &headerLength);
  headerLength = SInt16(headerLength - offset);
  ring = QKNewPtrClear(kMusicRingBlocks * kBlockSize);
  if (ring) {
    for (int i = 0; i < kMusicRingBlocks; i++) {
      Ptr block = ring + i * kBlockSize;
      ringCommands[i] = SoundCommand{bufferCmd, 0, reinterpret_cast<intptr_t>(block)};
      std::memcpy(block, *scratch + offset, size_t(headerLength));
    }
    ringIndex = 0;
    blockReady = 0;
    SoundCommand clockOn{clockComponentCmd, 1, 0};
    QKSndDoImmediate(channel, &clockOn);
    SoundCommand getClock{getClockComponentCmd, 0, reinterpret_cast<intptr_t>(&clock)};
    QKSndDoImmediate(channel, &getClock);
    if (!compressedSoundChannels) compressedSoundChannels = new LinkedItemListTemplate<CompressedSoundChannel>();
    if (!compressedSoundChannels->FindItem(this)) compressedSoundChannels->AddFirstItem(this);
  }
  QKDisposeHandle(scratch);
  return true;
}

void CompressedSoundChannel::Play(CompressedSound* s, unsigned char now) {
  if (!channel) return;
  if (now && s && Playing()) Stop();
  if (s) {
    if (now || !sound)
      sound = s;
    else
      nextSound = s;
  }
  if (!sound || sound->Format() != 2) return;
  state = 1;
  SoundCommand resume{resumeCmd, 0, 0};
  QKSndDoImmediate(channel, &resume);
  Idle();
}

// A paused engine channel runs no command, so it is resumed first: the
// quietCmd must reach the source, or what it still holds would be heard when
// the next music starts.
void CompressedSoundChannel::Stop() {
  if (!channel || !sound) return;
  SoundCommand resume{resumeCmd, 0, 0}, flush{flushCmd, 0, 0}, quiet{quietCmd, 0, 0};
  QKSndDoImmediate(channel, &resume);
  QKSndDoImmediate(channel, &flush);
  QKSndDoImmediate(channel, &quiet);
  sound->Rewind();
  blockReady = 0;
  state = 0;
  Idle();
}

void CompressedSoundChannel::Pause() {
  if (!channel || !sound || !Playing()) return;
  SoundCommand pause{pauseCmd, 0, 0};
  QKSndDoImmediate(channel, &pause);
  state = 2;
}

void CompressedSoundChannel::UnPause() {
  if (Paused()) Play(nullptr, true);
}

// Tops the channel's queue up. A stream that gives nothing even right after
// being rewound is empty or broken: it stops rather than being retried
// forever.
void CompressedSoundChannel::Idle() {
  if (!channel || !ring) return;
  FX();
  bool rewound = false;
  while (Playing() && sound && sound->Format() == 2) {
    FX();
    Ptr block = ring + ringIndex * kBlockSize;
    if (!blockReady) {
      SInt32 n = sound->GetNextBuffer(block + headerLength, kMusicBlockBytes);
      if (n <= 0) {
        if (rewound) {
          state = 0;
          return;
        }
        if (nextSound) {
          sound = nextSound;
          nextSound = nullptr;
        }
        sound->Reset();
        rewound = true;
        if (!loop) {
          state = 0;
          return;
        }
        continue;
      }
      rewound = false;
      auto* header = reinterpret_cast<QKSoundHeader*>(block);
      UInt32 channels = UInt32(std::max<SInt16>(1, sound->Channels()));
      SHSet32(header, kSHNumChannels, channels);
      SHSet32(header, kSHSampleRate, sound->Rate());
      SHSet32(header, kSHNumFrames, UInt32(n) / channels / (SHGet16(header, kSHSampleSize) / 8));
      blockReady = 1;
    }
    if (QKSndDoCommand(channel, &ringCommands[ringIndex], true) != 0) return;
    ringIndex = (ringIndex + 1) % kMusicRingBlocks;
    blockReady = 0;
  }
}

void CompressedSoundChannel::SendVolume(SInt32 scaled) {
  UInt32 half = UInt32(scaled) & 0xFFFF;
  SoundCommand command{volumeCmd, 0, intptr_t(half | (half << 16))};
  QKSndDoImmediate(channel, &command);
}

void CompressedSoundChannel::SetVolume(SInt16 v, float seconds) {
  if (!channel) return;
  if (seconds == 0) {
    volume = v;
    SendVolume(SInt32(audioPREFS.musicVolume) * v / 256);
    fadeStartVolume = fadeTargetVolume = 0;
    fadeStartTime = fadeEndTime = 0;
  } else {
    fadeStartVolume = volume;
    fadeTargetVolume = v;
    fadeStartTime = GetTime();
    fadeEndTime = fadeStartTime + seconds;
  }
}

void CompressedSoundChannel::FX() {
  if (!channel || !(fadeEndTime - fadeStartTime > 0)) return;
  double t = (GetTime() - fadeStartTime) / (fadeEndTime - fadeStartTime);
  if (t < 1) {
    float v = float(fadeTargetVolume - fadeStartVolume) * float(t) + float(fadeStartVolume);
    volume = SInt16(v);
    SendVolume(SInt32(float(audioPREFS.musicVolume) * v / 256.0f));
  } else {
    SetVolume(fadeTargetVolume, 0);
  }
}

double CompressedSoundChannel::GetTime() const { return double(TickCount()) / 60.0; }

float CompressedSoundChannel::SetDuration(float seconds) {
  SInt32 channels = sound && sound->Channels() > 0 ? sound->Channels() : 2;
  float most = float((131072000 / channels) / 44100);
  duration = std::min(seconds, most);
  return duration;
}

// --- Music ----------------------------------------------------------------

Music gameMUSIC;

Music::Music() : loop(0), active(0) { AddToMusicList(this); }

Music::~Music() {
  RemoveFromMusicList(this);
  Dispose();
}

void AddToMusicList(Music* music) {
  if (!musicLIST) musicLIST = new LinkedItemListTemplate<Music>();
  musicLIST->AddItem(music);
}

void RemoveFromMusicList(Music* music) {
  if (musicLIST) musicLIST->RemoveItem(music);
}

OSErr LoadMusicFile(Music* music, const char* path) {
  music->channel.Init();
  StopMusic(music);
  if (!music->Load(path)) return -1;
  music->fileName = path;
  music->active = 0;
  music->channel.SetVolume(Music::MaxVolume, 0);
  return 0;
}

std::string MusicPath(const char* name) { return GetResourcesPath() + PathStr() + name + ".ogg"; }

SInt16 LoadMusic(Music* music, const char* name) {
  std::string path = MusicPath(name);
  OSErr result = LoadMusicFile(music, path.c_str());
  music->fileName = name;
  return result;
}

// Looping follows the music's own loop flag, whatever the second argument.
void PlayMusic(Music* music, unsigned char) {
  if (music->loop) music->active = 1;
  if (!audioPREFS.musicOn) return;
  music->channel.Loop(music->loop);
  music->channel.Play(music, true);
}

void StopMusic(Music* music) { music->channel.Stop(); }

void SetMusicLoop(Music* music, unsigned char loop) { music->loop = loop; }

void PauseMusic(Music* music) { music->channel.Pause(); }

void UnPauseMusic(Music* music) {
  if (!audioPREFS.musicOn) return;
  if (music->channel.Paused())
    music->channel.UnPause();
  else if (music->active)
    PlayMusic(music, true);
}

void DisposeMusic(Music* music) {
  music->channel.Stop();
  music->active = 0;
  music->Dispose();
  music->fileName.clear();
}

void SetMusicVolume(Music* music, SInt16 volume) {
  music->channel.SetRealVolume(volume);
  music->channel.SetVolume(SInt16(SInt32(audioPREFS.musicVolume) * volume / 255), 0);
}

void UpdateMusicVolume() {
  if (!musicLIST) return;
  for (auto* link = musicLIST->First(); link; link = musicLIST->Next(link))
    SetMusicVolume(link->item, link->item->channel.RealVolume());
}

void StopActiveMusic() {
  CheckActiveMusic();
  if (!musicLIST) return;
  musicWasPlayingCount = musicLIST->Size();
  musicWasPlaying = new UInt8[musicWasPlayingCount + 1]();
  UInt32 i = 0;
  for (auto* link = musicLIST->First(); link; link = musicLIST->Next(link), i++) {
    musicWasPlaying[i] = link->item->Playing();
    StopMusic(link->item);
  }
}

void StartActiveMusic() {
  if (!activeMusicCount || !musicWasPlaying || !musicLIST) return;
  UInt32 i = 0;
  for (auto* link = musicLIST->First(); link && i < musicWasPlayingCount; link = musicLIST->Next(link), i++)
    if (musicWasPlaying[i]) PlayMusic(link->item, true);
}

UInt8 MusicWasPlaying(UInt32 index) {
  return musicWasPlaying && index < musicWasPlayingCount ? musicWasPlaying[index] : 0;
}

void CheckActiveMusic() {
  delete[] musicWasPlaying;
  musicWasPlaying = nullptr;
  musicWasPlayingCount = 0;
}

void ProcessCompressedSoundChannels_Sound() {
  CollectSoundChecksAhead();
  if (!compressedSoundChannels) return;
  for (auto* link = compressedSoundChannels->First(); link; link = compressedSoundChannels->Next(link))
    link->item->Idle();
}
