// The thread contracts of the binding entries: a binding that calls on the
// wrong thread, without the lock or holding it where it must not, fails; one
// that keeps the contract passes. Only check builds check (the Release
// configurations skip these cases).
#include "plug/ThreadContract.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TestPlug.h"
#include "plug/InstanceMutex.h"

using plug::ThreadRole;
using testplug::StubEditor;
using testplug::TestPlug;

#if QUILLET_CONTRACT_CHECKS

namespace {

std::vector<std::string> gFailures;

void Record(const char* operation, const char* problem) {
  gFailures.push_back(std::string(operation) + " called " + problem);
}

class ThreadContract : public ::testing::Test {
 protected:
  void SetUp() override {
    gFailures.clear();
    previous_ = plug::SetContractFailureHandler(Record);
    plugin_.AttachEditor(new StubEditor());
  }
  void TearDown() override { plug::SetContractFailureHandler(previous_); }

  // Runs entry on a thread of the given role, with or without the lock;
  // returns what failed.
  std::vector<std::string> Call(ThreadRole role, bool locked,
                                const std::function<void(TestPlug&)>& entry) {
    gFailures.clear();
    plug::ScopedThreadRole scope(role);
    if (locked) {
      plug::InstanceLock lock(plugin_.Mutex());
      entry(plugin_);
    } else {
      entry(plugin_);
    }
    return gFailures;
  }

  TestPlug plugin_;
  plug::ContractFailureHandler previous_ = nullptr;
};

using Failures = std::vector<std::string>;

}  // namespace

TEST_F(ThreadContract, MainThreadEntriesNeedTheLockAndNoAudioThread) {
  auto reset = [](TestPlug& p) { p.HostReset(); };
  EXPECT_EQ(Call(ThreadRole::kMain, true, reset), Failures{});
  EXPECT_EQ(Call(ThreadRole::kUnknown, true, reset), Failures{});
  EXPECT_EQ(Call(ThreadRole::kMain, false, reset),
            Failures{"OnReset called without the instance lock"});
  EXPECT_EQ(Call(ThreadRole::kAudio, true, reset), Failures{"OnReset called on an audio thread"});
  EXPECT_EQ(Call(ThreadRole::kAudio, false, [](TestPlug& p) { p.HostSetBlockSize(64); }),
            (Failures{"ChangeBlockSize called on an audio thread",
                      "ChangeBlockSize called without the instance lock"}));
}

TEST_F(ThreadContract, ProcessingNeedsTheLockAndNoMainThread) {
  double left[4] = {}, right[4] = {};
  double* buffers[] = {left, right};
  auto process = [&](TestPlug& p) { p.HostProcess(buffers, buffers, 4); };
  EXPECT_EQ(Call(ThreadRole::kAudio, true, process), Failures{});
  EXPECT_EQ(Call(ThreadRole::kMain, true, process),
            Failures{"ProcessBlock called on the main thread"});
  EXPECT_EQ(Call(ThreadRole::kAudio, false, process),
            Failures{"ProcessBlock called without the instance lock"});
  // MIDI and host parameter changes come on either thread, always locked.
  plug::IMidiMessage note{0, 0x90, 60, 100};
  for (ThreadRole role : {ThreadRole::kMain, ThreadRole::kAudio}) {
    EXPECT_EQ(Call(role, true,
                   [&](TestPlug& p) {
                     p.HostMidi(&note);
                     p.HostSetParameter(0, 0.5);
                   }),
              Failures{});
  }
  EXPECT_EQ(Call(ThreadRole::kAudio, false, [](TestPlug& p) { p.HostSetParameter(0, 0.5); }),
            Failures{"OnParamChanged called without the instance lock"});
}

TEST_F(ThreadContract, EditorWindowEntriesMustNotHoldTheLock) {
  int parent = 0;
  auto cycle = [&](TestPlug& p) {
    p.HostOpenEditor(&parent);
    p.HostEditorEvents();
    p.HostCloseEditor();
  };
  EXPECT_EQ(Call(ThreadRole::kMain, false, cycle), Failures{});
  EXPECT_EQ(Call(ThreadRole::kMain, true, cycle),
            (Failures{"OpenWindow called holding the instance lock",
                      "RunEvents called holding the instance lock",
                      "CloseWindow called holding the instance lock"}));
  EXPECT_EQ(Call(ThreadRole::kAudio, false, [](TestPlug& p) { p.HostEditorEvents(); }),
            Failures{"RunEvents called on an audio thread"});
}

TEST_F(ThreadContract, StateEntriesNeedTheLock) {
  plug::StateChunk chunk;
  EXPECT_EQ(Call(ThreadRole::kMain, false, [&](TestPlug& p) { p.HostSaveChunk(&chunk, true); }),
            Failures{"SaveState called without the instance lock"});
  EXPECT_EQ(Call(ThreadRole::kMain, true, [&](TestPlug& p) { p.HostLoadChunk(&chunk, true); }),
            Failures{});
}

TEST(ThreadRoles, NestPerThreadAndRestore) {
  EXPECT_EQ(plug::CurrentThreadRole(), ThreadRole::kUnknown);
  {
    plug::ScopedThreadRole audio(ThreadRole::kAudio);
    ThreadRole seenElsewhere = ThreadRole::kAudio;
    std::thread other([&] { seenElsewhere = plug::CurrentThreadRole(); });
    other.join();
    EXPECT_EQ(seenElsewhere, ThreadRole::kUnknown);
    {
      plug::ScopedThreadRole unknown(ThreadRole::kUnknown);
      EXPECT_EQ(plug::CurrentThreadRole(), ThreadRole::kUnknown);
    }
    EXPECT_EQ(plug::CurrentThreadRole(), ThreadRole::kAudio);
  }
  EXPECT_EQ(plug::CurrentThreadRole(), ThreadRole::kUnknown);
}

TEST(InstanceMutex, KnowsItsHolderThroughRecursion) {
  plug::InstanceMutex mutex;
  EXPECT_FALSE(mutex.IsHeldByCurrentThread());
  mutex.lock();
  ASSERT_TRUE(mutex.try_lock());
  mutex.unlock();
  EXPECT_TRUE(mutex.IsHeldByCurrentThread());  // still held once
  bool heldElsewhere = true;
  std::thread other([&] { heldElsewhere = mutex.IsHeldByCurrentThread(); });
  other.join();
  EXPECT_FALSE(heldElsewhere);
  mutex.unlock();
  EXPECT_FALSE(mutex.IsHeldByCurrentThread());
}

TEST(ThreadContractDeathTest, TheDefaultHandlerReportsAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TestPlug plugin;
  EXPECT_DEATH(plugin.HostReset(),
               "thread contract broken: OnReset called without the instance lock");
}

#else

// The shipped configurations carry no checks: a broken contract costs nothing
// and reports nothing there (the check builds above catch it).
TEST(ThreadContract, ShippedBuildsNeitherCheckNorKeepRoles) {
  static int failures = 0;
  const plug::ContractFailureHandler previous =
      plug::SetContractFailureHandler([](const char*, const char*) { ++failures; });
  TestPlug plugin;
  plug::ScopedThreadRole audio(ThreadRole::kAudio);
  EXPECT_EQ(plug::CurrentThreadRole(), ThreadRole::kUnknown);
  plugin.HostReset();
  EXPECT_EQ(failures, 0);
  plug::SetContractFailureHandler(previous);
}

#endif
