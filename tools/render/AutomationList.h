// Parameter automation written on the command line, for example
//   "Mix@0=1, Mix@2=0.25, Grain Mode@4=1"
// Each entry is NAME@BEATS=VALUE, entries separated by commas: a parameter by
// its name (as --param takes it), the time in quarter-note beats at the
// render's tempo, and the normalised value 0..1 the host sends (what a host's
// automation lane holds, and what every format receives alike).
#pragma once

#include <string>
#include <vector>

namespace render {

struct AutomationPoint {
  double seconds = 0.0;
  std::string name;
  int index = -1;  // the parameter, once the plug-in is known
  double normalised = 0.0;
};

class AutomationList {
 public:
  // The points in time order (equal times keep their written order). On a
  // malformed entry returns false and names it in errorText.
  static bool parse(const std::string& text, double tempoBpm, std::vector<AutomationPoint>* points,
                    std::string* errorText);
};

}  // namespace render
