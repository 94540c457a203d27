// The editor's images as the shipped Linux shared object carries them: every
// committed PNG file of every scale, byte for byte, inside the binary, and
// decoding from there to the size resources/EditorImages.h gives. Native
// builds only (the DLLs' resources: ShippedResourcesTest). Which identifier
// each embedded table entry gets is checked by the drawing layer's tests,
// which link the same tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_PngLoader.h"
#include "resources/EditorImages.h"

namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(ShippedEmbeddedImages, EveryImageOfEveryScaleIsInTheBinaryAndDecodes) {
  using namespace resources;
  const std::vector<unsigned char> binary = ReadFile(QUILLET_PLUGIN_PATH);
  ASSERT_GT(binary.size(), 0u) << QUILLET_PLUGIN_PATH;
  for (int percent : kEditorScalesPercent) {
    const std::string dir =
        std::string(QUILLET_IMAGE_DIR) + (percent == 100 ? "" : "/" + std::to_string(percent));
    for (const EditorImageShape& shape : kEditorImageShapes) {
      const std::string path = dir + "/" + shape.name + ".png";
      const std::vector<unsigned char> file = ReadFile(path);
      ASSERT_GT(file.size(), 8u) << path;
      const auto found = std::search(binary.begin(), binary.end(), file.begin(), file.end());
      ASSERT_NE(found, binary.end()) << path << " is not in the binary";
      std::unique_ptr<LICE_MemBitmap> image(LICE_LoadPNGFromMemory(&*found, file.size()));
      ASSERT_TRUE(image) << path;
      EXPECT_EQ(image->Width(), EditorImageDevicePixels(shape.width, percent)) << path;
      EXPECT_EQ(image->Height(), shape.frames * EditorImageDevicePixels(shape.frameHeight, percent))
          << path;
    }
  }
}
