#include "tools/lv2host/Lv2Host.h"

#include <lilv/lilv.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "lv2/atom/util.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/midi/midi.h"
#include "lv2/options/options.h"
#include "lv2/port-props/port-props.h"
#include "lv2/presets/presets.h"
#include "lv2/state/state.h"
#include "lv2/time/time.h"
#include "lv2/units/units.h"

namespace lv2host {

namespace {

constexpr const char* kRdfsLabel = "http://www.w3.org/2000/01/rdf-schema#label";

// A node made for one query and freed with it.
class Node {
 public:
  Node(LilvWorld* world, const char* uri) : node_(lilv_new_uri(world, uri)) {}
  ~Node() { lilv_node_free(node_); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  const LilvNode* get() const { return node_; }

 private:
  LilvNode* node_;
};

std::string AbsoluteFolder(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return std::string();
  std::string out = real;
  std::free(real);
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

}  // namespace

Lv2Host::Lv2Host() {
  uris_.push_back("");  // URID 0 is no URID
  mapFeature_.handle = this;
  mapFeature_.map = MapUri;
  unmapFeature_.handle = this;
  unmapFeature_.unmap = UnmapUri;
  mapEntry_ = {LV2_URID__map, &mapFeature_};
  unmapEntry_ = {LV2_URID__unmap, &unmapFeature_};
  eventsIn_.assign(kEventCapacity / 8, 0);
  eventsOut_.assign(kEventCapacity / 8, 0);
}

Lv2Host::~Lv2Host() {
  if (instance_) lilv_instance_free(instance_);
  if (world_) lilv_world_free(world_);
}

LV2_URID Lv2Host::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<Lv2Host*>(handle)->map(uri);
}

const char* Lv2Host::UnmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  return static_cast<Lv2Host*>(handle)->unmap(urid);
}

LV2_URID Lv2Host::map(const char* uri) {
  if (!uri) return 0;
  for (std::size_t i = 1; i < uris_.size(); ++i)
    if (uris_[i] == uri) return static_cast<LV2_URID>(i);
  uris_.push_back(uri);
  return static_cast<LV2_URID>(uris_.size() - 1);
}

const char* Lv2Host::unmap(LV2_URID urid) const {
  return urid > 0 && urid < uris_.size() ? uris_[urid].c_str() : nullptr;
}

bool Lv2Host::load(const std::string& bundlePath, const std::string& uri, std::string* error) {
  const std::string folder = AbsoluteFolder(bundlePath);
  if (folder.empty()) {
    *error = "no bundle at " + bundlePath;
    return false;
  }
  world_ = lilv_world_new();
  LilvNode* bundle = lilv_new_file_uri(world_, nullptr, folder.c_str());
  lilv_world_load_bundle(world_, bundle);
  lilv_node_free(bundle);
  Node wanted(world_, uri.c_str());
  plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), wanted.get());
  if (!plugin_) {
    *error = "no plug-in <" + uri + "> in " + folder;
    return false;
  }
  readPorts();
  return true;
}

void Lv2Host::readPorts() {
  Node input(world_, LV2_CORE__InputPort), control(world_, LV2_CORE__ControlPort),
      audio(world_, LV2_CORE__AudioPort), atom(world_, LV2_ATOM__AtomPort),
      integer(world_, LV2_CORE__integer), toggled(world_, LV2_CORE__toggled),
      enumeration(world_, LV2_CORE__enumeration), unit(world_, LV2_UNITS__unit);
  const uint32_t count = lilv_plugin_get_num_ports(plugin_);
  for (uint32_t i = 0; i < count; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
    const bool isInput = lilv_port_is_a(plugin_, port, input.get());
    if (lilv_port_is_a(plugin_, port, audio.get())) {
      (isInput ? audioInPorts_ : audioOutPorts_).push_back(i);
      continue;
    }
    if (lilv_port_is_a(plugin_, port, atom.get())) {
      (isInput ? eventsInPort_ : eventsOutPort_) = static_cast<int32_t>(i);
      continue;
    }
    if (!isInput || !lilv_port_is_a(plugin_, port, control.get())) continue;
    ControlInfo info;
    info.port = i;
    info.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin_, port));
    LilvNode* name = lilv_port_get_name(plugin_, port);
    if (name) info.name = lilv_node_as_string(name);
    lilv_node_free(name);
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin_, port, &def, &min, &max);
    if (def) info.defaultValue = lilv_node_as_float(def);
    if (min) info.minimum = lilv_node_as_float(min);
    if (max) info.maximum = lilv_node_as_float(max);
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    info.integer = lilv_port_has_property(plugin_, port, integer.get());
    info.toggled = lilv_port_has_property(plugin_, port, toggled.get());
    info.enumeration = lilv_port_has_property(plugin_, port, enumeration.get());
    if (LilvNodes* units = lilv_port_get_value(plugin_, port, unit.get())) {
      if (lilv_nodes_size(units) > 0) info.unit = lilv_node_as_uri(lilv_nodes_get_first(units));
      lilv_nodes_free(units);
    }
    if (LilvScalePoints* points = lilv_port_get_scale_points(plugin_, port)) {
      LILV_FOREACH(scale_points, it, points) {
        const LilvScalePoint* p = lilv_scale_points_get(points, it);
        info.scalePoints.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(p)),
                                      lilv_node_as_string(lilv_scale_point_get_label(p)));
      }
      lilv_scale_points_free(points);
      std::sort(info.scalePoints.begin(), info.scalePoints.end(),
                [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    controls_.push_back(info);
    controlPorts_.push_back(i);
    controlValues_.push_back(info.defaultValue);
  }
  audioInputs_ = static_cast<int>(audioInPorts_.size());
  audioOutputs_ = static_cast<int>(audioOutPorts_.size());
}

bool Lv2Host::requiresFeature(const char* uri) const {
  LilvNodes* required = lilv_plugin_get_required_features(plugin_);
  Node wanted(world_, uri);
  const bool found = required && lilv_nodes_contains(required, wanted.get());
  lilv_nodes_free(required);
  return found;
}

std::vector<PresetInfo> Lv2Host::presets() const {
  std::vector<PresetInfo> out;
  Node presetClass(world_, LV2_PRESETS__Preset), label(world_, kRdfsLabel);
  LilvNodes* related = lilv_plugin_get_related(plugin_, presetClass.get());
  LILV_FOREACH(nodes, it, related) {
    const LilvNode* preset = lilv_nodes_get(related, it);
    lilv_world_load_resource(world_, preset);
    PresetInfo info;
    info.uri = lilv_node_as_uri(preset);
    if (LilvNode* text = lilv_world_get(world_, preset, label.get(), nullptr)) {
      info.label = lilv_node_as_string(text);
      lilv_node_free(text);
    }
    out.push_back(info);
  }
  lilv_nodes_free(related);
  return out;
}

int Lv2Host::controlIndex(const std::string& symbol) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].symbol == symbol) return static_cast<int>(i);
  return -1;
}

void Lv2Host::setControl(int index, float value) {
  if (index >= 0 && index < static_cast<int>(controlValues_.size()))
    controlValues_[static_cast<std::size_t>(index)] = value;
}

bool Lv2Host::instantiate(double rateHz, int maxBlock, bool withFeatures, std::string* error) {
  features_.clear();
  if (withFeatures) {
    // Options: the block lengths, as Ardour offers them.
    optionValues_ = {1, maxBlock, maxBlock};
    static_assert(sizeof(LV2_Options_Option) % 8 == 0, "options pack");
    std::vector<LV2_Options_Option> options = {
        {LV2_OPTIONS_INSTANCE, 0, map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t),
         map(LV2_ATOM__Int), &optionValues_[0]},
        {LV2_OPTIONS_INSTANCE, 0, map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
         map(LV2_ATOM__Int), &optionValues_[1]},
        {LV2_OPTIONS_INSTANCE, 0, map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t),
         map(LV2_ATOM__Int), &optionValues_[2]},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    optionsStorage_.assign(reinterpret_cast<const std::uint8_t*>(options.data()),
                           reinterpret_cast<const std::uint8_t*>(options.data() + options.size()));
    optionsEntry_ = {LV2_OPTIONS__options, optionsStorage_.data()};
    features_ = {&mapEntry_, &unmapEntry_, &optionsEntry_};
  }
  features_.push_back(nullptr);
  instance_ = lilv_plugin_instantiate(plugin_, rateHz, features_.data());
  if (!instance_) {
    *error = "the plug-in refused to instantiate";
    return false;
  }
  lv2_atom_forge_init(&forge_, &mapFeature_);
  silence_.assign(static_cast<std::size_t>(maxBlock > 0 ? maxBlock : 1), 0.0f);
  connectAll();
  return true;
}

void Lv2Host::connectAll() {
  for (std::size_t i = 0; i < controlPorts_.size(); ++i)
    lilv_instance_connect_port(instance_, controlPorts_[i], &controlValues_[i]);
  if (eventsInPort_ >= 0)
    lilv_instance_connect_port(instance_, static_cast<uint32_t>(eventsInPort_), eventsIn_.data());
  if (eventsOutPort_ >= 0)
    lilv_instance_connect_port(instance_, static_cast<uint32_t>(eventsOutPort_), eventsOut_.data());
}

void Lv2Host::activate() { lilv_instance_activate(instance_); }

void Lv2Host::deactivate() { lilv_instance_deactivate(instance_); }

void Lv2Host::beginEvents() {
  if (eventsOpen_) return;
  lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(eventsIn_.data()),
                            eventsIn_.size() * 8);
  lv2_atom_forge_sequence_head(&forge_, &sequenceFrame_, 0);
  eventsOpen_ = true;
}

void Lv2Host::addMidi(int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  addMidiBytes(frame, {status, data1, data2});
}

void Lv2Host::addMidiBytes(int64_t frame, const std::vector<std::uint8_t>& bytes) {
  addRawEvent(frame, LV2_MIDI__MidiEvent, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void Lv2Host::addRawEvent(int64_t frame, const char* typeUri, const void* body,
                          std::uint32_t size) {
  beginEvents();
  lv2_atom_forge_frame_time(&forge_, frame);
  lv2_atom_forge_atom(&forge_, size, map(typeUri));
  lv2_atom_forge_write(&forge_, body, size);
}

void Lv2Host::addPosition(int64_t frame, const Position& p) {
  beginEvents();
  lv2_atom_forge_frame_time(&forge_, frame);
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_object(&forge_, &object, 0, map(LV2_TIME__Position));
  lv2_atom_forge_key(&forge_, map(LV2_TIME__frame));
  lv2_atom_forge_long(&forge_, static_cast<int64_t>(p.frame));
  lv2_atom_forge_key(&forge_, map(LV2_TIME__speed));
  lv2_atom_forge_float(&forge_, static_cast<float>(p.speed));
  lv2_atom_forge_key(&forge_, map(LV2_TIME__beatsPerMinute));
  lv2_atom_forge_double(&forge_, p.bpm);
  lv2_atom_forge_key(&forge_, map(LV2_TIME__bar));
  lv2_atom_forge_long(&forge_, p.bar);
  lv2_atom_forge_key(&forge_, map(LV2_TIME__barBeat));
  lv2_atom_forge_double(&forge_, p.barBeat);
  lv2_atom_forge_key(&forge_, map(LV2_TIME__beat));
  lv2_atom_forge_double(&forge_, p.beat);
  lv2_atom_forge_key(&forge_, map(LV2_TIME__beatUnit));
  lv2_atom_forge_int(&forge_, p.beatUnit);
  lv2_atom_forge_key(&forge_, map(LV2_TIME__beatsPerBar));
  lv2_atom_forge_float(&forge_, static_cast<float>(p.beatsPerBar));
  lv2_atom_forge_pop(&forge_, &object);
}

void Lv2Host::collectMidiOut() {
  midiOut_.clear();
  atomsOut_.clear();
  if (eventsOutPort_ < 0) return;
  const auto* seq = reinterpret_cast<const LV2_Atom_Sequence*>(eventsOut_.data());
  if (seq->atom.type != map(LV2_ATOM__Sequence)) return;
  const LV2_URID midi = map(LV2_MIDI__MidiEvent);
  LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(ev + 1);
    std::vector<std::uint8_t> body(bytes, bytes + ev->body.size);
    if (ev->body.type == midi)
      midiOut_.push_back({ev->time.frames, std::move(body)});
    else
      atomsOut_.push_back({ev->time.frames, ev->body.type, std::move(body)});
  }
}

void Lv2Host::run(const float* const* inputs, float* const* outputs, int frames) {
  beginEvents();
  lv2_atom_forge_pop(&forge_, &sequenceFrame_);
  eventsOpen_ = false;
  auto* out = reinterpret_cast<LV2_Atom*>(eventsOut_.data());
  out->size = static_cast<uint32_t>(eventsOut_.size() * 8 - sizeof(LV2_Atom));
  out->type = map(LV2_ATOM__Chunk);
  for (int c = 0; c < audioInputs_; ++c)
    lilv_instance_connect_port(instance_, audioInPorts_[static_cast<std::size_t>(c)],
                               const_cast<float*>(inputs[c]));
  for (int c = 0; c < audioOutputs_; ++c)
    lilv_instance_connect_port(instance_, audioOutPorts_[static_cast<std::size_t>(c)], outputs[c]);
  lilv_instance_run(instance_, static_cast<uint32_t>(frames));
  collectMidiOut();
}

bool Lv2Host::runDouble(const double* const* inputs, double* const* outputs, int frames) {
  struct DoubleRun {
    void (*run_double)(LV2_Handle, const double* const*, double* const*, uint32_t);
  };
  const auto* ext = static_cast<const DoubleRun*>(lilv_instance_get_extension_data(
      instance_, "https://vellum-music.com/plugins/quillet#doubleRun"));
  if (!ext || !ext->run_double) return false;
  beginEvents();
  lv2_atom_forge_pop(&forge_, &sequenceFrame_);
  eventsOpen_ = false;
  auto* out = reinterpret_cast<LV2_Atom*>(eventsOut_.data());
  out->size = static_cast<uint32_t>(eventsOut_.size() * 8 - sizeof(LV2_Atom));
  out->type = map(LV2_ATOM__Chunk);
  ext->run_double(lilv_instance_get_handle(instance_), inputs, outputs,
                  static_cast<uint32_t>(frames));
  collectMidiOut();
  return true;
}

// ---- State -------------------------------------------------------------------

void Lv2Host::SetPortValue(const char* symbol, void* user, const void* value, uint32_t size,
                           uint32_t type) {
  auto* host = static_cast<Lv2Host*>(user);
  const int i = host->controlIndex(symbol);
  if (i < 0 || !value) return;
  float v = 0.0f;
  if (type == host->map(LV2_ATOM__Float) && size == sizeof(float))
    v = *static_cast<const float*>(value);
  else if (type == host->map(LV2_ATOM__Double) && size == sizeof(double))
    v = static_cast<float>(*static_cast<const double*>(value));
  else if (type == host->map(LV2_ATOM__Int) && size == sizeof(int32_t))
    v = static_cast<float>(*static_cast<const int32_t*>(value));
  else
    return;
  host->setControl(i, v);
}

const void* Lv2Host::GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto* host = static_cast<Lv2Host*>(user);
  const int i = host->controlIndex(symbol);
  if (i < 0) return nullptr;
  *size = sizeof(float);
  *type = host->map(LV2_ATOM__Float);
  return &host->controlValues_[static_cast<std::size_t>(i)];
}

std::string Lv2Host::saveState() {
  LilvState* state = lilv_state_new_from_instance(
      plugin_, instance_, &mapFeature_, nullptr, nullptr, nullptr, nullptr, GetPortValue, this,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features_.data());
  if (!state) return std::string();
  char* text = lilv_state_to_string(world_, &mapFeature_, &unmapFeature_, state,
                                    "urn:quillet-test:state", nullptr);
  std::string out = text ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return out;
}

bool Lv2Host::restoreState(const std::string& turtle) {
  LilvState* state = lilv_state_new_from_string(world_, &mapFeature_, turtle.c_str());
  if (!state) return false;
  lilv_state_restore(state, instance_, SetPortValue, this, 0, features_.data());
  lilv_state_free(state);
  return true;
}

bool Lv2Host::applyPreset(const std::string& presetUri) {
  Node preset(world_, presetUri.c_str());
  lilv_world_load_resource(world_, preset.get());
  LilvState* state = lilv_state_new_from_world(world_, &mapFeature_, preset.get());
  if (!state) return false;
  lilv_state_restore(state, instance_, SetPortValue, this, 0, features_.data());
  lilv_state_free(state);
  return true;
}

namespace {

struct PropertyStore {
  Lv2Host* host;
  LV2_URID key;
  std::vector<std::uint8_t>* bytes;
  bool found;
};

LV2_State_Status StoreOne(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                          uint32_t, uint32_t) {
  auto* s = static_cast<PropertyStore*>(handle);
  if (key == s->key) {
    const auto* b = static_cast<const std::uint8_t*>(value);
    s->bytes->assign(b, b + size);
    s->found = true;
  }
  return LV2_STATE_SUCCESS;
}

struct PropertySource {
  Lv2Host* host;
  const std::map<std::string, std::pair<std::string, std::vector<std::uint8_t>>>* properties;
};

const void* RetrieveOne(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                        uint32_t* flags) {
  auto* s = static_cast<PropertySource*>(handle);
  const char* uri = s->host->unmap(key);
  if (!uri) return nullptr;
  auto it = s->properties->find(uri);
  if (it == s->properties->end()) return nullptr;
  *size = it->second.second.size();
  *type = s->host->map(it->second.first.c_str());
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  // An empty value still needs an address.
  static const std::uint8_t kNothing = 0;
  return it->second.second.empty() ? &kNothing : it->second.second.data();
}

}  // namespace

bool Lv2Host::saveProperty(const char* key, std::vector<std::uint8_t>* bytes) {
  const auto* iface = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!iface) return false;
  PropertyStore store{this, map(key), bytes, false};
  return iface->save(lilv_instance_get_handle(instance_), StoreOne, &store, 0, features_.data()) ==
             LV2_STATE_SUCCESS &&
         store.found;
}

int Lv2Host::restoreProperties(
    const std::map<std::string, std::pair<std::string, std::vector<std::uint8_t>>>& properties) {
  const auto* iface = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!iface) return -1;
  PropertySource source{this, &properties};
  return iface->restore(lilv_instance_get_handle(instance_), RetrieveOne, &source, 0,
                        features_.data());
}

}  // namespace lv2host
