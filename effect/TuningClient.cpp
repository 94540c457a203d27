#include "effect/TuningClient.h"

#include <cmath>

namespace effect {

TuningClient::TuningClient(mtsclientglobal& library) : library_(library) {
  for (int note = 0; note < kNoteCount; ++note) {
    equalTemperedHz_[note] = 440.0 * std::pow(2.0, (note - 69) / 12.0);
  }
  registered_ = library_.RegisterClient();
}

TuningClient::~TuningClient() {
  if (registered_) library_.DeregisterClient();
}

bool TuningClient::HasTuningMaster() const { return library_.HasTuningMaster(); }

double TuningClient::TunedFrequency(int note) const {
  const double ownHz = equalTemperedHz_[note & 0x7F];
  if (!library_.HasTuningMaster()) return ownHz;
  const double masterHz = library_.MasterFrequencyHz(note);
  return std::isfinite(masterHz) && masterHz > 0.0 ? masterHz : ownHz;
}

bool TuningClient::IsNoteFiltered(int note) const {
  return library_.HasTuningMaster() && library_.ShouldFilterNote(note);
}

}  // namespace effect
