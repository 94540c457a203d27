// The editor's platform-independent core: the ordered list of controls, the
// binding of controls to parameters in both directions, dirty collection and
// drawing into an off-screen bitmap, mouse and key routing, and the drawing
// operations the controls use. A window layer derives from it and supplies
// the window, the timer and the platform services. The layers, each in a
// folder of its own below this one:
//   win32/     IGraphicsWin: a Win32 child window with GDI drawing, in the
//              Windows builds;
//   x11/       IGraphicsX11: an Xlib child window on a connection of its own,
//              driven by the host's idle calls, in the Linux build;
//   headless/  IGraphicsHeadless: no window at all, for unit tests, pictures
//              and benchmarks; never linked into a shipped binary.
// The controls live in controls/; PlatformGraphics.h names the layer a
// product gets on the platform it is built for.
//
// CONTROL LIST
//   Index 0 is the background; later controls lie on top of earlier ones, so
//   hit tests search from the last control to the first. The list is built
//   once, while the plug-in is constructed, and then only read (also from the
//   threads that set parameters); Resize is the one operation that empties it.
//
// GESTURES
//   The host hears begin-edit and end-edit around every change the mouse
//   makes, pairing exactly:
//     - a press on a control with a parameter begins the gesture and the
//       release ends it; a release without an open gesture ends nothing;
//     - a press that opens a menu, message box or dialog ends the gesture as
//       soon as the press has been handled: the modal loop swallowed the
//       release;
//     - a double click is a gesture of its own;
//     - a wheel turn is a gesture of its own that begins with the first value
//       it pushes: a turn that changes nothing (against the end of the range)
//       tells the host nothing at all;
//     - a committed text entry is a gesture of its own;
//     - a press whose mouse capture the window system takes away (another
//       window, a host dialog, task switching) ends as its release would;
//     - closing the window or resizing the editor ends an open gesture.
//
// DRAWING
//   Drawing happens only in Redraw, on the timer of the window layer. Every
//   operation (bitmaps, lines, fills, text) is clipped to the rectangle being
//   drawn, so a control drawn for a small update never paints over pixels that
//   are not redrawn beneath it. A control counts as drawn, and loses its dirty
//   flag, only when the update covered all of it that lies in the window; one
//   the update only overlaps or touches stays dirty, and the next tick draws
//   it whole. A tick draws the dirty controls as a short list of rectangles
//   (IDirtyList), one pass each, and copies only those to the window.
//
// SCALE
//   The panel is width x height logical pixels (984 x 432), drawn at a scale
//   of 100, 150 or 200 % into a drawing bitmap of device pixels, from the
//   images rendered at that scale (resource id = the 100 % id - 100 + the
//   percentage, see resources/EditorImages.h) and with fonts made at the
//   scaled size. Controls, hit tests, drags, wheel turns and menu positions
//   stay in logical pixels: the window layers turn device positions into
//   logical ones (ToLogical, rounding down) and logical rectangles into
//   device ones (ToDevice, rounding as the artwork preview does).
//   Where the scale comes from, the first that answers: the user's choice
//   (the option menu's Size, kept in the settings file), the host's
//   (SetHostScale, from the format binding), the system's (the window layer:
//   the monitor's DPI on Windows, Xft.dpi on X11). Any of them is taken to
//   the nearest step. A change while the window is open asks the host for
//   the new window size first (IPlugBase::RequestEditorResize); a host that
//   refuses keeps the editor at its old scale, whole and consistent.
//   Images of each scale are decoded once per process (BitmapCache).
//
// THREADS
//   [main] is the host's user-interface thread, which runs the window, the
//   timer and all input. SetParameterFromPlugin may run on any thread that
//   changes a parameter; it only writes control values and flags (IControl).
//   The process-wide bitmap and font caches have locks of their own.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "graphics/controls/IControl.h"
#include "graphics/IDirtyList.h"
#include "graphics/IGraphicsTypes.h"
#include "graphics/IMenu.h"
#include "graphics/IRect.h"
#include "plug/IPlugEditor.h"

class LICE_IBitmap;

namespace plug {
class IPlugBase;
class IParameter;
}  // namespace plug

namespace graphics {

class IGraphics : public plug::IPlugEditor {
 public:
  static constexpr int kDefaultWidth = 984;
  static constexpr int kDefaultHeight = 432;
  static constexpr int kDefaultFps = 25;
  // With nothing to draw, the plug-in's idle hook runs on this tick.
  static constexpr int kIdleTicksPerHostIdle = 21;

  IGraphics(plug::IPlugBase* plugin, int width = kDefaultWidth, int height = kDefaultHeight,
            int fps = kDefaultFps);
  // Deletes the key catcher, every control and the drawing bitmap. Calls
  // nothing in the plug-in: the product may already be gone.
  ~IGraphics() override;

  // Releases the process-wide bitmap and font caches (at library unload).
  static void ReleaseProcessCaches();

  // ---- What the plug-in base sees (plug::IPlugEditor) ------------------------
  // The window's size in device pixels: at the scale the editor has, or,
  // without a window, at the one it will open at.
  int Width() const override;
  int Height() const override;
  // The host's scale (1.0 = 100 %); false for one that is not a positive
  // finite number of at most 8. [main]
  bool SetHostScale(double scale) override;
  void SetParameterFromPlugin(int paramIndex, double value, bool normalized) override;
  void SetControlsFromPlugin(int paramIndex, double normalized) override;
  void PrepareDrawing() override;
  bool IsWindowOpen() const override;

  // ---- Scale [main] ------------------------------------------------------------
  static constexpr int kScaleSteps[] = {100, 150, 200};
  // The step nearest to percent (a tie goes to the larger step); 0 for a value
  // that is not a positive finite number.
  static int SnapScalePercent(double percent);
  // The resource id of the image id (of the 100 % set) at a scale.
  static int ScaledResourceId(int id, int percent) { return id - 100 + percent; }

  int LogicalWidth() const { return width_; }
  int LogicalHeight() const { return height_; }
  // The drawing bitmap's and the window's size at the current scale.
  int DeviceWidth() const { return DevicePixels(width_, scalePercent_); }
  int DeviceHeight() const { return DevicePixels(height_, scalePercent_); }
  int ScalePercent() const { return scalePercent_; }
  double Scale() const { return scalePercent_ / 100.0; }
  // Logical to device pixels, rounded (half up).
  int ToDevice(int logical) const { return DevicePixels(logical, scalePercent_); }
  IRect ToDevice(const IRect& r) const;
  // The device pixels drawing r may touch: ToDevice(r) and, where logical
  // sizes end on half pixels (150 %), one more column and row, which the
  // images' rounded-up frames cover. What a redraw clips to and puts on the
  // screen.
  IRect ToDeviceCover(const IRect& r) const;
  // Device to logical pixels, rounded down.
  int ToLogical(int device) const;
  // The logical rectangle that covers a device rectangle.
  IRect ToLogicalCover(const IRect& device) const;
  static int DevicePixels(int logical, int percent);

  // The user's choice: 0 for automatic, else 100, 150 or 200 (other values
  // count as automatic). Applied at once (ApplyScale). [main]
  void SetUserScalePercent(int percent);
  int UserScalePercent() const { return userPercent_; }
  // The host's scale as a step, 0 when the host gave none.
  int HostScalePercent() const { return hostPercent_; }
  // The system's scale for the window as a step (the layer's source). [main]
  virtual int SystemScalePercent() const { return 100; }
  // The scale the sources ask for now.
  int WantedScalePercent() const;
  // Brings the editor to the wanted scale. Without a window it simply takes
  // it (the host asks the size before opening); with one the host is asked
  // for the new size first and a refusal keeps the old scale. A refused size
  // is not asked for again until the wanted scale changes. True when the
  // editor is at the wanted scale afterwards.
  bool ApplyScale();
  // The image of strip at the current scale: its own bitmap at 100 %, the
  // scaled image from the process-wide cache otherwise (null when missing).
  LICE_IBitmap* ScaledBitmap(const IFrameStrip* strip);

  // ---- Window layer operations ------------------------------------------------
  // Copies r of the drawing bitmap to the window. [main]
  virtual bool BlitToScreen(const IRect* r) = 0;
  // The extent of text in style into r (see DrawText). [main]
  virtual bool MeasureText(ITextStyle* style, const char* text, IRect* r);
  virtual void CancelTextEntry() = 0;
  // Changes the editor size: every control is deleted (the layout must be
  // built again) and the plug-in is told. Nothing happens for the current
  // size. [main]
  virtual void Resize(int w, int h);
  virtual const char* GetApiName() const { return ""; }
  // MessageBox types and answers of the Windows interface.
  int ShowMessageBox(const char* text, const char* caption, int type) override = 0;
  // Shows menu at r's left-bottom corner; returns the (sub-)menu an item was
  // chosen in, with its chosen item set, or null. Runs a modal loop. [main]
  virtual IMenu* ShowPopupMenu(IMenu* menu, const IRect* r) = 0;
  // Opens an in-place text field over r; committing it sets the control.
  virtual void ShowTextEntry(IControl* control, const ITextStyle* style, const IRect* r,
                             const char* text, plug::IParameter* param) = 0;
  // Folders end with the path separator.
  virtual void GetHostPath(std::string* path) = 0;
  virtual void GetPluginPath(std::string* path) = 0;
  virtual void GetDesktopPath(std::string* path) = 0;
  virtual void GetAppDataPath(std::string* path, bool allUsers) = 0;
  void GetUserAppDataPath(std::string* path) { GetAppDataPath(path, false); }
  // action 1: save dialog; anything else: open dialog. file becomes empty when
  // cancelled. extensions: blank-separated, e.g. "fxp fxb".
  virtual void PromptForFile(std::string* file, int action, std::string* folder,
                             const char* extensions) = 0;
  virtual bool PromptForColor(IArgb* colour, const char* prompt) = 0;
  bool OpenUrl(const char* url, const char* caption, const char* confirm,
               const char* error) override = 0;
  void* OpenWindow(void* parentWindow) override = 0;
  void CloseWindow() override = 0;
  virtual void* GetWindow() const = 0;
  virtual bool GetClipboardText(std::string* text) = 0;
  virtual void HideCursor() = 0;
  virtual void ShowCursor() = 0;
  // The bitmap of resource id ("name" must end in ".png"), new, or null.
  virtual LICE_IBitmap* LoadPlatformBitmap(int id, const char* name) = 0;

  // ---- Controls -------------------------------------------------------------------
  // Takes ownership. Only while the editor is being built.
  void AttachControl(IControl* control);
  // Image 100 as control 0, copied without alpha.
  void AttachBackground(int id = 100, const char* name = "img/back.png");
  // A key catcher gets the keys pressed over the background. Takes ownership.
  void SetKeyCatcher(IControl* control);
  int NControls() const { return static_cast<int>(controls_.size()); }
  IControl* GetControl(int i) const;
  plug::IPlugBase* Plugin() const { return plugin_; }

  // A new bitmap of the PNG resource id of module, when name ends in ".png"
  // (any case); null otherwise or when it cannot be decoded.
  static LICE_IBitmap* LoadPngResource(void* module, int id, const char* name);

  // The strip of a cached bitmap, loaded on first use (a missing image is
  // cached as missing and gives a strip without bitmap and of size 0 x 0).
  IFrameStrip LoadBitmap(int id, const char* name, int frames = 1, bool sideBySide = false);

  // A value prompt for control: a menu of the value texts, or a text entry.
  void PromptUserInput(IControl* control, plug::IParameter* param, const IRect* r);

  // ---- Drawing, for the controls (inside Redraw) [main] ---------------------------
  bool DrawBitmap(const IFrameStrip* strip, const IRect* dest, int srcX, int srcY,
                  const IBlend* blend);
  // frame is 1-based.
  bool DrawFrame(const IFrameStrip* strip, const IRect* dest, int frame, const IBlend* blend);
  bool DrawLine(const IArgb* colour, float x1, float y1, float x2, float y2, const IBlend* blend);
  bool FillRect(const IArgb* colour, const IRect* r);
  // Draws text in r, or with measure stores its extent into r. False when
  // the font cannot be made; an empty text draws nothing and is true.
  bool DrawText(ITextStyle* style, const char* text, IRect* r, bool measure = false);

  // ---- Timer and paint, for the window layer [main] --------------------------------
  // Unites the rectangles of the dirty controls into out; true when any was
  // dirty. Counts idle ticks and runs the plug-in's idle hook on every 21st.
  bool CollectDirty(IRect* out);
  // The same, with the rectangles kept apart where they lie apart (out is
  // cleared first; see IDirtyList). What the window layers' timers draw.
  bool CollectDirty(IDirtyList* out);
  // Draws what update needs into the drawing bitmap and copies it to the
  // window. Controls outside update keep their dirty flag (see DRAWING).
  bool Redraw(const IRect* update);
  // Redraw of each rectangle of list in turn: a control is drawn whole by
  // the pass whose rectangle holds it, and only the list's areas reach the
  // window. A list without rectangles (only controls without area were
  // dirty) is one redraw of the empty rectangle, which clears them.
  bool Redraw(const IDirtyList& list);
  // The drawing bitmap (for window layers, pictures and tests).
  LICE_IBitmap* DrawingBitmap() const { return drawBitmap_; }
  void SetStrictDrawing(bool strict) { strictDrawing_ = strict; }
  void SetHandleMouseOver(bool handle) { handleMouseOver_ = handle; }
  bool HandlesMouseOver() const { return handleMouseOver_; }
  void SetShowTooltips(bool show) { showTooltips_ = show; }
  bool ShowsTooltips() const { return showTooltips_; }
  int Fps() const { return fps_; }
  int IdleTicks() const { return idleTicks_; }
  // Draw calls of controls since the editor was made (benchmarks, tests).
  long long ControlsDrawn() const { return controlsDrawn_; }
  // Marks every control dirty, without telling the plug-in (window opened).
  void MarkAllDirty();

  // ---- Mouse and keys, for the window layer [main] -------------------------------
  void OnMouseDown(int x, int y, const IMouseState* state);
  void OnMouseUp(int x, int y, const IMouseState* state);
  void OnMouseDrag(int x, int y, const IMouseState* state);
  // False when mouse-over handling is off.
  bool OnMouseOver(int x, int y, const IMouseState* state);
  void OnMouseOut();
  // True when the window should capture the mouse (double click as a click).
  bool OnMouseDblClick(int x, int y, const IMouseState* state);
  // d: whole wheel steps, positive away from the user; 0 does nothing.
  void OnMouseWheel(int x, int y, const IMouseState* state, int d);
  bool OnKeyDown(int x, int y, int key);
  // The window system took the mouse capture away from a press (another
  // window or a dialog took it, or the user switched tasks): the captured
  // control hears the release it will never get, and the gesture ends.
  void OnMouseCaptureLost();

  // A control is about to push a value to its parameter (IControl::MarkDirty):
  // a wheel turn's gesture begins here. [main]
  void BeforeControlPush(int paramIndex);

  int MouseCapture() const { return mouseCapture_; }
  int MouseOverIndex() const { return mouseOverIndex_; }
  // The parameter of the open gesture, or -1.
  int GestureParam() const { return gestureParam_; }

  // ---- Text entry, shared by the window layers ------------------------------------
  // Whether a typed character is kept in a field for param: switch, integer
  // and enumeration parameters take digits and signs, continuous ones also
  // the full stop; without a parameter everything is kept.
  static bool TextEntryAccepts(const plug::IParameter* param, int character);
  // Commits a field's text: to the parameter's value (a value text for
  // switches and enumerations, else the leading number), or as text to a
  // control without a parameter. The text is read up to 31 characters.
  void CommitTextEntry(IControl* control, plug::IParameter* param, const char* text);

 protected:
  // The scale changed and the drawing bitmap has the new size: the window
  // layer gives its window DeviceWidth() x DeviceHeight() and lets it draw.
  virtual void OnScaleChanged() {}
  // A new drawing bitmap of w x h device pixels, or null. The default is a
  // system bitmap; a window layer may place the pixels where the window
  // system reads them itself. [main]
  virtual LICE_IBitmap* NewDrawingBitmap(int w, int h);
  // A redraw is about to draw into area (device pixels) of the drawing
  // bitmap: a layer whose window system may still be reading an earlier copy
  // from there waits for it here. [main]
  virtual void BeforeDrawing(const IRect& area) {}
  // The system's scale changed (a window layer noticed): applied when no
  // user choice or host scale overrides it.
  void SystemScaleChanged() { ApplyScale(); }

  // Window layers call this at the start of every modal loop they run (menu,
  // message box, dialog), so the mouse handling knows the release was
  // swallowed.
  void CountModalLoop() { ++modalLoops_; }
  // Ends an open gesture (window closing).
  void EndGesture();
  // mouseX = mouseY = -1, nothing captured (a menu takes the mouse).
  void ReleaseMouseState();

  int width_;
  int height_;
  int fps_;
  bool cursorHidden_ = false;
  int savedCursorX_ = -1;  // screen coordinates
  int savedCursorY_ = -1;

 private:
  // The topmost control that is not hidden, not grayed and hit; -1 for none.
  int FindControl(int x, int y) const;
  void BeginGesture(int paramIndex);
  // Runs a control's press handling (MouseDown, or a double click taken as
  // a click). A modal loop that ran inside swallowed the release, and a
  // capture lost inside ends the press too: either way the gesture ends.
  void RunPress(IControl* control, int x, int y, const IMouseState* state);
  void DeleteControls();
  // The idle count of a timer tick that found something dirty or not; the
  // plug-in's idle hook on every 21st idle one. Returns anyDirty.
  bool CountTick(bool anyDirty);
  void DrawControl(IControl* control);
  void SetDrawRect(const IRect& r);
  // Where an image drawn at logical dest goes in device pixels.
  IRect DeviceDest(const IRect& dest) const;
  // Copies a device region of bitmap to device position dest, clipped.
  void BlitDevice(LICE_IBitmap* bitmap, const IRect& dest, int srcX, int srcY, const IBlend* blend);

  std::vector<IControl*> controls_;  // owned
  plug::IPlugBase* plugin_;          // not owned
  IRect drawRect_;
  IRect deviceClip_;                    // drawRect_ in device pixels
  LICE_IBitmap* drawBitmap_ = nullptr;  // owned
  int scalePercent_ = 100;
  int userPercent_ = 0;
  int hostPercent_ = 0;
  // A window size the host refused, as the scale asked for; 0 for none.
  int refusedPercent_ = 0;
  // Non-zero while the host is being asked for the size of this scale:
  // Width and Height answer it.
  int requestedPercent_ = 0;
  // The scaled images in use, by the 100 % id (cleared with the scale).
  std::vector<std::pair<int, LICE_IBitmap*>> scaledBitmaps_;
  int idleTicks_ = 0;
  long long controlsDrawn_ = 0;
  int mouseCapture_ = -1;
  int mouseOverIndex_ = -1;
  int mouseX_ = 0;
  int mouseY_ = 0;
  bool handleMouseOver_ = false;
  bool strictDrawing_ = true;
  bool showTooltips_ = false;
  IControl* keyCatcher_ = nullptr;  // owned
  int gestureParam_ = -1;
  // The parameter of a wheel turn whose gesture has not begun yet, or -1.
  int pendingWheelParam_ = -1;
  int modalLoops_ = 0;
  bool inPress_ = false;
  bool captureLostInPress_ = false;
};

}  // namespace graphics
