// The editor's images as the shipped DLL carries them: PNG resources 100 to
// 107, and the 150 % and 200 % sets numbered and sized as
// resources/EditorImages.h says, all decoding to their sizes. Windows builds
// only: the Linux build embeds the images instead (ShippedEmbeddedImagesTest).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lice/LICE_PngLoader.h"
#include "resources/EditorImages.h"

#include <windows.h>

namespace {

// As data: the resources without running the library's start-up code.
HMODULE LoadAsData() {
  std::string path = QUILLET_PLUGIN_PATH;
  for (char& c : path)
    if (c == '/') c = '\\';
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

}  // namespace

TEST(ShippedResources, EveryEditorImageDecodesFromTheBinary) {
  HMODULE module = LoadAsData();
  ASSERT_NE(module, nullptr) << QUILLET_PLUGIN_PATH;
  struct Expected {
    int id, width, height;
  };
  const Expected images[] = {{100, 984, 432}, {101, 64, 4160}, {102, 64, 128}, {103, 42, 35},
                             {104, 68, 50},   {105, 68, 50},   {106, 12, 24},  {107, 26, 22}};
  for (const Expected& e : images) {
    std::unique_ptr<LICE_MemBitmap> image(LICE_LoadPNGFromResource(module, e.id));
    ASSERT_TRUE(image) << "resource " << e.id;
    EXPECT_EQ(image->Width(), e.width) << "resource " << e.id;
    EXPECT_EQ(image->Height(), e.height) << "resource " << e.id;
  }
  std::unique_ptr<LICE_MemBitmap> back(LICE_LoadPNGFromResource(module, 100));
  // The panel is opaque; the knob strip's corners are clear.
  EXPECT_EQ(LICE_GETA(back->Bits()[0]), 255);
  std::unique_ptr<LICE_MemBitmap> knob(LICE_LoadPNGFromResource(module, 101));
  EXPECT_EQ(LICE_GETA(knob->Bits()[0]), 0);
  EXPECT_EQ(LICE_LoadPNGFromResource(module, 108), nullptr);
  FreeLibrary(module);
}

TEST(ShippedResources, EveryScaledEditorImageDecodesFromTheBinary) {
  using namespace resources;
  HMODULE module = LoadAsData();
  ASSERT_NE(module, nullptr) << QUILLET_PLUGIN_PATH;
  for (int percent : {150, 200}) {
    for (int i = 0; i < kEditorImageCount; ++i) {
      const EditorImageShape& shape = kEditorImageShapes[i];
      const int id = EditorImageResourceId(EditorImage(i), percent);
      std::unique_ptr<LICE_MemBitmap> image(LICE_LoadPNGFromResource(module, id));
      ASSERT_TRUE(image) << "resource " << id;
      EXPECT_EQ(image->Width(), EditorImageDevicePixels(shape.width, percent)) << "resource " << id;
      EXPECT_EQ(image->Height(), shape.frames * EditorImageDevicePixels(shape.frameHeight, percent))
          << "resource " << id;
    }
    EXPECT_EQ(LICE_LoadPNGFromResource(module, percent + kEditorImageCount), nullptr);
    std::unique_ptr<LICE_MemBitmap> back(
        LICE_LoadPNGFromResource(module, EditorImageResourceId(EditorImage::kBack, percent)));
    std::unique_ptr<LICE_MemBitmap> knob(
        LICE_LoadPNGFromResource(module, EditorImageResourceId(EditorImage::kKnob, percent)));
    ASSERT_TRUE(back && knob);
    EXPECT_EQ(LICE_GETA(back->Bits()[0]), 255) << percent << " %";
    EXPECT_EQ(LICE_GETA(knob->Bits()[0]), 0) << percent << " %";
  }
  FreeLibrary(module);
}
