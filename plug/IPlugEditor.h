// What the plug-in base needs of an editor. The editor proper (graphics/)
// implements this; the framework core knows nothing else about it.
#pragma once

namespace plug {

class IPlugEditor {
 public:
  virtual ~IPlugEditor() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // Shows a parameter's new value in the controls bound to it. value is
  // normalised when normalized is true, else plain. [any thread, instance lock held]
  virtual void SetParameterFromPlugin(int paramIndex, double value, bool normalized) = 0;

  // At attachment: every control bound to paramIndex takes the normalised
  // value, and for each control the first auxiliary entry bound to it too.
  // [main, instance lock held]
  virtual void SetControlsFromPlugin(int paramIndex, double normalized) = 0;

  // Makes the off-screen bitmaps at editor size. [main, instance lock held]
  virtual void PrepareDrawing() = 0;

  // Opens the editor window as a child of the host's window; returns the
  // window, or null when none could be made. [main]
  virtual void* OpenWindow(void* parentWindow) = 0;
  virtual void CloseWindow() = 0;
};

}  // namespace plug
