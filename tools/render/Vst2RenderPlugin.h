// The VST 2 side of the renderer: a RenderPlugin over the test host's
// PluginHost (tools/vsthost), which loads the binary as a host does.
//
//   RenderPlugin        VST 2
//   open                effOpen, effSetSampleRate, effSetBlockSize
//   parameterDisplay    effGetParamDisplay (and effGetParamName, ...Label)
//   isStepped           effVendorSpecific "is stepped"
//   formatNormalised    effVendorSpecific "display text of a value"
//   setParameterText    effString2Parameter
//   setParameter        setParameter
//   programs            effGetProgramNameIndexed, effSetProgram, effSetProgramName
//   getState, setState  effGetChunk, effSetChunk (index 0 a bank)
//   prepare             process level offline, rate, block size, stereo
//                       arrangements, effSetProcessPrecision, the first
//                       frame's time info, effMainsChanged(1), effStartProcess
//   setTransport        the time info answered to audioMasterGetTime
//   sendMidi            effProcessEvents
//   processDouble/Float processDoubleReplacing / processReplacing
//   finish              effStopProcess, effMainsChanged(0)
#pragma once

#include <string>

#include "tools/render/RenderPlugin.h"
#include "tools/vsthost/PluginHost.h"

namespace render {

class Vst2RenderPlugin : public RenderPlugin {
 public:
  // The host's callback answers with productString as its name.
  explicit Vst2RenderPlugin(const std::string& productString = "quillet-render");
  ~Vst2RenderPlugin() override;

  // Loads the binary and makes an instance; false with a reason.
  bool load(const std::string& path, std::string* errorText);
  vsthost::PluginHost& host() { return plugin_; }

  // The time information of a block's transport.
  static vst::VstTimeInfo timeInfo(const BlockTransport& transport);

  int inputCount() override;
  int outputCount() override;
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
  vsthost::PluginHost plugin_;
};

}  // namespace render
