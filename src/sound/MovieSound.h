// The sound of a movie, played through the engine's sound channels: the
// whole track as one buffer command on a channel of its own, its volume a
// volume command (256 is the track as recorded).
#pragma once

#include "platform/MoviePlayer.h"
#include "sound/SoundChannels.h"

class MovieSoundChannel final : public MovieSoundOutput {
 public:
  MovieSoundChannel() = default;
  ~MovieSoundChannel() override;
  MovieSoundChannel(const MovieSoundChannel&) = delete;
  MovieSoundChannel& operator=(const MovieSoundChannel&) = delete;

  void Start(const SInt16* samples, SInt32 frames, SInt16 channels, UInt32 rate) override;
  void SetVolume(SInt16 volume) override;
  void Stop() override;

  QKSndChannel* Channel() const { return channel_; }

 private:
  QKSndChannel* channel_ = nullptr;
  Handle block_ = nullptr;  // sound header and samples
};
