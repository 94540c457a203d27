// The shipped binary's effect record and dispatcher, opcode by opcode, as a
// host sees them.
#include <cstring>
#include <string>

#include "ShippedPlugin.h"

namespace e2e {
namespace {

using vsthost::TextAnswer;

using EffectRecord = ShippedPlugin;
using Dispatcher = ShippedPlugin;

TEST_F(EffectRecord, HoldsTheIdentityCountsAndEntries) {
  const vst::AEffect& effect = *plugin_.effect();
  EXPECT_EQ(plugin_.entryName(), "VSTPluginMain");
  EXPECT_EQ(effect.magic, vst::kEffectMagic);
  EXPECT_EQ(effect.uniqueID, vst::FourCharCode('v', 'm', 'Q', 'L'));
  EXPECT_EQ(effect.version, kVersion);
  EXPECT_EQ(effect.numParams, kNumParams);
  EXPECT_EQ(effect.numPrograms, kNumPresets);
  EXPECT_EQ(effect.numInputs, 2);
  EXPECT_EQ(effect.numOutputs, 2);
  // The editor flag comes with the editor; "2-2" allows no mono input.
  EXPECT_EQ(effect.flags & ~vst::effFlagsHasEditor, vst::effFlagsCanReplacing |
                                                        vst::effFlagsProgramChunks |
                                                        vst::effFlagsCanDoubleReplacing);
  EXPECT_EQ(effect.initialDelay, 0);
  EXPECT_EQ(effect.ioRatio, 1.0f);
  EXPECT_NE(effect.object, nullptr);
  EXPECT_NE(effect.dispatcher, nullptr);
  EXPECT_NE(effect.process, nullptr);
  EXPECT_NE(effect.processReplacing, nullptr);
  EXPECT_NE(effect.processDoubleReplacing, nullptr);
  EXPECT_NE(effect.setParameter, nullptr);
  EXPECT_NE(effect.getParameter, nullptr);
}

TEST_F(EffectRecord, InstancesAreIndependent) {
  vsthost::PluginHost second;
  std::string error;
  ASSERT_EQ(second.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  ASSERT_NE(second.effect(), plugin_.effect());
  const float before = second.getParameter(3);
  plugin_.setParameter(3, before > 0.5f ? 0.1f : 0.9f);
  EXPECT_NE(plugin_.getParameter(3), before);
  EXPECT_EQ(second.getParameter(3), before);
}

TEST_F(Dispatcher, AnswersTheFixedQueries) {
  struct Case {
    vst::int32 opcode;
    vst::intptr expected;
  };
  const Case cases[] = {
      {vst::effGetVstVersion, vst::kVstVersion},
      {vst::effIdentify, vst::kIdentifyAnswer},
      {vst::effGetPlugCategory, vst::kPlugCategoryEffect},
      {vst::effGetVendorVersion, kVersion},
      {vst::effGetTailSize, 0},
      {vst::effProcessVarIo, 0},
      {vst::effEditIdle, 0},
      {vst::effIdle, 0},
      {vst::effSetBypass, 0},
      {vst::effGetParameterProperties, 0},
      {vst::effStartProcess, 0},
      {vst::effStopProcess, 0},
      {vst::effSetProcessPrecision, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plugin_.dispatch(c.opcode), c.expected) << "opcode " << c.opcode;
  }
  EXPECT_EQ(plugin_.dispatch(vst::effIdentify), vst::FourCharCode('N', 'v', 'E', 'f'));
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    EXPECT_EQ(plugin_.dispatch(vst::effCanBeAutomated, i), 1) << "parameter " << i;
  }
}

TEST_F(Dispatcher, AnswersZeroToOpcodesItDoesNotHandle) {
  const vst::int32 unhandled[] = {-1, 9,  16, 17, 18, 20, 21, 28, 30, 31, 32,   36,        37, 38,
                                  39, 40, 43, 46, 54, 55, 57, 59, 60, 61, 62,   63,        64, 65,
                                  67, 68, 70, 73, 74, 75, 76, 78, 79, 80, 1000, 0x7FFFFFFF};
  for (vst::int32 opcode : unhandled) {
    EXPECT_EQ(plugin_.dispatch(opcode, 0, 0, nullptr, 0.0f), 0) << "opcode " << opcode;
  }
  // Still alive and answering.
  EXPECT_EQ(plugin_.dispatch(vst::effGetVstVersion), vst::kVstVersion);
}

TEST_F(Dispatcher, OpenAndTheProcessingSettingsAnswerZero) {
  EXPECT_EQ(plugin_.open(), 0);
  EXPECT_EQ(plugin_.setSampleRate(48000.0f), 0);
  EXPECT_EQ(plugin_.setBlockSize(256), 0);
  EXPECT_EQ(plugin_.resume(), 0);
  EXPECT_EQ(plugin_.suspend(), 0);
  // The host is identified at the first effOpen only.
  EXPECT_EQ(plugin_.host().countOf(vst::audioMasterGetProductString), 1);
  EXPECT_EQ(plugin_.open(), 0);
  EXPECT_EQ(plugin_.host().countOf(vst::audioMasterGetProductString), 1);
  EXPECT_EQ(plugin_.destroyInstance(), 0);
}

TEST_F(Dispatcher, ReportsItsNames) {
  TextAnswer name = plugin_.queryText(vst::effGetEffectName);
  EXPECT_EQ(name.result, 1);
  EXPECT_EQ(name.text, "Quillet");
  TextAnswer vendor = plugin_.queryText(vst::effGetVendorString);
  EXPECT_EQ(vendor.result, 1);
  EXPECT_EQ(vendor.text, "Vellum Music");
  TextAnswer product = plugin_.queryText(vst::effGetProductString);
  EXPECT_EQ(product.result, 1);
  EXPECT_EQ(product.text, "");
  EXPECT_TRUE(product.terminated);
  for (vst::int32 opcode :
       {vst::effGetEffectName, vst::effGetVendorString, vst::effGetProductString}) {
    EXPECT_EQ(plugin_.dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
  }
}

TEST_F(Dispatcher, ParameterTextsForValidIndicesOnly) {
  plugin_.open();
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    SCOPED_TRACE(i);
    for (vst::int32 opcode :
         {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay}) {
      TextAnswer answer = plugin_.queryText(opcode, i);
      EXPECT_EQ(answer.result, 0);
      EXPECT_TRUE(answer.terminated);
      EXPECT_GT(answer.bytesWritten, 0) << "opcode " << opcode;
    }
    EXPECT_FALSE(plugin_.paramDisplay(i).empty());
  }
  for (vst::int32 bad : {-1, kNumParams, 1000}) {
    for (vst::int32 opcode :
         {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay}) {
      TextAnswer answer = plugin_.queryText(opcode, bad);
      EXPECT_EQ(answer.result, 0);
      EXPECT_EQ(answer.bytesWritten, 0) << "index " << bad << " opcode " << opcode;
    }
  }
}

TEST_F(Dispatcher, ParameterOutOfRangeReadsZeroAndIgnoresWrites) {
  EXPECT_EQ(plugin_.getParameter(-1), 0.0f);
  EXPECT_EQ(plugin_.getParameter(kNumParams), 0.0f);
  EXPECT_EQ(plugin_.getParameter(0x7FFFFFFF), 0.0f);
  const std::vector<float> before = parameterValues();
  plugin_.setParameter(-1, 0.5f);
  plugin_.setParameter(kNumParams, 0.5f);
  EXPECT_EQ(parameterValues(), before);
  // The host is not called back for a parameter it set itself.
  plugin_.setParameter(3, 0.5f);
  EXPECT_TRUE(plugin_.host().automation().empty());
}

TEST_F(Dispatcher, ConvertsTextsToParameterValues) {
  plugin_.open();
  EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, -1, 0, const_cast<char*>("1")), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, kNumParams, 0, const_cast<char*>("1")), 0);
  // Null text: the plug-in says it can convert.
  EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, 0, 0, nullptr), 1);
  // A parameter's own display text converts back to it.
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    std::string display = plugin_.paramDisplay(i);
    EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, i, 0, &display[0]), 1)
        << "parameter " << i << " text \"" << display << "\"";
  }
}

TEST_F(Dispatcher, ProgramsSelectRenameAndName) {
  plugin_.open();
  EXPECT_EQ(plugin_.dispatch(vst::effGetProgram), 0);
  for (vst::int32 i = 0; i < kNumPresets; ++i) {
    TextAnswer name = plugin_.queryText(vst::effGetProgramNameIndexed, i);
    EXPECT_EQ(name.result, 1) << "program " << i;
    EXPECT_FALSE(name.text.empty()) << "program " << i;
  }
  for (vst::int32 bad : {-1, kNumPresets}) {
    TextAnswer name = plugin_.queryText(vst::effGetProgramNameIndexed, bad);
    EXPECT_EQ(name.result, 0);
    EXPECT_EQ(name.text, "");
  }
  EXPECT_EQ(plugin_.dispatch(vst::effGetProgramNameIndexed, 0, 0, nullptr), 0);

  EXPECT_EQ(plugin_.dispatch(vst::effSetProgram, 0, 3), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetProgram), 3);
  EXPECT_EQ(plugin_.programName(), plugin_.queryText(vst::effGetProgramNameIndexed, 3).text);
  char renamed[] = "Renamed Three";
  EXPECT_EQ(plugin_.dispatch(vst::effSetProgramName, 0, 0, renamed), 0);
  EXPECT_EQ(plugin_.programName(), "Renamed Three");
  EXPECT_EQ(plugin_.queryText(vst::effGetProgramNameIndexed, 3).text, "Renamed Three");
  // Null pointers change and write nothing.
  EXPECT_EQ(plugin_.dispatch(vst::effSetProgramName, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetProgramName, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.programName(), "Renamed Three");
}

TEST_F(Dispatcher, SurvivesProgramIndicesAndNamesOutOfRange) {
  plugin_.open();
  plugin_.dispatch(vst::effSetProgram, 0, 2);
  for (vst::intptr bad : {static_cast<vst::intptr>(-1), static_cast<vst::intptr>(kNumPresets),
                          static_cast<vst::intptr>(100000)}) {
    plugin_.dispatch(vst::effSetProgram, 0, bad);
    const vst::intptr current = plugin_.dispatch(vst::effGetProgram);
    EXPECT_GE(current, 0) << "after effSetProgram " << bad;
    EXPECT_LT(current, kNumPresets) << "after effSetProgram " << bad;
  }
  // A name far longer than any documented limit is cut, not overflowed.
  std::string longName(1000, 'n');
  plugin_.dispatch(vst::effSetProgramName, 0, 0, &longName[0]);
  TextAnswer name = plugin_.queryText(vst::effGetProgramName);
  EXPECT_TRUE(name.terminated);
  EXPECT_LE(name.bytesWritten, 256);
  EXPECT_EQ(name.text, longName.substr(0, name.text.size()));
}

TEST_F(Dispatcher, CanDoTextsMatchExactly) {
  struct Case {
    const char* text;
    vst::intptr expected;
  };
  const Case cases[] = {
      {"receiveVstTimeInfo", 1},
      {"sendVstEvents", 1},
      {"sendVstMidiEvent", 1},
      {"receiveVstEvents", 1},
      {"receiveVstMidiEvent", 1},
      {"hasCockosExtensions", vst::kCanDoVendorExtension},
      {"hasCockosViewAsConfig", vst::kCanDoVendorExtension},
      {"ReceiveVstTimeInfo", 0},
      {"hascockosextensions", 0},
      {"receiveVstTimeInf", 0},
      {"receiveVstTimeInfoX", 0},
      {"receiveVstTimeInfo ", 0},
      {"", 0},
      {"sendVstTimeInfo", 0},
      {"bypass", 0},
      {"offline", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plugin_.canDo(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_EQ(plugin_.canDo(nullptr), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(plugin_.canDo("hasCockosExtensions")), 0xBEEF0000u);
}

TEST_F(Dispatcher, VendorSpecificFormatsValuesAndReportsSteppedParameters) {
  plugin_.open();
  // Index 7: the display text of a normalised value, without changing the
  // parameter. Both ends of the range are whole steps of every parameter, so
  // the text must equal the display after setting that value.
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    for (float value : {1.0f, 0.0f}) {
      SCOPED_TRACE(testing::Message() << "parameter " << i << " value " << value);
      plugin_.setParameter(i, 0.5f);
      const float before = plugin_.getParameter(i);
      TextAnswer formatted =
          plugin_.queryText(vst::effVendorSpecific, vst::kVendorFormatParamValue, i, value);
      EXPECT_EQ(formatted.result, vst::kVendorSpecificYes);
      EXPECT_TRUE(formatted.terminated);
      EXPECT_EQ(plugin_.getParameter(i), before);
      plugin_.setParameter(i, value);
      EXPECT_EQ(formatted.text, plugin_.paramDisplay(i));
    }
  }
  // An invalid parameter still answers 0xBEEF but writes nothing; no buffer,
  // no answer.
  for (vst::intptr bad : {static_cast<vst::intptr>(-1), static_cast<vst::intptr>(kNumParams)}) {
    TextAnswer answer =
        plugin_.queryText(vst::effVendorSpecific, vst::kVendorFormatParamValue, bad, 0.5f);
    EXPECT_EQ(answer.result, 0xBEEF);
    EXPECT_EQ(answer.bytesWritten, 0);
  }
  EXPECT_EQ(
      plugin_.dispatch(vst::effVendorSpecific, vst::kVendorFormatParamValue, 0, nullptr, 0.5f), 0);

  // Index 8: stepped or not; invalid indices are not stepped.
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    const vst::intptr stepped =
        plugin_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, i);
    EXPECT_TRUE(stepped == 0 || stepped == vst::kVendorSpecificYes) << "parameter " << i;
  }
  EXPECT_EQ(plugin_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, -1), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, kNumParams), 0);

  // Other indices: nothing.
  char buffer[64] = "untouched";
  for (vst::int32 index : {0, 1, 6, 9, -1, 0xBEEF}) {
    EXPECT_EQ(plugin_.dispatch(vst::effVendorSpecific, index, 0, buffer, 0.5f), 0)
        << "index " << index;
  }
  EXPECT_STREQ(buffer, "untouched");
}

TEST_F(Dispatcher, ProductParametersAreSteppedAndConvertedByTheirTexts) {
  // An enumeration is stepped, a continuous control is not, and texts
  // convert exactly as listed.
  plugin_.open();
  ASSERT_EQ(plugin_.paramName(2), "Grain Mode");
  ASSERT_EQ(plugin_.paramName(3), "Grain Length");
  EXPECT_EQ(plugin_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, 2),
            vst::kVendorSpecificYes);
  EXPECT_EQ(plugin_.dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, 0), 0);

  char freq[] = "FREQ";
  EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, 2, 0, freq), 1);
  EXPECT_EQ(plugin_.paramDisplay(2), "FREQ");
  const float before = plugin_.getParameter(2);
  // No such value text, or not in the exact case: answered 0, nothing changes.
  for (const char* text : {"BOGUS", "freq", "Freq", "", "2"}) {
    std::string copy(text);
    copy.push_back('\0');
    EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, 2, 0, &copy[0]), 0) << '"' << text << '"';
    EXPECT_EQ(plugin_.getParameter(2), before) << '"' << text << '"';
  }
  // A number with trailing text, clamped into the range.
  char length[] = "123.4 ms";
  EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, 3, 0, length), 1);
  EXPECT_EQ(plugin_.paramDisplay(3), "123.4");
  char tooLong[] = "99999";
  EXPECT_EQ(plugin_.dispatch(vst::effString2Parameter, 3, 0, tooLong), 1);
  EXPECT_EQ(plugin_.getParameter(3), 1.0f);
}

TEST_F(Dispatcher, PinPropertiesPairTheStereoChannels) {
  plugin_.open();
  struct Side {
    vst::int32 opcode;
    const char* defaultLabel;
  };
  for (const Side& side :
       {Side{vst::effGetInputProperties, "Input"}, Side{vst::effGetOutputProperties, "Output"}}) {
    for (vst::int32 pin = 0; pin < 2; ++pin) {
      SCOPED_TRACE(testing::Message() << "opcode " << side.opcode << " pin " << pin);
      vst::VstPinProperties properties;
      std::memset(&properties, 0, sizeof properties);
      EXPECT_EQ(plugin_.dispatch(side.opcode, pin, 0, &properties), 1);
      EXPECT_EQ(properties.flags,
                pin == 0 ? vst::kVstPinIsActive | vst::kVstPinIsStereo : vst::kVstPinIsActive);
      // A channel's own label wins; without one the pin is numbered from 1.
      const std::string label(properties.label, strnlen(properties.label, sizeof properties.label));
      const std::string numbered = std::string(side.defaultLabel) + " " + std::to_string(pin + 1);
      EXPECT_TRUE(label == numbered || label == "Quillet ") << '"' << label << '"';
    }
    vst::VstPinProperties untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    vst::VstPinProperties probe = untouched;
    EXPECT_EQ(plugin_.dispatch(side.opcode, 2, 0, &probe), 0);
    EXPECT_EQ(plugin_.dispatch(side.opcode, -1, 0, &probe), 0);
    EXPECT_EQ(std::memcmp(&probe, &untouched, sizeof probe), 0);
    EXPECT_EQ(plugin_.dispatch(side.opcode, 0, 0, nullptr), 0);
  }
}

TEST_F(Dispatcher, SpeakerArrangementsAreStereoAndStayStored) {
  plugin_.open();
  vst::VstSpeakerArrangement* inputs = nullptr;
  vst::VstSpeakerArrangement* outputs = nullptr;
  EXPECT_EQ(plugin_.dispatch(vst::effGetSpeakerArrangement, 0,
                             reinterpret_cast<vst::intptr>(&inputs), &outputs),
            1);
  ASSERT_NE(inputs, nullptr);
  ASSERT_NE(outputs, nullptr);
  EXPECT_EQ(inputs->type, vst::kSpeakerArrStereo);
  EXPECT_EQ(inputs->numChannels, 2);
  EXPECT_EQ(outputs->type, vst::kSpeakerArrStereo);
  EXPECT_EQ(outputs->numChannels, 2);

  // Setting an arrangement changes the connections, not the stored records.
  EXPECT_EQ(plugin_.setSpeakerArrangement(1, 1), 1);
  EXPECT_EQ(plugin_.setSpeakerArrangement(-1, 1), 1);
  EXPECT_EQ(plugin_.setSpeakerArrangement(1, -1), 1);
  EXPECT_EQ(plugin_.setSpeakerArrangement(-1, -1), 1);
  vst::VstSpeakerArrangement* inputsAgain = nullptr;
  EXPECT_EQ(plugin_.dispatch(vst::effGetSpeakerArrangement, 0,
                             reinterpret_cast<vst::intptr>(&inputsAgain), nullptr),
            1);
  ASSERT_NE(inputsAgain, nullptr);
  EXPECT_EQ(inputsAgain->numChannels, 2);
  EXPECT_EQ(inputsAgain->type, vst::kSpeakerArrStereo);
  EXPECT_EQ(plugin_.dispatch(vst::effGetSpeakerArrangement, 0, 0, nullptr), 1);
}

// The editor flag and effEditGetRect agree, whichever way the build has it:
// a rectangle of the editor's size exactly when the flag is set.
TEST_F(Dispatcher, EditorRectangleMatchesTheEditorFlag) {
  EXPECT_EQ(plugin_.dispatch(vst::effEditGetRect, 0, 0, nullptr), 0);
  const bool hasEditor = (plugin_.effect()->flags & vst::effFlagsHasEditor) != 0;
  vst::ERect* rect = nullptr;
  const vst::intptr answer = plugin_.dispatch(vst::effEditGetRect, 0, 0, &rect);
  EXPECT_EQ(answer, hasEditor ? 1 : 0) << "editor flag " << hasEditor;
  EXPECT_EQ(rect != nullptr, hasEditor) << "editor flag " << hasEditor;
  if (rect) {
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 432);
    EXPECT_EQ(rect->right, 984);
  }
}

TEST_F(Dispatcher, MidiKeyNamesAreEmpty) {
  vst::VstMidiKeyName key;
  std::memset(&key, 0, sizeof key);
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "stale");
  EXPECT_EQ(plugin_.dispatch(vst::effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(plugin_.dispatch(vst::effGetMidiKeyName, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, NullPointersWhereDataIsExpectedAnswerZero) {
  EXPECT_EQ(plugin_.dispatch(vst::effGetChunk, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetChunk, 1, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effSetChunk, 0, 100, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effSetChunk, 1, 100, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effProcessEvents, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetProgramName, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetParamName, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetParamDisplay, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin_.dispatch(vst::effGetParamLabel, 0, 0, nullptr), 0);
}

}  // namespace
}  // namespace e2e
