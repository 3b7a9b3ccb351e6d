// The program's global allocation: every new zero-fills its block, and
// running out of memory is the fatal report of AllocateCleared. The build
// makes every program link this file by asking for LinkGlobalAllocation (see
// the foundation library's link options); once linked, these operators
// replace the runtime's everywhere.
#include <cstdlib>
#include <new>

#include "foundation/Memory.h"

namespace {

void* Allocate(std::size_t size, std::size_t alignment = 0) {
  void* block = AllocateCleared(size, alignment);
  // A fatal report does not return; if one ever does, a throwing new must
  // still not hand back null.
  if (!block) throw std::bad_alloc();
  return block;
}

}  // namespace

// Defined only here, so that asking the linker for it brings this file in.
extern "C" void LinkGlobalAllocation() {}

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateCleared(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateCleared(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return Allocate(size, std::size_t(alignment)); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return Allocate(size, std::size_t(alignment)); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateCleared(size, std::size_t(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateCleared(size, std::size_t(alignment));
}

void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, std::size_t) noexcept { free(p); }
void operator delete[](void* p, std::size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete(void* p, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { free(p); }
