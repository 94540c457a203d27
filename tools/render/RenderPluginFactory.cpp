#include "tools/render/RenderPluginFactory.h"

#include "tools/render/Vst2RenderPlugin.h"

namespace render {

std::unique_ptr<RenderPlugin> openRenderPlugin(const std::string& path, std::string* errorText) {
  std::unique_ptr<Vst2RenderPlugin> vst2(new Vst2RenderPlugin());
  if (!vst2->load(path, errorText)) return nullptr;
  return vst2;
}

}  // namespace render
