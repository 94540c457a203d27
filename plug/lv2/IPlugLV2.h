// The LV2 binding: owns one product instance, takes the host's ports, runs
// the audio path with its events, and keeps the state. The entry points
// (Lv2Entry.cpp) check what hosts pass and call in here.
//
// Threads, as LV2 classes its functions: instantiate, activate, deactivate,
// cleanup and the state interface come on the host's main thread; run (and
// our double-precision run) on its audio thread; connect_port on either.
// Every entry holds the instance lock for its whole run.
//
// Features: only the URID map is asked for, and even without it (lv2apply
// passes no features at all) the plug-in runs its audio and control ports;
// the atom ports and the state then do nothing, since their types cannot be
// told apart. Options (block lengths) are used where offered.
#pragma once

#include <cstdint>

#include "lv2/atom/atom.h"
#include "lv2/core/lv2.h"
#include "lv2/state/state.h"
#include "lv2/urid/urid.h"
#include "plug/IHostServices.h"
#include "plug/IPlugBase.h"
#include "plug/lv2/Lv2Identity.h"
#include "plug/lv2/Lv2LearnMessage.h"

namespace plug {

// The double-precision run our own hosts find under lv2::kDoubleRunUri:
// two channels each way, the control and atom ports as connected.
struct Lv2DoubleRun {
  void (*run_double)(LV2_Handle instance, const double* const* inputs, double* const* outputs,
                     uint32_t frames);
};

class IPlugLV2 : public IHostServices {
 public:
  // Largest piece the scratch buffers hold; longer runs go in pieces.
  static constexpr int kMaxBlockSize = 65536;
  // The piece size when the host names no maximum block length.
  static constexpr int kDefaultBlockSize = 4096;
  // Sample rates an instance accepts; instantiate refuses others.
  static constexpr double kMinSampleRate = 1000.0;
  static constexpr double kMaxSampleRate = 1536000.0;

  // Binds plugin (owned from here on) at rate, with the host's features
  // (null or an empty list allowed). [main]
  IPlugLV2(IPlugBase* plugin, double rate, const LV2_Feature* const* features);
  ~IPlugLV2() override;  // deletes the instance [main]
  IPlugLV2(const IPlugLV2&) = delete;
  IPlugLV2& operator=(const IPlugLV2&) = delete;

  IPlugBase* Plugin() const { return plugin_; }
  bool HasUridMap() const { return map_ != nullptr; }

  // The binding's side of each LV2 entry; the lock is taken here.
  void ConnectPort(uint32_t port, void* data);  // [any thread]
  void Activate();                              // [main]
  void Deactivate();                            // [main]
  void Run(uint32_t frames);                    // [audio]
  void RunDouble(const double* const* inputs, double* const* outputs, uint32_t frames);  // [audio]
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);   // [main]
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve,
                                LV2_State_Handle handle);  // [main]

  // Host services. LV2 has no way for the plug-in to automate its own input
  // ports, so the product's gestures and value changes (MIDI learn) stay
  // inside the instance; the UI (plug/lv2/ui) reports its edits itself.
  int FormatCode() const override { return kFormatLv2; }
  void BeginParamGesture(int) override {}
  void NotifyHostParamValue(int, double) override {}
  void EndParamGesture(int) override {}
  void NotifyHostDisplayChanged() override {}
  bool IsOfflineRender() override { return false; }
  void GetTransportInfo(ITransportInfo* info) override;
  void GetHostProduct(char* product, int capacity, int* version) override;
  void ResizeEditor(int, int) override {}
  bool SendMidiToHost(const IMidiMessage* msg) override;
  bool SendSysExToHost(const ISysExMessage*) override { return false; }
  void SetLatencySamples(int) override {}

 private:
  struct Urids {
    LV2_URID atomChunk = 0;
    LV2_URID atomSequence = 0;
    LV2_URID atomObject = 0;
    LV2_URID atomBlank = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomLong = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomDouble = 0;
    LV2_URID midiEvent = 0;
    LV2_URID timePosition = 0;
    LV2_URID timeFrame = 0;
    LV2_URID timeSpeed = 0;
    LV2_URID timeBpm = 0;
    LV2_URID timeBar = 0;
    LV2_URID timeBarBeat = 0;
    LV2_URID timeBeat = 0;
    LV2_URID timeBeatUnit = 0;
    LV2_URID timeBeatsPerBar = 0;
    LV2_URID stateKey = 0;
    LV2_URID programKey = 0;
    LV2_URID maxBlockLength = 0;
    LV2_URID nominalBlockLength = 0;
  };
  // Where the host's transport stood at its last time:Position, and how far
  // the current piece lies from it.
  struct Position {
    bool known = false;
    double frame = 0.0;
    double speed = 1.0;
    double bpm = 0.0;          // 0 when not given
    double beats = -1.0;       // quarter notes; -1 when not given
    double barStart = -1.0;    // quarter notes; -1 when not given
    int beatsPerBar = 0;       // 0 when not given
    int beatUnit = 0;          // 0 when not given
    double framesSince = 0.0;  // from the position's event to the current piece
  };

  void MapUrids(LV2_URID_Map* map);
  int BlockSizeFromOptions(const LV2_Feature* const* features) const;
  // Both runs: the controls, then pieces between the atom input's events.
  void RunPieces(int frames);
  void ProcessPiece(int offset, int frames);
  void ApplyControlPorts();
  // After state or presets changed the values: the ports' last seen values
  // become the values' own, so a host's port that repeats them changes nothing.
  void SyncControlsToValues();
  void HandleEvent(const LV2_Atom_Event* event);
  void ReadPosition(const LV2_Atom_Object* object);
  void BeginMidiOut();
  // Appends an event to the atom output; false when it is full or absent.
  bool AppendOutput(int64_t frame, LV2_URID type, const void* body, uint32_t size);
  // The MIDI-learn mode for the UI, when it changed or a message came in
  // this run, as the output's last event.
  void ReportLearnMode(int frames);

  IPlugBase* plugin_;  // owned
  LV2_URID_Map* map_ = nullptr;
  Urids urids_;
  float* controls_[lv2::kParamPorts] = {};
  float lastControls_[lv2::kParamPorts] = {};
  const float* audioIn_[2] = {};
  float* audioOut_[2] = {};
  const LV2_Atom_Sequence* eventsIn_ = nullptr;
  LV2_Atom_Sequence* midiOut_ = nullptr;
  uint32_t midiOutCapacity_ = 0;  // bytes of the output sequence's body
  // The run in progress: its precision and the start of the current piece.
  const double* const* doubleIn_ = nullptr;
  double* const* doubleOut_ = nullptr;
  int pieceStart_ = 0;
  Position position_;
  StateChunk stateChunk_;
  lv2::LearnUrids learnUrids_;
  // The mode last told to the UI; -1 when a message asks for a report.
  int reportedLearnMode_ = kMidiLearnOff;
};

}  // namespace plug
