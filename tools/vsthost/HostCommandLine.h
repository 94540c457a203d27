// The options of quillet-host:
//   quillet-host <plugin-path> [--seconds N] [--rate R] [--block B]
//                [--program N] [--params N] [--double]
//                [--dump-input FILE] [--dump-output FILE]
#pragma once

#include <string>

namespace vsthost {

struct HostOptions {
  std::string pluginPath;
  double seconds = 2.0;
  double rateHz = 44100.0;
  int blockFrames = 512;
  int program = -1;  // -1: leave the plug-in's current program
  int paramsToShow = 8;
  bool useDouble = false;  // processDoubleReplacing instead of processReplacing
  std::string dumpInputPath;
  std::string dumpOutputPath;
};

// Parses argv into options. On failure returns false with a one-line reason.
bool parseHostOptions(int argc, char** argv, HostOptions* options, std::string* errorText);

const char* hostUsage();

}  // namespace vsthost
