// The host callback's answers and its handling of odd input from a plug-in.
#include "tools/vsthost/ScriptedHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/vsthost/HostCallbackRegistry.h"

namespace vsthost {
namespace {

TEST(ScriptedHost, CopiesTextsWithinTheDocumentedBound) {
  ScriptedHost host;
  host.setProductString(std::string(200, 'p'));
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterGetProductString, 0, 0, buffer, 0.0f), 1);
  EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(vst::kMaxProductStringLength - 1));
  EXPECT_EQ(buffer[vst::kMaxProductStringLength], 'x');  // nothing written past the bound
  // A null buffer is not written to.
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterGetVendorString, 0, 0, nullptr, 0.0f), 0);
}

TEST(ScriptedHost, AnswersTheScriptedValues) {
  ScriptedHost host;
  host.setVendorVersion(50201);
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f), 50201);
  const vst::intptr time = host.onCallback(nullptr, vst::audioMasterGetTime, 0, 0, nullptr, 0.0f);
  ASSERT_NE(time, 0);
  // The same record every time: plug-ins may read it after the call.
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterGetTime, 0, 0, nullptr, 0.0f), time);
  EXPECT_EQ(reinterpret_cast<const vst::VstTimeInfo*>(time)->tempo, 120.0);
  host.setProcessEventsAnswer(0);
  vst::VstEvents empty{};
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterProcessEvents, 0, 0, &empty, 0.0f), 0);
  EXPECT_EQ(host.onCallback(nullptr, 9999, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(host.calls().size(), 6u);
}

TEST(ScriptedHost, SurvivesMalformedEventLists) {
  ScriptedHost host;
  // A negative count, null entries, a SysEx event without data and one with a
  // negative size: nothing is read that does not exist.
  vst::VstMidiSysexEvent noDump{};
  noDump.type = vst::kVstSysExType;
  noDump.dumpBytes = 10;
  vst::VstMidiSysexEvent negative{};
  negative.type = vst::kVstSysExType;
  char data[1] = {0};
  negative.sysexDump = data;
  negative.dumpBytes = -5;
  vst::VstEvents list{};
  list.numEvents = -3;
  EXPECT_EQ(host.onCallback(nullptr, vst::audioMasterProcessEvents, 0, 0, &list, 0.0f), 1);
  EXPECT_TRUE(host.events().empty());

  list.numEvents = 2;
  list.events[0] = nullptr;
  list.events[1] = reinterpret_cast<vst::VstEvent*>(&noDump);
  host.onCallback(nullptr, vst::audioMasterProcessEvents, 0, 0, &list, 0.0f);
  list.events[0] = reinterpret_cast<vst::VstEvent*>(&negative);
  list.numEvents = 1;
  host.onCallback(nullptr, vst::audioMasterProcessEvents, 0, 0, &list, 0.0f);
  host.onCallback(nullptr, vst::audioMasterProcessEvents, 0, 0, nullptr, 0.0f);
  ASSERT_EQ(host.events().size(), 2u);
  EXPECT_TRUE(host.events()[0].bytes.empty());
  EXPECT_TRUE(host.events()[1].bytes.empty());
}

TEST(HostCallbackRegistry, GivesUnknownInstancesANeutralAnswer) {
  vst::HostCallback callback = HostCallbackRegistry::callback();
  vst::AEffect stranger{};
  char text[64] = "unchanged";
  EXPECT_EQ(callback(&stranger, vst::audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
  EXPECT_EQ(callback(&stranger, vst::audioMasterGetVendorString, 0, 0, text, 0.0f), 0);
  EXPECT_STREQ(text, "unchanged");
  EXPECT_EQ(callback(nullptr, vst::audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);

  ScriptedHost host;
  HostCallbackRegistry::add(&stranger, &host);
  EXPECT_EQ(callback(&stranger, vst::audioMasterGetVendorString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "Quillet");
  HostCallbackRegistry::remove(&stranger);
  EXPECT_EQ(HostCallbackRegistry::find(&stranger), nullptr);
}

}  // namespace
}  // namespace vsthost
