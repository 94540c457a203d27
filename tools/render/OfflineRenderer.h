// Pushes a whole clip through a plug-in instance block by block, the way a
// careful host does when it bounces a track, whatever the plug-in's format
// (RenderPlugin.h):
//
//   prepare()  offline rendering at the clip's rate in blocks of blockFrames,
//              double precision unless asked for single (or the plug-in has
//              none), the transport at the first frame
//   render()   per block: the transport (playing, tempo, time signature,
//              sample position, quarter-note and bar positions) for the
//              block's first sample, the automation points falling in the
//              block (applied before it), the MIDI messages falling in it
//              with their sample offsets, then processing
//   finish()   the end of processing
//
// SPLITTING AT EVENTS (splitAtEvents)
//   Each MIDI message and automation point starts a piece of the block of its
//   own: the piece gets the transport of its first frame, the automation and
//   then the MIDI of that frame (at offset 0), and is processed alone. A
//   plug-in that applies events at their sample offsets then sounds exactly
//   like one that applies them at the start of a call (VST 2), so renders of
//   different formats compare bit for bit. Off by default: blocks are whole.
//
// Opening and state belong to the caller. A mono clip feeds both inputs; the
// output always has two channels. Events at or after the clip's end go with
// its last frame.
#pragma once

#include <functional>
#include <vector>

#include "tools/render/AudioClip.h"
#include "tools/render/AutomationList.h"
#include "tools/render/RenderPlugin.h"
#include "tools/render/TimedMidiMessage.h"

namespace render {

struct Transport {
  double tempoBpm = 120.0;
  int beatsPerBar = 4;
  int beatUnit = 4;  // denominator of the time signature
};

// The transport a block starting at positionFrames gets.
BlockTransport transportAt(long long positionFrames, double rateHz, const Transport& transport);

class OfflineRenderer {
 public:
  // Called after each block with the frames done and the total. [main]
  using Progress = std::function<void(long long doneFrames, long long totalFrames)>;

  OfflineRenderer(RenderPlugin* plugin, int blockFrames, const Transport& transport,
                  bool singlePrecision = false, bool splitAtEvents = false);
  virtual ~OfflineRenderer();

  void prepare(double rateHz);
  // input must have one or two channels. Messages and points need not be
  // sorted; points must name their parameter by index.
  void render(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
              AudioClip* output, const Progress& progress);
  void render(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
              const std::vector<AutomationPoint>& automation, AudioClip* output,
              const Progress& progress);
  void finish();

 private:
  template <typename Sample>
  void renderWith(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
                  const std::vector<AutomationPoint>& automation, AudioClip* output,
                  const Progress& progress);

  RenderPlugin* plugin_;
  int blockFrames_;
  Transport transport_;
  double rateHz_;
  bool singlePrecision_;
  bool splitAtEvents_;
  bool useDouble_;
};

}  // namespace render
