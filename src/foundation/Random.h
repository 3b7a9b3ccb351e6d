// The one random generator of the whole program: a multiply-and-modulo step
// on the 32-bit seed randomSEED. Each draw names its call site; the generator
// ignores it. The game's behaviour depends on the exact number and order of
// draws, and replays depend on randomSEED itself.
#pragma once

#include "platform/PlatformTypes.h"

extern UInt32 randomSEED;

// Seeds from the local date and time in seconds.
void SeedRandom();
UInt32 SubRandom_Trace(const char* file, SInt32 line, const char* func);
// The same step on a seed the caller keeps.
UInt32 SubRandom_Seed(UInt32* seed);
// lo when lo equals hi (no draw); otherwise lo + draw modulo (hi - lo), in
// unsigned 32-bit arithmetic: lo to hi - 1 when lo < hi.
SInt32 RandomRange_Trace(SInt32 lo, SInt32 hi, const char* file, SInt32 line, const char* func);
SInt32 CountBits(unsigned int mask);
// Index of a randomly chosen set bit of mask, -1 for an empty mask.
SInt32 RandomBit(unsigned int mask);
// Clears randomly chosen set bits of mask until keep of them remain; 0 when
// keep is 0 or less or the mask is empty.
unsigned int RandomBits(unsigned int mask, int keep);
// Shares total among the set bits of mask into out[0..n-1] (0 for bits not
// in mask); the remainder goes one each to randomly chosen set bits.
int DistributeNum(unsigned int mask, int total, int* out, int n);

#define SubRandom() SubRandom_Trace(__FILE__, __LINE__, __func__)
#define RandomRange(lo, hi) RandomRange_Trace((lo), (hi), __FILE__, __LINE__, __func__)
