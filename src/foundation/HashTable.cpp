#include "foundation/HashTable.h"

#include <cmath>

namespace {

constexpr UInt32 kLargestPrime = 4294967291u;

}  // namespace

Boolean IsPrime(UInt32 n) {
  if (n <= 2) return n == 2;
  if (n % 2 == 0) return false;
  UInt32 limit = UInt32(std::sqrt(double(n))) + 1;
  for (UInt32 divisor = 3; divisor <= limit; divisor += 2)
    if (n % divisor == 0) return false;
  return true;
}

UInt32 FindPrime(UInt32 n) {
  if (n < 3) return 2;
  if (n > kLargestPrime) return kLargestPrime;
  UInt32 candidate = n % 2 ? n : n + 1;
  while (!IsPrime(candidate)) candidate += 2;
  return candidate;
}
