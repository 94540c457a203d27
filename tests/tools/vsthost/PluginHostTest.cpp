// The test host against the pass-through fixture plug-in: loading, routing of
// the host callback to the right instance, and the records it keeps.
#include "tools/vsthost/PluginHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tools/vsthost/AudioBuffer.h"

namespace vsthost {
namespace {

// effVendorSpecific requests of the fixture (PassThroughPlugin.cpp).
constexpr vst::int32 kFixtureCreationVendor = 0x7E570001;
constexpr vst::int32 kFixtureGesture = 0x7E570002;
constexpr vst::int32 kFixtureTempo = 0x7E570003;
constexpr vst::int32 kFixtureProcessLevel = 0x7E570004;
constexpr vst::int32 kFixtureSendSysEx = 0x7E570005;

TEST(PluginHost, LoadsThroughVstPluginMainAndReadsTheRecord) {
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  EXPECT_EQ(plugin.entryName(), "VSTPluginMain");
  EXPECT_EQ(plugin.effect()->uniqueID, vst::FourCharCode('q', 'H', 'f', 'x'));
  EXPECT_EQ(plugin.effectName(), "PassThrough");
  EXPECT_EQ(plugin.vendorString(), "Quillet tests");
}

TEST(PluginHost, FallsBackToTheMainExport) {
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_MAIN_ONLY_PATH, &error), LoadStatus::kLoaded) << error;
  EXPECT_EQ(plugin.entryName(), "main");
  EXPECT_EQ(plugin.effect()->magic, vst::kEffectMagic);
}

TEST(PluginHost, ReportsMissingBinaryAndMissingEntryPoint) {
  PluginHost plugin;
  std::string error;
  EXPECT_EQ(plugin.load(std::string(FIXTURE_PLUGIN_PATH) + ".missing", &error),
            LoadStatus::kCannotOpen);
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
  EXPECT_EQ(plugin.effect(), nullptr);

  error.clear();
  EXPECT_EQ(plugin.load(FIXTURE_NO_ENTRY_PATH, &error), LoadStatus::kNoEntryPoint);
  EXPECT_NE(error.find("entry point"), std::string::npos) << error;
  // Nothing to call into: the wrappers answer neutrally instead of crashing.
  EXPECT_EQ(plugin.dispatch(vst::effGetVstVersion), 0);
  EXPECT_EQ(plugin.getParameter(0), 0.0f);
  EXPECT_FALSE(plugin.processReplacing(nullptr, nullptr, 0));
}

TEST(PluginHost, CallbacksDuringCreationReachTheCreatingHost) {
  // The fixture asks for the vendor string inside its entry point, before the
  // host knows the record's address; each instance must see its own host.
  auto* firstHost = new ScriptedHost();
  auto* secondHost = new ScriptedHost();
  firstHost->setVendorString("First Host Inc");
  secondHost->setVendorString("Second Host Ltd");
  PluginHost first(firstHost);
  PluginHost second(secondHost);
  std::string error;
  ASSERT_EQ(first.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  ASSERT_EQ(second.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;

  TextAnswer firstAnswer = first.queryText(vst::effVendorSpecific, kFixtureCreationVendor);
  TextAnswer secondAnswer = second.queryText(vst::effVendorSpecific, kFixtureCreationVendor);
  EXPECT_EQ(firstAnswer.text, "First Host Inc");
  EXPECT_EQ(firstAnswer.result, vst::kVstVersion);
  EXPECT_EQ(secondAnswer.text, "Second Host Ltd");
  EXPECT_EQ(firstHost->countOf(vst::audioMasterGetVendorString), 1);
  EXPECT_EQ(secondHost->countOf(vst::audioMasterGetVendorString), 1);
}

TEST(PluginHost, RecordsGesturesAutomationAndDisplayUpdates) {
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  plugin.dispatch(vst::effVendorSpecific, kFixtureGesture, 2, nullptr, 0.25f);
  plugin.dispatch(vst::effVendorSpecific, kFixtureGesture, 0, nullptr, 1.0f);

  const std::vector<AutomationRecord> automation = plugin.host().automation();
  ASSERT_EQ(automation.size(), 2u);
  EXPECT_EQ(automation[0].index, 2);
  EXPECT_EQ(automation[0].value, 0.25f);
  EXPECT_EQ(automation[1].index, 0);
  EXPECT_EQ(automation[1].value, 1.0f);
  EXPECT_EQ(plugin.host().beginEdits(), (std::vector<vst::int32>{2, 0}));
  EXPECT_EQ(plugin.host().endEdits(), (std::vector<vst::int32>{2, 0}));
  EXPECT_EQ(plugin.host().updateDisplayCount(), 2);
}

TEST(PluginHost, AnswersTimeInfoProcessLevelAndAHostWithoutTime) {
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  vst::VstTimeInfo info{};
  info.tempo = 133.5;
  info.flags = vst::kVstTempoValid;
  plugin.host().setTimeInfo(info);
  EXPECT_EQ(plugin.dispatch(vst::effVendorSpecific, kFixtureTempo), 133500);
  EXPECT_EQ(plugin.host().lastTimeFilter(), vst::kVstTempoValid);

  info.flags = vst::kVstTransportPlaying;
  plugin.host().setTimeInfo(info);
  EXPECT_EQ(plugin.dispatch(vst::effVendorSpecific, kFixtureTempo), -2);

  plugin.host().clearTimeInfo();
  EXPECT_EQ(plugin.dispatch(vst::effVendorSpecific, kFixtureTempo), -1);

  EXPECT_EQ(plugin.dispatch(vst::effVendorSpecific, kFixtureProcessLevel), 0);
  plugin.host().setProcessLevel(vst::kProcessLevelOffline);
  EXPECT_EQ(plugin.dispatch(vst::effVendorSpecific, kFixtureProcessLevel),
            vst::kProcessLevelOffline);
}

TEST(PluginHost, KeepsCopiesOfEventsThePluginSendsBack) {
  // The fixture echoes MIDI from its stack and overwrites it right after the
  // callback; the records must still hold the original bytes.
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  const std::vector<HostEvent> sent = {
      HostEvent::midi(0, 0x90, 60, 100), HostEvent::sysEx(5, {0xF0, 0x01, 0xF7}),
      HostEvent::midi(17, 0x80, 60, 0), HostEvent::midi(511, 0xB3, 7, 127)};
  EXPECT_EQ(plugin.sendEvents(sent), 1);
  plugin.dispatch(vst::effVendorSpecific, kFixtureSendSysEx, 33);

  const std::vector<HostEvent> received = plugin.host().events();
  ASSERT_EQ(received.size(), 4u);
  const HostEvent* midiSent[] = {&sent[0], &sent[2], &sent[3]};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(received[i].type, vst::kVstMidiType);
    EXPECT_EQ(received[i].byteSize, 32);
    EXPECT_EQ(received[i].deltaFrames, midiSent[i]->deltaFrames);
    EXPECT_EQ(received[i].bytes, midiSent[i]->bytes);
  }
  EXPECT_EQ(received[3].type, vst::kVstSysExType);
  EXPECT_EQ(received[3].deltaFrames, 33);
  EXPECT_EQ(received[3].bytes, (std::vector<std::uint8_t>{0xF0, 0x7D, 0x01, 0x02, 0x03, 0xF7}));
}

TEST(PluginHost, ChunkHelpersCopyThePluginData) {
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  plugin.setParameter(0, 0.5f);
  plugin.setParameter(2, 0.75f);
  std::vector<std::uint8_t> chunk;
  ASSERT_EQ(plugin.getChunk(ChunkKind::kProgram, &chunk), 12);
  ASSERT_EQ(chunk.size(), 12u);
  // The copy is the host's: later changes in the plug-in do not reach it.
  plugin.setParameter(0, 0.0f);
  plugin.destroyInstance();
  ASSERT_EQ(plugin.createInstance(&error), LoadStatus::kLoaded) << error;
  EXPECT_EQ(plugin.getParameter(0), 0.0f);
  EXPECT_EQ(plugin.setChunk(ChunkKind::kProgram, chunk), 1);
  EXPECT_EQ(plugin.getParameter(0), 0.5f);
  EXPECT_EQ(plugin.getParameter(2), 0.75f);
}

TEST(PluginHost, ProcessEntriesCountOneMidiRequestEach) {
  PluginHost plugin;
  std::string error;
  ASSERT_EQ(plugin.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  AudioBuffer<float> input(2, 16);
  AudioBuffer<float> output(2, 16);
  AudioBuffer<double> inputDouble(2, 16);
  AudioBuffer<double> outputDouble(2, 16);
  EXPECT_TRUE(plugin.processReplacing(input.pointers(), output.pointers(), 16));
  EXPECT_TRUE(plugin.processAccumulating(input.pointers(), output.pointers(), 16));
  EXPECT_TRUE(plugin.processDoubleReplacing(inputDouble.pointers(), outputDouble.pointers(), 16));
  EXPECT_EQ(plugin.host().wantMidiCount(), 3);
}

TEST(PluginHost, InstancesOnSeveralThreadsKeepTheirOwnRecords) {
  // Two instances process on two threads while this thread reads the records:
  // the routing table and the records must be safe (run under ThreadSanitizer).
  PluginHost first;
  PluginHost second;
  std::string error;
  ASSERT_EQ(first.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  ASSERT_EQ(second.load(FIXTURE_PLUGIN_PATH, &error), LoadStatus::kLoaded) << error;
  constexpr int kBlocks = 2000;
  std::atomic<bool> running{true};
  auto work = [](PluginHost* plugin) {
    AudioBuffer<float> input(2, 32);
    AudioBuffer<float> output(2, 32);
    for (int i = 0; i < kBlocks; ++i) {
      plugin->processReplacing(input.pointers(), output.pointers(), 32);
    }
  };
  std::thread reader([&] {
    while (running.load()) {
      (void)first.host().wantMidiCount();
      (void)second.host().calls();
    }
  });
  std::thread a(work, &first);
  std::thread b(work, &second);
  a.join();
  b.join();
  running.store(false);
  reader.join();
  EXPECT_EQ(first.host().wantMidiCount(), kBlocks);
  EXPECT_EQ(second.host().wantMidiCount(), kBlocks);
}

}  // namespace
}  // namespace vsthost
