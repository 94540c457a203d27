// The VST 3 binary interface as this project uses it: basic types, result
// codes, identifiers, records and constants. Written from the published facts
// of the interface; every layout is checked at compile time below for the
// target architecture. The interfaces themselves are in Vst3Interfaces.h.
//
// PLATFORM CONVENTIONS
//   every interface method      __stdcall on 32-bit Windows, the default elsewhere
//   result codes (tresult)      COM values on Windows, small integers elsewhere
//   16-byte identifiers (TUID)  written as four numbers l1 l2 l3 l4; in memory
//                               COM order on Windows (l1 and the two halves of
//                               l2 little-endian), all big-endian elsewhere;
//                               l3 and l4 big-endian everywhere
//   records                     the compiler's natural layout on every target
//                               we build (the interface's packing only caps it)
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using tresult = std::int32_t;
using TBool = std::uint8_t;
using char16 = char16_t;
using String128 = char16[128];
using FIDString = const char*;
using TUID = char[16];
using ParamID = std::uint32_t;
using ParamValue = double;
using SpeakerArrangement = std::uint64_t;
using MediaType = std::int32_t;
using BusDirection = std::int32_t;
using UnitID = std::int32_t;
using ProgramListID = std::int32_t;
using CtrlNumber = std::int16_t;

#if defined(_WIN32)
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kNoInterface = -1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif
constexpr tresult kResultTrue = kResultOk;

// An identifier as the four numbers it is written with.
struct Uid {
  uint32 l1, l2, l3, l4;
};

// The 16 bytes of uid in this platform's order.
void UidToBytes(const Uid& uid, char* bytes);
// Whether the 16 bytes at tuid are uid (false for null).
bool UidEquals(const void* tuid, const Uid& uid);
// The text form (32 upper-case hex digits, l1 first), the same on every
// platform; text holds 33 bytes.
void UidToText(const Uid& uid, char* text);

// ---- Constants -----------------------------------------------------------

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum BusFlags : uint32 { kDefaultActive = 0x1 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
constexpr SpeakerArrangement kStereo = 0x3;
constexpr uint32 kNoTail = 0;

enum ProcessContextState : uint32 {
  kPlaying = 0x2,
  kCycleActive = 0x4,
  kRecording = 0x8,
  kSystemTimeValid = 0x100,
  kProjectTimeMusicValid = 0x200,
  kTempoValid = 0x400,
  kBarPositionValid = 0x800,
  kCycleValid = 0x1000,
  kTimeSigValid = 0x2000,
};

enum ProcessContextRequirement : uint32 {
  kNeedContinousTimeSamples = 0x2,
  kNeedProjectTimeMusic = 0x4,
  kNeedBarPositionMusic = 0x8,
  kNeedCycleMusic = 0x10,
  kNeedTempo = 0x40,
  kNeedTimeSignature = 0x80,
  kNeedTransportState = 0x400,
};

enum EventTypes : std::uint16_t { kNoteOnEvent = 0, kNoteOffEvent = 1, kDataEvent = 2 };
enum DataEventTypes : uint32 { kMidiSysEx = 0 };

enum ParameterFlags : int32 {
  kCanAutomate = 0x1,
  kIsReadOnly = 0x2,
  kIsList = 0x8,
  kIsHidden = 0x10,
  kIsProgramChange = 0x8000,
};

enum RestartFlags : int32 {
  kParamValuesChanged = 0x4,
  kLatencyChanged = 0x8,
  kParamTitlesChanged = 0x10,
  kMidiCCAssignmentChanged = 0x20,
};

enum FactoryFlags : int32 { kUnicode = 16 };
constexpr int32 kManyInstances = 0x7FFFFFFF;
constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;
enum SeekModes : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

// ---- Records -------------------------------------------------------------

struct PFactoryInfo {
  char vendor[64];
  char url[256];
  char email[128];
  int32 flags;
};

struct PClassInfo {
  TUID cid;
  int32 cardinality;
  char category[32];
  char name[64];
};

struct PClassInfo2 {
  TUID cid;
  int32 cardinality;
  char category[32];
  char name[64];
  uint32 classFlags;
  char subCategories[128];
  char vendor[64];
  char version[64];
  char sdkVersion[64];
};

struct PClassInfoW {
  TUID cid;
  int32 cardinality;
  char category[32];
  char16 name[64];
  uint32 classFlags;
  char subCategories[128];
  char16 vendor[64];
  char16 version[64];
  char16 sdkVersion[64];
};

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  double sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;
  union {
    float** channelBuffers32;
    double** channelBuffers64;
  };
};

struct Chord {
  std::uint8_t keyNote;
  std::uint8_t rootNote;
  int16 chordMask;
};

struct FrameRate {
  uint32 framesPerSecond;
  uint32 flags;
};

struct ProcessContext {
  uint32 state;
  double sampleRate;
  int64 projectTimeSamples;
  int64 systemTime;
  int64 continousTimeSamples;
  double projectTimeMusic;
  double barPositionMusic;
  double cycleStartMusic;
  double cycleEndMusic;
  double tempo;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  Chord chord;
  int32 smpteOffsetSubframes;
  FrameRate frameRate;
  int32 samplesToNextClock;
};

struct NoteOnEvent {
  int16 channel;
  int16 pitch;
  float tuning;
  float velocity;
  int32 length;
  int32 noteId;
};

struct NoteOffEvent {
  int16 channel;
  int16 pitch;
  float velocity;
  int32 noteId;
  float tuning;
};

struct DataEvent {
  uint32 size;
  uint32 type;
  const std::uint8_t* bytes;
};

// The union of an event is declared with the members this plug-in reads and
// raw bytes of the full size (24 on x86-64, 20 on x86).
#if defined(_WIN32) && !defined(_WIN64)
constexpr std::size_t kEventUnionBytes = 20;
#else
constexpr std::size_t kEventUnionBytes = 24;
#endif

struct Event {
  int32 busIndex;
  int32 sampleOffset;
  double ppqPosition;
  std::uint16_t flags;
  std::uint16_t type;
  union {
    NoteOnEvent noteOn;
    NoteOffEvent noteOff;
    DataEvent data;
    unsigned char raw[kEventUnionBytes];
  };
};

class IParameterChanges;
class IEventList;

struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

struct BusInfo {
  MediaType mediaType;
  BusDirection direction;
  int32 channelCount;
  String128 name;
  int32 busType;
  uint32 flags;
};

struct RoutingInfo {
  MediaType mediaType;
  int32 busIndex;
  int32 channel;
};

struct ParameterInfo {
  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

struct UnitInfo {
  UnitID id;
  UnitID parentUnitId;
  String128 name;
  ProgramListID programListId;
};

struct ProgramListInfo {
  ProgramListID id;
  String128 name;
  int32 programCount;
};

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
};

// ---- Layout checks -----------------------------------------------------

static_assert(sizeof(PFactoryInfo) == 452 && offsetof(PFactoryInfo, flags) == 448, "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52, "PClassInfo");
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, classFlags) == 116 &&
                  offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2");
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, classFlags) == 180 &&
                  offsetof(PClassInfoW, vendor) == 312 && offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW");
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16,
              "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16,
              "AudioBusBuffers");
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, tempo) == 72 &&
                  offsetof(ProcessContext, chord) == 88 &&
                  offsetof(ProcessContext, frameRate) == 96 &&
                  offsetof(ProcessContext, samplesToNextClock) == 104,
              "ProcessContext");
static_assert(sizeof(NoteOnEvent) == 20 && sizeof(NoteOffEvent) == 16, "note events");
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, busType) == 268, "BusInfo");
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, units) == 516 &&
                  offsetof(ParameterInfo, stepCount) == 772 &&
                  offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo");
static_assert(sizeof(UnitInfo) == 268 && sizeof(ProgramListInfo) == 264, "units");
static_assert(sizeof(ViewRect) == 16, "ViewRect");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ProcessData) == 48 && offsetof(ProcessData, inputs) == 20 &&
                  offsetof(ProcessData, processContext) == 44,
              "ProcessData");
static_assert(sizeof(Event) == 40 && offsetof(Event, noteOn) == 20, "Event");
static_assert(sizeof(DataEvent) == 12, "DataEvent");
#else
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24 &&
                  offsetof(ProcessData, processContext) == 72,
              "ProcessData");
static_assert(sizeof(Event) == 48 && offsetof(Event, noteOn) == 24, "Event");
static_assert(sizeof(DataEvent) == 16, "DataEvent");
#endif

}  // namespace vst3
