#include "FakeMtsLibrary.h"

#include <filesystem>

#include "TestSupport.h"
#include "effect/TuningLibraryFile.h"
#include "effect/mtsclientglobal.h"

namespace effect_test {

namespace fs = std::filesystem;
using effect::TuningLibraryFile;

namespace {

template <typename Entry>
void Find(void* module, const char* name, Entry* entry, bool* ok) {
  *entry = reinterpret_cast<Entry>(TuningLibraryFile::FindEntry(module, name));
  if (*entry == nullptr) *ok = false;
}

}  // namespace

void FakeMtsLibrary::RemoveInstalled() {
  effect::mtsclientglobal::Process().UnloadTuningLibrary();
  std::error_code error;
  fs::remove(TuningLibraryInstallPath(), error);
}

FakeMtsLibrary::FakeMtsLibrary(Variant variant, bool bind) {
  RemoveInstalled();
  const fs::path target = TuningLibraryInstallPath();
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  const char* source = variant == Variant::kComplete ? FAKE_MTS_COMPLETE : FAKE_MTS_PARTIAL;
  if (!fs::copy_file(source, target, fs::copy_options::overwrite_existing, error)) return;

  // The same installed file opened twice is one module: this handle controls
  // what the process binding sees.
  module_ = TuningLibraryFile::Open();
  if (module_ == nullptr) return;
  bool ok = true;
  void (*reset)() = nullptr;
  Find(module_, "FakeMts_Reset", &reset, &ok);
  Find(module_, "FakeMts_SetMaster", &setMaster_, &ok);
  Find(module_, "FakeMts_SetTableAvailable", &setTableAvailable_, &ok);
  Find(module_, "FakeMts_SetFrequency", &setFrequency_, &ok);
  Find(module_, "FakeMts_SetFiltered", &setFiltered_, &ok);
  Find(module_, "FakeMts_ClientCount", &clientCount_, &ok);
  Find(module_, "FakeMts_LastFilterNote", &lastFilterNote_, &ok);
  Find(module_, "FakeMts_LastFilterChannel", &lastFilterChannel_, &ok);
  if (!ok) return;
  reset();
  if (bind) effect::mtsclientglobal::Process().LoadTuningLibrary();
  ready_ = true;
}

FakeMtsLibrary::~FakeMtsLibrary() {
  effect::mtsclientglobal::Process().UnloadTuningLibrary();
  TuningLibraryFile::Close(module_);
  RemoveInstalled();
}

void FakeMtsLibrary::SetMaster(bool connected) const { setMaster_(connected); }
void FakeMtsLibrary::SetTableAvailable(bool available) const { setTableAvailable_(available); }
void FakeMtsLibrary::SetFrequency(int note, double hz) const { setFrequency_(note, hz); }
void FakeMtsLibrary::SetFiltered(int note, bool filtered) const { setFiltered_(note, filtered); }
int FakeMtsLibrary::ClientCount() const { return clientCount_(); }
int FakeMtsLibrary::LastFilterNote() const { return lastFilterNote_(); }
int FakeMtsLibrary::LastFilterChannel() const { return lastFilterChannel_(); }

}  // namespace effect_test
