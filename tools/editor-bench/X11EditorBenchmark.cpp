// Timings of Quillet's complete panel on the X11 window layer, in a real X
// window (run it with DISPLAY set, e.g. through cmake/run-with-display.sh on
// a virtual display), in microseconds per operation:
//   - a full redraw: every control drawn and the whole 984 x 432 picture put
//     on the window (XPutImage, flushed);
//   - turning one knob: a drag step and the redraw of what it dirtied (the
//     knob and both envelope pictures), put on the window.
// Each is measured twice: as this process's CPU time (our drawing and Xlib's
// work, without the X server's own time) and as wall time to the server's
// answer (XSync after each, the server's time included).
#include <benchmark/benchmark.h>

#include <cstdint>

// The product's headers before Xlib, whose macros (None, Status) clash with
// their names.
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

  OpenPanel() {
    if (!host || !gui) return;
    window = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 984, 432, 0, 0, 0);
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
  // The editor's own connection waits for the server.
  void Sync() { XSync(gui->Connection()->Get(), False); }
};

void FullRedraw(benchmark::State& state) {
  OpenPanel panel;
  if (!panel.ok) {
    state.SkipWithError("no X display or no editor window");
    return;
  }
  const bool sync = state.range(0) == 1;
  const IRect all(0, 0, 984, 432);
  for (auto _ : state) {
    panel.gui->Redraw(&all);
    if (sync) panel.Sync();
  }
}
BENCHMARK(FullRedraw)
    ->ArgName("sync")
    ->Arg(0)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(FullRedraw)->ArgName("sync")->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A drag step on the Grain Fade-In knob and the redraw of what it dirtied.
void TurningOneKnob(benchmark::State& state) {
  OpenPanel panel;
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
    IRect dirty;
    if (panel.gui->CollectDirty(&dirty)) panel.gui->Redraw(&dirty);
    if (sync) panel.Sync();
  }
  panel.gui->OnMouseUp(250, y, &left);
}
BENCHMARK(TurningOneKnob)
    ->ArgName("sync")
    ->Arg(0)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(TurningOneKnob)->ArgName("sync")->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
