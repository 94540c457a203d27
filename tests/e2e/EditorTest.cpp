// The shipped plug-in's editor as a host meets it, the same script on every
// platform: a window of our own host as parent, effEditGetRect, effEditOpen
// and effEditClose, and real input through the window system on a virtual
// display (under Wine for the DLLs, X11 natively). What the host hears is
// recorded in order: begin-edit, automation, end-edit.
#include <memory>

#include "EditorFixture.h"
#include "lice/LICE_MemBitmap.h"

namespace e2e_editor {
namespace {

using vsthost::EditorInput;
using vsthost::EditorWindow;

TEST_F(ShippedEditor, OpensAsAChildOfTheHostWindowAndClosesWithoutATrace) {
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin_.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 984);
  EXPECT_EQ(rect->bottom - rect->top, 432);
  EXPECT_NE(plugin_.effect()->flags & vst::effFlagsHasEditor, 0);
  // Without a parent there is no window, and the host hears so.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
  Open();
  void* host = window_.window();
  ASSERT_EQ(EditorWindowsIn(host), 1);
  int w = 0, h = 0;
  EditorWindowSize(window_.editorWindow(), &w, &h);
  EXPECT_EQ(w, 984);
  EXPECT_EQ(h, 432);
  // Opening again without a close leaves one window.
  EXPECT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
  EXPECT_EQ(EditorWindowsIn(host), 1);
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);
  EXPECT_EQ(EditorWindowsIn(host), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effEditClose), 1);  // twice is harmless
  // Closing the instance with its editor open takes the window along.
  ASSERT_EQ(plugin_.dispatch(vst::effEditOpen, 0, 0, host), 1);
  plugin_.destroyInstance();
  EXPECT_EQ(EditorWindowsIn(host), 0);
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
  EXPECT_NE(Pixels(140, 103, 206, 328), msec);
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
  }
}

}  // namespace
}  // namespace e2e_editor
