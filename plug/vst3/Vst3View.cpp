#include "plug/vst3/Vst3View.h"

#include <cstring>

#include "plug/vst3/Vst3Plugin.h"

namespace plug {

using namespace vst3;

Vst3View* Vst3View::Create(Vst3Plugin* owner) {
  if (!owner->Plugin()->GetEditor()) return nullptr;
  auto* view = new Vst3View(owner);
  view->pump_ = Vst3EditorPump::Create(owner);
  owner->SetView(view);
  return view;
}

Vst3View::Vst3View(Vst3Plugin* owner) : owner_(owner) {
  owner_->addRef();
  Size();
}

Vst3View::~Vst3View() {
  DetachFromPlugin();
  if (frame_) frame_->release();
}

void Vst3View::CloseWindow() {
  if (!open_) return;
  if (pump_) pump_->Stop();
  owner_->Plugin()->HostCloseEditor();
  open_ = false;
}

void Vst3View::DetachFromPlugin() {
  if (!owner_) return;
  ScopedThreadRole role(ThreadRole::kMain);
  CloseWindow();
  delete pump_;
  pump_ = nullptr;
  Vst3Plugin* owner = owner_;
  owner_ = nullptr;
  owner->SetView(nullptr);
  owner->release();
}

bool Vst3View::RequestSize(int width, int height) {
  if (!frame_ || width <= 0 || height <= 0) return false;
  ViewRect rect{0, 0, width, height};
  return frame_->resizeView(this, &rect) == kResultTrue;
}

ViewRect Vst3View::Size() {
  IPlugEditor* editor = owner_ ? owner_->Plugin()->GetEditor() : nullptr;
  if (editor) {
    width_ = editor->Width();
    height_ = editor->Height();
  }
  return ViewRect{0, 0, width_, height_};
}

tresult VST3_CALL Vst3View::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (UidEquals(iid, iid::kFUnknown) || UidEquals(iid, iid::kPlugView)) {
    *obj = static_cast<IPlugView*>(this);
    addRef();
    return kResultOk;
  }
  if (UidEquals(iid, iid::kPlugViewContentScaleSupport)) {
    *obj = static_cast<IPlugViewContentScaleSupport*>(this);
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 VST3_CALL Vst3View::addRef() { return ++refs_; }

uint32 VST3_CALL Vst3View::release() {
  const uint32 left = --refs_;
  if (left == 0) delete this;
  return left;
}

tresult VST3_CALL Vst3View::isPlatformTypeSupported(FIDString type) {
  return type && std::strcmp(type, PlatformType()) == 0 ? kResultTrue : kResultFalse;
}

tresult VST3_CALL Vst3View::attached(void* parent, FIDString type) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!owner_ || !parent || isPlatformTypeSupported(type) != kResultTrue) return kInvalidArgument;
  if (open_) return kResultFalse;
  try {
    if (!owner_->Plugin()->HostOpenEditor(parent)) return kResultFalse;
    open_ = true;
    if (pump_) pump_->Start(frame_);
  } catch (...) {
    return kInternalError;
  }
  return kResultOk;
}

tresult VST3_CALL Vst3View::removed() {
  ScopedThreadRole role(ThreadRole::kMain);
  if (!open_) return kResultFalse;
  try {
    CloseWindow();
  } catch (...) {
    return kInternalError;
  }
  return kResultOk;
}

tresult VST3_CALL Vst3View::onWheel(float) { return kResultFalse; }
tresult VST3_CALL Vst3View::onKeyDown(char16, int16, int16) { return kResultFalse; }
tresult VST3_CALL Vst3View::onKeyUp(char16, int16, int16) { return kResultFalse; }

tresult VST3_CALL Vst3View::getSize(ViewRect* size) {
  if (!size) return kInvalidArgument;
  *size = Size();
  return kResultOk;
}

// The host's frame sizes the view after resizeView (or on its own); the
// editor keeps its own size, which checkSizeConstraint gave the host.
tresult VST3_CALL Vst3View::onSize(ViewRect* newSize) {
  return newSize ? kResultOk : kInvalidArgument;
}

tresult VST3_CALL Vst3View::onFocus(TBool) { return kResultOk; }

tresult VST3_CALL Vst3View::setFrame(IPlugFrame* frame) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (frame) frame->addRef();
  if (frame_) frame_->release();
  frame_ = frame;
  // Hosts may give the frame after attaching: the pump starts then.
  if (open_ && pump_ && frame_) pump_->Start(frame_);
  return kResultOk;
}

tresult VST3_CALL Vst3View::canResize() { return kResultFalse; }

tresult VST3_CALL Vst3View::checkSizeConstraint(ViewRect* rect) {
  if (!rect) return kInvalidArgument;
  const ViewRect size = Size();
  rect->right = rect->left + size.right;
  rect->bottom = rect->top + size.bottom;
  return kResultTrue;
}

// With the window open the editor asks for its new size through
// IPlugFrame::resizeView from inside this call (a refusal keeps the old
// size); without one, the next getSize answers the scaled size.
tresult VST3_CALL Vst3View::setContentScaleFactor(float factor) {
  if (!owner_) return kResultFalse;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    return owner_->Plugin()->HostSetEditorScale(factor) ? kResultTrue : kResultFalse;
  } catch (...) {
    return kInternalError;
  }
}

}  // namespace plug
