// Processing as hosts drive it: changes and notes at their sample offsets,
// both sample sizes, flush calls, unusable buffers, and MIDI controllers
// through their hidden parameters giving what VST 2 gives for the same
// messages.
#include <cmath>

#include "tests/e2e/vst3/Vst3Fixture.h"
#include "tools/vsthost/HostEvent.h"

namespace e2e {
namespace {

using namespace vst3;

constexpr int kBlock = 256;

struct Buffers {
  std::vector<double> in0 = std::vector<double>(kBlock), in1 = in0, out0 = in0, out1 = in0;
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {out0.data(), out1.data()};
  void fill(long start) {
    for (int i = 0; i < kBlock; ++i) {
      in0[static_cast<std::size_t>(i)] = TestSignal(0, start + i);
      in1[static_cast<std::size_t>(i)] = TestSignal(1, start + i);
    }
  }
};

// The host's transport as the VST 2 test host reports it by default.
void Vst2LikeContext(ProcessContext* c) {
  *c = ProcessContext{};
  c->sampleRate = 44100.0;
  c->tempo = 120.0;
  c->timeSigNumerator = 4;
  c->timeSigDenominator = 4;
  c->state = kTempoValid | kTimeSigValid | kProjectTimeMusicValid;
}

void SelectProgram(vst3host::Vst3Instance& instance, int program) {
  instance.controller()->setParamNormalized(kProgramParam, program / 9.0);
}

TEST_F(Vst3Fixture, ChangesAndNotesLandOnTheirSample) {
  for (int program = 0; program < 10; ++program) {
    // One block with a change at 100 and a note at 180 against the same
    // block split there with everything at the pieces' starts.
    std::unique_ptr<vst3host::Vst3Instance> whole = another(), split = another();
    SelectProgram(*whole, program);
    SelectProgram(*split, program);
    ASSERT_TRUE(whole->start(44100.0, kBlock, true));
    ASSERT_TRUE(split->start(44100.0, kBlock, true));
    Buffers a, b;
    a.fill(0);
    b.fill(0);
    whole->changes().add(1, 100, 0.3);
    whole->events().noteOn(180, 0, 60, 0.8f);
    whole->events().noteOn(180, 0, 67, 0.8f);
    ASSERT_EQ(whole->processDouble(a.ins, a.outs, kBlock), kResultOk);
    const int cuts[4] = {0, 100, 180, kBlock};
    for (int k = 0; k < 3; ++k) {
      const int at = cuts[k], n = cuts[k + 1] - at;
      if (at == 100) split->changes().add(1, 0, 0.3);
      if (at == 180) {
        split->events().noteOn(0, 0, 60, 0.8f);
        split->events().noteOn(0, 0, 67, 0.8f);
      }
      double* ins[2] = {b.in0.data() + at, b.in1.data() + at};
      double* outs[2] = {b.out0.data() + at, b.out1.data() + at};
      ASSERT_EQ(split->processDouble(ins, outs, n), kResultOk);
    }
    for (int i = 0; i < 2; ++i) {  // a second block lets the notes sound
      whole->processDouble(a.ins, a.outs, kBlock);
      split->processDouble(b.ins, b.outs, kBlock);
    }
    EXPECT_EQ(a.out0, b.out0) << "program " << program;
    EXPECT_EQ(a.out1, b.out1) << "program " << program;
  }
}

TEST_F(Vst3Fixture, FloatProcessingWritesWhatDoubleProcessingDoes) {
  std::unique_ptr<vst3host::Vst3Instance> other = another();
  ASSERT_TRUE(instance_.start(44100.0, kBlock, true));
  ASSERT_TRUE(other->start(44100.0, kBlock, false));
  Buffers d;
  d.fill(0);
  std::vector<float> f0(kBlock), f1(kBlock), o0(kBlock, 12345.f), o1(kBlock, 12345.f);
  for (int i = 0; i < kBlock; ++i) {
    f0[static_cast<std::size_t>(i)] = static_cast<float>(d.in0[static_cast<std::size_t>(i)]);
    f1[static_cast<std::size_t>(i)] = static_cast<float>(d.in1[static_cast<std::size_t>(i)]);
  }
  float* fins[2] = {f0.data(), f1.data()};
  float* fouts[2] = {o0.data(), o1.data()};
  ASSERT_EQ(instance_.processDouble(d.ins, d.outs, kBlock), kResultOk);
  ASSERT_EQ(other->processFloat(fins, fouts, kBlock), kResultOk);
  for (int i = 0; i < kBlock; ++i)  // overwritten, not accumulated
    EXPECT_NEAR(o0[static_cast<std::size_t>(i)], d.out0[static_cast<std::size_t>(i)], 1e-5) << i;
}

TEST_F(Vst3Fixture, FlushCallsApplyChangesAndBadBuffersAreSafe) {
  ASSERT_TRUE(instance_.start(44100.0, kBlock, true));
  instance_.changes().add(3, 0, 0.75);
  ASSERT_EQ(instance_.processDouble(nullptr, nullptr, 0), kResultOk);
  EXPECT_NEAR(instance_.controller()->getParamNormalized(3), 0.75, 1e-6);
  EXPECT_EQ(instance_.processor()->process(nullptr), kInvalidArgument);
  // One channel, null channel pointers, a block longer than announced.
  Buffers b;
  b.fill(0);
  double* none[2] = {nullptr, nullptr};
  b.out0.assign(kBlock, 12345.0);
  EXPECT_EQ(instance_.processDouble(none, b.outs, kBlock), kResultOk);
  EXPECT_EQ(b.out0, std::vector<double>(kBlock, 0.0)) << "outputs are always written";
  ProcessData data{};
  AudioBusBuffers mono{};
  mono.numChannels = 1;
  mono.channelBuffers64 = b.ins;
  data.symbolicSampleSize = kSample64;
  data.numSamples = kBlock;
  data.numInputs = data.numOutputs = 1;
  data.inputs = data.outputs = &mono;
  EXPECT_EQ(instance_.processor()->process(&data), kResultOk);
  data.symbolicSampleSize = 9;
  EXPECT_EQ(instance_.processor()->process(&data), kInvalidArgument);
  std::vector<double> long0(4 * kBlock, 0.1), long1(long0), out0(long0), out1(long0);
  double* lins[2] = {long0.data(), long1.data()};
  double* louts[2] = {out0.data(), out1.data()};
  ASSERT_EQ(instance_.processDouble(lins, louts, 4 * kBlock), kResultOk);
  for (double v : out0) ASSERT_TRUE(std::isfinite(v));
}

// The same notes and controllers (an unlearned one, then all notes off)
// through VST 2 events and through VST 3 note events and mapped parameters.
TEST_F(Vst3Fixture, MappedControllersActAsVst2ControllerMessages) {
  for (int program = 0; program < 10; ++program) {
    vst2_.unload();
    openVst2();
    vst2_.setBlockSize(kBlock);
    vst2_.dispatch(vst::effSetProgram, 0, program);
    vst2_.resume();
    std::unique_ptr<vst3host::Vst3Instance> v3 = another();
    SelectProgram(*v3, program);
    ASSERT_TRUE(v3->start(44100.0, kBlock, true));
    Vst2LikeContext(&v3->context());
    Buffers a, b;
    IMidiMapping* mapping = static_cast<IMidiMapping*>(v3->query(iid::kMidiMapping));
    ASSERT_NE(mapping, nullptr);
    for (int block = 0; block < 6; ++block) {
      a.fill(block * kBlock);
      b.fill(block * kBlock);
      std::vector<vsthost::HostEvent> events;
      if (block == 0) {
        events.push_back(vsthost::HostEvent::midi(0, 0x90, 60, 100));
        v3->events().noteOn(0, 0, 60, 100 / 127.0f);
      }
      if (block == 1 || block == 3) {
        const std::uint8_t cc = block == 1 ? 7 : 123;
        events.push_back(vsthost::HostEvent::midi(0, 0xB2, cc, block == 1 ? 64 : 0));
        ParamID id = 0;
        ASSERT_EQ(mapping->getMidiControllerAssignment(0, 2, cc, &id), kResultTrue);
        v3->changes().add(id, 0, block == 1 ? 64 / 127.0 : 0.0);
      }
      if (!events.empty()) vst2_.sendEvents(events);
      vst2_.processDoubleReplacing(a.ins, a.outs, kBlock);
      ASSERT_EQ(v3->processDouble(b.ins, b.outs, kBlock), kResultOk);
      ASSERT_EQ(a.out0, b.out0) << "program " << program << " block " << block;
      ASSERT_EQ(a.out1, b.out1) << "program " << program << " block " << block;
    }
    mapping->release();
  }
}

}  // namespace
}  // namespace e2e
