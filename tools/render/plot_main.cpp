// quillet-plot: pictures of renders as PNG files.
//   quillet-plot sheet IMAGE.png INPUT.wav OUTPUT.wav TITLE [DESCRIPTION] [--tempo BPM]
//   quillet-plot overview IMAGE.png INPUT.wav TITLE1 OUTPUT1.wav [TITLE2 OUTPUT2.wav ...] [--tempo
//   BPM]
// Exit status: 0 done, 1 bad command line or input file, 3 the image could
// not be written.
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/render/AudioFile.h"
#include "tools/render/NumberText.h"
#include "tools/render/PngWriter.h"
#include "tools/render/RenderPicture.h"

namespace {

int fail(int status, const std::string& message) {
  std::fprintf(stderr, "quillet-plot: %s\n", message.c_str());
  return status;
}

const char* kUsage =
    "usage: quillet-plot sheet IMAGE.png INPUT.wav OUTPUT.wav TITLE [DESCRIPTION] [--tempo BPM]\n"
    "       quillet-plot overview IMAGE.png INPUT.wav TITLE1 OUTPUT1.wav [TITLE2 OUTPUT2.wav ...]"
    " [--tempo BPM]\n";

bool load(const std::string& path, render::AudioClip* clip, std::string* error) {
  if (!render::AudioFile::read(path, clip, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  std::vector<std::string> args;
  double tempoBpm = 120.0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--tempo") {
      if (i + 1 >= argc || !render::parseNumber(argv[i + 1], &tempoBpm) || tempoBpm < 10 ||
          tempoBpm > 999) {
        return fail(1, "bad or missing value for --tempo");
      }
      ++i;
    } else {
      args.push_back(arg);
    }
  }
  std::string error;
  if (args.size() >= 5 && args.size() <= 6 && args[0] == "sheet") {
    render::AudioClip input, output;
    if (!load(args[2], &input, &error) || !load(args[3], &output, &error)) return fail(1, error);
    render::RenderPicture picture(render::programSheetWidth(), render::programSheetHeight());
    render::SheetText text{args[4], args.size() > 5 ? args[5] : ""};
    render::drawProgramSheet(&picture, input, output, text, tempoBpm);
    if (!render::writePng(args[1], picture.bitmap(), &error))
      return fail(3, args[1] + ": " + error);
    return 0;
  }
  if (args.size() >= 5 && args.size() % 2 == 1 && args[0] == "overview") {
    render::AudioClip input;
    if (!load(args[2], &input, &error)) return fail(1, error);
    std::vector<render::AudioClip> outputs;
    std::vector<std::string> titles;
    for (std::size_t i = 3; i + 1 < args.size(); i += 2) {
      titles.push_back(args[i]);
      outputs.emplace_back();
      if (!load(args[i + 1], &outputs.back(), &error)) return fail(1, error);
    }
    render::RenderPicture picture(render::overviewWidth(),
                                  render::overviewHeight(static_cast<int>(outputs.size())));
    render::drawOverview(&picture, input, outputs, titles, tempoBpm);
    if (!render::writePng(args[1], picture.bitmap(), &error))
      return fail(3, args[1] + ": " + error);
    return 0;
  }
  std::fputs(kUsage, stderr);
  return 1;
}
