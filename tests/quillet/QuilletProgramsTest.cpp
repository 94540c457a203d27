// Quillet's ten factory programs, every value, as the product's documentation
// lists them: one column per program, one line per parameter.
#include "QuilletFixture.h"

namespace {

using quillet_test::QuilletTest;
using QuilletPrograms = QuilletTest;

const char* const kNames[Quillet::kPresetCount] = {
    "default",        "Sync 2 Host",      "Frequency", "MIDI Standard", "MIDI Synced",
    "Ring Modulator", "Synced Reversals", "Sequenced", "Slap Back",     "Strange Mix"};

// Enumerations by value index: Grain Mode M.SEC 0, SYNC 1, FREQ 2, MIDI 3;
// note lengths 1/16 4, 1/8 7, 1/4T 8, 1/4 10; off 0, on 1.
// clang-format off
const double kValues[quillet::kUsedParamCount][Quillet::kPresetCount] = {
  //  0     1     2     3     4     5     6     7     8     9
  {   1,    1,    1,    1,    1,    1,    1,    1,    1,    1},     // Volume
  {   1,    1,    1,    1,    1,    1,    1,    1,    0.7,  0.5},   // Mix
  {   0,    1,    2,    3,    3,    0,    1,    2,    1,    0},     // Grain Mode
  {  20,   20,   20,   20,   20, 2000,   20,   20,   20,   60},     // Grain Length
  {  10,    4,   10,   10,   10,   10,    4,   10,    8,   10},     // Grain Sync
  { 110,  110,  110,  110,  110,  110,  110,  110,  110,  110},     // Grain Frequency
  {   0,    0,    0,    0,    0,    0,    0,   33,   33,   50},     // Grain Overlap
  {   0,    0,    0.2,  0.2,  0.2,  0,    0,    0.2,  0,    0.2},   // Grain Fade-In
  {   0,    0,    0,    0,    0,    0,   -1,    0,    0,    0},     // Grain Skew
  {   0,    0,    0.2,  0.2,  0.2,  0,    0.5,  0.2,  0,    0.2},   // Grain Fade-Out
  { 160,  160,   50,   50,   50,    3,  160,  160,  160,  160},     // Frame Length
  {  10,   10,   10,   10,    4,   10,   10,    4,    7,   10},     // Frame Sync
  {   0,    1,    0,    0,    1,    0,    1,    1,    1,    0},     // Frame Sync to Host
  {   0,    0,   50,   50,   50,    0,   50,    0,   50,   50},     // Frame Overlap
  {   0,    0,    0,    0,    0,    0.5,  0.5,  0,    0,    0},     // Frame Fade-In
  {   0,    0,    0,    0,    0,    0,    0.4, -1,   -1,    0},     // Frame Skew
  {   0,    0,    0,    0,    0,    0.5,  0,    0.5,  0.7,  0},     // Frame Fade-Out
  {   4,    4,    4,    4,    4,    4,    4,    4,    4,    4},     // MIDI Polyphony
  {   0,    0,    0,    0,    0,    0,    0,    0,    0,    0},     // MIDI Attack
  {   0,    0,    0,    0,    0,    0,    0,    0,    0,    0},     // MIDI Decay
  {   1,    1,    1,    1,    1,    1,    1,    1,    1,    1},     // MIDI Sustain
  {   0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05},  // MIDI Release
};
// clang-format on

}  // namespace

TEST_F(QuilletPrograms, EveryValueOfEveryFactoryProgram) {
  ASSERT_EQ(plug_->NPresets(), Quillet::kPresetCount);
  for (int program = 0; program < Quillet::kPresetCount; ++program) {
    SCOPED_TRACE(testing::Message() << "program " << program << " (" << kNames[program] << ")");
    EXPECT_TRUE(plug_->GetPreset(program)->initialised);
    EXPECT_STREQ(plug_->GetPresetName(program), kNames[program]);
    ASSERT_TRUE(plug_->RestorePreset(program));
    for (int i = 0; i < Quillet::kParamCount; ++i) {
      const double expected = i < quillet::kUsedParamCount ? kValues[i][program] : 0.0;
      EXPECT_EQ(plug_->GetParam(i)->Value(), expected)
          << plug_->GetParam(i)->Name() << " (" << i << ")";
    }
  }
}

TEST_F(QuilletPrograms, TheDefaultProgramIsCurrentAtStartAndReachesTheEngine) {
  EXPECT_EQ(plug_->GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug_->Engine().Mode(), quillet::GrainMode::kMilliseconds);
  EXPECT_EQ(plug_->Engine().GetFrame(0).PeriodSamples(), 7056);  // 160 ms at 44.1 kHz
}
