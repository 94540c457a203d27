#include "tools/render/Vst2RenderPlugin.h"

namespace render {

namespace {

constexpr int kChannels = 2;
// effSetProcessPrecision values.
constexpr vst::intptr kProcessPrecision32 = 0;
constexpr vst::intptr kProcessPrecision64 = 1;

vsthost::ChunkKind chunkKind(StateKind kind) {
  return kind == StateKind::kBank ? vsthost::ChunkKind::kBank : vsthost::ChunkKind::kProgram;
}

vsthost::ScriptedHost* makeHost(const std::string& productString) {
  auto* host = new vsthost::ScriptedHost();
  host->setProductString(productString);
  return host;
}

}  // namespace

Vst2RenderPlugin::Vst2RenderPlugin(const std::string& productString)
    : plugin_(makeHost(productString)) {}

Vst2RenderPlugin::~Vst2RenderPlugin() = default;

bool Vst2RenderPlugin::load(const std::string& path, std::string* errorText) {
  return plugin_.load(path, errorText) == vsthost::LoadStatus::kLoaded;
}

vst::VstTimeInfo Vst2RenderPlugin::timeInfo(const BlockTransport& transport) {
  vst::VstTimeInfo info{};
  info.samplePos = static_cast<double>(transport.positionFrames);
  info.sampleRate = transport.rateHz;
  info.tempo = transport.tempoBpm;
  info.ppqPos = transport.positionBeats;
  info.barStartPos = transport.barStartBeats;
  info.timeSigNumerator = transport.beatsPerBar;
  info.timeSigDenominator = transport.beatUnit;
  info.flags =
      vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid | vst::kVstTimeSigValid;
  if (transport.playing) info.flags |= vst::kVstTransportPlaying;
  if (transport.changed) info.flags |= vst::kVstTransportChanged;
  return info;
}

int Vst2RenderPlugin::inputCount() { return plugin_.effect() ? plugin_.effect()->numInputs : 0; }

int Vst2RenderPlugin::outputCount() { return plugin_.effect() ? plugin_.effect()->numOutputs : 0; }

PluginIdentity Vst2RenderPlugin::identity() {
  PluginIdentity id;
  if (const vst::AEffect* effect = plugin_.effect()) {
    id.uniqueId = effect->uniqueID;
    id.version = effect->version;
    id.keepsChunks = (effect->flags & vst::effFlagsProgramChunks) != 0;
  }
  return id;
}

void Vst2RenderPlugin::open(double rateHz, int blockFrames) {
  plugin_.open();
  plugin_.setSampleRate(static_cast<float>(rateHz));
  plugin_.setBlockSize(blockFrames);
}

int Vst2RenderPlugin::parameterCount() {
  return plugin_.effect() ? plugin_.effect()->numParams : 0;
}

std::string Vst2RenderPlugin::parameterName(int index) { return plugin_.paramName(index); }

std::string Vst2RenderPlugin::parameterDisplay(int index) { return plugin_.paramDisplay(index); }

std::string Vst2RenderPlugin::parameterLabel(int index) { return plugin_.paramLabel(index); }

double Vst2RenderPlugin::parameterNormalised(int index) { return plugin_.getParameter(index); }

bool Vst2RenderPlugin::isStepped(int index) {
  return plugin_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, index) ==
         vst::kVendorSpecificYes;
}

std::string Vst2RenderPlugin::formatNormalised(int index, double normalised) {
  char text[vsthost::PluginHost::kTextBufferBytes] = {};
  plugin_.dispatch(vst::effVendorSpecific, vst::kVendorFormatParamValue, index, text,
                   static_cast<float>(normalised));
  text[sizeof text - 1] = '\0';
  return text;
}

bool Vst2RenderPlugin::setParameterText(int index, const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return plugin_.dispatch(vst::effString2Parameter, index, 0, copy.data()) != 0;
}

void Vst2RenderPlugin::setParameter(int index, double normalised) {
  plugin_.setParameter(index, static_cast<float>(normalised));
}

int Vst2RenderPlugin::programCount() {
  return plugin_.effect() ? plugin_.effect()->numPrograms : 0;
}

std::string Vst2RenderPlugin::programName(int index) {
  return plugin_.queryText(vst::effGetProgramNameIndexed, index, -1).text;
}

int Vst2RenderPlugin::currentProgram() {
  return static_cast<int>(plugin_.dispatch(vst::effGetProgram));
}

std::string Vst2RenderPlugin::currentProgramName() { return plugin_.programName(); }

void Vst2RenderPlugin::selectProgram(int index) { plugin_.dispatch(vst::effSetProgram, 0, index); }

void Vst2RenderPlugin::renameCurrentProgram(const std::string& name) {
  std::vector<char> copy(name.begin(), name.end());
  copy.push_back('\0');
  plugin_.dispatch(vst::effSetProgramName, 0, 0, copy.data());
}

bool Vst2RenderPlugin::getState(StateKind kind, std::vector<std::uint8_t>* data) {
  return plugin_.getChunk(chunkKind(kind), data) > 0 && !data->empty();
}

bool Vst2RenderPlugin::setState(StateKind kind, const std::vector<std::uint8_t>& data) {
  return plugin_.setChunk(chunkKind(kind), data) != 0;
}

bool Vst2RenderPlugin::prepare(double rateHz, int blockFrames, bool singlePrecision,
                               const BlockTransport& start) {
  plugin_.host().setProcessLevel(vst::kProcessLevelOffline);
  plugin_.setSampleRate(static_cast<float>(rateHz));
  plugin_.setBlockSize(blockFrames);
  plugin_.setSpeakerArrangement(kChannels, kChannels);
  const vst::AEffect* effect = plugin_.effect();
  const bool useDouble = !singlePrecision && effect &&
                         (effect->flags & vst::effFlagsCanDoubleReplacing) != 0 &&
                         effect->processDoubleReplacing != nullptr;
  plugin_.dispatch(vst::effSetProcessPrecision, 0,
                   useDouble ? kProcessPrecision64 : kProcessPrecision32);
  plugin_.host().setTimeInfo(timeInfo(start));
  plugin_.resume();
  plugin_.dispatch(vst::effStartProcess);
  return useDouble;
}

void Vst2RenderPlugin::setTransport(const BlockTransport& transport) {
  plugin_.host().setTimeInfo(timeInfo(transport));
}

void Vst2RenderPlugin::sendMidi(const std::vector<BlockMidiEvent>& events) {
  std::vector<vsthost::HostEvent> list;
  list.reserve(events.size());
  for (const BlockMidiEvent& e : events)
    list.push_back(vsthost::HostEvent::midi(e.offset, e.status, e.data1, e.data2));
  plugin_.sendEvents(list);
}

void Vst2RenderPlugin::processDouble(double** inputs, double** outputs, int frames) {
  plugin_.processDoubleReplacing(inputs, outputs, frames);
}

void Vst2RenderPlugin::processFloat(float** inputs, float** outputs, int frames) {
  plugin_.processReplacing(inputs, outputs, frames);
}

void Vst2RenderPlugin::finish() {
  plugin_.dispatch(vst::effStopProcess);
  plugin_.suspend();
}

}  // namespace render
