// The VST 3 module's exported entries: GetPluginFactory everywhere, and the
// load notifications of Windows (InitDll, ExitDll). Linux's ModuleEntry and
// ModuleExit are in Vst3Entry_posix.cpp.
#include "plug/ModuleExport.h"
#include "plug/vst3/Vst3Factory.h"

extern "C" QUILLET_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory() {
  return plug::Vst3Factory::Get();
}

#if defined(_WIN32)
// Nothing to set up or tear down beyond what the loader does.
extern "C" bool VST3_CALL InitDll() { return true; }
extern "C" bool VST3_CALL ExitDll() { return true; }
#endif
