// The editor as a VST 3 plug-in view: the product's editor window inside the
// host's (HWND on Windows, X11EmbedWindowID on Linux). Its size is the
// editor's, which follows the editor's scale (the host's content scale
// factor, or the user's Size choice): getSize and checkSizeConstraint answer
// it whenever asked, and the host never sizes the view freely. On Linux the
// editor's X events and redraw run from the host's run loop (Vst3EditorPump),
// never from a thread of ours; on Windows the editor's own window timer runs
// them.
//
// Life cycle: createView makes it (count 1, holding a reference on the
// plug-in, so the plug-in outlives it); attached opens the window, removed
// closes it, and it may be attached again. A host that releases the view
// without removed gets the window closed at release. Every method [main].
#pragma once

#include <atomic>

#include "plug/vst3/Vst3Interfaces.h"

namespace plug {

class Vst3Plugin;
class Vst3EditorPump;

class Vst3View final : public vst3::IPlugView, public vst3::IPlugViewContentScaleSupport {
 public:
  // The new view, or null without an editor. [main]
  static Vst3View* Create(Vst3Plugin* owner);
  // The plug-in is terminating: the window goes now. [main]
  void DetachFromPlugin();
  // The editor has (or asks for) this size: asks the host's frame to fit;
  // true when the frame agreed (resizeView answered kResultTrue). [main]
  bool RequestSize(int width, int height);

  vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_CALL addRef() override;
  vst3::uint32 VST3_CALL release() override;
  vst3::tresult VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
  vst3::tresult VST3_CALL attached(void* parent, vst3::FIDString type) override;
  vst3::tresult VST3_CALL removed() override;
  vst3::tresult VST3_CALL onWheel(float distance) override;
  vst3::tresult VST3_CALL onKeyDown(vst3::char16 key, vst3::int16 keyCode,
                                    vst3::int16 modifiers) override;
  vst3::tresult VST3_CALL onKeyUp(vst3::char16 key, vst3::int16 keyCode,
                                  vst3::int16 modifiers) override;
  vst3::tresult VST3_CALL getSize(vst3::ViewRect* size) override;
  vst3::tresult VST3_CALL onSize(vst3::ViewRect* newSize) override;
  vst3::tresult VST3_CALL onFocus(vst3::TBool state) override;
  vst3::tresult VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
  vst3::tresult VST3_CALL canResize() override;
  vst3::tresult VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;
  vst3::tresult VST3_CALL setContentScaleFactor(float factor) override;

  // The platform's view type ("HWND" or "X11EmbedWindowID").
  static const char* PlatformType();

 private:
  explicit Vst3View(Vst3Plugin* owner);
  ~Vst3View();
  void CloseWindow();
  // The editor's size now; the last one seen once the plug-in has gone.
  vst3::ViewRect Size();

  std::atomic<vst3::uint32> refs_{1};
  Vst3Plugin* owner_;                  // held reference; null after DetachFromPlugin
  vst3::IPlugFrame* frame_ = nullptr;  // held reference
  Vst3EditorPump* pump_ = nullptr;     // owned
  bool open_ = false;
  int width_ = 0;  // the editor's size when last asked
  int height_ = 0;
};

// Runs the editor's events from the host's run loop while the window is
// open (Linux); does nothing where the window system runs them itself.
class Vst3EditorPump {
 public:
  // Made with the view; Start after the window opened (with the host's
  // frame, which may give the run loop), Stop before it closes. [main]
  static Vst3EditorPump* Create(Vst3Plugin* owner);
  virtual ~Vst3EditorPump() = default;
  virtual void Start(vst3::IPlugFrame* frame) = 0;  // [main]
  virtual void Stop() = 0;                          // [main]
};

}  // namespace plug
