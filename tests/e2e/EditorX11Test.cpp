// The native plug-in's editor, the cases of the X11 window layer: menus and
// message boxes run their own modal loops inside the host's idle call, so
// their keys come from a helper thread with an X connection of its own; the
// editor does not open without a display, and nothing else changes then.
#include <gtest/gtest.h>
// Xlib after GoogleTest, whose names its macros (None, Bool) would break.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "EditorFixture.h"
#include "tools/vsthost/X11Windows.h"

namespace e2e_editor {

namespace {

Window WindowOf(void* w) { return static_cast<Window>(reinterpret_cast<uintptr_t>(w)); }

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The host's connection for looking at windows.
Display* Look() {
  static Display* d = vsthost::ConnectX11();
  return d;
}

}  // namespace

int EditorWindowsIn(void* hostWindow) {
  Display* d = Look();
  XSync(d, False);
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, WindowOf(hostWindow), &root, &up, &children, &count)) return -1;
  if (children) XFree(children);
  return static_cast<int>(count);
}

void EditorWindowSize(void* editorWindow, int* width, int* height) {
  XWindowAttributes attributes = {};
  XGetWindowAttributes(Look(), WindowOf(editorWindow), &attributes);
  *width = attributes.width;
  *height = attributes.height;
}

namespace {

using vsthost::EditorInput;
using vsthost::EditorWindow;

constexpr int kDown = 0x28;
constexpr int kReturn = 0x0D;

void Keys(Display* d, std::initializer_list<int> keys) {
  for (int k : keys) {
    EditorInput::sendKeyFrom(d, k);
    SleepMs(20);
  }
}

class ShippedX11Editor : public ShippedEditor {
 protected:
  void TearDown() override {
    JoinLater();
    ShippedEditor::TearDown();
  }
  // Work for the next modal loop, from a thread with a connection of its own
  // (the work waits for the loop's window itself).
  void Later(std::function<void(Display*)> work) {
    JoinLater();
    later_ = std::thread([work] {
      Display* own = vsthost::ConnectX11();
      if (!own) return;
      work(own);
      XCloseDisplay(own);
    });
  }
  void JoinLater() {
    if (later_.joinable()) later_.join();
  }
  std::thread later_;
};

TEST_F(ShippedX11Editor, WithoutADisplayTheEditorDoesNotOpenAndNothingElseChanges) {
  Open();
  void* host = window_.window();
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);
  const std::string display = std::getenv("DISPLAY");
  unsetenv("DISPLAY");
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 0);
  setenv("DISPLAY", ":7", 1);  // no server there
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 0);
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(EditorWindowsIn(host), 0);
  plugin_.dispatch(vst::effEditIdle);
  plugin_.setParameter(kVolume, 0.75f);
  EXPECT_EQ(plugin_.getParameter(kVolume), 0.75f);
  std::vector<std::uint8_t> chunk;
  EXPECT_GT(plugin_.getChunk(vsthost::ChunkKind::kProgram, &chunk), 0);
  // With the display back, it opens.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
}

TEST_F(ShippedX11Editor, TheModeMenuIsDrivenByKeys) {
  Open();
  plugin_.host().clearRecords();
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    Keys(d, {kDown, kDown, kDown, kDown, kReturn});
  });
  Input().click(kModeMenuX, kModeMenuY);
  JoinLater();
  EXPECT_EQ(plugin_.getParameter(kGrainMode), 1.0f);  // "MIDI"
  EXPECT_EQ(Gestures(), "b2 a2 a2 e2");
}

TEST_F(ShippedX11Editor, TheUpdateCheckTellsTheUserInAMessageBox) {
  Open();
  bool boxSeen = false;
  Later([&boxSeen](Display* d) {
    vsthost::WaitForWindow(d);
    Keys(d, {kDown, kReturn});  // "Check Online for Update"
    // The check runs inside the menu's handling; its message box follows.
    boxSeen = vsthost::WaitForWindow(d, "Check Online for Update");
    SleepMs(100);  // mapped and given the focus
    Keys(d, {kReturn});
  });
  Input().click(kOptionsX, kOptionsY);
  // The press's own pumping ended with the box; wait for the helper.
  JoinLater();
  EditorWindow::pump(50);
  EXPECT_TRUE(boxSeen);
  EXPECT_EQ(vsthost::FindNamedWindow(Look(), "Check Online for Update"), 0u);
  EXPECT_EQ(Gestures(), "");
}

TEST_F(ShippedX11Editor, TwoInstancesHaveAnEditorEachAndCloseApart) {
  vsthost::PluginHost second;
  std::string error;
  ASSERT_EQ(second.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  Open();
  EditorWindow other;
  ASSERT_TRUE(other.open(&second, 100, 100, &error)) << error;
  EXPECT_EQ(EditorWindowsIn(other.window()), 1);
  other.close();
  // The first still draws what the host sets.
  const std::vector<LICE_pixel> before = Pixels(30, 166, 94, 230);
  plugin_.setParameter(kVolume, plugin_.getParameter(kVolume) > 0.5f ? 0.0f : 1.0f);
  EditorWindow::pump(120);
  EXPECT_NE(Pixels(30, 166, 94, 230), before);
}

// The host's own X error handler, and another library's that went in on top
// of the editor's while the editor was open and chains to it.
int gHostErrors = 0;
XErrorHandler gChainedTo = nullptr;
int HostErrorHandler(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}
int ChainingErrorHandler(Display* d, XErrorEvent* e) { return gChainedTo ? gChainedTo(d, e) : 0; }

TEST(ShippedEditorLibraryX11, AnXErrorAfterTheUnloadStillReachesTheHostsHandler) {
  Display* host = Look();
  const XErrorHandler before = XSetErrorHandler(HostErrorHandler);
  {
    vsthost::PluginHost plugin;
    std::string error;
    ASSERT_EQ(plugin.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
    EditorWindow window;
    ASSERT_TRUE(window.open(&plugin, 0, 0, &error)) << error;
    EditorWindow::pump(50);
    gChainedTo = XSetErrorHandler(ChainingErrorHandler);
    window.close();
    plugin.unload();
  }
  // A request on the host's own connection that fails: the handler chain
  // runs through whatever the editor left of itself.
  gHostErrors = 0;
  XWindowAttributes attributes;
  XGetWindowAttributes(host, 0x7FFFFFF, &attributes);
  XSync(host, False);
  EXPECT_EQ(gHostErrors, 1);
  XSetErrorHandler(before);
}

}  // namespace
}  // namespace e2e_editor
