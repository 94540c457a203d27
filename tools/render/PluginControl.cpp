#include "tools/render/PluginControl.h"

#include <cctype>
#include <cmath>

#include "tools/render/ByteFile.h"
#include "tools/render/NumberText.h"

namespace render {

namespace {

// Normalised values probed to list a stepped parameter's texts: enough for a
// parameter of a few hundred steps.
constexpr int kStepProbes = 1000;
constexpr int kProgramNameBytes = 28;

std::string lowered(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

std::string trimmed(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string joined(const std::vector<std::string>& texts) {
  std::string result;
  for (const std::string& text : texts) {
    result += (result.empty() ? "" : ", ") + text;
  }
  return result;
}

}  // namespace

PluginControl::PluginControl(RenderPlugin* plugin) : plugin_(plugin) {}

PluginControl::~PluginControl() = default;

int PluginControl::findParameter(const std::string& name) {
  const int count = plugin_->parameterCount();
  for (int i = 0; i < count; ++i) {
    if (plugin_->parameterName(i) == name) return i;
  }
  const std::string wanted = lowered(name);
  for (int i = 0; i < count; ++i) {
    const std::string candidate = plugin_->parameterName(i);
    if (!candidate.empty() && lowered(candidate) == wanted) return i;
  }
  return -1;
}

std::vector<std::string> PluginControl::valueTexts(int index) {
  std::vector<std::string> texts;
  if (!plugin_->isStepped(index)) return texts;
  for (int probe = 0; probe <= kStepProbes; ++probe) {
    const std::string text = plugin_->formatNormalised(
        index, static_cast<float>(probe) / static_cast<float>(kStepProbes));
    if (texts.empty() || texts.back() != text) texts.push_back(text);
  }
  return texts;
}

bool PluginControl::applyAssignment(const std::string& assignment, std::string* errorText) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos) {
    *errorText = "bad parameter setting \"" + assignment + "\" (NAME=VALUE wanted)";
    return false;
  }
  const std::string name = trimmed(assignment.substr(0, equals));
  std::string value = trimmed(assignment.substr(equals + 1));
  const int index = findParameter(name);
  if (index < 0) {
    *errorText = "unknown parameter \"" + name + "\"";
    return false;
  }
  if (value.empty()) {
    *errorText = "no value given for \"" + name + "\"";
    return false;
  }
  double number = 0.0;
  const bool numeric = parseNumber(value, &number);
  if (plugin_->isStepped(index)) {
    const std::vector<std::string> texts = valueTexts(index);
    bool found = false;
    for (const std::string& text : texts) {
      if (text == value || lowered(text) == lowered(value)) {
        value = text;
        found = true;
        break;
      }
    }
    if (!found && numeric && number == std::floor(number) && number >= 0 &&
        number < static_cast<double>(texts.size())) {
      value = texts[static_cast<std::size_t>(number)];
      found = true;
    }
    if (!found) {
      *errorText =
          "\"" + value + "\" is not a value of \"" + name + "\" (one of: " + joined(texts) + ")";
      return false;
    }
  } else {
    if (!numeric) {
      *errorText = "\"" + value + "\" is not a number (for \"" + name + "\")";
      return false;
    }
    double lowest = 0.0, highest = 0.0;
    if (parseNumber(plugin_->formatNormalised(index, 0.0), &lowest) &&
        parseNumber(plugin_->formatNormalised(index, 1.0), &highest) && lowest < highest) {
      // The display rounds; allow half a unit of its last digit and a little more.
      const double slack = (highest - lowest) * 1e-6;
      if (number < lowest - slack || number > highest + slack) {
        *errorText = "value " + value + " of \"" + name + "\" is out of range (" +
                     plugin_->formatNormalised(index, 0.0) + " to " +
                     plugin_->formatNormalised(index, 1.0) + ")";
        return false;
      }
    }
  }
  if (!plugin_->setParameterText(index, value)) {
    *errorText = "the plug-in refused \"" + value + "\" for \"" + name + "\"";
    return false;
  }
  return true;
}

std::vector<std::string> PluginControl::programNames() {
  std::vector<std::string> names;
  for (int i = 0; i < plugin_->programCount(); ++i) names.push_back(plugin_->programName(i));
  return names;
}

bool PluginControl::selectProgram(const std::string& numberOrName, std::string* errorText) {
  const int count = plugin_->programCount();
  long number = -1;
  if (!parseInteger(numberOrName, &number)) {
    const std::vector<std::string> names = programNames();
    for (int pass = 0; pass < 2 && number < 0; ++pass) {
      for (int i = 0; i < count; ++i) {
        const bool same =
            pass == 0 ? names[i] == numberOrName : lowered(names[i]) == lowered(numberOrName);
        if (same) {
          number = i;
          break;
        }
      }
    }
    if (number < 0) {
      *errorText = "unknown program \"" + numberOrName + "\" (one of: " + joined(names) + ")";
      return false;
    }
  }
  if (number < 0 || number >= count) {
    *errorText =
        "program " + numberOrName + " is out of range (0 to " + std::to_string(count - 1) + ")";
    return false;
  }
  plugin_->selectProgram(static_cast<int>(number));
  return true;
}

bool PluginControl::capturePreset(PresetKind kind, PresetFile* file, std::string* errorText) {
  const PluginIdentity id = plugin_->identity();
  if (!id.keepsChunks) {
    *errorText = "the plug-in keeps no state chunks";
    return false;
  }
  file->kind = kind;
  file->isChunk = true;
  file->pluginId = id.uniqueId;
  file->pluginVersion = id.version;
  if (kind == PresetKind::kBank) {
    file->count = plugin_->programCount();
    file->currentProgram = plugin_->currentProgram();
  } else {
    file->count = plugin_->parameterCount();
    file->programName = plugin_->currentProgramName().substr(0, kProgramNameBytes - 1);
  }
  const StateKind state = kind == PresetKind::kBank ? StateKind::kBank : StateKind::kProgram;
  if (!plugin_->getState(state, &file->chunk)) {
    *errorText = "the plug-in gave no state chunk";
    return false;
  }
  return true;
}

bool PluginControl::savePreset(const std::string& path, PresetKind kind, std::string* errorText) {
  PresetFile file;
  if (!capturePreset(kind, &file, errorText)) return false;
  return ByteFile::write(path, file.encode(), errorText);
}

bool PluginControl::applyPreset(const PresetFile& file, std::string* errorText) {
  const PluginIdentity id = plugin_->identity();
  if (file.pluginId != id.uniqueId) {
    *errorText = "the preset is for plug-in '" + fourCharText(file.pluginId) + "', not '" +
                 fourCharText(id.uniqueId) + "'";
    return false;
  }
  const int programs = plugin_->programCount();
  if (file.isChunk) {
    if (!id.keepsChunks) {
      *errorText = "the plug-in takes no state chunks";
      return false;
    }
    const StateKind state = file.kind == PresetKind::kBank ? StateKind::kBank : StateKind::kProgram;
    if (!plugin_->setState(state, file.chunk)) {
      *errorText = "the plug-in refused the preset's state chunk (corrupt or truncated?)";
      return false;
    }
    if (file.kind == PresetKind::kBank && file.currentProgram >= 0 &&
        file.currentProgram < programs) {
      plugin_->selectProgram(file.currentProgram);
    }
    return true;
  }
  // The value forms: one program at a time through the parameters.
  const int current = plugin_->currentProgram();
  const int params = plugin_->parameterCount();
  for (std::size_t p = 0; p < file.programs.size(); ++p) {
    if (file.kind == PresetKind::kBank) {
      if (static_cast<int>(p) >= programs) break;
      plugin_->selectProgram(static_cast<int>(p));
    }
    const PresetValues& program = file.programs[p];
    for (std::size_t i = 0; i < program.values.size() && static_cast<int>(i) < params; ++i) {
      const float value = program.values[i];
      plugin_->setParameter(static_cast<int>(i), std::isfinite(value) ? (value < 0   ? 0.0f
                                                                         : value > 1 ? 1.0f
                                                                                     : value)
                                                                      : 0.0f);
    }
    plugin_->renameCurrentProgram(program.name);
  }
  if (file.kind == PresetKind::kBank) {
    const int target =
        file.currentProgram >= 0 && file.currentProgram < programs ? file.currentProgram : current;
    plugin_->selectProgram(target);
  }
  return true;
}

bool PluginControl::loadPreset(const std::string& path, PresetKind expected,
                               std::string* errorText) {
  std::vector<std::uint8_t> bytes;
  if (!ByteFile::read(path, &bytes, errorText)) return false;
  PresetFile file;
  if (!PresetFile::decode(bytes, &file, errorText)) return false;
  if (file.kind != expected) {
    *errorText = expected == PresetKind::kBank ? "this is a program (.fxp), not a bank"
                                               : "this is a bank (.fxb), not a program";
    return false;
  }
  return applyPreset(file, errorText);
}

}  // namespace render
