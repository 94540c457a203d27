// One plug-in format's audio path, as the allocation guard drives it: a host
// side of the format that makes a fresh instance and pushes audio, MIDI,
// parameter changes and transport through the format's own entries.
//
// A new format adds its path in one file (an AudioPath for it and a Make...
// function) and one line in AudioPathAllocationTest.cpp. The counted methods
// (SetParameter, SendMidi, ProcessEveryEntry) must not allocate on the host
// side: build event lists and buffers in Prepare.
#pragma once

namespace alloc_test {

// The MIDI messages of one block: note-ons, a note-off, a controller no
// parameter is mapped to, pitch bend, and all notes off when asked for.
struct BlockMidi {
  static constexpr int kMaxMessages = 8;
  unsigned char messages[kMaxMessages][3];
  int count = 0;
  int offsetStep = 40;  // message i lands on frame i * offsetStep of the block
};

class AudioPath {
 public:
  static constexpr int kBlock = 512;
  // A host call longer than the blocks it announced, which a binding splits.
  static constexpr int kLongCall = 3 * kBlock + 100;
  static constexpr int kParamCount = 29;

  virtual ~AudioPath() = default;
  virtual const char* Name() const = 0;

  // A fresh instance, set up for rateHz and blocks of kBlock, activated, with
  // a playing transport at 128 beats per minute; false when none was made.
  // May allocate.
  virtual bool Prepare(double rateHz) = 0;
  // The host's reset for a new sample rate (deactivate, new rate, activate).
  // May allocate.
  virtual void ChangeSampleRate(double rateHz) = 0;

  // Counted: nothing here may allocate.
  // A parameter change through the format's parameter path.
  virtual void SetParameter(int index, double normalized) = 0;
  // MIDI for the next block.
  virtual void SendMidi(const BlockMidi& midi) = 0;
  // One announced block and one call longer than announced (where the format
  // allows it) through each of the format's process entries, the host's
  // transport moving on.
  virtual void ProcessEveryEntry() = 0;
};

using AudioPathFactory = AudioPath* (*)();

// The paths of the formats built into the test program.
AudioPath* MakeVst2AudioPath();
AudioPath* MakeClapAudioPath();
AudioPath* MakeVst3AudioPath();
#if !defined(_WIN32)
AudioPath* MakeLv2AudioPath();
#endif

}  // namespace alloc_test
