// The host's side of the VST 3 interfaces, as a small test host needs it: a
// memory stream, parameter changes with fixed capacity, an event list, the
// host application, a component handler that records what the plug-in tells
// it, and (Linux) a plug frame with a run loop that the test pumps.
//
// Every object is reference counted as the interface demands; tests make
// them on the stack or with new and check the counts the plug-in leaves.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "plug/vst3/Vst3Interfaces.h"

namespace vst3host {

// FUnknown for one interface: queryInterface answers that interface and
// FUnknown; release deletes only objects made with `new` (heapAllocated).
template <class Interface>
class HostObject : public Interface {
 public:
  HostObject(const vst3::Uid& iid, bool heapAllocated) : iid_(iid), heap_(heapAllocated) {}
  virtual ~HostObject() = default;
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override {
    if (!obj) return vst3::kInvalidArgument;
    if (vst3::UidEquals(iid, vst3::iid::kFUnknown) || vst3::UidEquals(iid, iid_)) {
      *obj = static_cast<Interface*>(this);
      addRef();
      return vst3::kResultOk;
    }
    *obj = queryOther(iid);
    return *obj ? vst3::kResultOk : vst3::kNoInterface;
  }
  vst3::uint32 VST3_CALL addRef() override { return ++refs_; }
  vst3::uint32 VST3_CALL release() override {
    const vst3::uint32 left = --refs_;
    if (left == 0 && heap_) delete this;
    return left;
  }
  vst3::uint32 refCount() const { return refs_; }

 protected:
  // Other interfaces of the same object (addRef'd), or null.
  virtual void* queryOther(const vst3::TUID) { return nullptr; }

 private:
  vst3::Uid iid_;
  bool heap_;
  std::atomic<vst3::uint32> refs_{1};
};

// A stream over a byte vector; maxPiece limits what one read hands out
// (hosts may give state in small pieces).
class MemoryStream : public HostObject<vst3::IBStream> {
 public:
  MemoryStream() : HostObject(vst3::iid::kBStream, false) {}
  explicit MemoryStream(std::vector<std::uint8_t> bytes, int maxPiece = 0)
      : HostObject(vst3::iid::kBStream, false), bytes_(std::move(bytes)), maxPiece_(maxPiece) {}
  vst3::tresult VST3_CALL read(void* buffer, vst3::int32 numBytes,
                               vst3::int32* numBytesRead) override;
  vst3::tresult VST3_CALL write(void* buffer, vst3::int32 numBytes,
                                vst3::int32* numBytesWritten) override;
  vst3::tresult VST3_CALL seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
  vst3::tresult VST3_CALL tell(vst3::int64* pos) override;
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  void rewind() { position_ = 0; }
  std::size_t position() const { return position_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  int maxPiece_ = 0;
};

class ParamQueue : public HostObject<vst3::IParamValueQueue> {
 public:
  static constexpr int kCapacity = 64;
  ParamQueue() : HostObject(vst3::iid::kParamValueQueue, false) {}
  void reset(vst3::ParamID id) {
    id_ = id;
    count_ = 0;
  }
  vst3::ParamID VST3_CALL getParameterId() override { return id_; }
  vst3::int32 VST3_CALL getPointCount() override { return count_; }
  vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32* sampleOffset,
                                   vst3::ParamValue* value) override;
  vst3::tresult VST3_CALL addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                   vst3::int32* index) override;

 private:
  vst3::ParamID id_ = 0;
  int count_ = 0;
  vst3::int32 offsets_[kCapacity] = {};
  double values_[kCapacity] = {};
};

// Parameter changes of one block; no allocation after construction.
class ParamChanges : public HostObject<vst3::IParameterChanges> {
 public:
  static constexpr int kCapacity = 256;
  ParamChanges() : HostObject(vst3::iid::kParameterChanges, false) {}
  void clear() { count_ = 0; }
  // Adds a point to the queue of id (made when missing).
  void add(vst3::ParamID id, int offset, double value);
  // The value of the last point of id, or -1 when there is none.
  double last(vst3::ParamID id);
  vst3::int32 VST3_CALL getParameterCount() override { return count_; }
  vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override;
  vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID* id,
                                                     vst3::int32* index) override;

 private:
  ParamQueue queues_[kCapacity];
  int count_ = 0;
};

class EventList : public HostObject<vst3::IEventList> {
 public:
  static constexpr int kCapacity = 512;
  EventList() : HostObject(vst3::iid::kEventList, false) {}
  void clear() { count_ = 0; }
  void noteOn(int offset, int channel, int pitch, float velocity);
  void noteOff(int offset, int channel, int pitch);
  vst3::int32 VST3_CALL getEventCount() override { return count_; }
  vst3::tresult VST3_CALL getEvent(vst3::int32 index, vst3::Event* e) override;
  vst3::tresult VST3_CALL addEvent(vst3::Event* e) override;

 private:
  vst3::Event events_[kCapacity] = {};
  int count_ = 0;
};

class HostApplication : public HostObject<vst3::IHostApplication> {
 public:
  explicit HostApplication(std::string name)
      : HostObject(vst3::iid::kHostApplication, false), name_(std::move(name)) {}
  vst3::tresult VST3_CALL getName(vst3::String128 name) override;
  vst3::tresult VST3_CALL createInstance(vst3::TUID, vst3::TUID, void** obj) override {
    if (obj) *obj = nullptr;
    return vst3::kNoInterface;
  }

 private:
  std::string name_;
};

// What the plug-in told its host, in order: "begin 3", "perform 3 0.5",
// "end 3", "restart 4".
class ComponentHandler : public HostObject<vst3::IComponentHandler> {
 public:
  ComponentHandler() : HostObject(vst3::iid::kComponentHandler, false) {}
  vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override;
  vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override;
  vst3::tresult VST3_CALL restartComponent(vst3::int32 flags) override;
  std::vector<std::string> calls;
  // Begins without their end and ends without a begin so far.
  int openGestures = 0;
  int unpairedEnds = 0;
};

// UTF-16 to std::string (ASCII/UTF-8), for assertions.
std::string toUtf8(const vst3::char16* text);
std::u16string toUtf16(const std::string& text);

}  // namespace vst3host
