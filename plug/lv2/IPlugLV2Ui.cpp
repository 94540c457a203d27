#include "plug/lv2/IPlugLV2Ui.h"

#include <cmath>
#include <cstring>

#include "lv2/atom/atom.h"

#include "plug/lv2/Lv2Identity.h"
#include "plug/lv2/Lv2UiWindow.h"

namespace plug {

IPlugLV2Ui::IPlugLV2Ui(IPlugBase* plugin, LV2UI_Write_Function write, LV2UI_Controller controller,
                       const LV2UI_Touch* touch, const LV2UI_Resize* resize,
                       const LV2_URID_Map* map)
    : plugin_(plugin), write_(write), controller_(controller), touch_(touch), resize_(resize) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (map && map->map) {
    scaleFactorKey_ = map->map(map->handle, LV2_UI__scaleFactor);
    floatType_ = map->map(map->handle, LV2_ATOM__Float);
    eventTransfer_ = map->map(map->handle, LV2_ATOM__eventTransfer);
    learnUrids_.Map(map);
  }
  InstanceLock lock(plugin_->Mutex());
  plugin_->SetHostServices(this);
}

IPlugLV2Ui::~IPlugLV2Ui() {
  ScopedThreadRole role(ThreadRole::kMain);
  plugin_->HostCloseEditor();
  plugin_->Mutex().lock();
  plugin_->Mutex().unlock();
  delete plugin_;
}

unsigned long IPlugLV2Ui::Open(unsigned long parent) {
  ScopedThreadRole role(ThreadRole::kMain);
  IPlugEditor* editor = plugin_->GetEditor();
  if (!editor || !parent) return 0;
  if (!plugin_->HostOpenEditor(reinterpret_cast<void*>(parent))) return 0;
  ResizeEditor(editor->Width(), editor->Height());
  PassMidiLearn(kMidiLearnOff);
  return NewestChildWindow(parent);
}

void IPlugLV2Ui::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  int mode = kMidiLearnOff;
  if (port == lv2::kPortMidiOut && eventTransfer_ && format == eventTransfer_ &&
      lv2::ReadLearnMessage(learnUrids_, static_cast<const LV2_Atom*>(buffer), buffer ? size : 0,
                            &mode)) {
    ScopedThreadRole role(ThreadRole::kMain);
    InstanceLock lock(plugin_->Mutex());
    plugin_->HostSetMidiLearn(mode);
    return;
  }
  // Control ports as floats (format 0); the rest is not ours to show.
  if (format != 0 || size != sizeof(float) || !buffer || port >= lv2::kParamPorts) return;
  const float value = *static_cast<const float*>(buffer);
  if (std::isnan(value)) return;
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(plugin_->Mutex());
  plugin_->HostSetParameterPlain(static_cast<int>(port), value);
}

void IPlugLV2Ui::Idle() {
  ScopedThreadRole role(ThreadRole::kMain);
  plugin_->HostEditorEvents();
  InstanceLock lock(plugin_->Mutex());
  plugin_->HostIdle();
}

uint32_t IPlugLV2Ui::SetOptions(const LV2_Options_Option* options) {
  uint32_t status = LV2_OPTIONS_SUCCESS;
  for (int i = 0; options && (options[i].key != 0 || options[i].value); ++i) {
    const LV2_Options_Option& option = options[i];
    if (!scaleFactorKey_ || option.key != scaleFactorKey_) {
      status |= LV2_OPTIONS_ERR_BAD_KEY;
      continue;
    }
    float scale = 0;
    if (option.type != floatType_ || option.size != sizeof scale || !option.value) {
      status |= LV2_OPTIONS_ERR_BAD_VALUE;
      continue;
    }
    std::memcpy(&scale, option.value, sizeof scale);
    ScopedThreadRole role(ThreadRole::kMain);
    if (!plugin_->HostSetEditorScale(scale)) status |= LV2_OPTIONS_ERR_BAD_VALUE;
  }
  return status;
}

void IPlugLV2Ui::BeginParamGesture(int paramIndex) {
  if (touch_ && touch_->touch && paramIndex >= 0 && paramIndex < lv2::kParamPorts)
    touch_->touch(touch_->handle, static_cast<uint32_t>(paramIndex), true);
}

void IPlugLV2Ui::NotifyHostParamValue(int paramIndex, double) {
  if (!write_ || paramIndex < 0 || paramIndex >= lv2::kParamPorts) return;
  // The port takes the plain value the editor just stored (stepped kinds
  // already rounded), which the plug-in maps back to the same value.
  const IParameter* param = plugin_->GetParam(paramIndex);
  if (!param) return;
  const float value = static_cast<float>(param->Value());
  write_(controller_, static_cast<uint32_t>(paramIndex), sizeof value, 0, &value);
}

void IPlugLV2Ui::EndParamGesture(int paramIndex) {
  if (touch_ && touch_->touch && paramIndex >= 0 && paramIndex < lv2::kParamPorts)
    touch_->touch(touch_->handle, static_cast<uint32_t>(paramIndex), false);
}

void IPlugLV2Ui::PassMidiLearn(int mode) {
  if (!write_ || !eventTransfer_ || !learnUrids_.Known()) return;
  const lv2::LearnMessage message = lv2::MakeLearnMessage(learnUrids_, mode);
  write_(controller_, lv2::kPortEventsIn, message.AtomSize(), eventTransfer_, &message);
}

void IPlugLV2Ui::GetHostProduct(char* product, int capacity, int* version) {
  if (capacity > 0) product[0] = '\0';
  *version = 0;
}

void IPlugLV2Ui::ResizeEditor(int width, int height) { RequestEditorResize(width, height); }

bool IPlugLV2Ui::RequestEditorResize(int width, int height) {
  if (!resize_ || !resize_->ui_resize || width <= 0 || height <= 0) return false;
  return resize_->ui_resize(resize_->handle, width, height) == 0;
}

}  // namespace plug
