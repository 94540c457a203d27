#include "tools/vsthost/ScriptedHost.h"

#include <algorithm>
#include <cstring>

namespace vsthost {

namespace {

// Calls kept in the log; a long render asks for MIDI every block, so the log is
// bounded (the counters go on counting).
constexpr std::size_t kMaxLoggedCalls = 100000;
// Upper bound on a plug-in's event count before the list is trusted.
constexpr vst::int32 kMaxEventsPerList = 65536;

void copyText(const std::string& text, void* ptr, int capacity) {
  if (ptr == nullptr || capacity <= 0) {
    return;
  }
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  char* out = static_cast<char*>(ptr);
  std::memcpy(out, text.data(), count);
  out[count] = '\0';
}

}  // namespace

ScriptedHost::ScriptedHost()
    : vendor_("Quillet"),
      product_("quillet-host"),
      vendorVersion_(kDefaultVendorVersion),
      hasTimeInfo_(true),
      timeInfo_(),
      processLevel_(0),
      processEventsAnswer_(1),
      updateDisplayCount_(0),
      wantMidiCount_(0),
      lastTimeFilter_(-1) {
  std::memset(&timeInfo_, 0, sizeof timeInfo_);
  timeInfo_.sampleRate = 44100.0;
  timeInfo_.tempo = 120.0;
  timeInfo_.timeSigNumerator = 4;
  timeInfo_.timeSigDenominator = 4;
  timeInfo_.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid;
}

ScriptedHost::~ScriptedHost() = default;

vst::intptr ScriptedHost::onCallback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                     vst::intptr value, void* ptr, float opt) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (calls_.size() < kMaxLoggedCalls) {
    calls_.push_back(HostCall{opcode, index, value, opt, ptr != nullptr});
  }
  switch (opcode) {
    case vst::audioMasterAutomate:
      automation_.push_back(AutomationRecord{index, opt});
      break;
    case vst::audioMasterBeginEdit:
      beginEdits_.push_back(index);
      break;
    case vst::audioMasterEndEdit:
      endEdits_.push_back(index);
      break;
    case vst::audioMasterUpdateDisplay:
      ++updateDisplayCount_;
      break;
    case vst::audioMasterWantMidi:
      ++wantMidiCount_;
      break;
    case vst::audioMasterProcessEvents:
      recordEventsLocked(ptr);
      break;
    case vst::audioMasterGetTime:
      lastTimeFilter_ = value;
      break;
    default:
      break;
  }
  return answerLocked(opcode, index, value, ptr);
}

vst::intptr ScriptedHost::answerLocked(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                       void* ptr) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterGetVendorString:
      copyText(vendor_, ptr, kMaxAnswerTextBytes);
      return ptr != nullptr ? 1 : 0;
    case vst::audioMasterGetProductString:
      copyText(product_, ptr, kMaxAnswerTextBytes);
      return ptr != nullptr ? 1 : 0;
    case vst::audioMasterGetVendorVersion:
      return vendorVersion_;
    case vst::audioMasterGetTime:
      return hasTimeInfo_ ? reinterpret_cast<vst::intptr>(&timeInfo_) : 0;
    case vst::audioMasterGetCurrentProcessLevel:
      return processLevel_;
    case vst::audioMasterProcessEvents:
      return ptr != nullptr ? processEventsAnswer_ : 0;
    default:
      return 0;
  }
}

void ScriptedHost::recordEventsLocked(const void* ptr) {
  if (ptr == nullptr) {
    return;
  }
  const auto* list = static_cast<const vst::VstEvents*>(ptr);
  const vst::int32 count = std::min(list->numEvents, kMaxEventsPerList);
  for (vst::int32 i = 0; i < count; ++i) {
    // The list really holds numEvents pointers, more than the two declared.
    const vst::VstEvent* event = list->events[i];
    if (event != nullptr) {
      events_.push_back(HostEvent::fromVst(event, kMaxRecordedDumpBytes));
    }
  }
}

void ScriptedHost::setVendorString(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  vendor_ = text;
}

void ScriptedHost::setProductString(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  product_ = text;
}

void ScriptedHost::setVendorVersion(vst::intptr version) {
  std::lock_guard<std::mutex> lock(mutex_);
  vendorVersion_ = version;
}

void ScriptedHost::setTimeInfo(const vst::VstTimeInfo& info) {
  std::lock_guard<std::mutex> lock(mutex_);
  timeInfo_ = info;
  hasTimeInfo_ = true;
}

void ScriptedHost::clearTimeInfo() {
  std::lock_guard<std::mutex> lock(mutex_);
  hasTimeInfo_ = false;
}

void ScriptedHost::setProcessLevel(vst::int32 level) {
  std::lock_guard<std::mutex> lock(mutex_);
  processLevel_ = level;
}

void ScriptedHost::setProcessEventsAnswer(vst::intptr answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  processEventsAnswer_ = answer;
}

std::vector<HostCall> ScriptedHost::calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

std::vector<AutomationRecord> ScriptedHost::automation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return automation_;
}

std::vector<vst::int32> ScriptedHost::beginEdits() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return beginEdits_;
}

std::vector<vst::int32> ScriptedHost::endEdits() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return endEdits_;
}

int ScriptedHost::updateDisplayCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return updateDisplayCount_;
}

int ScriptedHost::wantMidiCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return wantMidiCount_;
}

std::vector<HostEvent> ScriptedHost::events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

vst::intptr ScriptedHost::lastTimeFilter() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastTimeFilter_;
}

int ScriptedHost::countOf(vst::int32 opcode) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int count = 0;
  for (const HostCall& call : calls_) {
    if (call.opcode == opcode) {
      ++count;
    }
  }
  return count;
}

void ScriptedHost::clearRecords() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
  automation_.clear();
  beginEdits_.clear();
  endEdits_.clear();
  updateDisplayCount_ = 0;
  wantMidiCount_ = 0;
  events_.clear();
  lastTimeFilter_ = -1;
}

}  // namespace vsthost
