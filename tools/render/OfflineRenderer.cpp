#include "tools/render/OfflineRenderer.h"

#include <algorithm>
#include <cmath>

#include "tools/vsthost/AudioBuffer.h"

namespace render {

namespace {

constexpr int kChannels = 2;

// An event's frame: the nearest to its time, within the clip.
long long frameOf(double seconds, double rateHz, long long totalFrames) {
  const double frame = std::floor(seconds * rateHz + 0.5);
  if (!(frame > 0)) return 0;
  return std::min(static_cast<long long>(std::min(frame, 9e18)), std::max(totalFrames - 1, 0LL));
}

template <typename Event>
struct Scheduled {
  long long frame;
  const Event* event;
};

// Events as frames, in time order (stable: equal times keep their order).
template <typename Event>
std::vector<Scheduled<Event>> schedule(const std::vector<Event>& events, double rateHz,
                                       long long totalFrames) {
  std::vector<Scheduled<Event>> scheduled;
  scheduled.reserve(events.size());
  for (const Event& event : events)
    scheduled.push_back({frameOf(event.seconds, rateHz, totalFrames), &event});
  std::stable_sort(
      scheduled.begin(), scheduled.end(),
      [](const Scheduled<Event>& a, const Scheduled<Event>& b) { return a.frame < b.frame; });
  return scheduled;
}

}  // namespace

BlockTransport transportAt(long long positionFrames, double rateHz, const Transport& transport) {
  BlockTransport t;
  t.positionFrames = positionFrames;
  t.rateHz = rateHz;
  t.tempoBpm = transport.tempoBpm;
  t.positionBeats = static_cast<double>(positionFrames) / rateHz * transport.tempoBpm / 60.0;
  // A bar lasts beatsPerBar notes of 1/beatUnit, in quarter notes.
  const double barQuarters = transport.beatsPerBar * 4.0 / transport.beatUnit;
  t.barStartBeats = std::floor(t.positionBeats / barQuarters + 1e-9) * barQuarters;
  t.beatsPerBar = transport.beatsPerBar;
  t.beatUnit = transport.beatUnit;
  t.playing = true;
  t.changed = positionFrames == 0;
  return t;
}

OfflineRenderer::OfflineRenderer(RenderPlugin* plugin, int blockFrames, const Transport& transport,
                                 bool singlePrecision, bool splitAtEvents)
    : plugin_(plugin),
      blockFrames_(blockFrames),
      transport_(transport),
      rateHz_(44100.0),
      singlePrecision_(singlePrecision),
      splitAtEvents_(splitAtEvents),
      useDouble_(false) {}

OfflineRenderer::~OfflineRenderer() = default;

void OfflineRenderer::prepare(double rateHz) {
  rateHz_ = rateHz;
  useDouble_ =
      plugin_->prepare(rateHz, blockFrames_, singlePrecision_, transportAt(0, rateHz, transport_));
}

void OfflineRenderer::finish() { plugin_->finish(); }

void OfflineRenderer::render(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
                             AudioClip* output, const Progress& progress) {
  render(input, messages, {}, output, progress);
}

void OfflineRenderer::render(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
                             const std::vector<AutomationPoint>& automation, AudioClip* output,
                             const Progress& progress) {
  if (useDouble_) {
    renderWith<double>(input, messages, automation, output, progress);
  } else {
    renderWith<float>(input, messages, automation, output, progress);
  }
}

template <typename Sample>
void OfflineRenderer::renderWith(const AudioClip& input,
                                 const std::vector<TimedMidiMessage>& messages,
                                 const std::vector<AutomationPoint>& automation, AudioClip* output,
                                 const Progress& progress) {
  const long long totalFrames = input.frameCount();
  output->rateHz = input.rateHz;
  output->channels.assign(kChannels, std::vector<double>(static_cast<std::size_t>(totalFrames)));
  const auto midi = schedule(messages, rateHz_, totalFrames);
  const auto points = schedule(automation, rateHz_, totalFrames);
  std::size_t nextMessage = 0, nextPoint = 0;

  vsthost::AudioBuffer<Sample> in(kChannels, blockFrames_);
  vsthost::AudioBuffer<Sample> out(kChannels, blockFrames_);
  std::vector<BlockMidiEvent> events;
  for (long long done = 0; done < totalFrames;) {
    const int frames = static_cast<int>(std::min<long long>(blockFrames_, totalFrames - done));
    const long long blockEnd = done + frames;
    for (int c = 0; c < kChannels; ++c) {
      const std::vector<double>& source = input.channels[c < input.channelCount() ? c : 0];
      for (int i = 0; i < frames; ++i) {
        in.channel(c)[i] = static_cast<Sample>(source[static_cast<std::size_t>(done + i)]);
      }
    }
    out.fill(static_cast<Sample>(0));
    // Whole blocks, or pieces that each begin at an event.
    for (long long start = done; start < blockEnd;) {
      long long end = blockEnd;
      if (splitAtEvents_) {
        if (nextMessage < midi.size() && midi[nextMessage].frame > start)
          end = std::min(end, midi[nextMessage].frame);
        if (nextPoint < points.size() && points[nextPoint].frame > start)
          end = std::min(end, points[nextPoint].frame);
      }
      plugin_->setTransport(transportAt(start, rateHz_, transport_));
      for (; nextPoint < points.size() && points[nextPoint].frame < end; ++nextPoint) {
        const AutomationPoint& point = *points[nextPoint].event;
        plugin_->setParameter(point.index, point.normalised);
      }
      events.clear();
      for (; nextMessage < midi.size() && midi[nextMessage].frame < end; ++nextMessage) {
        const TimedMidiMessage& message = *midi[nextMessage].event;
        events.push_back({static_cast<int>(midi[nextMessage].frame - start), message.status,
                          message.data1, message.data2});
      }
      if (!events.empty()) plugin_->sendMidi(events);
      const int offset = static_cast<int>(start - done);
      Sample* ins[kChannels] = {in.channel(0) + offset, in.channel(1) + offset};
      Sample* outs[kChannels] = {out.channel(0) + offset, out.channel(1) + offset};
      if constexpr (sizeof(Sample) == sizeof(double)) {
        plugin_->processDouble(ins, outs, static_cast<int>(end - start));
      } else {
        plugin_->processFloat(ins, outs, static_cast<int>(end - start));
      }
      start = end;
    }
    for (int c = 0; c < kChannels; ++c) {
      for (int i = 0; i < frames; ++i) {
        output->channels[c][static_cast<std::size_t>(done + i)] = out.channel(c)[i];
      }
    }
    done = blockEnd;
    if (progress) progress(done, totalFrames);
  }
}

}  // namespace render
