// The LV2 UI's exported entry: lv2ui_descriptor, the one UI of the bundle.
// Needs ui:parent (an embedded X11 window); ui:touch, ui:resize and the
// options feature (with urid:map, for ui:scaleFactor) are used where offered;
// the idle interface drives it, the options interface takes later options.
#include <cstdint>
#include <cstring>
#include <memory>

#include "plug/ModuleExport.h"
#include "plug/PluginFactory.h"
#include "plug/lv2/IPlugLV2Ui.h"
#include "plug/lv2/Lv2Identity.h"

namespace {

using plug::IPlugLV2Ui;

const void* Feature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i)
    if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  return nullptr;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, plug::lv2::kPluginUri) != 0 || !widget) return nullptr;
  const auto parent = reinterpret_cast<std::uintptr_t>(Feature(features, LV2_UI__parent));
  if (!parent) return nullptr;
  try {
    std::unique_ptr<plug::IPlugBase> product(plug::CreatePlugin());
    if (!product || !product->GetEditor()) return nullptr;
    product->MakeDefaultPresets("Empty", product->NPresets());
    std::unique_ptr<IPlugLV2Ui> ui(
        new IPlugLV2Ui(product.get(), write, controller,
                       static_cast<const LV2UI_Touch*>(Feature(features, LV2_UI__touch)),
                       static_cast<const LV2UI_Resize*>(Feature(features, LV2_UI__resize)),
                       static_cast<const LV2_URID_Map*>(Feature(features, LV2_URID__map))));
    product.release();  // owned by the UI
    // The host's scale before the window opens: the first size told is the
    // scaled one. Options not ours are no reason to fail.
    ui->SetOptions(static_cast<const LV2_Options_Option*>(Feature(features, LV2_OPTIONS__options)));
    const unsigned long window = ui->Open(parent);
    if (!window) return nullptr;
    *widget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(window));
    return ui.release();
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) { delete static_cast<IPlugLV2Ui*>(handle); }

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  if (handle) static_cast<IPlugLV2Ui*>(handle)->PortEvent(port, size, format, buffer);
}

int Idle(LV2UI_Handle handle) {
  if (!handle) return 1;
  try {
    static_cast<IPlugLV2Ui*>(handle)->Idle();
  } catch (...) {
  }
  return 0;
}

const LV2UI_Idle_Interface kIdle = {Idle};

// Nothing to report: the host knows the options it gave.
uint32_t GetOptions(LV2_Handle, LV2_Options_Option*) { return LV2_OPTIONS_ERR_BAD_KEY; }

uint32_t SetOptions(LV2_Handle handle, const LV2_Options_Option* options) {
  if (!handle) return LV2_OPTIONS_ERR_UNKNOWN;
  try {
    return static_cast<IPlugLV2Ui*>(handle)->SetOptions(options);
  } catch (...) {
    return LV2_OPTIONS_ERR_UNKNOWN;
  }
}

const LV2_Options_Interface kOptions = {GetOptions, SetOptions};

const void* ExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  if (uri && std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &kOptions;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {plug::lv2::kUiUri, Instantiate, Cleanup, PortEvent,
                                      ExtensionData};

}  // namespace

extern "C" QUILLET_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
