// libFuzzer target: hostile chunks through effSetChunk of the real plug-in.
//
// The first input byte picks the path: bit 0 a bank (index 0) or a program,
// bit 1 an ordinary host or one whose vendor makes chunks program-only (then
// every chunk is read as a program first, and again as a bank when it does not
// fit). The rest is the chunk. After every load the plug-in must still hold
// finite parameters within range, answer getParameter within 0..1, and hand
// out a chunk of its own.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plug/ModuleExport.h"
#include "plug/vst2/IPlugVST.h"

// plug/vst2/VstEntry.cpp, built into this program.
extern "C" QUILLET_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host);

namespace {

const char* g_vendor = "";

vst::intptr VST_CALL HostCallback(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr,
                                  void* ptr, float) {
  if (opcode == vst::audioMasterGetVendorString && ptr)
    std::strcpy(static_cast<char*>(ptr), g_vendor);
  if (opcode == vst::audioMasterVersion) return vst::kVstVersion;
  return 0;
}

vst::AEffect* MakeInstance(const char* vendor) {
  g_vendor = vendor;
  vst::AEffect* fx = VSTPluginMain(HostCallback);
  if (!fx) std::abort();
  fx->dispatcher(fx, vst::effOpen, 0, 0, nullptr, 0.0f);
  fx->dispatcher(fx, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  fx->dispatcher(fx, vst::effSetBlockSize, 0, 64, nullptr, 0.0f);
  fx->dispatcher(fx, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  // Ask once so the host kind is cached with this vendor.
  void* data = nullptr;
  fx->dispatcher(fx, vst::effGetChunk, 0, 0, &data, 0.0f);
  return fx;
}

void Check(vst::AEffect* fx) {
  plug::IPlugBase* plug = plug::IPlugVST::FromAEffect(fx)->Plugin();
  for (int i = 0; i < plug->NParams(); ++i) {
    const plug::IParameter* p = plug->GetParam(i);
    if (!std::isfinite(p->Value()) || p->Value() < p->Min() || p->Value() > p->Max()) std::abort();
    float n = fx->getParameter(fx, i);
    if (!(n >= 0.0f && n <= 1.0f)) std::abort();
  }
  void* data = nullptr;
  if (fx->dispatcher(fx, vst::effGetChunk, 1, 0, &data, 0.0f) <= 0 || !data) std::abort();
  // A short block must stay finite after whatever was loaded.
  float in[2][64], out[2][64];
  for (int i = 0; i < 64; ++i) in[0][i] = in[1][i] = std::sin(0.1f * i);
  float* ins[] = {in[0], in[1]};
  float* outs[] = {out[0], out[1]};
  fx->processReplacing(fx, ins, outs, 64);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 64; ++i)
      if (!std::isfinite(out[c][i])) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vst::AEffect* normal = MakeInstance("Vellum Test Host");
  static vst::AEffect* quirk = MakeInstance("Native Instruments");
  if (size < 1) return 0;
  vst::AEffect* fx = (data[0] & 2) ? quirk : normal;
  const int index = (data[0] & 1) ? 0 : 1;
  // A copy the size of the data: reads beyond it are caught by the sanitizer.
  std::vector<std::uint8_t> chunk(data + 1, data + size);
  fx->dispatcher(fx, vst::effSetChunk, index, static_cast<vst::intptr>(chunk.size()),
                 chunk.empty() ? static_cast<void*>(&chunk) : chunk.data(), 0.0f);
  Check(fx);
  return 0;
}
