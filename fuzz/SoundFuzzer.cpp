// Ogg Vorbis files, both ways the program reads them: as an effect, decoded
// whole into a sample block; as music, streamed in blocks of 16 KB to the
// end, rewound as a loop rewinds, and streamed again. Every page's checksum
// is made right first, so that a mutation reaches the decoder instead of
// being dropped with its page. Whatever the file: nothing ends the process,
// an effect that loads can be played, and both passes of the stream come to
// an end. (Their lengths are not compared: the decoder trims a stream by its
// pages' granule positions on the first pass only, so a damaged stream may
// give more bytes once rewound; the seeds give the same on both.)
#include <pthread.h>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define FUZZ_SANITIZED 1
#endif
#endif

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/SoundHeader.h"
#include "sound/SoundLoading.h"

namespace {

// The checksum of an Ogg page: CRC-32, polynomial 0x04C11DB7, not reflected,
// starting from 0, over the page with its checksum field zeroed.
UInt32 PageCRC(const uint8_t* page, size_t length) {
  static const std::vector<UInt32> table = [] {
    std::vector<UInt32> t(256);
    for (UInt32 i = 0; i < 256; ++i) {
      UInt32 r = i << 24;
      for (int b = 0; b < 8; ++b) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  UInt32 crc = 0;
  for (size_t i = 0; i < length; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ page[i]) & 0xFF];
  return crc;
}

// Puts the right checksum into every whole page found.
void FixPages(std::vector<uint8_t>& bytes) {
  size_t at = 0;
  while (at + 27 <= bytes.size()) {
    uint8_t* page = bytes.data() + at;
    if (page[0] != 'O' || page[1] != 'g' || page[2] != 'g' || page[3] != 'S') {
      ++at;
      continue;
    }
    const size_t segments = page[26];
    if (at + 27 + segments > bytes.size()) break;
    size_t length = 27 + segments;
    for (size_t s = 0; s < segments; ++s) length += page[27 + s];
    if (at + length > bytes.size()) break;
    for (int i = 22; i < 26; ++i) page[i] = 0;
    const UInt32 crc = PageCRC(page, length);
    for (int i = 0; i < 4; ++i) page[22 + i] = uint8_t(crc >> (8 * i));
    at += length;
  }
}

// A process the program starts to try a file is no harness: what ends it
// (a fault inside the decoder) is the program's to survive, not a report.
void QuietChild() {
#ifdef FUZZ_SANITIZED
  __sanitizer_set_death_callback(nullptr);
#endif
  for (int signal : {SIGFPE, SIGSEGV, SIGBUS, SIGILL, SIGABRT}) std::signal(signal, SIG_DFL);
}

void SetUp() {
  static bool done = [] {
    pthread_atfork(nullptr, nullptr, QuietChild);
    setenv("ALSOFT_DRIVERS", "null", 0);
    audioPREFS.Defaults();
    return true;
  }();
  (void)done;
}

// Bytes of one pass to the end; -1 when it went on past any sound.
constexpr SInt64 kMostBytes = SInt64(256) << 20;
SInt64 StreamToEnd(CompressedSound& music, std::vector<char>& block) {
  SInt64 total = 0;
  for (;;) {
    const SInt32 n = music.GetNextBuffer(block.data(), kMusicBlockBytes);
    FUZZ_CHECK(n >= 0 && n <= kMusicBlockBytes);
    if (n == 0) return total;
    total += n;
    if (total > kMostBytes) return -1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  SetUp();
  if (size > (1 << 20)) return 0;
  std::vector<uint8_t> bytes(data, data + size);
  FixPages(bytes);
  // A new name for each input: the program checks a file once per path and
  // size, and a mutation often keeps the size.
  static UInt64 count = 0;
  const std::string path = FuzzWriteFile("sound-" + std::to_string(count++) + ".ogg", bytes.data(), bytes.size());

  {
    QKSndCommand effect;
    if (LoadSoundFile(&effect, path.c_str()) == 0) FUZZ_CHECK(effect.param2 != 0 && CheckSound(&effect));
  }

  CompressedSound music;
  const bool opened = music.Load(path.c_str());
  std::remove(path.c_str());
  if (!opened) return 0;
  FUZZ_CHECK(music.Channels() > 0 && music.Rate() > 0);
  FUZZ_CHECK(music.Length() >= 0);
  std::vector<char> block(kMusicBlockBytes);
  const SInt64 first = StreamToEnd(music, block);
  if (first < 0) return 0;
  FUZZ_CHECK(music.Position() >= 0);
  music.Reset();
  const SInt64 second = StreamToEnd(music, block);
  FUZZ_CHECK(second >= 0);
  music.Dispose();
  return 0;
}
