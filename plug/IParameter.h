// One automatable parameter: kind, range, step, response curve, current plain
// value and the texts that describe it.
//
// The host sees a normalised number n in 0..1; the plug-in works on the plain
// value. The mapping is plain = minimum + (maximum - minimum) * n^shape, and
// every kind but continuous rounds the plain value to a multiple of the step.
//
// Every writer holds the plug-in's instance lock. The plain value alone is an
// atomic, so the editor's drawing may read it on the user-interface thread
// while the host changes it from another thread; everything else is set once
// when the parameter is initialised.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace plug {

enum class ParamKind : int {
  None = 0,
  Switch = 1,
  Integer = 2,
  Enumeration = 3,
  Continuous = 4,
};

// Writes the display text of a plain value; when set it replaces the numeric
// text and the value texts. The text buffer holds kTextCapacity bytes.
using ParamDisplayFunction = void (*)(double plainValue, char* text);

class IParameter {
 public:
  // Capacity of every text an IParameter keeps or writes (31 characters + terminator).
  static constexpr int kTextCapacity = 32;

  struct ValueText {
    int value;
    std::string text;
  };

  IParameter() = default;

  // Initialisers. Each sets the kind only while it is still None, so the
  // outermost initialiser decides the kind, then delegates inward.
  void InitSwitch(const char* name, bool defaultOn, const char* label = "");
  void InitEnumeration(const char* name, int defaultValue, int valueCount, const char* label = "");
  void InitInteger(const char* name, int defaultValue, int minimum, int maximum,
                   const char* label = "");
  void InitContinuous(const char* name, double defaultValue, double minimum, double maximum,
                      double step, const char* label = "", double shape = 1.0);

  // Appends an entry; an existing entry with the same value is not replaced.
  void AddValueText(int value, const char* text);

  // Sets the plain value from a normalised one and returns it. Non-finite input
  // leaves the value as it is.
  double SetFromNormalized(double normalized);
  // The plain value SetFromNormalized would set for a non-NaN normalized.
  double PlainFromNormalized(double normalized) const;
  // value := v clamped into [minimum, maximum], no step rounding. A NaN gives
  // the minimum: no parameter ever holds NaN.
  void SetClamped(double v);

  double NormalizedValue() const { return ToNormalized(Value()); }
  double ToNormalized(double plain) const;
  double FromNormalized(double normalized) const;

  // The display text of v (plain, or normalised when normalized is true) into
  // text, which holds at least kTextCapacity bytes.
  void FormatValue(double v, bool normalized, char* text, bool useValueTexts) const;
  // The unit label, or "" when a value text is shown for the current value.
  const char* UnitLabel() const;
  // The unit label whatever the value (formats that describe a parameter once).
  const char* Label() const { return label_.c_str(); }

  // The value text whose integer equals value exactly, or null.
  const char* FindValueText(int value) const;
  // The value of the first value text equal to text; false when none is.
  bool FindValueByText(const char* text, int* value) const;
  // The plain value a host's text stands for, unclamped: with value texts the
  // value of the one equal to text (false when none is), else the text's
  // leading number (0 when there is none), negated for a negated display.
  bool PlainFromText(const char* text, double* plain) const;

  const char* Name() const { return name_.c_str(); }
  ParamKind Kind() const { return kind_; }
  double Value() const { return value_.load(std::memory_order_relaxed); }
  int Int() const { return static_cast<int>(Value()); }
  bool Bool() const { return Value() >= 0.5; }
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double Shape() const { return shape_; }
  double Default() const { return default_; }
  int DisplayPrecision() const { return precision_; }
  bool NegateDisplay() const { return negateDisplay_; }
  void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }
  void SetDisplayFunction(ParamDisplayFunction f) { displayFunction_ = f; }
  bool HasValueTexts() const { return !valueTexts_.empty(); }
  int ValueTextCount() const { return static_cast<int>(valueTexts_.size()); }
  const ValueText& ValueTextAt(int i) const { return valueTexts_[static_cast<std::size_t>(i)]; }

 private:
  ParamDisplayFunction displayFunction_ = nullptr;
  ParamKind kind_ = ParamKind::None;
  std::atomic<double> value_{0.0};
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double default_ = 0.0;
  int precision_ = 0;
  std::string name_;
  std::string label_;
  bool negateDisplay_ = false;
  std::vector<ValueText> valueTexts_;
};

}  // namespace plug
