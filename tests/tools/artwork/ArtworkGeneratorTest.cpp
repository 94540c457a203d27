// The artwork generator against the committed images: it paints all three
// sets pixel for pixel, and the 150 % and 200 % sets have the scaled sizes,
// the same frames and the same picture as the 100 % set, only finer.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "resources/EditorImages.h"

namespace {

using resources::EditorImageDevicePixels;
using resources::EditorImageShape;
using resources::kEditorImageShapes;

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;  // straight alpha, row after row
};

bool Decode(const std::string& path, Image* image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGBA;
  image->width = int(png.width);
  image->height = int(png.height);
  image->rgba.assign(PNG_IMAGE_SIZE(png), 0);
  return png_image_finish_read(&png, nullptr, image->rgba.data(), 0, nullptr) != 0;
}

std::string CommittedSet(int percent) {
  const std::string dir = QUILLET_IMAGE_DIR;
  return percent == 100 ? dir : dir + "/" + std::to_string(percent);
}

// A fresh folder of this build for one render.
std::string Scratch(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(QUILLET_ARTWORK_SCRATCH) / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

// Runs the generator for every image. Light compression: the pixels are what
// the committed files hold, and they are all that is compared.
bool Render(const std::string& out, const char* scale) {
  const std::string command = std::string("'") + QUILLET_ARTWORK_GENERATOR + "' '" + out + "' '" +
                              QUILLET_FONT_DIR + "' --scale " + scale + " --quick > /dev/null";
  return std::system(command.c_str()) == 0;
}

// Empty when equal, else what differs.
std::string Difference(const Image& expected, const Image& actual) {
  if (expected.width != actual.width || expected.height != actual.height)
    return "size " + std::to_string(actual.width) + " x " + std::to_string(actual.height) +
           ", expected " + std::to_string(expected.width) + " x " + std::to_string(expected.height);
  int differing = 0, first = -1;
  for (size_t i = 0; i < expected.rgba.size(); i += 4) {
    if (std::equal(&expected.rgba[i], &expected.rgba[i] + 4, &actual.rgba[i])) continue;
    if (differing++ == 0) first = int(i / 4);
  }
  if (differing == 0) return "";
  return std::to_string(differing) + " pixels differ, the first at (" +
         std::to_string(first % expected.width) + ", " + std::to_string(first / expected.width) +
         ")";
}

void ExpectRenderMatchesCommitted(const std::string& out, int percent, const std::string& name) {
  Image rendered, committed;
  const std::string file = "/" + name + ".png";
  ASSERT_TRUE(Decode(out + file, &rendered)) << out + file;
  ASSERT_TRUE(Decode(CommittedSet(percent) + file, &committed)) << CommittedSet(percent) + file;
  EXPECT_EQ(Difference(committed, rendered), "") << name << " at " << percent << " %";
}

TEST(ArtworkGenerator, PaintsTheCommittedImagesPixelForPixelAtEveryScale) {
  for (const auto& [percent, scale] :
       {std::pair<int, const char*>{100, "1"}, {150, "1.5"}, {200, "2"}}) {
    const std::string out = Scratch(std::to_string(percent));
    ASSERT_TRUE(Render(out, scale)) << scale;
    for (const EditorImageShape& shape : kEditorImageShapes)
      ExpectRenderMatchesCommitted(out, percent, shape.name);
  }
}

TEST(ArtworkGenerator, ScaledSetsAreTheLogicalSizeTimesTheScaleWithTheSameFrames) {
  for (int percent : {150, 200}) {
    for (const EditorImageShape& shape : kEditorImageShapes) {
      Image image;
      const std::string path = CommittedSet(percent) + "/" + shape.name + ".png";
      ASSERT_TRUE(Decode(path, &image)) << path;
      EXPECT_EQ(image.width, EditorImageDevicePixels(shape.width, percent)) << path;
      EXPECT_EQ(image.height, shape.frames * EditorImageDevicePixels(shape.frameHeight, percent))
          << path;
    }
  }
  // Where the scaled size is whole, it is exact: the panel and a knob frame.
  Image back, knob;
  ASSERT_TRUE(Decode(CommittedSet(150) + "/back.png", &back));
  ASSERT_TRUE(Decode(CommittedSet(200) + "/knob.png", &knob));
  EXPECT_EQ(back.width, 1476);
  EXPECT_EQ(back.height, 648);
  EXPECT_EQ(knob.width, 128);
  EXPECT_EQ(knob.height, 65 * 128);
}

// Premultiplied mean of a rectangle, per channel, 0..255.
std::array<double, 4> Mean(const Image& image, int x0, int y0, int w, int h) {
  std::array<double, 4> sum{};
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      const unsigned char* p = &image.rgba[(size_t(y) * image.width + x) * 4];
      for (int c = 0; c < 3; ++c) sum[c] += p[c] * p[3] / 255.0;
      sum[3] += p[3];
    }
  }
  for (double& v : sum) v /= double(w) * h;
  return sum;
}

// The largest difference between the two images' means over blocks of
// blockSize logical pixels, frame by frame.
double LargestBlockDifference(const Image& base, const Image& scaled, const EditorImageShape& shape,
                              int percent, int blockSize) {
  const int pitch = EditorImageDevicePixels(shape.frameHeight, percent);
  const int device = blockSize * percent / 100;
  double largest = 0;
  for (int f = 0; f < shape.frames; ++f) {
    for (int by = 0; by + blockSize <= shape.frameHeight; by += blockSize) {
      for (int bx = 0; bx + blockSize <= shape.width; bx += blockSize) {
        const auto a = Mean(base, bx, f * shape.frameHeight + by, blockSize, blockSize);
        const auto b =
            Mean(scaled, bx * percent / 100, f * pitch + by * percent / 100, device, device);
        for (int c = 0; c < 4; ++c) largest = std::max(largest, std::fabs(a[c] - b[c]));
      }
    }
  }
  return largest;
}

// Block by block, the scaled images average to the 100 % ones. Letters start on
// a whole device pixel at every scale, so they may sit a third of a logical
// pixel apart from the 100 % ones, which moves a block's mean by up to 12 of
// 255; a frame one step out of place, or the learn pill's colour on the
// unlearn pill, moves it by 40 or more.
TEST(ArtworkGenerator, ScaledSetsShowThePictureOfTheHundredPercentSet) {
  constexpr int kBlockSize = 8;  // logical pixels
  constexpr double kLargestDifference = 20;
  for (int percent : {150, 200}) {
    for (const EditorImageShape& shape : kEditorImageShapes) {
      Image base, scaled;
      ASSERT_TRUE(Decode(CommittedSet(100) + "/" + shape.name + ".png", &base));
      ASSERT_TRUE(Decode(CommittedSet(percent) + "/" + shape.name + ".png", &scaled));
      ASSERT_EQ(scaled.height, shape.frames * EditorImageDevicePixels(shape.frameHeight, percent));
      EXPECT_LT(LargestBlockDifference(base, scaled, shape, percent, kBlockSize),
                kLargestDifference)
          << shape.name << " at " << percent << " %";
    }
  }
}

}  // namespace
