// Reads a whole Ogg Vorbis file for tests, as interleaved 16-bit samples.
#pragma once

#include <string>
#include <vector>

struct DecodedOgg {
  std::vector<short> samples;  // interleaved
  int channels = 0;
  long rate = 0;
};

// Empty samples when the file cannot be opened or holds none.
DecodedOgg DecodeOggFile(const std::string& path);
