// Recognises VST 2 state handed to the VST 3 build. Hosts that replace a
// VST 2 plug-in with its VST 3 version pass the old project data to
// IComponent::setState as a VST 2 preset stream, a 'CcnK' container with every
// number big-endian:
//
//   offset  size  program ('FPCh')            bank ('FBCh')
//   0       4     'CcnK'                      'CcnK'
//   4       4     bytes after this field      bytes after this field
//   8       4     'FPCh'                      'FBCh'
//   12      4     format version              format version
//   16      4     plug-in unique ID           plug-in unique ID
//   20      4     plug-in version             plug-in version
//   24      4     parameter count             program count
//   28      28    program name                version 2: current program (4),
//                                             then 124 reserved; else 128 reserved
//   56/156  4     chunk size                  chunk size
//   60/160  ...   the plug-in's chunk         the plug-in's chunk
//
// Some hosts pass the bare chunk instead; that is recognised by the base's
// checks (FormatState.h) when it is a whole program or bank chunk.
#pragma once

#include <cstdint>

#include "plug/StateChunk.h"

namespace plug {

enum class Vst2StateKind { kNone, kProgram, kBank };

// The kind of VST 2 chunk inside a container of plug-in uniqueId, copied to
// chunk, with the bank's current program (-1 when the container gives none);
// kNone (chunk untouched) for anything else, a container whose sizes do not
// agree with the data included.
Vst2StateKind ExtractVst2Chunk(const StateChunk& stream, std::int32_t uniqueId, StateChunk* chunk,
                               int* currentProgram);

}  // namespace plug
