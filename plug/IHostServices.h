// What the product asks of its host, whatever the format: the one interface
// through which the plug-in base reaches a host.
//
// Each format binding implements it over its format's host interface and
// hands it to the instance it owns (IPlugBase::SetHostServices) right after
// creating it. The base's host-service operations (BeginParamGesture,
// NotifyHostParamValue, ..., SendSysExToHost) forward here; before a binding
// sets it, and after it unsets it, they do nothing and answer "no" (false, 0,
// the transport left as it was).
//
// A binding implements every method for its format:
//
//   method                    VST 2 (plug/vst2)          CLAP, VST 3, LV2 (sketch)
//   BeginParamGesture         audioMasterBeginEdit       gesture-begin event / beginEdit
//   NotifyHostParamValue      audioMasterAutomate        param-value event / performEdit
//   EndParamGesture           audioMasterEndEdit         gesture-end event / endEdit
//   NotifyHostDisplayChanged  audioMasterUpdateDisplay   params rescan / restartComponent
//   IsOfflineRender           process level offline      render mode / processMode
//   GetTransportInfo          audioMasterGetTime         the block's transport record
//   GetHostProduct            product string, version    clap_host name / host name
//   ResizeEditor              audioMasterSizeWindow      request_resize / resizeView
//   RequestEditorResize       audioMasterSizeWindow      request_resize / resizeView,
//                             (answer: the host agreed)  LV2 ui:resize
//   SendMidiToHost, SysEx     audioMasterProcessEvents   output events, where there are any
//   SetLatencySamples         initialDelay               latency extension / restart
//
// Every method carries its thread tag (see ThreadContract.h and IPlugBase.h).
// Methods the product may call from the audio thread must not allocate,
// lock anything but what the format requires, or log.
#pragma once

#include "plug/HostTypes.h"

namespace plug {

// The format code of the plug-in base (GetFormatCode): which format a binding
// serves. Codes 2 and 3 are not used (older hosts of the framework knew them).
enum PlugFormat : int {
  kFormatVst2 = 0,
  kFormatVst3 = 1,
  kFormatClap = 4,
  kFormatLv2 = 5,
};

// The modes of the product's MIDI learn, as bindings pass them between an
// editor and the instance that processes (IHostServices::PassMidiLearn,
// IPlugBase::HostSetMidiLearn).
enum MidiLearnMode : int {
  kMidiLearnOff = 0,
  kMidiLearnOn = 1,
  kMidiUnlearnOn = 2,
};

class IHostServices {
 public:
  virtual ~IHostServices() = default;

  // The binding's PlugFormat. [any thread]
  virtual int FormatCode() const = 0;

  // A gesture (a mouse drag in the editor) begins and ends around the value
  // changes it makes; every begin has exactly one end. [main]
  virtual void BeginParamGesture(int paramIndex) = 0;
  virtual void EndParamGesture(int paramIndex) = 0;
  // A parameter changed by the plug-in (editor, MIDI learn, preset menu):
  // the host records it as automation. The normalised value, unrounded.
  // [any thread: main for the editor, the MIDI thread for a mapped
  // controller, with or without the instance lock]
  virtual void NotifyHostParamValue(int paramIndex, double normalized) = 0;
  // Names or values changed in ways the host should read again. [main]
  virtual void NotifyHostDisplayChanged() = 0;

  // Whether the host renders faster than real time. [audio or main]
  virtual bool IsOfflineRender() = 0;

  // The host's transport at the first frame of the block (or piece of a
  // block) being processed; fields the host does not confirm stay as they
  // are. [audio, lock]
  virtual void GetTransportInfo(ITransportInfo* info) = 0;
  // Single fields, by default taken from GetTransportInfo: the sample
  // position rounded (0 when unknown or negative), the tempo (0.0 when
  // unknown), the time signature (0/0 when unknown). [audio, lock]
  virtual int GetSamplePosition();
  virtual double GetHostTempo();
  virtual void GetTimeSignature(int* numerator, int* denominator);

  // The host's product name (terminated, at most capacity bytes; empty when
  // the host gives none) and version as 0xMMMMmmpp (0 when unknown). Asked
  // once per instance. [main, lock]
  virtual void GetHostProduct(char* product, int capacity, int* version) = 0;

  // The editor now has this size: the host fits its window to it. [main]
  virtual void ResizeEditor(int width, int height) = 0;
  // The editor asks for a new window size in device pixels (its scale
  // changes): true when the host resized its window (or will) and the editor
  // may take the size, false when it refused or cannot be asked, and the
  // editor keeps its old size. Bindings implement it in their format's way
  // (see EDITOR SCALE in IPlugBase.h): VST 2 audioMasterSizeWindow, CLAP
  // request_resize, VST 3 IPlugFrame::resizeView, LV2 ui:resize. The default
  // tells the host as ResizeEditor does and cannot know a refusal. [main]
  virtual bool RequestEditorResize(int width, int height) {
    ResizeEditor(width, height);
    return true;
  }

  // MIDI out (the MIDI thru of the product); true when the host took it.
  // [audio or main, lock]
  virtual bool SendMidiToHost(const IMidiMessage* msg) = 0;
  virtual bool SendSysExToHost(const ISysExMessage* msg) = 0;

  // The plug-in's latency changed. [main, lock]
  virtual void SetLatencySamples(int samples) = 0;

  // MIDI learn where the editor works on an instance of its own, apart from
  // the one that processes (LV2's UI). True: the editor's instance only shows
  // the learn switch, and every mode the user chooses goes to PassMidiLearn;
  // that instance never captures nor saves (its controller map is the one
  // read when it was made, older than the processing instance's). [any
  // thread]
  virtual bool LearnsElsewhere() const { return false; }
  // The user chose a MidiLearnMode on the editor's switch; the binding takes
  // it to the processing instance (HostSetMidiLearn there). Only called when
  // LearnsElsewhere. [main]
  virtual void PassMidiLearn(int mode) {}
};

}  // namespace plug
