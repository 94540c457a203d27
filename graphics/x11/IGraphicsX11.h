// The X11 window layer of the editor: a child window of the host's X window
// on a connection of the editor's own, the 25-per-second redraw, mouse and
// keys into the graphics host's entries (mapped as the Windows layer maps
// them), popup menus, the in-place text field and message boxes as small
// windows of our own drawn with the drawing layer, opening web addresses with
// xdg-open, clipboard text, the XDG folders, the cursor and the library's
// embedded images.
//
// EVENTS AND TIMER
//   Nothing runs on a thread of ours. The host's calls for the editor
//   (RunEvents: VST 2's effEditIdle, or a host's timer and its watch on
//   EventFileDescriptor) handle the queued X events and run the redraw
//   timer when a tick is due (every 1000 / fps ms); menus and message boxes
//   run their own modal loops, in which the editor keeps drawing. Only the
//   thread that opened the window may run its events.
//
// TEXT ENTRY STATES (editState), as in the Windows layer
//   0 no field   1 the field has the focus   2 skip one tick
//   3 cancel     4 commit
//   Return or the field losing the focus commit; Escape, a wheel turn or a
//   click in the editor while the field has the focus cancel; the next timer
//   tick carries it out. While the field has the focus the editor draws
//   nothing; while a field is open it draws at most on every second tick.
//
// This header brings Xlib's macros (None, Status, Bool): include it after the
// product's other headers.
//
// MOUSE
//   The X server holds the pointer for the window while a button is down, so
//   a drag that leaves the window stays with the control. When the server
//   lets go of it early (the window became unviewable under the drag, or a
//   grab replaced ours) the press ends at once, as on a lost capture on
//   Windows. A second left press within kDoubleClickMs and kDoubleClickPx of
//   the first is a double click. The middle button clicks (press and
//   release reach the controls) but never drags.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <string>

#include "graphics/IGraphics.h"

namespace graphics {

class X11Display;
class X11ModalWindow;
class X11SharedBitmap;
class X11TextEntry;

class IGraphicsX11 : public IGraphics {
 public:
  // The double-click time and distance of the desktops' toolkits.
  static constexpr int kDoubleClickMs = 400;
  static constexpr int kDoubleClickPx = 4;

  explicit IGraphicsX11(plug::IPlugBase* plugin, int width = kDefaultWidth,
                        int height = kDefaultHeight, int fps = kDefaultFps);
  // Closes the window without calling the plug-in.
  ~IGraphicsX11() override;

  bool BlitToScreen(const IRect* r) override;
  void CancelTextEntry() override;
  void Resize(int w, int h) override;
  const char* GetApiName() const override { return "X11"; }
  // The Xft.dpi resource of the display (96 dpi = 100 %), 100 without one;
  // read again each time a window opens.
  int SystemScalePercent() const override;
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
  // The parent is an X window id. Null without a display or a parent.
  void* OpenWindow(void* parentWindow) override;
  void CloseWindow() override;
  // The X window id of the editor window, or null.
  void* GetWindow() const override;
  bool GetClipboardText(std::string* text) override;
  void HideCursor() override;
  void ShowCursor() override;
  LICE_IBitmap* LoadPlatformBitmap(int id, const char* name) override;
  void RunEvents() override;
  // The editor's X connection, while a window is open (-1 otherwise), and the
  // redraw period: what a host that drives RunEvents from its own timer and
  // descriptor watch needs.
  int EventFileDescriptor() const override;
  int EventIntervalMs() const override;

  int EditState() const { return editState_; }
  // The text field's window, or 0, and its text.
  Window TextEntryWindow() const;
  std::string TextEntryText() const;
  // The host's top-level window (owner of message boxes), or 0.
  Window GetMainWindow();

  // ---- For the modal windows (menus, message boxes) [main] --------------------
  X11Display* Connection() const { return display_; }
  Window EditorWindow() const { return window_.load(); }
  // Runs events until modal is done: its own windows' events go to it, the
  // editor keeps drawing, and the editor window going away ends the loop.
  void RunModalLoop(X11ModalWindow* modal);

 private:
  void OnScaleChanged() override;
  // Pixels the server shares while a window is open, where it can.
  LICE_IBitmap* NewDrawingBitmap(int w, int h) override;
  // Waits for the server's reading of shared pixels there.
  void BeforeDrawing(const IRect& area) override;
  // The drawing bitmap when it is shared with the server, else null.
  X11SharedBitmap* SharedDrawing() const;
  void HandleEvent(XEvent* event);
  void HandleEditorEvent(XEvent* event);
  void OnButtonPress(XButtonEvent* event);
  void OnWheel(XEvent* event);
  void OnButtonRelease(XButtonEvent* event);
  void OnMotion(XMotionEvent* event);
  void OnKeyPress(XKeyEvent* event);
  // Hands a key the editor has no use for to the host's window.
  void PassKeyToHost(XKeyEvent* event);
  // The timer: one tick when due.
  void TickIfDue();
  void OnTimer();
  // Draws what exposure asked for.
  void PaintExposed();
  void EndTextEntry(bool commit);
  // The window goes; with endGesture the host hears the end of an open
  // gesture (not from the destructor).
  void DestroyEditorWindow(bool endGesture);
  // The host destroyed its window, and ours with it.
  void ForgetDestroyedWindow();
  // No window from now on; the connection closes unless a modal loop runs.
  void ForgetWindow();
  bool OnOwnThread() const;
  // The editor window is mapped and so are all its ancestors.
  bool Viewable() const;

  X11Display* display_ = nullptr;  // owned, while a window is open
  // The server would not share memory on this connection: the drawing
  // bitmap stays plain until the window closes.
  bool sharingRefused_ = false;
  std::atomic<Window> window_{0};
  Window parent_ = 0;
  unsigned long ownerThread_ = 0;
  X11TextEntry* entry_ = nullptr;  // owned
  int editState_ = 0;
  long long nextTickMs_ = 0;
  IRect exposed_;
  bool modalRunning_ = false;
  // A left or right press in the window that may drag.
  bool buttonHeld_ = false;
  // The last left press, for double clicks.
  Time lastPressTime_ = 0;
  int lastPressX_ = 0;
  int lastPressY_ = 0;
  bool lastPressCounts_ = false;
  Cursor blankCursor_ = 0;
  // The system's scale in percent, 0 until asked.
  mutable int systemPercent_ = 0;
};

}  // namespace graphics
