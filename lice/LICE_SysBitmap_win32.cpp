#include <windows.h>

#include "lice/LICE_SysBitmap.h"

LICE_SysBitmap::LICE_SysBitmap(int widthPx, int heightPx) {
  dc_ = CreateCompatibleDC(nullptr);
  if (widthPx > 0 && heightPx > 0) ResizeTo(widthPx, heightPx);
}

LICE_SysBitmap::~LICE_SysBitmap() {
  ReleasePixels();
  if (dc_) DeleteDC(static_cast<HDC>(dc_));
}

void LICE_SysBitmap::ReleasePixels() {
  if (section_) {
    // The section must leave the device context before it can be deleted.
    SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(replacedObject_));
    DeleteObject(static_cast<HGDIOBJ>(section_));
  }
  section_ = nullptr;
  replacedObject_ = nullptr;
  bits_ = nullptr;
}

bool LICE_SysBitmap::AllocatePixels() {
  if (!dc_) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = allocWidthPx_;
  info.bmiHeader.biHeight = -allocHeightPx_;  // negative: rows run top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section =
      CreateDIBSection(static_cast<HDC>(dc_), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return false;
  }
  section_ = section;
  replacedObject_ = SelectObject(static_cast<HDC>(dc_), section);
  bits_ = static_cast<LICE_pixel*>(bits);
  return true;
}
