// A stand-in for the outside microtuning library, built as a shared library
// with the nine "MTS_" exports the plug-in binds, plus "FakeMts_" exports
// through which a test plays the master: connect or disconnect it, retune
// notes, filter notes, and read back what the plug-in asked.
//
// Built twice: complete, and with FAKE_MTS_PARTIAL defined, lacking the client
// registration and filter exports, as an older or broken library might.
#include <cmath>

#ifdef _WIN32
#define FAKE_MTS_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_MTS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

const int kNotes = 128;

struct MasterState {
  bool hasMaster = false;
  bool tableAvailable = true;
  int clients = 0;
  int lastFilterNote = -1;
  int lastFilterChannel = -1;
  double table[kNotes];
  bool filtered[kNotes] = {};
  MasterState() { ResetTable(); }
  void ResetTable() {
    for (int note = 0; note < kNotes; ++note)
      table[note] = 440.0 * std::pow(2.0, (note - 69) / 12.0);
  }
};

MasterState state;

}  // namespace

// ---- The library's interface -------------------------------------------------

#ifndef FAKE_MTS_PARTIAL
FAKE_MTS_EXPORT void MTS_RegisterClient() { ++state.clients; }
FAKE_MTS_EXPORT void MTS_DeregisterClient() { --state.clients; }
FAKE_MTS_EXPORT bool MTS_ShouldFilterNote(char note, char channel) {
  state.lastFilterNote = static_cast<unsigned char>(note);
  state.lastFilterChannel = static_cast<unsigned char>(channel);
  return note >= 0 && state.filtered[static_cast<int>(note)];
}
FAKE_MTS_EXPORT bool MTS_ShouldFilterNoteMultiChannel(char note, char channel) {
  return MTS_ShouldFilterNote(note, channel);
}
#endif
FAKE_MTS_EXPORT bool MTS_HasMaster() { return state.hasMaster; }
FAKE_MTS_EXPORT const double* MTS_GetTuningTable() {
  return state.tableAvailable ? state.table : nullptr;
}
FAKE_MTS_EXPORT const double* MTS_GetMultiChannelTuningTable(char channel) {
  return state.tableAvailable ? state.table : nullptr;
}
FAKE_MTS_EXPORT bool MTS_UseMultiChannelTuning(char channel) { return false; }
FAKE_MTS_EXPORT const char* MTS_GetScaleName() { return "Stand-in"; }

// ---- Control for the tests ---------------------------------------------------

FAKE_MTS_EXPORT void FakeMts_SetMaster(bool connected) { state.hasMaster = connected; }
// false: MTS_GetTuningTable answers null from now on.
FAKE_MTS_EXPORT void FakeMts_SetTableAvailable(bool available) { state.tableAvailable = available; }
FAKE_MTS_EXPORT void FakeMts_SetFrequency(int note, double hz) { state.table[note & 0x7F] = hz; }
FAKE_MTS_EXPORT void FakeMts_SetFiltered(int note, bool filtered) {
  state.filtered[note & 0x7F] = filtered;
}
FAKE_MTS_EXPORT int FakeMts_ClientCount() { return state.clients; }
FAKE_MTS_EXPORT int FakeMts_LastFilterNote() { return state.lastFilterNote; }
FAKE_MTS_EXPORT int FakeMts_LastFilterChannel() { return state.lastFilterChannel; }
// Back to a fresh library: no master, equal temperament, nothing filtered.
FAKE_MTS_EXPORT void FakeMts_Reset() { state = MasterState(); }
