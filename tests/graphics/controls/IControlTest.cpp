// The control base: values from the plug-in and the user, the dirty cycle,
// pushing to the plug-in, double clicks and the value prompt.
#include <gtest/gtest.h>

#include "graphics/GraphicsFixture.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/ITextControl.h"
#include "plug/IParameter.h"

namespace graphics_test {
namespace {

using graphics::IRect;

class IControlTest : public GraphicsTest {
 protected:
  ProbeControl* Probe(int param = 0) {
    ProbeControl* p = new ProbeControl(&plug_, IRect(10, 10, 30, 30), param);
    Editor().AttachControl(p);
    return p;
  }
};

TEST_F(IControlTest, TheFirstPluginValueBecomesTheDefaultAndMarksNothing) {
  ProbeControl* p = Probe();
  p->ClearDirty();  // new controls start dirty
  p->SetValueFromPlugin(0.25);
  EXPECT_EQ(p->Value(), 0.25);
  EXPECT_EQ(p->DefaultValue(), 0.25);
  EXPECT_FALSE(p->IsDirty());
  // The same value again: still nothing to draw.
  p->SetValueFromPlugin(0.25);
  EXPECT_FALSE(p->IsDirty());
  // A new value is drawn, and once more after that (redraw).
  p->SetValueFromPlugin(0.5);
  EXPECT_TRUE(p->IsDirty());
  EXPECT_EQ(p->DefaultValue(), 0.25);
  p->ClearDirty();
  EXPECT_TRUE(p->IsDirty());
  p->ClearDirty();
  EXPECT_FALSE(p->IsDirty());
}

TEST_F(IControlTest, MarkDirtyClampsAndPushesOnlyWhenAsked) {
  ProbeControl* p = Probe(2);
  p->SetValue(1.7);
  p->MarkDirty(false);
  EXPECT_EQ(p->Value(), 1.0);
  EXPECT_TRUE(log_.calls.empty());
  p->SetValue(-0.3);
  p->MarkDirty(true);
  EXPECT_EQ(p->Value(), 0.0);
  EXPECT_EQ(log_.Joined(), "a2");
  EXPECT_EQ(log_.values.back(), 0.0f);
  EXPECT_EQ(plug_.GetParam(2)->Value(), -12.0);
  // A control without a parameter never calls the plug-in.
  ProbeControl* none = Probe(-1);
  none->SetValue(0.5);
  none->MarkDirty(true);
  EXPECT_EQ(log_.calls.size(), 1u);
}

TEST_F(IControlTest, MarkDirtyUpdatesTheValueAndNameDisplays) {
  ProbeControl* p = Probe(2);
  graphics::ITextControl* value =
      new graphics::ITextControl(&plug_, IRect(0, 40, 60, 50), graphics::ITextStyle());
  graphics::ITextControl* name =
      new graphics::ITextControl(&plug_, IRect(0, 50, 60, 60), graphics::ITextStyle());
  Editor().AttachControl(value);
  Editor().AttachControl(name);
  p->SetValueDisplay(value);
  p->SetNameDisplay(name);
  p->SetValue(0.75);
  p->MarkDirty(true);
  EXPECT_EQ(value->Text(), "6.0 dB");
  EXPECT_EQ(name->Text(), "Gain");
}

TEST_F(IControlTest, DoubleClickRestoresTheFirstPluginValueOnly) {
  ProbeControl* p = Probe(0);
  p->SetValue(0.9);
  p->MouseDoubleClick(0, 0, nullptr);  // never set from the plug-in
  EXPECT_EQ(p->Value(), 0.9);
  EXPECT_TRUE(log_.calls.empty());
  p->SetValueFromPlugin(0.2);  // the first value from the plug-in: the default
  p->SetValueFromPlugin(0.6);
  p->MouseDoubleClick(0, 0, nullptr);
  EXPECT_EQ(p->Value(), 0.2);
  EXPECT_EQ(log_.Joined(), "a0");
  EXPECT_FLOAT_EQ(log_.values.back(), 0.2f);
}

TEST_F(IControlTest, SetValueFromUserPushesOnlyAChange) {
  ProbeControl* p = Probe(0);
  p->SetValueFromUser(0.0);  // the value it has
  EXPECT_TRUE(log_.calls.empty());
  p->SetValueFromUser(0.4);
  EXPECT_EQ(log_.Joined(), "a0");
  EXPECT_TRUE(p->NeedsRedraw());
}

TEST_F(IControlTest, HidingAndGrayingMarkDirtyWithoutPushing) {
  ProbeControl* p = Probe(0);
  p->ClearDirty();
  p->Hide(true);
  EXPECT_TRUE(p->IsHidden());
  EXPECT_TRUE(p->IsDirty());
  EXPECT_TRUE(p->NeedsRedraw());
  p->ClearDirty();
  p->ClearDirty();
  p->SetGrayed(true);
  EXPECT_TRUE(p->IsDirty());
  EXPECT_EQ(p->Blend().weight, 0.25f);
  p->SetGrayed(false);
  EXPECT_EQ(p->Blend().weight, 1.0f);
  EXPECT_TRUE(log_.calls.empty());
}

TEST_F(IControlTest, AuxiliaryValuesMarkDirtyOnlyWhenTheyChange) {
  ProbeControl* p = Probe(0);
  p->AddAuxParam(3);
  p->ClearDirty();
  Editor().SetParameterFromPlugin(3, 1.0, true);
  EXPECT_EQ(p->AuxParam(0)->value.load(), 1.0);
  EXPECT_TRUE(p->IsDirty());
  p->ClearDirty();
  p->ClearDirty();
  p->SetAuxValueFromPlugin(0, 1.0);
  EXPECT_FALSE(p->IsDirty());
  p->SetAuxValueFromPlugin(5, 0.3);  // no such entry
  EXPECT_FALSE(p->IsDirty());
}

TEST_F(IControlTest, TheValuePromptStaysShutWhileDisabled) {
  ProbeControl* p = Probe(1);
  p->PromptValue();
  EXPECT_TRUE(Editor().Menus().empty());
  EXPECT_FALSE(Editor().TextEntryOpen());
}

TEST_F(IControlTest, PromptForAnEnumerationIsAMenuOfItsValueTexts) {
  ProbeControl* p = Probe(1);
  p->SetPromptDisabled(false);
  plug_.GetParam(1)->SetClamped(1.0);  // "B"
  Editor().QueueMenuCommand(2);
  p->PromptValue();
  ASSERT_EQ(Editor().Menus().size(), 1u);
  const auto& menu = Editor().Menus()[0];
  EXPECT_EQ(menu.texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(menu.flags, (std::vector<int>{0, graphics::IMenuItem::kChecked, 0}));
  // Value texts: the menu opens over the control's own rectangle.
  EXPECT_EQ(menu.at, p->Rect());
  EXPECT_EQ(p->Value(), 1.0);
  EXPECT_EQ(plug_.GetParam(1)->Value(), 2.0);
}

TEST_F(IControlTest, PromptForANumberIsATextEntryCentredOnTheControl) {
  ProbeControl* p = Probe(2);
  Editor().OpenWindow(nullptr);
  p->SetPromptDisabled(false);
  plug_.GetParam(2)->SetClamped(-3.5);
  p->PromptValue();
  ASSERT_TRUE(Editor().TextEntryOpen());
  // Centre (20, 20): 40 x 16 around it.
  EXPECT_EQ(Editor().TextEntry().at, IRect(0, 12, 40, 28));
  EXPECT_EQ(Editor().TextEntry().text, "-3.5");
  EXPECT_EQ(Editor().TextEntry().param, plug_.GetParam(2));
}

TEST_F(IControlTest, TheRightButtonPromptsAndTheLeftDoesNot) {
  ProbeControl* p = new ProbeControl(&plug_, IRect(10, 10, 30, 30), 1);
  graphics::IControl& base = *p;
  Editor().AttachControl(p);
  p->SetPromptDisabled(false);
  graphics::IMouseState left;
  left.left = true;
  base.IControl::MouseDown(15, 15, &left);
  EXPECT_TRUE(Editor().Menus().empty());
  graphics::IMouseState right;
  right.right = true;
  base.IControl::MouseDown(15, 15, &right);
  EXPECT_EQ(Editor().Menus().size(), 1u);
}

}  // namespace
}  // namespace graphics_test
