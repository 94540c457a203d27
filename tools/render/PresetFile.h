// The conventional VST 2 preset files, so that presets move between this tool
// and any host: .fxp holds one program, .fxb a bank of programs. Both are a
// 'CcnK' container, every number big-endian:
//
//   offset  size  program (.fxp)                  bank (.fxb)
//   0       4     'CcnK'                          'CcnK'
//   4       4     bytes that follow this field    bytes that follow this field
//   8       4     'FPCh' chunk / 'FxCk' values    'FBCh' chunk / 'FxBk' programs
//   12      4     format version (1)              format version (1 or 2)
//   16      4     plug-in unique ID               plug-in unique ID
//   20      4     plug-in version                 plug-in version
//   24      4     parameter count                 program count
//   28      28    program name, zero-terminated   version 2: current program (4),
//                                                 then 124 reserved bytes;
//                                                 version 1: 128 reserved bytes
//   56/156  ...   'FPCh': chunk size (4), chunk   'FBCh': chunk size (4), chunk
//                 'FxCk': one float per parameter 'FxBk': one 'FxCk' program
//                                                 record (as .fxp) per program
//
// This tool writes the chunk forms ('FPCh', 'FBCh' version 2), which carry the
// plug-in's own state chunk; it reads all four forms. Decoding checks every
// size against the data and never reads past it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

enum class PresetKind { kProgram, kBank };

// One program as a list of normalised parameter values (the 'FxCk' form).
struct PresetValues {
  std::string name;
  std::vector<float> values;
};

struct PresetFile {
  PresetKind kind = PresetKind::kProgram;
  std::int32_t pluginId = 0;
  std::int32_t pluginVersion = 0;
  // Parameters (program) or programs (bank).
  std::int32_t count = 0;
  // Program files: the program name (at most 27 characters are stored).
  std::string programName;
  // Bank files of version 2: the current program; -1 when not given.
  std::int32_t currentProgram = -1;
  // True for the chunk forms: chunk holds the plug-in's state.
  bool isChunk = true;
  std::vector<std::uint8_t> chunk;
  // The value forms: one entry (program) or count entries (bank).
  std::vector<PresetValues> programs;

  // Encodes a chunk-form file ('FPCh' or 'FBCh' version 2).
  std::vector<std::uint8_t> encode() const;
  // Decodes any of the four forms. On failure false with a one-line reason.
  static bool decode(const std::vector<std::uint8_t>& bytes, PresetFile* file,
                     std::string* errorText);
};

// A four-character code as text, e.g. 'Qult' (unprintable bytes as '?').
std::string fourCharText(std::int32_t code);

}  // namespace render
