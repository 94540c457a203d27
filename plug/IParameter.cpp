#include "plug/IParameter.h"

#include <cmath>
#include <cstring>

#include "plug/TextUtil.h"

namespace plug {

namespace {

// Texts are kept to 31 characters, as the fields they describe.
std::string Bounded(const char* text) {
  std::string s = text ? text : "";
  if (s.size() > IParameter::kTextCapacity - 1) s.resize(IParameter::kTextCapacity - 1);
  return s;
}

// Host-supplied normalised values: NaN counts as 0, the rest is kept in 0..1.
// (A negative normalised value would put the plain value below the minimum,
// and n^shape of a negative n is NaN for fractional shapes.)
double SaneNormalized(double n) {
  if (!(n > 0.0)) return 0.0;
  return n > 1.0 ? 1.0 : n;
}

}  // namespace

void IParameter::InitSwitch(const char* name, bool defaultOn, const char* label) {
  if (kind_ == ParamKind::None) kind_ = ParamKind::Switch;
  InitEnumeration(name, defaultOn ? 1 : 0, 2, label);
  AddValueText(0, "off");
  AddValueText(1, "on");
}

void IParameter::InitEnumeration(const char* name, int defaultValue, int valueCount,
                                 const char* label) {
  if (kind_ == ParamKind::None) kind_ = ParamKind::Enumeration;
  InitInteger(name, defaultValue, 0, valueCount - 1, label);
}

void IParameter::InitInteger(const char* name, int defaultValue, int minimum, int maximum,
                             const char* label) {
  if (kind_ == ParamKind::None) kind_ = ParamKind::Integer;
  InitContinuous(name, defaultValue, minimum, maximum, 1.0, label, 1.0);
}

void IParameter::InitContinuous(const char* name, double defaultValue, double minimum,
                                double maximum, double step, const char* label, double shape) {
  if (kind_ == ParamKind::None) kind_ = ParamKind::Continuous;
  name_ = Bounded(name);
  label_ = Bounded(label);
  min_ = minimum;
  value_ = defaultValue;
  default_ = defaultValue;
  step_ = step;
  precision_ = 0;
  max_ = (minimum + step > maximum) ? minimum + step : maximum;
  // Display precision: one digit for every decimal shift the step needs to
  // become whole, at most six.
  double d = step;
  while (d != std::floor(d) && precision_ < 6) {
    ++precision_;
    d *= 10.0;
  }
  if (shape != 0.0) shape_ = shape;
}

void IParameter::AddValueText(int value, const char* text) {
  valueTexts_.push_back(ValueText{value, Bounded(text)});
}

double IParameter::SetFromNormalized(double normalized) {
  if (std::isnan(normalized)) return Value();
  value_ = PlainFromNormalized(normalized);
  return Value();
}

double IParameter::PlainFromNormalized(double normalized) const {
  double v = min_ + (max_ - min_) * std::pow(SaneNormalized(normalized), shape_);
  if (kind_ != ParamKind::Continuous && step_ > 0.0) v = std::floor(v / step_ + 0.5) * step_;
  if (v > max_) v = max_;
  if (!std::isfinite(v)) v = min_;
  return v;
}

void IParameter::SetClamped(double v) {
  if (std::isnan(v) || v < min_)
    value_ = min_;
  else
    value_ = v < max_ ? v : max_;
}

double IParameter::ToNormalized(double plain) const {
  double v = (std::isnan(plain) || plain < min_) ? min_ : (plain < max_ ? plain : max_);
  return std::pow((v - min_) / (max_ - min_), 1.0 / shape_);
}

double IParameter::FromNormalized(double normalized) const {
  return min_ + (max_ - min_) * std::pow(normalized, shape_);
}

void IParameter::FormatValue(double v, bool normalized, char* text, bool useValueTexts) const {
  if (!text) return;
  if (normalized) v = FromNormalized(SaneNormalized(v));
  if (displayFunction_) {
    displayFunction_(v, text);
    return;
  }
  if (useValueTexts && !valueTexts_.empty() && std::isfinite(v)) {
    double t = std::trunc(v);
    if (t >= -2147483648.0 && t <= 2147483647.0) {
      const char* found = FindValueText(static_cast<int>(t));
      if (found && *found) {
        CopyText(text, found, kTextCapacity);
        return;
      }
    }
  }
  if (negateDisplay_) v = -v;
  FormatNumber(v, precision_, text, kTextCapacity);
}

const char* IParameter::UnitLabel() const {
  double t = std::trunc(Value());
  if (!valueTexts_.empty() && t >= -2147483648.0 && t <= 2147483647.0) {
    const char* found = FindValueText(static_cast<int>(t));
    if (found && *found) return "";
  }
  return label_.c_str();
}

const char* IParameter::FindValueText(int value) const {
  for (const ValueText& entry : valueTexts_) {
    if (entry.value == value) return entry.text.c_str();
  }
  return nullptr;
}

bool IParameter::FindValueByText(const char* text, int* value) const {
  if (!text) return false;
  for (const ValueText& entry : valueTexts_) {
    if (std::strcmp(entry.text.c_str(), text) == 0) {
      if (value) *value = entry.value;
      return true;
    }
  }
  return false;
}

bool IParameter::PlainFromText(const char* text, double* plain) const {
  if (!text) return false;
  if (HasValueTexts()) {
    int found = 0;
    if (!FindValueByText(text, &found)) return false;
    *plain = found;
    return true;
  }
  const double v = ParseLeadingNumber(text);
  *plain = negateDisplay_ ? -v : v;
  return true;
}

}  // namespace plug
