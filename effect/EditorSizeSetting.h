// The user's choice of editor size, kept per user in the settings file
// (SettingsFile.h) in a section of its own, which versions without a size
// choice never read:
//
//   [Editor]
//   Size=150
//
// Size is "Automatic" or one of 100, 150 and 200. Anything else (a missing
// file, section or key, another number, trailing text) reads as automatic,
// so a damaged or hostile entry never sizes the editor.
#pragma once

#include "effect/SettingsFile.h"

namespace effect {

class EditorSizeSetting {
 public:
  static constexpr const char* kSection = "Editor";
  static constexpr const char* kKey = "Size";
  static constexpr const char* kAutomatic = "Automatic";

  // 0 for automatic, else 100, 150 or 200. [main]
  static int Read(const SettingsFile& file);
  // Writes percent (0 or another value: automatic); true when written. [main]
  static bool Write(const SettingsFile& file, int percent);
};

}  // namespace effect
