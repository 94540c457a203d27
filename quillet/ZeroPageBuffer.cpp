#include "quillet/ZeroPageBuffer.h"

namespace quillet {

ZeroPageBuffer::~ZeroPageBuffer() { Release(); }

bool ZeroPageBuffer::Allocate(std::size_t bytes) {
  Release();
  if (bytes == 0) return false;
  data_ = MapZeroPages(bytes);
  if (!data_) return false;
  bytes_ = bytes;
  return true;
}

void ZeroPageBuffer::Release() {
  if (data_) UnmapPages(data_, bytes_);
  data_ = nullptr;
  bytes_ = 0;
}

}  // namespace quillet
