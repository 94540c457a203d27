#include <windows.h>
#include <psapi.h>

#include "tools/bench/ProcessMemory.h"

namespace bench {

bool ProcessMemory::Read(ProcessMemory* memory) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return false;
  memory->residentBytes = counters.WorkingSetSize;
  memory->reservedBytes = counters.PrivateUsage;
  return true;
}

}  // namespace bench
