// BlockMove stands alone in its object file: the linker then takes it only
// when no other library of the program has supplied it already.
#include <cstring>

#include "foundation/Memory.h"

void BlockMove(const void* source, void* destination, SInt32 count) {
  if (count > 0) memmove(destination, source, size_t(count));
}
