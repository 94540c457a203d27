// Parameters, programs and the MIDI mapping as a host reads them, against
// the VST 2 build where the two must agree.
#include <cmath>

#include "tests/e2e/vst3/Vst3Fixture.h"

namespace e2e {
namespace {

using namespace vst3;

TEST_F(Vst3Fixture, ParametersMatchTheVst2BuildNameTextAndParsing) {
  openVst2();
  IEditController* c = instance_.controller();
  ASSERT_EQ(c->getParameterCount(), kVst3Params + 1 + 122);
  for (int i = 0; i < kVst3Params; ++i) {
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(i, &info), kResultOk);
    EXPECT_EQ(info.id, static_cast<ParamID>(i));
    EXPECT_EQ(vst3host::toUtf8(info.title), vst2_.paramName(i)) << i;
    EXPECT_EQ(info.flags & kCanAutomate, kCanAutomate);
    EXPECT_FLOAT_EQ(static_cast<float>(c->getParamNormalized(info.id)), vst2_.getParameter(i)) << i;
    EXPECT_TRUE(info.defaultNormalizedValue >= 0.0 && info.defaultNormalizedValue <= 1.0) << i;
    for (double v : {0.0, 0.1, 0.25, 0.333, 0.5, 0.77, 1.0}) {
      // Display texts of VST 2 for the same value (set there, read back).
      vst2_.setParameter(i, static_cast<float>(v));
      const std::string display = vst2_.paramDisplay(i);
      EXPECT_EQ(instance_.paramText(info.id, static_cast<float>(v)), display) << i << " " << v;
      // Parsing that text gives what VST 2's string-to-parameter gives.
      std::u16string typed = vst3host::toUtf16(display);
      ParamValue parsed = -1.0;
      ASSERT_EQ(c->getParamValueByString(info.id, &typed[0], &parsed), kResultOk) << display;
      std::vector<char> text(display.begin(), display.end());
      text.push_back('\0');
      vst2_.dispatch(vst::effString2Parameter, i, 0, text.data());
      EXPECT_DOUBLE_EQ(static_cast<float>(parsed), vst2_.getParameter(i)) << i << " " << display;
    }
    // A stepped parameter announces its steps; a continuous one none.
    const bool stepped = vst2_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, i) ==
                         vst::kVendorSpecificYes;
    EXPECT_EQ(info.stepCount > 0, stepped) << i;
  }
  std::u16string junk = u"not a number at all";
  ParamValue out = 0.0;
  EXPECT_EQ(c->getParamValueByString(9999, &junk[0], &out), kInvalidArgument);
  EXPECT_EQ(c->getParamStringByValue(0, std::nan(""), nullptr), kInvalidArgument);
}

TEST_F(Vst3Fixture, ProgramListAndProgramParameterSelectFactoryPrograms) {
  openVst2();
  IUnitInfo* units = static_cast<IUnitInfo*>(instance_.query(iid::kUnitInfo));
  ASSERT_NE(units, nullptr);
  UnitInfo unit{};
  ASSERT_EQ(units->getUnitInfo(0, &unit), kResultOk);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, &list), kResultOk);
  EXPECT_EQ(unit.programListId, list.id);
  ASSERT_EQ(list.programCount, 10);
  ParameterInfo info{};
  ASSERT_EQ(instance_.controller()->getParameterInfo(kVst3Params, &info), kResultOk);
  EXPECT_EQ(info.id, kProgramParam);
  EXPECT_EQ(info.flags & (kIsProgramChange | kCanAutomate), kIsProgramChange);
  EXPECT_EQ(info.stepCount, 9);
  for (int p = 0; p < 10; ++p) {
    String128 name = {};
    ASSERT_EQ(units->getProgramName(list.id, p, name), kResultOk);
    EXPECT_EQ(vst3host::toUtf8(name), vst2_.queryText(vst::effGetProgramNameIndexed, p, -1).text);
    EXPECT_EQ(instance_.paramText(kProgramParam, p / 9.0), vst3host::toUtf8(name));
  }
  String128 name = {};
  EXPECT_EQ(units->getProgramName(list.id, 10, name), kInvalidArgument);
  units->release();

  // Selecting program 4 loads its values (as VST 2's effSetProgram does) and
  // asks the host to read them again.
  instance_.controller()->setParamNormalized(kProgramParam, 4 / 9.0);
  vst2_.dispatch(vst::effSetProgram, 0, 4);
  EXPECT_NEAR(instance_.controller()->getParamNormalized(kProgramParam), 4 / 9.0, 1e-12);
  for (int i = 0; i < kVst3Params; ++i)
    EXPECT_FLOAT_EQ(static_cast<float>(instance_.controller()->getParamNormalized(i)),
                    vst2_.getParameter(i))
        << i;
  ASSERT_FALSE(instance_.handler().calls.empty());
  EXPECT_EQ(instance_.handler().calls.back(), "restart 4");
}

TEST_F(Vst3Fixture, ControllersMapToHiddenParametersOnEveryChannel) {
  IMidiMapping* mapping = static_cast<IMidiMapping*>(instance_.query(iid::kMidiMapping));
  ASSERT_NE(mapping, nullptr);
  for (int16 channel = 0; channel < 16; ++channel) {
    for (int cc = 0; cc < 130; ++cc) {
      ParamID id = 0;
      const bool mapped = cc <= 120 || cc == 123;
      ASSERT_EQ(mapping->getMidiControllerAssignment(0, channel, static_cast<CtrlNumber>(cc), &id),
                mapped ? kResultTrue : kResultFalse)
          << cc;
      if (mapped) {
        EXPECT_EQ(id, kControllerParamBase + static_cast<ParamID>(cc));
      }
    }
  }
  ParamID id = 0;
  EXPECT_EQ(mapping->getMidiControllerAssignment(1, 0, 7, &id), kResultFalse);
  mapping->release();
  // Hidden and not automatable, listed after the program.
  for (int32 i = kVst3Params + 1; i < instance_.controller()->getParameterCount(); ++i) {
    ParameterInfo info{};
    ASSERT_EQ(instance_.controller()->getParameterInfo(i, &info), kResultOk);
    EXPECT_EQ(info.flags, kIsHidden);
  }
}

}  // namespace
}  // namespace e2e
