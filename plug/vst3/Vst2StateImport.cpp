#include "plug/vst3/Vst2StateImport.h"

#include <cstring>

namespace plug {

namespace {

constexpr std::uint32_t FourCc(const char* c) {
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(c[0])) << 24) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(c[1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(c[2])) << 8) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c[3]));
}

constexpr int kProgramChunkOffset = 56;
constexpr int kBankChunkOffset = 156;

std::uint32_t BigEndianAt(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

}  // namespace

Vst2StateKind ExtractVst2Chunk(const StateChunk& stream, std::int32_t uniqueId, StateChunk* chunk,
                               int* currentProgram) {
  *currentProgram = -1;
  const std::uint8_t* p = stream.Data();
  const int size = stream.Size();
  if (size < kProgramChunkOffset + 4 || BigEndianAt(p) != FourCc("CcnK"))
    return Vst2StateKind::kNone;
  // The container's own size must be that of the data.
  if (BigEndianAt(p + 4) != static_cast<std::uint32_t>(size - 8)) return Vst2StateKind::kNone;
  if (BigEndianAt(p + 16) != static_cast<std::uint32_t>(uniqueId)) return Vst2StateKind::kNone;
  const std::uint32_t form = BigEndianAt(p + 8);
  int offset;
  Vst2StateKind kind;
  if (form == FourCc("FPCh")) {
    offset = kProgramChunkOffset;
    kind = Vst2StateKind::kProgram;
  } else if (form == FourCc("FBCh")) {
    offset = kBankChunkOffset;
    kind = Vst2StateKind::kBank;
  } else {
    return Vst2StateKind::kNone;
  }
  if (size < offset + 4) return Vst2StateKind::kNone;
  const std::uint32_t bytes = BigEndianAt(p + offset);
  if (bytes != static_cast<std::uint32_t>(size - offset - 4)) return Vst2StateKind::kNone;
  if (kind == Vst2StateKind::kBank && BigEndianAt(p + 12) >= 2) {
    const std::uint32_t current = BigEndianAt(p + 28);
    if (current < 0x7FFFFFFF) *currentProgram = static_cast<int>(current);
  }
  chunk->Resize(static_cast<int>(bytes));
  if (bytes > 0) std::memcpy(chunk->Data(), p + offset + 4, bytes);
  return kind;
}

}  // namespace plug
