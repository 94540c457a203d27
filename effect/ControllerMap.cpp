#include "effect/ControllerMap.h"

#include <climits>
#include <cstdio>
#include <string>

namespace effect {

namespace {

bool IsValidController(int controller) {
  return controller >= 0 && controller < ControllerMap::kControllerCount;
}

// Key names "CC0" .. "CC119"; the buffer holds any int.
void MakeKey(int controller, char (&key)[16]) {
  std::snprintf(key, sizeof key, "CC%i", controller);
}

}  // namespace

int ControllerMap::ParamFor(int controller) const {
  return IsValidController(controller) ? paramFor_[controller] : kUnassigned;
}

void ControllerMap::Assign(int controller, int paramIndex) {
  if (!IsValidController(controller)) return;
  ClearParam(paramIndex);
  paramFor_[controller] = paramIndex;
}

void ControllerMap::ClearController(int controller) {
  if (IsValidController(controller)) paramFor_[controller] = kUnassigned;
}

void ControllerMap::ClearParam(int paramIndex) {
  for (int& entry : paramFor_) {
    if (entry == paramIndex) entry = kUnassigned;
  }
}

void ControllerMap::Clear() {
  for (int& entry : paramFor_) entry = kUnassigned;
}

int ControllerMap::ParseStoredIndex(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  // Accumulate towards the sign's side so that INT_MIN itself fits.
  int value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const int digit = *p - '0';
    if (negative) {
      value = value < (INT_MIN + digit) / 10 ? INT_MIN : value * 10 - digit;
    } else {
      value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
  }
  return value != 0 || text[0] == '0' ? value : kUnassigned;
}

void ControllerMap::Load(const SettingsFile& file) {
  for (int controller = 0; controller < kControllerCount; ++controller) {
    char key[16];
    MakeKey(controller, key);
    char value[64];
    file.ReadText(kSection, key, "-1", value, sizeof value);
    if (value[0] != '\0') paramFor_[controller] = ParseStoredIndex(value);
  }
}

bool ControllerMap::Save(const SettingsFile& file) const {
  std::string keyList;
  for (int controller = 0; controller < kControllerCount; ++controller) {
    if (paramFor_[controller] == kUnassigned) continue;
    char line[48];
    std::snprintf(line, sizeof line, "CC%i=%i", controller, paramFor_[controller]);
    keyList += line;
    keyList += '\0';
  }
  keyList += '\0';
  return file.WriteSection(kSection, keyList.c_str());
}

}  // namespace effect
