// The host's side of a plug-in editor: a top-level window sized from
// effEditGetRect, given to the plug-in with effEditOpen, a message loop to
// run it, and a picture of what the editor shows. The Windows body makes a
// real top-level window and runs its messages; natively it is an X window on
// the display named by DISPLAY, and pumping gives the open editors their idle
// calls (effEditIdle) every 10 ms, as hosts on X drive their plug-ins'
// editors.
#pragma once

#include <string>

class LICE_MemBitmap;

namespace vsthost {

class PluginHost;

class EditorWindow {
 public:
  EditorWindow();
  // Closes the editor (effEditClose) if it is open and destroys the window.
  virtual ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // Asks the editor's size, makes the window at (x, y) and opens the editor
  // in it. False (with a reason) when the plug-in has no editor or its
  // effEditOpen fails. [main]
  virtual bool open(PluginHost* plugin, int x, int y, std::string* errorText);
  // effEditClose, then the window goes. [main]
  virtual void close();
  bool isOpen() const { return window_ != nullptr; }

  // Runs the window system's messages for ms milliseconds (the editor draws
  // on its timer meanwhile); natively the open editors' idle calls. [main]
  static void pump(int ms);

  // The editor's pixels as the screen shows them, or null. The caller owns it.
  LICE_MemBitmap* capture();
  // The host's window and the plug-in's window in it (HWND on Windows, an X
  // window id natively).
  void* window() const { return window_; }
  void* editorWindow() const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  PluginHost* plugin_ = nullptr;
  void* window_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace vsthost
