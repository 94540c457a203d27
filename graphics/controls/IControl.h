// The base of every element of the editor: a rectangle, an optional bound
// parameter, a normalised value, dirty flags and the operations the graphics
// host calls for drawing and input.
//
// THREADS
//   Everything runs on the editor's user-interface thread except the
//   operations tagged [any thread]: a parameter changed by the host's audio or
//   automation thread, or by MIDI, reaches the control there (through
//   IGraphics::SetParameterFromPlugin or the product's editor feedback). Those
//   paths only write the value and the flags, which are atomics, and the timer
//   on the user-interface thread picks them up. The flag protocol never loses
//   an update: a writer stores the value first, then sets "redraw" before
//   "dirty"; the timer clears the dirty flag in one atomic step that keeps it
//   set when "redraw" was set (ClearDirty). A value written while the control
//   is being drawn is therefore drawn again on the next tick.
//
// DIRTY CYCLE
//   A change of value, visibility or graying marks the control dirty; the next
//   timer tick draws it and calls ClearDirty, which keeps it dirty for one more
//   tick when "redraw" was set.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "graphics/IGraphicsTypes.h"
#include "graphics/IRect.h"

namespace plug {
class IPlugBase;
class IParameter;
}  // namespace plug

namespace graphics {

class IGraphics;
class ITextControl;

class IControl {
 public:
  // A further parameter shown by the control; no control of this editor has one.
  struct IAuxParam {
    explicit IAuxParam(int index) : paramIndex(index) {}
    std::atomic<double> value{0.0};
    int paramIndex;
  };

  // blendMode with weight 1.0. A negative paramIndex binds no parameter.
  IControl(plug::IPlugBase* plugin, const IRect& rect, int paramIndex = -1,
           IBlendMode blendMode = IBlendMode::kNormal);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Input, from the graphics host [main] --------------------------------
  // Right button: the value prompt (PromptValue); otherwise nothing.
  virtual void MouseDown(int x, int y, const IMouseState* state);
  virtual void MouseUp(int x, int y, const IMouseState* state) {}
  virtual void MouseDrag(int x, int y, int dX, int dY, const IMouseState* state) {}
  // Restores the default value (the first value the plug-in gave), if known.
  virtual void MouseDoubleClick(int x, int y, const IMouseState* state);
  virtual void MouseWheel(int x, int y, const IMouseState* state, int d) {}
  virtual bool KeyDown(int x, int y, int key) { return false; }
  virtual void MouseOver(int x, int y, const IMouseState* state) {}
  virtual void MouseOut() {}

  // Draws into the host's off-screen bitmap. [main]
  virtual bool Draw(IGraphics* graphics) = 0;

  // ---- Values --------------------------------------------------------------
  // The plug-in's value: the first one also becomes the default; an unchanged
  // value marks nothing dirty. [any thread]
  virtual void SetValueFromPlugin(double value);
  // The user's value (menus, text entry): pushed to the plug-in. [main]
  virtual void SetValueFromUser(double value);
  virtual void SetTextFromPlugin(const char* text) {}              // [main]
  virtual void SetAuxValueFromPlugin(int auxIndex, double value);  // [any thread]

  // ---- State -----------------------------------------------------------------
  virtual void Hide(bool hide);         // [any thread]
  virtual void SetGrayed(bool grayed);  // [main] weight 0.25 while grayed
  // (x, y) in the rectangle that takes the mouse. [main]
  virtual bool HitTest(int x, int y);
  // Clamps the value, marks the control dirty and, with pushToPlugin, sets the
  // bound parameter from the value (the plug-in tells the host). pushToPlugin
  // is for the user-interface thread only; without it [any thread].
  virtual void MarkDirty(bool pushToPlugin);
  // Adds delta to the value, clamped; pushes it like MarkDirty(true) when it
  // changed. False, with nothing marked or pushed, when it did not (a wheel
  // turned against the end of the range tells the host nothing). [main]
  bool StepValue(double delta);
  // dirty = redraw; redraw = false, in one atomic step. [main]
  virtual void ClearDirty();
  virtual bool IsDirty() const;

  // The value prompt: a menu of value texts or a text entry, through the
  // graphics host. Nothing while promptDisabled is set (always, in this editor)
  // or without a parameter. [main]
  void PromptValue();

  // ---- Members -----------------------------------------------------------------
  plug::IPlugBase* Plugin() const { return plugin_; }
  // The graphics host the control is attached to (set by AttachControl).
  IGraphics* GetGUI() const { return graphics_; }
  void SetGUI(IGraphics* graphics) { graphics_ = graphics; }
  // The bound parameter, or null.
  plug::IParameter* Param() const;

  const IRect& Rect() const { return rect_; }
  const IRect& TargetRect() const { return targetRect_; }
  void SetTargetRect(const IRect& r) { targetRect_ = r; }
  int ParamIdx() const { return paramIndex_; }
  double Value() const { return value_.load(std::memory_order_relaxed); }
  // Sets the value without marking anything (for the window layers and tests).
  void SetValue(double v) { value_.store(v, std::memory_order_relaxed); }
  double DefaultValue() const { return defaultValue_.load(std::memory_order_relaxed); }
  void SetClamp(double low, double high);
  bool IsHidden() const { return hidden_.load(std::memory_order_relaxed); }
  bool IsGrayed() const { return grayed_; }
  bool NeedsRedraw() const { return (state_.load() & kRedrawBit) != 0; }
  void SetRedraw() { state_.fetch_or(kRedrawBit); }
  bool PromptDisabled() const { return promptDisabled_; }
  void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }
  bool DoubleClickAsClick() const { return doubleClickAsClick_; }
  void SetDoubleClickAsClick(bool asClick) { doubleClickAsClick_ = asClick; }
  bool MouseOverWhenGrayed() const { return mouseOverWhenGrayed_; }
  void SetMouseOverWhenGrayed(bool allow) { mouseOverWhenGrayed_ = allow; }
  const IBlend& Blend() const { return blend_; }
  ITextStyle& TextStyle() { return textStyle_; }
  void SetTextStyle(const ITextStyle& style) { textStyle_ = style; }
  int TextEntryLength() const { return textEntryLength_; }
  void SetTextEntryLength(int chars) { textEntryLength_ = chars; }
  void SetValueDisplay(ITextControl* display) { valueDisplay_ = display; }
  void SetNameDisplay(ITextControl* display) { nameDisplay_ = display; }
  const std::string& Tooltip() const { return tooltip_; }
  void SetTooltip(const char* text) { tooltip_ = text ? text : ""; }
  // Binds a further parameter (before the editor is attached).
  void AddAuxParam(int paramIndex);
  int NAuxParams() const { return static_cast<int>(auxParams_.size()); }
  const IAuxParam* AuxParam(int i) const;

 protected:
  static constexpr unsigned kDirtyBit = 1u;
  static constexpr unsigned kRedrawBit = 2u;

  // v limited to the clamp range.
  double Clamped(double v) const;

  int textEntryLength_ = 7;
  ITextStyle textStyle_;
  plug::IPlugBase* plugin_;
  IRect rect_;
  IRect targetRect_;
  int paramIndex_;
  std::vector<IAuxParam*> auxParams_;  // owned
  std::atomic<double> value_{0.0};
  std::atomic<double> defaultValue_{-1.0};
  double clampLow_ = 0.0;
  double clampHigh_ = 1.0;
  std::atomic<unsigned> state_{kDirtyBit};  // kDirtyBit | kRedrawBit
  std::atomic<bool> hidden_{false};
  bool grayed_ = false;
  bool promptDisabled_ = true;
  bool doubleClickAsClick_ = false;
  bool mouseOverWhenGrayed_ = false;
  IBlend blend_;
  ITextControl* valueDisplay_ = nullptr;  // not owned
  ITextControl* nameDisplay_ = nullptr;   // not owned
  std::string tooltip_;
  IGraphics* graphics_ = nullptr;  // not owned
};

}  // namespace graphics
