// The renderer's VST 3 adapter over the test host (tools/vst3host): parameter
// changes between blocks go to the next block's queues at offset 0, MIDI
// notes become note events at their offsets (the plug-in splits its block at
// them), the transport a process context. The state is the component state
// (bank); a VST 3 plug-in has no program chunk.
#pragma once

#include <memory>
#include <string>

#include "tools/render/RenderPlugin.h"
#include "tools/vst3host/Vst3Instance.h"

namespace render {

class Vst3RenderPlugin : public RenderPlugin {
 public:
  Vst3RenderPlugin() = default;
  ~Vst3RenderPlugin() override;

  // Loads the module or bundle and makes the instance.
  bool load(const std::string& path, std::string* errorText);

  int inputCount() override { return 2; }
  int outputCount() override { return 2; }
  PluginIdentity identity() override;
  void open(double rateHz, int blockFrames) override;
  int parameterCount() override;
  std::string parameterName(int index) override;
  std::string parameterDisplay(int index) override;
  std::string parameterLabel(int index) override;
  double parameterNormalised(int index) override;
  bool isStepped(int index) override;
  std::string formatNormalised(int index, double normalised) override;
  bool setParameterText(int index, const std::string& text) override;
  void setParameter(int index, double normalised) override;
  int programCount() override;
  std::string programName(int index) override;
  int currentProgram() override;
  std::string currentProgramName() override;
  void selectProgram(int index) override;
  void renameCurrentProgram(const std::string& name) override;
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
  vst3::ParameterInfo info(int index);
  void applyPending();

  vst3host::Vst3Module module_;
  std::unique_ptr<vst3host::Vst3Instance> instance_;
  bool started_ = false;
  // Index of the program parameter in the list, -1 when none.
  long programParam_ = -1;
};

}  // namespace render
