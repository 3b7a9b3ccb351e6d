// The PNG reader over any bytes, in both modes, with the header and palette
// queries. A decoded block must hold exactly the size the mode promises.
#include <png.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "FuzzSupport.h"
#include "graphics/PNGFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 20)) return 0;
  static int fd = memfd_create("fuzz.png", MFD_CLOEXEC);
  FUZZ_CHECK(fd >= 0);
  FUZZ_CHECK(ftruncate(fd, 0) == 0);
  FUZZ_CHECK(pwrite(fd, data, size, 0) == ssize_t(size));
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  for (UInt8 grey = 0; grey < 2; grey++) {
    SInt32 w = -1, h = -1, count = 0;
    png_color palette[256];
    UInt8* block = LoadPNG(path.c_str(), &w, &h, grey, palette, &count);
    if (block) {
      FUZZ_CHECK(w > 0 && h > 0 && w <= kMaxPNGSide && h <= kMaxPNGSide && count >= 0 && count <= 256);
      // Touches the last byte of the promised size, so a shorter block shows.
      volatile UInt8 last = block[size_t(w) * size_t(h) * (grey ? 1 : 4) - 1];
      (void)last;
      delete[] block;
    } else {
      FUZZ_CHECK(w == 0 && h == 0);
    }
  }
  SInt32 w, h, count;
  png_color palette[256];
  GetPNGDimensions(path.c_str(), &w, &h);
  GetPNGPalette(path.c_str(), palette, &count);
  FUZZ_CHECK(count >= 0 && count <= 256);
  return 0;
}
