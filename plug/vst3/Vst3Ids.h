// Everything the VST 3 build promises to keep forever once released: the
// class identity, the parameter IDs beyond the VST 2 indexes, the program
// list, the controllers mapped to hidden parameters. Tests check each.
//
//   ParamID            what
//   0 .. 28            the parameter of that VST 2 index (automation carries over)
//   kProgramParamId    the current program (a list of the ten programs; not automatable)
//   kControllerParamBase + cc
//                      MIDI controller cc (0..119, 120 all sound off, 123 all
//                      notes off) on any channel, hidden: the plug-in turns a
//                      value v into the controller message with value
//                      round(v * 127), as VST 2 receives it
#pragma once

#include "plug/vst3/Vst3Abi.h"

namespace plug {
namespace vst3ids {

// The class ID hosts derive from the VST 2 build's unique ID 'vmQL' and its
// name "Quillet" (DeriveVst2ClassId), so that they replace the VST 2 plug-in
// in old projects: text form 565354766D514C7175696C6C65740000.
constexpr vst3::Uid kClassId{0x56535476, 0x6D514C71, 0x75696C6C, 0x65740000};

// The rule: "VST" as 56 53 54, the four characters of the VST 2 ID, then the
// first nine bytes of the name in lower case, zero-padded.
vst3::Uid DeriveVst2ClassId(std::int32_t vst2UniqueId, const char* name);

constexpr const char* kVendor = "Vellum Music";
constexpr const char* kClassName = "Quillet";
constexpr const char* kSubCategories = "Fx|Delay|Stereo";
constexpr const char* kSdkVersion = "VST 3.8.1";

constexpr vst3::ParamID kProgramParamId = 1000;
constexpr vst3::ParamID kControllerParamBase = 2000;
constexpr vst3::ProgramListID kProgramListId = 1;

// Controllers with a hidden parameter, in parameter-list order.
constexpr int kMappedControllerCount = 122;
// The controller of mapped slot i (0..kMappedControllerCount-1).
constexpr int MappedController(int i) { return i < 120 ? i : (i == 120 ? 120 : 123); }
// Whether controller cc has a hidden parameter.
constexpr bool IsMappedController(int cc) { return (cc >= 0 && cc <= 120) || cc == 123; }

}  // namespace vst3ids
}  // namespace plug
