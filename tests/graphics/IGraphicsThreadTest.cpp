// A parameter changed on another thread while the editor's timer draws: the
// exchange is race-free (the ThreadSanitizer build checks that), and no change
// is lost: once the writer stops, the next ticks show its last value.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "GraphicsFixture.h"
#include "graphics/controls/IKnobMultiControl.h"

namespace graphics_test {
namespace {

using graphics::IRect;

// Remembers the value it last drew.
class ValueProbe : public ProbeControl {
 public:
  using ProbeControl::ProbeControl;
  bool Draw(graphics::IGraphics* g) override {
    drawn = Value();
    return ProbeControl::Draw(g);
  }
  double drawn = -1.0;
};

TEST(IGraphicsThreads, ParametersSetOnAnotherThreadWhileTheTimerDraws) {
  HostLog log;
  HostLog::current = &log;
  {
    GraphicsPlug plug;
    TestGraphics* editor = new TestGraphics(&plug);
    plug.AttachEditor(editor);
    ValueProbe* probes[3];
    for (int i = 0; i < 3; ++i) {
      probes[i] = new ValueProbe(&plug, IRect(20 * i, 0, 20 * i + 20, 20), i);
      editor->AttachControl(probes[i]);
    }
    editor->AttachControl(new graphics::IKnobMultiControl(
        &plug, 100, 0, 0, editor->LoadBitmap(kFirstTestBitmap + 650, "k.png", 65)));
    editor->OpenWindow(nullptr);

    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::atomic<long> writes{0};
    std::thread writer([&] {
      long n = 0;
      while (!stop.load()) {
        const double v = (n % 1000) / 1000.0;
        editor->SetParameterFromPlugin(static_cast<int>(n % 3), v, true);
        // As the product's editor feedback does from the thread that changed a mode.
        probes[2]->Hide((n & 1) != 0);
        writes.store(++n, std::memory_order_relaxed);
      }
      // The last values: one per control, and the hidden one shown again.
      for (int i = 0; i < 3; ++i) editor->SetParameterFromPlugin(i, 0.123 + i * 0.1, true);
      probes[2]->Hide(false);
      done.store(true);
    });
    // The timer keeps drawing while the writer writes; then until it is done.
    while (writes.load(std::memory_order_relaxed) < 20000) editor->Tick();
    stop.store(true);
    while (!done.load()) editor->Tick();
    writer.join();
    for (int i = 0; i < 3; ++i) editor->Tick();
    EXPECT_GT(writes.load(), 0);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(probes[i]->Value(), 0.123 + i * 0.1);
      EXPECT_EQ(probes[i]->drawn, 0.123 + i * 0.1) << "control " << i;
    }
    EXPECT_FALSE(probes[2]->IsHidden());
  }
  HostLog::current = nullptr;
}

}  // namespace
}  // namespace graphics_test
