// Linux hosts refuse a VST 3 module without these. Entries may come more than
// once per process; there is nothing to set up per entry.
#include "plug/ModuleExport.h"

extern "C" QUILLET_EXPORT bool ModuleEntry(void*) { return true; }
extern "C" QUILLET_EXPORT bool ModuleExit() { return true; }
