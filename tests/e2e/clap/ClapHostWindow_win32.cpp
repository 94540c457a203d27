#include <windows.h>

#include "e2e/clap/ClapHostWindow.h"

namespace e2e_clap {

namespace {

const char* WindowClass() {
  static const char* name = [] {
    WNDCLASSA c{};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "QuilletClapHost";
    RegisterClassA(&c);
    return "QuilletClapHost";
  }();
  return name;
}

}  // namespace

ClapHostWindow::ClapHostWindow() {
  HWND w = CreateWindowExA(0, WindowClass(), "CLAP host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           1000, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  handle_ = w;
}

ClapHostWindow::~ClapHostWindow() {
  if (handle_) DestroyWindow(static_cast<HWND>(handle_));
}

int ClapHostWindow::childCount() const {
  if (!handle_) return -1;
  int n = 0;
  for (HWND c = GetWindow(static_cast<HWND>(handle_), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    ++n;
  return n;
}

void* ClapHostWindow::firstChild() const {
  return handle_ ? GetWindow(static_cast<HWND>(handle_), GW_CHILD) : nullptr;
}

void ClapHostWindow::pump(claphost::ClapPluginHost* host, int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    host->pumpGui(0);
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

}  // namespace e2e_clap
