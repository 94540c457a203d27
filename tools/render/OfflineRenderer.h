// Pushes a whole clip through a plug-in instance block by block, the way a
// careful host does when it bounces a track:
//
//   prepare()  effSetSampleRate, effSetBlockSize, stereo speaker arrangement,
//              processing precision, effMainsChanged(1), effStartProcess
//   render()   per block: the transport (playing, tempo, time signature,
//              sample position, quarter-note and bar positions) for the
//              block's first sample, the MIDI messages falling in the block
//              with their sample offsets (effProcessEvents), then
//              processDoubleReplacing (or processReplacing for a plug-in
//              without double precision, or when single precision is asked for)
//   finish()   effStopProcess, effMainsChanged(0)
//
// Opening, state loading and effClose belong to the caller (PluginHost). A
// mono clip feeds both inputs; the output always has the plug-in's two
// channels. Messages at or after the clip's end are sent with the last block.
#pragma once

#include <functional>
#include <vector>

#include "tools/render/AudioClip.h"
#include "tools/render/TimedMidiMessage.h"
#include "tools/vsthost/PluginHost.h"

namespace render {

struct Transport {
  double tempoBpm = 120.0;
  int beatsPerBar = 4;
  int beatUnit = 4;  // denominator of the time signature
};

class OfflineRenderer {
 public:
  // Called after each block with the frames done and the total. [main]
  using Progress = std::function<void(long long doneFrames, long long totalFrames)>;

  OfflineRenderer(vsthost::PluginHost* plugin, int blockFrames, const Transport& transport,
                  bool singlePrecision = false);
  virtual ~OfflineRenderer();

  void prepare(double rateHz);
  // input must have one or two channels. messages need not be sorted.
  void render(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
              AudioClip* output, const Progress& progress);
  void finish();

  // The time information a block starting at positionFrames gets.
  static vst::VstTimeInfo transportAt(long long positionFrames, double rateHz,
                                      const Transport& transport);

 private:
  template <typename Sample>
  void renderWith(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
                  AudioClip* output, const Progress& progress);

  vsthost::PluginHost* plugin_;
  int blockFrames_;
  Transport transport_;
  double rateHz_;
  bool singlePrecision_;
  bool useDouble_;
};

}  // namespace render
