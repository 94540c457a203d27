#include "tools/vsthost/HostEvent.h"

#include <algorithm>
#include <cstring>

namespace vsthost {

HostEvent HostEvent::midi(vst::int32 deltaFrames, std::uint8_t status, std::uint8_t data1,
                          std::uint8_t data2) {
  HostEvent event;
  event.type = vst::kVstMidiType;
  event.byteSize = static_cast<vst::int32>(sizeof(vst::VstMidiEvent));
  event.deltaFrames = deltaFrames;
  event.bytes = {status, data1, data2, 0};
  return event;
}

HostEvent HostEvent::sysEx(vst::int32 deltaFrames, const std::vector<std::uint8_t>& dump) {
  HostEvent event;
  event.type = vst::kVstSysExType;
  event.byteSize = static_cast<vst::int32>(sizeof(vst::VstMidiSysexEvent));
  event.deltaFrames = deltaFrames;
  event.bytes = dump;
  return event;
}

HostEvent HostEvent::fromVst(const vst::VstEvent* event, vst::int32 maxDumpBytes) {
  HostEvent copy;
  if (event == nullptr) {
    copy.type = 0;
    return copy;
  }
  copy.type = event->type;
  copy.byteSize = event->byteSize;
  copy.deltaFrames = event->deltaFrames;
  copy.flags = event->flags;
  if (event->type == vst::kVstMidiType) {
    const auto* midiEvent = reinterpret_cast<const vst::VstMidiEvent*>(event);
    copy.bytes.assign(midiEvent->midiData, midiEvent->midiData + 4);
  } else if (event->type == vst::kVstSysExType) {
    const auto* sysExEvent = reinterpret_cast<const vst::VstMidiSysexEvent*>(event);
    if (sysExEvent->sysexDump != nullptr && sysExEvent->dumpBytes > 0) {
      const vst::int32 count = std::min(sysExEvent->dumpBytes, maxDumpBytes);
      copy.bytes.assign(sysExEvent->sysexDump, sysExEvent->sysexDump + count);
    }
  } else {
    copy.bytes.assign(event->data, event->data + sizeof event->data);
  }
  return copy;
}

HostEventList::HostEventList(const std::vector<HostEvent>& events) {
  // Reserve first: the pointer array points into these vectors.
  midi_.reserve(events.size());
  sysEx_.reserve(events.size());
  dumps_.reserve(events.size());
  std::vector<vst::VstEvent*> pointers;
  for (const HostEvent& event : events) {
    if (event.type == vst::kVstSysExType) {
      dumps_.emplace_back(event.bytes.begin(), event.bytes.end());
      vst::VstMidiSysexEvent record;
      std::memset(&record, 0, sizeof record);
      record.type = vst::kVstSysExType;
      record.byteSize = event.byteSize;
      record.deltaFrames = event.deltaFrames;
      record.flags = event.flags;
      record.dumpBytes = static_cast<vst::int32>(dumps_.back().size());
      record.sysexDump = dumps_.back().empty() ? nullptr : dumps_.back().data();
      sysEx_.push_back(record);
      pointers.push_back(reinterpret_cast<vst::VstEvent*>(&sysEx_.back()));
    } else {
      vst::VstMidiEvent record;
      std::memset(&record, 0, sizeof record);
      record.type = event.type;
      record.byteSize = event.byteSize;
      record.deltaFrames = event.deltaFrames;
      record.flags = event.flags;
      for (std::size_t i = 0; i < 4 && i < event.bytes.size(); ++i) {
        record.midiData[i] = static_cast<char>(event.bytes[i]);
      }
      midi_.push_back(record);
      pointers.push_back(reinterpret_cast<vst::VstEvent*>(&midi_.back()));
    }
  }
  const std::size_t headerWords = offsetof(vst::VstEvents, events) / sizeof(vst::intptr);
  header_.assign(headerWords + std::max<std::size_t>(pointers.size(), 2), 0);
  vst::VstEvents* eventList = list();
  eventList->numEvents = static_cast<vst::int32>(pointers.size());
  eventList->reserved = 0;
  for (std::size_t i = 0; i < pointers.size(); ++i) {
    header_[headerWords + i] = reinterpret_cast<vst::intptr>(pointers[i]);
  }
}

HostEventList::~HostEventList() = default;

}  // namespace vsthost
