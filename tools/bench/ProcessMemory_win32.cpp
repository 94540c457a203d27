#include <windows.h>
#include <psapi.h>

#include "tools/bench/ProcessMemory.h"

namespace bench {

bool ProcessMemory::Read(ProcessMemory* memory) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return false;
  memory->residentBytes = counters.WorkingSetSize;

  // The address space in use: every region that is reserved or committed. (The
  // commit charge would be another figure, but Wine does not keep it.)
  std::size_t reserved = 0;
  const char* address = nullptr;
  MEMORY_BASIC_INFORMATION region;
  while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
    if (region.State != MEM_FREE) reserved += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  memory->reservedBytes = reserved;
  return true;
}

}  // namespace bench
