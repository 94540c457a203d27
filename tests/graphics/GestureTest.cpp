// What the host hears around the changes the mouse makes: every begin-edit
// has exactly one end-edit, every automation call caused by the mouse lies
// between them, and no end comes without a begin.
#include <gtest/gtest.h>

#include "GraphicsFixture.h"

namespace graphics_test {
namespace {

using graphics::IRect;

class GestureTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    probe_ = new ProbeControl(&plug_, IRect(10, 10, 50, 50), 2);
    Editor().AttachControl(probe_);
    left_.left = true;
  }
  ProbeControl* probe_ = nullptr;
  graphics::IMouseState left_;
};

TEST_F(GestureTest, AClickIsOneGesture) {
  Click(20, 20);
  EXPECT_EQ(log_.Joined(), "b2 e2");
}

TEST_F(GestureTest, ADragsAutomationLiesInsideItsGesture) {
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseDrag(21, 20, &left_);
  Editor().OnMouseDrag(22, 20, &left_);
  Editor().OnMouseDrag(400, 400, &left_);  // out of the window
  Editor().OnMouseUp(400, 400, &left_);
  EXPECT_EQ(log_.Joined(), "b2 a2 a2 a2 e2");
}

TEST_F(GestureTest, ADoubleClickChangesInsideAGestureOfItsOwn) {
  probe_->SetValueFromPlugin(0.5);  // the default a double click restores
  probe_->SetValue(0.9);
  // The system delivers press, release, double click, release.
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseUp(20, 20, &left_);
  EXPECT_FALSE(Editor().OnMouseDblClick(20, 20, &left_));
  Editor().OnMouseUp(20, 20, &left_);
  EXPECT_EQ(log_.Joined(), "b2 e2 b2 a2 e2");
  EXPECT_EQ(probe_->Value(), 0.5);
}

TEST_F(GestureTest, ADoubleClickAsAClickLastsUntilTheRelease) {
  probe_->SetDoubleClickAsClick(true);
  probe_->onPress = ProbeControl::OnPress::kChange;
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseUp(20, 20, &left_);
  EXPECT_TRUE(Editor().OnMouseDblClick(20, 20, &left_));
  Editor().OnMouseDrag(20, 25, &left_);
  Editor().OnMouseUp(20, 25, &left_);
  EXPECT_EQ(log_.Joined(), "b2 a2 e2 b2 a2 a2 e2");
}

TEST_F(GestureTest, AWheelTurnIsAGestureUnlessADragIsUnderWay) {
  Editor().OnMouseWheel(20, 20, &left_, 1);
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
  log_.Clear();
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseWheel(20, 20, &left_, -1);
  Editor().OnMouseUp(20, 20, &left_);
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
}

TEST_F(GestureTest, AWheelTurnOfNoWholeStepIsNoGesture) {
  Editor().OnMouseWheel(20, 20, &left_, 0);
  EXPECT_EQ(log_.Joined(), "");
  EXPECT_TRUE(probe_->log.empty());
}

TEST_F(GestureTest, ALostCaptureEndsTheDragAsItsReleaseWould) {
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseDrag(20, 25, &left_);
  Editor().OnMouseCaptureLost();
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
  EXPECT_EQ(probe_->log.back(), "up");
  EXPECT_EQ(Editor().MouseCapture(), -1);
  // Drags and releases that still arrive belong to nothing; a lost capture
  // without a press ends nothing either.
  Editor().OnMouseDrag(20, 30, &left_);
  Editor().OnMouseUp(20, 30, &left_);
  Editor().OnMouseCaptureLost();
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
}

TEST_F(GestureTest, ACaptureTakenByAPresssOwnMenuEndsTheGestureAfterTheChoice) {
  // The menu's loop takes the capture while the press is handled; the choice
  // still lies inside the gesture.
  class CaptureTakingMenu : public TestGraphics {
   public:
    using TestGraphics::TestGraphics;
    graphics::IMenu* ShowPopupMenu(graphics::IMenu* menu, const IRect* r) override {
      OnMouseCaptureLost();
      return TestGraphics::ShowPopupMenu(menu, r);
    }
  };
  GraphicsPlug plug;
  CaptureTakingMenu* editor = new CaptureTakingMenu(&plug);
  plug.AttachEditor(editor);
  ProbeControl* probe = new ProbeControl(&plug, IRect(10, 10, 50, 50), 1);
  probe->onPress = ProbeControl::OnPress::kMenu;
  editor->AttachControl(probe);
  editor->QueueMenuCommand(1);
  editor->OnMouseDown(20, 20, &left_);
  EXPECT_EQ(log_.Joined(), "b1 a1 e1");
  EXPECT_EQ(editor->GestureParam(), -1);
}

TEST_F(GestureTest, AMenuOpenedByAPressEndsTheGestureWhenItCloses) {
  probe_->onPress = ProbeControl::OnPress::kMenu;
  Editor().QueueMenuCommand(1);
  graphics::IMouseState s = left_;
  Editor().OnMouseDown(20, 20, &s);
  // The menu's modal loop swallowed the release; the gesture is already over.
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
  EXPECT_EQ(Editor().GestureParam(), -1);
  EXPECT_EQ(Editor().MouseCapture(), -1);
  // A release that does arrive later ends nothing more.
  Editor().OnMouseUp(20, 20, &s);
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
  EXPECT_EQ(probe_->log.back(), "up");
}

TEST_F(GestureTest, AMessageBoxOpenedByAPressEndsTheGestureToo) {
  probe_->onPress = ProbeControl::OnPress::kMessageBox;
  Editor().OnMouseDown(20, 20, &left_);
  EXPECT_EQ(log_.Joined(), "b2 e2");
  EXPECT_EQ(Editor().MessageBoxes().size(), 1u);
}

TEST_F(GestureTest, AReleaseWithoutAPressEndsNothing) {
  Editor().OnMouseUp(20, 20, &left_);
  EXPECT_EQ(log_.Joined(), "");
  EXPECT_EQ(probe_->log, (std::vector<std::string>{"up"}));
}

TEST_F(GestureTest, APressWhoseReleaseNeverCameIsEndedByTheNextPress) {
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseUp(20, 20, &left_);
  EXPECT_EQ(log_.Joined(), "b2 e2 b2 e2");
}

TEST_F(GestureTest, ClosingTheWindowEndsAnOpenGesture) {
  Editor().OpenWindow(nullptr);
  Editor().OnMouseDown(20, 20, &left_);
  Editor().OnMouseDrag(20, 30, &left_);
  Editor().CloseWindow();
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
}

TEST_F(GestureTest, ACommittedTextEntryIsAGestureOfItsOwn) {
  Editor().OpenWindow(nullptr);
  probe_->SetPromptDisabled(false);
  probe_->PromptValue();
  ASSERT_TRUE(Editor().TextEntryOpen());
  Editor().TypeIntoEntry("6");
  Editor().CommitEntry();
  Editor().Tick();
  EXPECT_EQ(log_.Joined(), "b2 a2 e2");
  EXPECT_FLOAT_EQ(log_.values[0], 0.75f);
}

TEST_F(GestureTest, ControlsWithoutAParameterBeginNothing) {
  ProbeControl* free = new ProbeControl(&plug_, IRect(60, 10, 90, 40), -1);
  free->onPress = ProbeControl::OnPress::kMenu;
  Editor().AttachControl(free);
  Editor().QueueMenuCommand(0);
  Click(70, 20);
  Editor().OnMouseWheel(70, 20, &left_, 1);
  EXPECT_EQ(log_.Joined(), "");
}

}  // namespace
}  // namespace graphics_test
