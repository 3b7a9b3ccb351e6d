// The replay stream. Byte 0 is the mode (even: record then play; odd: play
// the rest of the input as a stream), byte 1 the chunk size (1-32), byte 2
// the buffer size / 4; then the values the game consumes, each a kind byte
// (long, short, char, bit) and its bytes. Recorded values play back as they
// were recorded, in order, whatever the live values at playback; a stream
// from anywhere plays without a fault and gives values of the right width.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "shell/Replay.h"

namespace {

struct Value {
  int kind;  // 0 long, 1 short, 2 char, 3 bit
  UInt32 bits;
};

std::vector<Value> Values(const uint8_t* data, size_t size) {
  std::vector<Value> out;
  size_t at = 0;
  while (at < size && out.size() < 4096) {
    const int kind = data[at++] & 3;
    const size_t width = kind == 0 ? 4 : kind == 1 ? 2 : 1;
    UInt32 v = 0;
    for (size_t i = 0; i < width && at < size; ++i) v = v << 8 | data[at++];
    out.push_back({kind, kind == 3 ? (v & 1) : v});
  }
  return out;
}

UInt32 Use(Replay& replay, const Value& v, bool flip) {
  const UInt32 live = flip ? ~v.bits : v.bits;
  switch (v.kind) {
    case 0: return UInt32(replay.Long(SInt32(live)));
    case 1: return UInt16(replay.Short(SInt16(live)));
    case 2: return UInt8(replay.Char(char(live)));
    default: return replay.Bit(UInt8(live & 1));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size < 3 || size > (1 << 16)) return 0;
  const bool playOnly = data[0] & 1;
  const UInt32 chunk = 1 + data[1] % 32;
  const UInt32 buffer = UInt32(data[2]) * 4;
  const std::string path = FuzzFolder() + "/replay";

  if (playOnly) {
    FuzzWriteFile("replay", data + 3, size - 3);
    Replay replay;
    replay.chunkSize = chunk;
    replay.bufferSize = buffer;
    replay.stream = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(replay.stream);
    replay.Play();
    const std::vector<Value> values = Values(data + 3, size - 3);
    for (const Value& v : values) {
      const UInt32 got = Use(replay, v, false);
      if (v.kind == 1) FUZZ_CHECK(got <= 0xFFFF);
      if (v.kind == 2) FUZZ_CHECK(got <= 0xFF);
      if (v.kind == 3) FUZZ_CHECK(got <= 1);
    }
    replay.Stop();
    if (replay.stream) std::fclose(replay.stream);
    replay.stream = nullptr;
    return 0;
  }

  const std::vector<Value> values = Values(data + 3, size - 3);
  {
    Replay replay;
    replay.chunkSize = chunk;
    replay.bufferSize = buffer;
    replay.stream = std::fopen(path.c_str(), "w+b");
    FUZZ_CHECK(replay.stream);
    replay.Record();
    for (const Value& v : values) FUZZ_CHECK(Use(replay, v, false) == v.bits);
    replay.Stop();
    FUZZ_CHECK(!replay.stream);
  }
  Replay replay;
  replay.chunkSize = chunk;
  replay.bufferSize = buffer;
  replay.stream = std::fopen(path.c_str(), "rb");
  FUZZ_CHECK(replay.stream);
  replay.Play();
  for (const Value& v : values) FUZZ_CHECK(Use(replay, v, true) == v.bits);
  replay.Stop();
  std::fclose(replay.stream);
  replay.stream = nullptr;
  return 0;
}
