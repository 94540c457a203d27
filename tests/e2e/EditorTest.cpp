// The shipped plug-in's editor as a host meets it: a top-level window of our
// own host as parent, effEditGetRect, effEditOpen and effEditClose, and real
// input through the window system (on a virtual X display under Wine). What
// the host hears is recorded in order: begin-edit, automation, end-edit.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/PluginHost.h"

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

HMODULE PluginModule() {
  HMODULE module = GetModuleHandleA("Quillet64.dll");
  return module ? module : GetModuleHandleA("Quillet.dll");
}

int EditorChildren(HWND parent) {
  int n = 0;
  for (HWND c = FindWindowExA(parent, nullptr, "IPlugWndClass", nullptr); c;
       c = FindWindowExA(parent, c, "IPlugWndClass", nullptr))
    ++n;
  return n;
}

class ShippedEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(plugin_.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
    plugin_.open();
    plugin_.setSampleRate(44100.0f);
    plugin_.setBlockSize(512);
    plugin_.resume();
  }
  void TearDown() override { window_.close(); }

  void Open() {
    std::string error;
    ASSERT_TRUE(window_.open(&plugin_, 0, 0, &error)) << error;
    EditorWindow::pump(150);
  }
  EditorInput Input() { return EditorInput(window_.editorWindow()); }
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
  // Pixels of a rectangle of the editor as the screen shows them.
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
};

TEST_F(ShippedEditor, OpensAsAChildOfTheHostWindowAndClosesWithoutATrace) {
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin_.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 984);
  EXPECT_EQ(rect->bottom - rect->top, 432);
  EXPECT_NE(plugin_.effect()->flags & vst::effFlagsHasEditor, 0);
  // Without a parent there is no window, and the host hears so.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
  Open();
  HWND host = static_cast<HWND>(window_.window());
  ASSERT_EQ(EditorChildren(host), 1);
  RECT client;
  GetClientRect(static_cast<HWND>(window_.editorWindow()), &client);
  EXPECT_EQ(client.right, 984);
  EXPECT_EQ(client.bottom, 432);
  // Opening again without a close leaves one window.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
  EXPECT_EQ(EditorChildren(host), 1);
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);
  EXPECT_EQ(EditorChildren(host), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);  // twice is harmless
  // Closing the instance with its editor open takes the window along.
  ASSERT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
  plugin_.destroyInstance();
  EXPECT_EQ(EditorChildren(host), 0);
  WNDCLASSA info;
  EXPECT_FALSE(GetClassInfoA(PluginModule(), "IPlugWndClass", &info));
}

TEST_F(ShippedEditor, ADragOnAKnobIsOneGestureAndLeavesTheWindowWithIt) {
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

TEST_F(ShippedEditor, AValueFromTheHostIsDrawnWithinTwoTimerTicks) {
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

TEST_F(ShippedEditor, TheModeDecidesWhichGrainFaderIsDrawn) {
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

TEST_F(ShippedEditor, TheLearnSwitchAndAControllerMakeAnAssignment) {
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

TEST(ShippedEditorLibrary, LoadsOpensClosesAndUnloadsTwiceInOneProcess) {
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
    EXPECT_EQ(PluginModule(), nullptr) << "cycle " << cycle;
  }
}

}  // namespace
