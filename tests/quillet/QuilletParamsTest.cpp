// Quillet's parameter table, row by row, as the product's documentation lists
// it: any wrong name, kind, range, default, step, shape, label, value text or
// display fails here.
#include <clocale>
#include <string>
#include <utility>
#include <vector>

#include "QuilletFixture.h"

namespace {

using plug::ParamKind;
using quillet_test::QuilletTest;
using QuilletParams = QuilletTest;

const std::vector<const char*> kModeTexts = {"M.SEC", "SYNC", "FREQ", "MIDI"};
const std::vector<const char*> kSyncTexts = {
    "1/64", "1/32", "1/16T", "1/32.", "1/16", "1/8T", "1/16.", "1/8", "1/4T", "1/8.",
    "1/4",  "1/2T", "1/4.",  "1/2",   "1/2.", "1/1",  "1/1.",  "2/1", "2/1.", "4/1"};
const std::vector<const char*> kSwitchTexts = {"off", "on"};

struct Row {
  const char* name;
  ParamKind kind;
  double min, max, defaultValue, step, shape;
  const char* label;
  std::vector<const char*> valueTexts;                   // for values 0, 1, 2, ...
  std::vector<std::pair<double, const char*>> displays;  // plain value and its text
};

constexpr ParamKind kContinuous = ParamKind::Continuous;
constexpr ParamKind kEnumeration = ParamKind::Enumeration;

// clang-format off
const Row kRows[] = {
  {"Volume",             kContinuous,  0,   2,    1,    0.1,  1, "",   {},           {{0, "-oo"}, {1, "0.0"}, {2, "6.0"}, {0.5, "-6.0"}}},
  {"Mix",                kContinuous,  0,   1,    1,    0.01, 1, "",   {},           {{0, "Dry"}, {1, "Wet"}, {0.5, "50:50"}, {0.7, "30:70"}}},
  {"Grain Mode",         kEnumeration, 0,   3,    0,    1,    1, "",   kModeTexts,   {{2, "FREQ"}}},
  {"Grain Length",       kContinuous,  0.2, 2000, 20,   0.1,  4, "",   {},           {{20, "20.0"}, {0.2, "0.2"}, {2000, "2000.0"}}},
  {"Grain Sync",         kEnumeration, 0,   19,   10,   1,    1, "",   kSyncTexts,   {{10, "1/4"}, {19, "4/1"}}},
  {"Grain Frequency",    kContinuous,  16,  5000, 110,  0.1,  4, "Hz", {},           {{110, "110.0"}, {5000, "5000.0"}}},
  {"Grain Overlap",      kContinuous,  0,   50,   0,    1,    1, "",   {},           {{33, "33"}, {50, "50"}}},
  {"Grain Fade-In",      kContinuous,  0,   1,    0,    0.01, 1, "",   {},           {{0.2, "0.20"}}},
  {"Grain Skew",         kContinuous,  -1,  1,    0,    0.01, 1, "",   {},           {{-1, "-1.00"}, {0.4, "0.40"}}},
  {"Grain Fade-Out",     kContinuous,  0,   1,    0,    0.01, 1, "",   {},           {{0.5, "0.50"}}},
  {"Frame Length",       kContinuous,  0.2, 5000, 160,  0.1,  4, "",   {},           {{160, "160.0"}, {3, "3.0"}}},
  {"Frame Sync",         kEnumeration, 0,   19,   10,   1,    1, "",   kSyncTexts,   {{4, "1/16"}, {0, "1/64"}}},
  {"Frame Sync to Host", ParamKind::Switch, 0, 1, 0,    1,    1, "",   kSwitchTexts, {{0, "off"}, {1, "on"}}},
  {"Frame Overlap",      kContinuous,  0,   50,   0,    1,    1, "",   {},           {{50, "50"}}},
  {"Frame Fade-In",      kContinuous,  0,   1,    0,    0.01, 1, "",   {},           {{0.5, "0.50"}}},
  {"Frame Skew",         kContinuous,  -1,  1,    0,    0.01, 1, "",   {},           {{-1, "-1.00"}}},
  {"Frame Fade-Out",     kContinuous,  0,   1,    0,    0.01, 1, "",   {},           {{0.7, "0.70"}}},
  {"MIDI Polyphony",     ParamKind::Integer, 1, 8, 4,   1,    1, "",   {},           {{4, "4"}, {8, "8"}}},
  {"MIDI Attack",        kContinuous,  0,   1,    0,    0.01, 1, "",   {},           {{0.25, "0.25"}}},
  {"MIDI Decay",         kContinuous,  0,   1,    0,    0.01, 1, "",   {},           {{1, "1.00"}}},
  {"MIDI Sustain",       kContinuous,  0,   1,    1,    0.01, 1, "",   {},           {{1, "1.00"}}},
  {"MIDI Release",       kContinuous,  0,   1,    0.05, 0.01, 1, "",   {},           {{0.05, "0.05"}}},
};
// clang-format on

// Digits after the point in the numeric display: one per decimal of the step.
int PrecisionOfStep(double step) { return step == 0.1 ? 1 : (step == 0.01 ? 2 : 0); }

}  // namespace

TEST_F(QuilletParams, EveryRowOfTheTable) {
  static_assert(sizeof kRows / sizeof kRows[0] == quillet::kUsedParamCount, "one row each");
  ASSERT_EQ(plug_->NParams(), Quillet::kParamCount);
  for (int i = 0; i < quillet::kUsedParamCount; ++i) {
    const Row& row = kRows[i];
    const plug::IParameter* p = plug_->GetParam(i);
    SCOPED_TRACE(testing::Message() << "parameter " << i << " (" << row.name << ")");
    EXPECT_STREQ(p->Name(), row.name);
    EXPECT_EQ(p->Kind(), row.kind);
    EXPECT_EQ(p->Min(), row.min);
    EXPECT_EQ(p->Max(), row.max);
    EXPECT_EQ(p->Default(), row.defaultValue);
    EXPECT_EQ(p->Step(), row.step);
    EXPECT_EQ(p->Shape(), row.shape);
    EXPECT_EQ(p->DisplayPrecision(), PrecisionOfStep(row.step));
    EXPECT_FALSE(p->NegateDisplay());
    // The current program, "default", holds every parameter's default.
    EXPECT_EQ(p->Value(), row.defaultValue);
    EXPECT_STREQ(p->UnitLabel(), row.label);
    ASSERT_EQ(p->ValueTextCount(), static_cast<int>(row.valueTexts.size()));
    for (int t = 0; t < p->ValueTextCount(); ++t) {
      EXPECT_EQ(p->ValueTextAt(t).value, t);
      EXPECT_EQ(p->ValueTextAt(t).text, row.valueTexts[t]);
    }
    for (const auto& display : row.displays) {
      char text[plug::IParameter::kTextCapacity];
      p->FormatValue(display.first, false, text, true);
      EXPECT_STREQ(text, display.second) << "value " << display.first;
    }
  }
}

TEST_F(QuilletParams, SlotsAfterTheTableStayUninitialised) {
  for (int i = quillet::kUsedParamCount; i < Quillet::kParamCount; ++i) {
    const plug::IParameter* p = plug_->GetParam(i);
    SCOPED_TRACE(i);
    EXPECT_STREQ(p->Name(), "");
    EXPECT_EQ(p->Kind(), ParamKind::None);
    EXPECT_EQ(p->Min(), 0.0);
    EXPECT_EQ(p->Max(), 1.0);
    EXPECT_EQ(p->Step(), 1.0);
    EXPECT_EQ(p->Shape(), 1.0);
    EXPECT_EQ(p->Value(), 0.0);
    EXPECT_STREQ(p->UnitLabel(), "");
    EXPECT_FALSE(p->HasValueTexts());
  }
}

// The decibel text keeps to its 8 bytes at any gain, and reads the same in a
// host whose locale writes a decimal comma.
TEST_F(QuilletParams, VolumeTextIsBoundedAndIgnoresTheLocale) {
  char text[plug::IParameter::kTextCapacity];
  Quillet::FormatVolume(1e-300, text);  // -6000 dB
  EXPECT_EQ(std::string(text), "-6000.0");
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && std::localeconv()->decimal_point[0] == ',') {
    Quillet::FormatVolume(0.5, text);
    EXPECT_STREQ(text, "-6.0");
  }
  std::setlocale(LC_NUMERIC, "C");
}
