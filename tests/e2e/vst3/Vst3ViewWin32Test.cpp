// The editor as a VST 3 view on Windows (under Wine: real window messages):
// a host window, the view attached to its HWND with the editor's own timer
// running, real pointer input through SendInput, and what the plug-in tells
// its component handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tools/vst3host/HostObjects.h"
#include "tools/vst3host/Vst3Instance.h"
#include "tools/vst3host/Vst3Module.h"
#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"

namespace {

using namespace vst3;

constexpr int kVolumeX = 62, kVolumeY = 198;

class Frame : public vst3host::HostObject<IPlugFrame> {
 public:
  Frame() : HostObject(iid::kPlugFrame, false) {}
  tresult VST3_CALL resizeView(IPlugView*, ViewRect*) override { return kResultOk; }
};

int ChildCount(HWND parent) {
  int n = 0;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++n;
  return n;
}

class Vst3ViewWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(module_.open(QUILLET_VST3_BUNDLE, &error)) << error;
    ASSERT_TRUE(instance_.open(module_, &error)) << error;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuilletVst3ViewTest";
    RegisterClassA(&wc);
    parent_ = CreateWindowExA(0, wc.lpszClassName, "Quillet VST 3 view test",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 1020, 500, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
    instance_.close();
    module_.close();
  }

  vst3host::Vst3Module module_;
  vst3host::Vst3Instance instance_;
  HWND parent_ = nullptr;
  Frame frame_;
};

TEST_F(Vst3ViewWin32, AttachRemoveReattachAndReleaseLeaveNothingBehind) {
  IPlugView* view = instance_.controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
  ViewRect size{};
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.right - size.left, 984);
  EXPECT_EQ(size.bottom - size.top, 432);
  view->setFrame(&frame_);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(view->attached(parent_, "HWND"), kResultOk) << round;
    vsthost::EditorWindow::pump(150);
    EXPECT_EQ(ChildCount(parent_), 1);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(ChildCount(parent_), 0);
  }
  ASSERT_EQ(view->attached(parent_, "HWND"), kResultOk);
  vsthost::EditorWindow::pump(50);
  view->setFrame(nullptr);
  EXPECT_EQ(view->release(), 0u) << "released while attached";
  EXPECT_EQ(ChildCount(parent_), 0);
  EXPECT_EQ(frame_.refCount(), 1u);
}

TEST_F(Vst3ViewWin32, ADragOnAKnobReachesTheHostAsOnePairedGesture) {
  IPlugView* view = instance_.controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  view->setFrame(&frame_);
  ASSERT_EQ(view->attached(parent_, "HWND"), kResultOk);
  vsthost::EditorWindow::pump(300);
  HWND editor = GetWindow(parent_, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  const double before = instance_.controller()->getParamNormalized(0);
  instance_.handler().calls.clear();
  vsthost::EditorInput input(editor);
  input.press(kVolumeX, kVolumeY);
  input.moveTo(kVolumeX, kVolumeY - 20);
  input.moveTo(kVolumeX, kVolumeY - 40);
  input.release(kVolumeX, kVolumeY - 40);
  vsthost::EditorWindow::pump(200);
  const std::vector<std::string>& calls = instance_.handler().calls;
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), "begin 0");
  EXPECT_EQ(calls.back(), "end 0");
  for (std::size_t i = 1; i + 1 < calls.size(); ++i)
    EXPECT_EQ(calls[i].rfind("perform 0 ", 0), 0u) << calls[i];
  EXPECT_EQ(instance_.handler().openGestures, 0);
  EXPECT_EQ(instance_.handler().unpairedEnds, 0);
  EXPECT_GT(instance_.controller()->getParamNormalized(0), before);
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  EXPECT_EQ(view->release(), 0u);
}

}  // namespace
