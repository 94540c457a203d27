#include "tools/render/NumberText.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace render {

bool parseNumber(const std::string& text, double* value) {
  if (text.empty() || std::strchr(" \t\n", text[0]) != nullptr) return false;
  // strtod follows the locale's decimal separator; the texts here always use a
  // point, so a point is swapped for the locale's own separator first.
  std::string local = text;
  const char* separator = std::localeconv()->decimal_point;
  if (separator != nullptr && separator[0] != '.' && separator[0] != '\0') {
    if (local.find(separator[0]) != std::string::npos) return false;
    for (char& c : local) {
      if (c == '.') c = separator[0];
    }
  }
  errno = 0;
  char* end = nullptr;
  const double result = std::strtod(local.c_str(), &end);
  if (end == local.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(result)) {
    return false;
  }
  *value = result;
  return true;
}

bool parseInteger(const std::string& text, long* value) {
  if (text.empty() || std::strchr(" \t\n", text[0]) != nullptr) return false;
  errno = 0;
  char* end = nullptr;
  const long result = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE) return false;
  *value = result;
  return true;
}

}  // namespace render
