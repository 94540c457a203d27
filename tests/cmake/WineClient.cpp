// The smallest Windows program: what the Wine runner's tests start.
#include <cstdio>

int main() {
  std::puts("wine client ran");
  return 0;
}
