#include "TestPlug.h"

#include <cstdio>

#include "plug/FourCharCode.h"
#include "plug/TextUtil.h"

namespace testplug {

plug::IPlugConfig TestPlug::MakeConfig(const char* channelIO, int params, int presets) {
  plug::IPlugConfig c;
  c.effectName = "TestPlug";
  c.productName = "";
  c.makerName = "Vellum Music";
  c.uniqueId = plug::FourCharCode('t', 'e', 's', 't');
  c.version = 0x00010102;
  c.paramCount = params;
  c.presetCount = presets;
  c.channelIO = channelIO;
  return c;
}

TestPlug::TestPlug(const char* channelIO) : plug::IPlugBase(MakeConfig(channelIO)) {
  GetParam(0)->InitContinuous("Length", 35.0, 1.0, 1000.0, 0.1, "ms", 2.0);
  GetParam(1)->InitEnumeration("Mode", 0, 3);
  GetParam(1)->AddValueText(0, "MS");
  GetParam(1)->AddValueText(1, "SYNC");
  GetParam(1)->AddValueText(2, "FREQ");
  GetParam(2)->InitInteger("Transpose", 0, -24, 24, "st");
  GetParam(2)->SetNegateDisplay(true);
  // Parameter 3 stays uninitialised, like the spare slots of a product.
}

namespace {
std::string Text(const char* format, int a, double b = 0.0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}
}  // namespace

void StubEditor::SetParameterFromPlugin(int paramIndex, double value, bool normalized) {
  char text[64];
  std::snprintf(text, sizeof text, "p%d %g %s", paramIndex, value,
                normalized ? "normalised" : "plain");
  shown.push_back(text);
}

void* StubEditor::OpenWindow(void* parent) {
  open_ = parent != nullptr;
  return open_ ? this : nullptr;
}

void StubEditor::CloseWindow() {
  open_ = false;
  ++closes;
}

void RecordingServices::BeginParamGesture(int paramIndex) {
  calls.push_back(Text("begin %d", paramIndex));
}

void RecordingServices::NotifyHostParamValue(int paramIndex, double normalized) {
  calls.push_back(Text("value %d %g", paramIndex, normalized));
}

void RecordingServices::EndParamGesture(int paramIndex) {
  calls.push_back(Text("end %d", paramIndex));
}

void RecordingServices::GetTransportInfo(plug::ITransportInfo* info) {
  if (hasTransport) *info = transport;
}

void RecordingServices::GetHostProduct(char* text, int capacity, int* hostVersion) {
  calls.push_back("product");
  plug::CopyText(text, product.c_str(), static_cast<std::size_t>(capacity));
  *hostVersion = version;
}

void RecordingServices::ResizeEditor(int width, int height) {
  char text[64];
  std::snprintf(text, sizeof text, "resize %d %d", width, height);
  calls.push_back(text);
}

bool RecordingServices::SendMidiToHost(const plug::IMidiMessage* msg) {
  char text[64];
  std::snprintf(text, sizeof text, "midi %d %d %d @%d", msg->status, msg->data1, msg->data2,
                msg->offset);
  calls.push_back(text);
  return acceptMidi;
}

bool RecordingServices::SendSysExToHost(const plug::ISysExMessage* msg) {
  calls.push_back(Text("sysex %d", msg->size));
  return acceptMidi;
}

void RecordingServices::SetLatencySamples(int samples) {
  calls.push_back(Text("latency %d", samples));
}

}  // namespace testplug
