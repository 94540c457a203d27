// The Windows window layer as a host meets it: a real top-level window as
// parent, the editor as its child, and real input from the system's input
// queue (SendInput) on a virtual X display under Wine. Menus and message
// boxes run their own modal loops; keys for them are sent from a timer that
// fires inside those loops.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "graphics/GraphicsFixture.h"
#include "graphics/win32/IGraphicsWin.h"
#include "plug/IParameter.h"
#include "plug/LibraryModule.h"

namespace graphics_test {
namespace {

using graphics::IGraphicsWin;
using graphics::IRect;

constexpr int kEditorW = 400;
constexpr int kEditorH = 200;

// What the host window received from the editor (keys it passed on).
std::vector<std::string> gHostKeys;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN) gHostKeys.push_back("down " + std::to_string(wParam));
  if (msg == WM_KEYUP) gHostKeys.push_back("up " + std::to_string(wParam));
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Work to do once inside the next modal loop (or plain pumping).
std::function<void()> gLater;
void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  std::function<void()> work;
  work.swap(gLater);
  if (work) work();
}
void Later(int ms, std::function<void()> work) {
  gLater = std::move(work);
  SetTimer(nullptr, 0, static_cast<UINT>(ms), RunLater);
}

void Pump(int ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(2);
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

void SendMouse(int screenX, int screenY, DWORD flags, int wheel = 0) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  // A quarter pixel into the pixel, so that the system's way back to pixels
  // (scaled by the screen size, rounded or cut) lands on it at any size.
  in.mi.dx =
      static_cast<LONG>(std::ceil((screenX + 0.25) * 65536.0 / GetSystemMetrics(SM_CXSCREEN)));
  in.mi.dy =
      static_cast<LONG>(std::ceil((screenY + 0.25) * 65536.0 / GetSystemMetrics(SM_CYSCREEN)));
  in.mi.mouseData = static_cast<DWORD>(wheel);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof in);
}

void SendKey(WORD vk, bool shift = false) {
  INPUT in[4] = {};
  int n = 0;
  auto key = [&](WORD code, DWORD flags) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = code;
    in[n].ki.dwFlags = flags;
    ++n;
  };
  if (shift) key(VK_SHIFT, 0);
  key(vk, 0);
  key(vk, KEYEVENTF_KEYUP);
  if (shift) key(VK_SHIFT, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(n), in, sizeof in[0]);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostLog::current = &log_;
    gHostKeys.clear();
    plug::SetLibraryModule(GetModuleHandleA(nullptr));
    WNDCLASSA cls = {};
    cls.lpfnWndProc = HostProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    cls.lpszClassName = "QuilletTestHost";
    RegisterClassA(&cls);
    host_ = CreateWindowExA(0, "QuilletTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            kEditorW + 100, kEditorH + 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    SetForegroundWindow(host_);
    // The window system activates the host asynchronously; let that settle
    // before the editor takes the focus.
    Pump(200);
    editor_ = new IGraphicsWin(&plug_, GetModuleHandleA(nullptr), kEditorW, kEditorH);
    plug_.AttachEditor(editor_);
    panel_.Attach(editor_, &plug_, MB_YESNO);
  }
  void TearDown() override {
    if (editor_) editor_->CloseWindow();
    if (host_) DestroyWindow(host_);
    Pump(50);
    HostLog::current = nullptr;
  }
  HWND Open() {
    HWND hwnd = static_cast<HWND>(editor_->OpenWindow(host_));
    Pump(150);  // a few timer ticks
    return hwnd;
  }
  // Screen position of a point of the editor.
  POINT At(int x, int y) {
    POINT p = {x, y};
    ClientToScreen(static_cast<HWND>(editor_->GetWindow()), &p);
    return p;
  }
  void MoveTo(int x, int y) {
    const POINT p = At(x, y);
    SendMouse(p.x, p.y, 0);
    Pump(30);
  }
  // Press and release at an editor point, then wait out the double-click time
  // so the next click is a click of its own.
  void ClickAt(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    MoveTo(x, y);
    const POINT p = At(x, y);
    SendMouse(p.x, p.y, down);
    Pump(30);
    SendMouse(p.x, p.y, up);
    Pump(GetDoubleClickTime() + 50);
  }
  COLORREF WindowPixel(int x, int y) {
    HWND hwnd = static_cast<HWND>(editor_->GetWindow());
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
  }

  HostLog log_;
  GraphicsPlug plug_;
  IGraphicsWin* editor_ = nullptr;  // owned by plug_
  HWND host_ = nullptr;
  ProbePanel panel_;
};

TEST_F(WindowTest, TheEditorIsAChildOfTheHostWindowAndDrawsOnItsTimer) {
  editor_->SetParameterFromPlugin(0, 0.0, true);  // the control's first value
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetParent(hwnd), host_);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  char cls[64] = {0};
  GetClassNameA(hwnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "IPlugWndClass");
  RECT r;
  GetClientRect(hwnd, &r);
  EXPECT_EQ(r.right, kEditorW);
  EXPECT_EQ(r.bottom, kEditorH);
  EXPECT_TRUE(editor_->IsWindowOpen());
  // The probes' colour is on screen.
  EXPECT_EQ(WindowPixel(80, 20), RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(WindowPixel(kEditorW - 1, kEditorH - 1), RGB(0x10, 0x20, 0x30));
  // A value set from the plug-in's side is drawn within two timer ticks.
  editor_->SetParameterFromPlugin(0, 1.0, true);
  Pump(2 * 40 + 20);
  EXPECT_EQ(WindowPixel(20, 20), RGB(255, 255, 255));
}

TEST_F(WindowTest, OneWindowClassServesEveryEditorUntilTheLastCloses) {
  GraphicsPlug other;
  IGraphicsWin* second = new IGraphicsWin(&other, GetModuleHandleA(nullptr), 100, 50);
  other.AttachEditor(second);
  WNDCLASSA info;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "IPlugWndClass", &info));
  Open();
  ASSERT_NE(second->OpenWindow(host_), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "IPlugWndClass", &info));
  second->CloseWindow();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "IPlugWndClass", &info));
  editor_->CloseWindow();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "IPlugWndClass", &info));
  EXPECT_EQ(FindWindowExA(host_, nullptr, "IPlugWndClass", nullptr), nullptr);
  // Closing twice, and opening twice without a close, are harmless.
  editor_->CloseWindow();
  Open();
  Open();
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  int children = 0;
  for (HWND c = FindWindowExA(host_, nullptr, "IPlugWndClass", nullptr); c;
       c = FindWindowExA(host_, c, "IPlugWndClass", nullptr))
    ++children;
  EXPECT_EQ(children, 1);
}

TEST_F(WindowTest, WithoutAParentNoWindowIsMade) {
  EXPECT_EQ(editor_->OpenWindow(nullptr), nullptr);
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
}

TEST_F(WindowTest, ADragThatLeavesTheWindowStaysWithTheControl) {
  Open();
  MoveTo(30, 30);
  POINT p = At(30, 30);
  SendMouse(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
  Pump(30);
  p = At(30, 25);
  SendMouse(p.x, p.y, 0);
  Pump(30);
  p = At(kEditorW + 50, -20);  // beyond the right edge, above the top
  SendMouse(p.x, p.y, 0);
  Pump(30);
  SendMouse(p.x, p.y, MOUSEEVENTF_LEFTUP);
  Pump(50);
  ASSERT_GE(panel_.knob->log.size(), 4u);
  EXPECT_EQ(panel_.knob->log.front(), "down 30,30");
  EXPECT_EQ(panel_.knob->log[1], "drag 0,-5");
  EXPECT_EQ(panel_.knob->log[2], "drag " + std::to_string(kEditorW + 20) + ",-45");
  EXPECT_EQ(panel_.knob->log.back(), "up");
  EXPECT_EQ(log_.Joined(), "b0 a0 a0 e0");
}

TEST_F(WindowTest, ADoubleClickIsDeliveredAsTheSystemSeesIt) {
  Open();
  panel_.knob->SetValueFromPlugin(0.25);
  panel_.knob->SetValue(0.5);
  MoveTo(30, 30);
  const POINT p = At(30, 30);
  for (int i = 0; i < 2; ++i) {
    SendMouse(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
    SendMouse(p.x, p.y, MOUSEEVENTF_LEFTUP);
  }
  Pump(100);
  EXPECT_EQ(panel_.knob->Value(), 0.25);
  EXPECT_EQ(log_.Joined(), "b0 e0 b0 a0 e0");
}

TEST_F(WindowTest, TheWheelTurnsTheControlUnderThePointer) {
  Open();
  MoveTo(30, 30);
  const POINT p = At(30, 30);
  SendMouse(p.x, p.y, MOUSEEVENTF_WHEEL, WHEEL_DELTA * 2);
  Pump(50);
  ASSERT_FALSE(panel_.knob->log.empty());
  EXPECT_EQ(panel_.knob->log.back(), "wheel 2");
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
}

TEST_F(WindowTest, SmoothWheelTurnsAddUpToWholeSteps) {
  Open();
  MoveTo(30, 30);
  const POINT p = At(30, 30);
  // A touchpad's turns of a quarter notch: nothing reaches the control or
  // the host until they make a whole one.
  for (int i = 0; i < 3; ++i) SendMouse(p.x, p.y, MOUSEEVENTF_WHEEL, WHEEL_DELTA / 4);
  Pump(50);
  EXPECT_TRUE(panel_.knob->log.empty());
  EXPECT_EQ(log_.Joined(), "");
  SendMouse(p.x, p.y, MOUSEEVENTF_WHEEL, WHEEL_DELTA / 4);
  Pump(50);
  EXPECT_EQ(panel_.knob->log, (std::vector<std::string>{"wheel 1"}));
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
  // Turning back starts afresh: half a notch back is no step yet.
  SendMouse(p.x, p.y, MOUSEEVENTF_WHEEL, WHEEL_DELTA / 4);
  SendMouse(p.x, p.y, MOUSEEVENTF_WHEEL, -WHEEL_DELTA / 2);
  Pump(50);
  EXPECT_EQ(panel_.knob->log.size(), 1u);
  SendMouse(p.x, p.y, MOUSEEVENTF_WHEEL, -WHEEL_DELTA / 2);
  Pump(50);
  EXPECT_EQ(panel_.knob->log.back(), "wheel -1");
}

TEST_F(WindowTest, TheMiddleButtonClicksAndItsReleaseGivesTheCaptureBack) {
  HWND hwnd = Open();
  MoveTo(30, 30);
  const POINT p = At(30, 30);
  SendMouse(p.x, p.y, MOUSEEVENTF_MIDDLEDOWN);
  Pump(30);
  SendMouse(p.x, p.y, MOUSEEVENTF_MIDDLEUP);
  Pump(30);
  EXPECT_EQ(panel_.knob->log, (std::vector<std::string>{"down 30,30", "up"}));
  EXPECT_EQ(log_.Joined(), "b0 e0");
  EXPECT_NE(GetCapture(), hwnd);
}

TEST_F(WindowTest, ADragWhoseCaptureIsTakenAwayEndsAtOnce) {
  HWND hwnd = Open();
  auto startDrag = [&] {
    MoveTo(30, 30);
    POINT p = At(30, 30);
    SendMouse(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
    Pump(30);
    p = At(30, 25);
    SendMouse(p.x, p.y, 0);
    Pump(30);
    ASSERT_EQ(GetCapture(), hwnd);
  };
  // Another window takes the capture (a host dialog, for instance).
  startDrag();
  SetCapture(host_);
  Pump(30);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
  EXPECT_EQ(panel_.knob->log.back(), "up");
  ReleaseCapture();
  POINT p = At(30, 25);
  SendMouse(p.x, p.y, MOUSEEVENTF_LEFTUP);
  Pump(GetDoubleClickTime() + 50);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
  // The system cancels the mode (task switching, a message box elsewhere).
  log_.Clear();
  startDrag();
  SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
  EXPECT_NE(GetCapture(), hwnd);
  SendMouse(p.x, p.y, MOUSEEVENTF_LEFTUP);
  Pump(50);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
}

TEST_F(WindowTest, KeysReachTheControlUnderThePointerOrTheHost) {
  Open();
  ClickAt(30, 30);  // the editor takes the keyboard focus
  panel_.knob->log.clear();
  panel_.knob->keyHandled = true;
  SendKey('A');
  SendKey('A', true);
  SendKey(VK_NUMPAD1);  // virtual key 0x61
  SendKey(VK_UP);
  Pump(50);
  EXPECT_EQ(panel_.knob->log, (std::vector<std::string>{"key 15", "key 15", "key 15", "key 1"}));
  // Key releases, keys no control wants and keys the editor has no code for
  // go on to the host's window.
  panel_.knob->keyHandled = false;
  SendKey('B');
  SendKey(VK_F5);    // 0x74 counts as a letter key, like 0x61 to 0x7A
  SendKey(VK_HOME);  // no key code: never offered to a control
  Pump(50);
  EXPECT_EQ(panel_.knob->log.size(), 6u);
  EXPECT_EQ(panel_.knob->log[4], "key 16");
  EXPECT_EQ(panel_.knob->log[5], "key 34");
  EXPECT_EQ(gHostKeys, (std::vector<std::string>{"up 65", "down 16", "up 65", "up 16", "up 97",
                                                 "up 38", "down 66", "up 66", "down 116", "up 116",
                                                 "down 36", "up 36"}));
}

TEST_F(WindowTest, APopupMenuIsDrivenByKeys) {
  Open();
  Later(300, [] {
    SendKey(VK_DOWN);
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
  });
  ClickAt(90, 30);
  EXPECT_EQ(panel_.menu->chosenMenu, "main");
  EXPECT_EQ(panel_.menu->chosenItem, 1);
  EXPECT_EQ(plug_.GetParam(1)->Value(), 1.0);  // 0.5 of 0..2
  EXPECT_EQ(log_.Joined(), "b1 a1 e1");
  // Escape closes it without a choice; the gesture still ends.
  log_.Clear();
  Later(300, [] { SendKey(VK_ESCAPE); });
  ClickAt(90, 30);
  EXPECT_EQ(panel_.menu->chosenItem, -1);
  EXPECT_EQ(log_.Joined(), "b1 e1");
}

TEST_F(WindowTest, ASubMenuChoiceComesBackRelativeToTheSubMenu) {
  Open();
  Later(300, [] {
    SendKey(VK_DOWN);
    SendKey(VK_DOWN);
    SendKey(VK_RIGHT);  // opens "more" on its first item
    SendKey(VK_DOWN);
    SendKey(VK_RETURN);
  });
  ClickAt(270, 30);
  EXPECT_EQ(panel_.sub->chosenMenu, "more");
  EXPECT_EQ(panel_.sub->chosenItem, 1);
}

// At a size the user chose over the system's (200 % on this 96 DPI screen)
// the menu's items come at the editor's scale: twice as high as the system's
// own, with a check mark, and the keys choose as before. At the system's
// scale the items are the system's.
TEST_F(WindowTest, AMenuAtAnotherSizeThanTheSystemsIsDrawnAtTheEditorsScale) {
  struct Seen {
    int height = 0;
    UINT type = 0;
  };
  auto look = [](Seen* seen) {
    return [seen] {
      HWND popup = FindWindowA("#32768", nullptr);
      HMENU menu =
          popup ? reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)) : nullptr;
      RECT r = {};
      MENUITEMINFOA info = {};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      if (menu && GetMenuItemRect(nullptr, menu, 0, &r) && GetMenuItemInfoA(menu, 0, TRUE, &info)) {
        seen->height = r.bottom - r.top;
        seen->type = info.fType;
      }
      SendKey(VK_DOWN);
      SendKey(VK_DOWN);
      SendKey(VK_RETURN);
    };
  };
  Open();
  Seen system;
  Later(300, look(&system));
  ClickAt(90, 30);
  ASSERT_GT(system.height, 0);
  EXPECT_EQ(system.type & MFT_OWNERDRAW, 0u);
  editor_->CloseWindow();

  editor_->SetUserScalePercent(200);
  Open();
  Seen scaled;
  panel_.menu->chosenItem = -1;
  Later(300, look(&scaled));
  ClickAt(180, 60);
  EXPECT_NE(scaled.type & MFT_OWNERDRAW, 0u);
  EXPECT_GE(scaled.height, 2 * system.height - 2);
  EXPECT_LE(scaled.height, 2 * system.height + 8);
  EXPECT_EQ(panel_.menu->chosenItem, 1);
}

TEST_F(WindowTest, AMessageBoxIsOwnedByTheHostWindowAndAnswered) {
  Open();
  HWND owner = nullptr;
  Later(300, [&owner] {
    HWND box = FindWindowA(nullptr, "caption");
    owner = box ? GetWindow(box, GW_OWNER) : nullptr;
    SendKey('N');
  });
  ClickAt(210, 30);
  EXPECT_EQ(owner, host_);
  EXPECT_EQ(panel_.box->messageBoxAnswer, IDNO);
  Later(300, [] { SendKey(VK_RETURN); });  // Yes is the default button
  ClickAt(210, 30);
  EXPECT_EQ(panel_.box->messageBoxAnswer, IDYES);
}

// At a size the user chose over the system's the message box is ours, at the
// editor's scale: its buttons twice the system's box's height, owned by the
// host's window, answered by the same keys.
TEST_F(WindowTest, AMessageBoxAtAnotherSizeThanTheSystemsIsAtTheEditorsScale) {
  struct Seen {
    HWND owner = nullptr;
    int buttonHeight = 0;
  };
  auto look = [](Seen* seen, WORD key) {
    return [seen, key] {
      HWND box = FindWindowA(nullptr, "caption");
      seen->owner = box ? GetWindow(box, GW_OWNER) : nullptr;
      HWND button = box ? FindWindowExA(box, nullptr, "Button", nullptr) : nullptr;
      RECT r = {};
      if (button && GetWindowRect(button, &r)) seen->buttonHeight = r.bottom - r.top;
      SendKey(key);
    };
  };
  Open();
  Seen system;
  Later(300, look(&system, 'N'));
  ClickAt(210, 30);
  ASSERT_GT(system.buttonHeight, 0);
  EXPECT_EQ(panel_.box->messageBoxAnswer, IDNO);
  editor_->CloseWindow();

  editor_->SetUserScalePercent(200);
  Open();
  Seen scaled;
  Later(300, look(&scaled, 'N'));
  ClickAt(420, 60);
  EXPECT_EQ(scaled.owner, host_);
  EXPECT_GE(scaled.buttonHeight, 2 * system.buttonHeight - 2);
  EXPECT_LE(scaled.buttonHeight, 2 * system.buttonHeight + 2);
  EXPECT_EQ(panel_.box->messageBoxAnswer, IDNO);
  Later(300, [] { SendKey(VK_RETURN); });  // Yes is the default button
  ClickAt(420, 60);
  EXPECT_EQ(panel_.box->messageBoxAnswer, IDYES);
  Later(300, [] {
    SendKey(VK_ESCAPE);  // nothing in a Yes/No box
    Later(600, [] { SendKey('Y'); });
  });
  ClickAt(420, 60);
  EXPECT_EQ(panel_.box->messageBoxAnswer, IDYES);
}

TEST_F(WindowTest, ATextEntryIsCommittedWithReturnAndKeepsOnlyNumberCharacters) {
  Open();
  ClickAt(150, 30);
  HWND field = editor_->TextEntryWindow();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(GetDlgCtrlID(field), IGraphicsWin::kTextEntryId);
  EXPECT_EQ(editor_->EditState(), 1);
  SendKey(VK_BACK);
  for (WORD vk : {WORD('1'), WORD('X'), WORD(VK_OEM_PERIOD), WORD('5')}) SendKey(vk);
  Pump(50);
  char text[32] = {0};
  GetWindowTextA(field, text, sizeof text);
  EXPECT_STREQ(text, "1.5");
  SendKey(VK_RETURN);
  Pump(150);
  EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
  EXPECT_EQ(editor_->EditState(), 0);
  EXPECT_DOUBLE_EQ(plug_.GetParam(2)->Value(), 1.5);
  EXPECT_EQ(log_.Joined(), "b2 e2 b2 a2 e2");
}

TEST_F(WindowTest, ATextEntryIsCancelledWithEscapeOrAClickInTheEditor) {
  Open();
  ClickAt(150, 30);
  ASSERT_NE(editor_->TextEntryWindow(), nullptr);
  SendKey('7');
  SendKey(VK_ESCAPE);
  Pump(150);
  EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
  EXPECT_EQ(plug_.GetParam(2)->Value(), 0.0);
  // While the field has the focus, a click elsewhere in the editor cancels it
  // and reaches no control.
  ClickAt(150, 30);
  ASSERT_NE(editor_->TextEntryWindow(), nullptr);
  SendKey('3');
  Pump(30);
  const size_t knobEvents = panel_.knob->log.size();
  ClickAt(30, 30);
  Pump(100);
  EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
  EXPECT_EQ(panel_.knob->log.size(), knobEvents);
  EXPECT_EQ(plug_.GetParam(2)->Value(), 0.0);
}

TEST_F(WindowTest, ClosingWhileAMenuOrATextEntryIsOpenIsSafe) {
  Open();
  Later(300, [this] { editor_->CloseWindow(); });
  ClickAt(90, 30);
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_EQ(log_.Joined(), "b1 e1");
  Open();
  ClickAt(150, 30);
  ASSERT_NE(editor_->TextEntryWindow(), nullptr);
  editor_->CloseWindow();
  EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
  EXPECT_EQ(FindWindowExA(host_, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, AFocusedTextEntryLetsTheWindowCloseAndBeDestroyed) {
  // Closed by a message while the field has the focus.
  HWND hwnd = Open();
  ClickAt(150, 30);
  ASSERT_EQ(editor_->EditState(), 1);
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  // Destroyed with the host's window while the field has the focus.
  hwnd = Open();
  ClickAt(150, 30);
  ASSERT_EQ(editor_->EditState(), 1);
  DestroyWindow(host_);
  host_ = nullptr;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  editor_->CloseWindow();  // nothing left to close
}

TEST_F(WindowTest, AHostThatDestroysItsWindowLeavesNoEditorWindowBehind) {
  Open();
  DestroyWindow(host_);
  host_ = nullptr;
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  editor_->CloseWindow();  // nothing left to close
}

}  // namespace
}  // namespace graphics_test
