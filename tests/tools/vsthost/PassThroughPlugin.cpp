// A minimal VST 2.4 pass-through plug-in on plug/vst2/VstAbi.h alone: the fixture
// the test host is checked against. Two inputs, two outputs, three parameters
// kept as plain floats, one program, the parameters as its chunk.
//
// Besides passing audio through it exercises the host callback on demand, via
// effVendorSpecific with the fixture's own indices (FixtureRequest), and it
// echoes every MIDI event it receives back to the host from a list on its
// stack that it overwrites right after the call, so a host that keeps
// pointers instead of copies is caught.
//
// Build variants (compile definitions):
//   FIXTURE_ENTRY_MAIN_ONLY  exports only "main", not "VSTPluginMain"
//   FIXTURE_NO_ENTRY         exports neither
#include <cstring>
#include <new>

#include "plug/vst2/VstAbi.h"

#if defined(_WIN32)
// The Windows builds export through a module-definition file per variant
// (PassThroughFixture*.def), which also gives fixtureMainEntry its name main.
#define FIXTURE_EXPORT extern "C"
#else
#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using vst::AEffect;
using vst::int32;
using vst::intptr;

constexpr int32 kNumParams = 3;
constexpr int32 kNumChannels = 2;

// effVendorSpecific indices understood by this fixture.
enum FixtureRequest : int32 {
  // Copies into ptr the vendor string the host gave during creation; answers
  // the host version seen then.
  kFixtureCreationVendor = 0x7E570001,
  // beginEdit(value), automate(value, opt), endEdit(value), updateDisplay.
  kFixtureGesture = 0x7E570002,
  // Asks for the time record with filter kVstTempoValid: tempo x 1000 when the
  // record has a valid tempo, -1 without a record, -2 without the flag.
  kFixtureTempo = 0x7E570003,
  // The host's current process level.
  kFixtureProcessLevel = 0x7E570004,
  // Sends the SysEx dump F0 7D 01 02 03 F7 at delta frames = value.
  kFixtureSendSysEx = 0x7E570005,
};

struct Fixture {
  AEffect effect;
  vst::HostCallback host;
  float params[kNumParams];
  char creationVendor[vst::kMaxVendorStringLength];
  intptr creationHostVersion;
};

Fixture* fixtureOf(AEffect* effect) { return static_cast<Fixture*>(effect->object); }

void copyText(char* out, const char* text, std::size_t capacity) {
  if (out == nullptr) {
    return;
  }
  const std::size_t length = strnlen(text, capacity - 1);
  std::memcpy(out, text, length);
  out[length] = '\0';
}

intptr callHost(Fixture* fixture, int32 opcode, int32 index = 0, intptr value = 0,
                void* ptr = nullptr, float opt = 0.0f) {
  return fixture->host(&fixture->effect, opcode, index, value, ptr, opt);
}

void echoEvents(Fixture* fixture, const vst::VstEvents* events) {
  for (int32 i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = events->events[i];
    if (event == nullptr || event->type != vst::kVstMidiType) {
      continue;
    }
    vst::VstMidiEvent copy;
    std::memcpy(&copy, event, sizeof copy);
    vst::VstEvents list;
    std::memset(&list, 0, sizeof list);
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst::VstEvent*>(&copy);
    callHost(fixture, vst::audioMasterProcessEvents, 0, 0, &list);
    std::memset(&copy, 0xEE, sizeof copy);
  }
}

void sendSysEx(Fixture* fixture, int32 deltaFrames) {
  char dump[6] = {static_cast<char>(0xF0), 0x7D, 0x01, 0x02, 0x03, static_cast<char>(0xF7)};
  vst::VstMidiSysexEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = vst::kVstSysExType;
  event.byteSize = static_cast<int32>(sizeof event);
  event.deltaFrames = deltaFrames;
  event.dumpBytes = static_cast<int32>(sizeof dump);
  event.sysexDump = dump;
  vst::VstEvents list;
  std::memset(&list, 0, sizeof list);
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  callHost(fixture, vst::audioMasterProcessEvents, 0, 0, &list);
  std::memset(dump, 0, sizeof dump);
}

intptr vendorRequest(Fixture* fixture, int32 index, intptr value, void* ptr, float opt) {
  switch (index) {
    case kFixtureCreationVendor:
      if (ptr != nullptr) {
        copyText(static_cast<char*>(ptr), fixture->creationVendor, sizeof fixture->creationVendor);
      }
      return fixture->creationHostVersion;
    case kFixtureGesture: {
      const int32 param = static_cast<int32>(value);
      callHost(fixture, vst::audioMasterBeginEdit, param);
      callHost(fixture, vst::audioMasterAutomate, param, 0, nullptr, opt);
      callHost(fixture, vst::audioMasterEndEdit, param);
      callHost(fixture, vst::audioMasterUpdateDisplay);
      return 1;
    }
    case kFixtureTempo: {
      const auto* info = reinterpret_cast<const vst::VstTimeInfo*>(
          callHost(fixture, vst::audioMasterGetTime, 0, vst::kVstTempoValid));
      if (info == nullptr) {
        return -1;
      }
      if ((info->flags & vst::kVstTempoValid) == 0) {
        return -2;
      }
      return static_cast<intptr>(info->tempo * 1000.0 + 0.5);
    }
    case kFixtureProcessLevel:
      return callHost(fixture, vst::audioMasterGetCurrentProcessLevel);
    case kFixtureSendSysEx:
      sendSysEx(fixture, static_cast<int32>(value));
      return 1;
    default:
      return 0;
  }
}

intptr VST_CALL dispatcher(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr,
                           float opt) {
  Fixture* fixture = fixtureOf(effect);
  switch (opcode) {
    case vst::effClose:
      delete fixture;
      return 0;
    case vst::effGetParamName:
      if (ptr != nullptr && index >= 0 && index < kNumParams) {
        const char* names[kNumParams] = {"Alpha", "Beta", "Gamma"};
        copyText(static_cast<char*>(ptr), names[index], vst::kMaxParamStringLength);
      }
      return 0;
    case vst::effGetEffectName:
      copyText(static_cast<char*>(ptr), "PassThrough", vst::kMaxEffectNameLength);
      return 1;
    case vst::effGetVendorString:
      copyText(static_cast<char*>(ptr), "Quillet tests", vst::kMaxVendorStringLength);
      return 1;
    case vst::effGetChunk:
      if (ptr == nullptr) {
        return 0;
      }
      *static_cast<void**>(ptr) = fixture->params;
      return static_cast<intptr>(sizeof fixture->params);
    case vst::effSetChunk:
      if (ptr == nullptr || value != static_cast<intptr>(sizeof fixture->params)) {
        return 0;
      }
      std::memcpy(fixture->params, ptr, sizeof fixture->params);
      return 1;
    case vst::effProcessEvents:
      if (ptr == nullptr) {
        return 0;
      }
      echoEvents(fixture, static_cast<const vst::VstEvents*>(ptr));
      return 1;
    case vst::effVendorSpecific:
      return vendorRequest(fixture, index, value, ptr, opt);
    case vst::effCanDo:
      return ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), "receiveVstEvents") == 0
                 ? 1
                 : 0;
    case vst::effGetVstVersion:
      return vst::kVstVersion;
    default:
      return 0;
  }
}

template <typename Sample>
void passThrough(AEffect* effect, Sample** inputs, Sample** outputs, int32 frames, bool add) {
  callHost(fixtureOf(effect), vst::audioMasterWantMidi);
  for (int32 c = 0; c < kNumChannels; ++c) {
    for (int32 i = 0; i < frames; ++i) {
      outputs[c][i] = add ? outputs[c][i] + inputs[c][i] : inputs[c][i];
    }
  }
}

void VST_CALL processAccumulating(AEffect* effect, float** inputs, float** outputs, int32 frames) {
  passThrough(effect, inputs, outputs, frames, true);
}

void VST_CALL processReplacing(AEffect* effect, float** inputs, float** outputs, int32 frames) {
  passThrough(effect, inputs, outputs, frames, false);
}

void VST_CALL processDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                     int32 frames) {
  passThrough(effect, inputs, outputs, frames, false);
}

void VST_CALL setParameter(AEffect* effect, int32 index, float value) {
  if (index >= 0 && index < kNumParams) {
    fixtureOf(effect)->params[index] = value;
  }
}

float VST_CALL getParameter(AEffect* effect, int32 index) {
  return index >= 0 && index < kNumParams ? fixtureOf(effect)->params[index] : 0.0f;
}

[[maybe_unused]] AEffect* createFixture(vst::HostCallback host) {
  if (host == nullptr) {
    return nullptr;
  }
  Fixture* fixture = new (std::nothrow) Fixture();
  if (fixture == nullptr) {
    return nullptr;
  }
  fixture->host = host;
  AEffect& effect = fixture->effect;
  effect.magic = vst::kEffectMagic;
  effect.dispatcher = dispatcher;
  effect.process = processAccumulating;
  effect.setParameter = setParameter;
  effect.getParameter = getParameter;
  effect.numPrograms = 1;
  effect.numParams = kNumParams;
  effect.numInputs = kNumChannels;
  effect.numOutputs = kNumChannels;
  effect.flags =
      vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing | vst::effFlagsProgramChunks;
  effect.ioRatio = 1.0f;
  effect.object = fixture;
  effect.uniqueID = vst::FourCharCode('q', 'H', 'f', 'x');
  effect.version = 1;
  effect.processReplacing = processReplacing;
  effect.processDoubleReplacing = processDoubleReplacing;
  // Ask the host during creation, before it has the record's address.
  fixture->creationHostVersion = callHost(fixture, vst::audioMasterVersion);
  callHost(fixture, vst::audioMasterGetVendorString, 0, 0, fixture->creationVendor);
  return &effect;
}

}  // namespace

#if !defined(FIXTURE_NO_ENTRY)
#if !defined(FIXTURE_ENTRY_MAIN_ONLY)
FIXTURE_EXPORT AEffect* VST_CALL VSTPluginMain(vst::HostCallback host) {
  return createFixture(host);
}
#endif
#if !defined(_WIN32)
// C++ does not allow a function named main of this type, so the ELF export
// gets its name from an assembler label.
FIXTURE_EXPORT AEffect* VST_CALL fixtureMainEntry(vst::HostCallback host) __asm__("main");
#else
FIXTURE_EXPORT AEffect* VST_CALL fixtureMainEntry(vst::HostCallback host);
#endif
AEffect* VST_CALL fixtureMainEntry(vst::HostCallback host) { return createFixture(host); }
#else
// A library with an export, but not one a host looks for.
FIXTURE_EXPORT int fixtureNotAPlugin() { return 0; }
#endif
