// Halvane's entry point.
#include <cstdio>

int main() {
  std::puts("Halvane");
  return 0;
}
