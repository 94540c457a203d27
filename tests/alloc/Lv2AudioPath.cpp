// The LV2 audio path: the instance from the same descriptor as in the shipped
// bundle (plug/lv2/Lv2Entry.cpp, built into the test program), a URID map and
// block-length options made before counting, the atom input written in place
// with MIDI and a time:Position per run, run and the double run. LV2 has no
// sample-rate change: the host makes a new instance.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AudioPath.h"
#include "lv2/atom/forge.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/midi/midi.h"
#include "lv2/options/options.h"
#include "lv2/time/time.h"
#include "plug/IPlugBase.h"
#include "plug/ModuleExport.h"
#include "plug/PluginFactory.h"
#include "plug/lv2/IPlugLV2.h"

extern "C" QUILLET_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index);

namespace alloc_test {

namespace {

// Every URI gets its number before counting starts (the plug-in maps at
// instantiation); later lookups only compare.
class UridMap {
 public:
  UridMap() {
    feature_.handle = this;
    feature_.map = Map;
    uris_.reserve(64);
  }
  LV2_URID_Map* feature() { return &feature_; }
  LV2_URID map(const char* uri) { return Map(this, uri); }

 private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<UridMap*>(handle);
    for (std::size_t i = 0; i < self->uris_.size(); ++i)
      if (self->uris_[i] == uri) return static_cast<LV2_URID>(i + 1);
    self->uris_.emplace_back(uri);
    return static_cast<LV2_URID>(self->uris_.size());
  }
  LV2_URID_Map feature_{};
  std::vector<std::string> uris_;
};

class Lv2AudioPath : public AudioPath {
 public:
  ~Lv2AudioPath() override { Close(); }
  const char* Name() const override { return "LV2"; }

  bool Prepare(double rateHz) override {
    tables_.reset(plug::CreatePlugin());
    for (int c = 0; c < 2; ++c) {
      in_[c].assign(kLongCall, 0.0f);
      out_[c].assign(kLongCall, 0.0f);
      inDouble_[c].assign(kLongCall, 0.0);
      outDouble_[c].assign(kLongCall, 0.0);
      for (int i = 0; i < kLongCall; ++i) {
        in_[c][i] = static_cast<float>(0.5 * ((i * (c + 3)) % 97) / 97.0 - 0.25);
        inDouble_[c][i] = in_[c][i];
      }
    }
    events_.assign(8192, 0);
    thru_.assign(8192, 0);
    lv2_atom_forge_init(&forge_, map_.feature());
    midiEvent_ = map_.map(LV2_MIDI__MidiEvent);
    position_ = map_.map(LV2_TIME__Position);
    for (const char* uri :
         {LV2_TIME__frame, LV2_TIME__speed, LV2_TIME__beatsPerMinute, LV2_TIME__beat,
          LV2_TIME__beatUnit, LV2_TIME__beatsPerBar, LV2_ATOM__Chunk, LV2_ATOM__Sequence})
      map_.map(uri);
    return Open(rateHz);
  }

  void ChangeSampleRate(double rateHz) override {
    Close();
    Open(rateHz);
  }

  void SetParameter(int index, double normalized) override {
    // Hosts send plain values; the product's table makes them here.
    controls_[index] = static_cast<float>(tables_->GetParam(index)->FromNormalized(normalized));
  }

  void SendMidi(const BlockMidi& midi) override {
    BeginEvents();
    for (int i = 0; i < midi.count; ++i) {
      lv2_atom_forge_frame_time(&forge_, i * midi.offsetStep);
      lv2_atom_forge_atom(&forge_, 3, midiEvent_);
      lv2_atom_forge_write(&forge_, midi.messages[i], 3);
    }
  }

  void ProcessEveryEntry() override {
    const auto* doubleRun = static_cast<const plug::Lv2DoubleRun*>(
        descriptor_->extension_data(plug::lv2::kDoubleRunUri));
    const double* inDouble[] = {inDouble_[0].data(), inDouble_[1].data()};
    double* outDouble[] = {outDouble_[0].data(), outDouble_[1].data()};
    for (int frames : {kBlock, kLongCall}) {
      FinishEvents();
      descriptor_->run(handle_, frames);
      Advance(frames);
      FinishEvents();
      doubleRun->run_double(handle_, inDouble, outDouble, frames);
      Advance(frames);
    }
  }

 private:
  bool Open(double rateHz) {
    rate_ = rateHz;
    samplePos_ = 0.0;
    options_[0] = {
        LV2_OPTIONS_INSTANCE,    0,         map_.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
        map_.map(LV2_ATOM__Int), &maxBlock_};
    options_[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mapFeature_ = {LV2_URID__map, map_.feature()};
    optionsFeature_ = {LV2_OPTIONS__options, options_};
    const LV2_Feature* features[] = {&mapFeature_, &optionsFeature_, nullptr};
    descriptor_ = lv2_descriptor(0);
    handle_ = descriptor_->instantiate(descriptor_, rateHz, "", features);
    if (!handle_) return false;
    for (int i = 0; i < kParamCount; ++i) {
      controls_[i] = static_cast<float>(tables_->GetParam(i)->Default());
      descriptor_->connect_port(handle_, i, &controls_[i]);
    }
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioInLeft, in_[0].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioInRight, in_[1].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioOutLeft, out_[0].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortAudioOutRight, out_[1].data());
    descriptor_->connect_port(handle_, plug::lv2::kPortEventsIn, events_.data());
    descriptor_->connect_port(handle_, plug::lv2::kPortMidiOut, thru_.data());
    descriptor_->activate(handle_);
    return true;
  }

  void Close() {
    if (!handle_) return;
    descriptor_->deactivate(handle_);
    descriptor_->cleanup(handle_);
    handle_ = nullptr;
  }

  void BeginEvents() {
    if (open_) return;
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(events_.data()),
                              events_.size() * sizeof(uint64_t));
    lv2_atom_forge_sequence_head(&forge_, &sequence_, 0);
    open_ = true;
  }

  // The host's transport at the run's first frame ends every event list.
  void FinishEvents() {
    BeginEvents();
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge_, 0);
    lv2_atom_forge_object(&forge_, &object, 0, position_);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__frame));
    lv2_atom_forge_long(&forge_, static_cast<int64_t>(samplePos_));
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__speed));
    lv2_atom_forge_float(&forge_, 1.0f);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge_, 128.0f);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beat));
    lv2_atom_forge_double(&forge_, samplePos_ / rate_ * 128.0 / 60.0);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&forge_, 4);
    lv2_atom_forge_key(&forge_, map_.map(LV2_TIME__beatsPerBar));
    lv2_atom_forge_float(&forge_, 4.0f);
    lv2_atom_forge_pop(&forge_, &object);
    lv2_atom_forge_pop(&forge_, &sequence_);
    open_ = false;
    auto* thru = reinterpret_cast<LV2_Atom*>(thru_.data());
    thru->size = static_cast<uint32_t>(thru_.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
    thru->type = map_.map(LV2_ATOM__Chunk);
  }

  void Advance(int frames) { samplePos_ += frames; }

  std::unique_ptr<plug::IPlugBase> tables_;
  UridMap map_;
  LV2_Feature mapFeature_{}, optionsFeature_{};
  LV2_Options_Option options_[2] = {};
  int32_t maxBlock_ = kBlock;
  const LV2_Descriptor* descriptor_ = nullptr;
  LV2_Handle handle_ = nullptr;
  double rate_ = 48000.0;
  double samplePos_ = 0.0;
  float controls_[kParamCount] = {};
  std::vector<float> in_[2], out_[2];
  std::vector<double> inDouble_[2], outDouble_[2];
  std::vector<uint64_t> events_, thru_;
  LV2_Atom_Forge forge_{};
  LV2_Atom_Forge_Frame sequence_{};
  bool open_ = false;
  LV2_URID midiEvent_ = 0, position_ = 0;
};

}  // namespace

AudioPath* MakeLv2AudioPath() { return new Lv2AudioPath(); }

}  // namespace alloc_test
