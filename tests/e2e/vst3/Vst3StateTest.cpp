// The component state: round trips in any piece size, hostile and cut
// streams refused with nothing changed, and VST 2 state imported as the
// VST 2 build loads it.
#include <cstring>

#include "tests/e2e/vst3/Vst3Fixture.h"

namespace e2e {
namespace {

using namespace vst3;

// A VST 2 preset container (.fxp / .fxb chunk form) around a chunk; a bank
// names its current program.
std::vector<std::uint8_t> Container(bool bank, const std::vector<std::uint8_t>& chunk,
                                    int currentProgram = 0) {
  const std::size_t header = bank ? 156 : 56;
  std::vector<std::uint8_t> out(header + 4 + chunk.size(), 0);
  auto put = [&out](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  std::memcpy(out.data(), "CcnK", 4);
  put(4, static_cast<std::uint32_t>(out.size() - 8));
  std::memcpy(out.data() + 8, bank ? "FBCh" : "FPCh", 4);
  put(12, bank ? 2 : 1);
  std::memcpy(out.data() + 16, "vmQL", 4);
  put(20, 10102);
  put(24, bank ? 10 : 29);
  if (bank) put(28, static_cast<std::uint32_t>(currentProgram));
  put(header, static_cast<std::uint32_t>(chunk.size()));
  std::memcpy(out.data() + header + 4, chunk.data(), chunk.size());
  return out;
}

TEST_F(Vst3Fixture, StateRoundTripsInAnyPieceSize) {
  IEditController* c = instance_.controller();
  c->setParamNormalized(kProgramParam, 3 / 9.0);
  c->setParamNormalized(1, 0.25);
  c->setParamNormalized(5, 0.8);
  const std::vector<std::uint8_t> saved = instance_.componentState();
  ASSERT_FALSE(saved.empty());
  const std::vector<double> expected = values(instance_);
  for (int piece : {0, 1, 3, 5, 4096}) {
    std::unique_ptr<vst3host::Vst3Instance> other = another();
    ASSERT_EQ(other->setComponentState(saved, piece), kResultOk) << piece;
    EXPECT_EQ(values(*other), expected) << piece;
    EXPECT_NEAR(other->controller()->getParamNormalized(kProgramParam), 3 / 9.0, 1e-12);
    // And it saves the same bytes again.
    EXPECT_EQ(other->componentState(), saved);
  }
  // The controller's own state is empty and accepted back.
  vst3host::MemoryStream stream;
  EXPECT_EQ(c->getState(&stream), kResultOk);
  EXPECT_TRUE(stream.bytes().empty());
  EXPECT_EQ(c->setState(&stream), kResultOk);
}

TEST_F(Vst3Fixture, CutOrHostileStreamsChangeNothing) {
  instance_.controller()->setParamNormalized(2, 0.6);
  const std::vector<std::uint8_t> good = instance_.componentState();
  std::unique_ptr<vst3host::Vst3Instance> other = another();
  other->controller()->setParamNormalized(kProgramParam, 7 / 9.0);
  other->controller()->setParamNormalized(1, 0.125);
  const std::vector<std::uint8_t> before = other->componentState();
  // Every cut of a good state, and a few kinds of garbage.
  for (std::size_t n = 0; n < good.size(); n += (n < 64 ? 1 : 37)) {
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    EXPECT_NE(other->setComponentState(cut), kResultOk) << n;
  }
  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_NE(other->setComponentState(longer), kResultOk);
  std::vector<std::uint8_t> badIndex = good;
  badIndex[badIndex.size() - 4] = 10;  // the current program's index, little-endian
  EXPECT_NE(other->setComponentState(badIndex), kResultOk);
  std::vector<std::uint8_t> garbage(5000, 0xFF);
  EXPECT_NE(other->setComponentState(garbage), kResultOk);
  std::vector<std::uint8_t> cutContainer = Container(true, good);
  cutContainer.resize(cutContainer.size() - 10);
  EXPECT_NE(other->setComponentState(cutContainer), kResultOk);
  EXPECT_EQ(other->componentState(), before);
  EXPECT_EQ(other->component()->setState(nullptr), kInvalidArgument);
}

// Real chunks of the VST 2 build, as hosts hand them over when the VST 3
// build replaces it: in a preset container or bare.
TEST_F(Vst3Fixture, Vst2ProgramAndBankChunksImportAsTheVst2BuildLoadsThem) {
  openVst2();
  vst2_.dispatch(vst::effSetProgram, 0, 6);
  vst2_.setParameter(1, 0.3f);
  vst2_.setParameter(4, 0.9f);
  std::vector<std::uint8_t> bank, program;
  ASSERT_GT(vst2_.getChunk(vsthost::ChunkKind::kBank, &bank), 0);
  ASSERT_GT(vst2_.getChunk(vsthost::ChunkKind::kProgram, &program), 0);
  std::vector<double> expected;
  for (int i = 0; i < kVst3Params; ++i) expected.push_back(vst2_.getParameter(i));

  // What the VST 2 build makes of the bare bank: the receiving instance's
  // current program (0) from it.
  vst2_.unload();
  openVst2();
  ASSERT_NE(vst2_.setChunk(vsthost::ChunkKind::kBank, bank), 0);
  std::vector<double> bareBank;
  for (int i = 0; i < kVst3Params; ++i) bareBank.push_back(vst2_.getParameter(i));

  auto expectValues = [](const std::vector<double>& got, const std::vector<double>& want,
                         const char* what) {
    for (std::size_t i = 0; i < want.size(); ++i)
      EXPECT_FLOAT_EQ(static_cast<float>(got[i]), static_cast<float>(want[i])) << what << " " << i;
  };
  std::unique_ptr<vst3host::Vst3Instance> v3 = another();
  ASSERT_EQ(v3->setComponentState(Container(true, bank, 6)), kResultOk);
  expectValues(values(*v3), expected, "bank in a container");
  EXPECT_NEAR(v3->controller()->getParamNormalized(kProgramParam), 6 / 9.0, 1e-12);
  v3 = another();
  ASSERT_EQ(v3->setComponentState(bank), kResultOk);
  expectValues(values(*v3), bareBank, "bare bank");
  for (bool wrapped : {true, false}) {
    v3 = another();
    ASSERT_EQ(v3->setComponentState(wrapped ? Container(false, program) : program), kResultOk);
    expectValues(values(*v3), expected, wrapped ? "program in a container" : "bare program");
  }
  // A bank cut short is refused whole, even though VST 2 would keep a part.
  std::unique_ptr<vst3host::Vst3Instance> other = another();
  const std::vector<std::uint8_t> before = other->componentState();
  std::vector<std::uint8_t> cut(bank.begin(), bank.end() - 9);
  EXPECT_NE(other->setComponentState(cut), kResultOk);
  EXPECT_EQ(other->componentState(), before);
}

}  // namespace
}  // namespace e2e
