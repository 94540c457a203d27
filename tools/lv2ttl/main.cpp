// quillet-lv2-ttl BUNDLE_DIR BINARY_NAME: writes the bundle's manifest.ttl,
// quillet.ttl and presets.ttl from a fresh product instance (a build step of
// the LV2 bundle; see tools/lv2ttl/CMakeLists.txt).
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "plug/IPlugBase.h"
#include "plug/PluginFactory.h"
#include "tools/lv2ttl/Lv2Turtle.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: quillet-lv2-ttl BUNDLE_DIR BINARY_NAME\n");
    return 2;
  }
  std::unique_ptr<plug::IPlugBase> plugin(plug::CreatePlugin());
  if (!plugin) return 1;
  const std::string dir = argv[1];
  const bool ok = Write(dir + "/manifest.ttl", lv2ttl::ManifestTurtle(*plugin, argv[2])) &&
                  Write(dir + "/quillet.ttl", lv2ttl::PluginTurtle(*plugin)) &&
                  Write(dir + "/presets.ttl", lv2ttl::PresetsTurtle(plugin.get()));
  if (!ok) std::fprintf(stderr, "quillet-lv2-ttl: cannot write into %s\n", argv[1]);
  return ok ? 0 : 1;
}
