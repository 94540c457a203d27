// Event lists and streams as a CLAP host hands them to a plug-in: an input
// list built before a process call (events copied in, kept in time order), an
// output list that records what the plug-in pushes, and memory streams that
// can cut every call short or fail on purpose, as hosts do.
#pragma once

#include <cstdint>
#include <vector>

#include "plug/clap/ClapAbi.h"

namespace claphost {

// Events of any type, each copied whole (header.size bytes) into 8-byte
// aligned storage.
class EventStore {
 public:
  EventStore() = default;
  EventStore(const EventStore&) = delete;
  EventStore& operator=(const EventStore&) = delete;

  // Reserves room so that adding up to count events of bytes each allocates
  // nothing (for the allocation guard's counted sections).
  void reserve(std::size_t count, std::size_t bytes);
  void clear();
  // Appends a copy of the event; in the input list, keeps time order (a
  // later event of equal time stays after the earlier ones).
  void add(const clap::EventHeader* event);
  std::uint32_t size() const { return static_cast<std::uint32_t>(offsets_.size()); }
  const clap::EventHeader* at(std::uint32_t index) const;

 private:
  std::vector<std::uint64_t> storage_;  // 8-byte words
  std::vector<std::size_t> offsets_;    // word offset of each event, in list order
};

class InputEventList {
 public:
  InputEventList();
  EventStore& events() { return store_; }
  const clap::InputEvents* list() const { return &list_; }

 private:
  static std::uint32_t CLAP_CALL Size(const clap::InputEvents* list);
  static const clap::EventHeader* CLAP_CALL Get(const clap::InputEvents* list, std::uint32_t index);
  EventStore store_;
  clap::InputEvents list_{};
};

class OutputEventList {
 public:
  OutputEventList();
  EventStore& events() { return store_; }
  const clap::OutputEvents* list() const { return &list_; }
  // Pushes that arrived out of time order (the format forbids them).
  int outOfOrder() const { return outOfOrder_; }
  void clear() {
    store_.clear();
    outOfOrder_ = 0;
    lastTime_ = 0;
  }

 private:
  static bool CLAP_CALL TryPush(const clap::OutputEvents* list, const clap::EventHeader* event);
  EventStore store_;
  clap::OutputEvents list_{};
  int outOfOrder_ = 0;
  std::uint32_t lastTime_ = 0;
};

// Header and MIDI event makers.
clap::EventHeader eventHeader(std::uint16_t type, std::uint32_t size, std::uint32_t time);
clap::EventMidi midiEvent(std::uint32_t time, std::uint8_t status, std::uint8_t data1,
                          std::uint8_t data2);
clap::EventParamValue paramValueEvent(std::uint32_t time, clap::Id id, double value);
clap::EventNote noteEvent(std::uint16_t type, std::uint32_t time, int key, double velocity);

// A stream writing into bytes, taking at most maxPerCall bytes a call, and
// failing (-1) once failAfter bytes are written (negative: never).
class MemoryOStream {
 public:
  explicit MemoryOStream(std::size_t maxPerCall = 0, long long failAfter = -1);
  const clap::OStream* stream() const { return &stream_; }
  std::vector<std::uint8_t> bytes;

 private:
  static std::int64_t CLAP_CALL Write(const clap::OStream* stream, const void* buffer,
                                      std::uint64_t size);
  std::size_t maxPerCall_;
  long long failAfter_;
  clap::OStream stream_{};
};

// A stream reading from bytes, giving at most maxPerCall bytes a call;
// failAt >= 0 makes the call that reaches that position fail (-1).
class MemoryIStream {
 public:
  explicit MemoryIStream(std::vector<std::uint8_t> data, std::size_t maxPerCall = 0,
                         long long failAt = -1);
  const clap::IStream* stream() const { return &stream_; }
  // Bytes the plug-in asked for in its largest single read.
  std::uint64_t largestRequest() const { return largestRequest_; }

 private:
  static std::int64_t CLAP_CALL Read(const clap::IStream* stream, void* buffer, std::uint64_t size);
  std::vector<std::uint8_t> data_;
  std::size_t position_ = 0;
  std::size_t maxPerCall_;
  long long failAt_;
  std::uint64_t largestRequest_ = 0;
  clap::IStream stream_{};
};

}  // namespace claphost
