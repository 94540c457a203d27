// quillet-render: renders audio through a plug-in offline, like a host
// bouncing a track; the plug-in's format has its adapter (RenderPlugin.h).
// See renderUsage() for the options.
//
// Nothing is presented as done that is not: every file is written to a
// temporary name and moved into place only when complete, and every failure
// ends with one line "quillet-render: ..." on standard error and a non-zero
// exit status.
#include <clocale>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/render/AudioFile.h"
#include "tools/render/AutomationList.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/MidiFile.h"
#include "tools/render/NoteList.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/render/PluginControl.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderCommandLine.h"
#include "tools/render/RenderPluginFactory.h"
#include "tools/vsthost/SignalMeter.h"

namespace {

enum ExitStatus { kExitDone = 0, kExitBadInput = 1, kExitNoPlugin = 2, kExitRenderFailed = 3 };

int fail(ExitStatus status, const std::string& message) {
  std::fprintf(stderr, "quillet-render: %s\n", message.c_str());
  return status;
}

void printList(render::RenderPlugin& plugin, render::PluginControl& control) {
  const std::vector<std::string> programs = control.programNames();
  const long current = plugin.currentProgram();
  std::printf("programs:\n");
  for (std::size_t i = 0; i < programs.size(); ++i) {
    std::printf("  %c%2zu %s\n", static_cast<long>(i) == current ? '*' : ' ', i,
                programs[i].c_str());
  }
  std::printf("parameters:\n");
  for (int i = 0; i < plugin.parameterCount(); ++i) {
    const std::string name = plugin.parameterName(i);
    if (name.empty()) continue;
    std::printf("  %2d %-20s = %s %s", i, name.c_str(), plugin.parameterDisplay(i).c_str(),
                plugin.parameterLabel(i).c_str());
    const std::vector<std::string> texts = control.valueTexts(i);
    if (!texts.empty()) {
      std::printf("  [");
      for (std::size_t t = 0; t < texts.size(); ++t) {
        std::printf("%s%s", t == 0 ? "" : " ", texts[t].c_str());
      }
      std::printf("]");
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  render::RenderOptions options;
  std::string error;
  if (!render::parseRenderOptions(argc, argv, &options, &error)) {
    return fail(kExitBadInput, error + " (see --help)");
  }
  if (options.help) {
    std::fputs(render::renderUsage(), stdout);
    return kExitDone;
  }

  // Inputs first: a bad file is reported before the plug-in is loaded.
  render::AudioClip input;
  if (options.inputPath.empty()) {
    input = render::DemoSignal::make(options.rateHz, options.transport.tempoBpm, options.seconds);
  } else if (!render::AudioFile::read(options.inputPath, &input, &error)) {
    return fail(kExitBadInput, options.inputPath + ": " + error);
  }
  std::vector<render::TimedMidiMessage> messages;
  if (!options.midiPath.empty() &&
      !render::MidiFile::read(options.midiPath, options.transport.tempoBpm, &messages, &error)) {
    return fail(kExitBadInput, options.midiPath + ": " + error);
  }
  if (!options.notes.empty() &&
      !render::NoteList::parse(options.notes, options.transport.tempoBpm, &messages, &error)) {
    return fail(kExitBadInput, error);
  }

  std::unique_ptr<render::RenderPlugin> plugin =
      render::openRenderPlugin(options.pluginPath, &error);
  if (!plugin) {
    return fail(kExitNoPlugin, "cannot load " + options.pluginPath + ": " + error);
  }
  if (plugin->inputCount() != 2 || plugin->outputCount() != 2) {
    return fail(kExitNoPlugin, "the plug-in is not a stereo effect (" +
                                   std::to_string(plugin->inputCount()) + " inputs, " +
                                   std::to_string(plugin->outputCount()) + " outputs)");
  }
  // The sample rate and block size are announced before any state arrives,
  // as hosts do when they restore a project.
  plugin->open(input.rateHz, options.blockFrames);

  render::PluginControl control(plugin.get());
  if (!options.loadBankPath.empty() &&
      !control.loadPreset(options.loadBankPath, render::PresetKind::kBank, &error)) {
    return fail(kExitBadInput, options.loadBankPath + ": " + error);
  }
  if (!options.program.empty() && !control.selectProgram(options.program, &error)) {
    return fail(kExitBadInput, error);
  }
  if (!options.loadProgramPath.empty() &&
      !control.loadPreset(options.loadProgramPath, render::PresetKind::kProgram, &error)) {
    return fail(kExitBadInput, options.loadProgramPath + ": " + error);
  }
  for (const std::string& assignment : options.assignments) {
    if (!control.applyAssignment(assignment, &error)) {
      return fail(kExitBadInput, error);
    }
  }
  std::vector<render::AutomationPoint> automation;
  if (!options.automation.empty() &&
      !render::AutomationList::parse(options.automation, options.transport.tempoBpm, &automation,
                                     &error)) {
    return fail(kExitBadInput, error);
  }
  for (render::AutomationPoint& point : automation) {
    point.index = control.findParameter(point.name);
    if (point.index < 0) return fail(kExitBadInput, "unknown parameter \"" + point.name + "\"");
  }
  if (options.list) {
    printList(*plugin, control);
  }
  if (!options.saveProgramPath.empty() &&
      !control.savePreset(options.saveProgramPath, render::PresetKind::kProgram, &error)) {
    return fail(kExitRenderFailed, options.saveProgramPath + ": " + error);
  }
  if (!options.saveBankPath.empty() &&
      !control.savePreset(options.saveBankPath, render::PresetKind::kBank, &error)) {
    return fail(kExitRenderFailed, options.saveBankPath + ": " + error);
  }
  if (options.list && options.outputPath.empty()) {
    return kExitDone;
  }

  render::OfflineRenderer renderer(plugin.get(), options.blockFrames, options.transport,
                                   options.singlePrecision, options.splitAtEvents);
  render::ProgressBar progress(stderr, !options.quiet);
  render::AudioClip output;
  renderer.prepare(input.rateHz);
  renderer.render(input, messages, automation, &output,
                  [&progress](long long done, long long total) { progress.update(done, total); });
  renderer.finish();
  progress.finish();
  const double wallSeconds = progress.elapsedSeconds();
  const std::string programName = plugin->currentProgramName();
  plugin.reset();

  vsthost::SignalMeter meter;
  for (const std::vector<double>& channel : output.channels) {
    meter.add(channel.data(), static_cast<int>(channel.size()));
  }
  if (meter.nonFiniteCount() > 0) {
    return fail(kExitRenderFailed, "the plug-in produced " +
                                       std::to_string(meter.nonFiniteCount()) +
                                       " non-finite samples; nothing written");
  }
  if (!options.outputPath.empty() &&
      !render::AudioFile::write(options.outputPath, output, options.format, &error)) {
    return fail(kExitRenderFailed, options.outputPath + ": " + error);
  }
  if (!options.saveInputPath.empty() &&
      !render::AudioFile::write(options.saveInputPath, input, options.format, &error)) {
    return fail(kExitRenderFailed, options.saveInputPath + ": " + error);
  }
  std::printf(
      "quillet-render: \"%s\": %.3f s (%lld frames at %g Hz), peak %.2f dBFS, "
      "RMS %.2f dBFS, %.1fx real time%s%s\n",
      programName.c_str(), output.seconds(), output.frameCount(), output.rateHz,
      vsthost::SignalMeter::toDecibels(meter.peak()), vsthost::SignalMeter::toDecibels(meter.rms()),
      wallSeconds > 0 ? output.seconds() / wallSeconds : 0.0,
      options.outputPath.empty() ? "" : " -> ", options.outputPath.c_str());
  return kExitDone;
}
