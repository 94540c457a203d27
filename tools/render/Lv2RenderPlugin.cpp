#include "tools/render/Lv2RenderPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace render {

namespace {

constexpr const char* kPluginUri = "https://vellum-music.com/plugins/quillet";
constexpr const char* kStateKey = "https://vellum-music.com/plugins/quillet#state";
constexpr const char* kAtomChunk = "http://lv2plug.in/ns/ext/atom#Chunk";

// The preset's program number: the digits after the last '-' of its URI.
int presetNumber(const std::string& uri) {
  const std::size_t dash = uri.rfind('-');
  return dash == std::string::npos ? -1 : std::atoi(uri.c_str() + dash + 1);
}

}  // namespace

bool Lv2RenderPlugin::load(const std::string& bundlePath, std::string* errorText) {
  if (!host_.load(bundlePath, kPluginUri, errorText)) return false;
  presets_ = host_.presets();
  std::sort(presets_.begin(), presets_.end(),
            [](const auto& a, const auto& b) { return presetNumber(a.uri) < presetNumber(b.uri); });
  return true;
}

PluginIdentity Lv2RenderPlugin::identity() {
  // Preset files name the VST 2 identity; the LV2 build is the same product.
  PluginIdentity id;
  id.uniqueId = 0x766d514c;  // 'vmQL'
  id.version = 10102;
  id.keepsChunks = true;
  return id;
}

void Lv2RenderPlugin::open(double rateHz, int blockFrames) {
  blockFrames_ = blockFrames;
  std::string error;
  if (!host_.instantiate(rateHz, blockFrames, true, &error))
    std::fprintf(stderr, "quillet-render: %s\n", error.c_str());
}

std::string Lv2RenderPlugin::parameterName(int index) {
  return index >= 0 && index < parameterCount() ? host_.controls()[index].name : std::string();
}

std::string Lv2RenderPlugin::textOf(int index, float value) {
  const lv2host::ControlInfo& c = host_.controls()[index];
  for (const auto& point : c.scalePoints)
    if (point.first == value) return point.second;
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

float Lv2RenderPlugin::plainOf(int index, double normalised) {
  const lv2host::ControlInfo& c = host_.controls()[index];
  double n = std::isfinite(normalised) ? std::min(1.0, std::max(0.0, normalised)) : 0.0;
  double v = c.minimum + (c.maximum - c.minimum) * n;
  if (c.integer || c.toggled || c.enumeration) v = std::floor(v + 0.5);
  return static_cast<float>(v);
}

std::string Lv2RenderPlugin::parameterDisplay(int index) {
  if (index < 0 || index >= parameterCount()) return std::string();
  return textOf(index, host_.control(index));
}

std::string Lv2RenderPlugin::parameterLabel(int index) {
  if (index < 0 || index >= parameterCount()) return std::string();
  const std::string& unit = host_.controls()[index].unit;
  const std::size_t hash = unit.rfind('#');
  return hash == std::string::npos ? std::string() : unit.substr(hash + 1);
}

double Lv2RenderPlugin::parameterNormalised(int index) {
  if (index < 0 || index >= parameterCount()) return 0.0;
  const lv2host::ControlInfo& c = host_.controls()[index];
  return c.maximum > c.minimum ? (host_.control(index) - c.minimum) / (c.maximum - c.minimum) : 0.0;
}

bool Lv2RenderPlugin::isStepped(int index) {
  if (index < 0 || index >= parameterCount()) return false;
  const lv2host::ControlInfo& c = host_.controls()[index];
  return c.toggled || c.enumeration;
}

std::string Lv2RenderPlugin::formatNormalised(int index, double normalised) {
  if (index < 0 || index >= parameterCount()) return std::string();
  return textOf(index, plainOf(index, normalised));
}

bool Lv2RenderPlugin::setParameterText(int index, const std::string& text) {
  if (index < 0 || index >= parameterCount()) return false;
  for (const auto& point : host_.controls()[index].scalePoints) {
    if (point.second == text) {
      host_.setControl(index, point.first);
      return true;
    }
  }
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v)) return false;
  host_.setControl(index, static_cast<float>(v));
  return true;
}

void Lv2RenderPlugin::setParameter(int index, double normalised) {
  if (index >= 0 && index < parameterCount()) host_.setControl(index, plainOf(index, normalised));
}

std::string Lv2RenderPlugin::programName(int index) {
  return index >= 0 && index < programCount() ? presets_[index].label : std::string();
}

void Lv2RenderPlugin::selectProgram(int index) {
  if (index < 0 || index >= programCount()) return;
  if (host_.applyPreset(presets_[index].uri)) current_ = index;
}

bool Lv2RenderPlugin::getState(StateKind kind, std::vector<std::uint8_t>* data) {
  data->clear();
  return kind == StateKind::kBank && host_.saveProperty(kStateKey, data) && !data->empty();
}

bool Lv2RenderPlugin::setState(StateKind kind, const std::vector<std::uint8_t>& data) {
  if (kind != StateKind::kBank) return false;
  return host_.restoreProperties({{kStateKey, {kAtomChunk, data}}}) == 0;
}

lv2host::Position Lv2RenderPlugin::position(const BlockTransport& t) {
  lv2host::Position p;
  p.frame = static_cast<double>(t.positionFrames);
  p.speed = t.playing ? 1.0 : 0.0;
  p.bpm = t.tempoBpm;
  // Quarter notes to the time signature's beats; exact for powers of two.
  const double perQuarter = t.beatUnit / 4.0;
  p.beat = t.positionBeats * perQuarter;
  p.barBeat = (t.positionBeats - t.barStartBeats) * perQuarter;
  const double barQuarters = t.beatsPerBar * 4.0 / t.beatUnit;
  p.bar = static_cast<long long>(std::floor(t.barStartBeats / barQuarters + 0.5));
  p.beatUnit = t.beatUnit;
  p.beatsPerBar = t.beatsPerBar;
  return p;
}

bool Lv2RenderPlugin::prepare(double, int, bool singlePrecision, const BlockTransport& start) {
  setTransport(start);
  host_.activate();
  return !singlePrecision;
}

void Lv2RenderPlugin::setTransport(const BlockTransport& transport) {
  host_.addPosition(0, position(transport));
}

void Lv2RenderPlugin::sendMidi(const std::vector<BlockMidiEvent>& events) {
  for (const BlockMidiEvent& e : events) host_.addMidi(e.offset, e.status, e.data1, e.data2);
}

void Lv2RenderPlugin::processDouble(double** inputs, double** outputs, int frames) {
  host_.runDouble(inputs, outputs, frames);
}

void Lv2RenderPlugin::processFloat(float** inputs, float** outputs, int frames) {
  host_.run(inputs, outputs, frames);
}

void Lv2RenderPlugin::finish() { host_.deactivate(); }

}  // namespace render
