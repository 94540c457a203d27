// The Windows window layer of the editor: a child window of the host's
// window, its message procedure, the 25-per-second redraw timer, the system's
// popup menus, the in-place text field, message boxes, the file and colour
// dialogs, opening web addresses, clipboard text, folder paths, the cursor and
// the library's PNG resources.
//
// MENUS are the system's; when the editor's scale differs from the one the
// system draws menus at for the window (the user chose another size), their
// items are drawn by the editor at its scale (ScaledMenuLook.h); message
// boxes likewise become a dialog of ours (ScaledMessageBox.h).
//
// TEXT ENTRY STATES (editState)
//   0 no field   1 the field has the focus   2 skip one tick
//   3 cancel     4 commit
//   A field starts in 1 when it takes the focus. Return, the field losing the
//   focus, or a click in the editor while the state is not 1 commit (4);
//   Escape, a wheel turn, or a click in the editor while the state is 1 cancel
//   (3). The next timer tick carries it out and the state returns to 0. While
//   the field has the focus the editor draws nothing; while a field is open it
//   draws at most on every second tick (state 2).
//
// MOUSE
//   A press captures the mouse until its release; the middle button clicks
//   (press and release reach the controls) but never drags. A capture the
//   system takes away (WM_CAPTURECHANGED to another window, WM_CANCELMODE)
//   ends the press at once. Smooth wheels and touchpads send turns of less
//   than a notch (WHEEL_DELTA): they add up, and only whole steps reach the
//   controls.
//
// Everything here runs on the thread that opened the window, the host's
// user-interface thread. Only GetWindow/IsWindowOpen may be asked from any
// thread; a host that closes from another thread gets the window closed by a
// posted message, and the window holds the library until then (ModuleHold).
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "graphics/IGraphics.h"
#include "graphics/win32/ScaledMenuLook.h"

namespace graphics {

class IGraphicsWin : public IGraphics {
 public:
  static constexpr const char* kWindowClass = "IPlugWndClass";
  static constexpr int kTimerId = 2;
  static constexpr int kTextEntryId = 99;

  // module: the library's handle (resources, window class).
  IGraphicsWin(plug::IPlugBase* plugin, HINSTANCE module, int width = kDefaultWidth,
               int height = kDefaultHeight, int fps = kDefaultFps);
  // Closes the window and the timer without calling the plug-in.
  ~IGraphicsWin() override;

  bool BlitToScreen(const IRect* r) override;
  void CancelTextEntry() override;
  void Resize(int w, int h) override;
  const char* GetApiName() const override { return "Windows GDI"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IMenu* ShowPopupMenu(IMenu* menu, const IRect* r) override;
  void ShowTextEntry(IControl* control, const ITextStyle* style, const IRect* r, const char* text,
                     plug::IParameter* param) override;
  void GetHostPath(std::string* path) override;
  void GetPluginPath(std::string* path) override;
  void GetDesktopPath(std::string* path) override;
  void GetAppDataPath(std::string* path, bool allUsers) override;
  void PromptForFile(std::string* file, int action, std::string* folder,
                     const char* extensions) override;
  bool PromptForColor(IArgb* colour, const char* prompt) override;
  bool OpenUrl(const char* url, const char* caption, const char* confirm,
               const char* error) override;
  void* OpenWindow(void* parentWindow) override;
  void CloseWindow() override;
  void* GetWindow() const override { return hwnd_.load(); }
  bool GetClipboardText(std::string* text) override;
  void HideCursor() override;
  void ShowCursor() override;
  LICE_IBitmap* LoadPlatformBitmap(int id, const char* name) override;

  // The owner of message boxes: the host's top-level window.
  HWND GetMainWindow();
  int EditState() const { return editState_; }
  HWND TextEntryWindow() const { return entryWnd_; }
  // Open editor windows of this library, all instances together.
  static int OpenWindowCount();
  // The DPI of the host window's monitor (96 = 100 %), followed on
  // WM_DPICHANGED, WM_DPICHANGED_AFTERPARENT and a move to another monitor.
  int SystemScalePercent() const override;
  // The scale of a window's DPI in percent (the screen's without a window).
  static int DpiPercentOf(HWND window);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEntryMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnTimer();
  // WM_PAINT: the update region's rectangles, each drawn and copied in its
  // own pass, inside one BeginPaint.
  void Paint(HWND hwnd);
  void OnScaleChanged() override;
  // A new DPI (0: ask the window's); the editor follows it.
  void FollowDpi(int dpi);
  // Whole wheel steps from a wheel message's delta; the remainder is kept for
  // the next message.
  int WheelSteps(int delta);
  // The host's call gives back what windows that are gone held (ModuleHold)
  // and the window class once no window is left.
  void ReleaseWindowsGone();
  void OnKeyDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Commits (with) or drops the open field's text and destroys the field.
  void EndTextEntry(bool commit);
  // The window, its timer and its field go; with endGesture the host hears
  // the end of an open gesture (not from the destructor).
  void DestroyEditorWindow(bool endGesture);
  void ForgetDestroyedWindow();
  // Forgets the field's control, parameter and font (the field is gone).
  void ReleaseTextEntry();
  void SetUpTooltips();
  void HideTooltip();
  HMENU BuildMenu(IMenu* menu, const MenuCommandMap& commands);
  // The editor's scale over the system's for the window (1.0 where they
  // agree): menus and message boxes other than 1.0 are ours.
  double ScaleOverSystem() const;

  HINSTANCE module_;
  std::atomic<HWND> hwnd_{nullptr};
  HWND entryWnd_ = nullptr;
  HWND tooltipWnd_ = nullptr;
  IControl* entryControl_ = nullptr;        // not owned
  plug::IParameter* entryParam_ = nullptr;  // not owned
  WNDPROC entryPreviousProc_ = nullptr;
  HFONT entryFont_ = nullptr;
  int editState_ = 0;
  int wheelRemainder_ = 0;
  bool menuOpen_ = false;
  ScaledMenuLook* menuLook_ = nullptr;  // while a menu drawn at our scale is open
  bool tooltipShown_ = false;
  int tooltipIndex_ = -1;
  COLORREF* customColours_ = nullptr;  // 16, made on first use
  HWND parentWnd_ = nullptr;
  HWND mainWnd_ = nullptr;
  std::string mainClassName_;
  mutable int systemPercent_ = 0;  // 0 until asked
  HMONITOR monitor_ = nullptr;
  int monitorCheckTicks_ = 0;  // timer ticks until the monitor is asked again
  // The update region's copy, made on the first paint and kept with the
  // editor, so painting makes no region of its own each time.
  HRGN updateRegion_ = nullptr;
  // The device context of the paint or timer draw in progress, for
  // BlitToScreen.
  HDC paintDc_ = nullptr;
};

}  // namespace graphics
