// The stand-in tuning library (fake_mts/FakeMts.cpp) installed where the
// plug-in looks for the real one, with the process binding re-bound to it and
// the stand-in's control exports at hand.
#pragma once

#include <string>

namespace effect_test {

class FakeMtsLibrary {
 public:
  enum class Variant { kComplete, kPartial };

  // Copies the stand-in into place and opens it for control, starting from a
  // fresh state (no master, equal temperament, nothing filtered). When bind is
  // true the process binding is re-bound to it too. Check Ready().
  FakeMtsLibrary(Variant variant, bool bind);
  // Unbinds the process binding, closes and removes the installed file.
  ~FakeMtsLibrary();
  FakeMtsLibrary(const FakeMtsLibrary&) = delete;
  FakeMtsLibrary& operator=(const FakeMtsLibrary&) = delete;

  bool Ready() const { return ready_; }

  void SetMaster(bool connected) const;
  void SetTableAvailable(bool available) const;
  void SetFrequency(int note, double hz) const;
  void SetFiltered(int note, bool filtered) const;
  int ClientCount() const;
  int LastFilterNote() const;
  int LastFilterChannel() const;

  // Unbinds the process binding and deletes any installed library file.
  static void RemoveInstalled();

 private:
  void* module_ = nullptr;
  bool ready_ = false;
  void (*setMaster_)(bool) = nullptr;
  void (*setTableAvailable_)(bool) = nullptr;
  void (*setFrequency_)(int, double) = nullptr;
  void (*setFiltered_)(int, bool) = nullptr;
  int (*clientCount_)() = nullptr;
  int (*lastFilterNote_)() = nullptr;
  int (*lastFilterChannel_)() = nullptr;
};

}  // namespace effect_test
