// Routes the one host callback function that every plug-in instance receives
// to the ScriptedHost of that instance.
//
// Instances are found by their effect record. A plug-in may call back while
// its entry point is still running, before the host knows the record's
// address; such calls go to the host that is creating an instance on the
// calling thread (a thread-local marker set by CreationScope). Calls from an
// unknown instance get a neutral answer (audioMasterVersion 2400, else 0).
#pragma once

#include "plug/vst2/VstAbi.h"

namespace vsthost {

class ScriptedHost;

class HostCallbackRegistry {
 public:
  // The function handed to a plug-in's entry point.
  static vst::HostCallback callback();

  // Routes calls of effect to host until remove(effect). [main]
  static void add(vst::AEffect* effect, ScriptedHost* host);
  static void remove(vst::AEffect* effect);

  // The host registered for effect, or null. [any thread]
  static ScriptedHost* find(vst::AEffect* effect);

  // Marks host as the one creating an instance on this thread for the
  // lifetime of the scope.
  class CreationScope {
   public:
    explicit CreationScope(ScriptedHost* host);
    virtual ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

   private:
    ScriptedHost* previous_;
  };

 private:
  static vst::intptr VST_CALL dispatch(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                       vst::intptr value, void* ptr, float opt);
};

}  // namespace vsthost
