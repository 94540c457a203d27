// The native plug-in's editor as a Linux host meets it: an X window of our
// own host as parent, effEditGetRect, effEditOpen with the window id,
// effEditIdle to run it and effEditClose, and real input through the X server
// (XTest) on a virtual display. The same script as the Windows DLL's editor
// tests, with the same results. Keys for menus and message boxes, which run
// modal loops inside the idle call, come from a helper thread with a
// connection of its own.
#include <gtest/gtest.h>
// Xlib after GoogleTest, whose names its macros (None, Bool) would break.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/PluginHost.h"
#include "tools/vsthost/X11Windows.h"

namespace {

using vsthost::EditorInput;
using vsthost::EditorWindow;

// Points of the panel.
constexpr int kVolumeX = 62, kVolumeY = 198;
constexpr int kModeMenuX = 276, kModeMenuY = 112;
constexpr int kLearnX = 40, kLearnY = 400;
constexpr int kOptionsX = 60, kOptionsY = 60;
constexpr int kGrainMode = 2;
constexpr int kVolume = 0;
constexpr int kDown = 0x28;
constexpr int kReturn = 0x0D;

Window WindowOf(void* w) { return static_cast<Window>(reinterpret_cast<uintptr_t>(w)); }

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The host's connection for looking at windows.
Display* Look() {
  static Display* d = vsthost::ConnectX11();
  return d;
}

int Children(void* parent) {
  Display* d = Look();
  XSync(d, False);
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, WindowOf(parent), &root, &up, &children, &count)) return -1;
  if (children) XFree(children);
  return static_cast<int>(count);
}

void Keys(Display* d, std::initializer_list<int> keys) {
  for (int k : keys) {
    EditorInput::sendKeyFrom(d, k);
    SleepMs(20);
  }
}

class ShippedX11Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(plugin_.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
    plugin_.open();
    plugin_.setSampleRate(44100.0f);
    plugin_.setBlockSize(512);
    plugin_.resume();
  }
  void TearDown() override {
    JoinLater();
    window_.close();
  }

  void Open() {
    std::string error;
    ASSERT_TRUE(window_.open(&plugin_, 0, 0, &error)) << error;
    EditorWindow::pump(150);
  }
  EditorInput Input() { return EditorInput(window_.editorWindow()); }
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
  // The gesture calls the host received, e.g. "b0 a0 e0".
  std::string Gestures() {
    std::string s;
    for (const vsthost::HostCall& c : plugin_.host().calls()) {
      const char* kind = c.opcode == vst::audioMasterBeginEdit  ? "b"
                         : c.opcode == vst::audioMasterAutomate ? "a"
                         : c.opcode == vst::audioMasterEndEdit  ? "e"
                                                                : nullptr;
      if (kind) s += (s.empty() ? "" : " ") + std::string(kind) + std::to_string(c.index);
    }
    return s;
  }
  std::vector<LICE_pixel> Pixels(int left, int top, int right, int bottom) {
    std::unique_ptr<LICE_MemBitmap> picture(window_.capture());
    std::vector<LICE_pixel> pixels;
    if (!picture) return pixels;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        pixels.push_back(picture->Bits()[y * picture->RowSpan() + x]);
    return pixels;
  }

  vsthost::PluginHost plugin_;
  EditorWindow window_;
  std::thread later_;
};

TEST_F(ShippedX11Editor, OpensAsAChildOfTheHostWindowAndClosesWithoutATrace) {
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin_.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 984);
  EXPECT_EQ(rect->bottom - rect->top, 432);
  EXPECT_NE(plugin_.effect()->flags & vst::effFlagsHasEditor, 0);
  // Without a parent there is no window, and the host hears so.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
  Open();
  void* host = window_.window();
  ASSERT_EQ(Children(host), 1);
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(Look(), WindowOf(window_.editorWindow()), &attributes));
  EXPECT_EQ(attributes.width, 984);
  EXPECT_EQ(attributes.height, 432);
  // Opening again without a close leaves one window.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
  EXPECT_EQ(Children(host), 1);
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);
  EXPECT_EQ(Children(host), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);  // twice is harmless
  // Closing the instance with its editor open takes the window along.
  ASSERT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
  plugin_.destroyInstance();
  EXPECT_EQ(Children(host), 0);
}

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
  EXPECT_EQ(Children(host), 0);
  plugin_.dispatch(vst::effEditIdle);
  plugin_.setParameter(kVolume, 0.75f);
  EXPECT_EQ(plugin_.getParameter(kVolume), 0.75f);
  std::vector<std::uint8_t> chunk;
  EXPECT_GT(plugin_.getChunk(vsthost::ChunkKind::kProgram, &chunk), 0);
  // With the display back, it opens.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
}

TEST_F(ShippedX11Editor, ADragOnAKnobIsOneGestureAndLeavesTheWindowWithIt) {
  plugin_.setParameter(kVolume, 0.25f);
  Open();
  plugin_.host().clearRecords();
  EditorInput input = Input();
  input.press(kVolumeX, kVolumeY);
  input.moveTo(kVolumeX, kVolumeY - 20);
  input.moveTo(kVolumeX, -300);  // far above the window
  input.release(kVolumeX, -300);
  EXPECT_EQ(Gestures(), "b0 a0 a0 e0");
  const std::vector<vsthost::AutomationRecord> automation = plugin_.host().automation();
  ASSERT_EQ(automation.size(), 2u);
  EXPECT_NEAR(automation[0].value, 0.25f + 20.0f / 64 / 4, 1e-6f);
  EXPECT_EQ(automation[1].value, 1.0f);
  EXPECT_EQ(plugin_.getParameter(kVolume), 1.0f);
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

TEST_F(ShippedX11Editor, AValueFromTheHostIsDrawnWithinTwoTimerTicks) {
  plugin_.setParameter(kVolume, 0.0f);
  Open();
  const std::vector<LICE_pixel> before = Pixels(30, 166, 94, 230);
  const std::vector<LICE_pixel> elsewhere = Pixels(806, 286, 870, 350);
  ASSERT_FALSE(before.empty());
  plugin_.setParameter(kVolume, 1.0f);
  EditorWindow::pump(2 * 40 + 20);
  EXPECT_NE(Pixels(30, 166, 94, 230), before);
  EXPECT_EQ(Pixels(806, 286, 870, 350), elsewhere);
}

TEST_F(ShippedX11Editor, TheModeDecidesWhichGrainFaderIsDrawn) {
  Open();
  const std::vector<LICE_pixel> msec = Pixels(140, 103, 206, 328);
  plugin_.setParameter(kGrainMode, 1.0f);  // MIDI: no grain fader
  EditorWindow::pump(120);
  const std::vector<LICE_pixel> midi = Pixels(140, 103, 206, 328);
  EXPECT_NE(midi, msec);
  plugin_.setParameter(kGrainMode, 0.0f);
  EditorWindow::pump(120);
  EXPECT_EQ(Pixels(140, 103, 206, 328), msec);
}

TEST_F(ShippedX11Editor, TheLearnSwitchAndAControllerMakeAnAssignment) {
  Open();
  EditorInput input = Input();
  input.click(kLearnX, kLearnY);
  EditorInput::settle();
  plugin_.sendEvents({vsthost::HostEvent::midi(0, 0xB0, 7, 5)});
  // Turning Volume a little finishes the learn.
  input.press(kVolumeX, kVolumeY);
  input.moveTo(kVolumeX, kVolumeY - 8);
  input.release(kVolumeX, kVolumeY - 8);
  EditorInput::settle();
  plugin_.sendEvents({vsthost::HostEvent::midi(0, 0xB0, 7, 127)});
  EXPECT_EQ(plugin_.getParameter(kVolume), 1.0f);
  plugin_.sendEvents({vsthost::HostEvent::midi(0, 0xB0, 7, 0)});
  EXPECT_EQ(plugin_.getParameter(kVolume), 0.0f);
}

TEST_F(ShippedX11Editor, TwoInstancesHaveAnEditorEachAndCloseApart) {
  vsthost::PluginHost second;
  std::string error;
  ASSERT_EQ(second.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  Open();
  EditorWindow other;
  ASSERT_TRUE(other.open(&second, 100, 100, &error)) << error;
  EXPECT_EQ(Children(other.window()), 1);
  other.close();
  // The first still draws what the host sets.
  const std::vector<LICE_pixel> before = Pixels(30, 166, 94, 230);
  plugin_.setParameter(kVolume, plugin_.getParameter(kVolume) > 0.5f ? 0.0f : 1.0f);
  EditorWindow::pump(120);
  EXPECT_NE(Pixels(30, 166, 94, 230), before);
}

TEST(ShippedX11EditorLibrary, LoadsOpensClosesAndUnloadsTwiceInOneProcess) {
  for (int cycle = 0; cycle < 2; ++cycle) {
    vsthost::PluginHost plugin;
    std::string error;
    ASSERT_EQ(plugin.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
    EditorWindow window;
    ASSERT_TRUE(window.open(&plugin, 0, 0, &error)) << "cycle " << cycle << ": " << error;
    EditorWindow::pump(120);
    std::unique_ptr<LICE_MemBitmap> picture(window.capture());
    ASSERT_NE(picture, nullptr);
    // The background is drawn: not one flat colour.
    const LICE_pixel first = picture->Bits()[0];
    bool varied = false;
    for (int x = 0; x < picture->Width() && !varied; ++x)
      varied = picture->Bits()[200 * picture->RowSpan() + x] != first;
    EXPECT_TRUE(varied) << "cycle " << cycle;
    window.close();
    plugin.unload();
  }
}

}  // namespace
