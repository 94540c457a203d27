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
  // The same without running the window's messages afterwards: for a menu or
  // message box's own loop, which must see the key itself.
  static void sendKey(int virtualKey);
  // Waits out the double-click time, so the next click is a click of its own.
  static void settle();
  // sendKey from another thread, through a connection of that thread's own
  // (an X Display*): natively a menu or message box runs its loop inside the
  // host's idle call on the main thread, so its keys come from elsewhere. On
  // Windows the connection is not used.
  static void sendKeyFrom(void* connection, int virtualKey);

 private:
  void* window_;
};

}  // namespace vsthost
