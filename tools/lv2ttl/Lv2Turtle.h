// The LV2 bundle's descriptions, written from a product instance: its
// parameter table becomes the control ports, its factory programs the
// presets. Generated at build time (quillet-lv2-ttl), so the bundle can never
// describe other parameters than the binary has.
//
//   manifest.ttl   the plug-in and its UI, their binary, the presets
//   quillet.ttl    the plug-in (identity, features, the 35 ports) and the UI
//   presets.ttl    the ten factory programs: port values and program chunks
#pragma once

#include <string>

namespace plug {
class IPlugBase;
}

namespace lv2ttl {

// The port symbol of a parameter name: lower case, every run of other
// characters one '_' ("Grain Fade-In" -> "grain_fade_in"); a name giving
// nothing (the reserved slots) gives "reserved_<index>".
std::string PortSymbol(const char* name, int index);

// Each file's text. The presets select each program of plugin in turn and
// leave the first one selected.
std::string ManifestTurtle(const plug::IPlugBase& plugin, const std::string& binaryName);
std::string PluginTurtle(const plug::IPlugBase& plugin);
std::string PresetsTurtle(plug::IPlugBase* plugin);

// A number as Turtle writes a decimal or double: the shortest text that reads
// back as the same double, always with a '.' or an exponent.
std::string TurtleNumber(double v);

}  // namespace lv2ttl
