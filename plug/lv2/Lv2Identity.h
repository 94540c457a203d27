// Everything of the LV2 plug-in that hosts store in their projects: the
// plug-in's URI, the port layout and the state keys. Chosen once and fixed
// for ever: a project saved with one version names these, so none may change
// (the tests in tests/e2e/lv2 name them as hosts do).
//
// Ports, by index:
//   0 .. 28   the 29 parameters as control inputs; port i is parameter i
//   29, 30    audio in left, right
//   31, 32    audio out left, right
//   33        atom input: MIDI events, time:Position objects and the UI's
//             MIDI-learn messages
//   34        atom output: the MIDI the plug-in passes through, and its
//             MIDI-learn mode for the UI
#pragma once

namespace plug {
namespace lv2 {

// Not the maker's web address (a build setting): a name, never fetched.
constexpr const char* kPluginUri = "https://vellum-music.com/plugins/quillet";
constexpr const char* kUiUri = "https://vellum-music.com/plugins/quillet#ui";
constexpr const char* kPresetUriPrefix = "https://vellum-music.com/plugins/quillet#preset-";
// The state: the base's format state (FormatState.h) as one atom:Chunk.
constexpr const char* kStateKey = "https://vellum-music.com/plugins/quillet#state";
// A factory preset's state: the VST 2 program chunk of that program (its
// exact values and name), applied as a VST 2 host's project would apply it.
constexpr const char* kProgramKey = "https://vellum-music.com/plugins/quillet#program";
// Our own hosts' double-precision run (Lv2DoubleRun in IPlugLV2.h), so that
// renders compare bit for bit with the VST 2 build's 64-bit path. No other
// host knows it; it runs the same path as run() with double buffers.
constexpr const char* kDoubleRunUri = "https://vellum-music.com/plugins/quillet#doubleRun";

// MIDI learn between the UI and the plug-in (Lv2LearnMessage.h): an object
// of this type with the mode as an atom:Int under kLearnModeUri.
constexpr const char* kLearnMessageUri = "https://vellum-music.com/plugins/quillet#MidiLearn";
constexpr const char* kLearnModeUri = "https://vellum-music.com/plugins/quillet#learnMode";

constexpr int kParamPorts = 29;
constexpr int kPortAudioInLeft = 29;
constexpr int kPortAudioInRight = 30;
constexpr int kPortAudioOutLeft = 31;
constexpr int kPortAudioOutRight = 32;
constexpr int kPortEventsIn = 33;
constexpr int kPortMidiOut = 34;
constexpr int kPortCount = 35;

}  // namespace lv2
}  // namespace plug
