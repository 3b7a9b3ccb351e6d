// "COS Table 360" and "SIN Table 360": 360 signed 32-bit big-endian entries,
// one per whole degree, with 1.0 stored as 256. Sparks multiply half their
// speed by an entry and shift right by 8, so with this scale a spark's speed
// is in the same 24.8 fixed point as its position: 256 (the slowest) moves
// 0.167 px a step, a class-16 spark up to 2.8 px, a dying ship's up to 5.6.
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "AssetGen.h"

namespace assetgen {

static void WriteTable(const std::string& name, double (*fn)(double)) {
  unsigned char bytes[1440];
  for (int d = 0; d < 360; ++d) {
    uint32_t v = uint32_t(int32_t(std::lround(256.0 * fn(d * M_PI / 180.0))));
    bytes[4 * d] = (unsigned char)(v >> 24);
    bytes[4 * d + 1] = (unsigned char)(v >> 16);
    bytes[4 * d + 2] = (unsigned char)(v >> 8);
    bytes[4 * d + 3] = (unsigned char)v;
  }
  std::string path = OutPath(name);
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
  if (f) ok = std::fclose(f) == 0 && ok;
  if (!ok) throw std::runtime_error("cannot write " + path);
}

void AddTableJobs(std::vector<Job>& jobs) {
  jobs.push_back([] {
    WriteTable("COS Table 360", [](double a) { return std::cos(a); });
    WriteTable("SIN Table 360", [](double a) { return std::sin(a); });
  });
}

}  // namespace assetgen
