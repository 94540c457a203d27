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

PluginControl::PluginControl(vsthost::PluginHost* plugin) : plugin_(plugin) {}

PluginControl::~PluginControl() = default;

int PluginControl::findParameter(const std::string& name) {
  const int count = plugin_->effect()->numParams;
  for (int i = 0; i < count; ++i) {
    if (plugin_->paramName(i) == name) return i;
  }
  const std::string wanted = lowered(name);
  for (int i = 0; i < count; ++i) {
    const std::string candidate = plugin_->paramName(i);
    if (!candidate.empty() && lowered(candidate) == wanted) return i;
  }
  return -1;
}

bool PluginControl::isStepped(int index) {
  return plugin_->dispatch(vst::effVendorSpecific, vst::kVendorIsParamStepped, index) ==
         vst::kVendorSpecificYes;
}

std::string PluginControl::formatNormalised(int index, float normalised) {
  char text[vsthost::PluginHost::kTextBufferBytes] = {};
  plugin_->dispatch(vst::effVendorSpecific, vst::kVendorFormatParamValue, index, text, normalised);
  text[sizeof text - 1] = '\0';
  return text;
}

std::vector<std::string> PluginControl::valueTexts(int index) {
  std::vector<std::string> texts;
  if (!isStepped(index)) return texts;
  for (int probe = 0; probe <= kStepProbes; ++probe) {
    const std::string text =
        formatNormalised(index, static_cast<float>(probe) / static_cast<float>(kStepProbes));
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
  if (isStepped(index)) {
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
    if (parseNumber(formatNormalised(index, 0.0f), &lowest) &&
        parseNumber(formatNormalised(index, 1.0f), &highest) && lowest < highest) {
      // The display rounds; allow half a unit of its last digit and a little more.
      const double slack = (highest - lowest) * 1e-6;
      if (number < lowest - slack || number > highest + slack) {
        *errorText = "value " + value + " of \"" + name + "\" is out of range (" +
                     formatNormalised(index, 0.0f) + " to " + formatNormalised(index, 1.0f) + ")";
        return false;
      }
    }
  }
  std::vector<char> text(value.begin(), value.end());
  text.push_back('\0');
  if (plugin_->dispatch(vst::effString2Parameter, index, 0, text.data()) == 0) {
    *errorText = "the plug-in refused \"" + value + "\" for \"" + name + "\"";
    return false;
  }
  return true;
}

std::vector<std::string> PluginControl::programNames() {
  std::vector<std::string> names;
  for (int i = 0; i < plugin_->effect()->numPrograms; ++i) {
    names.push_back(plugin_->queryText(vst::effGetProgramNameIndexed, i, -1).text);
  }
  return names;
}

bool PluginControl::selectProgram(const std::string& numberOrName, std::string* errorText) {
  const int count = plugin_->effect()->numPrograms;
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
  plugin_->dispatch(vst::effSetProgram, 0, number);
  return true;
}

bool PluginControl::capturePreset(PresetKind kind, PresetFile* file, std::string* errorText) {
  const vst::AEffect* effect = plugin_->effect();
  if ((effect->flags & vst::effFlagsProgramChunks) == 0) {
    *errorText = "the plug-in keeps no state chunks";
    return false;
  }
  file->kind = kind;
  file->isChunk = true;
  file->pluginId = effect->uniqueID;
  file->pluginVersion = effect->version;
  if (kind == PresetKind::kBank) {
    file->count = effect->numPrograms;
    file->currentProgram = static_cast<std::int32_t>(plugin_->dispatch(vst::effGetProgram));
  } else {
    file->count = effect->numParams;
    file->programName = plugin_->programName().substr(0, kProgramNameBytes - 1);
  }
  const vsthost::ChunkKind chunkKind =
      kind == PresetKind::kBank ? vsthost::ChunkKind::kBank : vsthost::ChunkKind::kProgram;
  if (plugin_->getChunk(chunkKind, &file->chunk) <= 0 || file->chunk.empty()) {
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
  const vst::AEffect* effect = plugin_->effect();
  if (file.pluginId != effect->uniqueID) {
    *errorText = "the preset is for plug-in '" + fourCharText(file.pluginId) + "', not '" +
                 fourCharText(effect->uniqueID) + "'";
    return false;
  }
  const vsthost::ChunkKind chunkKind =
      file.kind == PresetKind::kBank ? vsthost::ChunkKind::kBank : vsthost::ChunkKind::kProgram;
  if (file.isChunk) {
    if ((effect->flags & vst::effFlagsProgramChunks) == 0) {
      *errorText = "the plug-in takes no state chunks";
      return false;
    }
    if (plugin_->setChunk(chunkKind, file.chunk) == 0) {
      *errorText = "the plug-in refused the preset's state chunk (corrupt or truncated?)";
      return false;
    }
    if (file.kind == PresetKind::kBank && file.currentProgram >= 0 &&
        file.currentProgram < effect->numPrograms) {
      plugin_->dispatch(vst::effSetProgram, 0, file.currentProgram);
    }
    return true;
  }
  // The value forms: one program at a time through the parameters.
  const int current = static_cast<int>(plugin_->dispatch(vst::effGetProgram));
  for (std::size_t p = 0; p < file.programs.size(); ++p) {
    if (file.kind == PresetKind::kBank) {
      if (static_cast<int>(p) >= effect->numPrograms) break;
      plugin_->dispatch(vst::effSetProgram, 0, static_cast<vst::intptr>(p));
    }
    const PresetValues& program = file.programs[p];
    for (std::size_t i = 0; i < program.values.size() && static_cast<int>(i) < effect->numParams;
         ++i) {
      const float value = program.values[i];
      plugin_->setParameter(static_cast<vst::int32>(i), std::isfinite(value) ? (value < 0   ? 0.0f
                                                                                : value > 1 ? 1.0f
                                                                                            : value)
                                                                             : 0.0f);
    }
    std::vector<char> name(program.name.begin(), program.name.end());
    name.push_back('\0');
    plugin_->dispatch(vst::effSetProgramName, 0, 0, name.data());
  }
  if (file.kind == PresetKind::kBank) {
    const int target = file.currentProgram >= 0 && file.currentProgram < effect->numPrograms
                           ? file.currentProgram
                           : current;
    plugin_->dispatch(vst::effSetProgram, 0, target);
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
