// The editor's eight images as the shipped DLL carries them: PNG resources
// 100 to 107 that decode to the editor's sizes. Windows builds only: the
// Linux build embeds the images instead (resources/CMakeLists.txt).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lice/LICE_PngLoader.h"

#include <windows.h>

TEST(ShippedResources, EveryEditorImageDecodesFromTheBinary) {
  std::string path = QUILLET_PLUGIN_PATH;
  for (char& c : path)
    if (c == '/') c = '\\';
  // As data: the resources without running the library's start-up code.
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << path;
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
