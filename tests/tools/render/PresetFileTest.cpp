#include <gtest/gtest.h>

#include <cstring>

#include "tools/render/PresetFile.h"

namespace {

using render::PresetFile;
using render::PresetKind;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t bigEndianAt(const Bytes& bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

void putBigEndian(Bytes* bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes->push_back(std::uint8_t(value >> shift));
}

PresetFile programFile() {
  PresetFile file;
  file.kind = PresetKind::kProgram;
  file.pluginId = 0x51756C74;  // 'Qult'
  file.pluginVersion = 1102;
  file.count = 29;
  file.programName = "Slap Back";
  file.chunk = {1, 2, 3, 4, 5, 6, 7};
  return file;
}

TEST(PresetFile, WritesAProgramInTheConventionalChunkLayout) {
  const Bytes bytes = programFile().encode();
  ASSERT_EQ(bytes.size(), 60u + 7u);
  EXPECT_EQ(std::memcmp(bytes.data(), "CcnK", 4), 0);
  EXPECT_EQ(bigEndianAt(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "FPCh", 4), 0);
  EXPECT_EQ(bigEndianAt(bytes, 12), 1u);
  EXPECT_EQ(std::memcmp(bytes.data() + 16, "Qult", 4), 0);
  EXPECT_EQ(bigEndianAt(bytes, 20), 1102u);
  EXPECT_EQ(bigEndianAt(bytes, 24), 29u);
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 28), "Slap Back");
  EXPECT_EQ(bigEndianAt(bytes, 56), 7u);
  EXPECT_EQ(bytes[60], 1);
  EXPECT_EQ(bytes.back(), 7);
}

TEST(PresetFile, CutsALongProgramNameToTwentySevenCharacters) {
  PresetFile file = programFile();
  file.programName = std::string(40, 'x');
  PresetFile back;
  std::string error;
  ASSERT_TRUE(PresetFile::decode(file.encode(), &back, &error)) << error;
  EXPECT_EQ(back.programName, std::string(27, 'x'));
}

TEST(PresetFile, ReadsBackWhatItWrites) {
  PresetFile bank = programFile();
  bank.kind = PresetKind::kBank;
  bank.count = 10;
  bank.currentProgram = 8;
  const Bytes bytes = bank.encode();
  ASSERT_EQ(bytes.size(), 160u + 7u);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "FBCh", 4), 0);
  EXPECT_EQ(bigEndianAt(bytes, 12), 2u);
  EXPECT_EQ(bigEndianAt(bytes, 28), 8u);
  for (PresetFile original : {programFile(), bank}) {
    PresetFile back;
    std::string error;
    ASSERT_TRUE(PresetFile::decode(original.encode(), &back, &error)) << error;
    EXPECT_EQ(back.kind, original.kind);
    EXPECT_TRUE(back.isChunk);
    EXPECT_EQ(back.pluginId, original.pluginId);
    EXPECT_EQ(back.pluginVersion, original.pluginVersion);
    EXPECT_EQ(back.count, original.count);
    EXPECT_EQ(back.chunk, original.chunk);
    if (original.kind == PresetKind::kProgram) {
      EXPECT_EQ(back.programName, "Slap Back");
    } else {
      EXPECT_EQ(back.currentProgram, 8);
    }
  }
}

// The value forms other hosts write for plug-ins without chunks.
Bytes valueProgram(const char* name, std::initializer_list<float> values) {
  Bytes body;
  body.insert(body.end(), {'F', 'x', 'C', 'k'});
  putBigEndian(&body, 1);
  body.insert(body.end(), {'Q', 'u', 'l', 't'});
  putBigEndian(&body, 1);
  putBigEndian(&body, static_cast<std::uint32_t>(values.size()));
  char nameField[28] = {};
  std::strncpy(nameField, name, 27);
  body.insert(body.end(), nameField, nameField + 28);
  for (float value : values) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putBigEndian(&body, bits);
  }
  Bytes file = {'C', 'c', 'n', 'K'};
  putBigEndian(&file, static_cast<std::uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

TEST(PresetFile, ReadsTheValueFormsOfProgramsAndBanks) {
  PresetFile program;
  std::string error;
  ASSERT_TRUE(PresetFile::decode(valueProgram("one", {0.25f, 1.0f}), &program, &error)) << error;
  EXPECT_FALSE(program.isChunk);
  EXPECT_EQ(program.programName, "one");
  ASSERT_EQ(program.programs.size(), 1u);
  EXPECT_EQ(program.programs[0].values, (std::vector<float>{0.25f, 1.0f}));

  Bytes body = {'F', 'x', 'B', 'k'};
  putBigEndian(&body, 2);
  body.insert(body.end(), {'Q', 'u', 'l', 't'});
  putBigEndian(&body, 1);
  putBigEndian(&body, 2);  // programs
  putBigEndian(&body, 1);  // current
  body.resize(body.size() + 124, 0);
  for (const Bytes& p : {valueProgram("a", {0.5f}), valueProgram("b", {0.75f})}) {
    body.insert(body.end(), p.begin(), p.end());
  }
  Bytes bank = {'C', 'c', 'n', 'K'};
  putBigEndian(&bank, static_cast<std::uint32_t>(body.size()));
  bank.insert(bank.end(), body.begin(), body.end());
  PresetFile decoded;
  ASSERT_TRUE(PresetFile::decode(bank, &decoded, &error)) << error;
  EXPECT_EQ(decoded.kind, PresetKind::kBank);
  EXPECT_EQ(decoded.currentProgram, 1);
  ASSERT_EQ(decoded.programs.size(), 2u);
  EXPECT_EQ(decoded.programs[1].name, "b");
  EXPECT_EQ(decoded.programs[1].values, (std::vector<float>{0.75f}));
}

TEST(PresetFile, RefusesEveryTruncationAndLyingSizes) {
  for (const Bytes& whole : {programFile().encode(), valueProgram("v", {0.5f, 0.5f})}) {
    for (std::size_t size = 0; size < whole.size(); ++size) {
      PresetFile file;
      std::string error;
      EXPECT_FALSE(PresetFile::decode(Bytes(whole.begin(), whole.begin() + size), &file, &error))
          << "cut at " << size;
      EXPECT_FALSE(error.empty());
    }
  }
  // A chunk size larger than the data, with the container size made to match.
  Bytes lying = programFile().encode();
  lying[59] = 200;
  PresetFile file;
  std::string error;
  EXPECT_FALSE(PresetFile::decode(lying, &file, &error));
  EXPECT_NE(error.find("chunk size"), std::string::npos) << error;
  // An absurd parameter count in a value program.
  Bytes huge = valueProgram("v", {0.5f});
  huge[24] = 0x7F;
  EXPECT_FALSE(PresetFile::decode(huge, &file, &error));
  // Something else entirely.
  Bytes riff = {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'};
  EXPECT_FALSE(PresetFile::decode(riff, &file, &error));
  EXPECT_NE(error.find("CcnK"), std::string::npos) << error;
}

}  // namespace
