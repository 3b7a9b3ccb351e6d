// Big blocks are mappings of their own, given back to the system when freed,
// also after a bigger block was freed (which otherwise raises the C
// library's limit, so that the next big blocks grow its heap and stay
// resident there).
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/PlatformSystem.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

// Allocates and touches a block, so that no compiler leaves the pair out.
void* Touched(size_t bytes) {
  void* block = std::malloc(bytes);
  if (block) std::memset(block, 1, bytes);
  volatile unsigned char* first = static_cast<unsigned char*>(block);
  if (first) (void)*first;
  return block;
}

TEST(PlatformMemory, BigBlocksFreedGoBackToTheSystem) {
  if (kOwnAllocator) GTEST_SKIP() << "the sanitizer's allocator keeps its own mappings";
  ReturnBigBlocksToTheSystem();
  // The library serves a big block from free memory of its heap when it has
  // some, whatever the limit: blocks far bigger than what a test leaves free
  // there are asked for, so they come from the system or from a heap grown
  // for them.
  const size_t mega = 1024 * 1024;
  std::free(Touched(30 * mega));
  const size_t before = mallinfo2().hblkhd;
  void* block = Touched(20 * mega);
  ASSERT_NE(block, nullptr);
  EXPECT_GE(mallinfo2().hblkhd, before + 20 * mega);
  std::free(block);
  EXPECT_EQ(mallinfo2().hblkhd, before);
}

}  // namespace
