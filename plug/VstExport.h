// Marks the library's entry points for export. Windows builds export through
// the module definition file (exports.def), which also gives `main` its name;
// elsewhere symbols are hidden by default and these two are made visible.
#pragma once

#if defined(_WIN32)
#define QUILLET_EXPORT
#else
#define QUILLET_EXPORT __attribute__((visibility("default")))
#endif
