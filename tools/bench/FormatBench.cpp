// The cost of each plug-in format's audio path around the same product: the
// VST 2 entry (processReplacing, MIDI through effProcessEvents) and the LV2
// run (control ports, atom input with MIDI), both float, 48 kHz, blocks of
// 512, built into this program from the shipped entry points. Two
// configurations: the default program, and MIDI mode with eight sounding
// voices. Meant for callgrind (tools/bench-formats-callgrind.sh), which counts
// the instructions of RenderBlocks only: set-up is left out.
//
//   quillet-format-bench --format vst2|lv2 --config default|midi8 [--seconds S]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lv2/atom/forge.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/midi/midi.h"
#include "lv2/options/options.h"
#include "plug/ModuleExport.h"
#include "plug/lv2/IPlugLV2.h"
#include "plug/vst2/VstAbi.h"

extern "C" QUILLET_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host);
extern "C" QUILLET_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index);

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kGrainMode = 2;
constexpr int kPolyphony = 17;
constexpr int kVoices = 8;

// One block of some format.
class Path {
 public:
  virtual ~Path() = default;
  virtual void Block() = 0;
};

vst::VstTimeInfo gTime{};

vst::intptr VST_CALL HostCallback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                  float) {
  if (opcode == vst::audioMasterVersion) return vst::kVstVersion;
  if (opcode == vst::audioMasterGetTime) return reinterpret_cast<vst::intptr>(&gTime);
  return 0;
}

std::vector<float> Signal(int channel) {
  std::vector<float> v(kBlock);
  for (int i = 0; i < kBlock; ++i)
    v[i] = static_cast<float>(0.3 * std::sin(0.01 * (i + 1) * (channel + 1)));
  return v;
}

class Vst2Path : public Path {
 public:
  explicit Vst2Path(bool midi) {
    gTime.tempo = 120.0;
    gTime.sampleRate = kRate;
    gTime.flags = vst::kVstTempoValid | vst::kVstTransportPlaying;
    effect_ = VSTPluginMain(HostCallback);
    Dispatch(vst::effOpen, 0, 0.0f);
    Dispatch(vst::effSetSampleRate, 0, static_cast<float>(kRate));
    Dispatch(vst::effSetBlockSize, kBlock, 0.0f);
    Dispatch(vst::effMainsChanged, 1, 0.0f);
    for (int c = 0; c < 2; ++c) {
      in_[c] = Signal(c);
      out_[c].assign(kBlock, 0.0f);
    }
    if (midi) {
      effect_->setParameter(effect_, kGrainMode, 1.0f);  // MIDI
      effect_->setParameter(effect_, kPolyphony, 1.0f);  // 8 voices
      struct {
        vst::int32 numEvents = kVoices;
        vst::intptr reserved = 0;
        vst::VstEvent* events[kVoices];
      } list;
      for (int i = 0; i < kVoices; ++i) {
        notes_[i] = vst::VstMidiEvent{};
        notes_[i].type = vst::kVstMidiType;
        notes_[i].byteSize = sizeof(vst::VstMidiEvent);
        notes_[i].midiData[0] = static_cast<char>(0x90);
        notes_[i].midiData[1] = static_cast<char>(48 + 3 * i);
        notes_[i].midiData[2] = 100;
        list.events[i] = reinterpret_cast<vst::VstEvent*>(&notes_[i]);
      }
      effect_->dispatcher(effect_, vst::effProcessEvents, 0, 0, &list, 0.0f);
    }
  }
  ~Vst2Path() override { Dispatch(vst::effClose, 0, 0.0f); }
  void Block() override {
    float* in[] = {in_[0].data(), in_[1].data()};
    float* out[] = {out_[0].data(), out_[1].data()};
    effect_->processReplacing(effect_, in, out, kBlock);
  }

 private:
  void Dispatch(vst::int32 opcode, vst::intptr value, float opt) {
    effect_->dispatcher(effect_, opcode, 0, value, nullptr, opt);
  }
  vst::AEffect* effect_ = nullptr;
  std::vector<float> in_[2], out_[2];
  vst::VstMidiEvent notes_[kVoices];
};

class Lv2Path : public Path {
 public:
  explicit Lv2Path(bool midi) {
    map_.handle = this;
    map_.map = Map;
    int32_t maxBlock = kBlock;
    LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, Map(this, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
         Map(this, LV2_ATOM__Int), &maxBlock},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    const LV2_Feature mapFeature = {LV2_URID__map, &map_};
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options, options};
    const LV2_Feature* features[] = {&mapFeature, &optionsFeature, nullptr};
    descriptor_ = lv2_descriptor(0);
    handle_ = descriptor_->instantiate(descriptor_, kRate, "", features);
    for (int c = 0; c < 2; ++c) {
      in_[c] = Signal(c);
      out_[c].assign(kBlock, 0.0f);
    }
    // The controls as a host leaves them: the defaults, MIDI mode changed.
    for (int i = 0; i < plug::lv2::kParamPorts; ++i) controls_[i] = kDefaults[i];
    if (midi) {
      controls_[kGrainMode] = 3.0f;
      controls_[kPolyphony] = 8.0f;
    }
    for (int i = 0; i < plug::lv2::kParamPorts; ++i)
      descriptor_->connect_port(handle_, i, &controls_[i]);
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioInLeft, in_[0].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioInRight, in_[1].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioOutLeft, out_[0].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioOutRight, out_[1].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortEventsIn, events_);
    descriptor_->connect_port(handle_, plug::lv2::kPortMidiOut, thru_);
    descriptor_->activate(handle_);
    lv2_atom_forge_init(&forge_, &map_);
    pendingNotes_ = midi;
  }
  ~Lv2Path() override {
    descriptor_->deactivate(handle_);
    descriptor_->cleanup(handle_);
  }
  void Block() override {
    // The host's event buffers for this run: the notes once, then empty.
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(events_), sizeof events_);
    lv2_atom_forge_sequence_head(&forge_, &sequence, 0);
    if (pendingNotes_) {
      for (int i = 0; i < kVoices; ++i) {
        const uint8_t note[3] = {0x90, static_cast<uint8_t>(48 + 3 * i), 100};
        lv2_atom_forge_frame_time(&forge_, 0);
        lv2_atom_forge_atom(&forge_, 3, Map(this, LV2_MIDI__MidiEvent));
        lv2_atom_forge_write(&forge_, note, 3);
      }
      pendingNotes_ = false;
    }
    lv2_atom_forge_pop(&forge_, &sequence);
    auto* thru = reinterpret_cast<LV2_Atom*>(thru_);
    thru->size = sizeof thru_ - sizeof(LV2_Atom);
    thru->type = Map(this, LV2_ATOM__Chunk);
    descriptor_->run(handle_, kBlock);
  }

 private:
  // A handful of URIs, looked up by comparison (no allocation after set-up).
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<Lv2Path*>(handle);
    for (int i = 0; i < self->count_; ++i)
      if (std::strcmp(self->uris_[i], uri) == 0) return static_cast<LV2_URID>(i + 1);
    self->uris_[self->count_] = uri;  // the callers' literals live on
    return static_cast<LV2_URID>(++self->count_);
  }
  // The defaults of the product's parameters (quillet.ttl).
  static constexpr float kDefaults[plug::lv2::kParamPorts] = {
      1, 1, 0, 20, 10, 110, 0, 0, 0, 0, 160, 10, 0, 0, 0, 0, 0, 4, 0, 0, 1, 0.05f};

  LV2_URID_Map map_{};
  const char* uris_[64] = {};
  int count_ = 0;
  const LV2_Descriptor* descriptor_ = nullptr;
  LV2_Handle handle_ = nullptr;
  float controls_[plug::lv2::kParamPorts] = {};
  std::vector<float> in_[2], out_[2];
  alignas(8) uint8_t events_[4096] = {};
  alignas(8) uint8_t thru_[4096] = {};
  LV2_Atom_Forge forge_{};
  bool pendingNotes_ = false;
};

// What callgrind counts.
__attribute__((noinline)) void RenderBlocks(Path* path, int blocks) {
  for (int b = 0; b < blocks; ++b) path->Block();
}

}  // namespace

int main(int argc, char** argv) {
  std::string format = "vst2", config = "default";
  double seconds = 1.0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--format") == 0) format = argv[i + 1];
    if (std::strcmp(argv[i], "--config") == 0) config = argv[i + 1];
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
  }
  const bool midi = config == "midi8";
  Path* path = nullptr;
  if (format == "vst2") path = new Vst2Path(midi);
  if (format == "lv2") path = new Lv2Path(midi);
  if (!path || (config != "default" && !midi)) {
    std::fprintf(stderr, "usage: quillet-format-bench --format vst2|lv2 --config default|midi8\n");
    return 2;
  }
  const int blocks = static_cast<int>(seconds * kRate / kBlock);
  RenderBlocks(path, blocks);
  std::printf("%s %s %d stereo samples\n", format.c_str(), config.c_str(), blocks * kBlock);
  delete path;
  return 0;
}
