// The identity the VST 3 build promises forever, the byte order of
// identifiers, the texts crossing the interface and the recognition of VST 2
// state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plug/FourCharCode.h"
#include "plug/vst3/Vst2StateImport.h"
#include "plug/vst3/Vst3Ids.h"
#include "plug/vst3/Vst3Interfaces.h"
#include "plug/vst3/Vst3Text.h"

namespace {

using plug::vst3ids::kClassId;
const std::int32_t kVmql = plug::FourCharCode('v', 'm', 'Q', 'L');

TEST(Vst3Ids, ClassIdFollowsTheVst2ReplacementRule) {
  const vst3::Uid derived = plug::vst3ids::DeriveVst2ClassId(kVmql, "Quillet");
  char text[33], expected[33];
  vst3::UidToText(derived, text);
  vst3::UidToText(kClassId, expected);
  EXPECT_STREQ(text, expected);
  // "VST", kVmql, "quillet" lower case, zero-padded to nine bytes.
  EXPECT_STREQ(expected, "565354766D514C7175696C6C65740000");
  // Names longer than nine bytes are cut, upper case is lowered.
  vst3::UidToText(
      plug::vst3ids::DeriveVst2ClassId(plug::FourCharCode('a', 'b', 'c', 'd'), "GranularXYZ"),
      text);
  EXPECT_STREQ(text, "565354616263646772616E756C617278");
}

TEST(Vst3Ids, IdentifierBytesFollowThePlatformOrder) {
  char bytes[16];
  vst3::UidToBytes(vst3::iid::kComponent, bytes);
#if defined(_WIN32)
  const unsigned char expected[16] = {0x31, 0xFF, 0x31, 0xE8, 0xD5, 0xF2, 0x01, 0x43,
                                      0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
#else
  const unsigned char expected[16] = {0xE8, 0x31, 0xFF, 0x31, 0xF2, 0xD5, 0x43, 0x01,
                                      0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
#endif
  EXPECT_EQ(std::memcmp(bytes, expected, 16), 0);
  EXPECT_TRUE(vst3::UidEquals(bytes, vst3::iid::kComponent));
  EXPECT_FALSE(vst3::UidEquals(bytes, vst3::iid::kEditController));
  EXPECT_FALSE(vst3::UidEquals(nullptr, vst3::iid::kComponent));
}

TEST(Vst3Ids, EveryControllerUpTo119AndTheNoteOffsHaveAHiddenParameter) {
  for (int cc = 0; cc < 128; ++cc)
    EXPECT_EQ(plug::vst3ids::IsMappedController(cc), cc <= 120 || cc == 123) << cc;
  int mapped = 0;
  for (int i = 0; i < plug::vst3ids::kMappedControllerCount; ++i)
    mapped += plug::vst3ids::IsMappedController(plug::vst3ids::MappedController(i)) ? 1 : 0;
  EXPECT_EQ(mapped, plug::vst3ids::kMappedControllerCount);
  EXPECT_EQ(plug::vst3ids::MappedController(121), 123);
}

TEST(Vst3Text, ConvertsBothWaysBoundedAndTerminated) {
  vst3::char16 wide[8];
  plug::CopyToUtf16(wide, "Grain \xC3\xA9t\xC3\xA9 long text", 8);
  EXPECT_EQ(wide[6], 0xE9);
  EXPECT_EQ(wide[7], 0);
  char narrow[6];
  plug::CopyFromUtf16(narrow, wide, 8, sizeof narrow);
  // Cut at a whole character: "Grain " is 6 bytes, the terminator needs one.
  EXPECT_STREQ(narrow, "Grain");
  const vst3::char16 unterminated[3] = {u'a', u'b', u'c'};
  char out[16];
  plug::CopyFromUtf16(out, unterminated, 3, sizeof out);
  EXPECT_STREQ(out, "abc");
  plug::CopyFromUtf16(out, nullptr, 3, sizeof out);
  EXPECT_STREQ(out, "");
}

// A VST 2 preset container around payload, all numbers big-endian.
plug::StateChunk Container(const char* form, std::int32_t id, const std::string& payload,
                           int sizeAdjust = 0) {
  const bool bank = std::strcmp(form, "FBCh") == 0;
  const int header = bank ? 156 : 56;
  plug::StateChunk c;
  c.Resize(header + 4 + static_cast<int>(payload.size()));
  std::uint8_t* p = c.Data();
  auto put = [](std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  std::memcpy(p, "CcnK", 4);
  put(p + 4, static_cast<std::uint32_t>(c.Size() - 8));
  std::memcpy(p + 8, form, 4);
  put(p + 12, bank ? 2 : 1);
  put(p + 16, static_cast<std::uint32_t>(id));
  if (bank) put(p + 28, 3);
  put(p + header, static_cast<std::uint32_t>(payload.size() + sizeAdjust));
  std::memcpy(p + header + 4, payload.data(), payload.size());
  return c;
}

TEST(Vst2StateImport, FindsTheChunkOfOurProgramsAndBanksOnly) {
  plug::StateChunk chunk;
  int current = 0;
  EXPECT_EQ(plug::ExtractVst2Chunk(Container("FPCh", kVmql, "program"), kVmql, &chunk, &current),
            plug::Vst2StateKind::kProgram);
  EXPECT_EQ(std::string(chunk.Data(), chunk.Data() + chunk.Size()), "program");
  EXPECT_EQ(plug::ExtractVst2Chunk(Container("FBCh", kVmql, "bank"), kVmql, &chunk, &current),
            plug::Vst2StateKind::kBank);
  EXPECT_EQ(std::string(chunk.Data(), chunk.Data() + chunk.Size()), "bank");
  EXPECT_EQ(current, 3);
  // Another plug-in's, a value form, sizes that disagree with the data, a cut.
  EXPECT_EQ(
      plug::ExtractVst2Chunk(Container("FBCh", plug::FourCharCode('x', 'x', 'x', 'x'), "bank"),
                             kVmql, &chunk, &current),
      plug::Vst2StateKind::kNone);
  EXPECT_EQ(plug::ExtractVst2Chunk(Container("FxCk", kVmql, "vals"), kVmql, &chunk, &current),
            plug::Vst2StateKind::kNone);
  EXPECT_EQ(plug::ExtractVst2Chunk(Container("FPCh", kVmql, "program", 1), kVmql, &chunk, &current),
            plug::Vst2StateKind::kNone);
  plug::StateChunk cut = Container("FBCh", kVmql, "bank");
  cut.Resize(cut.Size() - 1);
  EXPECT_EQ(plug::ExtractVst2Chunk(cut, kVmql, &chunk, &current), plug::Vst2StateKind::kNone);
  cut.Resize(20);
  EXPECT_EQ(plug::ExtractVst2Chunk(cut, kVmql, &chunk, &current), plug::Vst2StateKind::kNone);
}

}  // namespace
