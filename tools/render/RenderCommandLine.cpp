#include "tools/render/RenderCommandLine.h"

#include <cstdio>
#include <cstring>

#include "tools/render/NumberText.h"

namespace render {

namespace {

constexpr double kMinRateHz = 8000.0;
constexpr double kMaxRateHz = 384000.0;
constexpr double kMaxSeconds = 3600.0;
constexpr long kMaxBlockFrames = 65536;
constexpr double kMinTempoBpm = 10.0;
constexpr double kMaxTempoBpm = 999.0;

bool parseTimeSignature(const std::string& text, Transport* transport) {
  const std::size_t slash = text.find('/');
  long beats = 0, unit = 0;
  if (slash == std::string::npos || !parseInteger(text.substr(0, slash), &beats) ||
      !parseInteger(text.substr(slash + 1), &unit)) {
    return false;
  }
  const bool unitIsPowerOfTwo = unit >= 1 && unit <= 64 && (unit & (unit - 1)) == 0;
  if (beats < 1 || beats > 64 || !unitIsPowerOfTwo) return false;
  transport->beatsPerBar = static_cast<int>(beats);
  transport->beatUnit = static_cast<int>(unit);
  return true;
}

}  // namespace

const char* renderUsage() {
  return "usage: quillet-render PLUGIN [options]\n"
         "  PLUGIN                 the plug-in binary (Quillet64.dll, Quillet.dll, Quillet.so)\n"
         "  -i, --input FILE.wav   input audio (16/24/32-bit PCM or 32/64-bit float, mono or\n"
         "                         stereo); default: a built-in drum loop with a chord pad\n"
         "  -o, --output FILE.wav  output audio (stereo); without it only the summary is shown\n"
         "  --save-input FILE.wav  also write the input (e.g. the built-in signal)\n"
         "  --format F             output samples: f32 (default), f64, pcm16, pcm24, pcm32\n"
         "  --seconds S            length of the built-in signal (default 4)\n"
         "  --rate HZ              sample rate of the built-in signal (default 44100)\n"
         "  --block N              block size in frames (default 512)\n"
         "  --single               process in 32-bit float (processReplacing) even when the\n"
         "                         plug-in offers double precision\n"
         "  -p, --program P        program number (0..) or name\n"
         "  --param \"NAME=VALUE\"   a parameter by name: a plain value or a value text,\n"
         "                         e.g. \"Grain Mode=SYNC\", \"Grain Length=35\" (repeatable)\n"
         "  --tempo BPM            host tempo (default 120)\n"
         "  --time-signature N/D   host time signature (default 4/4)\n"
         "  --midi FILE.mid        MIDI notes from a Standard MIDI File (format 0 or 1)\n"
         "  --notes LIST           notes NOTE@START+LENGTH[:VELOCITY] in beats,\n"
         "                         e.g. \"A3@0+2,C4@0+2:90,E4@2+2\"\n"
         "  --automate LIST        automation NAME@BEATS=VALUE with normalised values 0..1,\n"
         "                         e.g. \"Mix@0=1,Mix@2=0.25\" (repeatable)\n"
         "  --split-events         split blocks where notes and automation points fall, so\n"
         "                         that each lands on the first frame of a call\n"
         "  --load-fxp FILE        load a program preset (.fxp) into the current program\n"
         "  --load-fxb FILE        load a bank preset (.fxb)\n"
         "  --save-fxp FILE        save the current program (after the settings above)\n"
         "  --save-fxb FILE        save the bank\n"
         "  --list                 print the programs and parameters\n"
         "  -q, --quiet            no progress bar\n"
         "Order: bank, program, .fxp, parameters, then saving and rendering (automation\n"
         "moves parameters during the render).\n"
         "Exit status: 0 done, 1 bad command line or input, 2 plug-in not loadable,\n"
         "3 rendering or writing failed.\n";
}

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* errorText) {
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument.empty() || argument[0] != '-' || argument == "-") {
      if (!options->pluginPath.empty()) {
        *errorText = "unexpected argument \"" + argument + "\"";
        return false;
      }
      options->pluginPath = argument;
      continue;
    }
    std::string inlineValue;
    bool hasInline = false;
    const std::size_t equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      inlineValue = argument.substr(equals + 1);
      argument = argument.substr(0, equals);
      hasInline = true;
    }
    auto flag = [&](bool* target) {
      if (hasInline) {
        *errorText = "option " + argument + " takes no value";
        return false;
      }
      *target = true;
      return true;
    };
    std::string value;
    auto takeValue = [&]() {
      if (hasInline) {
        value = inlineValue;
        return true;
      }
      if (i + 1 >= argc) {
        *errorText = "option " + argument + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    auto number = [&](double low, double high, double* target) {
      if (!takeValue()) return false;
      double parsed = 0.0;
      if (!parseNumber(value, &parsed) || parsed < low || parsed > high) {
        char range[64];
        std::snprintf(range, sizeof range, " (%g to %g)", low, high);
        *errorText = "bad value \"" + value + "\" for " + argument + range;
        return false;
      }
      *target = parsed;
      return true;
    };

    if (argument == "-h" || argument == "--help") {
      if (!flag(&options->help)) return false;
    } else if (argument == "--list") {
      if (!flag(&options->list)) return false;
    } else if (argument == "-q" || argument == "--quiet") {
      if (!flag(&options->quiet)) return false;
    } else if (argument == "--single") {
      if (!flag(&options->singlePrecision)) return false;
    } else if (argument == "--split-events") {
      if (!flag(&options->splitAtEvents)) return false;
    } else if (argument == "-i" || argument == "--input") {
      if (!takeValue()) return false;
      options->inputPath = value;
    } else if (argument == "-o" || argument == "--output") {
      if (!takeValue()) return false;
      options->outputPath = value;
    } else if (argument == "--save-input") {
      if (!takeValue()) return false;
      options->saveInputPath = value;
    } else if (argument == "--format") {
      if (!takeValue()) return false;
      if (!AudioFile::parseFormat(value, &options->format)) {
        *errorText = "unknown output format \"" + value + "\" (f32, f64, pcm16, pcm24, pcm32)";
        return false;
      }
    } else if (argument == "--seconds") {
      if (!number(0.001, kMaxSeconds, &options->seconds)) return false;
    } else if (argument == "--rate") {
      if (!number(kMinRateHz, kMaxRateHz, &options->rateHz)) return false;
    } else if (argument == "--block") {
      double frames = 0;
      if (!number(1, static_cast<double>(kMaxBlockFrames), &frames)) return false;
      if (frames != static_cast<double>(static_cast<long>(frames))) {
        *errorText = "bad value \"" + value + "\" for --block (a whole number of frames)";
        return false;
      }
      options->blockFrames = static_cast<int>(frames);
    } else if (argument == "-p" || argument == "--program") {
      if (!takeValue()) return false;
      options->program = value;
    } else if (argument == "--param") {
      if (!takeValue()) return false;
      options->assignments.push_back(value);
    } else if (argument == "--tempo") {
      if (!number(kMinTempoBpm, kMaxTempoBpm, &options->transport.tempoBpm)) return false;
    } else if (argument == "--time-signature") {
      if (!takeValue()) return false;
      if (!parseTimeSignature(value, &options->transport)) {
        *errorText = "bad time signature \"" + value + "\" (e.g. 3/4, 7/8)";
        return false;
      }
    } else if (argument == "--midi") {
      if (!takeValue()) return false;
      options->midiPath = value;
    } else if (argument == "--notes") {
      if (!takeValue()) return false;
      options->notes = value;
    } else if (argument == "--automate") {
      if (!takeValue()) return false;
      options->automation += (options->automation.empty() ? "" : ",") + value;
    } else if (argument == "--load-fxp") {
      if (!takeValue()) return false;
      options->loadProgramPath = value;
    } else if (argument == "--load-fxb") {
      if (!takeValue()) return false;
      options->loadBankPath = value;
    } else if (argument == "--save-fxp") {
      if (!takeValue()) return false;
      options->saveProgramPath = value;
    } else if (argument == "--save-fxb") {
      if (!takeValue()) return false;
      options->saveBankPath = value;
    } else {
      *errorText = "unknown option " + argument;
      return false;
    }
  }
  if (options->help) return true;
  if (options->pluginPath.empty()) {
    *errorText = "no plug-in given";
    return false;
  }
  if (!options->midiPath.empty() && !options->notes.empty()) {
    *errorText = "give either --midi or --notes, not both";
    return false;
  }
  if (!options->outputPath.empty() && (options->outputPath == options->inputPath)) {
    *errorText = "the output would overwrite the input";
    return false;
  }
  return true;
}

}  // namespace render
