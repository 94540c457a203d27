// MIDI learn in the LV2 plug-in, started from its UI: the UI's message on the
// events input sets the mode, the controller and the parameter port finish
// the learn there (the settings file gets the assignment), and the plug-in's
// mode goes out on its atom output for the UI after every message and every
// change. Messages that are cut short or name no mode change nothing.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "e2e/lv2/Lv2Fixture.h"
#include "lv2/atom/atom.h"

namespace e2e {
namespace {

constexpr const char* kLearnMessage = "https://vellum-music.com/plugins/quillet#MidiLearn";
constexpr const char* kLearnMode = "https://vellum-music.com/plugins/quillet#learnMode";
constexpr int kGrainLength = 3;

// The UI's message as it travels in a sequence: the object's body.
struct MessageBody {
  LV2_Atom_Object_Body object;
  LV2_Atom_Property_Body property;
  int32_t mode;
  int32_t pad;
};

class Lv2Learn : public ::testing::Test {
 protected:
  // The instance keeps its settings in a folder of this test's own, read
  // when it is made.
  void SetUp() override {
    char folder[] = "/tmp/quillet-lv2-learn-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    const char* old = std::getenv("QUILLET_LOCAL_APPDATA");
    if (old) oldAppData_ = old;
    hadAppData_ = old != nullptr;
    setenv("QUILLET_LOCAL_APPDATA", folder_.c_str(), 1);
    std::string error;
    ASSERT_TRUE(host_.load(QUILLET_LV2_BUNDLE, kQuilletUri, &error)) << error;
    ASSERT_TRUE(host_.instantiate(44100.0, 512, true, &error)) << error;
    host_.activate();
  }
  void TearDown() override {
    if (hadAppData_)
      setenv("QUILLET_LOCAL_APPDATA", oldAppData_.c_str(), 1);
    else
      unsetenv("QUILLET_LOCAL_APPDATA");
    std::system(("rm -rf '" + folder_ + "'").c_str());
  }

  MessageBody Message(int mode) {
    MessageBody m{};
    m.object.otype = host_.map(kLearnMessage);
    m.property.key = host_.map(kLearnMode);
    m.property.value.type = host_.map(LV2_ATOM__Int);
    m.property.value.size = sizeof(int32_t);
    m.mode = mode;
    return m;
  }
  void Send(const MessageBody& m, uint32_t size = sizeof(LV2_Atom_Object_Body) +
                                                  sizeof(LV2_Atom_Property_Body) +
                                                  sizeof(int32_t)) {
    host_.addRawEvent(0, LV2_ATOM__Object, &m, size);
  }
  void Run() {
    StereoBuffers buffers(64);
    host_.run(buffers.inputs, buffers.outputs, 64);
  }
  // The modes the last run reported, as "frame:mode".
  std::string Reports() {
    std::string out;
    for (const lv2host::AtomOut& a : host_.atomsOut()) {
      EXPECT_EQ(a.type, host_.map(LV2_ATOM__Object));
      MessageBody m{};
      EXPECT_GE(a.body.size(), sizeof(MessageBody) - sizeof(int32_t));
      std::memcpy(&m, a.body.data(), std::min(a.body.size(), sizeof m));
      EXPECT_EQ(m.object.otype, host_.map(kLearnMessage));
      EXPECT_EQ(m.property.key, host_.map(kLearnMode));
      EXPECT_EQ(m.property.value.type, host_.map(LV2_ATOM__Int));
      out += (out.empty() ? "" : " ") + std::to_string(a.frame) + ":" + std::to_string(m.mode);
    }
    return out;
  }
  std::string Settings() {
    std::ifstream in(folder_ + "/VellumMusic/quillet.ini");
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
  }

  std::string folder_, oldAppData_;
  bool hadAppData_ = false;
  lv2host::Lv2Host host_;
};

TEST_F(Lv2Learn, TheUisMessageLearnsAControllerAndTheModeGoesBack) {
  Send(Message(1));
  Run();
  EXPECT_EQ(Reports(), "63:1");
  Run();
  EXPECT_EQ(Reports(), "") << "told once";

  host_.addMidi(10, 0xB0, 7, 64);
  host_.setControl(kGrainLength, host_.control(kGrainLength) + 10.0f);
  Run();
  EXPECT_EQ(Reports(), "63:0") << "the learn finished";
  EXPECT_EQ(Settings(), "[MIDI Control]\nCC7=3\n");

  // Unlearning: the parameter touched takes its controllers away.
  Send(Message(2));
  Run();
  EXPECT_EQ(Reports(), "63:2");
  host_.setControl(kGrainLength, host_.control(kGrainLength) + 10.0f);
  Run();
  EXPECT_EQ(Reports(), "63:0");
  EXPECT_EQ(Settings(), "[MIDI Control]\n");

  // Off by hand, and a message that changes nothing is still answered (a
  // new UI learns the mode it starts with).
  Send(Message(1));
  Send(Message(0));
  Run();
  EXPECT_EQ(Reports(), "63:0");
  host_.addMidi(0, 0xB0, 9, 1);
  host_.setControl(kGrainLength, host_.control(kGrainLength) + 10.0f);
  Run();
  EXPECT_EQ(Reports(), "");
  EXPECT_EQ(Settings(), "[MIDI Control]\n");
}

TEST_F(Lv2Learn, MessagesCutShortOrNamingNoModeChangeNothing) {
  MessageBody m = Message(1);
  Send(m, sizeof(LV2_Atom_Object_Body) + sizeof(LV2_Atom_Property_Body));  // no value
  m.property.value.size = 400;                                             // past the object
  Send(m);
  m = Message(3);
  Send(m);
  m = Message(1);
  m.property.value.type = host_.map(LV2_ATOM__Float);
  Send(m);
  m = Message(1);
  m.object.otype = host_.map(LV2_ATOM__Object);
  Send(m);
  Run();
  EXPECT_EQ(Reports(), "");
  host_.addMidi(0, 0xB0, 7, 64);
  host_.setControl(kGrainLength, host_.control(kGrainLength) + 10.0f);
  Run();
  EXPECT_EQ(Settings().find("CC7"), std::string::npos) << "nothing learned";
}

}  // namespace
}  // namespace e2e
