// The one function the product defines for every format binding: a new,
// fully built instance (parameters, presets, editor object), or null when
// none could be made. Each binding calls it once per instance it creates,
// then hands the instance its host services (IPlugBase::SetHostServices);
// the binding owns the result and deletes it. Never throws. [main]
#pragma once

namespace plug {

class IPlugBase;

IPlugBase* CreatePlugin();

}  // namespace plug
