// The LV2 side of the renderer: a RenderPlugin over our lilv host
// (tools/lv2host), which loads the bundle quillet.lv2/ as hosts do.
//
//   RenderPlugin        LV2
//   open                instantiate with the URID map and block lengths
//   parameters          the control ports (plain values); a normalised value
//                       maps linearly onto the port's range, texts are numbers
//                       or scale-point labels
//   programs            the bundle's presets, applied as hosts apply them
//   getState, setState  the state interface's chunk (bank only)
//   prepare             activate; double precision through the plug-in's
//                       double run (Lv2Identity.h), which only our hosts use
//   setTransport        a time:Position at the first frame of the next run
//   sendMidi            MIDI events of the next run's atom input
//   process...          run / the double run
//   finish              deactivate
#pragma once

#include <string>

#include "tools/lv2host/Lv2Host.h"
#include "tools/render/RenderPlugin.h"

namespace render {

class Lv2RenderPlugin : public RenderPlugin {
 public:
  bool load(const std::string& bundlePath, std::string* errorText);
  lv2host::Lv2Host& host() { return host_; }

  // The time:Position of a block's transport.
  static lv2host::Position position(const BlockTransport& transport);

  int inputCount() override { return host_.audioInputs(); }
  int outputCount() override { return host_.audioOutputs(); }
  PluginIdentity identity() override;
  void open(double rateHz, int blockFrames) override;
  int parameterCount() override { return static_cast<int>(host_.controls().size()); }
  std::string parameterName(int index) override;
  std::string parameterDisplay(int index) override;
  std::string parameterLabel(int index) override;
  double parameterNormalised(int index) override;
  bool isStepped(int index) override;
  std::string formatNormalised(int index, double normalised) override;
  bool setParameterText(int index, const std::string& text) override;
  void setParameter(int index, double normalised) override;
  int programCount() override { return static_cast<int>(presets_.size()); }
  std::string programName(int index) override;
  int currentProgram() override { return current_; }
  std::string currentProgramName() override { return programName(current_); }
  void selectProgram(int index) override;
  void renameCurrentProgram(const std::string&) override {}
  bool getState(StateKind kind, std::vector<std::uint8_t>* data) override;
  bool setState(StateKind kind, const std::vector<std::uint8_t>& data) override;
  bool prepare(double rateHz, int blockFrames, bool singlePrecision,
               const BlockTransport& start) override;
  void setTransport(const BlockTransport& transport) override;
  void sendMidi(const std::vector<BlockMidiEvent>& events) override;
  void processDouble(double** inputs, double** outputs, int frames) override;
  void processFloat(float** inputs, float** outputs, int frames) override;
  void finish() override;

 private:
  std::string textOf(int index, float value);
  float plainOf(int index, double normalised);

  lv2host::Lv2Host host_;
  std::vector<lv2host::PresetInfo> presets_;  // in program order
  int current_ = 0;
  int blockFrames_ = 512;
};

}  // namespace render
