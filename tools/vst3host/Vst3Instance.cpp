#include "tools/vst3host/Vst3Instance.h"

#include <cstring>

namespace vst3host {

using namespace vst3;

Vst3Instance::Vst3Instance(std::string hostName) : app_(std::move(hostName)) {}

void* Vst3Instance::query(const Uid& iid) {
  if (!component_) return nullptr;
  char bytes[16];
  UidToBytes(iid, bytes);
  void* obj = nullptr;
  if (component_->queryInterface(bytes, &obj) != kResultOk) return nullptr;
  return obj;
}

bool Vst3Instance::open(Vst3Module& module, std::string* errorText) {
  return open(module.factory(), errorText);
}

bool Vst3Instance::open(IPluginFactory* factory, std::string* errorText) {
  close();
  PClassInfo info{};
  char iid[16];
  UidToBytes(iid::kComponent, iid);
  void* obj = nullptr;
  if (factory && factory->getClassInfo(0, &info) == kResultOk &&
      factory->createInstance(info.cid, iid, &obj) == kResultOk)
    component_ = static_cast<IComponent*>(obj);
  if (!component_) {
    if (errorText) *errorText = "createInstance failed";
    return false;
  }
  if (component_->initialize(&app_) != kResultOk) {
    if (errorText) *errorText = "initialize failed";
    component_->release();
    component_ = nullptr;
    return false;
  }
  initialized_ = true;
  processor_ = static_cast<IAudioProcessor*>(query(iid::kAudioProcessor));
  controller_ = static_cast<IEditController*>(query(iid::kEditController));
  if (!processor_ || !controller_) {
    if (errorText) *errorText = "no processor or controller";
    close();
    return false;
  }
  controller_->setComponentHandler(&handler_);
  // As hosts do after creating: the component's state to the controller.
  MemoryStream stream;
  component_->getState(&stream);
  stream.rewind();
  controller_->setComponentState(&stream);
  return true;
}

void Vst3Instance::close() {
  stop();
  if (controller_) {
    controller_->setComponentHandler(nullptr);
    controller_->release();
  }
  controller_ = nullptr;
  if (processor_) processor_->release();
  processor_ = nullptr;
  if (component_) {
    if (initialized_) component_->terminate();
    component_->release();
  }
  component_ = nullptr;
  initialized_ = false;
}

bool Vst3Instance::start(double rateHz, int maxBlock, bool doubles, int32 mode) {
  if (!processor_) return false;
  doubles_ = doubles;
  mode_ = mode;
  SpeakerArrangement in = kStereo, out = kStereo;
  processor_->setBusArrangements(&in, 1, &out, 1);
  component_->activateBus(kAudio, kInput, 0, 1);
  component_->activateBus(kAudio, kOutput, 0, 1);
  component_->activateBus(kEvent, kInput, 0, 1);
  ProcessSetup setup{mode, doubles ? kSample64 : kSample32, maxBlock, rateHz};
  if (processor_->setupProcessing(&setup) != kResultOk) return false;
  if (component_->setActive(1) != kResultOk) return false;
  active_ = true;
  processor_->setProcessing(1);
  context_ = ProcessContext{};
  context_.sampleRate = rateHz;
  return true;
}

void Vst3Instance::stop() {
  if (!active_) return;
  processor_->setProcessing(0);
  component_->setActive(0);
  active_ = false;
}

tresult Vst3Instance::run(ProcessData& data) {
  data.processMode = mode_;
  data.inputParameterChanges = &inChanges_;
  data.outputParameterChanges = &outChanges_;
  data.inputEvents = &events_;
  data.outputEvents = nullptr;
  data.processContext = useContext_ ? &context_ : nullptr;
  outChanges_.clear();
  const tresult result = processor_->process(&data);
  inChanges_.clear();
  events_.clear();
  return result;
}

tresult Vst3Instance::processDouble(double** inputs, double** outputs, int frames) {
  AudioBusBuffers in{}, out{};
  in.numChannels = out.numChannels = 2;
  in.channelBuffers64 = inputs;
  out.channelBuffers64 = outputs;
  ProcessData data{};
  data.symbolicSampleSize = kSample64;
  data.numSamples = frames;
  data.numInputs = inputs ? 1 : 0;
  data.numOutputs = outputs ? 1 : 0;
  data.inputs = inputs ? &in : nullptr;
  data.outputs = outputs ? &out : nullptr;
  return run(data);
}

tresult Vst3Instance::processFloat(float** inputs, float** outputs, int frames) {
  AudioBusBuffers in{}, out{};
  in.numChannels = out.numChannels = 2;
  in.channelBuffers32 = inputs;
  out.channelBuffers32 = outputs;
  ProcessData data{};
  data.symbolicSampleSize = kSample32;
  data.numSamples = frames;
  data.numInputs = inputs ? 1 : 0;
  data.numOutputs = outputs ? 1 : 0;
  data.inputs = inputs ? &in : nullptr;
  data.outputs = outputs ? &out : nullptr;
  return run(data);
}

std::vector<std::uint8_t> Vst3Instance::componentState() {
  MemoryStream stream;
  if (!component_ || component_->getState(&stream) != kResultOk) return {};
  return stream.bytes();
}

tresult Vst3Instance::setComponentState(const std::vector<std::uint8_t>& bytes, int piece) {
  MemoryStream stream(bytes, piece);
  const tresult result = component_->setState(&stream);
  if (result == kResultOk) {
    stream.rewind();
    controller_->setComponentState(&stream);
  }
  return result;
}

long Vst3Instance::paramId(const std::string& title) {
  const int32 count = controller_->getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo info{};
    if (controller_->getParameterInfo(i, &info) == kResultOk && toUtf8(info.title) == title)
      return static_cast<long>(info.id);
  }
  return -1;
}

std::string Vst3Instance::paramText(ParamID id, double normalized) {
  String128 text = {};
  if (controller_->getParamStringByValue(id, normalized, text) != kResultOk) return "";
  return toUtf8(text);
}

}  // namespace vst3host
