// The instance lock seen from outside: one thread processes without pause
// while another changes parameters, texts, chunks and the block size. Run
// natively under ThreadSanitizer (native-tsan) this reports any entry that
// runs without the lock; elsewhere it checks that every block still comes
// out whole.
#include <atomic>
#include <thread>
#include <vector>

#include "ShippedPlugin.h"
#include "tools/vsthost/AudioBuffer.h"
#include "tools/vsthost/TestSignal.h"

namespace e2e {
namespace {

using vsthost::AudioBuffer;
using vsthost::ChunkKind;

using Concurrency = ShippedPlugin;

TEST_F(Concurrency, ProcessingWhileTheDispatcherIsCalledFromAnotherThread) {
  constexpr int kFrames = 256;
  constexpr int kBlocks = 3000;
  openAndResume(kFrames);
  makeDry();
  std::vector<std::uint8_t> chunk;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kProgram, &chunk), 0);

  std::atomic<bool> processing{true};
  std::atomic<int> badBlocks{0};
  std::thread audio([&] {
    AudioBuffer<float> input(2, kFrames);
    AudioBuffer<float> output(2, kFrames);
    AudioBuffer<double> inputDouble(2, kFrames);
    AudioBuffer<double> outputDouble(2, kFrames);
    vsthost::TestSignal signal(44100.0);
    for (int block = 0; block < kBlocks; ++block) {
      signal.render(input.channel(0), input.channel(1), kFrames);
      if (block % 2 == 0) {
        plugin_.processReplacing(input.pointers(), output.pointers(), kFrames);
        if (output.samples(0) != input.samples(0) || output.samples(1) != input.samples(1)) {
          ++badBlocks;
        }
      } else {
        signal.render(inputDouble.channel(0), inputDouble.channel(1), kFrames);
        plugin_.processDoubleReplacing(inputDouble.pointers(), outputDouble.pointers(), kFrames);
        if (outputDouble.samples(0) != inputDouble.samples(0)) {
          ++badBlocks;
        }
      }
    }
    processing.store(false);
  });

  // Everything but Mix and Volume, so the output stays the dry input.
  int round = 0;
  while (processing.load()) {
    const vst::int32 param = 2 + round % (kNumParams - 2);
    plugin_.setParameter(param, static_cast<float>(round % 11) / 10.0f);
    (void)plugin_.getParameter(param);
    (void)plugin_.paramDisplay(param);
    (void)plugin_.queryText(vst::effVendorSpecific, vst::kVendorFormatParamValue, param, 0.3f);
    std::vector<std::uint8_t> current;
    plugin_.getChunk(ChunkKind::kProgram, &current);
    plugin_.setChunk(ChunkKind::kProgram, chunk);
    char name[] = "Threaded";
    plugin_.dispatch(vst::effSetProgramName, 0, 0, name);
    plugin_.setBlockSize(round % 2 == 0 ? 128 : 512);
    plugin_.dispatch(vst::effEditIdle);
    ++round;
  }
  audio.join();
  EXPECT_EQ(badBlocks.load(), 0);
  EXPECT_GT(round, 0);
  EXPECT_EQ(plugin_.host().wantMidiCount(), kBlocks);
}

}  // namespace
}  // namespace e2e
