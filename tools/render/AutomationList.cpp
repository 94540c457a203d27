#include "tools/render/AutomationList.h"

#include <algorithm>
#include <cctype>

#include "tools/render/NumberText.h"

namespace render {

namespace {

std::string trimmed(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

bool AutomationList::parse(const std::string& text, double tempoBpm,
                           std::vector<AutomationPoint>* points, std::string* errorText) {
  const double secondsPerBeat = 60.0 / tempoBpm;
  std::size_t start = 0;
  const std::size_t first = points->size();
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string entry = trimmed(text.substr(start, comma - start));
    start = comma + 1;
    if (entry.empty()) continue;
    const std::size_t at = entry.rfind('@');
    const std::size_t equals = entry.rfind('=');
    double beats = 0.0, value = 0.0;
    const bool ok = at != std::string::npos && equals != std::string::npos && at > 0 &&
                    equals > at &&
                    parseNumber(trimmed(entry.substr(at + 1, equals - at - 1)), &beats) &&
                    parseNumber(trimmed(entry.substr(equals + 1)), &value) && beats >= 0.0 &&
                    value >= 0.0 && value <= 1.0 && !trimmed(entry.substr(0, at)).empty();
    if (!ok) {
      *errorText =
          "bad automation \"" + entry + "\" (NAME@BEATS=VALUE, VALUE 0..1, e.g. Mix@2=0.5)";
      return false;
    }
    AutomationPoint point;
    point.seconds = beats * secondsPerBeat;
    point.name = trimmed(entry.substr(0, at));
    point.normalised = value;
    points->push_back(point);
  }
  if (points->size() == first) {
    *errorText = "the automation list is empty";
    return false;
  }
  std::stable_sort(
      points->begin() + static_cast<long>(first), points->end(),
      [](const AutomationPoint& a, const AutomationPoint& b) { return a.seconds < b.seconds; });
  return true;
}

}  // namespace render
