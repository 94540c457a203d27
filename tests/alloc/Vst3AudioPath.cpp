// The VST 3 audio path: the instance from the same factory as in the shipped
// module (plug/vst3/Vst3Entry.cpp, built into the test program), driven by the
// test host's objects (tools/vst3host), whose queues and event lists have
// fixed capacity: note events, controllers through their mapped parameters,
// parameter changes at offsets, a playing transport, both sample sizes.
#include <vector>

#include "AudioPath.h"
#include "plug/ModuleExport.h"
#include "tools/vst3host/Vst3Instance.h"

extern "C" QUILLET_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory();

namespace alloc_test {

namespace {

using namespace vst3;

constexpr ParamID kControllerParamBase = 2000;

class Vst3AudioPath : public AudioPath {
 public:
  ~Vst3AudioPath() override {
    instance_.close();
    if (factory_) factory_->release();
  }
  const char* Name() const override { return "VST 3"; }

  bool Prepare(double rateHz) override {
    factory_ = GetPluginFactory();
    if (!instance_.open(factory_, nullptr)) return false;
    rateHz_ = rateHz;
    if (!instance_.start(rateHz, kBlock, true, kRealtime)) return false;
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
    SetTransport();
    return true;
  }

  void ChangeSampleRate(double rateHz) override {
    instance_.stop();
    rateHz_ = rateHz;
    instance_.start(rateHz, kBlock, true, kRealtime);
    SetTransport();
  }

  void SetParameter(int index, double normalized) override {
    instance_.changes().add(static_cast<ParamID>(index), (index * 17) % kBlock, normalized);
  }

  void SendMidi(const BlockMidi& midi) override {
    for (int i = 0; i < midi.count; ++i) {
      const unsigned char* m = midi.messages[i];
      const int offset = i * midi.offsetStep, channel = m[0] & 0x0F;
      switch (m[0] & 0xF0) {
        case 0x90:
          if (m[2] > 0) {
            instance_.events().noteOn(offset, channel, m[1], m[2] / 127.0f);
            break;
          }
          [[fallthrough]];
        case 0x80:
          instance_.events().noteOff(offset, channel, m[1]);
          break;
        case 0xB0:
          instance_.changes().add(kControllerParamBase + m[1], offset, m[2] / 127.0);
          break;
        default:  // pitch bend reaches a VST 3 plug-in only if it maps it
          break;
      }
    }
  }

  void ProcessEveryEntry() override {
    float* fin[2] = {in_[0].data(), in_[1].data()};
    float* fout[2] = {out_[0].data(), out_[1].data()};
    double* din[2] = {inDouble_[0].data(), inDouble_[1].data()};
    double* dout[2] = {outDouble_[0].data(), outDouble_[1].data()};
    Advance(kBlock);
    instance_.processDouble(din, dout, kBlock);
    Advance(kLongCall);
    instance_.processDouble(din, dout, kLongCall);
    // The sample size is the host's choice per call.
    Advance(kBlock);
    instance_.processFloat(fin, fout, kBlock);
    Advance(kLongCall);
    instance_.processFloat(fin, fout, kLongCall);
  }

 private:
  void SetTransport() {
    ProcessContext& c = instance_.context();
    c = ProcessContext{};
    c.sampleRate = rateHz_;
    c.tempo = 128.0;
    c.timeSigNumerator = 4;
    c.timeSigDenominator = 4;
    c.state = kPlaying | kTempoValid | kTimeSigValid | kProjectTimeMusicValid;
    position_ = 0;
  }
  void Advance(int frames) {
    ProcessContext& c = instance_.context();
    c.projectTimeSamples = position_;
    c.projectTimeMusic = static_cast<double>(position_) / rateHz_ * c.tempo / 60.0;
    position_ += frames;
  }

  IPluginFactory* factory_ = nullptr;
  vst3host::Vst3Instance instance_;
  double rateHz_ = 48000.0;
  long long position_ = 0;
  std::vector<float> in_[2], out_[2];
  std::vector<double> inDouble_[2], outDouble_[2];
};

}  // namespace

AudioPath* MakeVst3AudioPath() { return new Vst3AudioPath(); }

}  // namespace alloc_test
