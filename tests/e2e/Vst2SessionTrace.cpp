// vst2-session-trace PLUGIN: a scripted host session through the shipped VST 2
// binary, printed line by line: every dispatcher answer and every callback
// the plug-in makes (creation included, in order, with its arguments), the
// effect record, texts, chunk sizes and a summary of the audio. The ctest
// compares the print with vst2-session.trace, written from a build known to be
// right: the VST 2 binary must keep answering its hosts exactly so.
//
// Nothing that differs between machines or builds is printed: no addresses,
// answers as their low 32 bits (0xBEEF0000 is negative in a 32-bit intptr),
// and audio only as a few rounded figures (the Windows and Linux maths
// libraries differ in the last bits).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/vsthost/PluginHost.h"

namespace {

vsthost::PluginHost* gPlugin = nullptr;
std::size_t gCallsShown = 0;
std::size_t gEventsShown = 0;

// The callbacks since the last print.
void PrintCalls() {
  const std::vector<vsthost::HostCall> calls = gPlugin->host().calls();
  for (; gCallsShown < calls.size(); ++gCallsShown) {
    const vsthost::HostCall& c = calls[gCallsShown];
    std::printf("  callback %d index %d value %lld opt %g%s\n", c.opcode, c.index,
                static_cast<long long>(c.value), static_cast<double>(c.opt),
                c.hadPointer ? " ptr" : "");
  }
  const std::vector<vsthost::HostEvent> events = gPlugin->host().events();
  for (; gEventsShown < events.size(); ++gEventsShown) {
    const vsthost::HostEvent& e = events[gEventsShown];
    std::printf("  event type %d size %d delta %d", e.type, e.byteSize, e.deltaFrames);
    for (std::uint8_t b : e.bytes) std::printf(" %02x", b);
    std::printf("\n");
  }
}

vst::intptr Dispatch(const char* what, vst::int32 opcode, vst::int32 index = 0,
                     vst::intptr value = 0, void* ptr = nullptr, float opt = 0.0f) {
  const vst::intptr answer = gPlugin->dispatch(opcode, index, value, ptr, opt);
  std::printf("%s (%d %d %lld %g): %u\n", what, opcode, index, static_cast<long long>(value),
              static_cast<double>(opt), static_cast<unsigned>(static_cast<std::uint32_t>(answer)));
  PrintCalls();
  return answer;
}

void Text(const char* what, vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
          float opt = 0.0f) {
  const vsthost::TextAnswer a = gPlugin->queryText(opcode, index, value, opt);
  std::printf("%s %d %lld %g: %lld \"%s\" (%d bytes)\n", what, index, static_cast<long long>(value),
              static_cast<double>(opt), static_cast<long long>(a.result), a.text.c_str(),
              a.bytesWritten);
  PrintCalls();
}

void Record(const vst::AEffect* fx) {
  std::printf(
      "record magic %08x params %d programs %d in %d out %d flags %x delay %d id %08x "
      "version %d ratio %g entries %d%d%d%d%d%d\n",
      static_cast<unsigned>(fx->magic), fx->numParams, fx->numPrograms, fx->numInputs,
      fx->numOutputs, static_cast<unsigned>(fx->flags), fx->initialDelay,
      static_cast<unsigned>(fx->uniqueID), fx->version, static_cast<double>(fx->ioRatio),
      fx->dispatcher != nullptr, fx->process != nullptr, fx->processReplacing != nullptr,
      fx->processDoubleReplacing != nullptr, fx->setParameter != nullptr,
      fx->getParameter != nullptr);
}

template <typename Sample>
void Summary(const char* what, const std::vector<Sample>* channels) {
  double peak = 0.0, sum = 0.0;
  long long n = 0;
  for (int c = 0; c < 2; ++c) {
    for (Sample s : channels[c]) {
      peak = std::fmax(peak, std::fabs(static_cast<double>(s)));
      sum += static_cast<double>(s) * s;
      ++n;
    }
  }
  std::printf("%s: peak %.5f rms %.5f\n", what, peak, n ? std::sqrt(sum / n) : 0.0);
  PrintCalls();
}

void Chunk(const char* what, vst::int32 index, std::vector<std::uint8_t>* data) {
  const vst::intptr size = gPlugin->getChunk(
      index == 0 ? vsthost::ChunkKind::kBank : vsthost::ChunkKind::kProgram, data);
  std::uint32_t sum = 0;
  for (std::uint8_t b : *data) sum = sum * 31 + b;
  std::printf("%s: %lld bytes, sum %08x\n", what, static_cast<long long>(size),
              static_cast<unsigned>(sum));
  PrintCalls();
}

// One stereo block through each process entry, with MIDI first.
void Blocks(int count, int frames, long long* position) {
  std::vector<float> in[2], out[2];
  std::vector<double> inD[2], outD[2];
  for (int c = 0; c < 2; ++c) {
    in[c].resize(static_cast<std::size_t>(frames));
    inD[c].resize(static_cast<std::size_t>(frames));
    out[c].assign(static_cast<std::size_t>(frames), 0.0f);
    outD[c].assign(static_cast<std::size_t>(frames), 0.0);
  }
  for (int block = 0; block < count; ++block) {
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(*position + i) / 48000.0;
        inD[c][static_cast<std::size_t>(i)] = 0.4 * std::sin(6.2831853 * (220.0 + 110 * c) * t);
        in[c][static_cast<std::size_t>(i)] =
            static_cast<float>(inD[c][static_cast<std::size_t>(i)]);
      }
    }
    vst::VstTimeInfo time{};
    time.samplePos = static_cast<double>(*position);
    time.sampleRate = 48000.0;
    time.tempo = 132.0;
    time.ppqPos = time.samplePos / 48000.0 * 132.0 / 60.0;
    time.barStartPos = std::floor(time.ppqPos / 4.0) * 4.0;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    time.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid |
                 vst::kVstBarsValid | vst::kVstTimeSigValid;
    gPlugin->host().setTimeInfo(time);
    const std::vector<vsthost::HostEvent> events = {
        vsthost::HostEvent::midi(3, 0x90, static_cast<std::uint8_t>(57 + block), 100),
        vsthost::HostEvent::midi(frames - 1, 0x80, static_cast<std::uint8_t>(57 + block), 0),
        vsthost::HostEvent::sysEx(5, {0xF0, 0x7E, 0x01, 0xF7})};
    std::printf("events: %lld\n", static_cast<long long>(gPlugin->sendEvents(events)));
    PrintCalls();
    float* ins[] = {in[0].data(), in[1].data()};
    float* outs[] = {out[0].data(), out[1].data()};
    double* insD[] = {inD[0].data(), inD[1].data()};
    double* outsD[] = {outD[0].data(), outD[1].data()};
    if (block % 3 == 0) {
      gPlugin->processReplacing(ins, outs, frames);
      Summary("processReplacing", out);
    } else if (block % 3 == 1) {
      gPlugin->processDoubleReplacing(insD, outsD, frames);
      Summary("processDoubleReplacing", outD);
    } else {
      gPlugin->processAccumulating(ins, outs, frames);
      Summary("process", out);
    }
    *position += frames;
  }
}

void Session(const char* path, const char* vendor) {
  auto* host = new vsthost::ScriptedHost();
  host->setVendorString(vendor);
  host->setProductString("Cubase Test Host");
  host->setVendorVersion(110203);
  vsthost::PluginHost plugin(host);
  gPlugin = &plugin;
  gCallsShown = gEventsShown = 0;
  std::printf("== session, host vendor \"%s\"\n", vendor);
  std::string error;
  const vsthost::LoadStatus status = plugin.load(path, &error);
  std::printf("load: %s (entry %s)\n", vsthost::describe(status), plugin.entryName().c_str());
  PrintCalls();  // creation
  if (status != vsthost::LoadStatus::kLoaded) return;
  Record(plugin.effect());

  Dispatch("effOpen", vst::effOpen);
  Record(plugin.effect());
  Text("effGetEffectName", vst::effGetEffectName);
  Text("effGetVendorString", vst::effGetVendorString);
  Text("effGetProductString", vst::effGetProductString);
  const vst::int32 fixedAnswers[] = {vst::effGetVendorVersion, vst::effGetVstVersion,
                                     vst::effGetPlugCategory,  vst::effGetTailSize,
                                     vst::effIdentify,         vst::effGetProgram,
                                     vst::effStartProcess,     vst::effStopProcess,
                                     vst::effSetBypass,        200};
  for (vst::int32 op : fixedAnswers) Dispatch("opcode", op);
  for (const char* can : {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent",
                          "receiveVstEvents", "receiveVstMidiEvent", "hasCockosExtensions",
                          "hasCockosViewAsConfig", "bypass", "ReceiveVstTimeInfo"})
    Dispatch(can, vst::effCanDo, 0, 0, const_cast<char*>(can));
  for (vst::int32 i = -1; i <= plugin.effect()->numParams; ++i) {
    Text("name", vst::effGetParamName, i);
    Text("label", vst::effGetParamLabel, i);
    Text("display", vst::effGetParamDisplay, i);
    Dispatch("automatable", vst::effCanBeAutomated, i);
    Dispatch("stepped", vst::effVendorSpecific, vst::kVendorIsParamStepped, i);
    for (float v : {0.0f, 0.37f, 1.0f}) Text("text of", vst::effVendorSpecific, 7, i, v);
    std::printf("getParameter %d: %.6f\n", i, static_cast<double>(plugin.getParameter(i)));
  }
  for (vst::int32 p = -1; p <= plugin.effect()->numPrograms; ++p)
    Text("program name", vst::effGetProgramNameIndexed, p, -1);

  vst::VstPinProperties pin{};
  for (vst::int32 i = -1; i <= 2; ++i) {
    std::memset(&pin, 0, sizeof pin);
    const vst::intptr in = Dispatch("input pin", vst::effGetInputProperties, i, 0, &pin);
    if (in) std::printf("  \"%s\" flags %d\n", pin.label, pin.flags);
    std::memset(&pin, 0, sizeof pin);
    const vst::intptr out = Dispatch("output pin", vst::effGetOutputProperties, i, 0, &pin);
    if (out) std::printf("  \"%s\" flags %d\n", pin.label, pin.flags);
  }
  vst::ERect* rect = nullptr;
  if (Dispatch("effEditGetRect", vst::effEditGetRect, 0, 0, &rect) && rect)
    std::printf("  rect %d %d %d %d\n", rect->top, rect->left, rect->bottom, rect->right);
  vst::VstMidiKeyName key{};
  key.thisKeyNumber = 60;
  Dispatch("effGetMidiKeyName", vst::effGetMidiKeyName, 0, 0, &key);

  Dispatch("effSetSampleRate", vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch("effSetBlockSize", vst::effSetBlockSize, 0, 256);
  std::printf("speaker arrangement: %lld\n",
              static_cast<long long>(plugin.setSpeakerArrangement(2, 2)));
  PrintCalls();
  Dispatch("effMainsChanged", vst::effMainsChanged, 0, 1);
  long long position = 0;
  for (vst::int32 program : {0, 1, 3, 4, 6}) {
    Dispatch("effSetProgram", vst::effSetProgram, 0, program);
    Text("current program", vst::effGetProgramName);
    Blocks(4, 256, &position);
  }
  // Parameters from the host: values and texts.
  plugin.setParameter(1, 0.3f);
  plugin.setParameter(2, 0.5f);
  plugin.setParameter(99, 0.5f);
  PrintCalls();
  for (const char* text : {"FREQ", "sync", "1/8T"}) {
    Dispatch("effString2Parameter 2", vst::effString2Parameter, 2, 0, const_cast<char*>(text));
    Dispatch("effString2Parameter 4", vst::effString2Parameter, 4, 0, const_cast<char*>(text));
  }
  Dispatch("effString2Parameter 3", vst::effString2Parameter, 3, 0, const_cast<char*>("35.5"));
  Dispatch("effString2Parameter null", vst::effString2Parameter, 3, 0, nullptr);
  for (vst::int32 i = 0; i < 6; ++i) Text("display", vst::effGetParamDisplay, i);
  Blocks(3, 256, &position);
  Dispatch("effSetProgramName", vst::effSetProgramName, 0, 0, const_cast<char*>("Traced"));

  // State.
  std::vector<std::uint8_t> bank, program;
  Chunk("bank chunk", 0, &bank);
  Chunk("program chunk", 1, &program);
  std::printf("set bank: %lld\n",
              static_cast<long long>(plugin.setChunk(vsthost::ChunkKind::kBank, bank)));
  PrintCalls();
  std::printf("set program: %lld\n",
              static_cast<long long>(plugin.setChunk(vsthost::ChunkKind::kProgram, program)));
  PrintCalls();
  std::vector<std::uint8_t> cut(program.begin(), program.begin() + program.size() / 2);
  std::printf("set cut program: %lld\n",
              static_cast<long long>(plugin.setChunk(vsthost::ChunkKind::kProgram, cut)));
  PrintCalls();
  Text("current program", vst::effGetProgramName);
  Blocks(2, 300, &position);  // longer than the announced block

  Dispatch("effMainsChanged", vst::effMainsChanged, 0, 0);
  std::printf("effClose: %lld\n", static_cast<long long>(plugin.destroyInstance()));
  PrintCalls();
  gPlugin = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vst2-session-trace PLUGIN\n");
    return 2;
  }
  Session(argv[1], "Vellum Trace");
  // A vendor whose hosts get program chunks only.
  Session(argv[1], "Native Instruments");
  return 0;
}
