// Ogg Vorbis files, both ways the program reads them: as an effect, decoded
// whole into a sample block; as music, streamed in blocks of 16 KB to the
// end, rewound as a loop rewinds, and streamed again. Every page's checksum
// is made right first, so that a mutation reaches the decoder instead of
// being dropped with its page. Whatever the file: nothing ends the process,
// an effect that loads can be played, and both passes of the stream come to
// an end. (Their lengths are not compared: the decoder trims a stream by its
// pages' granule positions on the first pass only, so a damaged stream may
// give more bytes once rewound; the seeds give the same on both.) An
// effect's block holds every sample its header claims; the music is read
// into blocks of exactly the space asked for (the player's 16 KB, and on the
// second pass a smaller space that the input picks), and no read claims
// more than that space.
//
// The program checks each file first by decoding it in a child process it
// forks for the file; a fork of a sanitized process costs far more than the
// check. Here the same check runs in one child kept for the whole run (see
// Checker), which gives the same verdicts: a fault inside the decoder ends
// the child, the file is refused, and the next file starts another child.
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define FUZZ_SANITIZED 1
#endif
#endif

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "foundation/Memory.h"
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

bool SendAll(int socket, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = send(socket, at, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= size_t(n);
  }
  return true;
}

bool ReceiveAll(int socket, void* data, size_t size) {
  char* at = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = recv(socket, at, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= size_t(n);
  }
  return true;
}

// One child process that runs the program's own check on each path sent to
// it (a length, then the path) and answers 'K' when the check returned true.
// It is forked on the first check and kept; a check that faults, does not
// answer within its time or cannot be sent ends it, and the next check forks
// another. The child ends with the harness.
class Checker {
 public:
  bool Run(bool (*check)(const char* path), const char* path, double seconds) {
    if (child_ > 0 && check != check_) End();
    const UInt32 length = UInt32(std::strlen(path));
    bool sent = false;
    for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
      if (child_ <= 0 && !Start(check)) return false;
      sent = SendAll(socket_, &length, sizeof length) && SendAll(socket_, path, length);
      if (!sent) End();  // it had ended since the last check
    }
    if (!sent) return false;
    char verdict = 0;
    struct pollfd wait {
      socket_, POLLIN, 0
    };
    int ready;
    while ((ready = poll(&wait, 1, int(seconds * 1000))) < 0 && errno == EINTR) {
    }
    if (ready != 1 || !ReceiveAll(socket_, &verdict, 1)) {
      End();
      return false;
    }
    return verdict == 'K';
  }

 private:
  bool Start(bool (*check)(const char* path)) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
    const pid_t child = fork();
    if (child < 0) {
      close(ends[0]);
      close(ends[1]);
      return false;
    }
    if (child == 0) {
      close(ends[0]);
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
      for (;;) {
        UInt32 length = 0;
        if (!ReceiveAll(ends[1], &length, sizeof length)) _exit(0);
        std::string path(length, '\0');
        if (!ReceiveAll(ends[1], path.data(), length)) _exit(0);
        const char verdict = check(path.c_str()) ? 'K' : 'F';
        // An ordinary exit would run the harness's own checks at exit (the
        // leak check sees the harness's live memory as leaked here).
        if (!SendAll(ends[1], &verdict, 1)) _exit(0);
      }
    }
    close(ends[1]);
    child_ = child;
    socket_ = ends[0];
    check_ = check;
    return true;
  }

  void End() {
    if (child_ <= 0) return;
    close(socket_);
    kill(child_, SIGKILL);
    while (waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    socket_ = -1;
  }

  pid_t child_ = -1;
  int socket_ = -1;
  bool (*check_)(const char* path) = nullptr;
};

bool RunCheck(bool (*check)(const char* path), const char* path, double seconds) {
  static Checker checker;
  return checker.Run(check, path, seconds);
}

void SetUp() {
  static bool done = [] {
    SetSoundCheckRunnerForTesting(RunCheck);
    pthread_atfork(nullptr, nullptr, QuietChild);
    setenv("ALSOFT_DRIVERS", "null", 0);
    audioPREFS.Defaults();
    return true;
  }();
  (void)done;
}

// Bytes of one pass to the end; -1 when it went on past any sound.
constexpr SInt64 kMostBytes = SInt64(256) << 20;
SInt64 StreamToEnd(CompressedSound& music, SInt32 space) {
  // Exactly the space asked for, so that a write past it is caught.
  std::vector<char> block(static_cast<size_t>(space));
  SInt64 total = 0;
  for (;;) {
    const SInt32 n = music.GetNextBuffer(block.data(), space);
    FUZZ_CHECK(n >= 0 && n <= space);
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
  // The program checks a file once per path and size, and a mutation often
  // keeps the size: each input is checked afresh (once, for both loads).
  ForgetSoundChecks();
  const std::string path = FuzzWriteFile("sound.ogg", bytes.data(), bytes.size());

  {
    QKSndCommand effect;
    if (LoadSoundFile(&effect, path.c_str()) == 0) {
      FUZZ_CHECK(effect.param2 != 0 && CheckSound(&effect));
      QKSoundHeader* header = effect.Header();
      const SInt64 claimed = SInt64(GetSoundHeaderLength(header)) + GetSoundHeaderSampleLengthInBytes(header);
      FUZZ_CHECK(claimed <= QKGetPtrSize(reinterpret_cast<Ptr>(effect.param2)));
      FUZZ_CHECK(GetSoundHeaderSampleLengthInBytes(header) == GetSoundHeaderNumFrames(header) *
                                                                  UInt32(GetSoundHeaderNumChannels(header)) *
                                                                  UInt32(GetSoundHeaderSampleSize(header) / 8));
    }
  }

  CompressedSound music;
  const bool opened = music.Load(path.c_str());
  std::remove(path.c_str());
  if (!opened) return 0;
  FUZZ_CHECK(music.Channels() > 0 && music.Rate() > 0);
  FUZZ_CHECK(music.Length() >= 0);
  const SInt64 first = StreamToEnd(music, kMusicBlockBytes);
  if (first < 0) return 0;
  FUZZ_CHECK(music.Position() >= 0);
  music.Reset();
  const SInt32 smaller = 1024 + 4 * SInt32((size ? data[size / 2] : 0) % 1024);
  const SInt64 second = StreamToEnd(music, smaller);
  FUZZ_CHECK(second >= 0);
  music.Dispose();
  return 0;
}
