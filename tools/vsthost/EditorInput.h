// Input for an editor window as a user gives it: the pointer, buttons, the
// wheel and keys, through the window system's input queue (SendInput on
// Windows, XTest natively), so the editor gets the same messages, captures
// and modal loops as with a real mouse and keyboard. Points are in the
// editor's own coordinates. After each call the window's messages run for a
// moment (EditorWindow::pump).
#pragma once

namespace vsthost {

class EditorInput {
 public:
  explicit EditorInput(void* editorWindow) : window_(editorWindow) {}

  void moveTo(int x, int y);
  // Press and release the left (or right) button at (x, y).
  void click(int x, int y, bool right = false);
  void press(int x, int y, bool right = false);
  void release(int x, int y, bool right = false);
  // Two clicks within the double-click time.
  void doubleClick(int x, int y);
  // Wheel notches at (x, y); positive turns away from the user.
  void wheel(int x, int y, int notches);
  // A key by its Windows virtual-key code, pressed and released.
  void key(int virtualKey);
  // Waits out the double-click time, so the next click is a click of its own.
  static void settle();
  // A key press or release without pumping, for input given while the editor
  // runs a modal loop: natively from another thread, through a connection of
  // that thread's own (an X Display*; null: the input's own connection, on
  // the main thread only). On Windows connection is not used.
  static void sendKey(void* connection, int virtualKey, bool down);

 private:
  void* window_;
};

}  // namespace vsthost
