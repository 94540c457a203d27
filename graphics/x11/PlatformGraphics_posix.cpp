#include <new>

#include "graphics/x11/IGraphicsX11.h"
#include "graphics/PlatformGraphics.h"

namespace graphics {

// The X11 layer: it connects to the display only when the host opens the
// editor, so a plug-in without a display still loads, plays and keeps its
// state; effEditOpen then answers 0.
IGraphics* MakePlatformGraphics(plug::IPlugBase* plugin) {
  return new (std::nothrow) IGraphicsX11(plugin);
}

}  // namespace graphics
