#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdint>

#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/X11Windows.h"

namespace vsthost {

namespace {

constexpr int kSettleMs = 30;
// Longer than the double-click time of the desktops' toolkits (400 ms).
constexpr int kDoubleClickMs = 400;

// A connection of the input's own, kept for the process.
Display* InputDisplay() {
  static Display* display = ConnectX11();
  return display;
}

Window WindowOf(void* w) { return static_cast<Window>(reinterpret_cast<uintptr_t>(w)); }

void MovePointer(void* window, int x, int y) {
  Display* d = InputDisplay();
  if (!d) return;
  int rootX = x, rootY = y;
  Window child;
  if (window)
    XTranslateCoordinates(d, WindowOf(window), DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(d, DefaultScreen(d), rootX, rootY, CurrentTime);
  XFlush(d);
}

void Button(unsigned button, bool down) {
  Display* d = InputDisplay();
  if (!d) return;
  XTestFakeButtonEvent(d, button, down ? True : False, CurrentTime);
  XFlush(d);
}

KeySym KeysymOf(int vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + static_cast<KeySym>(vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + static_cast<KeySym>(vk - '0');
  if (vk >= 0x70 && vk <= 0x87) return XK_F1 + static_cast<KeySym>(vk - 0x70);
  switch (vk) {
    case 0x08:
      return XK_BackSpace;
    case 0x09:
      return XK_Tab;
    case 0x0D:
      return XK_Return;
    case 0x10:
      return XK_Shift_L;
    case 0x1B:
      return XK_Escape;
    case 0x20:
      return XK_space;
    case 0x24:
      return XK_Home;
    case 0x25:
      return XK_Left;
    case 0x26:
      return XK_Up;
    case 0x27:
      return XK_Right;
    case 0x28:
      return XK_Down;
    case 0xBE:  // the full stop key
      return XK_period;
    case 0xBD:  // the minus key
      return XK_minus;
    default:
      return NoSymbol;
  }
}

}  // namespace

void EditorInput::sendKeyFrom(void* connection, int vk) {
  Display* d = static_cast<Display*>(connection);
  const KeyCode code = d ? XKeysymToKeycode(d, KeysymOf(vk)) : 0;
  if (!code) return;
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  XFlush(d);
}

void EditorInput::sendKey(int virtualKey) { sendKeyFrom(InputDisplay(), virtualKey); }

void EditorInput::moveTo(int x, int y) {
  MovePointer(window_, x, y);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::press(int x, int y, bool right) {
  moveTo(x, y);
  Button(right ? 3 : 1, true);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::release(int x, int y, bool right) {
  MovePointer(window_, x, y);
  Button(right ? 3 : 1, false);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::click(int x, int y, bool right) {
  press(x, y, right);
  release(x, y, right);
}

void EditorInput::doubleClick(int x, int y) {
  moveTo(x, y);
  for (int i = 0; i < 2; ++i) {
    Button(1, true);
    Button(1, false);
  }
  EditorWindow::pump(kSettleMs * 3);
}

void EditorInput::wheel(int x, int y, int notches) {
  moveTo(x, y);
  const unsigned button = notches > 0 ? 4 : 5;
  for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
    Button(button, true);
    Button(button, false);
  }
  EditorWindow::pump(kSettleMs);
}

void EditorInput::key(int virtualKey) {
  sendKey(virtualKey);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::settle() { EditorWindow::pump(kDoubleClickMs + 50); }

}  // namespace vsthost
