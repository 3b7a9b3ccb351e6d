#include "foundation/Random.h"

#include "platform/PlatformTime.h"

UInt32 randomSEED;

void SeedRandom() { GetDateTime(&randomSEED); }

UInt32 SubRandom_Seed(UInt32* seed) {
  *seed = (*seed * 331691u) % 199604759u + 65089u;
  return *seed;
}

UInt32 SubRandom_Trace(const char*, SInt32, const char*) { return SubRandom_Seed(&randomSEED); }

SInt32 RandomRange_Trace(SInt32 lo, SInt32 hi, const char* file, SInt32 line, const char* func) {
  if (lo == hi) return lo;
  return SInt32(UInt32(lo) + SubRandom_Trace(file, line, func) % (UInt32(hi) - UInt32(lo)));
}

SInt32 CountBits(unsigned int mask) {
  SInt32 bits = 0;
  for (; mask; mask &= mask - 1) bits++;
  return bits;
}

SInt32 RandomBit(unsigned int mask) {
  if (!mask) return -1;
  UInt32 k = SubRandom() % UInt32(CountBits(mask));
  for (SInt32 bit = 0;; bit++) {
    if (!(mask & (1u << bit))) continue;
    if (k-- == 0) return bit;
  }
}

unsigned int RandomBits(unsigned int mask, int keep) {
  if (keep <= 0 || !mask) return 0;
  while (CountBits(mask) > keep) mask &= ~(1u << RandomBit(mask));
  return mask;
}

int DistributeNum(unsigned int mask, int total, int* out, int n) {
  int bits = CountBits(mask);
  int share = bits ? total / bits : 0;
  unsigned int chosen = bits ? RandomBits(mask, total - bits * share) : 0;
  for (int i = 0; i < n; i++) {
    unsigned int bit = i < 32 ? 1u << i : 0;
    out[i] = (mask & bit) ? share + ((chosen & bit) ? 1 : 0) : 0;
  }
  return n;
}
