// Timings of the editor, in microseconds per operation (Google Benchmark
// prints the figures; nothing is asserted), on the headless window layer so
// that only our own drawing is measured:
//   - the graphics host with thirty bitmap controls over a full background:
//     a full redraw, the redraw of one dirty 64 x 64 control, and a timer
//     tick with nothing to draw;
//   - Quillet's complete panel: opening the editor of a new instance (the
//     first one decodes the images), a full redraw, turning one knob, and the
//     idle tick of an open editor nobody touches (the host's idle call and a
//     timer tick; counter drawn/s: controls drawn per second at 25 ticks a
//     second, in M.SEC and in MIDI mode).
#include <benchmark/benchmark.h>

#include <memory>

#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "lice/LICE_MemBitmap.h"
#include "plug/IPlugBase.h"
#include "quillet/ParamIndex.h"
#include "quillet/Quillet.h"

namespace {

using graphics::IRect;

plug::IPlugConfig Config() {
  plug::IPlugConfig c{"Bench", "", "Vellum Music", 1, 0x00010102, 4, 1, "2-2"};
  return c;
}

// Without host services: every host call is a quiet no-op.
class BenchPlug : public plug::IPlugBase {
 public:
  BenchPlug() : plug::IPlugBase(Config()) {}
};

// Pictures like the editor's: a 984 x 432 background, a strip of 65 knob
// frames of 64 x 64, with soft alpha.
class BenchGraphics : public graphics::IGraphicsHeadless {
 public:
  using IGraphicsHeadless::IGraphicsHeadless;
  LICE_IBitmap* LoadPlatformBitmap(int id, const char* name) override {
    const bool knob = id == 2;
    auto* b = new LICE_MemBitmap(knob ? 64 : 984, knob ? 64 * 65 : 432);
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x)
        b->Bits()[y * b->RowSpan() + x] =
            LICE_RGBA(x & 0xFF, y & 0xFF, (x + y) & 0xFF, knob ? ((x * y) & 0xFF) : 255);
    return b;
  }
};

struct ThirtyControls {
  BenchPlug plug;
  BenchGraphics* gui = nullptr;
  ThirtyControls() {
    gui = new BenchGraphics(&plug);
    gui->AttachBackground(1, "back.png");
    const graphics::IFrameStrip knob = gui->LoadBitmap(2, "knob.png", 65);
    for (int i = 0; i < 30; ++i) {
      auto* c =
          new graphics::IBitmapControl(&plug, 20 + (i % 10) * 94, 20 + (i / 10) * 130, -1, knob);
      c->SetValue(i / 29.0);
      gui->AttachControl(c);
    }
    plug.AttachEditor(gui);
    gui->OpenWindow(nullptr);
    gui->Tick();
  }
};

void FullRedrawOfThirtyBitmapControls(benchmark::State& state) {
  ThirtyControls editor;
  const IRect all(0, 0, 984, 432);
  for (auto _ : state) editor.gui->Redraw(&all);
}
BENCHMARK(FullRedrawOfThirtyBitmapControls)->Unit(benchmark::kMicrosecond);

void RedrawOfOneDirtyControl(benchmark::State& state) {
  ThirtyControls editor;
  graphics::IControl* one = editor.gui->GetControl(7);
  for (auto _ : state) {
    one->MarkDirty(false);
    editor.gui->Tick();
  }
}
BENCHMARK(RedrawOfOneDirtyControl)->Unit(benchmark::kMicrosecond);

void TimerTickWithNothingDirty(benchmark::State& state) {
  ThirtyControls editor;
  for (auto _ : state) benchmark::DoNotOptimize(editor.gui->Tick());
}
BENCHMARK(TimerTickWithNothingDirty)->Unit(benchmark::kMicrosecond);

plug::IPlugEditor* MakeHeadless(effect::Effect* plugin) {
  return new graphics::IGraphicsHeadless(plugin);
}

// A new instance and its editor opened and drawn once, as a host does when
// the user opens the plug-in's window. The first run decodes the images.
void OpenTheCompleteEditor(benchmark::State& state) {
  for (auto _ : state) {
    if (state.range(0) == 1) {
      state.PauseTiming();
      graphics::IGraphics::ReleaseProcessCaches();
      state.ResumeTiming();
    }
    Quillet quillet(MakeHeadless);
    auto* gui = dynamic_cast<graphics::IGraphicsHeadless*>(quillet.GetGraphics());
    gui->OpenWindow(nullptr);
    gui->Tick();
  }
}
BENCHMARK(OpenTheCompleteEditor)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

struct CompletePanel {
  Quillet quillet{MakeHeadless};
  graphics::IGraphicsHeadless* gui =
      dynamic_cast<graphics::IGraphicsHeadless*>(quillet.GetGraphics());
  CompletePanel() {
    gui->OpenWindow(nullptr);
    for (int i = 0; i < 3; ++i) gui->Tick();
  }
};

void FullRedrawOfTheCompletePanel(benchmark::State& state) {
  CompletePanel panel;
  const IRect all(0, 0, 984, 432);
  for (auto _ : state) panel.gui->Redraw(&all);
}
BENCHMARK(FullRedrawOfTheCompletePanel)->Unit(benchmark::kMicrosecond);

// A drag step on the Grain Fade-In knob and the tick that draws it (the knob
// and both envelope pictures).
void TurningTheGrainFadeInKnob(benchmark::State& state) {
  CompletePanel panel;
  graphics::IMouseState left;
  left.left = true;
  panel.gui->OnMouseDown(250, 318, &left);
  int y = 318;
  for (auto _ : state) {
    y = y == 318 ? 317 : 318;
    panel.gui->OnMouseDrag(250, y, &left);
    panel.gui->Tick();
  }
  panel.gui->OnMouseUp(250, y, &left);
}
BENCHMARK(TurningTheGrainFadeInKnob)->Unit(benchmark::kMicrosecond);

// The host's idle call as a binding makes it: the plug-in's idle hook under
// the instance lock (the headless panel has no window events to run).
void HostIdleCall(Quillet& quillet) {
  plug::InstanceLock lock(quillet.Mutex());
  quillet.HostIdle();
}

void IdleTickOfTheUntouchedPanel(benchmark::State& state) {
  CompletePanel panel;
  {
    plug::InstanceLock lock(panel.quillet.Mutex());
    panel.quillet.HostSetParameter(quillet::kGrainMode, state.range(0) == 1 ? 1.0 : 0.0);
  }
  for (int i = 0; i < 3 * graphics::IGraphics::kIdleTicksPerHostIdle; ++i) {
    HostIdleCall(panel.quillet);
    panel.gui->Tick();
  }
  const long long drawnBefore = panel.gui->ControlsDrawn();
  for (auto _ : state) {
    HostIdleCall(panel.quillet);
    benchmark::DoNotOptimize(panel.gui->Tick());
  }
  const double perTick = static_cast<double>(panel.gui->ControlsDrawn() - drawnBefore) /
                         static_cast<double>(state.iterations());
  state.counters["drawn/s"] = perTick * panel.gui->Fps();
}
BENCHMARK(IdleTickOfTheUntouchedPanel)
    ->ArgName("midi")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
