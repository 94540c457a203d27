#pragma once
// The editor's images as every binary carries them: eight images, each in
// three sets rendered by the artwork generator (tools/artwork) at 100, 150 and
// 200 %, as PNG resources (Quillet.rc in the Windows builds, the tables of
// EmbedImages.cmake natively).
//
// RESOURCE IDENTIFIERS. id = scale in percent + image index:
//
//   image      index   100 %   150 %   200 %   logical size (frames)
//   back         0      100     150     200    984 x 432
//   knob         1      101     151     201     64 x 64   (65)
//   switch       2      102     152     202     64 x 64   (2: off, on)
//   handle       3      103     153     203     42 x 35
//   learn        4      104     154     204     68 x 25   (2: off, on)
//   unlearn      5      105     155     205     68 x 25   (2: off, on)
//   led          6      106     156     206     12 x 12   (2: off, on)
//   triangle     7      107     157     207     26 x 22
//
// The files are resources/img/<name>.png at 100 % and
// resources/img/<percent>/<name>.png at the other scales.
//
// DEVICE SIZES. At a scale an image is its logical size times the scale in
// device pixels; a frame whose scaled height is not whole (the handle's 35 and
// the pills' 25 at 150 %) is rounded up, and the frames of a strip are stacked
// at that pitch: the learn strip at 150 % is 102 x 76, two frames of 38 rows.

namespace resources {

enum class EditorImage { kBack, kKnob, kSwitch, kHandle, kLearn, kUnlearn, kLed, kTriangle };
constexpr int kEditorImageCount = 8;

constexpr int kEditorScalesPercent[] = {100, 150, 200};

struct EditorImageShape {
  const char* name;                // file name without ".png"
  int width, frameHeight, frames;  // logical pixels
};
constexpr EditorImageShape kEditorImageShapes[kEditorImageCount] = {
    {"back", 984, 432, 1}, {"knob", 64, 64, 65},   {"switch", 64, 64, 2}, {"handle", 42, 35, 1},
    {"learn", 68, 25, 2},  {"unlearn", 68, 25, 2}, {"led", 12, 12, 2},    {"triangle", 26, 22, 1},
};

constexpr int EditorImageResourceId(EditorImage image, int scalePercent) {
  return scalePercent + int(image);
}

// Device pixels covering a logical length at a scale: rounded up.
constexpr int EditorImageDevicePixels(int logical, int scalePercent) {
  return (logical * scalePercent + 99) / 100;
}

}  // namespace resources
