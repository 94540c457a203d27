// What the renderer asks of a loaded plug-in beyond processing, in any format
// (RenderPlugin.h): parameters by name with plain values or value texts,
// programs by number or name, and the plug-in's state as .fxp/.fxb preset
// files (which name the plug-in by its 32-bit ID and carry its state chunks).
//
// PARAMETER VALUES
//   A host sees normalised values only. This class sets a value the way the
//   plug-in itself parses texts (setParameterText), so "Grain Mode=SYNC"
//   and "Grain Length=35" mean what the plug-in's display shows. Before that it
//   checks what it can from the host side:
//     - names must match a parameter (exactly, else ignoring case);
//     - for stepped parameters (isStepped) the value texts
//       are collected by formatting normalised values; a value must be one of
//       them, or a whole number counting them from 0;
//     - for parameters whose display at both ends is a plain number (for
//       example "0.2" and "2000.0" for Grain Length), a value outside that
//       range is refused instead of being clamped silently.
//   Parameters shown in other units (Volume in decibels, Mix as a ratio) are
//   passed on as given; the plug-in clamps them into range.
#pragma once

#include <string>
#include <vector>

#include "tools/render/PresetFile.h"
#include "tools/render/RenderPlugin.h"

namespace render {

class PluginControl {
 public:
  explicit PluginControl(RenderPlugin* plugin);
  virtual ~PluginControl();

  // Index of the parameter of that name, or -1.
  int findParameter(const std::string& name);
  // "Name=value". False with a one-line reason when the name or value is bad.
  bool applyAssignment(const std::string& assignment, std::string* errorText);
  // The texts of a stepped parameter in value order (empty for others).
  std::vector<std::string> valueTexts(int index);

  // A program number 0..numPrograms-1 or a program name (exactly, else
  // ignoring case).
  bool selectProgram(const std::string& numberOrName, std::string* errorText);
  std::vector<std::string> programNames();

  // Preset files. Loading checks the file's plug-in ID against the plug-in's.
  bool loadPreset(const std::string& path, PresetKind expected, std::string* errorText);
  bool savePreset(const std::string& path, PresetKind kind, std::string* errorText);
  // The state in memory as a preset file (for tests and for saving).
  bool capturePreset(PresetKind kind, PresetFile* file, std::string* errorText);
  bool applyPreset(const PresetFile& file, std::string* errorText);

 private:
  RenderPlugin* plugin_;
};

}  // namespace render
