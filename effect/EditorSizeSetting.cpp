#include "effect/EditorSizeSetting.h"

#include <cstdio>
#include <cstring>

namespace effect {

namespace {
bool IsSize(int percent) { return percent == 100 || percent == 150 || percent == 200; }
}  // namespace

int EditorSizeSetting::Read(const SettingsFile& file) {
  char text[16];
  file.ReadText(kSection, kKey, kAutomatic, text, sizeof text);
  for (int percent : {100, 150, 200}) {
    char expected[8];
    std::snprintf(expected, sizeof expected, "%d", percent);
    if (std::strcmp(text, expected) == 0) return percent;
  }
  return 0;
}

bool EditorSizeSetting::Write(const SettingsFile& file, int percent) {
  char keyList[32] = {};
  // "Size=<value>" ended by a NUL, then the empty string that ends the list.
  const int n = IsSize(percent)
                    ? std::snprintf(keyList, sizeof keyList - 1, "%s=%d", kKey, percent)
                    : std::snprintf(keyList, sizeof keyList - 1, "%s=%s", kKey, kAutomatic);
  if (n <= 0) return false;
  return file.WriteSection(kSection, keyList);
}

}  // namespace effect
