// The CLAP side of the renderer: a RenderPlugin over our CLAP host
// (tools/claphost), which loads the .clap as a host does.
//
//   RenderPlugin        CLAP
//   parameters          params: values as the plug-in publishes them; a
//                       normalised value n becomes the value a host's
//                       automation sends (n itself on 0..1 ranges, the
//                       nearest step on stepped ones), through the float a
//                       VST 2 host passes, so both builds hear the same
//   setParameter        a PARAM_VALUE event in the next process call, or a
//                       params flush while not processing
//   programs            the preset-discovery factory's presets, loaded with
//                       preset-load; renaming is not part of CLAP
//   getState, setState  state save / load (the bank; CLAP has no program
//                       state of its own)
//   prepare             render mode offline, activate, start processing
//   setTransport        the process call's transport, in CLAP's fixed point
//   sendMidi            MIDI events in the next process call
//   finish              stop processing, deactivate
#pragma once

#include <string>
#include <vector>

#include "tools/claphost/ClapPluginHost.h"
#include "tools/render/RenderPlugin.h"

namespace render {

class ClapRenderPlugin : public RenderPlugin {
 public:
  ClapRenderPlugin();
  ~ClapRenderPlugin() override;

  // Loads the binary and makes an instance; false with a reason.
  bool load(const std::string& path, std::string* errorText);
  claphost::ClapPluginHost& host() { return host_; }

  // The transport record of a block's transport.
  static clap::EventTransport transport(const BlockTransport& transport);
  // The value a host sends for a normalised automation value.
  double clapValue(int index, double normalised) const;

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
  void sendValue(int index, double clapValue);

  claphost::ClapPluginHost host_;
  std::vector<claphost::ClapPluginHost::ParamInfo> params_;
  std::vector<claphost::DiscoveredPreset> presets_;
  int current_ = 0;
};

}  // namespace render
