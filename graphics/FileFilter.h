// The file type filter of the open and save dialogs, from a blank-separated
// list of extensions ("fxp fxb"): the pattern "*.fxp;*.fxb", shown as the
// filter's description too, and the first extension as the default one.
// Both are cut to the dialogs' fixed limits rather than written past them.
#pragma once

#include <string>

namespace graphics {

struct FileFilter {
  static constexpr size_t kMaxPatternChars = 255;
  static constexpr size_t kMaxExtensionChars = 15;

  std::string pattern;           // empty without extensions
  std::string defaultExtension;  // empty without extensions

  static FileFilter FromExtensions(const char* extensions);
};

}  // namespace graphics
