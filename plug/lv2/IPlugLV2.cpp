#include "plug/lv2/IPlugLV2.h"

#include <cmath>
#include <cstring>

#include "lv2/buf-size/buf-size.h"
#include "lv2/midi/midi.h"
#include "lv2/options/options.h"
#include "lv2/time/time.h"

namespace plug {

namespace {

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  if (!features) return nullptr;
  for (int i = 0; features[i]; ++i) {
    const LV2_Feature* f = features[i];
    if (f && f->URI && std::strcmp(f->URI, uri) == 0) return f->data;
  }
  return nullptr;
}

}  // namespace

IPlugLV2::IPlugLV2(IPlugBase* plugin, double rate, const LV2_Feature* const* features)
    : plugin_(plugin) {
  // A map without its function is no map.
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(FindFeature(features, LV2_URID__map)));
  if (map && map->map) MapUrids(map);
  const int blockSize = BlockSizeFromOptions(features);
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(plugin_->Mutex());
  plugin_->SetInputConnections(0, plugin_->NInChannels(), true);
  plugin_->SetOutputConnections(0, plugin_->NOutChannels(), true);
  plugin_->HostSetSampleRate(rate);
  plugin_->HostSetBlockSize(blockSize);
  SyncControlsToValues();
  // Last: a constructor that throws leaves the instance without services.
  plugin_->SetHostServices(this);
  plugin_->HostInit();
  plugin_->HostParamsChanged();
}

IPlugLV2::~IPlugLV2() { delete plugin_; }

void IPlugLV2::MapUrids(LV2_URID_Map* map) {
  map_ = map;
  auto m = [map](const char* uri) { return map->map(map->handle, uri); };
  urids_.atomChunk = m(LV2_ATOM__Chunk);
  urids_.atomSequence = m(LV2_ATOM__Sequence);
  urids_.atomObject = m(LV2_ATOM__Object);
  urids_.atomBlank = m(LV2_ATOM__Blank);
  urids_.atomInt = m(LV2_ATOM__Int);
  urids_.atomLong = m(LV2_ATOM__Long);
  urids_.atomFloat = m(LV2_ATOM__Float);
  urids_.atomDouble = m(LV2_ATOM__Double);
  urids_.midiEvent = m(LV2_MIDI__MidiEvent);
  urids_.timePosition = m(LV2_TIME__Position);
  urids_.timeFrame = m(LV2_TIME__frame);
  urids_.timeSpeed = m(LV2_TIME__speed);
  urids_.timeBpm = m(LV2_TIME__beatsPerMinute);
  urids_.timeBar = m(LV2_TIME__bar);
  urids_.timeBarBeat = m(LV2_TIME__barBeat);
  urids_.timeBeat = m(LV2_TIME__beat);
  urids_.timeBeatUnit = m(LV2_TIME__beatUnit);
  urids_.timeBeatsPerBar = m(LV2_TIME__beatsPerBar);
  urids_.stateKey = m(lv2::kStateKey);
  urids_.programKey = m(lv2::kProgramKey);
  urids_.maxBlockLength = m(LV2_BUF_SIZE__maxBlockLength);
  urids_.nominalBlockLength = m(LV2_BUF_SIZE__nominalBlockLength);
  learnUrids_.Map(map);
}

int IPlugLV2::BlockSizeFromOptions(const LV2_Feature* const* features) const {
  // The pieces never exceed the scratch buffers; a host's maximum (or its
  // nominal length) only saves memory and splits, so anything odd is ignored.
  const auto* options =
      static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  if (!options || !map_) return kDefaultBlockSize;
  int nominal = 0, maximum = 0;
  for (int i = 0; i < 256 && options[i].key; ++i) {
    const LV2_Options_Option& o = options[i];
    if (o.type != urids_.atomInt || o.size != sizeof(int32_t) || !o.value) continue;
    const int32_t v = *static_cast<const int32_t*>(o.value);
    if (o.key == urids_.maxBlockLength) maximum = v;
    if (o.key == urids_.nominalBlockLength) nominal = v;
  }
  const int chosen = maximum > 0 ? maximum : nominal;
  if (chosen <= 0) return kDefaultBlockSize;
  return chosen < kMaxBlockSize ? chosen : kMaxBlockSize;
}

void IPlugLV2::SyncControlsToValues() {
  for (int i = 0; i < lv2::kParamPorts; ++i) {
    const IParameter* param = plugin_->GetParam(i);
    lastControls_[i] = param ? static_cast<float>(param->Value()) : 0.0f;
  }
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) {
  // Hosts connect while running (between run calls); the lock keeps a
  // pointer from changing under a run on another thread.
  InstanceLock lock(plugin_->Mutex());
  if (port < lv2::kParamPorts) {
    controls_[port] = static_cast<float*>(data);
    return;
  }
  switch (port) {
    case lv2::kPortAudioInLeft:
    case lv2::kPortAudioInRight:
      audioIn_[port - lv2::kPortAudioInLeft] = static_cast<const float*>(data);
      break;
    case lv2::kPortAudioOutLeft:
    case lv2::kPortAudioOutRight:
      audioOut_[port - lv2::kPortAudioOutLeft] = static_cast<float*>(data);
      break;
    case lv2::kPortEventsIn:
      eventsIn_ = static_cast<const LV2_Atom_Sequence*>(data);
      break;
    case lv2::kPortMidiOut:
      midiOut_ = static_cast<LV2_Atom_Sequence*>(data);
      break;
    default:
      break;  // no such port: ignored
  }
}

void IPlugLV2::Activate() {
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(plugin_->Mutex());
  position_ = Position();
  plugin_->HostReset();
  plugin_->HostActivate(true);
}

void IPlugLV2::Deactivate() {
  ScopedThreadRole role(ThreadRole::kMain);
  InstanceLock lock(plugin_->Mutex());
  plugin_->HostActivate(false);
  plugin_->HostReset();
}

// ---- Host services -------------------------------------------------------------

void IPlugLV2::GetHostProduct(char* product, int capacity, int* version) {
  // LV2 does not name its host.
  if (capacity > 0) product[0] = '\0';
  *version = 0;
}

void IPlugLV2::GetTransportInfo(ITransportInfo* info) {
  const Position& p = position_;
  if (!p.known) return;
  // The host's position is that of its event; the current piece starts
  // framesSince frames later and the transport moves at its speed.
  const double moved = p.framesSince * p.speed;
  const bool tempoConfirmed = p.bpm > 0.0 && std::isfinite(p.bpm);
  if (tempoConfirmed) info->tempo = p.bpm;
  info->samplePos = p.frame + moved;
  if (p.beats >= 0.0) {
    info->ppqPos = p.beats;
    if (tempoConfirmed && moved != 0.0)
      info->ppqPos += moved / plugin_->GetSampleRate() * p.bpm / 60.0;
  }
  if (p.barStart >= 0.0) info->lastBarPos = p.barStart;
  if (p.beatsPerBar > 0 && p.beatUnit > 0) {
    info->numerator = p.beatsPerBar;
    info->denominator = p.beatUnit;
  }
  info->transportRunning = p.speed != 0.0;
}

}  // namespace plug
