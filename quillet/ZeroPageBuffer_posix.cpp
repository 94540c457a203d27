#include <sys/mman.h>

#include "quillet/ZeroPageBuffer.h"

namespace quillet {

void* ZeroPageBuffer::MapZeroPages(std::size_t bytes) {
  void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (data == MAP_FAILED) return nullptr;
#ifdef MADV_NOHUGEPAGE
  // Where transparent huge pages are always on, one write would make a whole
  // 2 MB page resident; the recording grows page by page instead. A refusal
  // only costs memory, so it is ignored.
  madvise(data, bytes, MADV_NOHUGEPAGE);
#endif
  return data;
}

void ZeroPageBuffer::UnmapPages(void* data, std::size_t bytes) { munmap(data, bytes); }

}  // namespace quillet
