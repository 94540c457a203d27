#include "tools/render/ClapRenderPlugin.h"

#include <cmath>
#include <cstdlib>

namespace render {

namespace {

std::int64_t fixedPoint(double value) {
  return static_cast<std::int64_t>(std::llround(value * clap::kBeatTimeFactor));
}

}  // namespace

ClapRenderPlugin::ClapRenderPlugin() : host_("quillet-render") {}

ClapRenderPlugin::~ClapRenderPlugin() = default;

bool ClapRenderPlugin::load(const std::string& path, std::string* errorText) {
  if (!host_.load(path, errorText) || !host_.create(errorText)) return false;
  params_ = host_.paramInfos();
  std::string ignored;
  host_.discoverPresets(&presets_, &ignored);
  return true;
}

clap::EventTransport ClapRenderPlugin::transport(const BlockTransport& t) {
  clap::EventTransport e{};
  e.header.size = sizeof e;
  e.header.type = clap::kEventTransport;
  e.flags = clap::kTransportHasTempo | clap::kTransportHasBeatsTimeline |
            clap::kTransportHasSecondsTimeline | clap::kTransportHasTimeSignature;
  if (t.playing) e.flags |= clap::kTransportIsPlaying;
  e.songPosBeats = fixedPoint(t.positionBeats);
  e.songPosSeconds = fixedPoint(static_cast<double>(t.positionFrames) / t.rateHz);
  e.tempo = t.tempoBpm;
  e.barStart = fixedPoint(t.barStartBeats);
  e.tsigNum = static_cast<std::uint16_t>(t.beatsPerBar);
  e.tsigDenom = static_cast<std::uint16_t>(t.beatUnit);
  return e;
}

double ClapRenderPlugin::clapValue(int index, double normalised) const {
  // A VST 2 host passes a float.
  const double n = static_cast<float>(normalised);
  const auto& info = params_[static_cast<std::size_t>(index)];
  if (!(info.flags & clap::kParamIsStepped)) return n;
  double v = std::floor(info.min + (info.max - info.min) * n + 0.5);
  return v > info.max ? info.max : (v < info.min ? info.min : v);
}

PluginIdentity ClapRenderPlugin::identity() {
  PluginIdentity id;
  id.keepsChunks = true;
  return id;
}

void ClapRenderPlugin::open(double, int) {}

int ClapRenderPlugin::parameterCount() { return static_cast<int>(params_.size()); }

std::string ClapRenderPlugin::parameterName(int index) {
  return index >= 0 && index < parameterCount() ? params_[static_cast<std::size_t>(index)].name
                                                : "";
}

std::string ClapRenderPlugin::parameterDisplay(int index) {
  if (index < 0 || index >= parameterCount()) return "";
  const clap::Id id = params_[static_cast<std::size_t>(index)].id;
  return host_.paramText(id, host_.paramValue(id));
}

std::string ClapRenderPlugin::parameterLabel(int) { return ""; }

double ClapRenderPlugin::parameterNormalised(int index) {
  if (index < 0 || index >= parameterCount()) return 0.0;
  const auto& info = params_[static_cast<std::size_t>(index)];
  const double v = host_.paramValue(info.id);
  return info.max > info.min ? (v - info.min) / (info.max - info.min) : 0.0;
}

bool ClapRenderPlugin::isStepped(int index) {
  return index >= 0 && index < parameterCount() &&
         (params_[static_cast<std::size_t>(index)].flags & clap::kParamIsStepped) != 0;
}

std::string ClapRenderPlugin::formatNormalised(int index, double normalised) {
  if (index < 0 || index >= parameterCount()) return "";
  const auto& info = params_[static_cast<std::size_t>(index)];
  double v = info.min + (info.max - info.min) * normalised;
  if (info.flags & clap::kParamIsStepped) v = std::floor(v + 0.5);
  return host_.paramText(info.id, v);
}

bool ClapRenderPlugin::setParameterText(int index, const std::string& text) {
  double value = 0.0;
  if (index < 0 || index >= parameterCount() ||
      !host_.paramFromText(params_[static_cast<std::size_t>(index)].id, text, &value))
    return false;
  sendValue(index, value);
  return true;
}

void ClapRenderPlugin::setParameter(int index, double normalised) {
  if (index < 0 || index >= parameterCount()) return;
  sendValue(index, clapValue(index, normalised));
}

void ClapRenderPlugin::sendValue(int index, double value) {
  const clap::EventParamValue event =
      claphost::paramValueEvent(0, params_[static_cast<std::size_t>(index)].id, value);
  host_.input().events().add(&event.header);
  // Outside processing the host flushes at once.
  if (!host_.isProcessing()) host_.flush();
}

int ClapRenderPlugin::programCount() { return static_cast<int>(presets_.size()); }

std::string ClapRenderPlugin::programName(int index) {
  return index >= 0 && index < programCount() ? presets_[static_cast<std::size_t>(index)].name : "";
}

int ClapRenderPlugin::currentProgram() { return current_; }

std::string ClapRenderPlugin::currentProgramName() { return programName(current_); }

void ClapRenderPlugin::selectProgram(int index) {
  if (index < 0 || index >= programCount()) return;
  const auto& preset = presets_[static_cast<std::size_t>(index)];
  if (host_.loadPreset(preset.locationKind, nullptr, preset.loadKey.c_str())) current_ = index;
}

void ClapRenderPlugin::renameCurrentProgram(const std::string&) {}

bool ClapRenderPlugin::getState(StateKind kind, std::vector<std::uint8_t>* data) {
  data->clear();
  return kind == StateKind::kBank && host_.saveState(data) && !data->empty();
}

bool ClapRenderPlugin::setState(StateKind kind, const std::vector<std::uint8_t>& data) {
  return kind == StateKind::kBank && host_.loadState(data);
}

bool ClapRenderPlugin::prepare(double rateHz, int blockFrames, bool singlePrecision,
                               const BlockTransport& start) {
  if (const auto* render = host_.extension<clap::PluginRender>(clap::kExtRender))
    render->set(host_.plugin(), clap::kRenderOffline);
  setTransport(start);
  host_.activate(rateHz, 1, static_cast<std::uint32_t>(blockFrames));
  host_.startProcessing();
  // The audio ports prefer 64-bit buffers.
  return !singlePrecision;
}

void ClapRenderPlugin::setTransport(const BlockTransport& t) {
  const clap::EventTransport e = transport(t);
  host_.setTransport(&e);
}

void ClapRenderPlugin::sendMidi(const std::vector<BlockMidiEvent>& events) {
  for (const BlockMidiEvent& e : events) {
    const clap::EventMidi midi =
        claphost::midiEvent(static_cast<std::uint32_t>(e.offset), e.status, e.data1, e.data2);
    host_.input().events().add(&midi.header);
  }
}

void ClapRenderPlugin::processDouble(double** inputs, double** outputs, int frames) {
  host_.output().clear();
  host_.processDouble(inputs, outputs, static_cast<std::uint32_t>(frames));
}

void ClapRenderPlugin::processFloat(float** inputs, float** outputs, int frames) {
  host_.output().clear();
  host_.processFloat(inputs, outputs, static_cast<std::uint32_t>(frames));
}

void ClapRenderPlugin::finish() {
  host_.stopProcessing();
  host_.deactivate();
}

}  // namespace render
