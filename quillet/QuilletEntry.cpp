// The product behind the library's entry points.
#include <new>

#include "quillet/Quillet.h"

plug::IPlugVST* plug::CreatePluginInstance(vst::HostCallback host) {
  return new (std::nothrow) Quillet(host);
}
