#include <windows.h>

#include "lice/LICE_MemBitmap.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/PluginHost.h"

namespace vsthost {

namespace {

constexpr const char* kWindowClass = "QuilletHostEditor";

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterHostClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = HostWindowProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  cls.lpszClassName = kWindowClass;
  registered = RegisterClassA(&cls) != 0;
}

}  // namespace

EditorWindow::EditorWindow() = default;

EditorWindow::~EditorWindow() { close(); }

bool EditorWindow::open(PluginHost* plugin, int x, int y, std::string* errorText) {
  close();
  vst::ERect* rect = nullptr;
  if (!plugin || plugin->dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || !rect) {
    if (errorText) *errorText = "the plug-in reports no editor rectangle";
    return false;
  }
  width_ = rect->right - rect->left;
  height_ = rect->bottom - rect->top;
  RegisterHostClass();
  // The window's outer size that gives the editor's size inside.
  RECT outer = {0, 0, width_, height_};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  AdjustWindowRect(&outer, style, FALSE);
  HWND hwnd = CreateWindowExA(0, kWindowClass, "quillet-host", style, x, y,
                              outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) {
    if (errorText) *errorText = "no host window could be made";
    return false;
  }
  SetForegroundWindow(hwnd);
  pump(150);  // the window system activates the window asynchronously
  if (plugin->dispatch(vst::effEditOpen, 0, 0, hwnd) == 0) {
    DestroyWindow(hwnd);
    if (errorText) *errorText = "effEditOpen failed";
    return false;
  }
  window_ = hwnd;
  plugin_ = plugin;
  return true;
}

void EditorWindow::close() {
  if (!window_) return;
  if (plugin_ && plugin_->effect()) plugin_->dispatch(vst::effEditClose);
  DestroyWindow(static_cast<HWND>(window_));
  window_ = nullptr;
  plugin_ = nullptr;
  pump(20);
}

void EditorWindow::pump(int ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(2);
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

void* EditorWindow::editorWindow() const {
  return window_ ? GetWindow(static_cast<HWND>(window_), GW_CHILD) : nullptr;
}

LICE_MemBitmap* EditorWindow::capture() {
  HWND editor = static_cast<HWND>(editorWindow());
  if (!editor) return nullptr;
  RECT r;
  GetClientRect(editor, &r);
  const int w = r.right;
  const int h = r.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(editor);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  LICE_MemBitmap* picture = nullptr;
  if (section && bits) {
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    picture = new LICE_MemBitmap(w, h);
    const unsigned* from = static_cast<const unsigned*>(bits);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        picture->Bits()[y * picture->RowSpan() + x] = from[y * w + x] | 0xFF000000u;
    }
    SelectObject(memory, old);
  }
  if (section) DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(editor, screen);
  return picture;
}

}  // namespace vsthost
