// The shipped DLL's editor, the cases of the Windows window layer: menus and
// message boxes run their own modal loops, so their keys come from a timer
// that fires inside them; one window class serves every instance; the
// library is gone after its unload.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "EditorFixture.h"

namespace e2e_editor {

namespace {
HMODULE PluginModule() {
  HMODULE module = GetModuleHandleA("Quillet64.dll");
  return module ? module : GetModuleHandleA("Quillet.dll");
}
}  // namespace

int EditorWindowsIn(void* hostWindow) {
  int n = 0;
  HWND parent = static_cast<HWND>(hostWindow);
  for (HWND c = FindWindowExA(parent, nullptr, "IPlugWndClass", nullptr); c;
       c = FindWindowExA(parent, c, "IPlugWndClass", nullptr))
    ++n;
  return n;
}

void EditorWindowSize(void* editorWindow, int* width, int* height) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(static_cast<HWND>(editorWindow), &client);
  *width = client.right;
  *height = client.bottom;
}

namespace {

using vsthost::EditorInput;
using vsthost::EditorWindow;

// Work for the next modal loop (menu, message box), run from a timer.
std::function<void()> gLater;
void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> work;
  work.swap(gLater);
  if (work) work();
}
void Later(int ms, std::function<void()> work) {
  gLater = std::move(work);
  SetTimer(nullptr, 0, static_cast<UINT>(ms), RunLater);
}

TEST_F(ShippedEditor, TheModeMenuIsDrivenByKeys) {
  Open();
  plugin_.host().clearRecords();
  Later(300, [] {
    for (int k : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) EditorInput::sendKey(k);
  });
  Input().click(kModeMenuX, kModeMenuY);
  EXPECT_EQ(plugin_.getParameter(kGrainMode), 1.0f);  // "MIDI"
  EXPECT_EQ(Gestures(), "b2 a2 a2 e2");
}

TEST_F(ShippedEditor, TheUpdateCheckTellsTheUserInAMessageBox) {
  Open();
  bool boxSeen = false;
  Later(300, [&boxSeen] {
    EditorInput::sendKey(VK_DOWN);  // "Check Online for Update"
    EditorInput::sendKey(VK_RETURN);
    // The check runs inside the menu's handling; its message box follows and
    // is answered from its own loop.
    Later(500, [&boxSeen] {
      boxSeen = FindWindowA(nullptr, "Check Online for Update") != nullptr;
      EditorInput::sendKey(VK_RETURN);
    });
  });
  Input().click(kOptionsX, kOptionsY);
  EXPECT_TRUE(boxSeen);
  EXPECT_EQ(FindWindowA(nullptr, "Check Online for Update"), nullptr);
  EXPECT_EQ(Gestures(), "");
}

TEST_F(ShippedEditor, TwoInstancesShareOneWindowClassUntilTheLastCloses) {
  vsthost::PluginHost second;
  std::string error;
  ASSERT_EQ(second.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  Open();
  EditorWindow other;
  ASSERT_TRUE(other.open(&second, 100, 100, &error)) << error;
  WNDCLASSA info;
  EXPECT_TRUE(GetClassInfoA(PluginModule(), "IPlugWndClass", &info));
  other.close();
  EXPECT_TRUE(GetClassInfoA(PluginModule(), "IPlugWndClass", &info));
  window_.close();
  EXPECT_FALSE(GetClassInfoA(PluginModule(), "IPlugWndClass", &info));
}

TEST(ShippedEditorLibrary, IsGoneAfterItsUnload) {
  vsthost::PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  EditorWindow window;
  ASSERT_TRUE(window.open(&plugin, 0, 0, &error)) << error;
  window.close();
  plugin.unload();
  EXPECT_EQ(PluginModule(), nullptr);
}

TEST(ShippedEditorLibrary, StaysLoadedWhileAWindowOfItsOwnExists) {
  {
    vsthost::PluginHost plugin;
    std::string error;
    ASSERT_EQ(plugin.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
    EditorWindow window;
    ASSERT_TRUE(window.open(&plugin, 0, 0, &error)) << error;
    EditorWindow::pump(100);
    HWND editor = static_cast<HWND>(window.editorWindow());
    // A host that closes the editor from another thread, then closes the
    // instance and unloads the library before its interface thread has run
    // the close the editor posted to its window.
    std::thread closer([&plugin] { plugin.dispatch(vst::effEditClose); });
    closer.join();
    plugin.unload();
    EXPECT_NE(PluginModule(), nullptr);
    EXPECT_TRUE(IsWindow(editor));
    EditorWindow::pump(100);  // the posted close runs in the library's code
    EXPECT_FALSE(IsWindow(editor));
  }
  // The next call of a host into the library gives the window's hold back:
  // then the library goes with its unload.
  {
    vsthost::PluginHost plugin;
    std::string error;
    ASSERT_EQ(plugin.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
    EditorWindow window;
    ASSERT_TRUE(window.open(&plugin, 0, 0, &error)) << error;
    window.close();
    plugin.unload();
  }
  EXPECT_EQ(PluginModule(), nullptr);
}

}  // namespace
}  // namespace e2e_editor
