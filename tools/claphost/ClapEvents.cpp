#include "tools/claphost/ClapEvents.h"

#include <algorithm>
#include <cstring>

namespace claphost {

void EventStore::reserve(std::size_t count, std::size_t bytes) {
  storage_.reserve(storage_.size() + count * ((bytes + 7) / 8));
  offsets_.reserve(offsets_.size() + count);
}

void EventStore::clear() {
  storage_.clear();
  offsets_.clear();
}

void EventStore::add(const clap::EventHeader* event) {
  const std::size_t words = (event->size + 7) / 8;
  const std::size_t offset = storage_.size();
  storage_.resize(offset + words, 0);
  std::memcpy(storage_.data() + offset, event, event->size);
  // Time order: after every event not later than this one.
  auto position = offsets_.end();
  while (position != offsets_.begin() &&
         reinterpret_cast<const clap::EventHeader*>(storage_.data() + *(position - 1))->time >
             event->time)
    --position;
  offsets_.insert(position, offset);
}

const clap::EventHeader* EventStore::at(std::uint32_t index) const {
  if (index >= offsets_.size()) return nullptr;
  return reinterpret_cast<const clap::EventHeader*>(storage_.data() + offsets_[index]);
}

InputEventList::InputEventList() {
  list_.ctx = this;
  list_.size = Size;
  list_.get = Get;
}

std::uint32_t CLAP_CALL InputEventList::Size(const clap::InputEvents* list) {
  return static_cast<InputEventList*>(list->ctx)->store_.size();
}

const clap::EventHeader* CLAP_CALL InputEventList::Get(const clap::InputEvents* list,
                                                       std::uint32_t index) {
  return static_cast<InputEventList*>(list->ctx)->store_.at(index);
}

OutputEventList::OutputEventList() {
  list_.ctx = this;
  list_.tryPush = TryPush;
}

bool CLAP_CALL OutputEventList::TryPush(const clap::OutputEvents* list,
                                        const clap::EventHeader* event) {
  auto* self = static_cast<OutputEventList*>(list->ctx);
  if (!event || event->size < sizeof(clap::EventHeader)) return false;
  if (event->time < self->lastTime_) ++self->outOfOrder_;
  self->lastTime_ = event->time;
  self->store_.add(event);
  return true;
}

clap::EventHeader eventHeader(std::uint16_t type, std::uint32_t size, std::uint32_t time) {
  clap::EventHeader header{};
  header.size = size;
  header.time = time;
  header.spaceId = clap::kCoreEventSpace;
  header.type = type;
  return header;
}

clap::EventMidi midiEvent(std::uint32_t time, std::uint8_t status, std::uint8_t data1,
                          std::uint8_t data2) {
  clap::EventMidi event{};
  event.header = eventHeader(clap::kEventMidi, sizeof event, time);
  event.data[0] = status;
  event.data[1] = data1;
  event.data[2] = data2;
  return event;
}

clap::EventParamValue paramValueEvent(std::uint32_t time, clap::Id id, double value) {
  clap::EventParamValue event{};
  event.header = eventHeader(clap::kEventParamValue, sizeof event, time);
  event.paramId = id;
  event.noteId = -1;
  event.portIndex = -1;
  event.channel = -1;
  event.key = -1;
  event.value = value;
  return event;
}

clap::EventNote noteEvent(std::uint16_t type, std::uint32_t time, int key, double velocity) {
  clap::EventNote event{};
  event.header = eventHeader(type, sizeof event, time);
  event.noteId = -1;
  event.portIndex = 0;
  event.channel = 0;
  event.key = static_cast<std::int16_t>(key);
  event.velocity = velocity;
  return event;
}

MemoryOStream::MemoryOStream(std::size_t maxPerCall, long long failAfter)
    : maxPerCall_(maxPerCall), failAfter_(failAfter) {
  stream_.ctx = this;
  stream_.write = Write;
}

std::int64_t CLAP_CALL MemoryOStream::Write(const clap::OStream* stream, const void* buffer,
                                            std::uint64_t size) {
  auto* self = static_cast<MemoryOStream*>(stream->ctx);
  if (self->failAfter_ >= 0 && static_cast<long long>(self->bytes.size()) >= self->failAfter_)
    return -1;
  std::uint64_t n = size;
  if (self->maxPerCall_ > 0 && n > self->maxPerCall_) n = self->maxPerCall_;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  self->bytes.insert(self->bytes.end(), bytes, bytes + n);
  return static_cast<std::int64_t>(n);
}

MemoryIStream::MemoryIStream(std::vector<std::uint8_t> data, std::size_t maxPerCall,
                             long long failAt)
    : data_(std::move(data)), maxPerCall_(maxPerCall), failAt_(failAt) {
  stream_.ctx = this;
  stream_.read = Read;
}

std::int64_t CLAP_CALL MemoryIStream::Read(const clap::IStream* stream, void* buffer,
                                           std::uint64_t size) {
  auto* self = static_cast<MemoryIStream*>(stream->ctx);
  self->largestRequest_ = std::max(self->largestRequest_, size);
  std::uint64_t n = std::min<std::uint64_t>(size, self->data_.size() - self->position_);
  if (self->maxPerCall_ > 0 && n > self->maxPerCall_) n = self->maxPerCall_;
  if (self->failAt_ >= 0 && static_cast<long long>(self->position_ + n) >= self->failAt_ &&
      static_cast<long long>(self->position_) <= self->failAt_ && n > 0)
    return -1;
  std::memcpy(buffer, self->data_.data() + self->position_, static_cast<std::size_t>(n));
  self->position_ += static_cast<std::size_t>(n);
  return static_cast<std::int64_t>(n);
}

}  // namespace claphost
