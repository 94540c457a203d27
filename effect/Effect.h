// The maker's base for its effect plug-ins, between the plug-in base and the
// product; it knows no plug-in format. It adds:
//   - channel labels ("<effect name> " on the first two inputs and outputs);
//   - the editor graphics object, made by a factory the product passes in and
//     handed by the product to the base with AttachEditor;
//   - MIDI learn: continuous controllers 0 to 119 assigned to parameters,
//     kept in the per-user settings file (see ControllerMap.h, SettingsFile.h);
//   - enumerated-parameter set-up and preset switching for the editor.
//
// MIDI learn, one switch in the editor:
//
//   state       learnActive  unlearnMode
//   Idle        false        false
//   Learning    true         false     a controller moved and a parameter
//                                      touched, in either order, the latest
//                                      of each counting: assigned, saved, off
//   Unlearning  true         true      a controller moved (its assignment goes)
//                                      or a parameter touched (every controller
//                                      driving it goes), whichever comes first:
//                                      saved, off
//
// Turning the switch off by hand returns to Idle without saving. Each
// instance reads the settings file once, when it is built, and writes it when
// learning or unlearning finishes; instances never re-read it, so the last
// save wins.
//
// Number handling never depends on the C locale: the constructor leaves the
// host's locale alone (setting it would change the whole host process).
#pragma once

#include <string>

#include "effect/ControllerMap.h"
#include "effect/ILearnSwitch.h"
#include "effect/UpdateCheck.h"
#include "plug/IPlugBase.h"

namespace effect {

class Effect;

// Makes the editor graphics object for an instance, or null when there is no
// editor. The caller owns the result until it is attached.
using GraphicsFactory = plug::IPlugEditor* (*)(Effect* plugin);

class Effect : public plug::IPlugBase {
 public:
  // The maker's folder below the per-user application-data folder.
  static constexpr const char* kMakerFolder = "VellumMusic";

  // Builds the plug-in base, labels the channels, makes the graphics object
  // and loads the controller map from "<lower-case effect name>.ini", creating
  // the maker's folder and an empty file on first use. [main]
  explicit Effect(const plug::IPlugConfig& config, GraphicsFactory makeGraphics = nullptr);

  // Deletes the graphics object when it was never attached (the base deletes
  // it otherwise; attach it at most once). Saves nothing and leaves the learn
  // switch alone. [main]
  ~Effect() override;

  // A parameter touched while learn or unlearn mode is on is captured.
  // Products overriding this call it first. [any thread, takes the lock]
  void OnParamChanged(int paramIndex) override;

  // On activation every parameter's OnParamChanged runs through the virtual
  // table, in ascending order. [main, takes the lock]
  void OnActivation(bool active) override;

  // The product creates and initialises all of its parameters here and calls
  // it from its constructor. Nothing in the base. [main]
  virtual void InitParams() {}

  // Whether the instance offers MIDI learn; true for every product of the
  // maker. Nothing in this system asks it. [any thread]
  virtual bool HasMidiLearn() const { return true; }

  // Initialises an enumeration with count value texts: value i shows texts[i]
  // (at most 31 characters each), the default is defaultIndex. An index naming
  // no parameter, count < 1 or null texts change nothing. [main]
  void InitEnumParam(int paramIndex, const char* name, int defaultIndex, int count,
                     const char* const* texts);

  // A control-change message: while learn or unlearn mode is on, the
  // controller is captured and no parameter changes; otherwise the assigned
  // parameter (if the assignment names one) takes value / 127 as its
  // normalised value, the host is told and the editor shows it. Nothing
  // happens when the value would not change, and for controllers outside
  // 0..119. [audio or main, instance lock held by the MIDI handler; on
  // finishing a learn this writes the settings file]
  void HandleControlChange(int controller, int value);

  // The editor registers its learn switch; learn and unlearn mode end. [main]
  void SetLearnSwitch(ILearnSwitch* learnSwitch);

  // The learn switch was clicked: learn (unlearn = false) or unlearn mode on
  // or off, captured controller and parameter forgotten. Where the host's
  // binding learns elsewhere (IHostServices::LearnsElsewhere) the mode goes
  // to it instead and this instance stays idle. [main]
  void SetMidiLearn(bool active, bool unlearn);

  // A binding's MIDI learn mode (plug::MidiLearnMode; others change
  // nothing): taken as SetMidiLearn takes it, or, where the binding learns
  // elsewhere, only shown. The switch shows it either way. [any thread,
  // takes the lock]
  void OnHostMidiLearn(int mode) override;
  int GetMidiLearnMode() const override;  // [any thread, lock]

  // The preset menu: the live values go into the current preset (its name
  // stays), the chosen one is loaded, and the host is told. An index naming
  // no preset changes nothing. [main, takes the lock, calls the host after
  // releasing it]
  void SelectPreset(int index);

  // The option menu's update check (effect/UpdateCheck.h): asks the maker's
  // server and tells the user through the editor. Returns the check's
  // status. [main, synchronous, takes no lock]
  int CheckForUpdate();
  // This product as the update check names it: display name, "1.1.2", 1102.
  UpdateProduct GetUpdateProduct() const;
  // The server the check asks: the maker's (MakersUpdateServer) unless set
  // otherwise, e.g. to a test server. [main]
  const UpdateServer& GetUpdateServer() const { return updateServer_; }
  void SetUpdateServer(const UpdateServer& server) { updateServer_ = server; }

  plug::IPlugEditor* GetGraphics() { return graphics_; }
  const std::string& GetSettingsPath() const { return settingsPath_; }
  const ControllerMap& GetControllerMap() const { return controllerMap_; }
  bool IsLearnActive() const { return learnActive_; }
  bool IsUnlearnMode() const { return unlearnMode_; }

 private:
  // Applies the captured controller and parameter; called only while learn
  // or unlearn mode is on. [lock held]
  void UpdateMidiLearn();
  void LoadControllerMap();
  void SaveControllerMap();
  // paramIndex names a parameter of this plug-in; negative indices never do.
  bool IsLearnableParam(int paramIndex) const;

  plug::IPlugEditor* graphics_ = nullptr;
  std::string settingsPath_;  // empty when the settings folder is unknown
  bool learnActive_ = false;
  bool unlearnMode_ = false;
  int learnedController_ = ControllerMap::kUnassigned;
  int learnedParam_ = ControllerMap::kUnassigned;
  ControllerMap controllerMap_;
  ILearnSwitch* learnSwitch_ = nullptr;  // not owned
  UpdateServer updateServer_ = MakersUpdateServer();
};

}  // namespace effect
