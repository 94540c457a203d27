// Writes valid chunks of the real plug-in as seeds for the chunk fuzzer: a
// program and a bank for each path byte (see SetChunkFuzzer.cpp), from the
// default state and from every factory program.
#include <cstdio>
#include <cstring>
#include <string>

#include "plug/ModuleExport.h"
#include "plug/vst2/IPlugVST.h"

// plug/vst2/VstEntry.cpp, built into this program.
extern "C" QUILLET_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host);

namespace {

vst::intptr VST_CALL HostCallback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*,
                                  float) {
  return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
}

bool Write(const std::string& path, unsigned char selector, const void* data, vst::intptr size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok =
      std::fwrite(&selector, 1, 1, f) == 1 &&
      std::fwrite(data, 1, static_cast<std::size_t>(size), f) == static_cast<std::size_t>(size);
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write-chunk-seeds DIR\n");
    return 2;
  }
  vst::AEffect* fx = VSTPluginMain(HostCallback);
  if (!fx) return 1;
  int written = 0;
  for (int program = 0; program < fx->numPrograms; ++program) {
    fx->dispatcher(fx, vst::effSetProgram, 0, program, nullptr, 0.0f);
    for (int index : {0, 1}) {
      void* data = nullptr;
      vst::intptr size = fx->dispatcher(fx, vst::effGetChunk, index, 0, &data, 0.0f);
      if (size <= 0) continue;
      for (unsigned char quirk : {0, 2}) {
        unsigned char selector = static_cast<unsigned char>(quirk | (index == 0 ? 1 : 0));
        std::string path = std::string(argv[1]) + "/seed-p" + std::to_string(program) + "-s" +
                           std::to_string(selector);
        if (!Write(path, selector, data, size)) return 1;
        ++written;
      }
    }
  }
  fx->dispatcher(fx, vst::effClose, 0, 0, nullptr, 0.0f);
  std::printf("wrote %d seeds\n", written);
  return written > 0 ? 0 : 1;
}
