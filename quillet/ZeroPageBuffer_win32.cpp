#include <windows.h>

#include "quillet/ZeroPageBuffer.h"

namespace quillet {

// Reserved and committed in one call: committed pages that were never touched
// take no physical memory (the system supplies a zero page on first touch), but
// they count towards the commit charge, which is what guarantees that the
// first write never fails. Committing page by page on first write would need
// a system call on the audio thread.
void* ZeroPageBuffer::MapZeroPages(std::size_t bytes) {
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void ZeroPageBuffer::UnmapPages(void* data, std::size_t bytes) {
  VirtualFree(data, 0, MEM_RELEASE);
}

}  // namespace quillet
