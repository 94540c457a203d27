#include "plug/TextUtil.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace plug {

void CopyText(char* dst, const char* src, std::size_t capacity) {
  if (!dst || capacity == 0) return;
  if (!src) src = "";
  std::size_t n = std::strlen(src);
  if (n >= capacity) n = capacity - 1;
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

void FormatNumber(double v, int precision, char* dst, std::size_t capacity) {
  if (!dst || capacity == 0) return;
  // Large enough for any double in fixed notation with 6 digits.
  char buf[400];
  char* end = buf;
  if (!std::isfinite(v)) {
    const char* text = std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf");
    CopyText(dst, text, capacity);
    return;
  }
  if (precision <= 0) {
    double t = std::trunc(v);
    // "%d" of a value the int range cannot hold is undefined; saturate.
    if (t > std::numeric_limits<int>::max()) t = std::numeric_limits<int>::max();
    if (t < std::numeric_limits<int>::min()) t = std::numeric_limits<int>::min();
    end = std::to_chars(buf, buf + sizeof buf - 1, static_cast<int>(t)).ptr;
  } else {
    if (precision > 17) precision = 17;
    auto result = std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::fixed, precision);
    end = result.ec == std::errc() ? result.ptr : buf;
  }
  *end = '\0';
  CopyText(dst, buf, capacity);
}

double ParseLeadingNumber(const char* text) {
  if (!text) return 0.0;
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\f' ||
         *text == '\v')
    ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    ++text;
  }
  // from_chars takes no '+' and no sign after one was consumed; bound the scan.
  std::size_t len = std::strlen(text);
  double value = 0.0;
  auto result = std::from_chars(text, text + len, value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return negative ? -value : value;
}

void LowerCaseAscii(char* text) {
  if (!text) return;
  for (; *text; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
  }
}

}  // namespace plug
