// The product behind every format binding (plug/PluginFactory.h).
#include <new>

#include "plug/PluginFactory.h"
#include "quillet/Quillet.h"

plug::IPlugBase* plug::CreatePlugin() { return new (std::nothrow) Quillet(); }
