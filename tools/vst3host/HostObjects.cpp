#include "tools/vst3host/HostObjects.h"

#include <cstdio>
#include <cstring>

namespace vst3host {

using namespace vst3;

tresult VST3_CALL MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytesRead) *numBytesRead = 0;
  if (!buffer || numBytes < 0) return kInvalidArgument;
  std::size_t n = static_cast<std::size_t>(numBytes);
  if (maxPiece_ > 0 && n > static_cast<std::size_t>(maxPiece_))
    n = static_cast<std::size_t>(maxPiece_);
  if (position_ >= bytes_.size())
    n = 0;
  else if (n > bytes_.size() - position_)
    n = bytes_.size() - position_;
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  if (numBytesRead) *numBytesRead = static_cast<int32>(n);
  return kResultOk;
}

tresult VST3_CALL MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (!buffer || numBytes < 0) return kInvalidArgument;
  std::size_t n = static_cast<std::size_t>(numBytes);
  if (maxPiece_ > 0 && n > static_cast<std::size_t>(maxPiece_))
    n = static_cast<std::size_t>(maxPiece_);
  if (bytes_.size() < position_ + n) bytes_.resize(position_ + n);
  std::memcpy(bytes_.data() + position_, buffer, n);
  position_ += n;
  if (numBytesWritten) *numBytesWritten = static_cast<int32>(n);
  return kResultOk;
}

tresult VST3_CALL MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = mode == kIBSeekSet   ? 0
               : mode == kIBSeekCur ? static_cast<int64>(position_)
                                    : static_cast<int64>(bytes_.size());
  if (mode < kIBSeekSet || mode > kIBSeekEnd || base + pos < 0) return kInvalidArgument;
  position_ = static_cast<std::size_t>(base + pos);
  if (result) *result = static_cast<int64>(position_);
  return kResultOk;
}

tresult VST3_CALL MemoryStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = static_cast<int64>(position_);
  return kResultOk;
}

tresult VST3_CALL ParamQueue::getPoint(int32 index, int32* sampleOffset, ParamValue* value) {
  if (index < 0 || index >= count_ || !sampleOffset || !value) return kInvalidArgument;
  *sampleOffset = offsets_[index];
  *value = values_[index];
  return kResultOk;
}

tresult VST3_CALL ParamQueue::addPoint(int32 sampleOffset, ParamValue value, int32* index) {
  if (count_ >= kCapacity) return kResultFalse;
  // Points stay sorted; a point at an existing offset replaces it.
  int i = count_;
  while (i > 0 && offsets_[i - 1] > sampleOffset) --i;
  if (i > 0 && offsets_[i - 1] == sampleOffset) {
    values_[i - 1] = value;
    if (index) *index = i - 1;
    return kResultOk;
  }
  for (int k = count_; k > i; --k) {
    offsets_[k] = offsets_[k - 1];
    values_[k] = values_[k - 1];
  }
  offsets_[i] = sampleOffset;
  values_[i] = value;
  ++count_;
  if (index) *index = i;
  return kResultOk;
}

void ParamChanges::add(ParamID id, int offset, double value) {
  int32 index = 0;
  if (IParamValueQueue* queue = addParameterData(&id, &index))
    queue->addPoint(offset, value, &index);
}

double ParamChanges::last(ParamID id) {
  for (int i = 0; i < count_; ++i) {
    if (queues_[i].getParameterId() != id || queues_[i].getPointCount() == 0) continue;
    int32 offset = 0;
    double value = -1.0;
    queues_[i].getPoint(queues_[i].getPointCount() - 1, &offset, &value);
    return value;
  }
  return -1.0;
}

IParamValueQueue* VST3_CALL ParamChanges::getParameterData(int32 index) {
  return index >= 0 && index < count_ ? &queues_[index] : nullptr;
}

IParamValueQueue* VST3_CALL ParamChanges::addParameterData(const ParamID* id, int32* index) {
  if (!id) return nullptr;
  for (int i = 0; i < count_; ++i) {
    if (queues_[i].getParameterId() == *id) {
      if (index) *index = i;
      return &queues_[i];
    }
  }
  if (count_ >= kCapacity) return nullptr;
  queues_[count_].reset(*id);
  if (index) *index = count_;
  return &queues_[count_++];
}

void EventList::noteOn(int offset, int channel, int pitch, float velocity) {
  Event e{};
  e.sampleOffset = offset;
  e.type = kNoteOnEvent;
  e.noteOn.channel = static_cast<int16>(channel);
  e.noteOn.pitch = static_cast<int16>(pitch);
  e.noteOn.velocity = velocity;
  e.noteOn.noteId = -1;
  addEvent(&e);
}

void EventList::noteOff(int offset, int channel, int pitch) {
  Event e{};
  e.sampleOffset = offset;
  e.type = kNoteOffEvent;
  e.noteOff.channel = static_cast<int16>(channel);
  e.noteOff.pitch = static_cast<int16>(pitch);
  e.noteOff.noteId = -1;
  addEvent(&e);
}

tresult VST3_CALL EventList::getEvent(int32 index, Event* e) {
  if (!e || index < 0 || index >= count_) return kInvalidArgument;
  *e = events_[index];
  return kResultOk;
}

tresult VST3_CALL EventList::addEvent(Event* e) {
  if (!e || count_ >= kCapacity) return kResultFalse;
  events_[count_++] = *e;
  return kResultOk;
}

tresult VST3_CALL HostApplication::getName(String128 name) {
  if (!name) return kInvalidArgument;
  std::u16string text = toUtf16(name_);
  if (text.size() > 127) text.resize(127);
  std::memcpy(name, text.c_str(), (text.size() + 1) * sizeof(char16));
  return kResultOk;
}

tresult VST3_CALL ComponentHandler::beginEdit(ParamID id) {
  ++openGestures;
  calls.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult VST3_CALL ComponentHandler::performEdit(ParamID id, ParamValue value) {
  char text[64];
  std::snprintf(text, sizeof text, "perform %u %.6f", static_cast<unsigned>(id), value);
  calls.push_back(text);
  return kResultOk;
}

tresult VST3_CALL ComponentHandler::endEdit(ParamID id) {
  if (openGestures > 0)
    --openGestures;
  else
    ++unpairedEnds;
  calls.push_back("end " + std::to_string(id));
  return kResultOk;
}

tresult VST3_CALL ComponentHandler::restartComponent(int32 flags) {
  calls.push_back("restart " + std::to_string(flags));
  return kResultOk;
}

std::string toUtf8(const char16* text) {
  std::string out;
  for (std::size_t i = 0; text && text[i] && i < 4096; ++i) {
    const unsigned c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string toUtf16(const std::string& text) {
  std::u16string out;
  for (unsigned char c : text) out += static_cast<char16_t>(c);  // ASCII texts only
  return out;
}

}  // namespace vst3host
