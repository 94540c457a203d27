// Windows: the editor's window timer and the host's message loop run it.
#include "plug/vst3/Vst3View.h"

namespace plug {

namespace {

class NoPump : public Vst3EditorPump {
 public:
  void Start(vst3::IPlugFrame*) override {}
  void Stop() override {}
};

}  // namespace

Vst3EditorPump* Vst3EditorPump::Create(Vst3Plugin*) { return new NoPump(); }

const char* Vst3View::PlatformType() { return "HWND"; }

}  // namespace plug
