// The plug-in base as a binding drives it: host services through the
// binding's IHostServices (and none without one), parameters from the host,
// and the editor's window entries.
#include "plug/IPlugBase.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

#include "TestPlug.h"

using testplug::RecordingServices;
using testplug::StubEditor;
using testplug::TestPlug;
using Calls = std::vector<std::string>;

TEST(HostServices, WithoutServicesEveryServiceIsAQuietNo) {
  TestPlug p;
  StubEditor* editor = new StubEditor();
  p.AttachEditor(editor);
  p.BeginParamGesture(0);
  p.SetParameterFromEditor(0, 0.5);
  p.EndParamGesture(0);
  p.NotifyHostDisplayChanged();
  p.ResizeEditor(10, 10);
  p.SetLatencySamples(32);
  EXPECT_EQ(p.GetLatency(), 32);
  EXPECT_FALSE(p.IsOfflineRender());
  plug::IMidiMessage note{0, 0x90, 60, 100};
  EXPECT_FALSE(p.SendMidiToHost(&note));
  plug::ISysExMessage sysex{};
  EXPECT_FALSE(p.SendSysExToHost(&sysex));
  plug::ITransportInfo info;
  info.tempo = 99.0;
  p.GetTransportInfo(&info);
  EXPECT_EQ(info.tempo, 99.0);  // left as it was
  EXPECT_EQ(p.GetHostTempo(), 0.0);
  EXPECT_EQ(p.GetSamplePosition(), 0);
  int num = 5, den = 5;
  p.GetTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);
  EXPECT_EQ(p.GetFormatCode(), plug::kFormatVst2);
}

TEST(HostServices, EveryServiceReachesTheBindingInOrderUntilUnset) {
  TestPlug p;
  p.AttachEditor(new StubEditor());
  RecordingServices services;
  services.offline = true;
  p.SetHostServices(&services);
  EXPECT_EQ(p.GetFormatCode(), plug::kFormatClap);
  p.BeginParamGesture(1);
  p.SetParameterFromEditor(1, 0.4);  // the host hears the unrounded value
  p.EndParamGesture(1);
  p.NotifyHostDisplayChanged();
  p.ResizeEditor(1, 1);  // the editor's own size goes out
  p.SetLatencySamples(64);
  plug::IMidiMessage note{7, 0x90, 60, 100};
  p.OnMidiMessage(&note);  // the default passes MIDI on
  unsigned char dump[3] = {0xF0, 0x7E, 0xF7};
  plug::ISysExMessage sysex{0, 3, dump};
  EXPECT_TRUE(p.SendSysExToHost(&sysex));
  EXPECT_TRUE(p.IsOfflineRender());
  EXPECT_EQ(services.calls, (Calls{"begin 1", "value 1 0.4", "end 1", "display", "resize 984 432",
                                   "latency 64", "midi 144 60 100 @7", "sysex 3"}));
  EXPECT_EQ(p.GetParam(1)->Value(), 1.0);  // 0.8 rounded to the step

  p.SetHostServices(nullptr);
  p.SetParameterFromEditor(1, 0.0);
  p.NotifyHostAllParams();
  EXPECT_EQ(services.calls.size(), 8u);
  EXPECT_EQ(p.GetFormatCode(), plug::kFormatClap);  // the code stays
}

// Formats that give the transport as one record get the single-field
// queries for free; unknown fields read as 0.
TEST(HostServices, SingleTransportFieldsComeFromTheRecord) {
  TestPlug p;
  RecordingServices services;
  p.SetHostServices(&services);
  services.transport.tempo = 133.0;
  services.transport.samplePos = 1000.6;
  services.transport.numerator = 7;
  services.transport.denominator = 8;
  EXPECT_EQ(p.GetHostTempo(), 133.0);
  EXPECT_EQ(p.GetSamplePosition(), 1001);
  int num = 0, den = 0;
  p.GetTimeSignature(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  services.transport.samplePos = 1e12;
  EXPECT_EQ(p.GetSamplePosition(), 2147483647);  // saturates
  services.hasTransport = false;
  EXPECT_EQ(p.GetHostTempo(), 0.0);
  EXPECT_EQ(p.GetSamplePosition(), 0);
  p.GetTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);
}

class HostEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    editor_ = new StubEditor();
    p_.AttachEditor(editor_);
    p_.SetHostServices(&services_);
    p_.changed.clear();
  }
  TestPlug p_;
  StubEditor* editor_ = nullptr;
  RecordingServices services_;
};

// The editor shows a host's value before the parameter takes it (stepped
// kinds round), and the host is not told back.
TEST_F(HostEntries, NormalisedValuesReachEditorThenParameter) {
  plug::InstanceLock lock(p_.Mutex());
  p_.HostSetParameter(0, 0.5);
  p_.HostSetParameter(1, 0.4);
  p_.HostSetParameter(4, 0.5);
  p_.HostSetParameter(-1, 0.5);
  EXPECT_DOUBLE_EQ(p_.GetParam(0)->Value(), 1.0 + 999.0 * 0.25);
  EXPECT_EQ(p_.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(editor_->shown, (Calls{"p0 0.5 normalised", "p1 0.4 normalised"}));
  EXPECT_EQ(p_.changed, (std::vector<int>{0, 1}));
  EXPECT_TRUE(services_.calls.empty());
}

// Plain values (LV2 ports) are taken exactly where a normalised round trip
// through the response curve would not be; stepped kinds take whole steps.
TEST_F(HostEntries, PlainValuesAreTakenExactly) {
  plug::InstanceLock lock(p_.Mutex());
  const double length = 0.1 + 0.2;  // no exact normalised value maps back to it
  p_.HostSetParameterPlain(0, length);
  EXPECT_EQ(p_.GetParam(0)->Value(), 1.0);  // clamped to the minimum
  p_.HostSetParameterPlain(0, 60.3);
  EXPECT_EQ(p_.GetParam(0)->Value(), 60.3);
  p_.HostSetParameterPlain(0, 5000.0);
  EXPECT_EQ(p_.GetParam(0)->Value(), 1000.0);
  p_.HostSetParameterPlain(0, std::nan(""));  // ignored
  EXPECT_EQ(p_.GetParam(0)->Value(), 1000.0);
  p_.HostSetParameterPlain(1, 1.6);
  EXPECT_EQ(p_.GetParam(1)->Value(), 2.0);
  p_.HostSetParameterPlain(9, 1.0);
  EXPECT_EQ(p_.changed, (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(editor_->shown.back(), "p1 2 plain");
  EXPECT_TRUE(services_.calls.empty());
}

TEST_F(HostEntries, TextsReadAsValueTextsOrNumbers) {
  plug::InstanceLock lock(p_.Mutex());
  EXPECT_TRUE(p_.HostSetParameterText(1, "SYNC"));
  EXPECT_EQ(p_.GetParam(1)->Value(), 1.0);
  EXPECT_FALSE(p_.HostSetParameterText(1, "sync"));  // value texts match exactly
  EXPECT_FALSE(p_.HostSetParameterText(1, nullptr));
  EXPECT_FALSE(p_.HostSetParameterText(9, "1"));
  EXPECT_TRUE(p_.HostSetParameterText(0, "1.5 ms"));
  EXPECT_EQ(p_.GetParam(0)->Value(), 1.5);
  EXPECT_TRUE(p_.HostSetParameterText(0, "99999"));
  EXPECT_EQ(p_.GetParam(0)->Value(), 1000.0);  // clamped
  EXPECT_TRUE(p_.HostSetParameterText(0, "abc"));
  EXPECT_EQ(p_.GetParam(0)->Value(), 1.0);  // no number reads as 0, clamped
  EXPECT_TRUE(p_.HostSetParameterText(2, "5"));
  EXPECT_EQ(p_.GetParam(2)->Value(), -5.0);  // negated display
  EXPECT_EQ(p_.changed, (std::vector<int>{1, 0, 0, 0, 2}));
  EXPECT_EQ(editor_->shown.front(), "p1 1 plain");
  EXPECT_TRUE(services_.calls.empty());
}

TEST_F(HostEntries, EditorOpensClosesAndRunsEventsThroughTheBase) {
  struct Hooks : TestPlug {
    void OnEditorOpened() override { log.push_back("opened"); }
    void OnEditorClosing() override { log.push_back("closing"); }
    std::vector<std::string> log;
  } hooks;
  StubEditor* editor = new StubEditor();
  EXPECT_FALSE(hooks.HostOpenEditor(nullptr));  // no editor yet
  EXPECT_FALSE(hooks.HostCloseEditor());
  hooks.AttachEditor(editor);
  EXPECT_FALSE(hooks.HostOpenEditor(nullptr));  // no window for no parent
  int parent = 0;
  EXPECT_TRUE(hooks.HostOpenEditor(&parent));
  EXPECT_TRUE(editor->IsWindowOpen());
  hooks.HostEditorEvents();
  EXPECT_TRUE(hooks.HostCloseEditor());
  EXPECT_TRUE(hooks.HostCloseEditor());  // closing twice is safe, no second hook
  EXPECT_EQ(hooks.log, (Calls{"opened", "closing"}));
  EXPECT_EQ(editor->eventRuns, 1);
  EXPECT_EQ(editor->closes, 2);
}
