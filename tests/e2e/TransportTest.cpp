// Tempo-synced processing as a host drives it: calls longer than the
// announced block stay on the host's timeline, and whatever time information
// a host gives (none at all, or records with zero, negative, huge or
// undefined values) keeps the output finite and bounded.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "ShippedPlugin.h"
#include "tools/vsthost/AudioBuffer.h"
#include "tools/vsthost/SignalMeter.h"
#include "tools/vsthost/TestSignal.h"

namespace e2e {
namespace {

using vsthost::AudioBuffer;

// Product parameters that make the engine read the host's transport.
constexpr vst::int32 kGrainModeParam = 2;
constexpr float kGrainModeSync = 1.0f / 3.0f;
constexpr vst::int32 kFrameSyncToHostParam = 12;

constexpr vst::int32 kGrainSyncParam = 4;
constexpr vst::int32 kFrameSyncParam = 11;

// A host that hands over three announced blocks in one call must hear the
// same as a host that makes three calls, its transport advanced by one block
// each time: the tempo grid stays where the host's timeline puts it.
using TempoGrid = ShippedPlugin;

TEST_F(TempoGrid, OneLongCallSoundsLikeBlocksWithTheTransportAdvanced) {
  constexpr int kBlock = 256;
  vsthost::PluginHost blocks;
  std::string error;
  ASSERT_EQ(blocks.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  for (vsthost::PluginHost* p : {&plugin_, &blocks}) {
    p->open();
    p->setSampleRate(44100.0f);
    p->setBlockSize(kBlock);
    p->resume();
    p->setParameter(kGrainModeParam, kGrainModeSync);
    p->setParameter(kGrainSyncParam, 0.0f);          // "1/64": 826 samples at 200
    p->setParameter(kFrameSyncParam, 4.0f / 19.0f);  // "1/16": 3307 samples at 200
    p->setParameter(kFrameSyncToHostParam, 1.0f);
  }
  vst::VstTimeInfo info{};
  info.tempo = 200.0;
  info.sampleRate = 44100.0;
  info.timeSigNumerator = 4;
  info.timeSigDenominator = 4;
  info.flags = vst::kVstTransportPlaying | vst::kVstTempoValid | vst::kVstPpqPosValid;
  auto at = [&info](double samplePos) {
    info.samplePos = samplePos;
    info.ppqPos = samplePos / 44100.0 * info.tempo / 60.0;
    return info;
  };

  AudioBuffer<float> input(2, 3 * kBlock), longOut(2, 3 * kBlock), blockOut(2, 3 * kBlock);
  AudioBuffer<double> inputDouble(2, 3 * kBlock), longDouble(2, 3 * kBlock),
      blockDouble(2, 3 * kBlock);
  vsthost::TestSignal signal(44100.0, 21);
  double position = 12345.0;  // off every grid line
  for (int call = 0; call < 12; ++call, position += 3 * kBlock) {
    SCOPED_TRACE(testing::Message() << "call " << call);
    const bool isDouble = call % 2 == 1;
    signal.render(input.channel(0), input.channel(1), 3 * kBlock);
    signal.render(inputDouble.channel(0), inputDouble.channel(1), 3 * kBlock);
    plugin_.host().setTimeInfo(at(position));
    if (isDouble) {
      plugin_.processDoubleReplacing(inputDouble.pointers(), longDouble.pointers(), 3 * kBlock);
    } else {
      plugin_.processReplacing(input.pointers(), longOut.pointers(), 3 * kBlock);
    }
    for (int piece = 0; piece < 3; ++piece) {
      blocks.host().setTimeInfo(at(position + piece * kBlock));
      const int offset = piece * kBlock;
      if (isDouble) {
        double* in[] = {inputDouble.channel(0) + offset, inputDouble.channel(1) + offset};
        double* out[] = {blockDouble.channel(0) + offset, blockDouble.channel(1) + offset};
        blocks.processDoubleReplacing(in, out, kBlock);
      } else {
        float* in[] = {input.channel(0) + offset, input.channel(1) + offset};
        float* out[] = {blockOut.channel(0) + offset, blockOut.channel(1) + offset};
        blocks.processReplacing(in, out, kBlock);
      }
    }
    if (isDouble) {
      ASSERT_EQ(longDouble.samples(0), blockDouble.samples(0));
      ASSERT_EQ(longDouble.samples(1), blockDouble.samples(1));
    } else {
      ASSERT_EQ(longOut.samples(0), blockOut.samples(0));
      ASSERT_EQ(longOut.samples(1), blockOut.samples(1));
    }
  }
}

struct TransportCase {
  const char* name;
  bool hasRecord;
  double tempo;
  double ppqPos;
  double samplePos;
  vst::int32 numerator;
  vst::int32 denominator;
};

class Transport : public ShippedPlugin, public ::testing::WithParamInterface<TransportCase> {};

TEST_P(Transport, SyncedProcessingStaysFinite) {
  const TransportCase& c = GetParam();
  openAndResume(256);
  plugin_.setParameter(kGrainModeParam, kGrainModeSync);
  plugin_.setParameter(kFrameSyncToHostParam, 1.0f);
  if (c.hasRecord) {
    vst::VstTimeInfo info{};
    info.tempo = c.tempo;
    info.ppqPos = c.ppqPos;
    info.samplePos = c.samplePos;
    info.barStartPos = c.ppqPos;
    info.cycleStartPos = c.ppqPos;
    info.cycleEndPos = c.ppqPos;
    info.sampleRate = 44100.0;
    info.timeSigNumerator = c.numerator;
    info.timeSigDenominator = c.denominator;
    info.flags = vst::kVstTransportPlaying | vst::kVstTransportCycleActive | vst::kVstPpqPosValid |
                 vst::kVstTempoValid | vst::kVstBarsValid | vst::kVstCyclePosValid |
                 vst::kVstTimeSigValid;
    plugin_.host().setTimeInfo(info);
  } else {
    plugin_.host().clearTimeInfo();
  }
  AudioBuffer<float> input(2, 256);
  AudioBuffer<float> output(2, 256);
  vsthost::TestSignal signal(44100.0);
  vsthost::SignalMeter meter;
  for (int block = 0; block < 40; ++block) {
    signal.render(input.channel(0), input.channel(1), 256);
    plugin_.processReplacing(input.pointers(), output.pointers(), 256);
    meter.add(output.channel(0), 256);
    meter.add(output.channel(1), 256);
  }
  EXPECT_EQ(meter.nonFiniteCount(), 0);
  EXPECT_LT(meter.peak(), 100.0);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    HostTimeRecords, Transport,
    ::testing::Values(TransportCase{"NoRecord", false, 0, 0, 0, 0, 0},
                      TransportCase{"Ordinary", true, 120.0, 8.0, 176400.0, 4, 4},
                      TransportCase{"ZeroTempo", true, 0.0, 0.0, 0.0, 4, 4},
                      TransportCase{"NegativeTempo", true, -90.0, -3.0, -1000.0, 4, 4},
                      TransportCase{"HugeTempo", true, 1e9, 1e12, 1e15, 4, 4},
                      TransportCase{"TinyTempo", true, 1e-9, 0.0, 0.0, 4, 4},
                      TransportCase{"NaNValues", true, kNaN, kNaN, kNaN, 4, 4},
                      TransportCase{"InfiniteValues", true, kInf, kInf, kInf, 4, 4},
                      TransportCase{"ZeroTimeSignature", true, 120.0, 3.0, 66150.0, 0, 0},
                      TransportCase{"NegativeTimeSignature", true, 120.0, 3.0, 66150.0, -3, -8}),
    [](const ::testing::TestParamInfo<TransportCase>& info) { return info.param.name; });

}  // namespace
}  // namespace e2e
