// The command line of quillet-render. Options take their value as the next
// argument or after '=' (--tempo=140). Every value is checked here, so that a
// bad one is reported before anything is loaded.
#pragma once

#include <string>
#include <vector>

#include "tools/render/AudioFile.h"
#include "tools/render/OfflineRenderer.h"

namespace render {

struct RenderOptions {
  std::string pluginPath;
  std::string inputPath;      // empty: the built-in demo signal
  std::string outputPath;     // empty: render and summarise only
  std::string saveInputPath;  // also write the input as the plug-in got it
  SampleFormat format = SampleFormat::kFloat32;
  double seconds = 4.0;     // length of the demo signal
  double rateHz = 44100.0;  // sample rate of the demo signal
  int blockFrames = 512;
  std::string program;  // number or name; empty: leave as it is
  std::vector<std::string> assignments;
  Transport transport;
  std::string midiPath;
  std::string notes;
  std::string automation;       // AutomationList entries, from every --automate
  bool splitAtEvents = false;   // every note and automation point starts a piece
  std::string loadProgramPath;  // .fxp
  std::string loadBankPath;     // .fxb
  std::string saveProgramPath;
  std::string saveBankPath;
  bool singlePrecision = false;  // processReplacing even when double precision is offered
  bool list = false;
  bool quiet = false;
  bool help = false;
};

// False with a one-line reason on a bad command line.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* errorText);
const char* renderUsage();

}  // namespace render
