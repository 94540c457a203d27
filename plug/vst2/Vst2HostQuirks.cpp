#include "plug/vst2/Vst2HostQuirks.h"

#include <cstring>

#include "plug/TextUtil.h"

namespace plug {

namespace {
constexpr int kTextBuffer = 256;
}  // namespace

bool IsChunkQuirkVendor(const char* vendor) {
  char text[kTextBuffer];
  CopyText(text, vendor, sizeof text);
  LowerCaseAscii(text);
  return std::strcmp(text, "native instruments") == 0 || std::strcmp(text, "juce vst host") == 0;
}

int HostVersionFromDecimal(long long decimal) {
  if (decimal <= 0) return 0;
  long long major = decimal / 10000, minor = (decimal / 100) % 100, patch = decimal % 100;
  if (major > 0xFFFF) major = 0xFFFF;
  return static_cast<int>((major << 16) | (minor << 8) | patch);
}

}  // namespace plug
