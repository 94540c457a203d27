#include "graphics/controls/IControl.h"

#include "graphics/IGraphics.h"
#include "graphics/controls/ITextControl.h"
#include "plug/IPlugBase.h"

namespace graphics {

IControl::IControl(plug::IPlugBase* plugin, const IRect& rect, int paramIndex, IBlendMode blendMode)
    : plugin_(plugin), rect_(rect), targetRect_(rect), paramIndex_(paramIndex) {
  blend_ = IBlend(blendMode, 1.0f);
}

IControl::~IControl() {
  for (IAuxParam* aux : auxParams_) delete aux;
}

plug::IParameter* IControl::Param() const {
  return plugin_ && paramIndex_ >= 0 ? plugin_->GetParam(paramIndex_) : nullptr;
}

void IControl::MouseDown(int x, int y, const IMouseState* state) {
  if (state && state->right) PromptValue();
}

void IControl::MouseDoubleClick(int x, int y, const IMouseState* state) {
  const double def = DefaultValue();
  if (def >= 0.0) {
    SetValue(def);
    MarkDirty(true);
  }
}

void IControl::SetValueFromPlugin(double value) {
  if (DefaultValue() < 0.0) {
    defaultValue_.store(value, std::memory_order_relaxed);
    SetValue(value);
  }
  if (Value() != value) {
    SetValue(value);
    // "redraw" before "dirty": see THREADS in the header.
    SetRedraw();
    MarkDirty(false);
  }
}

void IControl::SetValueFromUser(double value) {
  if (Value() != value) {
    SetValue(value);
    SetRedraw();
    MarkDirty(true);
  }
}

void IControl::SetAuxValueFromPlugin(int auxIndex, double value) {
  if (auxIndex < 0 || auxIndex >= NAuxParams()) return;
  IAuxParam* aux = auxParams_[static_cast<size_t>(auxIndex)];
  if (aux->value.load(std::memory_order_relaxed) != value) {
    aux->value.store(value, std::memory_order_relaxed);
    SetRedraw();
    MarkDirty(false);
  }
}

void IControl::Hide(bool hide) {
  hidden_.store(hide, std::memory_order_relaxed);
  SetRedraw();
  MarkDirty(false);
}

void IControl::SetGrayed(bool grayed) {
  grayed_ = grayed;
  blend_.weight = grayed ? 0.25f : 1.0f;
  MarkDirty(false);
}

bool IControl::HitTest(int x, int y) { return targetRect_.Contains(x, y); }

double IControl::Clamped(double v) const {
  if (v < clampLow_) return clampLow_;
  if (v > clampHigh_) return clampHigh_;
  return v;
}

bool IControl::StepValue(double delta) {
  const double next = Clamped(Value() + delta);
  if (next == Value()) return false;
  SetValue(next);
  MarkDirty(true);
  return true;
}

void IControl::MarkDirty(bool pushToPlugin) {
  const double v = Value();
  if (v != Clamped(v)) SetValue(Clamped(v));
  state_.fetch_or(kDirtyBit);
  if (!pushToPlugin || !plugin_ || paramIndex_ < 0) return;
  if (graphics_) graphics_->BeforeControlPush(paramIndex_);
  plugin_->SetParameterFromEditor(paramIndex_, Value());
  plug::IParameter* param = Param();
  if (!param) return;
  if (valueDisplay_) {
    char display[plug::IParameter::kTextCapacity];
    param->FormatValue(param->Value(), false, display, true);
    std::string text = display;
    text += ' ';
    text += param->UnitLabel();
    valueDisplay_->SetText(text.c_str());
  }
  if (nameDisplay_) nameDisplay_->SetText(param->Name());
}

void IControl::ClearDirty() {
  unsigned old = state_.load();
  unsigned next;
  do {
    next = (old & kRedrawBit) ? kDirtyBit : 0u;
  } while (!state_.compare_exchange_weak(old, next));
}

bool IControl::IsDirty() const { return (state_.load() & kDirtyBit) != 0; }

void IControl::PromptValue() {
  if (paramIndex_ < 0 || promptDisabled_ || !graphics_) return;
  plug::IParameter* param = Param();
  if (!param) return;
  IRect r = rect_;
  if (!param->HasValueTexts()) {
    const int cx = static_cast<int>((rect_.left + rect_.right) * 0.5);
    const int cy = static_cast<int>((rect_.top + rect_.bottom) * 0.5);
    r = IRect(cx - 20, cy - 8, cx + 20, cy + 8);
  }
  graphics_->PromptUserInput(this, param, &r);
  SetRedraw();
}

void IControl::SetClamp(double low, double high) {
  clampLow_ = low;
  clampHigh_ = high;
}

void IControl::AddAuxParam(int paramIndex) { auxParams_.push_back(new IAuxParam(paramIndex)); }

const IControl::IAuxParam* IControl::AuxParam(int i) const {
  return i >= 0 && i < NAuxParams() ? auxParams_[static_cast<size_t>(i)] : nullptr;
}

}  // namespace graphics
