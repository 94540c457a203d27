// Linked into every test program that draws with the editor: as the library's
// unload does, the process-wide bitmap and font caches go when the tests end,
// so a leak checker finds nothing of them.
#include <gtest/gtest.h>

#include "graphics/IGraphics.h"

namespace {

class ReleaseCachesAtExit : public ::testing::Environment {
 public:
  void TearDown() override { graphics::IGraphics::ReleaseProcessCaches(); }
};

const ::testing::Environment* const gReleaseCaches =
    ::testing::AddGlobalTestEnvironment(new ReleaseCachesAtExit);

}  // namespace
