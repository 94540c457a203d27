// Tempo-synced processing fed with whatever time information a host gives:
// none at all, or records with zero, negative, huge or undefined values. The
// output must stay finite and bounded in every case.
#include <cmath>
#include <limits>
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
