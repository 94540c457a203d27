#include "tools/render/RenderPluginFactory.h"

#include "tools/render/ClapRenderPlugin.h"
#include "tools/render/Vst2RenderPlugin.h"

namespace render {

std::unique_ptr<RenderPlugin> openRenderPlugin(const std::string& path, std::string* errorText) {
  const std::string clapSuffix = ".clap";
  if (path.size() > clapSuffix.size() &&
      path.compare(path.size() - clapSuffix.size(), clapSuffix.size(), clapSuffix) == 0) {
    std::unique_ptr<ClapRenderPlugin> clap(new ClapRenderPlugin());
    if (!clap->load(path, errorText)) return nullptr;
    return clap;
  }
  std::unique_ptr<Vst2RenderPlugin> vst2(new Vst2RenderPlugin());
  if (!vst2->load(path, errorText)) return nullptr;
  return vst2;
}

}  // namespace render
