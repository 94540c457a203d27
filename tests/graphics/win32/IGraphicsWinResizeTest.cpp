// Who sizes the host's windows when the editor changes size: VST 2 hosts
// expect the editor to grow its parent windows with it; CLAP, VST 3 and LV2
// hosts size their own windows after the editor's resize request. Every
// format's host hears the request.
#include <windows.h>

#include <gtest/gtest.h>

#include "graphics/GraphicsFixture.h"
#include "graphics/win32/IGraphicsWin.h"
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

}  // namespace
}  // namespace graphics_test
