#include <cstdio>
#include <unistd.h>

#include "tools/bench/ProcessMemory.h"

namespace bench {

bool ProcessMemory::Read(ProcessMemory* memory) {
  // /proc/self/statm: total mapped pages, then resident pages.
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return false;
  unsigned long mappedPages = 0, residentPages = 0;
  const bool read = std::fscanf(file, "%lu %lu", &mappedPages, &residentPages) == 2;
  std::fclose(file);
  if (!read) return false;
  const std::size_t pageBytes = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  memory->residentBytes = residentPages * pageBytes;
  memory->reservedBytes = mappedPages * pageBytes;
  return true;
}

}  // namespace bench
