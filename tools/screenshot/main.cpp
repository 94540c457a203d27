// quillet-screenshot: writes what the X display shows to a PNG file, for
// scripts that drive a host on a virtual display and leave a picture when
// something goes wrong.
//
//   quillet-screenshot OUT.png
//
// Exit status: 0 written, 1 bad command line or file, 2 no display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <memory>
#include <string>

#include "lice/LICE_MemBitmap.h"
#include "tools/render/PngWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillet-screenshot OUT.png\n");
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
  XImage* image = XGetImage(d, root, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) {
    XCloseDisplay(d);
    return 2;
  }
  std::unique_ptr<LICE_MemBitmap> picture(new LICE_MemBitmap(attributes.width, attributes.height));
  for (int y = 0; y < attributes.height; ++y)
    for (int x = 0; x < attributes.width; ++x)
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
