// Platform services for the effect tests: environment variables, where the
// tuning library is looked for, and scratch folders.
#pragma once

#include <string>

namespace effect_test {

// Sets (or, for a null value, removes) a variable where the code under test
// reads it.
void SetEnvironment(const char* name, const char* value);

// The full path at which the plug-in looks for the tuning library.
std::string TuningLibraryInstallPath();

// A new empty folder below the system's temporary folder, removed with
// everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }
  // path_ + separator + name
  std::string Join(const std::string& name) const;

 private:
  std::string path_;
};

bool MakeFolder(const std::string& path);
bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);

// Whole-file helpers (binary, no line-end translation).
bool WriteFile(const std::string& path, const std::string& contents);
bool ReadFile(const std::string& path, std::string* contents);

}  // namespace effect_test
