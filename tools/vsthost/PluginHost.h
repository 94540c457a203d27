// One plug-in instance driven the way a VST 2.4 host drives it.
//
// load() opens the binary, finds its entry point (VSTPluginMain, else main)
// and calls it with the shared host callback, which reaches this object's
// ScriptedHost. The wrappers below pass straight through to the effect record;
// they add no checks of their own, so tests see the plug-in's own answers.
//
// Several PluginHost objects may load the same binary: each holds its own
// reference to the library and its own instance.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plug/vst2/VstAbi.h"
#include "tools/vsthost/HostEvent.h"
#include "tools/vsthost/PluginLibrary.h"
#include "tools/vsthost/ScriptedHost.h"

namespace vsthost {

enum class LoadStatus {
  kLoaded,
  kCannotOpen,    // the binary is missing or not loadable
  kNoEntryPoint,  // neither VSTPluginMain nor main is exported
  kNoInstance,    // the entry point returned null
  kBadMagic,      // the record returned does not start with 'VstP'
};

// A text a plug-in wrote into a host buffer, and how it wrote it.
struct TextAnswer {
  vst::intptr result = 0;
  std::string text;
  // Bytes of the buffer changed by the plug-in (the buffer is pre-filled with
  // a guard byte), and whether a terminator is among the first
  // kTextBufferBytes.
  int bytesWritten = 0;
  bool terminated = false;
};

enum class ChunkKind { kBank, kProgram };

class PluginHost {
 public:
  // Size of the buffer offered for texts: larger than any documented limit,
  // as real hosts do.
  static constexpr int kTextBufferBytes = 512;

  // host: the callback answers; owned. Null makes a default ScriptedHost.
  explicit PluginHost(ScriptedHost* host = nullptr);
  // Closes the instance (effClose) and unloads the binary.
  virtual ~PluginHost();

  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Opens the binary and creates one instance. errorText gets a one-line
  // reason on failure. [main]
  virtual LoadStatus load(const std::string& path, std::string* errorText);
  // Creates a new instance from the already loaded binary (after
  // destroyInstance()). [main]
  virtual LoadStatus createInstance(std::string* errorText);
  // effClose; the binary stays loaded. Returns effClose's answer (0 when
  // there was no instance). [main]
  virtual vst::intptr destroyInstance();
  // destroyInstance, then unloads the binary. [main]
  virtual void unload();

  vst::AEffect* effect() const { return effect_; }
  // "VSTPluginMain" or "main": the export that made the instance.
  const std::string& entryName() const { return entryName_; }
  ScriptedHost& host() { return *host_; }

  // --- Raw entries of the effect record ------------------------------------
  vst::intptr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
  void setParameter(vst::int32 index, float value);
  float getParameter(vst::int32 index);
  // Each returns false (and calls nothing) when the record lacks the entry.
  bool processAccumulating(float** inputs, float** outputs, vst::int32 frames);
  bool processReplacing(float** inputs, float** outputs, vst::int32 frames);
  bool processDoubleReplacing(double** inputs, double** outputs, vst::int32 frames);

  // --- Helpers ------------------------------------------------------------
  // Calls opcode with a kTextBufferBytes buffer as ptr.
  TextAnswer queryText(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       float opt = 0.0f);
  std::string effectName();
  std::string vendorString();
  std::string productString();
  std::string paramName(vst::int32 index);
  std::string paramLabel(vst::int32 index);
  std::string paramDisplay(vst::int32 index);
  std::string programName();
  vst::intptr canDo(const char* text);

  vst::intptr open();
  vst::intptr setSampleRate(float rateHz);
  vst::intptr setBlockSize(vst::int32 frames);
  vst::intptr resume();
  vst::intptr suspend();
  // effSetSpeakerArrangement with arrangements of the given channel counts
  // (a negative count passes a null pointer for that side).
  vst::intptr setSpeakerArrangement(vst::int32 inputChannels, vst::int32 outputChannels);

  // effGetChunk; copies the plug-in's data into data (cleared when the
  // plug-in answers 0). Returns the plug-in's answer.
  vst::intptr getChunk(ChunkKind kind, std::vector<std::uint8_t>* data);
  // effSetChunk with a copy of data.
  vst::intptr setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data);

  // effProcessEvents with a list built from events.
  vst::intptr sendEvents(const std::vector<HostEvent>& events);

 private:
  ScriptedHost* host_;
  PluginLibrary library_;
  vst::EntryProc entry_;
  std::string entryName_;
  vst::AEffect* effect_;
};

const char* describe(LoadStatus status);

}  // namespace vsthost
