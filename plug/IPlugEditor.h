// What the plug-in base and the effect base need of an editor. The editor
// proper (graphics/) implements this; the layers below it know nothing else
// about it.
#pragma once

namespace plug {

class IPlugEditor {
 public:
  virtual ~IPlugEditor() = default;

  // The editor window's size in device pixels (what effEditGetRect and the
  // newer formats' size queries answer): the logical 984 x 432 times the
  // editor's scale. [main]
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // The host's scale for the editor, 1.0 for 100 % (the base's
  // HostSetEditorScale). False when the editor takes none. [main]
  virtual bool SetHostScale(double scale) { return false; }

  // Shows a parameter's new value in the controls bound to it. value is
  // normalised when normalized is true, else plain. [any thread; writes only
  // control values and flags]
  virtual void SetParameterFromPlugin(int paramIndex, double value, bool normalized) = 0;

  // At attachment: every control bound to paramIndex takes the normalised
  // value, and for each control the first auxiliary entry bound to it too.
  // [main, instance lock held]
  virtual void SetControlsFromPlugin(int paramIndex, double normalized) = 0;

  // Makes the off-screen bitmaps at editor size. [main, instance lock held]
  virtual void PrepareDrawing() = 0;

  // Opens the editor window as a child of the host's window; returns the
  // window, or null when none could be made. An open window is closed first.
  // [main]
  virtual void* OpenWindow(void* parentWindow) = 0;
  // Closes the window if one is open; safe to call twice. [main]
  virtual void CloseWindow() = 0;
  // [any thread]
  virtual bool IsWindowOpen() const = 0;
  // The host's idle call for the editor (effEditIdle): window layers whose
  // events and redraw timer run only from the host's calls do their work
  // here. Runs without the instance lock, so that a menu's or message box's
  // modal loop started from here never holds up the audio thread. [main]
  virtual void RunEvents() {}
  // For hosts that drive the editor from their own loop (a CLAP host's timer
  // and file-descriptor support, a VST 3 host's run loop, an LV2 UI's idle
  // call): the descriptor whose readability means RunEvents has events to
  // handle, -1 when there is none (no window open, or a window system that
  // delivers its events itself); it changes when the window opens and goes
  // away with it. [main]
  virtual int EventFileDescriptor() const { return -1; }
  // How often such a host calls RunEvents for the redraw, in milliseconds; 0
  // when the window system runs the editor's timer itself. [any thread]
  virtual int EventIntervalMs() const { return 0; }

  // A message box owned by the host's main window; type and answer as in the
  // Windows interface (0x10 error icon, 0x40 information, 4 Yes/No; 6 Yes,
  // 7 No, 1 OK). [main]
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Opens a web address in the user's browser. With confirm, asks first;
  // with error, tells the user when it fails. [main]
  virtual bool OpenUrl(const char* url, const char* caption, const char* confirm,
                       const char* error) = 0;
};

}  // namespace plug
