// A plug-in binary opened from disk: LoadLibraryA in the Windows builds,
// dlopen natively. One header, one body per platform.
#pragma once

#include <string>

namespace vsthost {

class PluginLibrary {
 public:
  PluginLibrary();
  // Unloads the binary if it is still open. Every instance made from it must
  // be closed before.
  virtual ~PluginLibrary();

  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Opens the binary at path (a Windows path under Wine, e.g. "Z:/..."; forward
  // slashes are accepted). On failure returns false and, when errorText is
  // given, a one-line reason. An open library is closed first. [main]
  virtual bool open(const std::string& path, std::string* errorText);

  // Unloads the binary; nothing happens when none is open. [main]
  virtual void close();

  bool isOpen() const { return handle_ != nullptr; }

  // Address of an exported symbol, or null when the binary has none of that
  // name (or none is open).
  virtual void* findSymbol(const char* name) const;

 private:
  void* handle_;
};

}  // namespace vsthost
