// Writes Ogg Vorbis files for tests: interleaved 16-bit samples, encoded at
// high quality (Vorbis is lossy, so decoded samples are close, not equal).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the file was written.
bool WriteOggFile(const std::string& path, const std::vector<int16_t>& interleaved, int channels, long rate);

// A sine tone of `frames` frames at `hertz`, amplitude 0..32767, the same on
// every channel.
std::vector<int16_t> SineTone(long frames, int channels, long rate, double hertz, double amplitude);
