// The editor's edits on their way to the host: a fixed ring with one writer
// (the main thread, where the editor runs) and one reader (the process call on
// the audio thread, or a flush), so neither side allocates or waits.
//
// Gestures stay paired whatever happens: a begin that finds the ring full is
// dropped together with every value and the end of that gesture, so the host
// never sees an end without its begin or a begin without its end.
#pragma once

#include <atomic>
#include <cstdint>

namespace plug {

class ClapEditQueue {
 public:
  enum class Kind : std::uint8_t { kBegin, kValue, kEnd };
  struct Edit {
    Kind kind;
    int param;
    double normalized;
  };
  static constexpr int kCapacity = 1024;  // power of two
  static constexpr int kMaxParams = 64;

  // [main] false when the ring is full (or the gesture's begin was dropped).
  bool Push(Kind kind, int param, double normalized) {
    if (param < 0 || param >= kMaxParams) return false;
    if (kind != Kind::kBegin && dropped_[param]) {
      if (kind == Kind::kEnd) dropped_[param] = false;
      return false;
    }
    // An end must always fit behind its begin: begins and values leave one
    // slot per open gesture free.
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    const std::uint32_t tail = tail_.load(std::memory_order_acquire);
    const std::uint32_t used = head - tail;
    const std::uint32_t reserve = kind == Kind::kEnd ? 0 : openGestures_ + 1;
    if (used + reserve >= kCapacity) {
      if (kind == Kind::kBegin) dropped_[param] = true;
      return false;
    }
    ring_[head & (kCapacity - 1)] = Edit{kind, param, normalized};
    head_.store(head + 1, std::memory_order_release);
    if (kind == Kind::kBegin) ++openGestures_;
    if (kind == Kind::kEnd && openGestures_ > 0) --openGestures_;
    return true;
  }

  // [audio, or main when not processing] false when empty.
  bool Pop(Edit* edit) {
    const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    *edit = ring_[tail & (kCapacity - 1)];
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

 private:
  Edit ring_[kCapacity] = {};
  std::atomic<std::uint32_t> head_{0};
  std::atomic<std::uint32_t> tail_{0};
  // Writer side only.
  std::uint32_t openGestures_ = 0;
  bool dropped_[kMaxParams] = {};
};

}  // namespace plug
