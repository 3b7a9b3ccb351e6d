#include "sound/MovieSound.h"

#include "foundation/Memory.h"
#include "sound/SoundHeader.h"

MovieSoundChannel::~MovieSoundChannel() { Stop(); }

// Without sound hardware the movie plays silent.
void MovieSoundChannel::Start(const SInt16* samples, SInt32 frames, SInt16 channels, UInt32 rate) {
  Stop();
  if (!samples || frames <= 0 || channels <= 0) return;
  if (QKSndNewChannel(&channel_, sampledSynth, 0, nullptr) != 0) return;
  UInt32 bytes = UInt32(frames) * UInt32(channels) * 2;
  if (BuildSoundHandle(&block_, channels, rate << 16, 16, 60, samples, bytes) != 0) return;
  SInt32 offset = 0;
  QKGetSoundHeaderOffset(block_, &offset);
  SoundCommand play{bufferCmd, 0, reinterpret_cast<intptr_t>(*block_ + offset)};
  QKSndDoCommand(channel_, &play, true);
}

void MovieSoundChannel::SetVolume(SInt16 volume) {
  if (!channel_) return;
  UInt32 half = UInt32(volume) & 0xFFFF;
  SoundCommand command{volumeCmd, 0, intptr_t(half | (half << 16))};
  QKSndDoImmediate(channel_, &command);
}

void MovieSoundChannel::Stop() {
  if (channel_) QKSndDisposeChannel(channel_, true);
  channel_ = nullptr;
  if (block_) QKDisposeHandle(block_);
  block_ = nullptr;
}
