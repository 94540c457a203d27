// Timings of Quillet's complete panel on the X11 window layer, in a real X
// window (run it with DISPLAY set, e.g. through cmake/run-with-display.sh on
// a virtual display), in microseconds per operation:
//   - a full redraw: every control drawn and the whole picture put on the
//     window (drawn straight into memory shared with the server where it
//     offers it, else put with XPutImage; flushed), at 100, 150 and 200 %
//     (percent);
//   - turning one knob: a drag step and the redraw of what it dirtied (the
//     knob and both envelope pictures, as the layer's timer draws them: each
//     area in a pass of its own), put on the window.
// Each is measured twice: as this process's CPU time (our drawing and Xlib's
// work, without the X server's own time) and as wall time to the server's
// answer (XSync after each, the server's time included). Each operation ends
// as a tick of the editor does: its event loop runs once.
//   - the idle tick of an open editor nobody touches, as a host drives it:
//     the idle call every 10 ms, and this process's CPU time per timer tick
//     (the four or so idle calls of each 40 ms); counter drawn/s: controls
//     drawn per second, in M.SEC and in MIDI mode.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>

// The product's headers before Xlib, whose macros (None, Status) clash with
// their names.
#include "plug/InstanceMutex.h"
#include "quillet/ParamIndex.h"
#include "quillet/Quillet.h"
// clang-format off
#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/X11Display.h"
// clang-format on

namespace {

using graphics::IRect;

// The host's side: a top-level window and the panel's editor opened in it.
struct OpenPanel {
  Display* host = XOpenDisplay(nullptr);
  Window window = 0;
  Quillet quillet;  // without host services: host calls are quiet no-ops
  graphics::IGraphicsX11* gui = dynamic_cast<graphics::IGraphicsX11*>(quillet.GetGraphics());
  bool ok = false;

  explicit OpenPanel(int percent = 100) {
    if (!host || !gui) return;
    gui->SetUserScalePercent(percent);
    window = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0,
                                 static_cast<unsigned>(gui->Width()),
                                 static_cast<unsigned>(gui->Height()), 0, 0, 0);
    XMapWindow(host, window);
    XSync(host, False);
    ok = gui->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(window))) != nullptr;
    for (int i = 0; ok && i < 5; ++i) gui->RunEvents();
  }
  ~OpenPanel() {
    if (gui) gui->CloseWindow();
    if (host) {
      if (window) XDestroyWindow(host, window);
      XCloseDisplay(host);
    }
  }
  // The end of a tick: the editor's requests go out, as its event loop sends
  // them. With sync, the time waits for the server to have done them; without,
  // the server's time is left out (ticks are 40 ms apart: the next one finds
  // the server done). Then the editor's loop takes the server's events (the
  // word that the shared pixels were read) as it does before each tick.
  void EndTick(benchmark::State& state, bool sync) {
    Display* d = gui->Connection()->Get();
    XFlush(d);
    if (sync) {
      XSync(d, False);
    } else {
      state.PauseTiming();
      XSync(d, False);
      state.ResumeTiming();
    }
    gui->RunEvents();
  }
};

void FullRedraw(benchmark::State& state) {
  OpenPanel panel(static_cast<int>(state.range(1)));
  if (!panel.ok) {
    state.SkipWithError("no X display or no editor window");
    return;
  }
  const bool sync = state.range(0) == 1;
  const IRect all(0, 0, 984, 432);
  for (auto _ : state) {
    panel.gui->Redraw(&all);
    panel.EndTick(state, sync);
  }
}
BENCHMARK(FullRedraw)
    ->ArgNames({"sync", "percent"})
    ->ArgsProduct({{0}, {100, 150, 200}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(FullRedraw)
    ->ArgNames({"sync", "percent"})
    ->ArgsProduct({{1}, {100, 150, 200}})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// A drag step on the Grain Fade-In knob and the redraw of what it dirtied.
void TurningOneKnob(benchmark::State& state) {
  OpenPanel panel(static_cast<int>(state.range(1)));
  if (!panel.ok) {
    state.SkipWithError("no X display or no editor window");
    return;
  }
  const bool sync = state.range(0) == 1;
  graphics::IMouseState left;
  left.left = true;
  panel.gui->OnMouseDown(250, 318, &left);
  int y = 318;
  for (auto _ : state) {
    y = y == 318 ? 317 : 318;
    panel.gui->OnMouseDrag(250, y, &left);
    graphics::IDirtyList dirty;
    if (panel.gui->CollectDirty(&dirty)) panel.gui->Redraw(dirty);
    panel.EndTick(state, sync);
  }
  panel.gui->OnMouseUp(250, y, &left);
}
BENCHMARK(TurningOneKnob)
    ->ArgNames({"sync", "percent"})
    ->ArgsProduct({{0}, {100, 200}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(TurningOneKnob)
    ->ArgNames({"sync", "percent"})
    ->ArgsProduct({{1}, {100, 200}})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

long long CpuMicroseconds() {
  timespec t = {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

void IdleTickOfTheUntouchedPanel(benchmark::State& state) {
  OpenPanel panel;
  if (!panel.ok) {
    state.SkipWithError("no X display or no editor window");
    return;
  }
  Quillet& quillet = panel.quillet;
  {
    plug::InstanceLock lock(quillet.Mutex());
    quillet.HostSetParameter(quillet::kGrainMode, state.range(0) == 1 ? 1.0 : 0.0);
  }
  const int periodMs = 1000 / panel.gui->Fps();
  auto idleFor = [&](int ms) {
    for (int waited = 0; waited < ms; waited += 10) {
      // As a binding answers the host's idle call: the editor's events, then
      // the plug-in's idle hook under the instance lock.
      quillet.HostEditorEvents();
      {
        plug::InstanceLock lock(quillet.Mutex());
        quillet.HostIdle();
      }
      const timespec pause = {0, 10 * 1000000L};
      nanosleep(&pause, nullptr);
    }
  };
  idleFor(2000);  // drawn, and past a few of the plug-in's idle hooks
  const long long drawnBefore = panel.gui->ControlsDrawn();
  for (auto _ : state) {
    // The sleeps between the calls are not the editor's: only CPU time counts.
    long long cpu = -CpuMicroseconds();
    idleFor(periodMs);
    cpu += CpuMicroseconds();
    state.SetIterationTime(static_cast<double>(cpu) / 1e6);
  }
  const double perTick = static_cast<double>(panel.gui->ControlsDrawn() - drawnBefore) /
                         static_cast<double>(state.iterations());
  state.counters["drawn/s"] = perTick * panel.gui->Fps();
}
BENCHMARK(IdleTickOfTheUntouchedPanel)
    ->ArgName("midi")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(100)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
