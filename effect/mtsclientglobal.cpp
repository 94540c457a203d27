#include "effect/mtsclientglobal.h"

#include "effect/TuningLibraryFile.h"

namespace effect {

namespace {

// Bound while the plug-in library is loaded: its constructor runs in static
// initialisation, its destructor at unload.
mtsclientglobal processBinding;

const char kNoChannel = static_cast<char>(0xFF);

template <typename Entry>
Entry Bind(void* module, const char* name) {
  return reinterpret_cast<Entry>(TuningLibraryFile::FindEntry(module, name));
}

}  // namespace

mtsclientglobal& mtsclientglobal::Process() { return processBinding; }

mtsclientglobal::mtsclientglobal() { LoadTuningLibrary(); }

mtsclientglobal::~mtsclientglobal() { UnloadTuningLibrary(); }

void mtsclientglobal::ClearEntries() {
  registerClient_ = nullptr;
  deregisterClient_ = nullptr;
  hasMaster_ = nullptr;
  shouldFilterNote_ = nullptr;
  shouldFilterNoteMultiChannel_ = nullptr;
  getTuningTable_ = nullptr;
  getMultiChannelTuningTable_ = nullptr;
  useMultiChannelTuning_ = nullptr;
  getScaleName_ = nullptr;
  tuningTable_ = nullptr;
  for (const double*& table : channelTables_) table = nullptr;
}

void mtsclientglobal::LoadTuningLibrary() {
  UnloadTuningLibrary();
  module_ = TuningLibraryFile::Open();
  if (module_ == nullptr) return;

  registerClient_ = Bind<VoidEntry>(module_, "MTS_RegisterClient");
  deregisterClient_ = Bind<VoidEntry>(module_, "MTS_DeregisterClient");
  hasMaster_ = Bind<BoolEntry>(module_, "MTS_HasMaster");
  shouldFilterNote_ = Bind<NoteChannelEntry>(module_, "MTS_ShouldFilterNote");
  shouldFilterNoteMultiChannel_ =
      Bind<NoteChannelEntry>(module_, "MTS_ShouldFilterNoteMultiChannel");
  getTuningTable_ = Bind<TableEntry>(module_, "MTS_GetTuningTable");
  getMultiChannelTuningTable_ = Bind<ChannelTableEntry>(module_, "MTS_GetMultiChannelTuningTable");
  useMultiChannelTuning_ = Bind<ChannelEntry>(module_, "MTS_UseMultiChannelTuning");
  getScaleName_ = Bind<NameEntry>(module_, "MTS_GetScaleName");

  // The table stays where the library put it; only its contents change.
  if (getTuningTable_ != nullptr) tuningTable_ = getTuningTable_();
  for (int channel = 0; channel < kChannelCount; ++channel) {
    channelTables_[channel] = getMultiChannelTuningTable_ != nullptr
                                  ? getMultiChannelTuningTable_(static_cast<char>(channel))
                                  : nullptr;
  }
}

void mtsclientglobal::UnloadTuningLibrary() {
  ClearEntries();
  TuningLibraryFile::Close(module_);
  module_ = nullptr;
}

bool mtsclientglobal::HasTuningMaster() const {
  return tuningTable_ != nullptr && hasMaster_ != nullptr && hasMaster_();
}

bool mtsclientglobal::RegisterClient() const {
  if (registerClient_ == nullptr) return false;
  registerClient_();
  return true;
}

void mtsclientglobal::DeregisterClient() const {
  if (deregisterClient_ != nullptr) deregisterClient_();
}

double mtsclientglobal::MasterFrequencyHz(int note) const {
  return tuningTable_ != nullptr ? tuningTable_[note & 0x7F] : 0.0;
}

bool mtsclientglobal::ShouldFilterNote(int note) const {
  return shouldFilterNote_ != nullptr &&
         shouldFilterNote_(static_cast<char>(note & 0x7F), kNoChannel);
}

}  // namespace effect
