#include "quillet/Quillet.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The host side of one test: what the plug-in sent and the time it is told.
struct Host {
  std::vector<vst::VstMidiEvent> midiOut;
  vst::VstTimeInfo time{};
  bool hasTime = false;

  static Host* current;
  static vst::intptr VST_CALL Callback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                       void* ptr, float) {
    Host* host = current;
    if (!host) return 0;
    if (opcode == vst::audioMasterGetTime)
      return host->hasTime ? reinterpret_cast<vst::intptr>(&host->time) : 0;
    if (opcode == vst::audioMasterProcessEvents && ptr) {
      const vst::VstEvents* events = static_cast<const vst::VstEvents*>(ptr);
      for (int i = 0; i < events->numEvents; ++i) {
        if (events->events[i]->type == vst::kVstMidiType)
          host->midiOut.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(events->events[i]));
      }
      return 1;
    }
    return 0;
  }
};
Host* Host::current = nullptr;

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

// A plug-in whose settings file lives in a scratch folder, at 44.1 kHz.
class QuilletTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("quillet-test-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder_);
    SetVariable("QUILLET_LOCAL_APPDATA", folder_.string().c_str());
    Host::current = &host_;
    plug_ = std::make_unique<Quillet>(Host::Callback);
    // As a host starts it: sample rate, then activation (every parameter again).
    plug_->OnReset();
    plug_->OnActivation(true);
  }
  void TearDown() override {
    plug_.reset();
    Host::current = nullptr;
    SetVariable("QUILLET_LOCAL_APPDATA", nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  void SetPlain(int index, double value) {
    plug_->GetParam(index)->SetClamped(value);
    plug_->OnParamChanged(index);
  }
  void Midi(unsigned char status, unsigned char data1, unsigned char data2) {
    plug::IMidiMessage msg;
    msg.status = status;
    msg.data1 = data1;
    msg.data2 = data2;
    plug_->OnMidiMessage(&msg);
  }
  // Processes n frames of a fixed signal; returns the left output.
  std::vector<double> Process(int n, std::vector<double>* inputLeft = nullptr) {
    std::vector<double> l(n), r(n), ol(n, 12345.0), orr(n, 12345.0);
    for (int i = 0; i < n; ++i) {
      l[i] = 0.5 * std::sin(0.01 * i + phase_);
      r[i] = 0.25 * std::cos(0.02 * i + phase_);
    }
    phase_ += 0.01 * n;
    double* in[2] = {l.data(), r.data()};
    double* out[2] = {ol.data(), orr.data()};
    plug_->ProcessBlock(in, out, n);
    if (inputLeft) *inputLeft = l;
    return ol;
  }

  Host host_;
  std::filesystem::path folder_;
  std::unique_ptr<Quillet> plug_;
  double phase_ = 0.0;
};

const char* const kFactoryNames[] = {
    "default",        "Sync 2 Host",      "Frequency", "MIDI Standard", "MIDI Synced",
    "Ring Modulator", "Synced Reversals", "Sequenced", "Slap Back",     "Strange Mix"};

}  // namespace

TEST_F(QuilletTest, StartsOnTheDefaultProgramWithAllFactoryPrograms) {
  EXPECT_EQ(plug_->GetCurrentPresetIdx(), 0);
  for (int i = 0; i < Quillet::kPresetCount; ++i) {
    EXPECT_TRUE(plug_->GetPreset(i)->initialised) << i;
    EXPECT_STREQ(plug_->GetPresetName(i), kFactoryNames[i]) << i;
  }
  EXPECT_EQ(plug_->GetParam(quillet::kGrainLength)->Value(), 20.0);
  EXPECT_EQ(plug_->Engine().Mode(), quillet::GrainMode::kMilliseconds);
  EXPECT_EQ(plug_->Engine().GetFrame(0).PeriodSamples(), 7056);  // 160 ms at 44.1 kHz
}

TEST_F(QuilletTest, ParametersAsTheHostSeesThem) {
  const plug::IParameter* p = plug_->GetParam(quillet::kGrainFrequency);
  EXPECT_STREQ(p->Name(), "Grain Frequency");
  EXPECT_EQ(p->Min(), 16.0);
  EXPECT_EQ(p->Max(), 5000.0);
  EXPECT_EQ(p->Shape(), 4.0);
  EXPECT_STREQ(p->UnitLabel(), "Hz");
  EXPECT_STREQ(plug_->GetParam(quillet::kGrainMode)->FindValueText(3), "MIDI");
  EXPECT_STREQ(plug_->GetParam(quillet::kGrainSync)->FindValueText(2), "1/16T");
  EXPECT_STREQ(plug_->GetParam(quillet::kFrameSync)->FindValueText(19), "4/1");
  EXPECT_EQ(plug_->GetParam(quillet::kMidiPolyphony)->Kind(), plug::ParamKind::Integer);
  EXPECT_EQ(plug_->GetParam(quillet::kFrameSyncToHost)->Kind(), plug::ParamKind::Switch);
  EXPECT_EQ(plug_->GetParam(25)->Kind(), plug::ParamKind::None);
  EXPECT_STREQ(plug_->GetParam(25)->Name(), "");
}

TEST_F(QuilletTest, VolumeAndMixTexts) {
  char text[plug::IParameter::kTextCapacity];
  const struct {
    double value;
    const char* text;
  } volume[] = {{0.0, "-oo"}, {1.0, "0.0"}, {2.0, "6.0"}, {0.5, "-6.0"}},
    mix[] = {{0.0, "Dry"}, {1.0, "Wet"}, {0.5, "50:50"}, {0.7, "30:70"}};
  for (const auto& c : volume) {
    Quillet::FormatVolume(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
  for (const auto& c : mix) {
    Quillet::FormatMix(c.value, text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
  Quillet::FormatVolume(1e-300, text);  // -6000 dB still fits 8 bytes
  EXPECT_LT(std::strlen(text), 8u);
  // A host in a decimal-comma locale still reads decibels with a point.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && std::localeconv()->decimal_point[0] == ',') {
    Quillet::FormatVolume(0.5, text);
    EXPECT_STREQ(text, "-6.0");
  }
  std::setlocale(LC_NUMERIC, "C");
}

TEST_F(QuilletTest, MixZeroReturnsTheInputTimesVolume) {
  SetPlain(quillet::kGrainMode, 2);
  SetPlain(quillet::kMix, 0.0);
  SetPlain(quillet::kVolume, 1.5);
  std::vector<double> in;
  const std::vector<double> out = Process(700, &in);
  for (int i = 0; i < 700; ++i) ASSERT_EQ(out[i], in[i] * 1.5) << i;
}

TEST_F(QuilletTest, ResetCurrentPresetRestoresTheFactoryProgram) {
  plug_->RestorePreset(8);
  SetPlain(quillet::kMix, 0.1);
  SetPlain(quillet::kGrainMode, 0);
  plug_->ModifyCurrentPreset("mine");
  EXPECT_STREQ(plug_->GetPresetName(8), "mine");
  plug_->MakeFactoryPreset(8);
  EXPECT_STREQ(plug_->GetPresetName(8), "Slap Back");
  EXPECT_EQ(plug_->GetParam(quillet::kMix)->Value(), 0.7);
  EXPECT_EQ(plug_->GetParam(quillet::kGrainSync)->Value(), 8.0);  // "1/4T"
  EXPECT_EQ(plug_->GetParam(quillet::kFrameSkew)->Value(), -1.0);
  EXPECT_EQ(plug_->Engine().Mode(), quillet::GrainMode::kSync);  // the engine follows
  EXPECT_EQ(plug_->GetCurrentPresetIdx(), 8);
}

TEST_F(QuilletTest, ProgramValuesAreClampedIntoRange) {
  double values[Quillet::kParamCount] = {};
  values[quillet::kVolume] = 9.0;
  values[quillet::kGrainLength] = -4.0;
  values[quillet::kMidiPolyphony] = 3.9;  // integer kinds take the integer part
  values[25] = 0.7;                       // an uninitialised slot: integer too
  plug_->MakePresetFromValues(4, "odd", values);
  EXPECT_EQ(plug_->GetParam(quillet::kVolume)->Value(), 2.0);
  EXPECT_EQ(plug_->GetParam(quillet::kGrainLength)->Value(), 0.2);
  EXPECT_EQ(plug_->GetParam(quillet::kMidiPolyphony)->Value(), 3.0);
  EXPECT_EQ(plug_->GetParam(25)->Value(), 0.0);
  EXPECT_EQ(plug_->Engine().Polyphony(), 3);
}

TEST_F(QuilletTest, UninitialisedSlotsChangeNothingAudible) {
  const std::vector<double> before = Process(300);
  Quillet other(Host::Callback);
  other.OnReset();
  other.OnActivation(true);
  other.GetParam(25)->SetClamped(1.0);
  other.OnParamChanged(25);
  std::vector<double> l(300), r(300), ol(300), orr(300);
  for (int i = 0; i < 300; ++i) {
    l[i] = 0.5 * std::sin(0.01 * i);
    r[i] = 0.25 * std::cos(0.02 * i);
  }
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {ol.data(), orr.data()};
  other.ProcessBlock(in, out, 300);
  EXPECT_EQ(ol, before);
}

TEST_F(QuilletTest, FrameSyncToHostAtHalfCountsAsOn) {
  SetPlain(quillet::kFrameSyncToHost, 0.5);
  EXPECT_TRUE(plug_->Engine().NeedsHostTempo());
  // The host's tempo reaches the engine: 1/4 at 150 beats per minute.
  host_.hasTime = true;
  host_.time.tempo = 150.0;
  host_.time.samplePos = 0.0;
  host_.time.flags = vst::kVstTempoValid | vst::kVstTransportPlaying;
  Process(64);
  EXPECT_EQ(plug_->Engine().SyncedFrameSamples(), 17640);
  // A host without time info: 120 beats per minute.
  host_.hasTime = false;
  Process(64);
  EXPECT_EQ(plug_->Engine().SyncedFrameSamples(), 22050);
}

TEST_F(QuilletTest, NotesPlayInMidiModeAndEveryMessageGoesThru) {
  Midi(0x90, 60, 100);  // M.SEC: ignored, still sent on
  EXPECT_TRUE(plug_->Engine().GetEnvelope(0).IsIdle());
  SetPlain(quillet::kGrainMode, 3);
  Midi(0x91, 69, 1);
  EXPECT_EQ(plug_->Engine().GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kAttack);
  EXPECT_DOUBLE_EQ(plug_->Engine().GetFrame(0).GrainA().PeriodSeconds(), 1.0 / 440.0);
  Process(512);
  Midi(0x90, 69, 0);  // velocity 0: note-off
  EXPECT_EQ(plug_->Engine().GetEnvelope(0).GetStage(), quillet::Envelope::Stage::kRelease);
  Midi(0x90, 72, 100);
  Process(512);
  Midi(0xB0, 123, 0);  // all notes off: silence at once
  for (int v = 0; v < 8; ++v) EXPECT_TRUE(plug_->Engine().GetEnvelope(v).IsIdle());
  Midi(0x90, 200, 100);  // not a note
  Midi(0xF8, 0, 0);      // clock
  ASSERT_EQ(host_.midiOut.size(), 7u);
  EXPECT_EQ(static_cast<unsigned char>(host_.midiOut[0].midiData[0]), 0x90);
  EXPECT_EQ(static_cast<unsigned char>(host_.midiOut[3].midiData[2]), 100);
  EXPECT_EQ(static_cast<unsigned char>(host_.midiOut[6].midiData[0]), 0xF8);
}

// Re-sending the current mode (automation read, a chunk loaded mid-playback)
// keeps the notes; a real change of mode silences them.
TEST_F(QuilletTest, OnlyARealModeChangeSilencesVoices) {
  SetPlain(quillet::kGrainMode, 3);
  Midi(0x90, 60, 100);
  Process(256);
  EXPECT_GT(plug_->Engine().GetEnvelope(0).Level(), 0.0);
  SetPlain(quillet::kGrainMode, 3);
  EXPECT_FALSE(plug_->Engine().GetEnvelope(0).IsIdle());
  SetPlain(quillet::kGrainMode, 2);
  EXPECT_TRUE(plug_->Engine().GetEnvelope(0).IsIdle());
  SetPlain(quillet::kGrainMode, 3);
  Midi(0x90, 60, 100);
  Midi(0xB0, 120, 0);  // all sound off
  EXPECT_TRUE(plug_->Engine().GetEnvelope(0).IsIdle());
}

TEST_F(QuilletTest, EveryFactoryProgramProcessesCleanly) {
  for (int program = 0; program < Quillet::kPresetCount; ++program) {
    plug_->RestorePreset(program);
    Midi(0x90, 57, 90);
    Midi(0x90, 64, 90);
    for (int block = 0; block < 20; ++block) {
      const std::vector<double> out = Process(512);
      for (double x : out) {
        ASSERT_TRUE(std::isfinite(x)) << kFactoryNames[program];
        ASSERT_LT(std::fabs(x), 10.0) << kFactoryNames[program];
      }
    }
  }
}
