// The state and preset-load extensions, and the small ones: latency, tail,
// render.
//
// State is the format state of FormatState.h (the VST 2 bank chunk, then the
// current preset's index). Hosts hand streams over in pieces of any size and
// may end them anywhere: a load reads the whole stream first, to a bound, and
// the base then takes it all or nothing.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plug/clap/IPlugClap.h"

namespace plug {

namespace {

// Far above any state of ours (a bank of ten presets is a few kilobytes):
// a stream that goes on past it is not one of ours.
constexpr std::size_t kMaxStateBytes = 1 << 20;
constexpr std::size_t kReadPiece = 4096;

bool WriteAll(const clap::OStream* stream, const std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t written = stream->write(stream, data + done, size - done);
    if (written <= 0 || static_cast<std::uint64_t>(written) > size - done) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// The whole stream, or false on a read error, a read claiming more than was
// asked, or more bytes than any state of ours holds.
bool ReadAll(const clap::IStream* stream, std::vector<std::uint8_t>* bytes) {
  std::uint8_t piece[kReadPiece];
  for (;;) {
    const std::int64_t got = stream->read(stream, piece, sizeof piece);
    if (got == 0) return true;
    if (got < 0 || static_cast<std::uint64_t>(got) > sizeof piece) return false;
    if (bytes->size() + static_cast<std::size_t>(got) > kMaxStateBytes) return false;
    bytes->insert(bytes->end(), piece, piece + got);
  }
}

// "0".."9" (the factory preset's number), or -1.
int PresetIndexOfKey(const char* key, int presetCount) {
  if (!key || !*key) return -1;
  int index = 0;
  for (const char* c = key; *c; ++c) {
    if (*c < '0' || *c > '9' || c - key > 3) return -1;
    index = index * 10 + (*c - '0');
  }
  if (key[0] == '0' && key[1] != '\0') return -1;
  return index < presetCount ? index : -1;
}

}  // namespace

bool CLAP_CALL IPlugClap::StateSave(const clap::Plugin* plugin, const clap::OStream* stream) {
  IPlugClap* self = From(plugin);
  if (!self || !stream || !stream->write) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("state save");
  try {
    StateChunk chunk;
    {
      InstanceLock lock(self->Mutex());
      if (!self->plugin_->HostSaveState(&chunk)) return false;
    }
    return WriteAll(stream, chunk.Data(), static_cast<std::size_t>(chunk.Size()));
  } catch (...) {
    return false;
  }
}

bool CLAP_CALL IPlugClap::StateLoad(const clap::Plugin* plugin, const clap::IStream* stream) {
  IPlugClap* self = From(plugin);
  if (!self || !stream || !stream->read) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("state load");
  try {
    std::vector<std::uint8_t> bytes;
    if (!ReadAll(stream, &bytes)) return false;
    StateChunk chunk;
    chunk.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
    {
      InstanceLock lock(self->Mutex());
      if (!self->plugin_->HostLoadState(&chunk)) return false;
    }
    // The host re-reads the values; it never records a load as automation.
    if (self->hostParams_) self->hostParams_->rescan(self->host_, clap::kParamRescanValues);
    return true;
  } catch (...) {
    return false;
  }
}

bool CLAP_CALL IPlugClap::PresetLoadFromLocation(const clap::Plugin* plugin,
                                                 std::uint32_t locationKind, const char* location,
                                                 const char* loadKey) {
  IPlugClap* self = From(plugin);
  if (!self) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("preset load");
  const int index = locationKind == clap::kPresetLocationPlugin
                        ? PresetIndexOfKey(loadKey, self->plugin_->NPresets())
                        : -1;
  if (index < 0) {
    if (self->hostPresetLoad_)
      self->hostPresetLoad_->onError(self->host_, locationKind, location, loadKey, 0,
                                     "Quillet has no such preset");
    return false;
  }
  try {
    InstanceLock lock(self->Mutex());
    // As the editor's preset menu and a VST 2 host's program change do it.
    self->plugin_->HostSelectPreset(index);
    self->plugin_->HostRefreshControls();
  } catch (...) {
    return false;
  }
  if (self->hostParams_) self->hostParams_->rescan(self->host_, clap::kParamRescanValues);
  if (self->hostState_) self->hostState_->markDirty(self->host_);
  if (self->hostPresetLoad_)
    self->hostPresetLoad_->loaded(self->host_, clap::kPresetLocationPlugin, nullptr, loadKey);
  return true;
}

std::uint32_t CLAP_CALL IPlugClap::LatencyGet(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  return self && self->plugin_->GetLatency() > 0
             ? static_cast<std::uint32_t>(self->plugin_->GetLatency())
             : 0;
}

std::uint32_t CLAP_CALL IPlugClap::TailGet(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  return self ? self->TailSamples() : 0;
}

bool CLAP_CALL IPlugClap::RenderHasHardRealtimeRequirement(const clap::Plugin*) { return false; }

bool CLAP_CALL IPlugClap::RenderSet(const clap::Plugin* plugin, std::int32_t mode) {
  IPlugClap* self = From(plugin);
  if (!self || (mode != clap::kRenderRealtime && mode != clap::kRenderOffline)) return false;
  // Read by the product as VST 2's offline process level is.
  self->offline_.store(mode == clap::kRenderOffline, std::memory_order_relaxed);
  return true;
}

const clap::PluginState IPlugClap::kState = {StateSave, StateLoad};
const clap::PluginPresetLoad IPlugClap::kPresetLoad = {PresetLoadFromLocation};
const clap::PluginLatency IPlugClap::kLatency = {LatencyGet};
const clap::PluginTail IPlugClap::kTail = {TailGet};
const clap::PluginRender IPlugClap::kRender = {RenderHasHardRealtimeRequirement, RenderSet};

}  // namespace plug
