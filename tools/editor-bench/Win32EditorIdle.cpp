// Prints what an open editor nobody touches costs on the Windows window
// layer: Quillet's complete panel in a real host window, its messages run as
// a host runs them (and effEditIdle every 10 ms, as hosts call it), for a
// few seconds; then this process's CPU time per timer tick (1000 / fps ms of
// messages and idle calls) and the controls drawn per second, in M.SEC and in
// MIDI mode. Run it under Wine on a display (cmake/run-wine.sh with
// QUILLET_WINE_DISPLAY=1) or on Windows.
//
//   quillet-editor-idle [--seconds S]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/IGraphics.h"
#include "plug/LibraryModule.h"
#include "quillet/ParamIndex.h"
#include "quillet/Quillet.h"

namespace {

vst::intptr VST_CALL SilentHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                float) {
  return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
}

long long CpuMicroseconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto micros = [](const FILETIME& t) {
    return ((static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10;
  };
  return micros(kernel) + micros(user);
}

// Messages and idle calls for ms milliseconds.
void RunFor(vst::AEffect* effect, int ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
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
  std::printf("%-8s %18s %18s\n", "mode", "CPU us per tick", "controls drawn/s");
  for (int midi = 0; midi < 2; ++midi) {
    Quillet* quillet = new Quillet(SilentHost);
    vst::AEffect* effect = quillet->GetAEffect();
    auto* gui = dynamic_cast<graphics::IGraphics*>(quillet->GetGraphics());
    effect->setParameter(effect, quillet::kGrainMode, midi ? 1.0f : 0.0f);
    if (!gui || effect->dispatcher(effect, vst::effEditOpen, 0, 0, host, 0.0f) == 0) {
      std::fprintf(stderr, "the editor did not open\n");
      return 1;
    }
    RunFor(effect, 2000);  // drawn, and past a few of the plug-in's idle hooks
    const long long drawn = gui->ControlsDrawn();
    const long long cpu = CpuMicroseconds();
    RunFor(effect, seconds * 1000);
    const double ticks = static_cast<double>(seconds) * gui->Fps();
    std::printf("%-8s %18.1f %18.1f\n", midi ? "MIDI" : "M.SEC",
                static_cast<double>(CpuMicroseconds() - cpu) / ticks,
                static_cast<double>(gui->ControlsDrawn() - drawn) / seconds);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
  }
  DestroyWindow(host);
  return 0;
}
