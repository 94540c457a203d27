// IGraphicsWin: the editor window, its message procedure and the timer.
#include "graphics/win32/IGraphicsWin.h"

#include <commctrl.h>
#include <windowsx.h>

#include <mutex>

#include "graphics/win32/ModuleHold.h"
#include "lice/LICE_NeverDestroyed.h"
#include "lice/LICE_IBitmap.h"
#include "plug/IPlugBase.h"

namespace graphics {

namespace {

// Sent by Windows 8.1 and later; named here for older headers.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The window class is shared by every editor of this library: registered by
// the first window that opens, unregistered when the last one closes.
struct WindowClass {
  std::mutex lock;
  int openWindows = 0;
};
// Never destroyed: a window may close late in the library's unload.
WindowClass& TheWindowClass() { return LICE_NeverDestroyed<WindowClass>(); }

IGraphicsWin* EditorOf(HWND hwnd) {
  return reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

IMouseState MouseState(WPARAM wParam) {
  return IMouseState::FromKeyState(static_cast<unsigned>(wParam),
                                   (GetKeyState(VK_MENU) & 0x8000) != 0);
}

}  // namespace

IGraphicsWin::IGraphicsWin(plug::IPlugBase* plugin, HINSTANCE module, int width, int height,
                           int fps)
    : IGraphics(plugin, width, height, fps), module_(module) {}

IGraphicsWin::~IGraphicsWin() {
  DestroyEditorWindow(false);
  ReleaseWindowsGone();
  delete[] customColours_;
  if (updateRegion_) DeleteObject(updateRegion_);
}

void IGraphicsWin::ReleaseWindowsGone() {
  ModuleHold::ReleasePending();
  // A window closed from another thread outlived its count: the class it
  // kept registered goes with the last one.
  WindowClass& wc = TheWindowClass();
  std::lock_guard<std::mutex> hold(wc.lock);
  if (wc.openWindows == 0) UnregisterClassA(kWindowClass, module_);
}

int IGraphicsWin::OpenWindowCount() {
  WindowClass& wc = TheWindowClass();
  std::lock_guard<std::mutex> hold(wc.lock);
  return wc.openWindows;
}

void* IGraphicsWin::OpenWindow(void* parentWindow) {
  HWND parent = static_cast<HWND>(parentWindow);
  parentWnd_ = parent;
  int x = 0;
  int y = 0;
  // The system's scale for the host's window (its monitor's DPI); the editor
  // takes the scale its sources give before the window is made at its size.
  systemPercent_ = DpiPercentOf(parent);
  ApplyScale();
  int w = DeviceWidth();
  int h = DeviceHeight();
  if (hwnd_.load()) {
    // Opened again without a close: keep the place and size.
    RECT r;
    if (GetWindowRect(hwnd_.load(), &r)) {
      POINT topLeft = {r.left, r.top};
      if (parent) ScreenToClient(parent, &topLeft);
      x = topLeft.x;
      y = topLeft.y;
      w = r.right - r.left;
      h = r.bottom - r.top;
    }
    CloseWindow();
  }

  WindowClass& wc = TheWindowClass();
  {
    std::lock_guard<std::mutex> hold(wc.lock);
    if (wc.openWindows == 0) {
      WNDCLASSA cls = {};
      cls.style = CS_DBLCLKS;
      cls.lpfnWndProc = WndProc;
      cls.hInstance = module_;
      cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
      cls.lpszClassName = kWindowClass;
      RegisterClassA(&cls);
    }
    ++wc.openWindows;
  }

  HWND hwnd = CreateWindowExA(0, kWindowClass, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                              nullptr, module_, this);
  if (!hwnd) {
    std::lock_guard<std::mutex> hold(wc.lock);
    if (--wc.openWindows == 0) UnregisterClassA(kWindowClass, module_);
    return nullptr;
  }
  ModuleHold::Acquire(hwnd);
  ReleaseWindowsGone();
  hwnd_.store(hwnd);
  MarkAllDirty();
  if (ShowsTooltips()) SetUpTooltips();
  return hwnd;
}

void IGraphicsWin::CloseWindow() {
  DestroyEditorWindow(true);
  ReleaseWindowsGone();
}

void IGraphicsWin::ForgetDestroyedWindow() {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  hwnd_.store(nullptr);
  // The field, a child, is already gone.
  entryWnd_ = nullptr;
  ReleaseTextEntry();
  EndGesture();
  tooltipWnd_ = nullptr;
  tooltipShown_ = false;
  tooltipIndex_ = -1;
  mainWnd_ = nullptr;
  WindowClass& wc = TheWindowClass();
  std::lock_guard<std::mutex> hold(wc.lock);
  if (wc.openWindows > 0 && --wc.openWindows == 0) UnregisterClassA(kWindowClass, module_);
}

void IGraphicsWin::DestroyEditorWindow(bool endGesture) {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  // An open menu's modal loop would outlive its owner: end it first.
  if (menuOpen_) EndMenu();
  if (entryWnd_) EndTextEntry(false);
  if (endGesture) EndGesture();
  HideTooltip();
  if (tooltipWnd_) DestroyWindow(tooltipWnd_);
  tooltipWnd_ = nullptr;
  tooltipIndex_ = -1;
  // Detach first: whatever reaches the window from now on finds no editor.
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  hwnd_.store(nullptr);
  mainWnd_ = nullptr;
  if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
    KillTimer(hwnd, kTimerId);
    DestroyWindow(hwnd);
  } else {
    // A host closing from another thread cannot destroy the window there;
    // the detached window closes itself on its own thread.
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
  }
  WindowClass& wc = TheWindowClass();
  std::lock_guard<std::mutex> hold(wc.lock);
  if (wc.openWindows > 0 && --wc.openWindows == 0) UnregisterClassA(kWindowClass, module_);
}

bool IGraphicsWin::BlitToScreen(const IRect* r) {
  HWND hwnd = hwnd_.load();
  if (!hwnd || !r || !DrawingBitmap()) return false;
  if (paintDc_) {
    const IRect d = ToDeviceCover(*r);
    BitBlt(paintDc_, d.left, d.top, d.W(), d.H(),
           static_cast<HDC>(DrawingBitmap()->DeviceContext()), d.left, d.top, SRCCOPY);
    return true;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) {
    const IRect d = ToDeviceCover(*r);
    BitBlt(dc, d.left, d.top, d.W(), d.H(), static_cast<HDC>(DrawingBitmap()->DeviceContext()),
           d.left, d.top, SRCCOPY);
  }
  EndPaint(hwnd, &ps);
  return true;
}

void IGraphicsWin::Resize(int w, int h) {
  if (w == width_ && h == height_) return;
  const int oldW = DeviceWidth();
  const int oldH = DeviceHeight();
  IGraphics::Resize(w, h);
  const int dw = DeviceWidth() - oldW;
  const int dh = DeviceHeight() - oldH;
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  auto grow = [&](HWND target) {
    RECT r;
    if (!GetWindowRect(target, &r)) return;
    SetWindowPos(target, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, flags);
  };
  grow(hwnd);
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  // VST 2 hosts expect the editor to grow their windows; the other formats'
  // hosts size their own after the resize request (ResizeEditor).
  const int format = Plugin() ? Plugin()->GetFormatCode() : plug::kFormatVst2;
  if ((style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD) && format == plug::kFormatVst2) {
    HWND parent = GetParent(hwnd);
    HWND grandparent =
        parent && (GetWindowLongPtrA(parent, GWL_STYLE) & WS_CHILD) ? GetParent(parent) : nullptr;
    if (parent) grow(parent);
    if (grandparent) grow(grandparent);
  }
  RECT all = {0, 0, DeviceWidth(), DeviceHeight()};
  InvalidateRect(hwnd, &all, FALSE);
}

void IGraphicsWin::OnScaleChanged() {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  // The host agreed to the size and sizes its own window.
  SetWindowPos(hwnd, nullptr, 0, 0, DeviceWidth(), DeviceHeight(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, FALSE);
}

int IGraphicsWin::SystemScalePercent() const {
  if (systemPercent_ == 0) systemPercent_ = DpiPercentOf(hwnd_.load());
  return systemPercent_;
}

int IGraphicsWin::DpiPercentOf(HWND window) {
  // GetDpiForWindow (Windows 10 1607 and later) answers per monitor for
  // hosts that are DPI aware; the screen's DPI otherwise.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const DpiForWindow dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  int dpi = 0;
  if (window && dpiForWindow) dpi = static_cast<int>(dpiForWindow(window));
  if (dpi <= 0) {
    HDC screen = GetDC(nullptr);
    if (screen) {
      dpi = GetDeviceCaps(screen, LOGPIXELSX);
      ReleaseDC(nullptr, screen);
    }
  }
  return dpi > 0 ? MulDiv(dpi, 100, 96) : 100;
}

void IGraphicsWin::FollowDpi(int dpi) {
  const int percent = dpi > 0 ? MulDiv(dpi, 100, 96) : DpiPercentOf(hwnd_.load());
  if (percent == systemPercent_) return;
  systemPercent_ = percent;
  SystemScaleChanged();
}

LRESULT CALLBACK IGraphicsWin::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    IGraphicsWin* editor = static_cast<IGraphicsWin*>(create->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
    const int fps = editor && editor->Fps() > 0 ? editor->Fps() : kDefaultFps;
    SetTimer(hwnd, kTimerId, static_cast<UINT>(1000 / fps), nullptr);
    SetFocus(hwnd);
    return 0;
  }
  // Every window of ours holds the library until its last message, also one
  // its editor has let go of (closed from another thread).
  if (msg == WM_NCDESTROY) ModuleHold::ReleaseLater(hwnd);
  IGraphicsWin* editor = EditorOf(hwnd);
  if (!editor) {
    if (msg == WM_TIMER) return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return editor->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (entryWnd_ && editState_ == 1) {
    // The field has the focus: a click in the editor cancels it, and nothing
    // else is handled (nothing is drawn while the user types), but for the
    // window's closing and destruction and the end of a lost press.
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
      editState_ = 3;
      return 0;
    }
    const bool passes =
        msg == WM_CLOSE || msg == WM_NCDESTROY || msg == WM_CAPTURECHANGED || msg == WM_CANCELMODE;
    if (!passes) return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return 0;
    case WM_PAINT:
      // BeginPaint inside takes the update region away, drawn or not, or
      // the system would paint forever.
      Paint(hwnd);
      return 0;
    case WM_CLOSE:
      // Not CloseWindow: that one gives back library references, which only a
      // call from the host may.
      DestroyEditorWindow(true);
      return 0;
    case WM_NCDESTROY:
      // The host destroyed its window, and ours with it, without closing the
      // editor: forget the window so nothing draws into a dead handle.
      ForgetDestroyedWindow();
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_KEYDOWN:
      OnKeyDown(hwnd, msg, wParam, lParam);
      return 0;
    case WM_KEYUP: {
      HWND root = GetAncestor(hwnd, GA_ROOT);
      if (root && root != hwnd) return SendMessageA(root, msg, wParam, lParam);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId) OnTimer();
      return 0;
    case kDpiChanged:
      // A top-level editor (or a host forwarding it): the new DPI in wParam.
      FollowDpi(LOWORD(wParam));
      return 0;
    case kDpiChangedAfterParent:
      FollowDpi(0);
      return 0;
    case WM_CTLCOLOREDIT:
      if (entryWnd_ && entryControl_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const ITextStyle& style = entryControl_->TextStyle();
        SetBkColor(dc, style.entryBackground.ColorRef());
        SetTextColor(dc, style.entryText.ColorRef());
        SetBkMode(dc, OPAQUE);
        SetDCBrushColor(dc, style.entryBackground.ColorRef());
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
      }
      return 0;
    case WM_MOUSEMOVE: {
      const int x = ToLogical(GET_X_LPARAM(lParam));
      const int y = ToLogical(GET_Y_LPARAM(lParam));
      const IMouseState state = MouseState(wParam);
      if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
        if (GetCapture() == hwnd && !entryWnd_) OnMouseDrag(x, y, &state);
        return 0;
      }
      if (OnMouseOver(x, y, &state)) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        if (ShowsTooltips() && MouseOverIndex() != tooltipIndex_) {
          tooltipIndex_ = MouseOverIndex();
          HideTooltip();
          if (tooltipIndex_ >= 0) track.dwFlags |= TME_HOVER;
        }
        track.hwndTrack = hwnd;
        track.dwHoverTime = HOVER_DEFAULT;
        TrackMouseEvent(&track);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      // Our own release gives the capture to nobody and ends nothing more.
      if (reinterpret_cast<HWND>(lParam) != hwnd) OnMouseCaptureLost();
      return 0;
    case WM_CANCELMODE:
      // The system ends modes such as a capture (a dialog appears, the user
      // switches tasks).
      OnMouseCaptureLost();
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      HideTooltip();
      if (entryWnd_) {
        editState_ = 4;
        return 0;
      }
      SetFocus(hwnd);
      SetCapture(hwnd);
      const IMouseState state = MouseState(wParam);
      OnMouseDown(ToLogical(GET_X_LPARAM(lParam)), ToLogical(GET_Y_LPARAM(lParam)), &state);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // The release first: letting go of the capture then finds the press
      // over (WM_CAPTURECHANGED).
      const IMouseState state = MouseState(wParam);
      OnMouseUp(ToLogical(GET_X_LPARAM(lParam)), ToLogical(GET_Y_LPARAM(lParam)), &state);
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const IMouseState state = MouseState(wParam);
      if (OnMouseDblClick(ToLogical(GET_X_LPARAM(lParam)), ToLogical(GET_Y_LPARAM(lParam)), &state))
        SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      if (entryWnd_) {
        editState_ = 3;
        return 0;
      }
      RECT r;
      GetWindowRect(hwnd, &r);
      const int d = WheelSteps(GET_WHEEL_DELTA_WPARAM(wParam));
      const IMouseState state = MouseState(GET_KEYSTATE_WPARAM(wParam));
      OnMouseWheel(ToLogical(GET_X_LPARAM(lParam) - r.left),
                   ToLogical(GET_Y_LPARAM(lParam) - r.top), &state, d);
      return 0;
    }
    case WM_MOUSEHOVER: {
      const IControl* control = GetControl(tooltipIndex_);
      if (tooltipWnd_) {
        TOOLINFOA info = {};
        info.cbSize = sizeof info;
        info.hwnd = hwnd;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.uId = reinterpret_cast<UINT_PTR>(hwnd);
        info.lpszText = const_cast<char*>(control ? control->Tooltip().c_str() : "");
        SendMessageA(tooltipWnd_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
        SendMessageA(tooltipWnd_, TTM_ACTIVATE, TRUE, 0);
      }
      tooltipShown_ = true;
      return 0;
    }
    case WM_MOUSELEAVE:
      HideTooltip();
      OnMouseOut();
      return 0;
    // An open menu drawn at the editor's scale (ShowPopupMenu).
    case WM_MEASUREITEM:
      if (menuLook_ && menuLook_->Measure(hwnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
        return TRUE;
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_DRAWITEM:
      if (menuLook_ && menuLook_->Draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
        return TRUE;
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

int IGraphicsWin::WheelSteps(int delta) {
  // A turn the other way starts afresh: what was left over pointed back.
  if ((delta > 0 && wheelRemainder_ < 0) || (delta < 0 && wheelRemainder_ > 0)) wheelRemainder_ = 0;
  wheelRemainder_ += delta;
  const int steps = wheelRemainder_ / WHEEL_DELTA;
  wheelRemainder_ -= steps * WHEEL_DELTA;
  return steps;
}

void IGraphicsWin::OnKeyDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int key = KeyCodeOfVirtualKey(static_cast<int>(wParam));
  if (key != kKeyNone) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    if (IGraphics::OnKeyDown(ToLogical(p.x), ToLogical(p.y), key)) return;
  }
  // Keys the editor has no use for belong to the host (transport, shortcuts).
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (root && root != hwnd) SendMessageA(root, msg, wParam, lParam);
}

void IGraphicsWin::Paint(HWND hwnd) {
  // The region comes as bands of rectangles; the dirty list joins the bands
  // of each area again and keeps areas that lie apart apart. A region of
  // more rectangles than the buffer holds is drawn as its bounds.
  if (!updateRegion_) updateRegion_ = CreateRectRgn(0, 0, 0, 0);
  const int kind = updateRegion_ ? GetUpdateRgn(hwnd, updateRegion_, FALSE) : ERROR;
  PAINTSTRUCT ps;
  paintDc_ = BeginPaint(hwnd, &ps);
  IDirtyList update;
  struct {
    RGNDATAHEADER header;
    RECT rects[32];
  } data;
  if (kind == ERROR) {
    const RECT& b = ps.rcPaint;
    update.Add(ToLogicalCover(IRect(b.left, b.top, b.right, b.bottom)));
  } else if (kind != NULLREGION) {
    const DWORD got = GetRegionData(updateRegion_, sizeof data, reinterpret_cast<RGNDATA*>(&data));
    if (got != 0 && data.header.nCount <= 32) {
      for (DWORD i = 0; i < data.header.nCount; ++i) {
        const RECT& r = data.rects[i];
        update.Add(ToLogicalCover(IRect(r.left, r.top, r.right, r.bottom)));
      }
    } else {
      RECT b;
      GetRgnBox(updateRegion_, &b);
      update.Add(ToLogicalCover(IRect(b.left, b.top, b.right, b.bottom)));
    }
  }
  // Without a device context there is nothing to copy to; the controls
  // still count as drawn, as they always did.
  for (int i = 0; i < update.Size(); ++i) Redraw(&update[i]);
  paintDc_ = nullptr;
  EndPaint(hwnd, &ps);
}

void IGraphicsWin::OnTimer() {
  HWND hwnd = hwnd_.load();
  if (!hwnd) return;
  if (entryWnd_ && editState_ != 0) {
    if (editState_ == 3) {
      EndTextEntry(false);
    } else if (editState_ == 4) {
      EndTextEntry(true);
    } else if (editState_ == 2) {
      editState_ = 0;
    }
    return;
  }
  // A move to a monitor of another DPI, for hosts whose windows get no
  // DPI message of their own. Asked twice a second, not on every tick: the
  // question costs the system several round trips under Wine.
  if (--monitorCheckTicks_ <= 0) {
    monitorCheckTicks_ = std::max(fps_ / 2, 1);
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    if (monitor != monitor_) {
      const bool first = monitor_ == nullptr;
      monitor_ = monitor;
      if (!first) FollowDpi(0);
      if (!hwnd_.load()) return;
    }
  }
  IDirtyList dirty;
  if (!CollectDirty(&dirty)) return;
  // Drawn and copied at once through the window's device context: asking
  // for a paint (invalidating, WM_PAINT) costs many times the drawing of a
  // knob under Wine. What the system itself asks to paint (exposure, size)
  // still comes as WM_PAINT.
  HDC dc = GetDC(hwnd);
  if (!dc) {
    for (int i = 0; i < dirty.Size(); ++i) {
      const IRect d = ToDeviceCover(dirty[i]);
      RECT r = {d.left, d.top, d.right, d.bottom};
      InvalidateRect(hwnd, &r, FALSE);
    }
    UpdateWindow(hwnd);
    return;
  }
  const bool fieldOpen = entryWnd_ && entryControl_;
  if (fieldOpen) {
    // The field is not painted over.
    const IRect e = ToDevice(entryControl_->Rect());
    ExcludeClipRect(dc, e.left, e.top, e.right, e.bottom);
  }
  paintDc_ = dc;
  Redraw(dirty);
  paintDc_ = nullptr;
  ReleaseDC(hwnd, dc);
  if (fieldOpen) editState_ = 2;
}

void IGraphicsWin::SetUpTooltips() {
  HWND hwnd = hwnd_.load();
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_TAB_CLASSES};
  bool ok = InitCommonControlsEx(&init) != FALSE;
  if (ok) {
    tooltipWnd_ = CreateWindowExA(
        0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, module_, nullptr);
    ok = tooltipWnd_ != nullptr;
  }
  if (ok) {
    SetWindowPos(tooltipWnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOA info = {};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(hwnd);
    info.lpszText = const_cast<char*>("");
    ok = SendMessageA(tooltipWnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  }
  if (!ok) {
    if (tooltipWnd_) DestroyWindow(tooltipWnd_);
    tooltipWnd_ = nullptr;
    SetShowTooltips(false);
  }
}

void IGraphicsWin::HideTooltip() {
  if (tooltipShown_ && tooltipWnd_) SendMessageA(tooltipWnd_, TTM_ACTIVATE, FALSE, 0);
  tooltipShown_ = false;
}

}  // namespace graphics
