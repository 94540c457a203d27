// quillet-screenshot: writes what the X display shows to a PNG file, for
// scripts that drive a host on a virtual display and leave a picture when
// something goes wrong, or compare a part of the screen before and after.
//
//   quillet-screenshot OUT.png [X Y WIDTH HEIGHT]
//
// With a rectangle only that part (within the screen) is written.
// Exit status: 0 written, 1 bad command line or file, 2 no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "lice/LICE_MemBitmap.h"
#include "tools/render/PngWriter.h"

int main(int argc, char** argv) {
  int part[4] = {0, 0, 0, 0};
  if (argc == 6) {
    for (int i = 0; i < 4; ++i) part[i] = std::atoi(argv[2 + i]);
  }
  if ((argc != 2 && argc != 6) || part[2] < 0 || part[3] < 0) {
    std::fprintf(stderr, "usage: quillet-screenshot OUT.png [X Y WIDTH HEIGHT]\n");
    return 1;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "quillet-screenshot: no X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(d);
  XWindowAttributes attributes;
  XGetWindowAttributes(d, root, &attributes);
  int left = 0, top = 0, width = attributes.width, height = attributes.height;
  if (argc == 6) {
    left = std::max(0, std::min(part[0], attributes.width));
    top = std::max(0, std::min(part[1], attributes.height));
    width = std::min(part[2], attributes.width - left);
    height = std::min(part[3], attributes.height - top);
  }
  XImage* image = width > 0 && height > 0
                      ? XGetImage(d, root, left, top, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap)
                      : nullptr;
  if (!image) {
    XCloseDisplay(d);
    return 2;
  }
  std::unique_ptr<LICE_MemBitmap> picture(new LICE_MemBitmap(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture->Bits()[y * picture->RowSpan() + x] =
          static_cast<LICE_pixel>(XGetPixel(image, x, y) & 0xFFFFFFu) | 0xFF000000u;
  XDestroyImage(image);
  XCloseDisplay(d);
  std::string error;
  if (!render::writePng(argv[1], picture.get(), &error)) {
    std::fprintf(stderr, "quillet-screenshot: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
