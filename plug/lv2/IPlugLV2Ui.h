// The LV2 UI (ui:X11UI, in the plug-in's own binary): the product's editor in
// the host's parent window, working through ports alone. It keeps a product
// instance of its own that the editor shows and edits: an edit goes to the
// host as a port write of the plain value, between touch begin and end where
// the host offers ui:touch; a port event from the host sets the value there,
// which the editor then shows. The host drives events and redraw through the
// idle interface; nothing runs on a thread of ours.
//
// MIDI learn happens in the plug-in, which gets the MIDI: the learn switch's
// mode goes there as a message on the events input, and the plug-in's mode
// comes back on its atom output (Lv2LearnMessage.h), which the switch shows.
// Opening tells the plug-in to stop learning, as the switch starts off.
// Without the host's URID map there is no message, and the switch does
// nothing.
//
// The editor's scale: the host's ui:scaleFactor option, from the options
// feature at instantiate (before the window opens, so the size told through
// ui:resize is already the scaled one) and from the options interface later;
// a later change asks the host with ui:resize, and a refusal keeps the size.
//
// Every entry comes on the host's UI thread.
#pragma once

#include "lv2/options/options.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"
#include "plug/IHostServices.h"
#include "plug/IPlugBase.h"
#include "plug/lv2/Lv2LearnMessage.h"

namespace plug {

class IPlugLV2Ui : public IHostServices {
 public:
  // Binds plugin (owned from here on) to the host's write function and
  // optional touch, resize and URID map features (without the map no option
  // is understood). [main]
  IPlugLV2Ui(IPlugBase* plugin, LV2UI_Write_Function write, LV2UI_Controller controller,
             const LV2UI_Touch* touch, const LV2UI_Resize* resize, const LV2_URID_Map* map);
  ~IPlugLV2Ui() override;  // closes the window, deletes the instance [main]
  IPlugLV2Ui(const IPlugLV2Ui&) = delete;
  IPlugLV2Ui& operator=(const IPlugLV2Ui&) = delete;

  // Opens the editor in parent; the editor's window, or 0. [main]
  unsigned long Open(unsigned long parent);
  // A control port's value, or the plug-in's learn mode from its atom
  // output, from the host. [main]
  void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
  // The host's idle call: the editor's events and redraw, then the product's
  // idle work. [main]
  void Idle();
  // The host's options (a list ended by a zero key and null value; null is
  // an empty list): ui:scaleFactor as an atom:Float goes to the editor. The
  // LV2_Options_Status bits: bad key for options not ours, bad value for a
  // scale that is not a float or not a scale. [main]
  uint32_t SetOptions(const LV2_Options_Option* options);

  int FormatCode() const override { return kFormatLv2; }
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override {}
  bool IsOfflineRender() override { return false; }
  void GetTransportInfo(ITransportInfo*) override {}
  void GetHostProduct(char* product, int capacity, int* version) override;
  // The editor's size, the one place it is told to the host.
  void ResizeEditor(int width, int height) override;
  // ui:resize's ui_resize == 0; false without the feature. [main]
  bool RequestEditorResize(int width, int height) override;
  bool SendMidiToHost(const IMidiMessage*) override { return false; }
  bool SendSysExToHost(const ISysExMessage*) override { return false; }
  void SetLatencySamples(int) override {}
  bool LearnsElsewhere() const override { return true; }
  // The mode as a message to the events input. [main]
  void PassMidiLearn(int mode) override;

 private:
  IPlugBase* plugin_;  // owned
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Touch* touch_;     // may be null
  const LV2UI_Resize* resize_;   // may be null
  LV2_URID scaleFactorKey_ = 0;  // 0 without the host's URID map
  LV2_URID floatType_ = 0;
  LV2_URID eventTransfer_ = 0;
  lv2::LearnUrids learnUrids_;  // unknown without the host's URID map
};

}  // namespace plug
