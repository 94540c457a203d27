// A VST 3 module loaded as hosts load it: the binary opened (LoadLibrary or
// dlopen), its entry called (InitDll on Windows, ModuleEntry with the handle
// elsewhere), the factory taken; on close the factory released, the exit
// called (ExitDll / ModuleExit), the binary unloaded.
#pragma once

#include <string>

#include "plug/vst3/Vst3Interfaces.h"
#include "tools/vsthost/PluginLibrary.h"

namespace vst3host {

class Vst3Module {
 public:
  Vst3Module() = default;
  ~Vst3Module() { close(); }
  Vst3Module(const Vst3Module&) = delete;
  Vst3Module& operator=(const Vst3Module&) = delete;

  // The module binary itself, or a bundle folder (Quillet.vst3), whose
  // binary for this platform is then used. False with a one-line reason.
  bool open(const std::string& path, std::string* errorText);
  void close();

  vst3::IPluginFactory* factory() const { return factory_; }
  // A new instance of the module's first class, queried for iid, or null.
  void* create(const vst3::Uid& iid);
  // The first class's ID.
  bool classId(char* cid);

  // The binary a bundle holds for this platform.
  static std::string binaryInBundle(const std::string& bundle);

 private:
  vsthost::PluginLibrary library_;
  vst3::IPluginFactory* factory_ = nullptr;
  bool entered_ = false;
};

}  // namespace vst3host
