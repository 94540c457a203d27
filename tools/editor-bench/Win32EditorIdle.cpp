// Prints what an open editor nobody touches costs on the Windows window
// layer, in M.SEC and in MIDI mode: Quillet's complete panel in a real host
// window, its messages run as a host runs them (and the host's idle call
// every 10 ms) for a few seconds, counting the controls drawn per
// second; then the microseconds one timer tick (the editor's WM_TIMER) and
// one idle call take, each the mean of many. Run it under Wine
// on a display (cmake/run-wine.sh with QUILLET_WINE_DISPLAY=1) or on
// Windows. Then, at 100, 150 and 200 %: a full redraw (the whole window
// invalidated and painted: every control drawn, the picture put on the
// window with GDI) and one knob turned (a drag step and the timer tick that
// draws it; and the same with the messages run after each tick), each the
// mean of many.
//
//   quillet-editor-idle [--seconds S]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/win32/IGraphicsWin.h"
#include "plug/InstanceMutex.h"
#include "plug/LibraryModule.h"
#include "quillet/ParamIndex.h"
#include "quillet/Quillet.h"

namespace {

// The host's idle call as a binding answers it: the editor's events, then
// the plug-in's idle hook under the instance lock.
void HostIdleCall(Quillet* quillet) {
  quillet->HostEditorEvents();
  plug::InstanceLock lock(quillet->Mutex());
  quillet->HostIdle();
}

double NowMicroseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// The mean duration of n calls of what, in microseconds.
template <class F>
double MeanMicroseconds(int n, F what) {
  const double start = NowMicroseconds();
  for (int i = 0; i < n; ++i) what();
  return (NowMicroseconds() - start) / n;
}

// The thread's queued messages, until none is left.
void RunMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Messages and idle calls for ms milliseconds.
void RunFor(Quillet* quillet, int ms) {
  const DWORD start = GetTickCount();
  do {
    RunMessages();
    HostIdleCall(quillet);
    Sleep(10);
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 5;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::max(1, std::atoi(argv[i + 1]));
  plug::SetLibraryModule(GetModuleHandleA(nullptr));
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "QuilletIdleHost";
  RegisterClassA(&cls);
  HWND host = CreateWindowExA(0, cls.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              1000, 480, nullptr, nullptr, cls.hInstance, nullptr);
  if (!host) {
    std::fprintf(stderr, "no host window\n");
    return 1;
  }
  std::printf("idle editor on the Windows layer, %d s per mode\n", seconds);
  std::printf("%-8s %16s %16s %18s\n", "mode", "timer tick us", "idle call us", "controls drawn/s");
  for (int midi = 0; midi < 2; ++midi) {
    Quillet* quillet = new Quillet();
    auto* gui = dynamic_cast<graphics::IGraphics*>(quillet->GetGraphics());
    {
      plug::InstanceLock lock(quillet->Mutex());
      quillet->HostSetParameter(quillet::kGrainMode, midi ? 1.0 : 0.0);
    }
    if (!gui || !quillet->HostOpenEditor(host)) {
      std::fprintf(stderr, "the editor did not open\n");
      return 1;
    }
    RunFor(quillet, 2000);  // drawn, and past a few of the plug-in's idle hooks
    const long long drawn = gui->ControlsDrawn();
    RunFor(quillet, seconds * 1000);
    const double drawnPerSecond = static_cast<double>(gui->ControlsDrawn() - drawn) / seconds;
    HWND editor = static_cast<HWND>(gui->GetWindow());
    const double tick = MeanMicroseconds(
        10000, [editor] { SendMessageA(editor, WM_TIMER, graphics::IGraphicsWin::kTimerId, 0); });
    const double idle = MeanMicroseconds(10000, [quillet] { HostIdleCall(quillet); });
    std::printf("%-8s %16.2f %16.2f %18.1f\n", midi ? "MIDI" : "M.SEC", tick, idle, drawnPerSecond);
    quillet->HostCloseEditor();
    delete quillet;
  }
  std::printf("%-8s %16s %16s %22s\n", "scale", "full redraw us", "one knob us",
              "knob, messages run us");
  for (int percent : {100, 150, 200}) {
    Quillet* quillet = new Quillet();
    auto* gui = dynamic_cast<graphics::IGraphics*>(quillet->GetGraphics());
    gui->SetUserScalePercent(percent);
    SetWindowPos(host, nullptr, 0, 0, gui->Width() + 40, gui->Height() + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    if (!quillet->HostOpenEditor(host)) {
      std::fprintf(stderr, "the editor did not open\n");
      return 1;
    }
    RunFor(quillet, 500);
    HWND editor = static_cast<HWND>(gui->GetWindow());
    const double full = MeanMicroseconds(500, [editor] {
      InvalidateRect(editor, nullptr, FALSE);
      UpdateWindow(editor);
    });
    graphics::IMouseState left;
    left.left = true;
    gui->OnMouseDown(250, 318, &left);  // Grain Fade-In
    int y = 318;
    const double knob = MeanMicroseconds(2000, [&] {
      y = y == 318 ? 317 : 318;
      gui->OnMouseDrag(250, y, &left);
      SendMessageA(editor, WM_TIMER, graphics::IGraphicsWin::kTimerId, 0);
    });
    // The same with the thread's messages run after each tick, as a host's
    // loop runs them: what the system defers (Wine puts the window's pixels
    // on the X display from there) is counted too.
    const double knobAndMessages = MeanMicroseconds(2000, [&] {
      y = y == 318 ? 317 : 318;
      gui->OnMouseDrag(250, y, &left);
      SendMessageA(editor, WM_TIMER, graphics::IGraphicsWin::kTimerId, 0);
      RunMessages();
    });
    gui->OnMouseUp(250, y, &left);
    std::printf("%-8d %16.2f %16.2f %22.2f\n", percent, full, knob, knobAndMessages);
    quillet->HostCloseEditor();
    delete quillet;
  }
  DestroyWindow(host);
  return 0;
}
