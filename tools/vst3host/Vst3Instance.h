// One plug-in instance driven as a host drives a single-component VST 3
// plug-in: created as a component, initialised with the host application,
// the controller found by querying the component, the handler set, state
// copied to the controller; then set up, activated and processed in blocks
// with parameter changes, note events and a process context of the test's
// choosing. Audio is two channels each way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vst3host/HostObjects.h"
#include "tools/vst3host/Vst3Module.h"

namespace vst3host {

class Vst3Instance {
 public:
  explicit Vst3Instance(std::string hostName = "Quillet VST3 Test Host");
  ~Vst3Instance() { close(); }
  Vst3Instance(const Vst3Instance&) = delete;
  Vst3Instance& operator=(const Vst3Instance&) = delete;

  // Creates and initialises the instance; false when any step fails.
  bool open(Vst3Module& module, std::string* errorText);
  // The same from a factory at hand (a module linked into the program).
  bool open(vst3::IPluginFactory* factory, std::string* errorText);
  // Deactivates, terminates, releases every interface.
  void close();

  vst3::IComponent* component() const { return component_; }
  vst3::IAudioProcessor* processor() const { return processor_; }
  vst3::IEditController* controller() const { return controller_; }
  ComponentHandler& handler() { return handler_; }
  // An optional interface of the instance (addRef'd), or null.
  void* query(const vst3::Uid& iid);

  // setupProcessing, then activation and processing on.
  bool start(double rateHz, int maxBlock, bool doubles, vst3::int32 mode = vst3::kOffline);
  void stop();

  // The next block's inputs; cleared after each process call.
  ParamChanges& changes() { return inChanges_; }
  EventList& events() { return events_; }
  ParamChanges& outputChanges() { return outChanges_; }
  vst3::ProcessContext& context() { return context_; }
  void setContextEnabled(bool enabled) { useContext_ = enabled; }

  // One block of two channels each way (pointer arrays), or a flush with
  // frames 0 and null buffers.
  vst3::tresult processDouble(double** inputs, double** outputs, int frames);
  vst3::tresult processFloat(float** inputs, float** outputs, int frames);

  // State through IComponent / IEditController; empty on failure.
  std::vector<std::uint8_t> componentState();
  vst3::tresult setComponentState(const std::vector<std::uint8_t>& bytes, int piece = 0);

  // A parameter's ID by title (or -1), and its display text of a value.
  long paramId(const std::string& title);
  std::string paramText(vst3::ParamID id, double normalized);

 private:
  vst3::tresult run(vst3::ProcessData& data);

  HostApplication app_;
  ComponentHandler handler_;
  vst3::IComponent* component_ = nullptr;
  vst3::IAudioProcessor* processor_ = nullptr;
  vst3::IEditController* controller_ = nullptr;
  bool initialized_ = false;
  bool active_ = false;
  bool doubles_ = false;
  vst3::int32 mode_ = vst3::kOffline;
  ParamChanges inChanges_;
  ParamChanges outChanges_;
  EventList events_;
  vst3::ProcessContext context_{};
  bool useContext_ = true;
};

}  // namespace vst3host
