// The module as a host first meets it: the factory's class, reference counts
// and interface queries, buses and sample sizes.
#include <cstring>

#include "tests/e2e/vst3/Vst3Fixture.h"

namespace e2e {
namespace {

using namespace vst3;

TEST_F(Vst3Fixture, FactoryDescribesOneEffectClassWithTheDerivedId) {
  IPluginFactory* factory = module_.factory();
  PFactoryInfo info{};
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Vellum Music");
  EXPECT_EQ(std::strncmp(info.url, "https://", 8), 0);
  EXPECT_EQ(info.flags & kUnicode, kUnicode);
  ASSERT_EQ(factory->countClasses(), 1);
  PClassInfo c{};
  ASSERT_EQ(factory->getClassInfo(0, &c), kResultOk);
  char expected[16];
  UidToBytes(Uid{0x56535476, 0x6D514C71, 0x75696C6C, 0x65740000}, expected);
  EXPECT_EQ(std::memcmp(c.cid, expected, 16), 0);
  EXPECT_STREQ(c.category, "Audio Module Class");
  EXPECT_STREQ(c.name, "Quillet");
  EXPECT_EQ(factory->getClassInfo(1, &c), kInvalidArgument);

  IPluginFactory3* f3 = nullptr;
  char iid3[16];
  UidToBytes(iid::kPluginFactory3, iid3);
  ASSERT_EQ(factory->queryInterface(iid3, reinterpret_cast<void**>(&f3)), kResultOk);
  PClassInfo2 c2{};
  ASSERT_EQ(f3->getClassInfo2(0, &c2), kResultOk);
  EXPECT_STREQ(c2.version, "1.1.2");
  EXPECT_STREQ(c2.vendor, "Vellum Music");
  EXPECT_EQ(std::strncmp(c2.subCategories, "Fx", 2), 0);
  EXPECT_EQ(c2.classFlags & 1u, 0u) << "a single component is not distributable";
  PClassInfoW cw{};
  ASSERT_EQ(f3->getClassInfoUnicode(0, &cw), kResultOk);
  EXPECT_EQ(vst3host::toUtf8(cw.name), "Quillet");
  EXPECT_EQ(vst3host::toUtf8(cw.version), "1.1.2");
  f3->release();
}

TEST_F(Vst3Fixture, FactoryRefusesUnknownClassesAndInterfaces) {
  char cid[16], wrong[16], iid[16];
  ASSERT_TRUE(module_.classId(cid));
  std::memcpy(wrong, cid, 16);
  wrong[15] ^= 1;
  UidToBytes(iid::kComponent, iid);
  void* obj = &obj;
  EXPECT_NE(module_.factory()->createInstance(wrong, iid, &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);
  UidToBytes(iid::kPlugFrame, iid);  // the plug-in does not implement a host interface
  obj = &obj;
  EXPECT_EQ(module_.factory()->createInstance(cid, iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST_F(Vst3Fixture, EveryInterfaceCountsReferencesOnOneIdentity) {
  IComponent* component = instance_.component();
  void* unknownFromComponent = nullptr;
  void* unknownFromController = nullptr;
  char iid[16];
  UidToBytes(iid::kFUnknown, iid);
  ASSERT_EQ(component->queryInterface(iid, &unknownFromComponent), kResultOk);
  ASSERT_EQ(instance_.controller()->queryInterface(iid, &unknownFromController), kResultOk);
  EXPECT_EQ(unknownFromComponent, unknownFromController);
  for (const Uid& id :
       {iid::kPluginBase, iid::kComponent, iid::kAudioProcessor, iid::kEditController,
        iid::kMidiMapping, iid::kUnitInfo, iid::kProcessContextRequirements}) {
    void* obj = instance_.query(id);
    ASSERT_NE(obj, nullptr);
    // The pointer is that interface's: its queryInterface finds FUnknown.
    void* back = nullptr;
    ASSERT_EQ(static_cast<FUnknown*>(obj)->queryInterface(iid, &back), kResultOk);
    EXPECT_EQ(back, unknownFromComponent);
    static_cast<FUnknown*>(back)->release();
    static_cast<FUnknown*>(obj)->release();
  }
  static_cast<FUnknown*>(unknownFromController)->release();
  // The count each call returns is the object's: one more, then back.
  const uint32 before = component->addRef();
  EXPECT_EQ(static_cast<FUnknown*>(unknownFromComponent)->release(), before - 1);
  EXPECT_EQ(component->release(), before - 2);
  void* none = &none;
  UidToBytes(iid::kPlugFrame, iid);
  EXPECT_EQ(component->queryInterface(iid, &none), kNoInterface);
  EXPECT_EQ(none, nullptr);
}

TEST_F(Vst3Fixture, StereoBusesAndAMidiInputBothSampleSizes) {
  IComponent* c = instance_.component();
  EXPECT_EQ(c->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(c->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kOutput), 0);
  BusInfo bus{};
  ASSERT_EQ(c->getBusInfo(kAudio, kOutput, 0, &bus), kResultOk);
  EXPECT_EQ(bus.channelCount, 2);
  EXPECT_EQ(bus.busType, kMain);
  ASSERT_EQ(c->getBusInfo(kEvent, kInput, 0, &bus), kResultOk);
  EXPECT_EQ(bus.channelCount, 16);
  EXPECT_EQ(c->getBusInfo(kAudio, kInput, 1, &bus), kInvalidArgument);
  IAudioProcessor* p = instance_.processor();
  SpeakerArrangement mono = 0x80000, stereo = kStereo;
  EXPECT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(p->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  SpeakerArrangement arrangement = 0;
  EXPECT_EQ(p->getBusArrangement(kOutput, 0, &arrangement), kResultOk);
  EXPECT_EQ(arrangement, kStereo);
  EXPECT_EQ(p->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(7), kResultFalse);
}

}  // namespace
}  // namespace e2e
