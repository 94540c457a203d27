// quillet-host: loads a VST 2.4 plug-in binary, shows what it reports, and
// pushes a generated stereo signal through it, printing each step.
// Exit status: 0 done, 1 bad command line or output file, 2 the plug-in could
// not be loaded or made no instance.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plug/vst2/VstAbi.h"
#include "tools/vsthost/AudioBuffer.h"
#include "tools/vsthost/HostCommandLine.h"
#include "tools/vsthost/PluginHost.h"
#include "tools/vsthost/SignalMeter.h"
#include "tools/vsthost/TestSignal.h"

namespace {

using vsthost::AudioBuffer;
using vsthost::HostOptions;
using vsthost::PluginHost;
using vsthost::SignalMeter;

constexpr int kChannels = 2;

std::string fourChars(vst::int32 code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF);
    text += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

std::string flagNames(vst::int32 flags) {
  struct Named {
    vst::int32 flag;
    const char* name;
  };
  const Named names[] = {
      {vst::effFlagsHasEditor, "HasEditor"},
      {vst::effFlagsMonoCapable, "MonoCapable"},
      {vst::effFlagsCanReplacing, "CanReplacing"},
      {vst::effFlagsProgramChunks, "ProgramChunks"},
      {vst::effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
  };
  std::string text;
  vst::int32 rest = flags;
  for (const Named& entry : names) {
    if ((flags & entry.flag) != 0) {
      text += text.empty() ? "" : " ";
      text += entry.name;
      rest &= ~entry.flag;
    }
  }
  if (rest != 0) {
    char other[32];
    std::snprintf(other, sizeof other, "%sother 0x%X", text.empty() ? "" : " ",
                  static_cast<unsigned>(rest));
    text += other;
  }
  return text;
}

void printRecord(const vst::AEffect& effect) {
  std::printf("effect record:\n");
  std::printf("  magic          0x%08X '%s'\n", static_cast<unsigned>(effect.magic),
              fourChars(effect.magic).c_str());
  std::printf("  uniqueID       0x%08X '%s'\n", static_cast<unsigned>(effect.uniqueID),
              fourChars(effect.uniqueID).c_str());
  std::printf("  version        %d\n", effect.version);
  std::printf("  numParams      %d\n", effect.numParams);
  std::printf("  numPrograms    %d\n", effect.numPrograms);
  std::printf("  inputs/outputs %d/%d\n", effect.numInputs, effect.numOutputs);
  std::printf("  flags          0x%X (%s)\n", static_cast<unsigned>(effect.flags),
              flagNames(effect.flags).c_str());
  std::printf("  initialDelay   %d\n", effect.initialDelay);
  std::printf("  ioRatio        %g\n", static_cast<double>(effect.ioRatio));
  std::printf("  entries        process %s, processReplacing %s, processDoubleReplacing %s\n",
              effect.process != nullptr ? "yes" : "no",
              effect.processReplacing != nullptr ? "yes" : "no",
              effect.processDoubleReplacing != nullptr ? "yes" : "no");
}

void printIdentity(PluginHost& plugin) {
  std::printf("effect name     \"%s\"\n", plugin.effectName().c_str());
  std::printf("vendor          \"%s\"\n", plugin.vendorString().c_str());
  std::printf("product         \"%s\"\n", plugin.productString().c_str());
  std::printf("vendor version  %ld\n",
              static_cast<long>(plugin.dispatch(vst::effGetVendorVersion)));
  std::printf("VST version     %ld\n", static_cast<long>(plugin.dispatch(vst::effGetVstVersion)));
  std::printf("category        %ld\n", static_cast<long>(plugin.dispatch(vst::effGetPlugCategory)));
}

void printParameters(PluginHost& plugin, int count) {
  const int shown = count < plugin.effect()->numParams ? count : plugin.effect()->numParams;
  std::printf("parameters (%d of %d):\n", shown, plugin.effect()->numParams);
  for (int i = 0; i < shown; ++i) {
    std::printf("  %2d %-20s = %-10s %-6s (normalised %.4f)\n", i,
                ("\"" + plugin.paramName(i) + "\"").c_str(), plugin.paramDisplay(i).c_str(),
                plugin.paramLabel(i).c_str(), static_cast<double>(plugin.getParameter(i)));
  }
}

void printMeter(const char* what, int channel, const SignalMeter& meter) {
  std::printf("  %s %d: peak %.6f (%.2f dBFS), RMS %.6f (%.2f dBFS)", what, channel, meter.peak(),
              SignalMeter::toDecibels(meter.peak()), meter.rms(),
              SignalMeter::toDecibels(meter.rms()));
  if (meter.nonFiniteCount() > 0) {
    std::printf(", %lld NON-FINITE samples", static_cast<long long>(meter.nonFiniteCount()));
  }
  std::printf("\n");
}

// Writes frames of both channels interleaved, as raw native (little-endian)
// samples. Returns false when the file cannot be written.
template <typename Sample>
bool appendInterleaved(std::FILE* file, AudioBuffer<Sample>& buffer, int frames) {
  if (file == nullptr) {
    return true;
  }
  std::vector<Sample> interleaved(static_cast<std::size_t>(frames) * kChannels);
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < kChannels; ++c) {
      interleaved[static_cast<std::size_t>(i) * kChannels + c] = buffer.channel(c)[i];
    }
  }
  return std::fwrite(interleaved.data(), sizeof(Sample), interleaved.size(), file) ==
         interleaved.size();
}

// The host's transport for the block starting at positionFrames: playing at
// 120 beats per minute in 4/4.
vst::VstTimeInfo transportAt(long long positionFrames, double rateHz) {
  vst::VstTimeInfo info{};
  info.samplePos = static_cast<double>(positionFrames);
  info.sampleRate = rateHz;
  info.tempo = 120.0;
  info.ppqPos = info.samplePos / rateHz * info.tempo / 60.0;
  info.barStartPos = std::floor(info.ppqPos / 4.0) * 4.0;
  info.timeSigNumerator = 4;
  info.timeSigDenominator = 4;
  info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid |
               vst::kVstBarsValid | vst::kVstTimeSigValid;
  return info;
}

template <typename Sample>
bool render(PluginHost& plugin, const HostOptions& options, std::FILE* inputDump,
            std::FILE* outputDump) {
  const long long totalFrames = std::llround(options.seconds * options.rateHz);
  AudioBuffer<Sample> input(kChannels, options.blockFrames);
  AudioBuffer<Sample> output(kChannels, options.blockFrames);
  vsthost::TestSignal signal(options.rateHz);
  SignalMeter inputMeters[kChannels];
  SignalMeter outputMeters[kChannels];
  long long done = 0;
  long long blocks = 0;
  bool written = true;
  while (done < totalFrames) {
    const long long remaining = totalFrames - done;
    const int frames =
        remaining < options.blockFrames ? static_cast<int>(remaining) : options.blockFrames;
    signal.render(input.channel(0), input.channel(1), frames);
    // A value the plug-in must overwrite: left over, it shows up in the meters.
    output.fill(static_cast<Sample>(1000));
    plugin.host().setTimeInfo(transportAt(done, options.rateHz));
    for (int c = 0; c < kChannels; ++c) {
      inputMeters[c].add(input.channel(c), frames);
    }
    if constexpr (sizeof(Sample) == sizeof(double)) {
      plugin.processDoubleReplacing(input.pointers(), output.pointers(), frames);
    } else {
      plugin.processReplacing(input.pointers(), output.pointers(), frames);
    }
    for (int c = 0; c < kChannels; ++c) {
      outputMeters[c].add(output.channel(c), frames);
    }
    written = appendInterleaved(inputDump, input, frames) && written;
    written = appendInterleaved(outputDump, output, frames) && written;
    done += frames;
    ++blocks;
  }
  std::printf("rendered %lld frames in %lld blocks of up to %d (%s)\n", done, blocks,
              options.blockFrames,
              sizeof(Sample) == sizeof(double) ? "processDoubleReplacing" : "processReplacing");
  for (int c = 0; c < kChannels; ++c) {
    printMeter("input ", c, inputMeters[c]);
  }
  for (int c = 0; c < kChannels; ++c) {
    printMeter("output", c, outputMeters[c]);
  }
  return written;
}

std::FILE* openDump(const std::string& path) {
  return path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  std::string error;
  if (!vsthost::parseHostOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "quillet-host: %s\n%s", error.c_str(), vsthost::hostUsage());
    return 1;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 4096);

  PluginHost plugin;
  std::printf("loading %s\n", options.pluginPath.c_str());
  if (plugin.load(options.pluginPath, &error) != vsthost::LoadStatus::kLoaded) {
    std::fprintf(stderr, "quillet-host: %s\n", error.c_str());
    return 2;
  }
  std::printf("entry point %s returned an instance\n", plugin.entryName().c_str());
  printRecord(*plugin.effect());
  printIdentity(plugin);

  std::printf("effOpen -> %ld\n", static_cast<long>(plugin.open()));
  printParameters(plugin, options.paramsToShow);
  if (options.program >= 0) {
    plugin.dispatch(vst::effSetProgram, 0, options.program);
    std::printf("effSetProgram %d -> current %ld \"%s\"\n", options.program,
                static_cast<long>(plugin.dispatch(vst::effGetProgram)),
                plugin.programName().c_str());
  } else {
    std::printf("program %ld \"%s\"\n", static_cast<long>(plugin.dispatch(vst::effGetProgram)),
                plugin.programName().c_str());
  }
  plugin.setSampleRate(static_cast<float>(options.rateHz));
  plugin.setBlockSize(options.blockFrames);
  std::printf("sample rate %g Hz, block size %d\n", options.rateHz, options.blockFrames);
  std::printf("effMainsChanged 1 -> %ld\n", static_cast<long>(plugin.resume()));
  plugin.dispatch(vst::effStartProcess);

  std::FILE* inputDump = openDump(options.dumpInputPath);
  std::FILE* outputDump = openDump(options.dumpOutputPath);
  bool dumpsOk = (options.dumpInputPath.empty() || inputDump != nullptr) &&
                 (options.dumpOutputPath.empty() || outputDump != nullptr);
  const bool written = options.useDouble ? render<double>(plugin, options, inputDump, outputDump)
                                         : render<float>(plugin, options, inputDump, outputDump);
  dumpsOk = dumpsOk && written;
  for (std::FILE* file : {inputDump, outputDump}) {
    if (file != nullptr && std::fclose(file) != 0) {
      dumpsOk = false;
    }
  }

  plugin.dispatch(vst::effStopProcess);
  std::printf("effMainsChanged 0 -> %ld\n", static_cast<long>(plugin.suspend()));
  const vsthost::ScriptedHost& host = plugin.host();
  std::printf(
      "host callback: %d MIDI requests, %lu automation, %d display updates, "
      "%lu events received\n",
      host.wantMidiCount(), static_cast<unsigned long>(host.automation().size()),
      host.updateDisplayCount(), static_cast<unsigned long>(host.events().size()));
  plugin.unload();
  std::printf("closed and unloaded\n");
  if (!dumpsOk) {
    std::fprintf(stderr, "quillet-host: cannot write the sample dump\n");
    return 1;
  }
  if (!options.dumpOutputPath.empty()) {
    std::printf("output samples written to %s (%s, interleaved)\n", options.dumpOutputPath.c_str(),
                options.useDouble ? "float64" : "float32");
  }
  return 0;
}
