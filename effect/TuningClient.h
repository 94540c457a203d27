// One plug-in instance's view of the microtuning master: tuned note
// frequencies and note filtering while a master is connected, twelve-tone
// equal temperament otherwise.
//
// The instance registers with the tuning library when the client is made and
// deregisters when it is destroyed, once each.
#pragma once

#include "effect/mtsclientglobal.h"

namespace effect {

class TuningClient {
 public:
  static constexpr int kNoteCount = mtsclientglobal::kNoteCount;

  // Fills the equal-tempered table and registers with the library when it is
  // bound. [main, while the product is being built]
  explicit TuningClient(mtsclientglobal& library = mtsclientglobal::Process());
  TuningClient(const TuningClient&) = delete;
  TuningClient& operator=(const TuningClient&) = delete;

  // Deregisters when this client registered. [main]
  virtual ~TuningClient();

  // A master is connected right now. [audio, instance lock held]
  bool HasTuningMaster() const;

  // The note's frequency in hertz (note reduced to 0..127 first): the master's
  // while one is connected, else 440 * 2^((note - 69) / 12). A master entry
  // that is not a positive finite number is replaced by the equal-tempered
  // one, so the engine never receives a frequency it cannot play.
  // [audio, instance lock held]
  double TunedFrequency(int note) const;

  // The master asks for the note (reduced to 0..127) to be dropped; always
  // false without a master. [audio, instance lock held]
  bool IsNoteFiltered(int note) const;

 private:
  mtsclientglobal& library_;
  double equalTemperedHz_[kNoteCount];
  // Whether the library was told of this client: a client deregisters only
  // what it registered.
  bool registered_ = false;
};

}  // namespace effect
