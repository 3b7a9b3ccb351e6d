// The replay stream. Byte 0 is the mode (even: record then play; odd: play
// the rest of the input as a stream), byte 1 the chunk size (1-32), byte 2
// the buffer size / 4; then the values the game consumes, each a kind byte
// (long, short, char, bit) and its bytes. Recorded values play back as they
// were recorded, in order, whatever the live values at playback; a stream
// from anywhere plays without a fault and gives, value for value, what the
// small reader below takes from it. The recorder's file is read by the same
// reader: seed first, whole chunks, zero padding.
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/Random.h"
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

// A reader of the stream written apart from the recorder: a big-endian seed,
// then each value's bits, least significant first, taken from each byte's
// high bit down. A value that does not fit in what is left ends the stream:
// it and every later value are the live ones.
class StreamReader {
 public:
  StreamReader(const uint8_t* data, size_t size) : bytes_(data) {
    if (size >= 4) {
      hasSeed_ = true;
      seed_ = UInt32(data[0]) << 24 | UInt32(data[1]) << 16 | UInt32(data[2]) << 8 | data[3];
      bits_ = UInt64(size - 4) * 8;
    }
  }
  bool HasSeed() const { return hasSeed_; }
  UInt32 Seed() const { return seed_; }
  UInt64 BitsTaken() const { return at_; }
  UInt32 Take(int kind, UInt32 live) {
    const UInt32 width = kind == 0 ? 32 : kind == 1 ? 16 : kind == 2 ? 8 : 1;
    if (ended_ || at_ + width > bits_) {
      ended_ = true;
      return live;
    }
    UInt32 v = 0;
    for (UInt32 i = 0; i < width; ++i, ++at_) {
      const uint8_t byte = bytes_[4 + at_ / 8];
      if (byte >> (7 - at_ % 8) & 1) v |= 1u << i;
    }
    return v;
  }

 private:
  const uint8_t* bytes_;
  bool hasSeed_ = false;
  bool ended_ = false;
  UInt32 seed_ = 0;
  UInt64 bits_ = 0;
  UInt64 at_ = 0;
};

UInt32 Live(const Value& v, bool flip) {
  const UInt32 live = flip ? ~v.bits : v.bits;
  switch (v.kind) {
    case 0: return live;
    case 1: return live & 0xFFFF;
    case 2: return live & 0xFF;
    default: return live & 1;
  }
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> out;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  FUZZ_CHECK(file);
  uint8_t block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) out.insert(out.end(), block, block + got);
  std::fclose(file);
  return out;
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
    const UInt32 seedBefore = randomSEED;
    replay.Play();
    StreamReader reader(data + 3, size - 3);
    FUZZ_CHECK(randomSEED == (reader.HasSeed() ? reader.Seed() : seedBefore));
    // The live values are the input's bytes read the other way, flipped, so
    // that a played value and a live one seldom agree by chance.
    const std::vector<Value> values = Values(data + 3, size - 3);
    for (const Value& v : values) {
      const UInt32 got = Use(replay, v, true);
      FUZZ_CHECK(got == reader.Take(v.kind, Live(v, true)));
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
    randomSEED = UInt32(size) * 0x9E3779B9u;
    replay.Record();
    for (const Value& v : values) FUZZ_CHECK(Use(replay, v, false) == v.bits);
    replay.Stop();
    FUZZ_CHECK(!replay.stream);
  }
  {
    // The file holds the seed, then whole chunks of the values' bits, the
    // last chunk padded with zero bits.
    const std::vector<uint8_t> file = ReadAll(path);
    UInt64 bits = 0;
    for (const Value& v : values) bits += v.kind == 0 ? 32 : v.kind == 1 ? 16 : v.kind == 2 ? 8 : 1;
    const UInt64 chunkBits = UInt64(chunk) * 8;
    FUZZ_CHECK(file.size() == 4 + (bits + chunkBits - 1) / chunkBits * chunk);
    StreamReader reader(file.data(), file.size());
    FUZZ_CHECK(reader.HasSeed() && reader.Seed() == UInt32(size) * 0x9E3779B9u);
    for (const Value& v : values) FUZZ_CHECK(reader.Take(v.kind, Live(v, true)) == v.bits);
    for (size_t at = 4 + bits / 8; at < file.size(); ++at) {
      const uint8_t mask = at == 4 + bits / 8 ? uint8_t(0xFF >> (bits % 8)) : 0xFF;
      FUZZ_CHECK((file[at] & mask) == 0);
    }
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
