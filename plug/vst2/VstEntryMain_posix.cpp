// The second entry point, `main`, for shared objects: a C++ function may not
// be called main, so the symbol name is given to the linker directly.
#include "plug/ModuleExport.h"
#include "plug/vst2/VstAbi.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

extern "C" QUILLET_EXPORT vst::AEffect* VstMainEntry(vst::HostCallback host) __asm__("main");

vst::AEffect* VstMainEntry(vst::HostCallback host) { return VSTPluginMain(host); }
