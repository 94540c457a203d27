#include <new>

#include "graphics/win32/IGraphicsWin.h"
#include "graphics/PlatformGraphics.h"
#include "plug/LibraryModule.h"

namespace graphics {

IGraphics* MakePlatformGraphics(plug::IPlugBase* plugin) {
  return new (std::nothrow) IGraphicsWin(plugin, static_cast<HINSTANCE>(plug::LibraryModule()));
}

}  // namespace graphics
