#include "graphics/FileFilter.h"

namespace graphics {

FileFilter FileFilter::FromExtensions(const char* extensions) {
  FileFilter filter;
  if (!extensions) return filter;
  const char* p = extensions;
  while (*p) {
    while (*p == ' ') ++p;
    const char* end = p;
    while (*end && *end != ' ') ++end;
    if (end > p) {
      const std::string ext(p, static_cast<size_t>(end - p));
      if (filter.defaultExtension.empty())
        filter.defaultExtension = ext.substr(0, kMaxExtensionChars);
      if (!filter.pattern.empty()) filter.pattern += ';';
      filter.pattern += "*." + ext;
      if (filter.pattern.size() >= kMaxPatternChars) break;
    }
    p = end;
  }
  if (filter.pattern.size() > kMaxPatternChars) filter.pattern.resize(kMaxPatternChars);
  return filter;
}

}  // namespace graphics
