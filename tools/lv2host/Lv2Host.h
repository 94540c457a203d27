// A small LV2 host over lilv for our own tests and the renderer: loads a
// bundle, makes one instance with the URID map and block-length options (or
// with no features at all, as lv2apply does), drives its ports, builds the
// atom input (MIDI and time:Position), reads the atom output, and saves,
// restores and applies state and presets as lilv does for hosts.
//
// One thread: every call on the caller's. Not for a real-time host: the event
// buffer is rebuilt per call with the caller's events.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lv2/atom/forge.h"
#include "lv2/core/lv2.h"
#include "lv2/urid/urid.h"

typedef struct LilvWorldImpl LilvWorld;
typedef struct LilvPluginImpl LilvPlugin;
typedef struct LilvInstanceImpl LilvInstance;
typedef struct LilvStateImpl LilvState;

namespace lv2host {

// The transport a time:Position object carries.
struct Position {
  double frame = 0.0;
  double speed = 1.0;
  double bpm = 120.0;
  double beat = 0.0;  // in beat units since the start
  double barBeat = 0.0;
  long long bar = 0;
  int beatUnit = 4;
  int beatsPerBar = 4;
};

struct ControlInfo {
  uint32_t port = 0;  // the port's index
  std::string symbol;
  std::string name;
  float minimum = 0.0f;
  float maximum = 1.0f;
  float defaultValue = 0.0f;
  bool integer = false;
  bool toggled = false;
  bool enumeration = false;
  std::string unit;                                        // the units: term's URI, or empty
  std::vector<std::pair<float, std::string>> scalePoints;  // in value order
};

struct PresetInfo {
  std::string uri;
  std::string label;
};

struct MidiOut {
  int64_t frame;
  std::vector<std::uint8_t> bytes;
};

// An event of the atom output that is not MIDI: its type and body.
struct AtomOut {
  int64_t frame;
  LV2_URID type;
  std::vector<std::uint8_t> body;
};

class Lv2Host {
 public:
  static constexpr int kEventCapacity = 1 << 16;

  Lv2Host();
  ~Lv2Host();
  Lv2Host(const Lv2Host&) = delete;
  Lv2Host& operator=(const Lv2Host&) = delete;

  // The plug-in uri of the bundle at bundlePath (an absolute or relative
  // folder); false with a reason.
  bool load(const std::string& bundlePath, const std::string& uri, std::string* error);
  // An instance at rateHz; withFeatures false passes none (as lv2apply).
  bool instantiate(double rateHz, int maxBlock, bool withFeatures, std::string* error);
  bool hasInstance() const { return instance_ != nullptr; }

  const std::vector<ControlInfo>& controls() const { return controls_; }
  std::vector<PresetInfo> presets() const;
  int audioInputs() const { return audioInputs_; }
  int audioOutputs() const { return audioOutputs_; }
  // Whether the plug-in lists uri as a required feature.
  bool requiresFeature(const char* uri) const;

  float control(int index) const { return controlValues_[static_cast<std::size_t>(index)]; }
  void setControl(int index, float value);
  int controlIndex(const std::string& symbol) const;

  // Events for the next run, in time order.
  void addMidi(int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  void addMidiBytes(int64_t frame, const std::vector<std::uint8_t>& bytes);
  void addPosition(int64_t frame, const Position& position);
  // Raw bytes appended as an event of the given type (hostile input).
  void addRawEvent(int64_t frame, const char* typeUri, const void* body, std::uint32_t size);

  void activate();
  void deactivate();
  // Runs frames through the float ports (two channels each way); the events
  // added since the last run go with it.
  void run(const float* const* inputs, float* const* outputs, int frames);
  // Through the plug-in's double-precision run; false when it has none.
  bool runDouble(const double* const* inputs, double* const* outputs, int frames);
  // The MIDI of the last run's atom output, and its other events.
  const std::vector<MidiOut>& midiOut() const { return midiOut_; }
  const std::vector<AtomOut>& atomsOut() const { return atomsOut_; }

  // The state as lilv saves it for hosts (Turtle), and restored from such a
  // text; restore returns false when lilv cannot read it. Port values in it
  // go to the control ports.
  std::string saveState();
  bool restoreState(const std::string& turtle);
  // The plug-in's own state interface: its property under key (raw bytes),
  // and a restore offering exactly the given properties; the status.
  bool saveProperty(const char* key, std::vector<std::uint8_t>* bytes);
  int restoreProperties(
      const std::map<std::string, std::pair<std::string, std::vector<std::uint8_t>>>&
          keyToTypeAndBytes);
  // Applies a preset as hosts do (its state, then its port values).
  bool applyPreset(const std::string& presetUri);

  LV2_URID map(const char* uri);
  const char* unmap(LV2_URID urid) const;

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid);
  static void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                           uint32_t type);
  static const void* GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type);
  void readPorts();
  void connectAll();
  void beginEvents();
  void collectMidiOut();

  LilvWorld* world_ = nullptr;
  const LilvPlugin* plugin_ = nullptr;
  LilvInstance* instance_ = nullptr;
  std::vector<std::string> uris_;
  LV2_URID_Map mapFeature_{};
  LV2_URID_Unmap unmapFeature_{};
  LV2_Feature mapEntry_{};
  LV2_Feature unmapEntry_{};
  LV2_Feature optionsEntry_{};
  std::vector<int32_t> optionValues_;
  std::vector<std::uint8_t> optionsStorage_;
  std::vector<const LV2_Feature*> features_;
  std::vector<ControlInfo> controls_;
  std::vector<uint32_t> controlPorts_;  // port index of each control
  std::vector<float> controlValues_;
  std::vector<uint32_t> audioInPorts_, audioOutPorts_;
  int audioInputs_ = 0;
  int audioOutputs_ = 0;
  int32_t eventsInPort_ = -1;
  int32_t eventsOutPort_ = -1;
  std::vector<uint64_t> eventsIn_;  // 8-byte aligned atom buffers
  std::vector<uint64_t> eventsOut_;
  LV2_Atom_Forge forge_{};
  bool eventsOpen_ = false;
  LV2_Atom_Forge_Frame sequenceFrame_{};
  std::vector<float> silence_;
  std::vector<MidiOut> midiOut_;
  std::vector<AtomOut> atomsOut_;
};

}  // namespace lv2host
