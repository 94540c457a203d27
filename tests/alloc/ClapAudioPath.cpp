// The CLAP audio path: the instance from the same entry as in the shipped
// .clap (plug/clap/ClapEntry.cpp, built into the test program), a host whose
// event lists, transport and buffers are made in Prepare, and the process
// call with parameter, MIDI and note events in both sample sizes, plus a
// params flush and the audio thread's reset.
#include <cstring>
#include <vector>

#include "AudioPath.h"
#include "plug/clap/ClapAbi.h"
#include "plug/clap/ClapDescriptor.h"

extern "C" const clap::PluginEntry clap_entry;

namespace alloc_test {

namespace {

constexpr int kMaxEvents = 64;

// Fixed-capacity event lists: nothing in them allocates.
struct ClapEventList {
  union Slot {
    clap::EventHeader header;
    clap::EventParamValue param;
    clap::EventMidi midi;
    clap::EventNote note;
  };
  Slot slots[kMaxEvents];
  std::uint32_t count = 0;
  clap::InputEvents in{this, Size, Get};
  clap::OutputEvents out{this, Push};

  static std::uint32_t CLAP_CALL Size(const clap::InputEvents* list) {
    return static_cast<ClapEventList*>(list->ctx)->count;
  }
  static const clap::EventHeader* CLAP_CALL Get(const clap::InputEvents* list, std::uint32_t i) {
    auto* self = static_cast<ClapEventList*>(list->ctx);
    return i < self->count ? &self->slots[i].header : nullptr;
  }
  static bool CLAP_CALL Push(const clap::OutputEvents*, const clap::EventHeader*) { return true; }
};

const void* CLAP_CALL HostExtension(const clap::Host*, const char*) { return nullptr; }
void CLAP_CALL HostRequest(const clap::Host*) {}

class ClapAudioPath : public AudioPath {
 public:
  ~ClapAudioPath() override {
    if (plugin_) {
      plugin_->stopProcessing(plugin_);
      plugin_->deactivate(plugin_);
      plugin_->destroy(plugin_);
    }
    if (initialised_) clap_entry.deinit();
  }
  const char* Name() const override { return "CLAP"; }

  bool Prepare(double rateHz) override {
    host_.clapVersion = clap::kVersion;
    host_.name = "alloc-guard";
    host_.version = "1";
    host_.getExtension = HostExtension;
    host_.requestRestart = HostRequest;
    host_.requestProcess = HostRequest;
    host_.requestCallback = HostRequest;
    initialised_ = clap_entry.init("Quillet.clap");
    const auto* factory =
        static_cast<const clap::PluginFactory*>(clap_entry.getFactory(clap::kPluginFactoryId));
    if (!initialised_ || !factory) return false;
    plugin_ = factory->createPlugin(factory, &host_, plug::kClapPluginId);
    if (!plugin_ || !plugin_->init(plugin_)) return false;
    const auto* params =
        static_cast<const clap::PluginParams*>(plugin_->getExtension(plugin_, clap::kExtParams));
    for (int i = 0; i < kParamCount; ++i)
      if (!params || !params->getInfo(plugin_, static_cast<std::uint32_t>(i), &infos_[i]))
        return false;
    rate_ = rateHz;
    transport_ = clap::EventTransport{};
    transport_.header.size = sizeof transport_;
    transport_.header.type = clap::kEventTransport;
    transport_.flags = clap::kTransportHasTempo | clap::kTransportHasBeatsTimeline |
                       clap::kTransportHasSecondsTimeline | clap::kTransportHasTimeSignature |
                       clap::kTransportIsPlaying;
    transport_.tempo = 128.0;
    transport_.tsigNum = 4;
    transport_.tsigDenom = 4;
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
    return Activate();
  }

  void ChangeSampleRate(double rateHz) override {
    plugin_->stopProcessing(plugin_);
    plugin_->deactivate(plugin_);
    rate_ = rateHz;
    Activate();
  }

  // Host changes travel as events: one list for the next process call.
  void SetParameter(int index, double normalized) override {
    if (events_.count >= kMaxEvents) return;
    auto& e = events_.slots[events_.count++].param;
    e = clap::EventParamValue{};
    e.header.size = sizeof e;
    e.header.type = clap::kEventParamValue;
    e.paramId = static_cast<clap::Id>(index);
    e.noteId = -1;
    e.portIndex = e.channel = e.key = -1;
    // Stepped parameters take whole steps; the others are 0..1.
    const clap::ParamInfo& info = infos_[index < kParamCount ? index : 0];
    e.value = info.minValue + (info.maxValue - info.minValue) * normalized;
    if (info.flags & clap::kParamIsStepped) e.value = static_cast<int>(e.value + 0.5);
  }

  void SendMidi(const BlockMidi& midi) override {
    for (int i = 0; i < midi.count && events_.count + 2 < kMaxEvents; ++i) {
      auto& e = events_.slots[events_.count++].midi;
      e = clap::EventMidi{};
      e.header.size = sizeof e;
      e.header.time = static_cast<std::uint32_t>(i * midi.offsetStep);
      e.header.type = clap::kEventMidi;
      std::memcpy(e.data, midi.messages[i], 3);
    }
    // The same notes as CLAP note events too.
    auto& on = events_.slots[events_.count++].note;
    on = clap::EventNote{};
    on.header.size = sizeof on;
    on.header.time = 300;
    on.header.type = clap::kEventNoteOn;
    on.key = 62;
    on.velocity = 0.8;
    auto& off = events_.slots[events_.count++].note;
    off = on;
    off.header.time = 400;
    off.header.type = clap::kEventNoteOff;
  }

  void ProcessEveryEntry() override {
    float* in[] = {in_[0].data(), in_[1].data()};
    float* out[] = {out_[0].data(), out_[1].data()};
    double* inDouble[] = {inDouble_[0].data(), inDouble_[1].data()};
    double* outDouble[] = {outDouble_[0].data(), outDouble_[1].data()};
    for (int frames : {kBlock, kLongCall}) {
      Process(in, out, nullptr, nullptr, frames);
      Process(nullptr, nullptr, inDouble, outDouble, frames);
    }
    // A flush outside a block and the audio thread's reset.
    const auto* params =
        static_cast<const clap::PluginParams*>(plugin_->getExtension(plugin_, clap::kExtParams));
    params->flush(plugin_, &events_.in, &events_.out);
    plugin_->reset(plugin_);
  }

 private:
  bool Activate() {
    // Longer calls than announced are not allowed in CLAP: announce the
    // long call as the largest.
    return plugin_->activate(plugin_, rate_, 1, kLongCall) && plugin_->startProcessing(plugin_);
  }

  void Process(float** in32, float** out32, double** in64, double** out64, int frames) {
    clap::AudioBuffer in{};
    clap::AudioBuffer out{};
    in.data32 = in32;
    out.data32 = out32;
    in.data64 = in64;
    out.data64 = out64;
    in.channelCount = out.channelCount = 2;
    clap::Process p{};
    p.steadyTime = steady_;
    p.framesCount = static_cast<std::uint32_t>(frames);
    p.transport = &transport_;
    p.audioInputs = &in;
    p.audioOutputs = &out;
    p.audioInputsCount = p.audioOutputsCount = 1;
    p.inEvents = &events_.in;
    p.outEvents = &events_.out;
    plugin_->process(plugin_, &p);
    events_.count = 0;
    steady_ += frames;
    const double seconds = steady_ / rate_;
    transport_.songPosSeconds = static_cast<std::int64_t>(seconds * clap::kSecTimeFactor);
    transport_.songPosBeats =
        static_cast<std::int64_t>(seconds * transport_.tempo / 60.0 * clap::kBeatTimeFactor);
  }

  clap::Host host_{};
  bool initialised_ = false;
  const clap::Plugin* plugin_ = nullptr;
  double rate_ = 48000.0;
  std::int64_t steady_ = 0;
  clap::EventTransport transport_{};
  ClapEventList events_;
  clap::ParamInfo infos_[kParamCount] = {};
  std::vector<float> in_[2], out_[2];
  std::vector<double> inDouble_[2], outDouble_[2];
};

}  // namespace

AudioPath* MakeClapAudioPath() { return new ClapAudioPath(); }

}  // namespace alloc_test
