// Our declarations of the CLAP 1.2 binary interface: the structures, function
// tables and constants the Quillet binding and our own CLAP host exchange with
// the other side. Written from the format's published facts; only the order,
// types and values of the fields matter to the binary.
//
// Every structure is a plain C layout (natural alignment, no packing), the
// same on Linux x86-64, Windows x64 and Win32; every function pointer uses the
// C calling convention, written out for 32-bit Windows (CLAP_CALL) so that no
// compiler setting can change it.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

namespace clap {

struct Version {
  std::uint32_t major;
  std::uint32_t minor;
  std::uint32_t revision;
};
// The release these declarations describe; 1.x hosts and plug-ins all agree.
constexpr Version kVersion{1, 2, 10};
inline bool IsCompatible(const Version& v) { return v.major >= 1; }

using Id = std::uint32_t;
constexpr Id kInvalidId = 0xFFFFFFFFu;
constexpr int kNameSize = 256;
constexpr int kPathSize = 1024;

struct PluginEntry {
  Version clapVersion;
  bool(CLAP_CALL* init)(const char* pluginPath);
  void(CLAP_CALL* deinit)();
  const void*(CLAP_CALL* getFactory)(const char* factoryId);
};

constexpr const char* kPluginFactoryId = "clap.plugin-factory";
constexpr const char* kPresetDiscoveryFactoryId = "clap.preset-discovery-factory/2";
constexpr const char* kPresetDiscoveryFactoryIdCompat = "clap.preset-discovery-factory/draft-2";

struct PluginDescriptor {
  Version clapVersion;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manualUrl;
  const char* supportUrl;
  const char* version;
  const char* description;
  const char* const* features;
};

struct Host;

struct Plugin {
  const PluginDescriptor* desc;
  void* pluginData;
  bool(CLAP_CALL* init)(const Plugin* plugin);
  void(CLAP_CALL* destroy)(const Plugin* plugin);
  bool(CLAP_CALL* activate)(const Plugin* plugin, double sampleRate, std::uint32_t minFrames,
                            std::uint32_t maxFrames);
  void(CLAP_CALL* deactivate)(const Plugin* plugin);
  bool(CLAP_CALL* startProcessing)(const Plugin* plugin);
  void(CLAP_CALL* stopProcessing)(const Plugin* plugin);
  void(CLAP_CALL* reset)(const Plugin* plugin);
  std::int32_t(CLAP_CALL* process)(const Plugin* plugin, const struct Process* process);
  const void*(CLAP_CALL* getExtension)(const Plugin* plugin, const char* id);
  void(CLAP_CALL* onMainThread)(const Plugin* plugin);
};

struct PluginFactory {
  std::uint32_t(CLAP_CALL* getPluginCount)(const PluginFactory* factory);
  const PluginDescriptor*(CLAP_CALL* getPluginDescriptor)(const PluginFactory* factory,
                                                          std::uint32_t index);
  const Plugin*(CLAP_CALL* createPlugin)(const PluginFactory* factory, const Host* host,
                                         const char* pluginId);
};

struct Host {
  Version clapVersion;
  void* hostData;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void*(CLAP_CALL* getExtension)(const Host* host, const char* extensionId);
  void(CLAP_CALL* requestRestart)(const Host* host);
  void(CLAP_CALL* requestProcess)(const Host* host);
  void(CLAP_CALL* requestCallback)(const Host* host);
};

// ---- Processing ----------------------------------------------------------------

enum ProcessStatus : std::int32_t {
  kProcessError = 0,
  kProcessContinue = 1,
  kProcessContinueIfNotQuiet = 2,
  kProcessTail = 3,
  kProcessSleep = 4,
};

struct AudioBuffer {
  float** data32;
  double** data64;
  std::uint32_t channelCount;
  std::uint32_t latency;
  std::uint64_t constantMask;
};

struct EventHeader {
  std::uint32_t size;
  std::uint32_t time;
  std::uint16_t spaceId;
  std::uint16_t type;
  std::uint32_t flags;
};

constexpr std::uint16_t kCoreEventSpace = 0;
constexpr std::uint32_t kEventIsLive = 0x1;
constexpr std::uint32_t kEventDontRecord = 0x2;

enum EventType : std::uint16_t {
  kEventNoteOn = 0,
  kEventNoteOff = 1,
  kEventNoteChoke = 2,
  kEventNoteEnd = 3,
  kEventNoteExpression = 4,
  kEventParamValue = 5,
  kEventParamMod = 6,
  kEventParamGestureBegin = 7,
  kEventParamGestureEnd = 8,
  kEventTransport = 9,
  kEventMidi = 10,
  kEventMidiSysex = 11,
  kEventMidi2 = 12,
};

struct EventNote {
  EventHeader header;
  std::int32_t noteId;
  std::int16_t portIndex;
  std::int16_t channel;
  std::int16_t key;
  double velocity;
};

struct EventParamValue {
  EventHeader header;
  Id paramId;
  void* cookie;
  std::int32_t noteId;
  std::int16_t portIndex;
  std::int16_t channel;
  std::int16_t key;
  double value;
};

struct EventParamGesture {
  EventHeader header;
  Id paramId;
};

using BeatTime = std::int64_t;
using SecTime = std::int64_t;
constexpr double kBeatTimeFactor = 2147483648.0;
constexpr double kSecTimeFactor = 2147483648.0;

enum TransportFlags : std::uint32_t {
  kTransportHasTempo = 0x01,
  kTransportHasBeatsTimeline = 0x02,
  kTransportHasSecondsTimeline = 0x04,
  kTransportHasTimeSignature = 0x08,
  kTransportIsPlaying = 0x10,
  kTransportIsRecording = 0x20,
  kTransportIsLoopActive = 0x40,
  kTransportIsWithinPreRoll = 0x80,
};

struct EventTransport {
  EventHeader header;
  std::uint32_t flags;
  BeatTime songPosBeats;
  SecTime songPosSeconds;
  double tempo;
  double tempoInc;
  BeatTime loopStartBeats;
  BeatTime loopEndBeats;
  SecTime loopStartSeconds;
  SecTime loopEndSeconds;
  BeatTime barStart;
  std::int32_t barNumber;
  std::uint16_t tsigNum;
  std::uint16_t tsigDenom;
};

struct EventMidi {
  EventHeader header;
  std::uint16_t portIndex;
  std::uint8_t data[3];
};

struct EventMidiSysex {
  EventHeader header;
  std::uint16_t portIndex;
  const std::uint8_t* buffer;
  std::uint32_t size;
};

struct InputEvents {
  void* ctx;
  std::uint32_t(CLAP_CALL* size)(const InputEvents* list);
  const EventHeader*(CLAP_CALL* get)(const InputEvents* list, std::uint32_t index);
};

struct OutputEvents {
  void* ctx;
  bool(CLAP_CALL* tryPush)(const OutputEvents* list, const EventHeader* event);
};

struct Process {
  std::int64_t steadyTime;
  std::uint32_t framesCount;
  const EventTransport* transport;
  const AudioBuffer* audioInputs;
  AudioBuffer* audioOutputs;
  std::uint32_t audioInputsCount;
  std::uint32_t audioOutputsCount;
  const InputEvents* inEvents;
  const OutputEvents* outEvents;
};

// ---- Extensions ----------------------------------------------------------------

constexpr const char* kExtAudioPorts = "clap.audio-ports";
constexpr const char* kExtNotePorts = "clap.note-ports";
constexpr const char* kExtParams = "clap.params";
constexpr const char* kExtState = "clap.state";
constexpr const char* kExtStateContext = "clap.state-context/2";
constexpr const char* kExtGui = "clap.gui";
constexpr const char* kExtTimerSupport = "clap.timer-support";
constexpr const char* kExtPosixFdSupport = "clap.posix-fd-support";
constexpr const char* kExtLatency = "clap.latency";
constexpr const char* kExtTail = "clap.tail";
constexpr const char* kExtRender = "clap.render";
constexpr const char* kExtThreadCheck = "clap.thread-check";
constexpr const char* kExtLog = "clap.log";
constexpr const char* kExtPresetLoad = "clap.preset-load/2";
constexpr const char* kExtPresetLoadCompat = "clap.preset-load.draft/2";

// audio-ports
enum AudioPortFlags : std::uint32_t {
  kAudioPortIsMain = 0x1,
  kAudioPortSupports64Bits = 0x2,
  kAudioPortPrefers64Bits = 0x4,
  kAudioPortRequiresCommonSampleSize = 0x8,
};
constexpr const char* kPortStereo = "stereo";

struct AudioPortInfo {
  Id id;
  char name[kNameSize];
  std::uint32_t flags;
  std::uint32_t channelCount;
  const char* portType;
  Id inPlacePair;
};

struct PluginAudioPorts {
  std::uint32_t(CLAP_CALL* count)(const Plugin* plugin, bool isInput);
  bool(CLAP_CALL* get)(const Plugin* plugin, std::uint32_t index, bool isInput,
                       AudioPortInfo* info);
};

// note-ports
enum NoteDialect : std::uint32_t {
  kNoteDialectClap = 0x1,
  kNoteDialectMidi = 0x2,
  kNoteDialectMidiMpe = 0x4,
  kNoteDialectMidi2 = 0x8,
};

struct NotePortInfo {
  Id id;
  std::uint32_t supportedDialects;
  std::uint32_t preferredDialect;
  char name[kNameSize];
};

struct PluginNotePorts {
  std::uint32_t(CLAP_CALL* count)(const Plugin* plugin, bool isInput);
  bool(CLAP_CALL* get)(const Plugin* plugin, std::uint32_t index, bool isInput, NotePortInfo* info);
};

// params
enum ParamInfoFlags : std::uint32_t {
  kParamIsStepped = 0x1,
  kParamIsPeriodic = 0x2,
  kParamIsHidden = 0x4,
  kParamIsReadonly = 0x8,
  kParamIsBypass = 0x10,
  kParamIsAutomatable = 0x20,
  kParamIsModulatable = 0x400,
  kParamRequiresProcess = 0x8000,
  kParamIsEnum = 0x10000,
};

struct ParamInfo {
  Id id;
  std::uint32_t flags;
  void* cookie;
  char name[kNameSize];
  char module[kPathSize];
  double minValue;
  double maxValue;
  double defaultValue;
};

struct PluginParams {
  std::uint32_t(CLAP_CALL* count)(const Plugin* plugin);
  bool(CLAP_CALL* getInfo)(const Plugin* plugin, std::uint32_t paramIndex, ParamInfo* info);
  bool(CLAP_CALL* getValue)(const Plugin* plugin, Id paramId, double* value);
  bool(CLAP_CALL* valueToText)(const Plugin* plugin, Id paramId, double value, char* display,
                               std::uint32_t size);
  bool(CLAP_CALL* textToValue)(const Plugin* plugin, Id paramId, const char* display,
                               double* value);
  void(CLAP_CALL* flush)(const Plugin* plugin, const InputEvents* in, const OutputEvents* out);
};

enum ParamRescanFlags : std::uint32_t {
  kParamRescanValues = 0x1,
  kParamRescanText = 0x2,
  kParamRescanInfo = 0x4,
  kParamRescanAll = 0x8,
};

struct HostParams {
  void(CLAP_CALL* rescan)(const Host* host, std::uint32_t flags);
  void(CLAP_CALL* clear)(const Host* host, Id paramId, std::uint32_t flags);
  void(CLAP_CALL* requestFlush)(const Host* host);
};

// state
struct IStream {
  void* ctx;
  std::int64_t(CLAP_CALL* read)(const IStream* stream, void* buffer, std::uint64_t size);
};

struct OStream {
  void* ctx;
  std::int64_t(CLAP_CALL* write)(const OStream* stream, const void* buffer, std::uint64_t size);
};

struct PluginState {
  bool(CLAP_CALL* save)(const Plugin* plugin, const OStream* stream);
  bool(CLAP_CALL* load)(const Plugin* plugin, const IStream* stream);
};

struct HostState {
  void(CLAP_CALL* markDirty)(const Host* host);
};

// gui
constexpr const char* kWindowApiWin32 = "win32";
constexpr const char* kWindowApiX11 = "x11";

struct Window {
  const char* api;
  union {
    void* cocoa;
    void* uikit;
    unsigned long x11;
    void* win32;
    void* ptr;
  };
};

struct GuiResizeHints {
  bool canResizeHorizontally;
  bool canResizeVertically;
  bool preserveAspectRatio;
  std::uint32_t aspectRatioWidth;
  std::uint32_t aspectRatioHeight;
};

struct PluginGui {
  bool(CLAP_CALL* isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
  bool(CLAP_CALL* getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
  bool(CLAP_CALL* create)(const Plugin* plugin, const char* api, bool isFloating);
  void(CLAP_CALL* destroy)(const Plugin* plugin);
  bool(CLAP_CALL* setScale)(const Plugin* plugin, double scale);
  bool(CLAP_CALL* getSize)(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
  bool(CLAP_CALL* canResize)(const Plugin* plugin);
  bool(CLAP_CALL* getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
  bool(CLAP_CALL* adjustSize)(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
  bool(CLAP_CALL* setSize)(const Plugin* plugin, std::uint32_t width, std::uint32_t height);
  bool(CLAP_CALL* setParent)(const Plugin* plugin, const Window* window);
  bool(CLAP_CALL* setTransient)(const Plugin* plugin, const Window* window);
  void(CLAP_CALL* suggestTitle)(const Plugin* plugin, const char* title);
  bool(CLAP_CALL* show)(const Plugin* plugin);
  bool(CLAP_CALL* hide)(const Plugin* plugin);
};

struct HostGui {
  void(CLAP_CALL* resizeHintsChanged)(const Host* host);
  bool(CLAP_CALL* requestResize)(const Host* host, std::uint32_t width, std::uint32_t height);
  bool(CLAP_CALL* requestShow)(const Host* host);
  bool(CLAP_CALL* requestHide)(const Host* host);
  void(CLAP_CALL* closed)(const Host* host, bool wasDestroyed);
};

// timer-support, posix-fd-support
struct PluginTimerSupport {
  void(CLAP_CALL* onTimer)(const Plugin* plugin, Id timerId);
};
struct HostTimerSupport {
  bool(CLAP_CALL* registerTimer)(const Host* host, std::uint32_t periodMs, Id* timerId);
  bool(CLAP_CALL* unregisterTimer)(const Host* host, Id timerId);
};

enum FdFlags : std::uint32_t {
  kFdRead = 0x1,
  kFdWrite = 0x2,
  kFdError = 0x4,
};
struct PluginPosixFdSupport {
  void(CLAP_CALL* onFd)(const Plugin* plugin, int fd, std::uint32_t flags);
};
struct HostPosixFdSupport {
  bool(CLAP_CALL* registerFd)(const Host* host, int fd, std::uint32_t flags);
  bool(CLAP_CALL* modifyFd)(const Host* host, int fd, std::uint32_t flags);
  bool(CLAP_CALL* unregisterFd)(const Host* host, int fd);
};

// latency, tail, render, thread-check, log
struct PluginLatency {
  std::uint32_t(CLAP_CALL* get)(const Plugin* plugin);
};
struct HostLatency {
  void(CLAP_CALL* changed)(const Host* host);
};
struct PluginTail {
  std::uint32_t(CLAP_CALL* get)(const Plugin* plugin);
};
struct HostTail {
  void(CLAP_CALL* changed)(const Host* host);
};

enum RenderMode : std::int32_t {
  kRenderRealtime = 0,
  kRenderOffline = 1,
};
struct PluginRender {
  bool(CLAP_CALL* hasHardRealtimeRequirement)(const Plugin* plugin);
  bool(CLAP_CALL* set)(const Plugin* plugin, std::int32_t mode);
};

struct HostThreadCheck {
  bool(CLAP_CALL* isMainThread)(const Host* host);
  bool(CLAP_CALL* isAudioThread)(const Host* host);
};

enum LogSeverity : std::int32_t {
  kLogDebug = 0,
  kLogInfo = 1,
  kLogWarning = 2,
  kLogError = 3,
  kLogFatal = 4,
  kLogHostMisbehaving = 5,
  kLogPluginMisbehaving = 6,
};
struct HostLog {
  void(CLAP_CALL* log)(const Host* host, std::int32_t severity, const char* message);
};

// preset-load, preset-discovery
enum PresetLocationKind : std::uint32_t {
  kPresetLocationFile = 0,
  kPresetLocationPlugin = 1,
};
enum PresetFlags : std::uint32_t {
  kPresetIsFactoryContent = 0x1,
  kPresetIsUserContent = 0x2,
  kPresetIsDemoContent = 0x4,
  kPresetIsFavorite = 0x8,
};

struct PluginPresetLoad {
  bool(CLAP_CALL* fromLocation)(const Plugin* plugin, std::uint32_t locationKind,
                                const char* location, const char* loadKey);
};
struct HostPresetLoad {
  void(CLAP_CALL* onError)(const Host* host, std::uint32_t locationKind, const char* location,
                           const char* loadKey, std::int32_t osError, const char* message);
  void(CLAP_CALL* loaded)(const Host* host, std::uint32_t locationKind, const char* location,
                          const char* loadKey);
};

struct UniversalPluginId {
  const char* abi;
  const char* id;
};

struct PresetDiscoveryProviderDescriptor {
  Version clapVersion;
  const char* id;
  const char* name;
  const char* vendor;
};

struct PresetDiscoveryLocation {
  std::uint32_t flags;
  const char* name;
  std::uint32_t kind;
  const char* location;
};

struct PresetDiscoveryFiletype {
  const char* name;
  const char* description;
  const char* fileExtension;
};

struct PresetDiscoverySoundpack {
  std::uint32_t flags;
  const char* id;
  const char* name;
  const char* description;
  const char* homepageUrl;
  const char* vendor;
  const char* imagePath;
  std::uint64_t releaseTimestamp;
};

struct PresetDiscoveryMetadataReceiver {
  void* receiverData;
  void(CLAP_CALL* onError)(const PresetDiscoveryMetadataReceiver* receiver, std::int32_t osError,
                           const char* message);
  bool(CLAP_CALL* beginPreset)(const PresetDiscoveryMetadataReceiver* receiver, const char* name,
                               const char* loadKey);
  void(CLAP_CALL* addPluginId)(const PresetDiscoveryMetadataReceiver* receiver,
                               const UniversalPluginId* pluginId);
  void(CLAP_CALL* setSoundpackId)(const PresetDiscoveryMetadataReceiver* receiver,
                                  const char* soundpackId);
  void(CLAP_CALL* setFlags)(const PresetDiscoveryMetadataReceiver* receiver, std::uint32_t flags);
  void(CLAP_CALL* addCreator)(const PresetDiscoveryMetadataReceiver* receiver, const char* creator);
  void(CLAP_CALL* setDescription)(const PresetDiscoveryMetadataReceiver* receiver,
                                  const char* description);
  void(CLAP_CALL* setTimestamps)(const PresetDiscoveryMetadataReceiver* receiver,
                                 std::uint64_t creationTime, std::uint64_t modificationTime);
  void(CLAP_CALL* addFeature)(const PresetDiscoveryMetadataReceiver* receiver, const char* feature);
  void(CLAP_CALL* addExtraInfo)(const PresetDiscoveryMetadataReceiver* receiver, const char* key,
                                const char* value);
};

struct PresetDiscoveryIndexer {
  Version clapVersion;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  void* indexerData;
  bool(CLAP_CALL* declareFiletype)(const PresetDiscoveryIndexer* indexer,
                                   const PresetDiscoveryFiletype* filetype);
  bool(CLAP_CALL* declareLocation)(const PresetDiscoveryIndexer* indexer,
                                   const PresetDiscoveryLocation* location);
  bool(CLAP_CALL* declareSoundpack)(const PresetDiscoveryIndexer* indexer,
                                    const PresetDiscoverySoundpack* soundpack);
  const void*(CLAP_CALL* getExtension)(const PresetDiscoveryIndexer* indexer, const char* id);
};

struct PresetDiscoveryProvider {
  const PresetDiscoveryProviderDescriptor* desc;
  void* providerData;
  bool(CLAP_CALL* init)(const PresetDiscoveryProvider* provider);
  void(CLAP_CALL* destroy)(const PresetDiscoveryProvider* provider);
  bool(CLAP_CALL* getMetadata)(const PresetDiscoveryProvider* provider, std::uint32_t locationKind,
                               const char* location,
                               const PresetDiscoveryMetadataReceiver* receiver);
  const void*(CLAP_CALL* getExtension)(const PresetDiscoveryProvider* provider, const char* id);
};

struct PresetDiscoveryFactory {
  std::uint32_t(CLAP_CALL* count)(const PresetDiscoveryFactory* factory);
  const PresetDiscoveryProviderDescriptor*(CLAP_CALL* getDescriptor)(
      const PresetDiscoveryFactory* factory, std::uint32_t index);
  const PresetDiscoveryProvider*(CLAP_CALL* create)(const PresetDiscoveryFactory* factory,
                                                    const PresetDiscoveryIndexer* indexer,
                                                    const char* providerId);
};

}  // namespace clap
