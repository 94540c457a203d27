#pragma once

#include <cstddef>

namespace quillet {

// A block of memory taken straight from the system as fresh zero pages, for a
// grain's recording. The whole size is reserved in the address space at once
// (and committed, on Windows), but the system makes a page resident only when
// it is first touched: a grain that writes the first few thousand samples of a
// three-second buffer holds only those pages in memory. Nothing is zero-filled
// by the program, neither here nor later: a released block goes back to the
// system whole, and the next Allocate gets new zero pages.
//
// The first write to each page costs the thread that makes it a page fault (the
// system maps a zeroed page); there is no allocation or lock in the program.
//
// Threads: Allocate and Release are [main] (they call the system); Data is
// audio-safe.
class ZeroPageBuffer {
 public:
  ZeroPageBuffer() = default;
  ~ZeroPageBuffer();
  ZeroPageBuffer(const ZeroPageBuffer&) = delete;
  ZeroPageBuffer& operator=(const ZeroPageBuffer&) = delete;

  // Releases what is held, then takes `bytes` of zero pages. False, holding
  // nothing, when `bytes` is 0 or the system refuses.
  bool Allocate(std::size_t bytes);
  // Gives the pages back; nothing held afterwards.
  void Release();

  void* Data() const { return data_; }
  std::size_t Size() const { return bytes_; }

 private:
  // Per platform: a new mapping of `bytes` zero pages, or null; and its release.
  static void* MapZeroPages(std::size_t bytes);
  static void UnmapPages(void* data, std::size_t bytes);

  void* data_ = nullptr;
  std::size_t bytes_ = 0;
};

}  // namespace quillet
