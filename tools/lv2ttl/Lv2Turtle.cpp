#include "tools/lv2ttl/Lv2Turtle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "plug/IPlugBase.h"
#include "plug/lv2/Lv2Identity.h"

namespace lv2ttl {

namespace {

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

std::string Iri(const std::string& uri) { return "<" + uri + ">"; }

std::string PresetUri(int index) { return plug::lv2::kPresetUriPrefix + std::to_string(index); }

// A Turtle string literal (names are plain ASCII, but quote what needs it).
std::string Literal(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A term of our own vocabulary: its kind (a class or a property), label and
// comment.
std::string Term(const char* uri, const char* kind, const char* label, const char* comment) {
  return Iri(uri) + "\n  a " + kind + " ;\n  rdfs:label " + Literal(label) + " ;\n  rdfs:comment " +
         Literal(comment) + " .\n\n";
}

// The unit a parameter's label names, or null. Labels the LV2 units
// vocabulary has no term for are shown by hosts from the scale or not at all.
const char* UnitOf(const plug::IParameter& p) {
  const std::string label = p.UnitLabel();
  if (label == "Hz") return "units:hz";
  if (label == "ms") return "units:ms";
  if (label == "%") return "units:pc";
  if (label == "dB") return "units:db";
  return nullptr;
}

std::string Base64(const std::uint8_t* data, int size) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (int i = 0; i < size; i += 3) {
    const unsigned v = (data[i] << 16) | ((i + 1 < size ? data[i + 1] : 0) << 8) |
                       (i + 2 < size ? data[i + 2] : 0);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < size ? kDigits[(v >> 6) & 63] : '=';
    out += i + 2 < size ? kDigits[v & 63] : '=';
  }
  return out;
}

std::string ControlPort(const plug::IParameter& p, int index) {
  const bool reserved = p.Kind() == plug::ParamKind::None;
  std::string name = p.Name();
  if (reserved) name = "Reserved " + std::to_string(index);
  std::string t = "  lv2:port [\n    a lv2:InputPort , lv2:ControlPort ;\n";
  t += "    lv2:index " + std::to_string(index) + " ;\n";
  t += "    lv2:symbol " + Literal(PortSymbol(p.Name(), index)) + " ;\n";
  t += "    lv2:name " + Literal(name) + " ;\n";
  t += "    lv2:default " + TurtleNumber(p.Default()) + " ;\n";
  t += "    lv2:minimum " + TurtleNumber(p.Min()) + " ;\n";
  t += "    lv2:maximum " + TurtleNumber(p.Max()) + " ;\n";
  if (const char* unit = UnitOf(p)) t += std::string("    units:unit ") + unit + " ;\n";
  switch (p.Kind()) {
    case plug::ParamKind::Switch:
      t += "    lv2:portProperty lv2:toggled ;\n";
      break;
    case plug::ParamKind::Integer:
      t += "    lv2:portProperty lv2:integer ;\n";
      break;
    case plug::ParamKind::Enumeration:
      t += "    lv2:portProperty lv2:integer , lv2:enumeration ;\n";
      break;
    case plug::ParamKind::None:
      // Slots the product leaves unused: kept so indexes match VST 2's.
      t += "    lv2:portProperty pprops:notOnGUI , pprops:notAutomatic ;\n";
      break;
    case plug::ParamKind::Continuous:
      break;
  }
  for (int i = 0; i < p.ValueTextCount(); ++i) {
    const plug::IParameter::ValueText& v = p.ValueTextAt(i);
    t += "    lv2:scalePoint [ rdfs:label " + Literal(v.text) + " ; rdf:value " +
         std::to_string(v.value) + " ] ;\n";
  }
  // Turtle allows the ';' before ']'.
  return t + "  ] ;\n";
}

std::string OtherPort(const char* kind, int index, const char* symbol, const char* name,
                      const std::string& extra) {
  std::string t = std::string("  lv2:port [\n    a ") + kind + " ;\n";
  t += "    lv2:index " + std::to_string(index) + " ;\n";
  t += std::string("    lv2:symbol \"") + symbol + "\" ;\n";
  t += std::string("    lv2:name \"") + name + "\" ;\n";
  return t + extra + "  ] ;\n";
}

}  // namespace

std::string PortSymbol(const char* name, int index) {
  std::string s;
  bool gap = false;
  for (const char* c = name; c && *c; ++c) {
    const unsigned char ch = static_cast<unsigned char>(*c);
    if (std::isalnum(ch)) {
      if (gap && !s.empty()) s += '_';
      s += static_cast<char>(std::tolower(ch));
      gap = false;
    } else {
      gap = true;
    }
  }
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0])))
    s = "reserved_" + std::to_string(index);
  return s;
}

std::string TurtleNumber(double v) {
  // Fixed notation where it reads naturally ("2000.0", "0.05"), else an
  // exponent; the fewest digits that give v back.
  char text[400];
  const bool fixed = v == 0.0 || (std::fabs(v) >= 1e-4 && std::fabs(v) < 1e15);
  for (int digits = 1; digits <= 40; ++digits) {
    std::snprintf(text, sizeof text, fixed ? "%.*f" : "%.*e", digits, v);
    if (std::strtod(text, nullptr) == v) break;
  }
  return text;
}

std::string ManifestTurtle(const plug::IPlugBase& plugin, const std::string& binaryName) {
  std::string t = kPrefixes;
  t += Iri(plug::lv2::kPluginUri) + "\n  a lv2:Plugin ;\n  lv2:binary <" + binaryName +
       "> ;\n  rdfs:seeAlso <quillet.ttl> .\n\n";
  t += Iri(plug::lv2::kUiUri) + "\n  a ui:X11UI ;\n  ui:binary <" + binaryName +
       "> ;\n  rdfs:seeAlso <quillet.ttl> .\n\n";
  for (int i = 0; i < plugin.NPresets(); ++i) {
    t += Iri(PresetUri(i)) + "\n  a pset:Preset ;\n  lv2:appliesTo " + Iri(plug::lv2::kPluginUri) +
         " ;\n  rdfs:label " + Literal(plugin.GetPresetName(i)) +
         " ;\n  rdfs:seeAlso <presets.ttl> .\n\n";
  }
  return t;
}

std::string PluginTurtle(const plug::IPlugBase& plugin) {
  const int version = plugin.GetVersion();  // 0xMMMMmmpp
  std::string t = kPrefixes;
  t += Iri(plug::lv2::kPluginUri) + "\n  a lv2:Plugin , lv2:ModulatorPlugin , doap:Project ;\n";
  t += "  doap:name " + Literal(plugin.GetEffectName()) + " ;\n";
  t += "  doap:maintainer [ foaf:name " + Literal(plugin.GetMakerName()) + " ] ;\n";
  // LV2 versions have no major number; minor and micro are the product's.
  t += "  lv2:minorVersion " + std::to_string((version >> 8) & 0xFF) + " ;\n";
  t += "  lv2:microVersion " + std::to_string(version & 0xFF) + " ;\n";
  t += "  lv2:requiredFeature urid:map ;\n";
  t += "  lv2:optionalFeature lv2:hardRTCapable , opts:options ;\n";
  t += "  lv2:extensionData state:interface ;\n";
  t += "  opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n";
  for (int i = 0; i < plug::lv2::kParamPorts; ++i) {
    const plug::IParameter* p = plugin.GetParam(i);
    if (p) t += ControlPort(*p, i);
  }
  t += OtherPort("lv2:InputPort , lv2:AudioPort", plug::lv2::kPortAudioInLeft, "in_left", "In Left",
                 "");
  t += OtherPort("lv2:InputPort , lv2:AudioPort", plug::lv2::kPortAudioInRight, "in_right",
                 "In Right", "");
  t += OtherPort("lv2:OutputPort , lv2:AudioPort", plug::lv2::kPortAudioOutLeft, "out_left",
                 "Out Left", "");
  t += OtherPort("lv2:OutputPort , lv2:AudioPort", plug::lv2::kPortAudioOutRight, "out_right",
                 "Out Right", "");
  // Optional connections: hosts without atom ports (lv2apply) still run the
  // audio and the controls.
  t +=
      OtherPort("lv2:InputPort , atom:AtomPort", plug::lv2::kPortEventsIn, "events_in", "Events In",
                "    atom:bufferType atom:Sequence ;\n"
                "    atom:supports midi:MidiEvent , time:Position , " +
                    Iri(plug::lv2::kLearnMessageUri) +
                    " ;\n"
                    "    lv2:designation lv2:control ;\n"
                    "    lv2:portProperty lv2:connectionOptional ;\n");
  t += OtherPort("lv2:OutputPort , atom:AtomPort", plug::lv2::kPortMidiOut, "midi_out", "MIDI Thru",
                 "    atom:bufferType atom:Sequence ;\n"
                 "    atom:supports midi:MidiEvent , " +
                     Iri(plug::lv2::kLearnMessageUri) +
                     " ;\n"
                     "    lv2:portProperty lv2:connectionOptional ;\n");
  t += "  ui:ui " + Iri(plug::lv2::kUiUri) + " .\n\n";
  // The terms of our own that validators and hosts may look up: the state's
  // properties, and the MIDI-learn message between the editor and the
  // plug-in.
  t += Term(plug::lv2::kStateKey, "rdf:Property", "Quillet state",
            "Every preset, the live values and the current preset.");
  t += Term(plug::lv2::kLearnMessageUri, "rdfs:Class", "Quillet MIDI learn",
            "The MIDI-learn mode, from the editor's switch or the plug-in.");
  t += Term(plug::lv2::kLearnModeUri, "rdf:Property", "Quillet learn mode",
            "0 off, 1 learning, 2 unlearning.");
  t += Term(plug::lv2::kProgramKey, "rdf:Property", "Quillet program",
            "One program's exact values and name.");
  // The editor, embedded in the host's window and driven by its idle calls;
  // the host's scale arrives as the ui:scaleFactor option, at instantiation
  // or later through the options interface; the plug-in's learn mode from
  // its atom output.
  t += Iri(plug::lv2::kUiUri) +
       "\n  a ui:X11UI ;\n"
       "  lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
       "  lv2:optionalFeature ui:resize , ui:touch , opts:options , urid:map ;\n"
       "  opts:supportedOption ui:scaleFactor ;\n"
       "  ui:portNotification [\n"
       "    ui:plugin " +
       Iri(plug::lv2::kPluginUri) +
       " ;\n"
       "    lv2:symbol \"midi_out\" ;\n"
       "    ui:protocol atom:eventTransfer\n"
       "  ] ;\n"
       "  lv2:extensionData ui:idleInterface , opts:interface .\n";
  return t;
}

std::string PresetsTurtle(plug::IPlugBase* plugin) {
  std::string t = kPrefixes;
  plug::InstanceLock lock(plugin->Mutex());
  plug::StateChunk chunk;
  for (int i = 0; i < plugin->NPresets(); ++i) {
    plugin->HostSelectPreset(i);
    t += Iri(PresetUri(i)) + "\n  a pset:Preset ;\n  lv2:appliesTo " + Iri(plug::lv2::kPluginUri) +
         " ;\n  rdfs:label " + Literal(plugin->GetPresetName(i)) + " ;\n";
    for (int p = 0; p < plug::lv2::kParamPorts; ++p) {
      const plug::IParameter* param = plugin->GetParam(p);
      if (!param) continue;
      t += "  lv2:port [ lv2:symbol " + Literal(PortSymbol(param->Name(), p)) + " ; pset:value " +
           TurtleNumber(param->Value()) + " ] ;\n";
    }
    // The exact values: the port values above are floats.
    plugin->HostSaveChunk(&chunk, false);
    t += "  state:state [\n    " + Iri(plug::lv2::kProgramKey) + " \"" +
         Base64(chunk.Data(), chunk.Size()) + "\"^^xsd:base64Binary\n  ] .\n\n";
  }
  plugin->HostSelectPreset(0);
  return t;
}

}  // namespace lv2ttl
