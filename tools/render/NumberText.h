// Strict number parsing for command-line and value texts: the whole text must
// be the number (no trailing garbage), in the C locale's notation whatever
// the process locale is, and finite.
#pragma once

#include <string>

namespace render {

bool parseNumber(const std::string& text, double* value);
bool parseInteger(const std::string& text, long* value);

}  // namespace render
