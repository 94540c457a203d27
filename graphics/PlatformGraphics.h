// The seam between the product and the window layer of the platform it is
// built for: the product asks for "the editor" and never names a window layer.
#pragma once

namespace plug {
class IPlugBase;
}

namespace graphics {

class IGraphics;

// A new editor of this platform for plugin (owned by the caller), or null
// where the platform has no window layer.
IGraphics* MakePlatformGraphics(plug::IPlugBase* plugin);

}  // namespace graphics
