#include <cstdio>

int main() {
  std::puts("zorlan");
  return 0;
}
