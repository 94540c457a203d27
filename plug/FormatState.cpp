#include "plug/FormatState.h"

#include <string>

#include "plug/IPlugBase.h"

namespace plug {

namespace {

// Position after the header when it carries our magic and at least the
// current version, else -1.
int AfterHeader(const StateChunk& chunk) {
  std::int32_t magic = 0, version = 0;
  int position = chunk.ReadInt(&magic, 0);
  if (position < 0 || magic != IPlugBase::kChunkMagic) return -1;
  position = chunk.ReadInt(&version, position);
  return version >= IPlugBase::kChunkVersion ? position : -1;
}

// Position after count doubles, or -1.
int AfterValues(const StateChunk& chunk, int position, int count) {
  double ignored = 0.0;
  for (int i = 0; i < count && position >= 0; ++i) position = chunk.ReadDouble(&ignored, position);
  return position;
}

// Position after a length-prefixed name that lies wholly inside the chunk.
int AfterName(const StateChunk& chunk, int position) {
  std::string ignored;
  position = chunk.ReadString(&ignored, position);
  return position > chunk.Size() ? -1 : position;
}

}  // namespace

int EndOfBankChunk(const StateChunk& chunk, const ChunkShape& shape) {
  int position = AfterHeader(chunk);
  for (int i = 0; i < shape.presetCount && position >= 0; ++i) {
    position = AfterName(chunk, position);
    std::uint8_t initialised = 0;
    position = chunk.ReadByte(&initialised, position);
    if (initialised) position = AfterValues(chunk, position, shape.paramCount);
  }
  return position;
}

int EndOfProgramChunk(const StateChunk& chunk, const ChunkShape& shape) {
  int position = AfterValues(chunk, AfterHeader(chunk), shape.paramCount);
  return position < 0 ? -1 : AfterName(chunk, position);
}

int FormatStatePresetIndex(const StateChunk& chunk, const ChunkShape& shape) {
  const int end = EndOfBankChunk(chunk, shape);
  std::int32_t index = -1;
  if (end < 0 || chunk.ReadInt(&index, end) != chunk.Size()) return -1;
  return index >= 0 && index < shape.presetCount ? index : -1;
}

}  // namespace plug
