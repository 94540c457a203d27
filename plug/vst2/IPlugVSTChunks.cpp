// effGetChunk and effSetChunk: the plug-in's state as program and bank chunks
// (layouts in plug/IPlugBasePresets.cpp), and the quirk hosts that get
// programs only. The buffers stay owned by the binding; the host's pointer is
// valid until its next chunk request.
#include <cstdint>
#include <cstring>
#include <vector>

#include "plug/vst2/IPlugVST.h"

namespace plug {

namespace {

// No chunk this plug-in writes comes near this size (a bank is a few
// kilobytes); larger sizes are corrupt and are not copied.
constexpr vst::intptr kMaxChunkBytes = 16 * 1024 * 1024;

}  // namespace

vst::intptr IPlugVST::GetChunk(void** data, bool isBank) {
  // Hosts that mishandle banks always get a program.
  if (isBank && IsChunkQuirkHost()) isBank = false;
  StateChunk& chunk = isBank ? bankChunk_ : programChunk_;
  if (!plugin_->HostSaveChunk(&chunk, isBank)) return 0;
  *data = chunk.Data();
  return chunk.Size();
}

vst::intptr IPlugVST::SetChunk(const void* data, vst::intptr size, bool isBank) {
  const bool quirk = IsChunkQuirkHost();
  if (quirk) isBank = false;
  // An empty, negative or absurd size has nothing we could read.
  if (size <= 0 || size > kMaxChunkBytes) return 0;
  const int bytes = static_cast<int>(size);
  // Hosts often hand back the very buffer effGetChunk gave them, which the
  // resize below may free: copy the data out first.
  const std::uint8_t* src = static_cast<const std::uint8_t*>(data);
  const std::vector<std::uint8_t> copy(src, src + bytes);
  StateChunk& chunk = isBank ? bankChunk_ : programChunk_;
  chunk.Resize(bytes);
  std::memcpy(chunk.Data(), copy.data(), copy.size());
  int position = plugin_->HostLoadChunk(&chunk, isBank);

  if (quirk && position != bytes) {
    // Such hosts hand back banks where programs are expected: when the data
    // was not exactly one program, read it again as a bank. Only a bank that
    // was really read counts as success.
    bankChunk_.Resize(bytes);
    std::memcpy(bankChunk_.Data(), copy.data(), copy.size());
    int bankPosition = 0;
    position = IPlugBase::ReadChunkHeader(&bankChunk_, &bankPosition) >= IPlugBase::kChunkVersion
                   ? plugin_->HostLoadChunk(&bankChunk_, true)
                   : -1;
  }
  if (position < 0) return 0;
  plugin_->HostRefreshControls();
  return 1;
}

}  // namespace plug
