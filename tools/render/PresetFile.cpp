#include "tools/render/PresetFile.h"

#include <cstring>

namespace render {

namespace {

constexpr std::uint32_t fourCc(const char (&text)[5]) {
  return (std::uint32_t(std::uint8_t(text[0])) << 24) |
         (std::uint32_t(std::uint8_t(text[1])) << 16) |
         (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

constexpr std::uint32_t kContainer = fourCc("CcnK");
constexpr std::uint32_t kProgramChunk = fourCc("FPCh");
constexpr std::uint32_t kProgramValues = fourCc("FxCk");
constexpr std::uint32_t kBankChunk = fourCc("FBCh");
constexpr std::uint32_t kBankPrograms = fourCc("FxBk");
constexpr int kProgramNameBytes = 28;
constexpr int kBankReservedBytes = 128;
// No real plug-in has more; bounds what a corrupt count could make us allocate.
constexpr std::uint32_t kMaxCount = 100000;

class Writer {
 public:
  void u32(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(std::uint8_t(value >> shift));
  }
  void fixedText(const std::string& text, int size) {
    for (int i = 0; i < size; ++i) {
      bytes.push_back(i < size - 1 && i < static_cast<int>(text.size()) ? std::uint8_t(text[i])
                                                                        : 0);
    }
  }
  void zeros(int count) { bytes.insert(bytes.end(), static_cast<std::size_t>(count), 0); }
  void data(const std::vector<std::uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
  }
  std::vector<std::uint8_t> bytes;
};

class Reader {
 public:
  Reader(const std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end)
      : bytes_(bytes), position_(begin), end_(end) {}
  std::size_t left() const { return end_ - position_; }
  std::size_t position() const { return position_; }
  bool u32(std::uint32_t* value) {
    if (left() < 4) return false;
    *value = 0;
    for (int i = 0; i < 4; ++i) *value = (*value << 8) | bytes_[position_++];
    return true;
  }
  bool fixedText(int size, std::string* text) {
    if (left() < static_cast<std::size_t>(size)) return false;
    const char* start = reinterpret_cast<const char*>(&bytes_[position_]);
    std::size_t length = 0;
    while (length < static_cast<std::size_t>(size) && start[length] != '\0') ++length;
    text->assign(start, length);
    position_ += static_cast<std::size_t>(size);
    return true;
  }
  bool skip(std::size_t count) {
    if (left() < count) return false;
    position_ += count;
    return true;
  }
  bool data(std::size_t count, std::vector<std::uint8_t>* out) {
    if (left() < count) return false;
    out->assign(bytes_.begin() + static_cast<std::ptrdiff_t>(position_),
                bytes_.begin() + static_cast<std::ptrdiff_t>(position_ + count));
    position_ += count;
    return true;
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t position_;
  std::size_t end_;
};

float floatFromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Reads one container header at the reader's position and steps over the
// container; its declared size must fit in what is left. The body (after the
// size field) is [*bodyBegin, *bodyEnd) and starts with the kind.
bool readContainer(Reader* reader, std::size_t* bodyBegin, std::size_t* bodyEnd,
                   std::string* errorText) {
  std::uint32_t magic = 0, size = 0;
  if (!reader->u32(&magic) || magic != kContainer) {
    *errorText = "not a VST preset file (no 'CcnK' header)";
    return false;
  }
  if (!reader->u32(&size) || size > reader->left() || size < 4) {
    *errorText = "preset file is truncated (its size field says more than it holds)";
    return false;
  }
  *bodyBegin = reader->position();
  *bodyEnd = *bodyBegin + size;
  reader->skip(size);
  return true;
}

bool readProgramValues(Reader* reader, PresetValues* program, std::int32_t* id,
                       std::int32_t* version, std::uint32_t* count, std::string* errorText) {
  std::uint32_t formatVersion = 0, uid = 0, fxVersion = 0;
  if (!reader->u32(&formatVersion) || !reader->u32(&uid) || !reader->u32(&fxVersion) ||
      !reader->u32(count) || !reader->fixedText(kProgramNameBytes, &program->name)) {
    *errorText = "preset file is truncated in its program header";
    return false;
  }
  if (*count > kMaxCount || static_cast<std::size_t>(*count) * 4 > reader->left()) {
    *errorText = "preset file is truncated in its parameter values";
    return false;
  }
  program->values.resize(*count);
  for (std::uint32_t i = 0; i < *count; ++i) {
    std::uint32_t bits = 0;
    reader->u32(&bits);
    program->values[i] = floatFromBits(bits);
  }
  *id = static_cast<std::int32_t>(uid);
  *version = static_cast<std::int32_t>(fxVersion);
  return true;
}

}  // namespace

std::string fourCharText(std::int32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF);
    text += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

std::vector<std::uint8_t> PresetFile::encode() const {
  Writer body;
  const bool bank = kind == PresetKind::kBank;
  body.u32(bank ? kBankChunk : kProgramChunk);
  body.u32(bank ? 2 : 1);
  body.u32(static_cast<std::uint32_t>(pluginId));
  body.u32(static_cast<std::uint32_t>(pluginVersion));
  body.u32(static_cast<std::uint32_t>(count));
  if (bank) {
    body.u32(static_cast<std::uint32_t>(currentProgram < 0 ? 0 : currentProgram));
    body.zeros(kBankReservedBytes - 4);
  } else {
    body.fixedText(programName, kProgramNameBytes);
  }
  body.u32(static_cast<std::uint32_t>(chunk.size()));
  body.data(chunk);

  Writer file;
  file.u32(kContainer);
  file.u32(static_cast<std::uint32_t>(body.bytes.size()));
  file.data(body.bytes);
  return file.bytes;
}

bool PresetFile::decode(const std::vector<std::uint8_t>& bytes, PresetFile* file,
                        std::string* errorText) {
  Reader whole(bytes, 0, bytes.size());
  std::size_t bodyBegin = 0, bodyEnd = 0;
  if (!readContainer(&whole, &bodyBegin, &bodyEnd, errorText)) return false;
  // Nothing below reads past the container's declared end.
  Reader reader(bytes, bodyBegin, bodyEnd);
  std::uint32_t kind = 0;
  reader.u32(&kind);

  PresetFile result;
  std::uint32_t formatVersion = 0, uid = 0, fxVersion = 0, count = 0;
  if (kind == kProgramChunk || kind == kBankChunk) {
    result.kind = kind == kProgramChunk ? PresetKind::kProgram : PresetKind::kBank;
    result.isChunk = true;
    if (!reader.u32(&formatVersion) || !reader.u32(&uid) || !reader.u32(&fxVersion) ||
        !reader.u32(&count)) {
      *errorText = "preset file is truncated in its header";
      return false;
    }
    if (result.kind == PresetKind::kProgram) {
      if (!reader.fixedText(kProgramNameBytes, &result.programName)) {
        *errorText = "preset file is truncated in its header";
        return false;
      }
    } else {
      std::uint32_t current = 0;
      if (!reader.u32(&current) || !reader.skip(kBankReservedBytes - 4)) {
        *errorText = "preset file is truncated in its header";
        return false;
      }
      result.currentProgram = formatVersion >= 2 ? static_cast<std::int32_t>(current) : -1;
    }
    std::uint32_t chunkSize = 0;
    if (!reader.u32(&chunkSize) || chunkSize > reader.left()) {
      *errorText = "preset file is truncated (its chunk size says more than it holds)";
      return false;
    }
    reader.data(chunkSize, &result.chunk);
  } else if (kind == kProgramValues) {
    result.kind = PresetKind::kProgram;
    result.isChunk = false;
    PresetValues program;
    std::int32_t id = 0, version = 0;
    if (!readProgramValues(&reader, &program, &id, &version, &count, errorText)) return false;
    uid = static_cast<std::uint32_t>(id);
    fxVersion = static_cast<std::uint32_t>(version);
    result.programName = program.name;
    result.programs.push_back(program);
  } else if (kind == kBankPrograms) {
    result.kind = PresetKind::kBank;
    result.isChunk = false;
    std::uint32_t current = 0;
    if (!reader.u32(&formatVersion) || !reader.u32(&uid) || !reader.u32(&fxVersion) ||
        !reader.u32(&count) || !reader.u32(&current) || !reader.skip(kBankReservedBytes - 4)) {
      *errorText = "preset file is truncated in its header";
      return false;
    }
    if (count > kMaxCount) {
      *errorText = "preset bank with an impossible program count";
      return false;
    }
    result.currentProgram = formatVersion >= 2 ? static_cast<std::int32_t>(current) : -1;
    for (std::uint32_t p = 0; p < count; ++p) {
      std::size_t innerBegin = 0, innerEnd = 0;
      std::uint32_t innerKind = 0;
      if (!readContainer(&reader, &innerBegin, &innerEnd, errorText)) {
        *errorText = "program " + std::to_string(p + 1) + " of the bank is truncated or corrupt";
        return false;
      }
      Reader programReader(bytes, innerBegin, innerEnd);
      if (!programReader.u32(&innerKind) || innerKind != kProgramValues) {
        *errorText = "program " + std::to_string(p + 1) + " of the bank is not a value program";
        return false;
      }
      PresetValues program;
      std::int32_t id = 0, version = 0;
      std::uint32_t values = 0;
      if (!readProgramValues(&programReader, &program, &id, &version, &values, errorText)) {
        return false;
      }
      result.programs.push_back(program);
    }
  } else {
    *errorText = "unknown preset file type '" + fourCharText(static_cast<std::int32_t>(kind)) + "'";
    return false;
  }
  result.pluginId = static_cast<std::int32_t>(uid);
  result.pluginVersion = static_cast<std::int32_t>(fxVersion);
  result.count = static_cast<std::int32_t>(count);
  *file = result;
  return true;
}

}  // namespace render
