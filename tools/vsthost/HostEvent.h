// One MIDI or SysEx event as the test host sends it to a plug-in
// (effProcessEvents) or records it from one (audioMasterProcessEvents).
// Events are kept by value: a plug-in's event list usually lives on its stack
// and is gone once the callback returns.
#pragma once

#include <cstdint>
#include <vector>

#include "plug/vst2/VstAbi.h"

namespace vsthost {

struct HostEvent {
  vst::int32 type = vst::kVstMidiType;
  vst::int32 byteSize = 0;
  vst::int32 deltaFrames = 0;
  vst::int32 flags = 0;
  // MIDI: the four MIDI bytes. SysEx: the dump. Other types: the 16 data bytes
  // of the generic event record.
  std::vector<std::uint8_t> bytes;

  // A three-byte MIDI message at a frame offset within the next block.
  static HostEvent midi(vst::int32 deltaFrames, std::uint8_t status, std::uint8_t data1,
                        std::uint8_t data2);
  // A SysEx message (bytes including F0 ... F7) at a frame offset.
  static HostEvent sysEx(vst::int32 deltaFrames, const std::vector<std::uint8_t>& dump);

  // Copies an event of a plug-in's list. Counts and pointers in it are
  // trusted only as far as maxDumpBytes; a null event gives type 0.
  static HostEvent fromVst(const vst::VstEvent* event, vst::int32 maxDumpBytes);
};

// An event list in the interface's layout that stays valid while this object
// lives: the records, the pointer array and the SysEx dumps are owned here.
class HostEventList {
 public:
  explicit HostEventList(const std::vector<HostEvent>& events);
  virtual ~HostEventList();

  HostEventList(const HostEventList&) = delete;
  HostEventList& operator=(const HostEventList&) = delete;

  // The list to pass as ptr of effProcessEvents.
  vst::VstEvents* list() { return reinterpret_cast<vst::VstEvents*>(header_.data()); }

 private:
  std::vector<vst::VstMidiEvent> midi_;
  std::vector<vst::VstMidiSysexEvent> sysEx_;
  std::vector<std::vector<char>> dumps_;
  // VstEvents with numEvents pointers; intptr elements keep it aligned.
  std::vector<vst::intptr> header_;
};

}  // namespace vsthost
