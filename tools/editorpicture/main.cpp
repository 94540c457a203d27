// quillet-editor-picture: opens a plug-in's editor in a window of its own,
// lets it draw, and writes what the window shows to a PNG file.
//
//   quillet-editor-picture PLUGIN OUT.png [--program N|NAME] [--param NAME=VALUE]...
//                          [--hover X,Y] [--wait MS] [--size PERCENT]
//                          [--set INDEX=NORMALISED]...
//
// --size opens the editor at 100, 150 or 200 % as a user's choice does: the
// settings file of a folder next to the picture (OUT.png.settings) says so.
// --hover takes logical coordinates at any size.
//
// Parameters and programs are set before the editor opens, the way a host
// restores a project; --hover moves the pointer over a point of the editor
// before the picture is taken. Exit status: 0 written, 1 bad command line or
// file, 2 the plug-in or its editor could not be opened.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "lice/LICE_MemBitmap.h"
#include "tools/render/PluginControl.h"
#include "tools/render/PngWriter.h"
#include "tools/render/Vst2RenderPlugin.h"
#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/PluginHost.h"

namespace {

constexpr const char* kUsage =
    "usage: quillet-editor-picture PLUGIN OUT.png [--program N|NAME] [--param NAME=VALUE]...\n"
    "                              [--hover X,Y] [--wait MS] [--size PERCENT]\n"
    "                              [--set INDEX=NORMALISED]...\n";

struct Options {
  std::string plugin;
  std::string output;
  std::string program;
  std::vector<std::string> params;
  int hoverX = -1;
  int hoverY = -1;
  int waitMs = 400;
  int sizePercent = 0;
  // Parameters set by index to a normalised value (--set), as a host does.
  std::vector<std::pair<int, float>> normalised;
};

// Logical to device pixels as the editor places them.
int Device(int logical, int percent) {
  return percent ? static_cast<int>((2LL * logical * percent + 100) / 200) : logical;
}

// The user's size choice in a settings folder of the picture's own, which the
// plug-in reads instead of the user's.
bool ChooseSize(const std::string& output, int percent, std::string* error) {
  const std::filesystem::path folder = output + ".settings";
  std::error_code failed;
  std::filesystem::create_directories(folder / "VellumMusic", failed);
  std::ofstream ini(folder / "VellumMusic" / "quillet.ini", std::ios::binary | std::ios::trunc);
  ini << "[Editor]\r\nSize=" << percent << "\r\n";
  if (!ini.flush()) {
    *error = "cannot write " + folder.string();
    return false;
  }
#ifdef _WIN32
  SetEnvironmentVariableA("QUILLET_LOCAL_APPDATA", folder.string().c_str());
#else
  setenv("QUILLET_LOCAL_APPDATA", folder.string().c_str(), 1);
#endif
  return true;
}

bool parse(int argc, char** argv, Options* o, std::string* error) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--program" && hasValue) {
      o->program = argv[++i];
    } else if (arg == "--param" && hasValue) {
      o->params.push_back(argv[++i]);
    } else if (arg == "--hover" && hasValue) {
      if (std::sscanf(argv[++i], "%d,%d", &o->hoverX, &o->hoverY) != 2) {
        *error = "--hover takes X,Y";
        return false;
      }
    } else if (arg == "--wait" && hasValue) {
      o->waitMs = std::atoi(argv[++i]);
    } else if (arg == "--set" && hasValue) {
      int index = -1;
      float value = 0;
      if (std::sscanf(argv[++i], "%d=%f", &index, &value) != 2 || index < 0 || !(value >= 0) ||
          value > 1) {
        *error = "--set takes INDEX=NORMALISED (0 to 1)";
        return false;
      }
      o->normalised.emplace_back(index, value);
    } else if (arg == "--size" && hasValue) {
      o->sizePercent = std::atoi(argv[++i]);
      if (o->sizePercent != 100 && o->sizePercent != 150 && o->sizePercent != 200) {
        *error = "--size takes 100, 150 or 200";
        return false;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      *error = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) {
    *error = "a plug-in and an output file are needed";
    return false;
  }
  o->plugin = positional[0];
  o->output = positional[1];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!parse(argc, argv, &options, &error)) {
    std::fprintf(stderr, "quillet-editor-picture: %s\n%s", error.c_str(), kUsage);
    return 1;
  }
  if (options.sizePercent && !ChooseSize(options.output, options.sizePercent, &error)) {
    std::fprintf(stderr, "quillet-editor-picture: %s\n", error.c_str());
    return 1;
  }
  render::Vst2RenderPlugin plugin("quillet-host");
  if (!plugin.load(options.plugin, &error)) {
    std::fprintf(stderr, "quillet-editor-picture: %s\n", error.c_str());
    return 2;
  }
  plugin.open(44100.0, 512);
  plugin.host().resume();
  render::PluginControl control(&plugin);
  if (!options.program.empty() && !control.selectProgram(options.program, &error)) {
    std::fprintf(stderr, "quillet-editor-picture: %s\n", error.c_str());
    return 1;
  }
  for (const std::string& assignment : options.params) {
    if (!control.applyAssignment(assignment, &error)) {
      std::fprintf(stderr, "quillet-editor-picture: %s\n", error.c_str());
      return 1;
    }
  }
  for (const auto& set : options.normalised) plugin.host().setParameter(set.first, set.second);
  vsthost::EditorWindow window;
  if (!window.open(&plugin.host(), 0, 0, &error)) {
    std::fprintf(stderr, "quillet-editor-picture: %s\n", error.c_str());
    return 2;
  }
  if (options.hoverX >= 0) {
    vsthost::EditorInput input(window.editorWindow());
    input.moveTo(Device(options.hoverX, options.sizePercent),
                 Device(options.hoverY, options.sizePercent));
  }
  vsthost::EditorWindow::pump(options.waitMs);
  std::unique_ptr<LICE_MemBitmap> picture(window.capture());
  window.close();
  if (!picture || !render::writePng(options.output, picture.get(), &error)) {
    std::fprintf(stderr, "quillet-editor-picture: no picture written%s%s\n",
                 error.empty() ? "" : ": ", error.c_str());
    return picture ? 1 : 2;
  }
  std::printf("quillet-editor-picture: %d x %d -> %s\n", picture->Width(), picture->Height(),
              options.output.c_str());
  return 0;
}
