// Learning from two threads at once: the editor's thread clicks the switch and
// touches parameters while the MIDI thread moves controllers, and two
// instances save the shared settings file at the same time. Run under the
// thread sanitizer build to see races; every build checks the end state.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "EffectFixture.h"

namespace {

using effect_test::EffectTest;
using effect_test::StandInLearnSwitch;

using EffectConcurrencyTest = EffectTest;

void ExpectNoParameterTwice(const effect::ControllerMap& map) {
  std::set<int> seen;
  for (int c = 0; c < effect::ControllerMap::kControllerCount; ++c) {
    const int p = map.ParamFor(c);
    if (p == -1) continue;
    EXPECT_TRUE(seen.insert(p).second) << "parameter " << p << " driven twice";
  }
}

TEST_F(EffectConcurrencyTest, EditorAndMidiThreadsLearnWithoutTearingTheMap) {
  auto plugin = MakeEffect();
  std::atomic<bool> editorDone{false};
  // The MIDI thread keeps going while the editor thread works (bounded).
  std::thread midi([&] {
    for (int i = 0; i < 1000000 && !editorDone; ++i) {
      plug::InstanceLock lock(plugin->Mutex());  // as a binding holds it
      plugin->HandleControlChange(i % 16, i % 128);
    }
  });
  for (int i = 0; i < 300; ++i) {
    plugin->SetMidiLearn(true, i % 7 == 0);
    Touch(*plugin, i % 5, (i % 10) / 10.0);
    if (i % 3 == 0) plugin->SetMidiLearn(false, false);
  }
  editorDone = true;
  midi.join();
  ExpectNoParameterTwice(plugin->GetControllerMap());
}

TEST_F(EffectConcurrencyTest, TwoInstancesSavingTogetherLeaveOneWholeMap) {
  auto first = MakeEffect();
  auto second = MakeEffect();
  StandInLearnSwitch secondSwitch;
  second->SetLearnSwitch(&secondSwitch);
  auto learnMany = [](effect::Effect* plugin, int firstController) {
    for (int i = 0; i < 40; ++i) {
      plugin->SetMidiLearn(true, false);
      plugin->HandleControlChange(firstController + i % 20, 1);
      plugin->OnParamChanged(i % 29);
    }
  };
  std::thread a(learnMany, first.get(), 0);
  std::thread b(learnMany, second.get(), 40);
  a.join();
  b.join();

  // Whatever the order, the file holds exactly one instance's map.
  auto reader = MakeEffect();
  const effect::ControllerMap& read = reader->GetControllerMap();
  bool matchesFirst = true, matchesSecond = true;
  for (int c = 0; c < effect::ControllerMap::kControllerCount; ++c) {
    matchesFirst = matchesFirst && read.ParamFor(c) == first->GetControllerMap().ParamFor(c);
    matchesSecond = matchesSecond && read.ParamFor(c) == second->GetControllerMap().ParamFor(c);
  }
  EXPECT_TRUE(matchesFirst || matchesSecond) << SettingsText();
  ExpectNoParameterTwice(read);
}

}  // namespace
