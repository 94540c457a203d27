// The state the newer formats (CLAP, VST 3, LV2) store in a project, and a
// side-effect-free check of the chunks VST 2 hosts store.
//
//   format state   the bank chunk (IPlugBasePresets.cpp: header, then every
//                  preset's name, initialised flag and values, the live
//                  values kept in the current preset), then int32 the
//                  current preset's index, little-endian.
//
// So a project carries exactly what a VST 2 project carries, plus which
// preset is current, in the same bytes. Hosts hand state over in pieces and
// may hand anything: these checks walk the layout without touching an
// instance, so a load can refuse a chunk before the first value changes.
#pragma once

#include "plug/StateChunk.h"

namespace plug {

struct ChunkShape {
  int paramCount;   // values in each preset's state
  int presetCount;  // presets in a bank
};

// The position just after a bank chunk that is whole from position 0
// (header of the current version, every preset complete), or -1.
int EndOfBankChunk(const StateChunk& chunk, const ChunkShape& shape);

// The position just after a program chunk that is whole from position 0
// (header, every value, the name), or -1.
int EndOfProgramChunk(const StateChunk& chunk, const ChunkShape& shape);

// The current preset index of a whole format state (a bank chunk followed by
// exactly one index naming a preset), or -1 when the bytes are anything else.
int FormatStatePresetIndex(const StateChunk& chunk, const ChunkShape& shape);

}  // namespace plug
