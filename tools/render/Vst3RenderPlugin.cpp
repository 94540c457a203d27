#include "tools/render/Vst3RenderPlugin.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace render {

using namespace vst3;

namespace {

constexpr ParamID kProgramFlag = kIsProgramChange;

// The host's program list: the one of the root unit.
IUnitInfo* unitInfo(vst3host::Vst3Instance& instance) {
  return static_cast<IUnitInfo*>(instance.query(iid::kUnitInfo));
}

}  // namespace

Vst3RenderPlugin::~Vst3RenderPlugin() {
  if (instance_) instance_->close();
  instance_.reset();
  module_.close();
}

bool Vst3RenderPlugin::load(const std::string& path, std::string* errorText) {
  if (!module_.open(path, errorText)) return false;
  instance_.reset(new vst3host::Vst3Instance("quillet-render"));
  if (!instance_->open(module_, errorText)) return false;
  const int32 count = instance_->controller()->getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo p{};
    if (instance_->controller()->getParameterInfo(i, &p) == kResultOk && (p.flags & kProgramFlag))
      programParam_ = static_cast<long>(p.id);
  }
  return true;
}

PluginIdentity Vst3RenderPlugin::identity() {
  PluginIdentity id;
  // A class ID derived from a VST 2 ID carries it in bytes 3..6 of its text
  // form ("VST" + ID + name): preset files name the plug-in by it.
  PClassInfo2 info{};
  IPluginFactory2* factory2 = nullptr;
  char iid[16];
  UidToBytes(iid::kPluginFactory2, iid);
  if (module_.factory()->queryInterface(iid, reinterpret_cast<void**>(&factory2)) == kResultOk) {
    if (factory2->getClassInfo2(0, &info) == kResultOk) {
      int v[3] = {0, 0, 0};
      std::sscanf(info.version, "%d.%d.%d", &v[0], &v[1], &v[2]);
      id.version = v[0] * 10000 + v[1] * 100 + v[2];
    }
    factory2->release();
  }
  char bytes[16];
  if (!module_.classId(bytes)) return id;
  // l1 and l2 from the platform's byte order: the bytes of a known ID show
  // where each big-endian byte of l1 l2 sits.
  const Uid probe{0x01020304, 0x05060708, 0, 0};
  char order[16];
  UidToBytes(probe, order);
  Uid uid{0, 0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    const int number = order[i] - 1;
    std::uint32_t& l = number < 4 ? uid.l1 : uid.l2;
    l |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * (3 - number % 4));
  }
  if ((uid.l1 >> 8) == 0x565354)
    id.uniqueId = static_cast<std::int32_t>((uid.l1 << 24) | (uid.l2 >> 8));
  id.keepsChunks = true;
  return id;
}

void Vst3RenderPlugin::open(double, int) {}

ParameterInfo Vst3RenderPlugin::info(int index) {
  ParameterInfo p{};
  instance_->controller()->getParameterInfo(index, &p);
  return p;
}

// The automatable parameters come first, with IDs equal to their indexes.
int Vst3RenderPlugin::parameterCount() {
  int n = 0;
  while (n < instance_->controller()->getParameterCount() && (info(n).flags & kCanAutomate)) ++n;
  return n;
}

std::string Vst3RenderPlugin::parameterName(int index) {
  return vst3host::toUtf8(info(index).title);
}

std::string Vst3RenderPlugin::parameterDisplay(int index) {
  const ParamID id = info(index).id;
  return instance_->paramText(id, instance_->controller()->getParamNormalized(id));
}

std::string Vst3RenderPlugin::parameterLabel(int index) {
  return vst3host::toUtf8(info(index).units);
}

double Vst3RenderPlugin::parameterNormalised(int index) {
  return instance_->controller()->getParamNormalized(info(index).id);
}

bool Vst3RenderPlugin::isStepped(int index) { return info(index).stepCount > 0; }

std::string Vst3RenderPlugin::formatNormalised(int index, double normalised) {
  return instance_->paramText(info(index).id, normalised);
}

bool Vst3RenderPlugin::setParameterText(int index, const std::string& text) {
  std::u16string wide = vst3host::toUtf16(text);
  ParamValue value = 0.0;
  const ParamID id = info(index).id;
  if (instance_->controller()->getParamValueByString(id, &wide[0], &value) != kResultOk)
    return false;
  setParameter(index, value);
  return true;
}

// As a host does: the controller hears of it now, the processor in the next
// block's queue (or a flush before processing starts).
void Vst3RenderPlugin::setParameter(int index, double normalised) {
  const ParamID id = info(index).id;
  instance_->controller()->setParamNormalized(id, normalised);
  instance_->changes().add(id, 0, normalised);
  if (!started_) applyPending();
}

void Vst3RenderPlugin::applyPending() {
  if (started_) instance_->processDouble(nullptr, nullptr, 0);
}

int Vst3RenderPlugin::programCount() {
  IUnitInfo* units = unitInfo(*instance_);
  if (!units) return 0;
  ProgramListInfo list{};
  const int count = units->getProgramListInfo(0, &list) == kResultOk ? list.programCount : 0;
  units->release();
  return count;
}

std::string Vst3RenderPlugin::programName(int index) {
  IUnitInfo* units = unitInfo(*instance_);
  if (!units) return "";
  ProgramListInfo list{};
  String128 name = {};
  std::string text;
  if (units->getProgramListInfo(0, &list) == kResultOk &&
      units->getProgramName(list.id, index, name) == kResultOk)
    text = vst3host::toUtf8(name);
  units->release();
  return text;
}

int Vst3RenderPlugin::currentProgram() {
  const int count = programCount();
  if (programParam_ < 0 || count < 2) return 0;
  const double v = instance_->controller()->getParamNormalized(static_cast<ParamID>(programParam_));
  return static_cast<int>(std::floor(v * (count - 1) + 0.5));
}

std::string Vst3RenderPlugin::currentProgramName() { return programName(currentProgram()); }

void Vst3RenderPlugin::selectProgram(int index) {
  const int count = programCount();
  if (programParam_ < 0 || count < 2) return;
  instance_->controller()->setParamNormalized(static_cast<ParamID>(programParam_),
                                              static_cast<double>(index) / (count - 1));
}

// VST 3 has no way to rename a program from the host.
void Vst3RenderPlugin::renameCurrentProgram(const std::string&) {}

bool Vst3RenderPlugin::getState(StateKind kind, std::vector<std::uint8_t>* data) {
  data->clear();
  if (kind != StateKind::kBank) return false;
  *data = instance_->componentState();
  return !data->empty();
}

bool Vst3RenderPlugin::setState(StateKind, const std::vector<std::uint8_t>& data) {
  // The component recognises VST 2 program and bank chunks as well as its own.
  return instance_->setComponentState(data) == kResultOk;
}

bool Vst3RenderPlugin::prepare(double rateHz, int blockFrames, bool singlePrecision,
                               const BlockTransport& start) {
  const bool doubles = !singlePrecision;
  started_ = instance_->start(rateHz, blockFrames, doubles, kOffline);
  setTransport(start);
  // Changes made before processing reach the processor in a flush.
  instance_->processDouble(nullptr, nullptr, 0);
  return doubles;
}

void Vst3RenderPlugin::setTransport(const BlockTransport& t) {
  ProcessContext& c = instance_->context();
  c = ProcessContext{};
  c.sampleRate = t.rateHz;
  c.projectTimeSamples = t.positionFrames;
  c.tempo = t.tempoBpm;
  c.projectTimeMusic = t.positionBeats;
  c.barPositionMusic = t.barStartBeats;
  c.timeSigNumerator = t.beatsPerBar;
  c.timeSigDenominator = t.beatUnit;
  c.state = kProjectTimeMusicValid | kTempoValid | kBarPositionValid | kTimeSigValid;
  if (t.playing) c.state |= kPlaying;
}

void Vst3RenderPlugin::sendMidi(const std::vector<BlockMidiEvent>& events) {
  constexpr int kNoteOff = 0x80, kNoteOn = 0x90, kControlChange = 0xB0;
  for (const BlockMidiEvent& e : events) {
    const int kind = e.status & 0xF0, channel = e.status & 0x0F;
    if (kind == kNoteOn && e.data2 > 0) {
      instance_->events().noteOn(e.offset, channel, e.data1, e.data2 / 127.0f);
    } else if (kind == kNoteOn || kind == kNoteOff) {
      instance_->events().noteOff(e.offset, channel, e.data1);
    } else if (kind == kControlChange) {
      // As a host does with the plug-in's MIDI mapping.
      IMidiMapping* mapping = static_cast<IMidiMapping*>(instance_->query(iid::kMidiMapping));
      ParamID id = 0;
      if (mapping && mapping->getMidiControllerAssignment(0, static_cast<int16>(channel), e.data1,
                                                          &id) == kResultTrue)
        instance_->changes().add(id, e.offset, e.data2 / 127.0);
      if (mapping) mapping->release();
    }
  }
}

void Vst3RenderPlugin::processDouble(double** inputs, double** outputs, int frames) {
  instance_->processDouble(inputs, outputs, frames);
}

void Vst3RenderPlugin::processFloat(float** inputs, float** outputs, int frames) {
  instance_->processFloat(inputs, outputs, frames);
}

void Vst3RenderPlugin::finish() {
  instance_->stop();
  started_ = false;
}

}  // namespace render
