// Who sizes the host's windows when the editor changes size: VST 2 hosts
// expect the editor to grow its parent windows with it; CLAP, VST 3 and LV2
// hosts size their own windows after the editor's resize request. Every
// format's host hears the request. A new DPI (the host's window moved to
// another monitor) scales the editor when the host agrees to the size.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "graphics/GraphicsFixture.h"
#include "graphics/win32/IGraphicsWin.h"
#include "lice/LICE_SysBitmap.h"
#include "plug/LibraryModule.h"

namespace graphics_test {
namespace {

SIZE WindowSize(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

TEST(WinEditorResize, GrowsTheHostsWindowForVst2HostsOnly) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  plug::SetLibraryModule(module);
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = module;
  cls.lpszClassName = "QuilletResizeHost";
  RegisterClassA(&cls);
  for (int format : {plug::kFormatVst2, plug::kFormatVst3, plug::kFormatClap, plug::kFormatLv2}) {
    SCOPED_TRACE(format);
    HostLog log;
    HostLog::current = &log;
    HWND host = CreateWindowExA(0, "QuilletResizeHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 500, 300, nullptr, nullptr, module, nullptr);
    ASSERT_NE(host, nullptr);
    GraphicsPlug plug(format);
    auto* editor = new graphics::IGraphicsWin(&plug, module, 400, 200);
    plug.AttachEditor(editor);
    HWND hwnd = static_cast<HWND>(editor->OpenWindow(host));
    ASSERT_NE(hwnd, nullptr);
    const SIZE before = WindowSize(host);
    editor->Resize(450, 230);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 450);
    EXPECT_EQ(client.bottom, 230);
    const SIZE after = WindowSize(host);
    const int grown = format == plug::kFormatVst2 ? 1 : 0;
    EXPECT_EQ(after.cx, before.cx + 50 * grown);
    EXPECT_EQ(after.cy, before.cy + 30 * grown);
    EXPECT_EQ(log.sizeWindowCalls, 1);
    EXPECT_EQ(log.lastWidth, 450);
    editor->CloseWindow();
    DestroyWindow(host);
    HostLog::current = nullptr;
  }
}

TEST(WinEditorResize, ANewDpiScalesTheEditorWhenTheHostAgrees) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  plug::SetLibraryModule(module);
  WNDCLASSA cls = {};
  cls.lpfnWndProc = DefWindowProcA;
  cls.hInstance = module;
  cls.lpszClassName = "QuilletDpiHost";
  RegisterClassA(&cls);
  HostLog log;
  HostLog::current = &log;
  HWND host = CreateWindowExA(0, "QuilletDpiHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              900, 500, nullptr, nullptr, module, nullptr);
  ASSERT_NE(host, nullptr);
  GraphicsPlug plug;
  auto* editor = new graphics::IGraphicsWin(&plug, module, 400, 200);
  plug.AttachEditor(editor);
  log.editor = editor;
  HWND hwnd = static_cast<HWND>(editor->OpenWindow(host));
  ASSERT_NE(hwnd, nullptr);
  // What the system says here (Wine's virtual display: 96 dpi unless set).
  const int system = graphics::IGraphicsWin::DpiPercentOf(host);
  std::printf("system scale of the host's window: %d %%\n", system);
  const int start = editor->ScalePercent();
  EXPECT_EQ(start, graphics::IGraphics::SnapScalePercent(system));
  auto clientSize = [hwnd] {
    RECT client;
    GetClientRect(hwnd, &client);
    return std::make_pair(int(client.right), int(client.bottom));
  };
  // 144 dpi: 150 %. The host is asked for 600 x 300 and agrees.
  SendMessageA(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), 0);
  ASSERT_EQ(log.requests.size(), start == 150 ? 0u : 1u);
  EXPECT_EQ(editor->ScalePercent(), 150);
  EXPECT_EQ(clientSize(), std::make_pair(600, 300));
  EXPECT_EQ(editor->DrawingBitmap()->Width(), 600);
  // A monitor of 192 dpi whose size the host refuses: everything stays.
  log.refuseResize = true;
  SendMessageA(hwnd, 0x02E0, MAKEWPARAM(192, 192), 0);
  EXPECT_EQ(log.requests.back(), std::make_pair(800, 400));
  EXPECT_EQ(editor->ScalePercent(), 150);
  EXPECT_EQ(clientSize(), std::make_pair(600, 300));
  EXPECT_EQ(editor->Width(), 600);
  // The user's choice wins over the monitor's.
  log.refuseResize = false;
  editor->SetUserScalePercent(100);
  EXPECT_EQ(clientSize(), std::make_pair(400, 200));
  SendMessageA(hwnd, 0x02E0, MAKEWPARAM(144, 144), 0);
  EXPECT_EQ(editor->ScalePercent(), 100);
  editor->CloseWindow();
  DestroyWindow(host);
  HostLog::current = nullptr;
}

}  // namespace
}  // namespace graphics_test
