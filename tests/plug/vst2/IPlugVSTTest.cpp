// The VST 2.4 binding, driven through the effect record as a host drives it.
#include "plug/vst2/IPlugVST.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "Vst2TestPlug.h"

using testplug::BoundPlug;
using testplug::TestHost;
using testplug::TestPlug;

class IPlugVSTTest : public ::testing::Test {
 protected:
  void SetUp() override { TestHost::current = &host; }
  void TearDown() override { TestHost::current = nullptr; }
  TestHost host;
  BoundPlug bound;
  TestPlug& plug = bound.p;  // the product
  vst::AEffect* fx() { return bound.fx(); }
};

TEST_F(IPlugVSTTest, EffectRecordDescribesThePlugin) {
  EXPECT_EQ(fx()->magic, 0x56737450);
  EXPECT_EQ(fx()->numParams, 4);
  EXPECT_EQ(fx()->numPrograms, 10);
  EXPECT_EQ(fx()->numInputs, 2);
  EXPECT_EQ(fx()->numOutputs, 2);
  EXPECT_EQ(fx()->flags, 0x1030);  // no mono flag for "2-2", no editor
  EXPECT_EQ(fx()->version, 10102);
  EXPECT_EQ(fx()->uniqueID, vst::FourCharCode('t', 'e', 's', 't'));
  EXPECT_FLOAT_EQ(fx()->ioRatio, 1.0f);
  EXPECT_EQ(fx()->object, &bound.binding);
  EXPECT_TRUE(plug.IsInChannelConnected(0) && plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.LegalIO(1, -1));
  EXPECT_EQ(plug.GetBlockSize(), 1024);
}

TEST_F(IPlugVSTTest, FixedAnswers) {
  EXPECT_EQ(bound.Dispatch(vst::effIdentify), 0x4E764566);
  EXPECT_EQ(bound.Dispatch(vst::effGetVstVersion), 2400);
  EXPECT_EQ(bound.Dispatch(vst::effGetVendorVersion), 10102);
  EXPECT_EQ(bound.Dispatch(vst::effGetPlugCategory), 1);
  EXPECT_EQ(bound.Dispatch(vst::effCanBeAutomated, 2), 1);
  EXPECT_EQ(bound.Dispatch(vst::effGetTailSize), 0);
  for (vst::int32 op : std::initializer_list<vst::int32>{
           vst::effProcessVarIo, vst::effSetBypass, vst::effGetParameterProperties,
           vst::effStartProcess, vst::effStopProcess, vst::effSetProcessPrecision, 9, 200, -1})
    EXPECT_EQ(bound.Dispatch(op, 0, 1, nullptr), 0) << op;
  char text[128];
  EXPECT_EQ(bound.Dispatch(vst::effGetEffectName, 0, 0, text), 1);
  EXPECT_STREQ(text, "TestPlug");
  EXPECT_EQ(bound.Dispatch(vst::effGetVendorString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Vellum Music");
  EXPECT_EQ(bound.Dispatch(vst::effGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(bound.Dispatch(vst::effGetEffectName, 0, 0, nullptr), 0);
  EXPECT_EQ(bound.Dispatch(vst::effEditGetRect, 0, 0, text), 0);  // no editor
  EXPECT_EQ(bound.Dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(bound.Dispatch(vst::effEditClose), 0);
  vst::VstMidiKeyName key{};
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "stale");
  EXPECT_EQ(bound.Dispatch(vst::effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
}

TEST_F(IPlugVSTTest, ProgramNamesReachTheHostAsBoundedCopies) {
  plug.MakeDefaultPresets("Empty", plug.NPresets());
  std::string longName(400, 'q');
  bound.Dispatch(vst::effSetProgramName, 0, 0, &longName[0]);
  EXPECT_EQ(std::string(plug.GetPresetName(0)).size(), 255u);
  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  bound.Dispatch(vst::effGetProgramName, 0, 0, buf);
  EXPECT_LT(std::strlen(buf), sizeof buf);
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(bound.Dispatch(vst::effGetProgramNameIndexed, 0, 0, buf), 1);
  EXPECT_LT(std::strlen(buf), sizeof buf);
  EXPECT_EQ(bound.Dispatch(vst::effGetProgramNameIndexed, 10, 0, buf), 0);
}

TEST_F(IPlugVSTTest, CanDoTextsAreExact) {
  const struct {
    const char* text;
    vst::intptr answer;
  } cases[] = {{"receiveVstTimeInfo", 1},
               {"sendVstEvents", 1},
               {"sendVstMidiEvent", 1},
               {"receiveVstEvents", 1},
               {"receiveVstMidiEvent", 1},
               {"hasCockosExtensions", static_cast<vst::intptr>(0xBEEF0000u)},
               {"hasCockosViewAsConfig", static_cast<vst::intptr>(0xBEEF0000u)},
               {"ReceiveVstTimeInfo", 0},
               {"bypass", 0},
               {"", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(bound.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << c.text;
  EXPECT_EQ(bound.Dispatch(vst::effCanDo, 0, 0, nullptr), 0);
}

TEST_F(IPlugVSTTest, ParameterTextsAndVendorExtensions) {
  char text[64];
  bound.Dispatch(vst::effGetParamName, 0, 0, text);
  EXPECT_STREQ(text, "Length");
  bound.Dispatch(vst::effGetParamLabel, 0, 0, text);
  EXPECT_STREQ(text, "ms");
  bound.Dispatch(vst::effGetParamDisplay, 0, 0, text);
  EXPECT_STREQ(text, "35.0");
  bound.Dispatch(vst::effGetParamDisplay, 1, 0, text);
  EXPECT_STREQ(text, "MS");
  bound.Dispatch(vst::effGetParamLabel, 1, 0, text);
  EXPECT_STREQ(text, "");
  std::strcpy(text, "untouched");
  bound.Dispatch(vst::effGetParamName, 4, 0, text);
  EXPECT_STREQ(text, "untouched");

  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 7, 0, text, 1.0f), 0xBEEF);
  EXPECT_STREQ(text, "1000.0");
  std::strcpy(text, "untouched");
  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 7, 29, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 7, 0, nullptr, 0.5f), 0);
  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 8, 1), 0xBEEF);
  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 8, 0), 0);  // continuous
  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 8, -1), 0);
  EXPECT_EQ(bound.Dispatch(vst::effVendorSpecific, 9, 1, text), 0);
}

// The parsing is the base's (tests/plug/IPlugBaseTest.cpp); here the answers.
TEST_F(IPlugVSTTest, TextEntryAnswersWhetherTheTextWasTaken) {
  plug.changed.clear();
  EXPECT_EQ(bound.Dispatch(vst::effString2Parameter, 1, 0, const_cast<char*>("SYNC")), 1);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(bound.Dispatch(vst::effString2Parameter, 1, 0, const_cast<char*>("sync")), 0);
  EXPECT_EQ(bound.Dispatch(vst::effString2Parameter, 1, 0, nullptr), 1);  // "can convert"
  EXPECT_EQ(bound.Dispatch(vst::effString2Parameter, 9, 0, const_cast<char*>("1")), 0);
  EXPECT_EQ(bound.Dispatch(vst::effString2Parameter, 9, 0, nullptr), 0);
  EXPECT_EQ(plug.changed, (std::vector<int>{1}));
  EXPECT_TRUE(host.automation.empty());  // the host is not told
}

TEST_F(IPlugVSTTest, ParameterEntriesCheckIndicesAndStayInRange) {
  EXPECT_EQ(fx()->getParameter(fx(), -1), 0.0f);
  EXPECT_EQ(fx()->getParameter(fx(), 29), 0.0f);
  fx()->setParameter(fx(), 99, 0.5f);
  fx()->setParameter(fx(), 0, 0.5f);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 1.0 + 999.0 * 0.25);
  EXPECT_FLOAT_EQ(fx()->getParameter(fx(), 0), 0.5f);
  fx()->setParameter(fx(), 0, std::numeric_limits<float>::quiet_NaN());
  float n = fx()->getParameter(fx(), 0);
  EXPECT_TRUE(n >= 0.0f && n <= 1.0f);
  EXPECT_TRUE(host.automation.empty());
}

TEST_F(IPlugVSTTest, EditorChangesReachTheHostUnrounded) {
  plug.SetParameterFromEditor(1, 0.4);
  ASSERT_EQ(host.automation.size(), 1u);
  EXPECT_EQ(host.automation[0].first, 1);
  EXPECT_FLOAT_EQ(host.automation[0].second, 0.4f);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);  // 0.8 rounded to the step
  plug.BeginParamGesture(1);
  plug.EndParamGesture(1);
  EXPECT_EQ(host.beginEdits, std::vector<int>{1});
  EXPECT_EQ(host.endEdits, std::vector<int>{1});
}

TEST_F(IPlugVSTTest, SampleRateAndBlockSizeAreSanityChecked) {
  bound.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(plug.GetSampleRate(), 48000.0);
  for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity()})
    bound.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, bad);
  EXPECT_EQ(plug.GetSampleRate(), 48000.0);
  bound.Dispatch(vst::effSetBlockSize, 0, 256);
  EXPECT_EQ(plug.GetBlockSize(), 256);
  bound.Dispatch(vst::effSetBlockSize, 0, 0);
  bound.Dispatch(vst::effSetBlockSize, 0, -4);
  EXPECT_EQ(plug.GetBlockSize(), 256);
  EXPECT_EQ(plug.resets, 2);
  bound.Dispatch(vst::effMainsChanged, 0, 1);
  bound.Dispatch(vst::effMainsChanged, 0, 0);
  EXPECT_EQ(plug.activations, (std::vector<bool>{true, false}));
  EXPECT_EQ(plug.resets, 3);
}

TEST_F(IPlugVSTTest, BlockSizeChangeZeroFillsOnlyWhenItChanges) {
  const double* before = plug.InputChannel(0)->scratch.data();
  plug.ChangeBlockSize(1024);
  EXPECT_EQ(plug.InputChannel(0)->scratch.data(), before);
  plug.ChangeBlockSize(16);
  ASSERT_EQ(plug.OutputChannel(1)->scratch.size(), 16u);
  for (double v : plug.OutputChannel(1)->scratch) EXPECT_EQ(v, 0.0);
}

TEST_F(IPlugVSTTest, PinPropertiesAndSpeakerArrangements) {
  vst::VstPinProperties pin{};
  EXPECT_EQ(bound.Dispatch(vst::effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(bound.Dispatch(vst::effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 1);
  plug.SetOutputLabel(1, "Right");
  EXPECT_EQ(bound.Dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Right");
  EXPECT_EQ(bound.Dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(bound.Dispatch(vst::effGetOutputProperties, 0, 0, nullptr), 0);

  vst::VstSpeakerArrangement* in = nullptr;
  vst::VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(
      bound.Dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&in), &out),
      1);
  ASSERT_TRUE(in && out);
  EXPECT_EQ(in->type, vst::kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);

  vst::VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  EXPECT_EQ(bound.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono),
                           nullptr),
            1);
  EXPECT_TRUE(plug.IsInChannelConnected(0));
  EXPECT_FALSE(plug.IsInChannelConnected(1));
  EXPECT_TRUE(plug.IsOutChannelConnected(1));
  EXPECT_EQ(in->numChannels, 2);  // the stored arrangement is not changed
}

TEST_F(IPlugVSTTest, FloatProcessingReplacesOrAccumulates) {
  float l[8], r[8], outL[8], outR[8];
  for (int i = 0; i < 8; ++i) l[i] = 0.25f * i, r[i] = -0.125f * i, outL[i] = outR[i] = 12345.0f;
  float* ins[] = {l, r};
  float* outs[] = {outL, outR};
  fx()->processReplacing(fx(), ins, outs, 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(outL[i], l[i]);
    EXPECT_EQ(outR[i], r[i]);
  }
  fx()->process(fx(), ins, outs, 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(outL[i], 2 * l[i]);
    EXPECT_EQ(outR[i], 2 * r[i]);
  }
  EXPECT_EQ(host.wantMidiCalls, 2);
  fx()->processReplacing(fx(), ins, outs, 0);
  EXPECT_EQ(outL[3], 2 * l[3]);
}

TEST_F(IPlugVSTTest, DisconnectedInputConsumesNoHostPointer) {
  vst::VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  bound.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), nullptr);
  float l[4] = {1, 2, 3, 4}, outL[4], outR[4];
  float* ins[] = {l};
  float* outs[] = {outL, outR};
  fx()->processReplacing(fx(), ins, outs, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(outL[i], l[i]);
    EXPECT_EQ(outR[i], 0.0f);  // the disconnected input's scratch buffer is silent
  }
}

TEST_F(IPlugVSTTest, InputDisconnectedLaterReadsSilenceNotItsLastBlock) {
  float l[4] = {1, 2, 3, 4}, r[4] = {5, 6, 7, 8}, outL[4], outR[4];
  float* ins[] = {l, r};
  float* outs[] = {outL, outR};
  fx()->processReplacing(fx(), ins, outs, 4);
  EXPECT_EQ(outR[3], 8.0f);
  vst::VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  bound.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<vst::intptr>(&mono), nullptr);
  fx()->processReplacing(fx(), ins, outs, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(outR[i], 0.0f) << i;
}

TEST_F(IPlugVSTTest, DoubleProcessingIsExactAndInPlace) {
  double l[5] = {0.1, 0.2, 1e-300, -0.7, 1.0 / 3.0}, r[5] = {5, 6, 7, 8, 9};
  double outL[5], outR[5];
  double* ins[] = {l, r};
  double* outs[] = {outL, outR};
  fx()->processDoubleReplacing(fx(), ins, outs, 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(outL[i], l[i]);
    EXPECT_EQ(outR[i], r[i]);
  }
  double* inPlace[] = {l, r};
  fx()->processDoubleReplacing(fx(), inPlace, inPlace, 5);
  EXPECT_EQ(l[4], 1.0 / 3.0);
}

TEST_F(IPlugVSTTest, CallsLongerThanTheBlockAreProcessedInPieces) {
  bound.Dispatch(vst::effSetBlockSize, 0, 64);
  const int n = 1000;
  std::vector<float> l(n), r(n), outL(n, 9.0f), outR(n, 9.0f);
  for (int i = 0; i < n; ++i) l[i] = static_cast<float>(i), r[i] = -static_cast<float>(i);
  float* ins[] = {l.data(), r.data()};
  float* outs[] = {outL.data(), outR.data()};
  fx()->processReplacing(fx(), ins, outs, n);
  EXPECT_EQ(outL, l);
  EXPECT_EQ(outR, r);
  std::vector<double> dl(n, 0.5), dr(n, -0.5), dOutL(n), dOutR(n);
  double* dIns[] = {dl.data(), dr.data()};
  double* dOuts[] = {dOutL.data(), dOutR.data()};
  fx()->processDoubleReplacing(fx(), dIns, dOuts, n);
  EXPECT_EQ(dOutL, dl);
  EXPECT_EQ(dOutR, dr);
}

// Each piece of a call longer than the announced block reads the host's
// transport where the piece starts: the positions advance by the piece's
// offset into the call, the tempo stays, and after the call the host's own
// position holds again.
TEST_F(IPlugVSTTest, EachPieceOfALongCallSeesTheTransportAtItsOwnStart) {
  struct Recorder : TestPlug {
    void ProcessBlock(double** inputs, double** outputs, int frames) override {
      plug::ITransportInfo info;
      GetTransportInfo(&info);
      seen.push_back(info);
      positions.push_back(GetSamplePosition());
      TestPlug::ProcessBlock(inputs, outputs, frames);
    }
    std::vector<plug::ITransportInfo> seen;
    std::vector<int> positions;
  };
  Recorder* product = new Recorder();
  Recorder& recorder = *product;
  BoundPlug recorderBound(product);
  recorderBound.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  recorderBound.Dispatch(vst::effSetBlockSize, 0, 64);
  host.time.samplePos = 1000.0;
  host.time.ppqPos = 2.0;
  host.time.tempo = 90.0;
  host.time.flags = vst::kVstTempoValid | vst::kVstPpqPosValid | vst::kVstTransportPlaying;
  const int n = 150;
  std::vector<float> l(n), r(n), outL(n), outR(n);
  float* ins[] = {l.data(), r.data()};
  float* outs[] = {outL.data(), outR.data()};
  std::vector<double> dl(n), dr(n), dOutL(n), dOutR(n);
  double* dIns[] = {dl.data(), dr.data()};
  double* dOuts[] = {dOutL.data(), dOutR.data()};
  recorderBound.fx()->processReplacing(recorderBound.fx(), ins, outs, n);
  recorderBound.fx()->process(recorderBound.fx(), ins, outs, n);
  recorderBound.fx()->processDoubleReplacing(recorderBound.fx(), dIns, dOuts, n);
  ASSERT_EQ(recorder.seen.size(), 9u);
  for (std::size_t i = 0; i < recorder.seen.size(); ++i) {
    const int offset = 64 * static_cast<int>(i % 3);  // pieces of 64, 64 and 22 frames
    SCOPED_TRACE(i);
    EXPECT_EQ(recorder.seen[i].samplePos, 1000.0 + offset);
    EXPECT_EQ(recorder.positions[i], 1000 + offset);
    // 90 beats per minute at 48 kHz: 1/32000 of a beat per frame.
    EXPECT_DOUBLE_EQ(recorder.seen[i].ppqPos, 2.0 + offset / 32000.0);
    EXPECT_EQ(recorder.seen[i].tempo, 90.0);
  }
  EXPECT_EQ(recorder.GetSamplePosition(), 1000);
  // Without a confirmed tempo the musical position cannot be advanced; the
  // host's own value stands.
  host.time.flags = vst::kVstPpqPosValid;
  recorder.seen.clear();
  recorderBound.fx()->processReplacing(recorderBound.fx(), ins, outs, 100);
  ASSERT_EQ(recorder.seen.size(), 2u);
  EXPECT_EQ(recorder.seen[1].samplePos, 1064.0);
  EXPECT_EQ(recorder.seen[1].ppqPos, 2.0);
}

TEST_F(IPlugVSTTest, MidiPassesThroughToTheHost) {
  vst::VstMidiEvent note{};
  note.type = vst::kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 17;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  unsigned char dump[3] = {0xF0, 0x7E, 0xF7};
  vst::VstMidiSysexEvent sysex{};
  sysex.type = vst::kVstSysExType;
  sysex.dumpBytes = 3;
  sysex.sysexDump = reinterpret_cast<char*>(dump);
  struct {
    vst::int32 numEvents;
    vst::intptr reserved;
    vst::VstEvent* events[3];
  } list{
      3,
      0,
      {reinterpret_cast<vst::VstEvent*>(&note), nullptr, reinterpret_cast<vst::VstEvent*>(&sysex)}};
  EXPECT_EQ(bound.Dispatch(vst::effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(host.midiOut.size(), 1u);
  EXPECT_EQ(host.midiOut[0].deltaFrames, 17);
  EXPECT_EQ(static_cast<unsigned char>(host.midiOut[0].midiData[0]), 0x90);
  EXPECT_EQ(host.midiOut[0].byteSize, 32);
  EXPECT_TRUE(host.sysexOut.empty());  // SysEx is not passed on by default
  EXPECT_EQ(bound.Dispatch(vst::effProcessEvents, 0, 0, nullptr), 0);
  plug::ISysExMessage msg{0, 3, dump};
  EXPECT_TRUE(plug.SendSysExToHost(&msg));
  ASSERT_EQ(host.sysexOut.size(), 1u);
  EXPECT_EQ(host.sysexOut[0][1], 0x7E);
}

TEST_F(IPlugVSTTest, TransportQueriesTrustOnlyConfirmedFields) {
  host.time.samplePos = 1000.6;
  host.time.tempo = 133.0;
  host.time.ppqPos = 4.5;
  host.time.timeSigNumerator = 7;
  host.time.timeSigDenominator = 8;
  host.time.flags = vst::kVstTempoValid | vst::kVstTransportPlaying;
  plug::ITransportInfo info;
  plug.GetTransportInfo(&info);
  EXPECT_EQ(info.tempo, 133.0);
  EXPECT_EQ(info.samplePos, 1000.6);
  EXPECT_EQ(info.ppqPos, -1.0);  // not confirmed
  EXPECT_EQ(info.numerator, 4);
  EXPECT_TRUE(info.transportRunning);
  EXPECT_EQ(plug.GetSamplePosition(), 1001);
  EXPECT_EQ(plug.GetHostTempo(), 133.0);
  int num = 9, den = 9;
  plug.GetTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);
  host.time.flags = vst::kVstTimeSigValid;
  plug.GetTimeSignature(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  host.hasTime = false;
  plug::ITransportInfo fresh;
  plug.GetTransportInfo(&fresh);
  EXPECT_EQ(fresh.tempo, 120.0);
  EXPECT_EQ(plug.GetHostTempo(), 0.0);
  EXPECT_EQ(plug.GetSamplePosition(), 0);
  host.processLevel = 4;
  EXPECT_TRUE(plug.IsOfflineRender());
}

// A product that brings its editor: the record announces it with its size,
// the window opcodes reach it, and a resize updates the rectangle and asks the
// host to fit its window.
TEST(IPlugVSTEditor, RecordAnnouncesTheEditorAndResizesReachTheHost) {
  TestHost host;
  TestHost::current = &host;
  TestPlug* product = new TestPlug();
  testplug::StubEditor* editor = new testplug::StubEditor();
  product->AttachEditor(editor);
  BoundPlug bound(product);
  EXPECT_EQ(bound.fx()->flags & vst::effFlagsHasEditor, vst::effFlagsHasEditor);
  EXPECT_EQ(bound.p.GetFormatCode(), plug::kFormatVst2);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(bound.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right, 984);
  EXPECT_EQ(rect->bottom, 432);
  int parent = 0;
  EXPECT_EQ(bound.Dispatch(vst::effEditOpen, 0, 0, &parent), 1);
  EXPECT_TRUE(editor->IsWindowOpen());
  bound.Dispatch(vst::effEditIdle);
  EXPECT_EQ(editor->eventRuns, 1);
  editor->width = 500;
  editor->height = 300;
  bound.p.ResizeEditor(500, 300);
  EXPECT_EQ(rect->right, 500);
  EXPECT_EQ(rect->bottom, 300);
  EXPECT_EQ(host.sizeWindows, (std::vector<std::pair<vst::intptr, vst::intptr>>{{500, 300}}));
  EXPECT_EQ(bound.Dispatch(vst::effEditClose), 1);
  EXPECT_FALSE(editor->IsWindowOpen());
  TestHost::current = nullptr;
}

// A scale change asks the host with audioMasterSizeWindow: while the host
// handles it effEditGetRect answers the new size; a host that refuses keeps
// the old one. The host's scale reaches the editor through the base.
TEST(IPlugVSTEditor, AResizeRequestIsAnsweredByTheHostAndARefusalKeepsTheOldSize) {
  TestHost host;
  TestHost::current = &host;
  TestPlug* product = new TestPlug();
  testplug::StubEditor* editor = new testplug::StubEditor();
  product->AttachEditor(editor);
  BoundPlug bound(product);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(bound.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  host.editRect = rect;
  EXPECT_TRUE(bound.p.RequestEditorResize(1476, 648));
  EXPECT_EQ(host.rectDuringSizeWindow, (std::vector<std::pair<int, int>>{{1476, 648}}));
  EXPECT_EQ(rect->right, 1476);
  host.sizeWindowAnswer = 0;
  EXPECT_FALSE(bound.p.RequestEditorResize(1968, 864));
  EXPECT_EQ(host.sizeWindows.size(), 2u);
  EXPECT_EQ(rect->right, 1476);
  EXPECT_EQ(rect->bottom, 648);
  // effEditGetRect answers the editor's own size whenever it is asked.
  editor->width = 1968;
  editor->height = 864;
  ASSERT_EQ(bound.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right, 1968);
  EXPECT_EQ(rect->bottom, 864);
  EXPECT_TRUE(bound.p.HostSetEditorScale(1.5));
  EXPECT_EQ(editor->hostScales, std::vector<double>{1.5});
  TestHost::current = nullptr;
}

#if QUILLET_CONTRACT_CHECKS
// VST 2 tells threads apart only in its process entries: the base hears
// "audio" there and "unknown" from the dispatcher, whatever the host's thread
// was marked before, and the mark comes back after each call.
TEST(IPlugVSTThreads, ProcessEntriesRunAsAudioTheDispatcherAsUnknown) {
  struct Roles : TestPlug {
    void ProcessBlock(double** inputs, double** outputs, int frames) override {
      seen.push_back(plug::CurrentThreadRole());
      TestPlug::ProcessBlock(inputs, outputs, frames);
    }
    void OnReset() override { seen.push_back(plug::CurrentThreadRole()); }
    std::vector<plug::ThreadRole> seen;
  };
  TestHost host;
  TestHost::current = &host;
  Roles* product = new Roles();
  BoundPlug bound(product);
  plug::ScopedThreadRole hostsMain(plug::ThreadRole::kMain);
  bound.Dispatch(vst::effSetBlockSize, 0, 64);
  float l[4] = {}, r[4] = {};
  float* io[] = {l, r};
  bound.fx()->processReplacing(bound.fx(), io, io, 4);
  double dl[4] = {}, dr[4] = {};
  double* dio[] = {dl, dr};
  bound.fx()->processDoubleReplacing(bound.fx(), dio, dio, 4);
  EXPECT_EQ(product->seen,
            (std::vector<plug::ThreadRole>{plug::ThreadRole::kUnknown, plug::ThreadRole::kAudio,
                                           plug::ThreadRole::kAudio}));
  EXPECT_EQ(plug::CurrentThreadRole(), plug::ThreadRole::kMain);
  TestHost::current = nullptr;
}
#endif

// Audio on one thread, host requests on another: every entry holds the
// instance lock, so nothing races (run under ThreadSanitizer natively).
TEST(IPlugVSTThreads, DispatcherAndProcessingNeverOverlap) {
  TestHost host;
  TestHost::current = &host;
  BoundPlug bound;
  bound.p.MakeDefaultPresets("Empty", bound.p.NPresets());
  vst::AEffect* fx = bound.fx();
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    std::vector<float> l(256, 0.5f), r(256, -0.5f), ol(256), orr(256);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {ol.data(), orr.data()};
    while (!stop.load()) {
      fx->processReplacing(fx, ins, outs, 256);
      ++blocks;
    }
  });
  for (int i = 0; i < 300 || blocks.load() < 100; ++i) {
    fx->setParameter(fx, 0, (i % 10) / 10.0f);
    fx->getParameter(fx, 0);
    bound.Dispatch(vst::effSetBlockSize, 0, 128 + (i % 3) * 64);
    void* data = nullptr;
    vst::intptr size = bound.Dispatch(vst::effGetChunk, i % 2, 0, &data);
    std::vector<unsigned char> copy(static_cast<unsigned char*>(data),
                                    static_cast<unsigned char*>(data) + size);
    bound.Dispatch(vst::effSetChunk, i % 2, size, copy.data());
    bound.Dispatch(vst::effSetProgram, 0, i % 10);
  }
  stop = true;
  audio.join();
  EXPECT_GT(host.wantMidiCalls, 0);
  TestHost::current = nullptr;
}
