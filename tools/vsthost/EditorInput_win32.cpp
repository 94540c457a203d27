#include <windows.h>

#include <cmath>

#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/EditorWindow.h"

namespace vsthost {

namespace {

constexpr int kSettleMs = 30;

void SendMouse(HWND window, int x, int y, DWORD flags, int wheel = 0) {
  POINT p = {x, y};
  ClientToScreen(window, &p);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  // A quarter pixel into the pixel, so that the system's way back to pixels
  // (scaled by the screen size, rounded or cut) lands on it at any size.
  in.mi.dx = static_cast<LONG>(std::ceil((p.x + 0.25) * 65536.0 / GetSystemMetrics(SM_CXSCREEN)));
  in.mi.dy = static_cast<LONG>(std::ceil((p.y + 0.25) * 65536.0 / GetSystemMetrics(SM_CYSCREEN)));
  in.mi.mouseData = static_cast<DWORD>(wheel);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof in);
}

}  // namespace

void EditorInput::moveTo(int x, int y) {
  SendMouse(static_cast<HWND>(window_), x, y, 0);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::press(int x, int y, bool right) {
  moveTo(x, y);
  SendMouse(static_cast<HWND>(window_), x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::release(int x, int y, bool right) {
  SendMouse(static_cast<HWND>(window_), x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::click(int x, int y, bool right) {
  press(x, y, right);
  release(x, y, right);
}

void EditorInput::doubleClick(int x, int y) {
  moveTo(x, y);
  HWND window = static_cast<HWND>(window_);
  for (int i = 0; i < 2; ++i) {
    SendMouse(window, x, y, MOUSEEVENTF_LEFTDOWN);
    SendMouse(window, x, y, MOUSEEVENTF_LEFTUP);
  }
  EditorWindow::pump(kSettleMs * 3);
}

void EditorInput::wheel(int x, int y, int notches) {
  moveTo(x, y);
  SendMouse(static_cast<HWND>(window_), x, y, MOUSEEVENTF_WHEEL, notches * WHEEL_DELTA);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::sendKey(int virtualKey) {
  INPUT in[2] = {};
  for (INPUT& i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = static_cast<WORD>(virtualKey);
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

void EditorInput::sendKeyFrom(void*, int virtualKey) { sendKey(virtualKey); }

void EditorInput::key(int virtualKey) {
  sendKey(virtualKey);
  EditorWindow::pump(kSettleMs);
}

void EditorInput::settle() { EditorWindow::pump(static_cast<int>(GetDoubleClickTime()) + 50); }

}  // namespace vsthost
