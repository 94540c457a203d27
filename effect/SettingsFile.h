// The per-user settings file of the maker's plug-ins: an ini file with the
// layout of the Windows private-profile functions (see IniText.h).
//
// Where it lives:
//   Windows  <local application data>\<maker folder>\<file>, the base folder
//            from SHGetFolderPathA(CSIDL_LOCAL_APPDATA); read and written
//            through the system's private-profile functions.
//   POSIX    <base>/<maker folder>/<file>, the base being $XDG_DATA_HOME when it
//            is an absolute path, else $HOME/.local/share; read and written by
//            IniText with the same rules.
// On both, a non-empty environment variable QUILLET_LOCAL_APPDATA replaces the
// base folder: a documented feature of the shipped binaries (README.md,
// "Installing") for portable set-ups, and how test programs and test hosts
// keep away from the user's own settings.
//
// Nothing here reports a failure to the user: a read that fails gives the
// default, a write that fails leaves the file as it was.
#pragma once

#include <string>

namespace effect {

class SettingsFile {
 public:
  // Longest path the file may have; a longer one counts as unknown rather
  // than being cut to some other file's name.
  static constexpr std::size_t kMaxPathChars = 1023;

  // The full path of the file in the maker's folder, creating that folder
  // when it is missing (a failure is ignored). Empty when the base folder is
  // unknown or the path would exceed kMaxPathChars. [main]
  static std::string Locate(const char* makerFolder, const char* fileName);

  // An empty path gives a file that cannot be read or written.
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // Something exists at the path (a file-status query succeeds).
  bool Exists() const;

  // Makes the file empty when it does not exist yet; never truncates a file
  // that another instance made meanwhile. True when the file exists afterwards.
  bool CreateEmpty() const;

  // The key's value in the section, at most capacity - 1 characters;
  // defaultText when the file, section or key is missing or the file cannot
  // be read. out must hold capacity bytes (capacity > 0).
  void ReadText(const char* section, const char* key, const char* defaultText, char* out,
                int capacity) const;

  // Replaces every key of the section with keyList ("key=value" strings each
  // ended by a NUL, the list ended by an empty string), in one write. Other
  // sections and lines stay as they are. False when nothing was written.
  bool WriteSection(const char* section, const char* keyList) const;

 private:
  std::string path_;
};

}  // namespace effect
