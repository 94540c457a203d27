#include "tools/vsthost/HostCommandLine.h"

#include <cstdlib>
#include <cstring>

namespace vsthost {

namespace {

// Longest render accepted: keeps a mistyped --seconds from running for hours.
constexpr double kMaxSeconds = 3600.0;
constexpr int kMaxBlockFrames = 1 << 20;

bool parseNumber(const char* text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end != text && *end == '\0';
}

bool parseInteger(const char* text, int* value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < -2147483647L || parsed > 2147483647L) {
    return false;
  }
  *value = static_cast<int>(parsed);
  return true;
}

}  // namespace

const char* hostUsage() {
  return "usage: quillet-host <plugin-path> [--seconds N] [--rate R] [--block B] [--program N]\n"
         "                    [--params N] [--double] [--dump-input FILE] [--dump-output FILE]\n"
         "  --dump-output writes the rendered output as raw little-endian samples, frames\n"
         "  interleaved (left, right): float32, or float64 with --double. --dump-input\n"
         "  writes the generated input the same way.\n";
}

bool parseHostOptions(int argc, char** argv, HostOptions* options, std::string* errorText) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(arg, "--double") == 0) {
      options->useDouble = true;
      continue;
    }
    if (arg[0] == '-' && arg[1] == '-') {
      if (!hasValue) {
        *errorText = std::string("missing value after ") + arg;
        return false;
      }
      const char* value = argv[++i];
      bool ok = true;
      if (std::strcmp(arg, "--seconds") == 0) {
        ok = parseNumber(value, &options->seconds) && options->seconds >= 0.0 &&
             options->seconds <= kMaxSeconds;
      } else if (std::strcmp(arg, "--rate") == 0) {
        ok = parseNumber(value, &options->rateHz) && options->rateHz >= 1000.0 &&
             options->rateHz <= 1536000.0;
      } else if (std::strcmp(arg, "--block") == 0) {
        ok = parseInteger(value, &options->blockFrames) && options->blockFrames >= 1 &&
             options->blockFrames <= kMaxBlockFrames;
      } else if (std::strcmp(arg, "--program") == 0) {
        ok = parseInteger(value, &options->program) && options->program >= 0;
      } else if (std::strcmp(arg, "--params") == 0) {
        ok = parseInteger(value, &options->paramsToShow) && options->paramsToShow >= 0;
      } else if (std::strcmp(arg, "--dump-input") == 0) {
        options->dumpInputPath = value;
      } else if (std::strcmp(arg, "--dump-output") == 0) {
        options->dumpOutputPath = value;
      } else {
        *errorText = std::string("unknown option ") + arg;
        return false;
      }
      if (!ok) {
        *errorText = std::string("bad value for ") + arg + ": " + value;
        return false;
      }
      continue;
    }
    if (!options->pluginPath.empty()) {
      *errorText = std::string("unexpected argument ") + arg;
      return false;
    }
    options->pluginPath = arg;
  }
  if (options->pluginPath.empty()) {
    *errorText = "no plug-in path given";
    return false;
  }
  return true;
}

}  // namespace vsthost
