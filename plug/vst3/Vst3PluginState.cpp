// The component state through the host's stream: the base's format state
// (FormatState.h), or VST 2 state a host hands over from a project made with
// the VST 2 build (Vst2StateImport.h). Loading is all or nothing.
#include <cstring>

#include "plug/FormatState.h"
#include "plug/vst3/Vst2StateImport.h"
#include "plug/vst3/Vst3Plugin.h"

namespace plug {

namespace {

using namespace vst3;

// No state of this plug-in comes near this size (a bank is a few kilobytes);
// a stream that goes on longer is not ours.
constexpr int kMaxStateBytes = 4 * 1024 * 1024;
constexpr int32 kReadPiece = 4096;

}  // namespace

// Reads from the current position until the stream runs dry (hosts need not
// end it at our data, and may hand it over in pieces of any size).
bool Vst3Plugin::ReadStream(IBStream* stream, StateChunk* chunk) {
  chunk->Clear();
  for (;;) {
    const int size = chunk->Size();
    if (size > kMaxStateBytes) return false;
    chunk->Resize(size + kReadPiece);
    int32 got = 0;
    const tresult result = stream->read(chunk->Data() + size, kReadPiece, &got);
    if (result != kResultOk || got <= 0 || got > kReadPiece) {
      chunk->Resize(size);
      return result == kResultOk || size > 0;
    }
    chunk->Resize(size + got);
  }
}

bool Vst3Plugin::WriteStream(IBStream* stream, const StateChunk& chunk) {
  int done = 0;
  while (done < chunk.Size()) {
    int32 wrote = 0;
    const tresult result =
        stream->write(const_cast<std::uint8_t*>(chunk.Data()) + done, chunk.Size() - done, &wrote);
    if (result != kResultOk || wrote <= 0 || wrote > chunk.Size() - done) return false;
    done += wrote;
  }
  return true;
}

tresult Vst3Plugin::SaveComponent(IBStream* state) {
  if (!state) return kInvalidArgument;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    StateChunk chunk;
    {
      InstanceLock lock(Mutex());
      if (!plugin_->HostSaveState(&chunk)) return kResultFalse;
    }
    return WriteStream(state, chunk) ? kResultOk : kResultFalse;
  } catch (...) {
    return kOutOfMemory;
  }
}

tresult Vst3Plugin::LoadComponent(IBStream* state) {
  if (!state) return kInvalidArgument;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    StateChunk stream;
    if (!ReadStream(state, &stream) || stream.Size() == 0) return kResultFalse;
    InstanceLock lock(Mutex());
    if (plugin_->HostLoadState(&stream)) return kResultOk;
    // State of the VST 2 build: a preset container, or a bare chunk.
    StateChunk chunk;
    int current = -1;
    const ChunkShape shape{plugin_->NParams(), plugin_->NPresets()};
    switch (ExtractVst2Chunk(stream, plugin_->GetUniqueID(), &chunk, &current)) {
      case Vst2StateKind::kBank:
        // The container's current program becomes current, as a VST 2 host
        // selects it after the bank; only for a bank that will load.
        if (EndOfBankChunk(chunk, shape) != chunk.Size()) return kResultFalse;
        if (current >= 0 && current < plugin_->NPresets()) plugin_->HostSelectPreset(current);
        return plugin_->HostImportChunk(&chunk, true) ? kResultOk : kResultFalse;
      case Vst2StateKind::kProgram:
        return plugin_->HostImportChunk(&chunk, false) ? kResultOk : kResultFalse;
      case Vst2StateKind::kNone:
        break;
    }
    if (EndOfBankChunk(stream, shape) == stream.Size())
      return plugin_->HostImportChunk(&stream, true) ? kResultOk : kResultFalse;
    if (EndOfProgramChunk(stream, shape) == stream.Size())
      return plugin_->HostImportChunk(&stream, false) ? kResultOk : kResultFalse;
    return kResultFalse;
  } catch (...) {
    return kOutOfMemory;
  }
}

}  // namespace plug
