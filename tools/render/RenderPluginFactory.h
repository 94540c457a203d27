// The renderer's plug-in for a binary, by format: a .clap is a CLAP plug-in
// (ClapRenderPlugin), an .lv2 bundle folder (on Linux) an LV2 plug-in
// (Lv2RenderPlugin), a .vst3 bundle or module a VST 3 plug-in
// (Vst3RenderPlugin), anything else a VST 2 plug-in (Quillet64.dll,
// Quillet.dll, Quillet.so). A new format's renderer side adds its adapter
// (RenderPlugin.h) and recognises its binaries here (by suffix).
#pragma once

#include <memory>
#include <string>

#include "tools/render/RenderPlugin.h"

namespace render {

// The loaded plug-in with one instance, or null with a one-line reason.
std::unique_ptr<RenderPlugin> openRenderPlugin(const std::string& path, std::string* errorText);

}  // namespace render
