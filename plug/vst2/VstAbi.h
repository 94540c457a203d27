// The VST 2.4 binary interface as this project uses it: records, function
// types, opcodes and flags. Written from the published facts of the interface;
// every layout is checked at compile time below for the target architecture.
//
// Everything is C layout with the target's default alignment (8-byte double),
// little-endian. Function pointers use the C calling convention (__cdecl on x86).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST_CALL __cdecl
#else
#define VST_CALL
#endif

namespace vst {

using int32 = std::int32_t;
using intptr = std::intptr_t;

struct AEffect;

using HostCallback = intptr(VST_CALL*)(AEffect* effect, int32 opcode, int32 index, intptr value,
                                       void* ptr, float opt);
using DispatcherProc = intptr(VST_CALL*)(AEffect* effect, int32 opcode, int32 index, intptr value,
                                         void* ptr, float opt);
using ProcessProc = void(VST_CALL*)(AEffect* effect, float** inputs, float** outputs,
                                    int32 sampleFrames);
using ProcessDoubleProc = void(VST_CALL*)(AEffect* effect, double** inputs, double** outputs,
                                          int32 sampleFrames);
using SetParameterProc = void(VST_CALL*)(AEffect* effect, int32 index, float value);
using GetParameterProc = float(VST_CALL*)(AEffect* effect, int32 index);
using EntryProc = AEffect*(VST_CALL*)(HostCallback host);

// 'VstP'
constexpr int32 kEffectMagic = 0x56737450;

struct AEffect {
  int32 magic;
  DispatcherProc dispatcher;
  ProcessProc process;  // accumulating (old hosts)
  SetParameterProc setParameter;
  GetParameterProc getParameter;
  int32 numPrograms;
  int32 numParams;
  int32 numInputs;
  int32 numOutputs;
  int32 flags;
  intptr resvd1;
  intptr resvd2;
  int32 initialDelay;
  int32 realQualities;
  int32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  int32 uniqueID;
  int32 version;
  ProcessProc processReplacing;
  ProcessDoubleProc processDoubleReplacing;
  char future[56];
};

enum EffectFlags : int32 {
  effFlagsHasEditor = 0x1,
  effFlagsMonoCapable = 0x8,  // the interface's old mono flag
  effFlagsCanReplacing = 0x10,
  effFlagsProgramChunks = 0x20,
  effFlagsCanDoubleReplacing = 0x1000,
};

// Dispatcher opcodes (host to plug-in).
enum EffectOpcode : int32 {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditIdle = 19,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetProgramNameIndexed = 29,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetParameterProperties = 56,
  effGetVstVersion = 58,
  effGetMidiKeyName = 66,
  effGetSpeakerArrangement = 69,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetProcessPrecision = 77,
};

// Host callback opcodes (plug-in to host).
enum HostOpcode : int32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterSizeWindow = 15,  // index: width, value: height of the editor
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

constexpr int32 kProcessLevelOffline = 4;
constexpr int32 kPlugCategoryEffect = 1;
constexpr int32 kPlugCategorySynth = 2;
constexpr int32 kVstVersion = 2400;
// effIdentify's answer, 'NvEf'.
constexpr int32 kIdentifyAnswer = 0x4E764566;
// Answers to the host-vendor extension queries.
constexpr int32 kVendorSpecificYes = 0xBEEF;
constexpr intptr kCanDoVendorExtension = static_cast<intptr>(0xBEEF0000u);
// Host-vendor extension indices of effVendorSpecific.
enum VendorSpecificIndex : int32 {
  kVendorFormatParamValue = 7,
  kVendorIsParamStepped = 8,
};

struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  int32 smpteOffset;
  int32 smpteFrameRate;
  int32 samplesToNextClock;
  int32 flags;
};

enum TimeInfoFlags : int32 {
  kVstTransportChanged = 0x1,
  kVstTransportPlaying = 0x2,
  kVstTransportCycleActive = 0x4,
  kVstTransportRecording = 0x8,
  kVstNanosValid = 0x100,
  kVstPpqPosValid = 0x200,
  kVstTempoValid = 0x400,
  kVstBarsValid = 0x800,
  kVstCyclePosValid = 0x1000,
  kVstTimeSigValid = 0x2000,
  kVstSmpteValid = 0x4000,
  kVstClockValid = 0x8000,
};

struct VstEvent {
  int32 type;
  int32 byteSize;
  int32 deltaFrames;
  int32 flags;
  char data[16];
};

enum EventType : int32 {
  kVstMidiType = 1,
  kVstSysExType = 6,
};

struct VstMidiEvent {
  int32 type;
  int32 byteSize;
  int32 deltaFrames;
  int32 flags;
  int32 noteLength;
  int32 noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

struct VstMidiSysexEvent {
  int32 type;
  int32 byteSize;
  int32 deltaFrames;
  int32 flags;
  int32 dumpBytes;
  intptr resvd1;
  char* sysexDump;
  intptr resvd2;
};

// Really numEvents entries in events[].
struct VstEvents {
  int32 numEvents;
  intptr reserved;
  VstEvent* events[2];
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  int32 type;
  char future[28];
};

enum SpeakerArrangementType : int32 {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

struct VstSpeakerArrangement {
  int32 type;
  int32 numChannels;
  VstSpeakerProperties speakers[8];
};

struct VstPinProperties {
  char label[64];
  int32 flags;
  int32 arrangementType;
  char shortLabel[8];
  char future[48];
};

enum PinFlags : int32 {
  kVstPinIsActive = 1,
  kVstPinIsStereo = 2,
  kVstPinUseSpeaker = 4,
};

struct VstMidiKeyName {
  int32 thisProgramIndex;
  int32 thisKeyNumber;
  char keyName[64];
  int32 reserved;
  int32 flags;
};

// The rectangle answered to effEditGetRect.
struct ERect {
  std::int16_t top;
  std::int16_t left;
  std::int16_t bottom;
  std::int16_t right;
};

// Text sizes the interface documents (characters including the terminator).
constexpr int kMaxProgramNameLength = 24;
constexpr int kMaxParamStringLength = 8;
constexpr int kMaxVendorStringLength = 64;
constexpr int kMaxProductStringLength = 64;
constexpr int kMaxEffectNameLength = 32;
constexpr int kMaxGenericNameLength = 64;
constexpr int kMaxPinLabelLength = 64;
constexpr int kMaxShortLabelLength = 8;

constexpr int32 FourCharCode(char a, char b, char c, char d) {
  return static_cast<int32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                            (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                            (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                            static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

// Layout checks. Pointer-sized fields make AEffect and the SysEx event differ
// between the two architectures; everything else is the same on both.
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "32- or 64-bit targets only");
constexpr bool kIs64 = sizeof(void*) == 8;
static_assert(sizeof(AEffect) == (kIs64 ? 192 : 144), "AEffect size");
static_assert(offsetof(AEffect, numPrograms) == (kIs64 ? 40 : 20), "AEffect.numPrograms");
static_assert(offsetof(AEffect, flags) == (kIs64 ? 56 : 36), "AEffect.flags");
static_assert(offsetof(AEffect, resvd1) == (kIs64 ? 64 : 40), "AEffect.resvd1");
static_assert(offsetof(AEffect, ioRatio) == (kIs64 ? 92 : 60), "AEffect.ioRatio");
static_assert(offsetof(AEffect, object) == (kIs64 ? 96 : 64), "AEffect.object");
static_assert(offsetof(AEffect, uniqueID) == (kIs64 ? 112 : 72), "AEffect.uniqueID");
static_assert(offsetof(AEffect, processReplacing) == (kIs64 ? 120 : 80),
              "AEffect.processReplacing");
static_assert(offsetof(AEffect, future) == (kIs64 ? 136 : 88), "AEffect.future");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo size");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo.timeSigNumerator");
static_assert(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo.flags");
static_assert(sizeof(VstEvent) == 32, "VstEvent size");
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent.midiData");
static_assert(sizeof(VstMidiSysexEvent) == (kIs64 ? 48 : 32), "VstMidiSysexEvent size");
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == (kIs64 ? 32 : 24),
              "VstMidiSysexEvent.sysexDump");
static_assert(offsetof(VstEvents, events) == (kIs64 ? 16 : 8), "VstEvents.events");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties size");
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112, "VstSpeakerArrangement size");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");
static_assert(sizeof(VstMidiKeyName) == 80, "VstMidiKeyName size");
static_assert(sizeof(ERect) == 8, "ERect size");

}  // namespace vst
