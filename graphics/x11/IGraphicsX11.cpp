// IGraphicsX11: the editor window, its events and the timer.
#include "graphics/x11/IGraphicsX11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11ModalWindow.h"
#include "graphics/x11/X11SharedBitmap.h"
#include "graphics/x11/X11TextEntry.h"
#include "lice/LICE_IBitmap.h"

namespace graphics {

namespace {

constexpr long kEditorEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | KeyPressMask | KeyReleaseMask | LeaveWindowMask |
                               StructureNotifyMask | FocusChangeMask;

// The mouse state of an event, as the Windows layer builds it from a
// message's key-state word: the buttons held after the event.
IMouseState MouseState(unsigned state, unsigned pressed, unsigned released) {
  unsigned keys = 0;
  const bool left = (state & Button1Mask) != 0;
  const bool right = (state & Button3Mask) != 0;
  if ((left || pressed == Button1) && released != Button1) keys |= 0x1;
  if ((right || pressed == Button3) && released != Button3) keys |= 0x2;
  if (state & ShiftMask) keys |= 0x4;
  if (state & ControlMask) keys |= 0x8;
  return IMouseState::FromKeyState(keys, (state & Mod1Mask) != 0);
}

}  // namespace

IGraphicsX11::IGraphicsX11(plug::IPlugBase* plugin, int width, int height, int fps)
    : IGraphics(plugin, width, height, fps) {}

IGraphicsX11::~IGraphicsX11() { DestroyEditorWindow(false); }

bool IGraphicsX11::Viewable() const {
  XWindowAttributes attributes;
  return display_ && window_.load() &&
         XGetWindowAttributes(display_->Get(), window_.load(), &attributes) &&
         attributes.map_state == IsViewable;
}

bool IGraphicsX11::OnOwnThread() const {
  return ownerThread_ == static_cast<unsigned long>(pthread_self());
}

void* IGraphicsX11::GetWindow() const {
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window_.load()));
}

Window IGraphicsX11::TextEntryWindow() const { return entry_ ? entry_->Handle() : 0; }

std::string IGraphicsX11::TextEntryText() const { return entry_ ? entry_->Text() : std::string(); }

void* IGraphicsX11::OpenWindow(void* parentWindow) {
  int x = 0;
  int y = 0;
  if (window_.load() && display_) {
    // Opened again without a close: keep the place.
    Window root;
    unsigned w, h, border, depth;
    XGetGeometry(display_->Get(), window_.load(), &root, &x, &y, &w, &h, &border, &depth);
    CloseWindow();
  }
  const Window parent = static_cast<Window>(reinterpret_cast<uintptr_t>(parentWindow));
  if (!parent) return nullptr;
  display_ = X11Display::Open();
  if (!display_) return nullptr;
  ownerThread_ = static_cast<unsigned long>(pthread_self());
  Display* d = display_->Get();
  // The system's scale as this display tells it now; the editor takes the
  // scale its sources give before the window is made at its size.
  systemPercent_ = X11Display::ScalePercentOf(d);
  ApplyScale();
  // A parent that does not exist (or no longer does) gives no window.
  XWindowAttributes parentAttributes;
  const bool parentExists = XGetWindowAttributes(d, parent, &parentAttributes) != 0;
  Window window = 0;
  if (parentExists)
    window =
        display_->CreateWindow(parent, x, y, DeviceWidth(), DeviceHeight(), kEditorEvents, false);
  if (window) {
    XClassHint hint;
    hint.res_name = const_cast<char*>("IPlug");
    hint.res_class = const_cast<char*>("IPlugWndClass");
    XSetClassHint(d, window, &hint);
    XMapWindow(d, window);
  }
  display_->Sync();
  if (!parentExists || !window || display_->TakeErrors() > 0) {
    delete display_;
    display_ = nullptr;
    return nullptr;
  }
  parent_ = parent;
  window_.store(window);
  exposed_ = IRect();
  nextTickMs_ = X11Display::NowMs() + 1000 / std::max(fps_, 1);
  // Drawn from now on into pixels the server shares, where it can.
  PrepareDrawing();
  MarkAllDirty();
  return GetWindow();
}

void IGraphicsX11::CloseWindow() { DestroyEditorWindow(true); }

void IGraphicsX11::DestroyEditorWindow(bool endGesture) {
  const Window window = window_.load();
  if (!window || !display_) return;
  if (entry_) EndTextEntry(false);
  if (endGesture) EndGesture();
  Display* d = display_->Get();
  if (blankCursor_) XFreeCursor(d, blankCursor_);
  XDestroyWindow(d, window);
  ForgetWindow();
}

void IGraphicsX11::ForgetDestroyedWindow() {
  if (!window_.load()) return;
  // The field, a child, went with it.
  if (entry_) entry_->Forget();
  delete entry_;
  entry_ = nullptr;
  editState_ = 0;
  EndGesture();
  // The blank cursor, if any, goes with the connection.
  ForgetWindow();
}

void IGraphicsX11::ForgetWindow() {
  window_.store(0);
  // The shared pixels go while the connection is still open; the panel is
  // drawn whole when a window opens again.
  if (SharedDrawing()) PrepareDrawing();
  sharingRefused_ = false;
  parent_ = 0;
  blankCursor_ = 0;
  cursorHidden_ = false;
  buttonHeld_ = false;
  // A modal loop that is running still needs the connection to close its own
  // windows; it lets go of it when it ends.
  if (!modalRunning_) {
    delete display_;
    display_ = nullptr;
  }
}

bool IGraphicsX11::BlitToScreen(const IRect* r) {
  const Window window = window_.load();
  LICE_IBitmap* bitmap = DrawingBitmap();
  if (!window || !display_ || !r || !bitmap) return false;
  const IRect all(0, 0, bitmap->Width(), bitmap->Height());
  const IRect shown = ToDeviceCover(*r).Intersect(all);
  if (shown.Empty()) return true;
  X11SharedBitmap* shared = SharedDrawing();
  if (!shared || !shared->Put(window, shown.left, shown.top, shown.W(), shown.H()))
    display_->PutPixels(window, bitmap, shown.left, shown.top, shown.W(), shown.H(), shown.left,
                        shown.top);
  // Not flushed here: a tick puts several areas, and the event loops that
  // draw (RunEvents, the modal loops) flush once after it.
  return true;
}

LICE_IBitmap* IGraphicsX11::NewDrawingBitmap(int w, int h) {
  // Shared only while a window (and so the connection) is open: the bitmap
  // must go before the connection does.
  if (window_.load() && display_ && !sharingRefused_) {
    X11SharedBitmap* shared = X11SharedBitmap::Make(display_, w, h);
    if (shared) return shared;
    sharingRefused_ = true;
  }
  return IGraphics::NewDrawingBitmap(w, h);
}

void IGraphicsX11::BeforeDrawing(const IRect& area) {
  X11SharedBitmap* shared = SharedDrawing();
  if (shared) shared->WaitUntilRead(area);
}

X11SharedBitmap* IGraphicsX11::SharedDrawing() const {
  return dynamic_cast<X11SharedBitmap*>(DrawingBitmap());
}

void IGraphicsX11::Resize(int w, int h) {
  if (w == width_ && h == height_) return;
  IGraphics::Resize(w, h);
  const Window window = window_.load();
  if (!window || !display_) return;
  XResizeWindow(display_->Get(), window, static_cast<unsigned>(std::max(DeviceWidth(), 1)),
                static_cast<unsigned>(std::max(DeviceHeight(), 1)));
  exposed_ = IRect(0, 0, DeviceWidth(), DeviceHeight());
}

void IGraphicsX11::OnScaleChanged() {
  const Window window = window_.load();
  if (!window || !display_) return;
  XResizeWindow(display_->Get(), window, static_cast<unsigned>(DeviceWidth()),
                static_cast<unsigned>(DeviceHeight()));
  exposed_ = IRect(0, 0, DeviceWidth(), DeviceHeight());
}

int IGraphicsX11::SystemScalePercent() const {
  if (systemPercent_ == 0) {
    // Asked before any window (the host sizes its window first): a
    // connection of its own for the question.
    X11Display* display = X11Display::Open();
    systemPercent_ = display ? X11Display::ScalePercentOf(display->Get()) : 100;
    delete display;
  }
  return systemPercent_;
}

void IGraphicsX11::RunEvents() {
  if (!window_.load() || !display_ || modalRunning_ || !OnOwnThread()) return;
  while (display_ && XPending(display_->Get()) > 0) {
    XEvent event;
    XNextEvent(display_->Get(), &event);
    HandleEvent(&event);
  }
  if (!display_) return;
  PaintExposed();
  TickIfDue();
  if (display_) XFlush(display_->Get());
}

int IGraphicsX11::EventFileDescriptor() const {
  return window_.load() && display_ ? ConnectionNumber(display_->Get()) : -1;
}

int IGraphicsX11::EventIntervalMs() const { return 1000 / std::max(fps_, 1); }

void IGraphicsX11::RunModalLoop(X11ModalWindow* modal) {
  modalRunning_ = true;
  while (!modal->Done()) {
    if (!window_.load()) {
      modal->Abandon();
      break;
    }
    const long long wait = nextTickMs_ - X11Display::NowMs();
    if (display_->WaitForEvent(static_cast<int>(std::min<long long>(std::max(wait, 1LL), 40)))) {
      while (!modal->Done() && window_.load() && XPending(display_->Get()) > 0) {
        XEvent event;
        XNextEvent(display_->Get(), &event);
        if (event.xany.window != window_.load()) {
          modal->HandleEvent(&event);
        } else if (event.type == DestroyNotify) {
          ForgetDestroyedWindow();
        } else if (event.type == Expose) {
          // Input to the editor waits for the modal window; drawing goes on.
          exposed_ = exposed_.Union(IRect(event.xexpose.x, event.xexpose.y,
                                          event.xexpose.x + event.xexpose.width,
                                          event.xexpose.y + event.xexpose.height));
        } else if (X11SharedBitmap* shared = SharedDrawing()) {
          shared->TakeCompletion(event);
        }
      }
    }
    if (window_.load()) {
      PaintExposed();
      TickIfDue();
    }
  }
  modalRunning_ = false;
  XFlush(display_->Get());
  if (!window_.load()) {
    delete display_;
    display_ = nullptr;
  }
}

void IGraphicsX11::HandleEvent(XEvent* event) {
  const Window window = event->xany.window;
  if (window == window_.load()) {
    HandleEditorEvent(event);
    return;
  }
  if (!entry_ || window != entry_->Handle()) return;
  switch (event->type) {
    case KeyPress: {
      const int state = entry_->OnKey(&event->xkey);
      if (state != 0) editState_ = state;
      break;
    }
    case Expose:
      if (event->xexpose.count == 0) entry_->Paint();
      break;
    case FocusIn:
      if (event->xfocus.mode == NotifyNormal) editState_ = 1;
      break;
    case FocusOut:
      // The focus going elsewhere commits; what the field already decided
      // (Escape, Return) stands.
      if (event->xfocus.mode == NotifyNormal && event->xfocus.detail != NotifyInferior &&
          editState_ == 1)
        editState_ = 4;
      break;
    default:
      break;
  }
}

void IGraphicsX11::HandleEditorEvent(XEvent* event) {
  X11SharedBitmap* shared = SharedDrawing();
  if (shared && shared->TakeCompletion(*event)) return;
  if (event->type == DestroyNotify) {
    if (event->xdestroywindow.window == window_.load()) ForgetDestroyedWindow();
    return;
  }
  if (event->type == Expose) {
    exposed_ = exposed_.Union(IRect(event->xexpose.x, event->xexpose.y,
                                    event->xexpose.x + event->xexpose.width,
                                    event->xexpose.y + event->xexpose.height));
    return;
  }
  if (entry_ && editState_ == 1) {
    // The field has the focus: a click in the editor cancels it, and nothing
    // else reaches the controls.
    if (event->type == ButtonPress &&
        (event->xbutton.button == Button1 || event->xbutton.button == Button3))
      editState_ = 3;
    return;
  }
  switch (event->type) {
    case ButtonPress:
      if (event->xbutton.button == Button4 || event->xbutton.button == Button5) {
        OnWheel(event);
        break;
      }
      OnButtonPress(&event->xbutton);
      break;
    case ButtonRelease:
      OnButtonRelease(&event->xbutton);
      break;
    case MotionNotify: {
      // Only the latest position of a run of moves matters.
      Display* d = display_->Get();
      while (XEventsQueued(d, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(d, &next);
        if (next.type != MotionNotify || next.xany.window != event->xany.window) break;
        XNextEvent(d, event);
      }
      OnMotion(&event->xmotion);
      break;
    }
    case KeyPress:
      OnKeyPress(&event->xkey);
      break;
    case KeyRelease:
      PassKeyToHost(&event->xkey);
      break;
    case LeaveNotify:
      // The server took the press's grab away (another grab replaced ours,
      // or our window became unviewable under the drag, which it reports as
      // an ordinary leave): the release will go elsewhere, so the press ends
      // here. A drag that merely leaves the window keeps its grab.
      if (buttonHeld_ && (event->xcrossing.mode != NotifyNormal || !Viewable())) {
        buttonHeld_ = false;
        OnMouseCaptureLost();
      }
      // Leaving for a child (the text field) or while a button is held (the
      // drag goes on) is no mouse-out.
      if (event->xcrossing.detail != NotifyInferior && event->xcrossing.mode == NotifyNormal &&
          !(event->xcrossing.state & (Button1Mask | Button3Mask)))
        OnMouseOut();
      break;
    default:
      break;
  }
}

void IGraphicsX11::OnWheel(XEvent* event) {
  if (entry_) {
    editState_ = 3;
    return;
  }
  // X reports each notch as a press and release of button 4 (away from the
  // user) or 5; notches already queued together make one turn, as one wheel
  // message of several notches does on Windows.
  const unsigned button = event->xbutton.button;
  int notches = 1;
  Display* d = display_->Get();
  while (XEventsQueued(d, QueuedAlready) > 0) {
    XEvent next;
    XPeekEvent(d, &next);
    if ((next.type != ButtonPress && next.type != ButtonRelease) ||
        next.xbutton.window != event->xbutton.window || next.xbutton.button != button)
      break;
    XNextEvent(d, &next);
    if (next.type == ButtonPress) ++notches;
  }
  const IMouseState state = MouseState(event->xbutton.state, 0, 0);
  OnMouseWheel(ToLogical(event->xbutton.x), ToLogical(event->xbutton.y), &state,
               button == Button4 ? notches : -notches);
}

void IGraphicsX11::OnButtonPress(XButtonEvent* event) {
  const IMouseState state = MouseState(event->state, event->button, 0);
  if (event->button != Button1 && event->button != Button2 && event->button != Button3) return;
  if (entry_) {
    editState_ = 4;
    return;
  }
  XSetInputFocus(display_->Get(), window_.load(), RevertToParent, event->time);
  if (event->button == Button1) {
    const bool second = lastPressCounts_ && event->time - lastPressTime_ <= kDoubleClickMs &&
                        std::abs(event->x - lastPressX_) <= kDoubleClickPx &&
                        std::abs(event->y - lastPressY_) <= kDoubleClickPx;
    lastPressTime_ = event->time;
    lastPressX_ = event->x;
    lastPressY_ = event->y;
    // A third press starts a new click.
    lastPressCounts_ = !second;
    if (second) {
      buttonHeld_ = OnMouseDblClick(ToLogical(event->x), ToLogical(event->y), &state);
      return;
    }
  }
  buttonHeld_ = event->button != Button2;
  OnMouseDown(ToLogical(event->x), ToLogical(event->y), &state);
}

void IGraphicsX11::OnButtonRelease(XButtonEvent* event) {
  // The middle button's press reached the controls (it clicks but does not
  // drag): its release ends that press like the others.
  if (event->button != Button1 && event->button != Button2 && event->button != Button3) return;
  if (event->button != Button2) buttonHeld_ = false;
  const IMouseState state = MouseState(event->state, 0, event->button);
  OnMouseUp(ToLogical(event->x), ToLogical(event->y), &state);
  if (event->x < 0 || event->y < 0 || event->x >= DeviceWidth() || event->y >= DeviceHeight())
    OnMouseOut();
}

void IGraphicsX11::OnMotion(XMotionEvent* event) {
  const IMouseState state = MouseState(event->state, 0, 0);
  if (event->state & (Button1Mask | Button3Mask)) {
    if (buttonHeld_ && !entry_) OnMouseDrag(ToLogical(event->x), ToLogical(event->y), &state);
    return;
  }
  if (buttonHeld_) {
    // No button is down any more, and we never saw the release.
    buttonHeld_ = false;
    OnMouseCaptureLost();
  }
  OnMouseOver(ToLogical(event->x), ToLogical(event->y), &state);
}

void IGraphicsX11::OnKeyPress(XKeyEvent* event) {
  char text[8];
  const int key = KeyCodeOfVirtualKey(X11Display::VirtualKeyOf(event, text, sizeof text));
  if (key != kKeyNone && IGraphics::OnKeyDown(ToLogical(event->x), ToLogical(event->y), key))
    return;
  // Keys the editor has no use for belong to the host (transport, shortcuts).
  PassKeyToHost(event);
}

void IGraphicsX11::PassKeyToHost(XKeyEvent* event) {
  const Window main = GetMainWindow();
  if (!main || !display_) return;
  XEvent copy;
  copy.xkey = *event;
  copy.xkey.window = main;
  copy.xkey.subwindow = None;
  XSendEvent(display_->Get(), main, False, event->type == KeyPress ? KeyPressMask : KeyReleaseMask,
             &copy);
}

Window IGraphicsX11::GetMainWindow() {
  if (!display_ || !parent_) return 0;
  // The host's top-level: the highest ancestor a window manager knows as a
  // client (WM_STATE), else the ancestor just below the root.
  Display* d = display_->Get();
  const Atom wmState = XInternAtom(d, "WM_STATE", True);
  Window current = parent_;
  Window topmost = parent_;
  Window client = 0;
  for (int depth = 0; current && depth < 64; ++depth) {
    if (wmState) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(d, current, wmState, 0, 0, False, AnyPropertyType, &type, &format,
                             &items, &after, &data) == Success &&
          type != None)
        client = current;
      if (data) XFree(data);
    }
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, current, &root, &up, &children, &count)) break;
    if (children) XFree(children);
    if (!up || up == root) {
      topmost = current;
      break;
    }
    current = up;
  }
  return client ? client : topmost;
}

void IGraphicsX11::TickIfDue() {
  const long long period = 1000 / std::max(fps_, 1);
  const long long now = X11Display::NowMs();
  // Hosts call at about the frame rate: a call a little early still ticks.
  if (now + period / 4 < nextTickMs_) return;
  nextTickMs_ += period;
  if (nextTickMs_ < now) nextTickMs_ = now + period;
  OnTimer();
}

void IGraphicsX11::OnTimer() {
  if (!window_.load()) return;
  if (entry_ && editState_ != 0) {
    if (editState_ == 3) {
      EndTextEntry(false);
    } else if (editState_ == 4) {
      EndTextEntry(true);
    } else if (editState_ == 2) {
      editState_ = 0;
    }
    return;
  }
  IDirtyList dirty;
  if (!CollectDirty(&dirty)) return;
  // The field is a window of its own: drawing beneath it leaves it alone.
  Redraw(dirty);
  if (entry_) editState_ = 2;
}

void IGraphicsX11::PaintExposed() {
  if (exposed_.Empty() || (entry_ && editState_ == 1)) return;
  // Exposure comes in device pixels.
  const IRect update = ToLogicalCover(exposed_);
  exposed_ = IRect();
  Redraw(&update);
}

}  // namespace graphics
