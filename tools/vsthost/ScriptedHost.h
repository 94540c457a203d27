// The host side of the plug-in's callback: answers that a test can script and
// a record of everything the plug-in told its host.
//
// Answers:
//   audioMasterVersion                 2400
//   audioMasterGetVendorString         vendor text (default "Quillet"), copied
//   audioMasterGetProductString        product text (default "quillet-host"), copied
//   audioMasterGetVendorVersion        vendor version (default 10000)
//   audioMasterGetTime                 address of the host's time record, or 0
//                                      when the test has cleared it
//   audioMasterGetCurrentProcessLevel  settable (default 0, unknown)
//   audioMasterProcessEvents           settable (default 1, accepted)
//   anything else                      0
// Texts are copied with the interface's documented bound of 64 bytes.
//
// Every call may come from any thread (the plug-in calls back from the audio
// thread during processing): records are guarded by a mutex, which is fine in
// a test host though a real host would not lock there.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "plug/vst2/VstAbi.h"
#include "tools/vsthost/HostEvent.h"

namespace vsthost {

// One call received from the plug-in.
struct HostCall {
  vst::int32 opcode;
  vst::int32 index;
  vst::intptr value;
  float opt;
  bool hadPointer;
};

struct AutomationRecord {
  vst::int32 index;
  float value;
};

class ScriptedHost {
 public:
  // Largest SysEx dump copied from the plug-in; longer ones are cut there.
  static constexpr vst::int32 kMaxRecordedDumpBytes = 1 << 20;
  // Longest text written into a plug-in's buffer, terminator included.
  static constexpr int kMaxAnswerTextBytes = vst::kMaxVendorStringLength;
  static constexpr vst::intptr kDefaultVendorVersion = 10000;

  ScriptedHost();
  virtual ~ScriptedHost();

  ScriptedHost(const ScriptedHost&) = delete;
  ScriptedHost& operator=(const ScriptedHost&) = delete;

  // Answers one callback of the plug-in and records it. effect is the record
  // the plug-in passed (possibly not yet returned from its entry point).
  // [any thread]
  virtual vst::intptr onCallback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                 vst::intptr value, void* ptr, float opt);

  // --- Script ------------------------------------------------------------
  void setVendorString(const std::string& text);
  void setProductString(const std::string& text);
  void setVendorVersion(vst::intptr version);
  // The record answered to audioMasterGetTime. The plug-in reads it without a
  // lock: change it only while no processing runs.
  void setTimeInfo(const vst::VstTimeInfo& info);
  // Simulates a host without time information: audioMasterGetTime answers 0.
  void clearTimeInfo();
  void setProcessLevel(vst::int32 level);
  void setProcessEventsAnswer(vst::intptr answer);

  // --- Records (copies; safe while the plug-in runs) ----------------------
  std::vector<HostCall> calls() const;
  std::vector<AutomationRecord> automation() const;
  std::vector<vst::int32> beginEdits() const;
  std::vector<vst::int32> endEdits() const;
  int updateDisplayCount() const;
  int wantMidiCount() const;
  std::vector<HostEvent> events() const;
  // The filter (wanted flags) of the last audioMasterGetTime, or -1.
  vst::intptr lastTimeFilter() const;
  // How many calls of a given opcode are in the call log. The log keeps the
  // first 100000 calls; the counters above go on counting after that.
  int countOf(vst::int32 opcode) const;
  void clearRecords();

 private:
  vst::intptr answerLocked(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr);
  void recordEventsLocked(const void* ptr);

  mutable std::mutex mutex_;
  std::string vendor_;
  std::string product_;
  vst::intptr vendorVersion_;
  bool hasTimeInfo_;
  vst::VstTimeInfo timeInfo_;
  vst::int32 processLevel_;
  vst::intptr processEventsAnswer_;

  std::vector<HostCall> calls_;
  std::vector<AutomationRecord> automation_;
  std::vector<vst::int32> beginEdits_;
  std::vector<vst::int32> endEdits_;
  int updateDisplayCount_;
  int wantMidiCount_;
  std::vector<HostEvent> events_;
  vst::intptr lastTimeFilter_;
};

}  // namespace vsthost
