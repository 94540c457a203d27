#include "tools/render/OfflineRenderer.h"

#include <algorithm>
#include <cmath>

#include "tools/vsthost/AudioBuffer.h"

namespace render {

namespace {

constexpr int kChannels = 2;
// effSetProcessPrecision values.
constexpr vst::intptr kProcessPrecision32 = 0;
constexpr vst::intptr kProcessPrecision64 = 1;

}  // namespace

OfflineRenderer::OfflineRenderer(vsthost::PluginHost* plugin, int blockFrames,
                                 const Transport& transport, bool singlePrecision)
    : plugin_(plugin),
      blockFrames_(blockFrames),
      transport_(transport),
      rateHz_(44100.0),
      singlePrecision_(singlePrecision),
      useDouble_(false) {}

OfflineRenderer::~OfflineRenderer() = default;

vst::VstTimeInfo OfflineRenderer::transportAt(long long positionFrames, double rateHz,
                                              const Transport& transport) {
  vst::VstTimeInfo info{};
  info.samplePos = static_cast<double>(positionFrames);
  info.sampleRate = rateHz;
  info.tempo = transport.tempoBpm;
  info.ppqPos = info.samplePos / rateHz * transport.tempoBpm / 60.0;
  // A bar lasts beatsPerBar notes of 1/beatUnit, in quarter notes.
  const double barQuarters = transport.beatsPerBar * 4.0 / transport.beatUnit;
  info.barStartPos = std::floor(info.ppqPos / barQuarters + 1e-9) * barQuarters;
  info.timeSigNumerator = transport.beatsPerBar;
  info.timeSigDenominator = transport.beatUnit;
  info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid |
               vst::kVstBarsValid | vst::kVstTimeSigValid;
  if (positionFrames == 0) {
    info.flags |= vst::kVstTransportChanged;
  }
  return info;
}

void OfflineRenderer::prepare(double rateHz) {
  rateHz_ = rateHz;
  plugin_->host().setProcessLevel(vst::kProcessLevelOffline);
  plugin_->setSampleRate(static_cast<float>(rateHz));
  plugin_->setBlockSize(blockFrames_);
  plugin_->setSpeakerArrangement(kChannels, kChannels);
  useDouble_ = !singlePrecision_ &&
               (plugin_->effect()->flags & vst::effFlagsCanDoubleReplacing) != 0 &&
               plugin_->effect()->processDoubleReplacing != nullptr;
  plugin_->dispatch(vst::effSetProcessPrecision, 0,
                    useDouble_ ? kProcessPrecision64 : kProcessPrecision32);
  plugin_->host().setTimeInfo(transportAt(0, rateHz_, transport_));
  plugin_->resume();
  plugin_->dispatch(vst::effStartProcess);
}

void OfflineRenderer::finish() {
  plugin_->dispatch(vst::effStopProcess);
  plugin_->suspend();
}

void OfflineRenderer::render(const AudioClip& input, const std::vector<TimedMidiMessage>& messages,
                             AudioClip* output, const Progress& progress) {
  if (useDouble_) {
    renderWith<double>(input, messages, output, progress);
  } else {
    renderWith<float>(input, messages, output, progress);
  }
}

template <typename Sample>
void OfflineRenderer::renderWith(const AudioClip& input,
                                 const std::vector<TimedMidiMessage>& messages, AudioClip* output,
                                 const Progress& progress) {
  const long long totalFrames = input.frameCount();
  output->rateHz = input.rateHz;
  output->channels.assign(kChannels, std::vector<double>(static_cast<std::size_t>(totalFrames)));

  // Messages as frame positions, in time order (stable: equal times keep
  // their given order).
  struct Scheduled {
    long long frame;
    const TimedMidiMessage* message;
  };
  std::vector<Scheduled> schedule;
  schedule.reserve(messages.size());
  for (const TimedMidiMessage& message : messages) {
    const double frame = std::floor(message.seconds * rateHz_ + 0.5);
    schedule.push_back({frame < 0 ? 0 : static_cast<long long>(frame), &message});
  }
  std::stable_sort(schedule.begin(), schedule.end(),
                   [](const Scheduled& a, const Scheduled& b) { return a.frame < b.frame; });

  vsthost::AudioBuffer<Sample> in(kChannels, blockFrames_);
  vsthost::AudioBuffer<Sample> out(kChannels, blockFrames_);
  std::size_t nextMessage = 0;
  for (long long done = 0; done < totalFrames;) {
    const int frames = static_cast<int>(std::min<long long>(blockFrames_, totalFrames - done));
    for (int c = 0; c < kChannels; ++c) {
      const std::vector<double>& source = input.channels[c < input.channelCount() ? c : 0];
      for (int i = 0; i < frames; ++i) {
        in.channel(c)[i] = static_cast<Sample>(source[static_cast<std::size_t>(done + i)]);
      }
    }
    const bool lastBlock = done + frames >= totalFrames;
    std::vector<vsthost::HostEvent> events;
    while (nextMessage < schedule.size() &&
           (lastBlock || schedule[nextMessage].frame < done + frames)) {
      const Scheduled& entry = schedule[nextMessage++];
      const long long offset = std::min<long long>(entry.frame - done, frames - 1);
      events.push_back(vsthost::HostEvent::midi(static_cast<vst::int32>(offset < 0 ? 0 : offset),
                                                entry.message->status, entry.message->data1,
                                                entry.message->data2));
    }
    plugin_->host().setTimeInfo(transportAt(done, rateHz_, transport_));
    if (!events.empty()) {
      plugin_->sendEvents(events);
    }
    out.fill(static_cast<Sample>(0));
    if constexpr (sizeof(Sample) == sizeof(double)) {
      plugin_->processDoubleReplacing(in.pointers(), out.pointers(), frames);
    } else {
      plugin_->processReplacing(in.pointers(), out.pointers(), frames);
    }
    for (int c = 0; c < kChannels; ++c) {
      for (int i = 0; i < frames; ++i) {
        output->channels[c][static_cast<std::size_t>(done + i)] = out.channel(c)[i];
      }
    }
    done += frames;
    if (progress) progress(done, totalFrames);
  }
}

}  // namespace render
