// The VST 2 audio path: the instance from the same entry point as in the
// shipped binary (plug/vst2/VstEntry.cpp, built into the test program), a
// host callback that answers from fixed records, the three process entries,
// effProcessEvents and setParameter.
#include <cstring>
#include <vector>

#include "AudioPath.h"
#include "plug/ModuleExport.h"
#include "plug/vst2/VstAbi.h"

extern "C" QUILLET_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host);

namespace alloc_test {

namespace {

// The host's time record; the callback allocates nothing.
vst::VstTimeInfo gTime{};

vst::intptr VST_CALL HostCallback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                  float) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterGetTime:
      return reinterpret_cast<vst::intptr>(&gTime);
    case vst::audioMasterProcessEvents:
      return 1;
    default:
      return 0;
  }
}

// An event list of fixed capacity, as hosts pass it.
struct Vst2EventList {
  vst::int32 numEvents = 0;
  vst::intptr reserved = 0;
  vst::VstEvent* events[BlockMidi::kMaxMessages] = {};
};

class Vst2AudioPath : public AudioPath {
 public:
  ~Vst2AudioPath() override {
    if (effect_) Dispatch(vst::effClose);
  }
  const char* Name() const override { return "VST 2"; }

  bool Prepare(double rateHz) override {
    gTime = vst::VstTimeInfo{};
    gTime.tempo = 128.0;
    gTime.sampleRate = rateHz;
    gTime.timeSigNumerator = 4;
    gTime.timeSigDenominator = 4;
    gTime.flags = vst::kVstTransportPlaying | vst::kVstTempoValid | vst::kVstPpqPosValid |
                  vst::kVstTimeSigValid;
    effect_ = VSTPluginMain(HostCallback);
    if (!effect_) return false;
    Dispatch(vst::effOpen);
    Dispatch(vst::effSetSampleRate, 0, static_cast<float>(rateHz));
    Dispatch(vst::effSetBlockSize, kBlock);
    Dispatch(vst::effMainsChanged, 1);
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
    return true;
  }

  void ChangeSampleRate(double rateHz) override {
    Dispatch(vst::effMainsChanged, 0);
    Dispatch(vst::effSetSampleRate, 0, static_cast<float>(rateHz));
    Dispatch(vst::effMainsChanged, 1);
    gTime.sampleRate = rateHz;
  }

  void SetParameter(int index, double normalized) override {
    effect_->setParameter(effect_, index, static_cast<float>(normalized));
  }

  void SendMidi(const BlockMidi& midi) override {
    Vst2EventList list;
    for (int i = 0; i < midi.count; ++i) {
      events_[i] = vst::VstMidiEvent{};
      events_[i].type = vst::kVstMidiType;
      events_[i].byteSize = sizeof(vst::VstMidiEvent);
      events_[i].deltaFrames = i * midi.offsetStep;
      std::memcpy(events_[i].midiData, midi.messages[i], 3);
      list.events[list.numEvents++] = reinterpret_cast<vst::VstEvent*>(&events_[i]);
    }
    effect_->dispatcher(effect_, vst::effProcessEvents, 0, 0, &list, 0.0f);
  }

  void ProcessEveryEntry() override {
    float* in[] = {in_[0].data(), in_[1].data()};
    float* out[] = {out_[0].data(), out_[1].data()};
    double* inDouble[] = {inDouble_[0].data(), inDouble_[1].data()};
    double* outDouble[] = {outDouble_[0].data(), outDouble_[1].data()};
    for (int frames : {kBlock, kLongCall}) {
      effect_->processReplacing(effect_, in, out, frames);
      Advance(frames);
      effect_->processDoubleReplacing(effect_, inDouble, outDouble, frames);
      Advance(frames);
      effect_->process(effect_, in, out, frames);
      Advance(frames);
    }
  }

 private:
  void Dispatch(vst::int32 opcode, vst::intptr value = 0, float opt = 0.0f) {
    effect_->dispatcher(effect_, opcode, 0, value, nullptr, opt);
  }
  static void Advance(int frames) {
    gTime.samplePos += frames;
    gTime.ppqPos = gTime.samplePos / gTime.sampleRate * gTime.tempo / 60.0;
  }

  vst::AEffect* effect_ = nullptr;
  std::vector<float> in_[2], out_[2];
  std::vector<double> inDouble_[2], outDouble_[2];
  vst::VstMidiEvent events_[BlockMidi::kMaxMessages];
};

}  // namespace

AudioPath* MakeVst2AudioPath() { return new Vst2AudioPath(); }

}  // namespace alloc_test
