#include "graphics/IGraphics.h"

#include <cctype>
#include <cstring>
#include <new>

#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/controls/IBitmapControl.h"
#include "lice/LICE_PngLoader.h"
#include "lice/LICE_SysBitmap.h"
#include "plug/IPlugBase.h"

namespace graphics {

IGraphics::IGraphics(plug::IPlugBase* plugin, int width, int height, int fps)
    : width_(width), height_(height), fps_(fps), plugin_(plugin) {
  drawRect_ = IRect(0, 0, width, height);
  deviceClip_ = drawRect_;
}

IGraphics::~IGraphics() {
  delete keyCatcher_;
  DeleteControls();
  delete drawBitmap_;
}

void IGraphics::ReleaseProcessCaches() {
  // Fonts first: their scratch bitmaps are released with the last font.
  FontCache::ReleaseAll();
  BitmapCache::ReleaseAll();
}

void IGraphics::DeleteControls() {
  for (IControl* control : controls_) delete control;
  controls_.clear();
}

void IGraphics::SetParameterFromPlugin(int paramIndex, double value, bool normalized) {
  if (!normalized) {
    const plug::IParameter* param = plugin_ ? plugin_->GetParam(paramIndex) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  for (IControl* control : controls_) {
    if (control->ParamIdx() == paramIndex) control->SetValueFromPlugin(value);
    for (int i = 0; i < control->NAuxParams(); ++i) {
      if (control->AuxParam(i)->paramIndex == paramIndex) {
        control->SetAuxValueFromPlugin(i, value);
        break;
      }
    }
  }
}

void IGraphics::SetControlsFromPlugin(int paramIndex, double normalized) {
  // At attachment the same routing as a change from the plug-in.
  SetParameterFromPlugin(paramIndex, normalized, true);
}

LICE_IBitmap* IGraphics::NewDrawingBitmap(int w, int h) {
  return new (std::nothrow) LICE_SysBitmap(w, h);
}

void IGraphics::PrepareDrawing() {
  delete drawBitmap_;
  drawBitmap_ = nullptr;
  drawBitmap_ = NewDrawingBitmap(DeviceWidth(), DeviceHeight());
}

bool IGraphics::IsWindowOpen() const { return GetWindow() != nullptr; }

void IGraphics::Resize(int w, int h) {
  if (w == width_ && h == height_) return;
  EndGesture();
  width_ = w;
  height_ = h;
  drawRect_ = IRect(0, 0, w, h);
  deviceClip_ = ToDeviceCover(drawRect_);
  mouseX_ = -1;
  mouseCapture_ = -1;
  mouseOverIndex_ = -1;
  DeleteControls();
  PrepareDrawing();
  if (plugin_) plugin_->ResizeEditor(w, h);
}

void IGraphics::AttachControl(IControl* control) {
  if (!control) return;
  control->SetGUI(this);
  controls_.push_back(control);
}

void IGraphics::AttachBackground(int id, const char* name) {
  IFrameStrip strip = LoadBitmap(id, name);
  IBitmapControl* background = new IBitmapControl(plugin_, 0, 0, -1, strip, IBlendMode::kCopy);
  background->SetGUI(this);
  controls_.insert(controls_.begin(), background);
}

void IGraphics::SetKeyCatcher(IControl* control) {
  if (control == keyCatcher_) return;
  delete keyCatcher_;
  keyCatcher_ = control;
  if (control) control->SetGUI(this);
}

IControl* IGraphics::GetControl(int i) const {
  return i >= 0 && i < NControls() ? controls_[static_cast<size_t>(i)] : nullptr;
}

IFrameStrip IGraphics::LoadBitmap(int id, const char* name, int frames, bool sideBySide) {
  LICE_IBitmap* bitmap = nullptr;
  if (!BitmapCache::Find(id, &bitmap)) {
    // Decoded outside the cache's lock; a concurrent first load by another
    // editor keeps whichever entry came first.
    bitmap = BitmapCache::Insert(id, LoadPlatformBitmap(id, name));
  }
  IFrameStrip strip;
  strip.bitmap = bitmap;
  strip.id = id;
  strip.w = bitmap ? bitmap->Width() : 0;
  strip.h = bitmap ? bitmap->Height() : 0;
  strip.frames = frames > 0 ? frames : 1;
  strip.framesSideBySide = sideBySide;
  return strip;
}

LICE_IBitmap* IGraphics::LoadPngResource(void* module, int id, const char* name) {
  if (!name) return nullptr;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return nullptr;
  const char* ext = dot + 1;
  const char png[] = "png";
  for (int i = 0; i < 4; ++i) {
    const int a = std::tolower(static_cast<unsigned char>(ext[i]));
    if (a != png[i]) return nullptr;
    if (a == 0) break;
  }
  return LICE_LoadPNGFromResource(module, id);
}

void IGraphics::MarkAllDirty() {
  for (IControl* control : controls_) control->MarkDirty(false);
}

void IGraphics::ReleaseMouseState() {
  mouseX_ = -1;
  mouseY_ = -1;
  mouseCapture_ = -1;
}

}  // namespace graphics
