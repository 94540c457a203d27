#include "Vst2TestPlug.h"

#include <cstring>

namespace testplug {

TestHost* TestHost::current = nullptr;

vst::intptr VST_CALL TestHost::Callback(vst::AEffect*, vst::int32 opcode, vst::int32 index,
                                        vst::intptr value, void* ptr, float opt) {
  TestHost* h = current;
  if (!h) return 0;
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterAutomate:
      h->automation.emplace_back(index, opt);
      return 0;
    case vst::audioMasterBeginEdit:
      h->beginEdits.push_back(index);
      return 0;
    case vst::audioMasterEndEdit:
      h->endEdits.push_back(index);
      return 0;
    case vst::audioMasterSizeWindow:
      h->sizeWindows.emplace_back(index, value);
      if (h->editRect)
        h->rectDuringSizeWindow.emplace_back(h->editRect->right - h->editRect->left,
                                             h->editRect->bottom - h->editRect->top);
      return h->sizeWindowAnswer;
    case vst::audioMasterWantMidi:
      ++h->wantMidiCalls;
      return 1;
    case vst::audioMasterGetTime:
      return h->hasTime ? reinterpret_cast<vst::intptr>(&h->time) : 0;
    case vst::audioMasterGetCurrentProcessLevel:
      return h->processLevel;
    case vst::audioMasterGetVendorString:
      ++h->vendorAsked;
      std::strcpy(static_cast<char*>(ptr), h->vendor.c_str());
      return 1;
    case vst::audioMasterGetProductString:
      ++h->productAsked;
      std::strcpy(static_cast<char*>(ptr), h->product.c_str());
      return 1;
    case vst::audioMasterGetVendorVersion:
      ++h->versionAsked;
      return h->vendorVersion;
    case vst::audioMasterProcessEvents: {
      const vst::VstEvents* events = static_cast<const vst::VstEvents*>(ptr);
      for (int i = 0; i < events->numEvents; ++i) {
        const vst::VstEvent* e = events->events[i];
        if (e->type == vst::kVstMidiType) {
          h->midiOut.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(e));
        } else if (e->type == vst::kVstSysExType) {
          const auto* s = reinterpret_cast<const vst::VstMidiSysexEvent*>(e);
          h->sysexOut.emplace_back(s->sysexDump, s->sysexDump + s->dumpBytes);
        }
      }
      return h->processEventsAnswer;
    }
    default:
      return 0;
  }
}

}  // namespace testplug
