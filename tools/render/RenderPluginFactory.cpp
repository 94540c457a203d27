#include "tools/render/RenderPluginFactory.h"

#include "tools/render/ClapRenderPlugin.h"
#include "tools/render/Vst2RenderPlugin.h"
#include "tools/render/Vst3RenderPlugin.h"
#if !defined(_WIN32)
#include "tools/render/Lv2RenderPlugin.h"
#endif

namespace render {

std::unique_ptr<RenderPlugin> openRenderPlugin(const std::string& path, std::string* errorText) {
  // A VST 3 bundle (Quillet.vst3/) or the module inside it (.vst3 on
  // Windows; a .so in a bundle's Contents elsewhere).
  if (path.find(".vst3") != std::string::npos) {
    std::unique_ptr<Vst3RenderPlugin> vst3(new Vst3RenderPlugin());
    if (!vst3->load(path, errorText)) return nullptr;
    return vst3;
  }
  const std::string clapSuffix = ".clap";
  if (path.size() > clapSuffix.size() &&
      path.compare(path.size() - clapSuffix.size(), clapSuffix.size(), clapSuffix) == 0) {
    std::unique_ptr<ClapRenderPlugin> clap(new ClapRenderPlugin());
    if (!clap->load(path, errorText)) return nullptr;
    return clap;
  }
#if !defined(_WIN32)
  // An LV2 bundle is a folder named *.lv2.
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.size() > 4 && folder.compare(folder.size() - 4, 4, ".lv2") == 0) {
    std::unique_ptr<Lv2RenderPlugin> lv2(new Lv2RenderPlugin());
    if (!lv2->load(folder, errorText)) return nullptr;
    return lv2;
  }
#endif
  std::unique_ptr<Vst2RenderPlugin> vst2(new Vst2RenderPlugin());
  if (!vst2->load(path, errorText)) return nullptr;
  return vst2;
}

}  // namespace render
