#include "graphics/PlatformGraphics.h"

namespace graphics {

// No window layer here yet: without an editor, hosts show their generic
// controls instead of an empty window.
IGraphics* MakePlatformGraphics(plug::IPlugBase* plugin) { return nullptr; }

}  // namespace graphics
