#include "tools/render/RenderPluginFactory.h"

#include "tools/render/Vst2RenderPlugin.h"
#include "tools/render/Vst3RenderPlugin.h"

namespace render {

std::unique_ptr<RenderPlugin> openRenderPlugin(const std::string& path, std::string* errorText) {
  // A VST 3 bundle (Quillet.vst3/) or the module inside it (.vst3 on
  // Windows; a .so in a bundle's Contents elsewhere).
  if (path.find(".vst3") != std::string::npos) {
    std::unique_ptr<Vst3RenderPlugin> vst3(new Vst3RenderPlugin());
    if (!vst3->load(path, errorText)) return nullptr;
    return vst3;
  }
  std::unique_ptr<Vst2RenderPlugin> vst2(new Vst2RenderPlugin());
  if (!vst2->load(path, errorText)) return nullptr;
  return vst2;
}

}  // namespace render
