// Marks a plug-in module's entry points for export, in every format. Windows
// builds export through the format's module definition file (for VST 2
// plug/vst2/exports.def, which also gives `main` its name); elsewhere symbols
// are hidden by default and the entries are made visible with this mark (and
// kept by the format's version script).
#pragma once

#if defined(_WIN32)
#define QUILLET_EXPORT
#else
#define QUILLET_EXPORT __attribute__((visibility("default")))
#endif
