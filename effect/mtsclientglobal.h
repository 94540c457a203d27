// The process-wide binding to the outside microtuning library (MTS-ESP, whose
// exports all begin with "MTS_"). There is one per loaded copy of the plug-in
// library: it binds during static initialisation, before any instance exists,
// and releases the library when the plug-in library is unloaded.
//
// Every entry is null while unbound and each wrapper below then answers as if
// no master were connected, so a missing library, a missing export or a null
// table all leave the product on its own tuning.
//
// The library's functions use the C calling convention (cdecl on x86); notes
// and channels pass as single bytes, 0xFF meaning "no channel".
#pragma once

namespace effect {

class mtsclientglobal {
 public:
  static constexpr int kNoteCount = 128;
  static constexpr int kChannelCount = 16;

  // Binds the library when it is installed.
  mtsclientglobal();
  mtsclientglobal(const mtsclientglobal&) = delete;
  mtsclientglobal& operator=(const mtsclientglobal&) = delete;

  // True only while the master's table was obtained at binding and the
  // library reports a connected master. Asked anew before every note, so a
  // master started or stopped meanwhile counts from the next note on.
  // [audio, instance lock held]
  virtual bool HasTuningMaster() const;

  // Drops any earlier binding, then opens the library and binds the nine
  // entries, the master's table and the sixteen per-channel tables.
  // [main; no query may run meanwhile]
  virtual void LoadTuningLibrary();

  // Releases the library.
  virtual ~mtsclientglobal();

  // Releases the library and nulls every entry and table. Clients registered
  // before are not deregistered (the library is gone). [main; no query may run]
  void UnloadTuningLibrary();

  bool IsLoaded() const { return module_ != nullptr; }

  // One more / one less client, when the library offers the entry; Register
  // answers whether the library was told. [main]
  bool RegisterClient() const;
  void DeregisterClient() const;

  // The master's frequency in hertz for the note (reduced to 0..127), read
  // without synchronisation: the master may rewrite it at any time. Only
  // meaningful while HasTuningMaster() is true. [audio]
  double MasterFrequencyHz(int note) const;

  // The master's wish to drop the note (reduced to 0..127) on no particular
  // channel; false when the library lacks the entry. [audio]
  bool ShouldFilterNote(int note) const;

  // The binding of this copy of the plug-in library.
  static mtsclientglobal& Process();

 private:
  using VoidEntry = void (*)();
  using BoolEntry = bool (*)();
  using NoteChannelEntry = bool (*)(char note, char channel);
  using TableEntry = const double* (*)();
  using ChannelTableEntry = const double* (*)(char channel);
  using ChannelEntry = bool (*)(char channel);
  using NameEntry = const char* (*)();

  void ClearEntries();

  // In binding order.
  VoidEntry registerClient_ = nullptr;
  VoidEntry deregisterClient_ = nullptr;
  BoolEntry hasMaster_ = nullptr;
  NoteChannelEntry shouldFilterNote_ = nullptr;
  NoteChannelEntry shouldFilterNoteMultiChannel_ = nullptr;
  TableEntry getTuningTable_ = nullptr;
  ChannelTableEntry getMultiChannelTuningTable_ = nullptr;
  ChannelEntry useMultiChannelTuning_ = nullptr;
  NameEntry getScaleName_ = nullptr;

  const double* tuningTable_ = nullptr;  // 128 frequencies in hertz, owned by the library
  const double* channelTables_[kChannelCount] = {};  // bound, never read by this product
  void* module_ = nullptr;
};

}  // namespace effect
