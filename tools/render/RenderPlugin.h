// A plug-in instance as the renderer drives it, whatever its format: what
// quillet-render needs and nothing of the format's own interface.
//
// Each format's host side is an adapter: Vst2RenderPlugin over the VST 2 test
// host (tools/vsthost). A CLAP, VST 3 or LV2 host adds its own adapter and a
// case in openRenderPlugin (RenderPluginFactory.cpp); OfflineRenderer and
// PluginControl then render and set up every format with the same blocks,
// events and transport, so that the renders compare bit for bit.
//
// Call order (the renderer's and quillet-render's):
//   open               once, before any state arrives (as hosts restore projects)
//   parameters, programs, state   any number, between open and prepare
//   prepare            the offline run: rate, block size, precision, the
//                      transport of the first frame, activation
//   per block (or piece): setTransport, setParameter..., sendMidi, process...
//   finish             deactivation
// Parameter changes between blocks apply from the next processed frame on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// The host's transport at the first frame of a block (or piece of a block).
struct BlockTransport {
  long long positionFrames = 0;
  double rateHz = 44100.0;
  double tempoBpm = 120.0;
  double positionBeats = 0.0;  // quarter notes since the start
  double barStartBeats = 0.0;  // where the bar holding the position began
  int beatsPerBar = 4;
  int beatUnit = 4;  // denominator of the time signature
  bool playing = true;
  bool changed = false;  // the transport just started (the first frame)
};

// A three-byte MIDI message at a frame of the next block.
struct BlockMidiEvent {
  int offset = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

enum class StateKind { kBank, kProgram };

// How preset files name the plug-in.
struct PluginIdentity {
  std::int32_t uniqueId = 0;
  std::int32_t version = 0;  // decimal, e.g. 10102
  bool keepsChunks = false;  // state travels as chunks, not parameter values
};

class RenderPlugin {
 public:
  virtual ~RenderPlugin() = default;

  virtual int inputCount() = 0;
  virtual int outputCount() = 0;
  virtual PluginIdentity identity() = 0;

  // Opens the instance and announces rate and block size.
  virtual void open(double rateHz, int blockFrames) = 0;

  virtual int parameterCount() = 0;
  virtual std::string parameterName(int index) = 0;
  // The plug-in's own display text and unit of the current value.
  virtual std::string parameterDisplay(int index) = 0;
  virtual std::string parameterLabel(int index) = 0;
  virtual double parameterNormalised(int index) = 0;
  // Whether the parameter moves in whole steps (enumerations, switches).
  virtual bool isStepped(int index) = 0;
  // The plug-in's display text of a normalised value.
  virtual std::string formatNormalised(int index, double normalised) = 0;
  // The plug-in parses text as its display shows it; false when it refuses.
  virtual bool setParameterText(int index, const std::string& text) = 0;
  virtual void setParameter(int index, double normalised) = 0;

  virtual int programCount() = 0;
  virtual std::string programName(int index) = 0;
  virtual int currentProgram() = 0;
  virtual std::string currentProgramName() = 0;
  virtual void selectProgram(int index) = 0;
  virtual void renameCurrentProgram(const std::string& name) = 0;

  // The plug-in's state as a bank (every program) or the current program;
  // false (data empty) when it gives none, or refuses what it is given.
  virtual bool getState(StateKind kind, std::vector<std::uint8_t>* data) = 0;
  virtual bool setState(StateKind kind, const std::vector<std::uint8_t>& data) = 0;

  // Offline processing in blocks of at most blockFrames; returns whether the
  // instance processes in double precision (never when singlePrecision).
  virtual bool prepare(double rateHz, int blockFrames, bool singlePrecision,
                       const BlockTransport& start) = 0;
  virtual void setTransport(const BlockTransport& transport) = 0;
  // The MIDI of the next block (not called for none).
  virtual void sendMidi(const std::vector<BlockMidiEvent>& events) = 0;
  // Two channels each way.
  virtual void processDouble(double** inputs, double** outputs, int frames) = 0;
  virtual void processFloat(float** inputs, float** outputs, int frames) = 0;
  virtual void finish() = 0;
};

}  // namespace render
