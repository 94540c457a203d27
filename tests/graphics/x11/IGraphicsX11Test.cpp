// The X11 window layer as a host meets it: a real top-level X window as
// parent, the editor as its child on a connection of its own, its events run
// from the host's idle calls, and real input through the X server (XTest) on
// a virtual display. The same script as the Windows layer's tests. Menus and
// message boxes run their own modal loops on the calling thread; the keys for
// them come from a helper thread with a connection of its own.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format off
#include "graphics/GraphicsFixture.h"
// clang-format on
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11SharedBitmap.h"
#include "plug/IParameter.h"
#include "tools/vsthost/X11Windows.h"

namespace graphics_test {
namespace {

using graphics::IGraphicsX11;
using graphics::IRect;

constexpr int kEditorW = 400;
constexpr int kEditorH = 200;
constexpr int kHostX = 60;
constexpr int kHostY = 60;
// Windows' answers and box type.
constexpr int kYesNo = 4;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

KeySym KeysymOf(int vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + static_cast<KeySym>(vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + static_cast<KeySym>(vk - '0');
  switch (vk) {
    case 0x08:
      return XK_BackSpace;
    case 0x0D:
      return XK_Return;
    case 0x10:
      return XK_Shift_L;
    case 0x1B:
      return XK_Escape;
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
    case 0x74:
      return XK_F5;
    case 0xBE:
      return XK_period;
    default:
      return NoSymbol;
  }
}

// Moves the pointer to (x, y) of the window named "host", from a helper's
// connection.
void MoveInHost(Display* d, int x, int y) {
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(d, vsthost::FindNamedWindow(d, "host"), DefaultRootWindow(d), x, y, &rootX,
                        &rootY, &child);
  XTestFakeMotionEvent(d, DefaultScreen(d), rootX, rootY, CurrentTime);
  XFlush(d);
  SleepMs(30);
}

void FakeButton(Display* d, unsigned button, bool down) {
  XTestFakeButtonEvent(d, button, down ? True : False, CurrentTime);
  XFlush(d);
  SleepMs(30);
}

void SendKey(Display* d, int vk, bool shift = false) {
  const KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(d, KeysymOf(vk));
  if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
  XFlush(d);
}

class X11WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostLog::current = &log_;
    display_ = vsthost::ConnectX11();
    ASSERT_NE(display_, nullptr) << "no X display";
    host_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), kHostX, kHostY,
                                kEditorW + 100, kEditorH + 100, 0, 0, 0x808080);
    XStoreName(display_, host_, "host");
    XSelectInput(display_, host_, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(display_, host_);
    XSync(display_, False);
    // Park the pointer away from where the tests work.
    XTestFakeMotionEvent(display_, DefaultScreen(display_), 5, 5, CurrentTime);
    Pump(50);
    editor_ = new IGraphicsX11(&plug_, kEditorW, kEditorH);
    plug_.AttachEditor(editor_);
    panel_.Attach(editor_, &plug_, kYesNo);
  }
  void TearDown() override {
    JoinLater();
    if (editor_) editor_->CloseWindow();
    if (display_) {
      if (host_) XDestroyWindow(display_, host_);
      XCloseDisplay(display_);
    }
    HostLog::current = nullptr;
  }
  // The host's side of a running editor: its own window's events, and the
  // editor's idle call every few milliseconds.
  void Pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != KeyPress && event.type != KeyRelease) continue;
        char text[8];
        const int vk = graphics::X11Display::VirtualKeyOf(&event.xkey, text, sizeof text);
        hostKeys_.push_back((event.type == KeyPress ? "down " : "up ") + std::to_string(vk));
      }
      if (editor_) editor_->RunEvents();
      SleepMs(2);
    } while (std::chrono::steady_clock::now() < end);
  }
  Window Open() {
    const Window w = static_cast<Window>(reinterpret_cast<uintptr_t>(
        editor_->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host_)))));
    Pump(150);  // a few timer ticks
    return w;
  }
  Window EditorWindow() const {
    return static_cast<Window>(reinterpret_cast<uintptr_t>(editor_->GetWindow()));
  }
  void MoveTo(int x, int y) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display_, host_, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XFlush(display_);
    Pump(30);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
    XFlush(display_);
  }
  // Press and release at an editor point, then wait out the double-click time
  // so the next click is a click of its own. Work started with Later ends
  // before this returns.
  void ClickAt(int x, int y, unsigned button = 1) {
    MoveTo(x, y);
    Button(button, true);
    Pump(30);
    Button(button, false);
    Pump(IGraphicsX11::kDoubleClickMs + 50);
    JoinLater();
  }
  void Key(int vk, bool shift = false) {
    SendKey(display_, vk, shift);
    Pump(30);
  }
  // Work for the next modal loop, from a helper thread with a connection of
  // its own (the work waits for the loop's window itself).
  void Later(std::function<void(Display*)> work) {
    JoinLater();
    later_ = std::thread([work] {
      Display* own = vsthost::ConnectX11();
      if (!own) return;
      work(own);
      XCloseDisplay(own);
    });
  }
  void JoinLater() {
    if (later_.joinable()) later_.join();
  }
  LICE_pixel WindowPixel(int x, int y) {
    XImage* image = XGetImage(display_, EditorWindow(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    const LICE_pixel p = static_cast<LICE_pixel>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return p;
  }

  HostLog log_;
  GraphicsPlug plug_;
  IGraphicsX11* editor_ = nullptr;  // owned by plug_
  Display* display_ = nullptr;
  Window host_ = 0;
  std::vector<std::string> hostKeys_;
  std::thread later_;
  ProbePanel panel_;
};

TEST_F(X11WindowTest, TheEditorIsAChildOfTheHostWindowAndDrawsOnItsTimer) {
  editor_->SetParameterFromPlugin(0, 0.0, true);  // the control's first value
  const Window w = Open();
  ASSERT_NE(w, 0u);
  EXPECT_EQ(vsthost::ChildWindows(display_, host_), std::vector<Window>{w});
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display_, w, &attributes));
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(attributes.width, kEditorW);
  EXPECT_EQ(attributes.height, kEditorH);
  XClassHint hint = {};
  ASSERT_TRUE(XGetClassHint(display_, w, &hint));
  EXPECT_STREQ(hint.res_class, "IPlugWndClass");
  XFree(hint.res_name);
  XFree(hint.res_class);
  EXPECT_TRUE(editor_->IsWindowOpen());
  // The probes' colour is on screen.
  EXPECT_EQ(WindowPixel(80, 20), 0x102030u);
  EXPECT_EQ(WindowPixel(kEditorW - 1, kEditorH - 1), 0x102030u);
  // A value set from the plug-in's side is drawn within two timer ticks.
  editor_->SetParameterFromPlugin(0, 1.0, true);
  Pump(2 * 40 + 20);
  EXPECT_EQ(WindowPixel(20, 20), 0xFFFFFFu);
}

// Shared memory segments mapped into this process.
int SharedSegmentsMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  int count = 0;
  while (std::getline(maps, line)) count += line.find("/SYSV") != std::string::npos;
  return count;
}

TEST_F(X11WindowTest, TheEditorDrawsIntoPixelsSharedWithTheServerWhileItsWindowIsOpen) {
  using graphics::X11SharedBitmap;
  EXPECT_EQ(dynamic_cast<X11SharedBitmap*>(editor_->DrawingBitmap()), nullptr);
  const int segmentsBefore = SharedSegmentsMapped();
  editor_->SetParameterFromPlugin(0, 0.0, true);  // the control's first value
  ASSERT_NE(Open(), 0u);
  // The virtual display shares memory.
  X11SharedBitmap* shared = dynamic_cast<X11SharedBitmap*>(editor_->DrawingBitmap());
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(SharedSegmentsMapped(), segmentsBefore + 1);
  EXPECT_EQ(WindowPixel(kEditorW - 1, kEditorH - 1), 0x102030u);
  // A value drawn on a timer tick reaches the window through them.
  editor_->SetParameterFromPlugin(0, 1.0, true);
  Pump(2 * 40 + 20);
  EXPECT_EQ(WindowPixel(20, 20), 0xFFFFFFu);
  EXPECT_EQ(shared->PutsInFlight(), 0);
  // A new size while open: shared pixels of that size, drawn whole, and the
  // old segment gone.
  editor_->SetUserScalePercent(200);
  Pump(150);
  shared = dynamic_cast<X11SharedBitmap*>(editor_->DrawingBitmap());
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->Width(), 2 * kEditorW);
  EXPECT_EQ(SharedSegmentsMapped(), segmentsBefore + 1);
  EXPECT_EQ(WindowPixel(2 * 20, 2 * 20), 0xFFFFFFu);
  EXPECT_EQ(WindowPixel(kEditorW + 50, kEditorH + 50), 0x102030u);
  // Closing lets the segment go with the connection.
  editor_->CloseWindow();
  EXPECT_EQ(dynamic_cast<X11SharedBitmap*>(editor_->DrawingBitmap()), nullptr);
  EXPECT_EQ(SharedSegmentsMapped(), segmentsBefore);
  EXPECT_NE(editor_->DrawingBitmap(), nullptr);
}

// A virtual X server of its own without the shared-memory extension, on a
// display number the shared servers do not use; DISPLAY names it while the
// object lives.
class ServerWithoutSharedMemory {
 public:
  ServerWithoutSharedMemory() {
    const char* old = std::getenv("DISPLAY");
    oldDisplay_ = old ? old : "";
    for (int n = 300; n < 400 && pid_ <= 0; ++n) {
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
      const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      if (access(socket.c_str(), F_OK) == 0 || access(lock.c_str(), F_OK) == 0) continue;
      const std::string display = ":" + std::to_string(n);
      const pid_t pid = fork();
      if (pid == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "800x600x24", "-extension",
               "MIT-SHM", "-noreset", "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
      }
      for (int i = 0; i < 200 && access(socket.c_str(), F_OK) != 0; ++i) SleepMs(20);
      if (access(socket.c_str(), F_OK) == 0) {
        pid_ = pid;
        setenv("DISPLAY", display.c_str(), 1);
      } else if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
      }
    }
  }
  ~ServerWithoutSharedMemory() {
    setenv("DISPLAY", oldDisplay_.c_str(), 1);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Running() const { return pid_ > 0; }

 private:
  std::string oldDisplay_;
  pid_t pid_ = -1;
};

TEST(X11WithoutSharedMemory, TheEditorDrawsIntoItsOwnPixelsAndPutsThemThroughTheConnection) {
  ServerWithoutSharedMemory server;
  ASSERT_TRUE(server.Running());
  Display* d = vsthost::ConnectX11();
  ASSERT_NE(d, nullptr);
  const Window host =
      XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, kEditorW, kEditorH, 0, 0, 0x808080);
  XMapWindow(d, host);
  XSync(d, False);
  HostLog log;
  HostLog::current = &log;
  {
    GraphicsPlug plug;
    IGraphicsX11* editor = new IGraphicsX11(&plug, kEditorW, kEditorH);
    plug.AttachEditor(editor);
    ProbePanel panel;
    panel.Attach(editor, &plug, kYesNo);
    ASSERT_NE(editor->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host))), nullptr);
    for (int i = 0; i < 10; ++i) {
      editor->RunEvents();
      SleepMs(20);
    }
    EXPECT_EQ(dynamic_cast<graphics::X11SharedBitmap*>(editor->DrawingBitmap()), nullptr);
    ASSERT_NE(editor->DrawingBitmap(), nullptr);
    XImage* image =
        XGetImage(d, static_cast<Window>(reinterpret_cast<uintptr_t>(editor->GetWindow())),
                  kEditorW - 1, kEditorH - 1, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFFu, 0x102030u);
    XDestroyImage(image);
    editor->CloseWindow();
  }
  HostLog::current = nullptr;
  XDestroyWindow(d, host);
  XCloseDisplay(d);
}

TEST_F(X11WindowTest, EditorsOfTwoInstancesLiveSideBySideAndOpeningTwiceKeepsOneWindow) {
  GraphicsPlug other;
  IGraphicsX11* second = new IGraphicsX11(&other, 100, 50);
  other.AttachEditor(second);
  Open();
  ASSERT_NE(second->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host_))), nullptr);
  EXPECT_EQ(vsthost::ChildWindows(display_, host_).size(), 2u);
  second->CloseWindow();
  EXPECT_FALSE(second->IsWindowOpen());
  // The first editor still draws.
  editor_->SetParameterFromPlugin(0, 1.0, true);
  Pump(100);
  EXPECT_EQ(WindowPixel(20, 20), 0xFFFFFFu);
  // Closing twice, and opening twice without a close, are harmless.
  editor_->CloseWindow();
  editor_->CloseWindow();
  XSync(display_, False);
  EXPECT_TRUE(vsthost::ChildWindows(display_, host_).empty());
  Open();
  Open();
  EXPECT_EQ(vsthost::ChildWindows(display_, host_).size(), 1u);
}

TEST_F(X11WindowTest, WithoutAParentADisplayOrAWindowThatExistsNoWindowIsMade) {
  EXPECT_EQ(editor_->OpenWindow(nullptr), nullptr);
  // An id no window has.
  EXPECT_EQ(editor_->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host_ + 0x7777))),
            nullptr);
  const std::string display = std::getenv("DISPLAY");
  unsetenv("DISPLAY");
  EXPECT_EQ(editor_->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host_))), nullptr);
  setenv("DISPLAY", ":7", 1);  // no server there
  EXPECT_EQ(editor_->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(host_))), nullptr);
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_FALSE(editor_->IsWindowOpen());
  // Drawing and values go on without a window.
  editor_->SetParameterFromPlugin(0, 1.0, true);
  EXPECT_TRUE(panel_.knob->IsDirty());
}

TEST_F(X11WindowTest, ADragThatLeavesTheWindowStaysWithTheControl) {
  Open();
  MoveTo(30, 30);
  Button(1, true);
  Pump(30);
  MoveTo(30, 25);
  MoveTo(kEditorW + 50, -20);  // beyond the right edge, above the top
  Button(1, false);
  Pump(50);
  ASSERT_GE(panel_.knob->log.size(), 4u);
  EXPECT_EQ(panel_.knob->log.front(), "down 30,30");
  EXPECT_EQ(panel_.knob->log[1], "drag 0,-5");
  EXPECT_EQ(panel_.knob->log[2], "drag " + std::to_string(kEditorW + 20) + ",-45");
  EXPECT_EQ(panel_.knob->log[3], "up");
  EXPECT_EQ(log_.Joined(), "b0 a0 a0 e0");
  // Released outside: the control hears the mouse leave.
  EXPECT_EQ(panel_.knob->log.back(), "out");
}

TEST(X11SystemScale, XftDpiGivesTheScaleAndAnythingElse96Dpi) {
  using graphics::X11Display;
  EXPECT_EQ(X11Display::ScalePercentOfResources("Xft.dpi:\t144\n"), 150);
  EXPECT_EQ(X11Display::ScalePercentOfResources("*.font: x\nXft.dpi:\t192\nXft.hinting: 1\n"), 200);
  EXPECT_EQ(X11Display::ScalePercentOfResources("Xft.dpi: 96"), 100);
  for (const char* other : {"", "Xft.hinting: 1\n", "Xft.dpi:\tabc\n", "Xft.dpi:\t-96\n",
                            "Xft.dpi:\t1e300\n", "Xft.dpi:\n", "XXft.dpi: 192\n"})
    EXPECT_EQ(X11Display::ScalePercentOfResources(other), 100) << other;
  EXPECT_EQ(X11Display::ScalePercentOfResources(nullptr), 100);
}

// The desktop's Xft.dpi of 192 on the display opens the editor at 200 %;
// the pointer's device positions reach the controls as logical ones.
TEST_F(X11WindowTest, TheDisplaysXftDpiScalesTheEditorAndInputStaysLogical) {
  const char resources[] = "Xft.dpi:\t192\n";
  const Window root = DefaultRootWindow(display_);
  XChangeProperty(display_, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources), sizeof resources - 1);
  XSync(display_, False);
  const Window w = Open();
  XDeleteProperty(display_, root, XA_RESOURCE_MANAGER);
  XSync(display_, False);
  ASSERT_NE(w, 0u);
  EXPECT_EQ(editor_->ScalePercent(), 200);
  XWindowAttributes attributes = {};
  XGetWindowAttributes(display_, w, &attributes);
  EXPECT_EQ(attributes.width, 2 * kEditorW);
  EXPECT_EQ(attributes.height, 2 * kEditorH);
  MoveTo(61, 61);
  Button(1, true);
  Pump(30);
  MoveTo(61, 51);
  Button(1, false);
  Pump(50);
  ASSERT_GE(panel_.knob->log.size(), 3u);
  EXPECT_EQ(panel_.knob->log[0], "down 30,30");
  EXPECT_EQ(panel_.knob->log[1], "drag 0,-5");
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
}

TEST_F(X11WindowTest, TheMouseOverAndOutReachTheControlUnderThePointer) {
  editor_->SetHandleMouseOver(true);
  Open();
  MoveTo(30, 30);
  MoveTo(32, 30);
  MoveTo(kEditorW + 50, 30);  // out of the editor, into the host window
  EXPECT_EQ(panel_.knob->log, (std::vector<std::string>{"over", "over", "out"}));
}

TEST_F(X11WindowTest, ADoubleClickIsAPressSoonAfterAnotherInOnePlace) {
  Open();
  panel_.knob->SetValueFromPlugin(0.25);
  panel_.knob->SetValue(0.5);
  MoveTo(30, 30);
  for (int i = 0; i < 2; ++i) {
    Button(1, true);
    Button(1, false);
  }
  Pump(100);
  EXPECT_EQ(panel_.knob->Value(), 0.25);
  EXPECT_EQ(log_.Joined(), "b0 e0 b0 a0 e0");
  // Two presses further apart in time are two clicks.
  log_.Clear();
  Pump(IGraphicsX11::kDoubleClickMs + 50);
  Button(1, true);
  Button(1, false);
  Pump(IGraphicsX11::kDoubleClickMs + 50);
  Button(1, true);
  Button(1, false);
  Pump(50);
  EXPECT_EQ(log_.Joined(), "b0 e0 b0 e0");
}

TEST_F(X11WindowTest, TheMiddleButtonClicksAndItsReleaseEndsTheGesture) {
  Open();
  MoveTo(30, 30);
  Button(2, true);
  Pump(30);
  Button(2, false);
  Pump(50);
  EXPECT_EQ(panel_.knob->log, (std::vector<std::string>{"down 30,30", "up"}));
  EXPECT_EQ(log_.Joined(), "b0 e0");
}

TEST_F(X11WindowTest, ADragWhoseGrabTheServerTakesAwayEndsAtOnce) {
  Open();
  MoveTo(30, 30);
  Button(1, true);
  Pump(30);
  MoveTo(30, 20);
  // The host hides its window under the drag: the server lets go of the
  // editor's grab, and the release will go elsewhere.
  XUnmapWindow(display_, host_);
  XSync(display_, False);
  Pump(50);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
  EXPECT_EQ(panel_.knob->log.back(), "up");
  Button(1, false);
  XMapWindow(display_, host_);
  XSync(display_, False);
  MoveTo(32, 32);
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
}

TEST_F(X11WindowTest, TheWheelTurnsTheControlUnderThePointer) {
  Open();
  MoveTo(30, 30);
  for (int i = 0; i < 2; ++i) {
    Button(4, true);
    Button(4, false);
  }
  // Both notches on their way to the editor before it reads its events, so
  // that they are queued together (under load they could arrive apart).
  XSync(display_, False);
  Pump(50);
  ASSERT_FALSE(panel_.knob->log.empty());
  EXPECT_EQ(panel_.knob->log.back(), "wheel 2");
  EXPECT_EQ(log_.Joined(), "b0 a0 e0");
  Button(5, true);
  Button(5, false);
  Pump(50);
  EXPECT_EQ(panel_.knob->log.back(), "wheel -1");
}

TEST_F(X11WindowTest, KeysReachTheControlUnderThePointerOrTheHost) {
  Open();
  ClickAt(30, 30);  // the editor takes the keyboard focus
  panel_.knob->log.clear();
  hostKeys_.clear();
  panel_.knob->keyHandled = true;
  Key('A');
  Key('A', true);
  Key(0x26);  // up
  EXPECT_EQ(panel_.knob->log, (std::vector<std::string>{"key 15", "key 15", "key 1"}));
  // Key releases, keys no control wants and keys the editor has no code for
  // go on to the host's window.
  panel_.knob->keyHandled = false;
  Key('B');
  Key(0x74);  // F5 is 0x74, which counts as a letter key, like 0x61 to 0x7A
  Key(0x24);  // Home: no key code, never offered to a control
  Pump(50);
  ASSERT_EQ(panel_.knob->log.size(), 5u);
  EXPECT_EQ(panel_.knob->log[3], "key 16");
  EXPECT_EQ(panel_.knob->log[4], "key 34");
  EXPECT_EQ(hostKeys_,
            (std::vector<std::string>{"up 65", "down 16", "up 65", "up 16", "up 38", "down 66",
                                      "up 66", "down 116", "up 116", "down 36", "up 36"}));
}

TEST_F(X11WindowTest, APopupMenuIsDrivenByKeys) {
  Open();
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    SendKey(d, 0x28);
    SendKey(d, 0x28);
    SendKey(d, 0x0D);
  });
  ClickAt(90, 30);
  EXPECT_EQ(panel_.menu->chosenMenu, "main");
  EXPECT_EQ(panel_.menu->chosenItem, 1);
  EXPECT_EQ(plug_.GetParam(1)->Value(), 1.0);  // 0.5 of 0..2
  EXPECT_EQ(log_.Joined(), "b1 a1 e1");
  // Escape closes it without a choice; the gesture still ends.
  log_.Clear();
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    SendKey(d, 0x1B);
  });
  ClickAt(90, 30);
  EXPECT_EQ(panel_.menu->chosenItem, -1);
  EXPECT_EQ(log_.Joined(), "b1 e1");
}

TEST_F(X11WindowTest, APopupMenuIsDrivenByTheMouse) {
  Open();
  // The menu opens below the control's left-bottom corner (70, 60); its
  // second item lies about 30 pixels further down. The press that opened
  // the menu ends first, as a user's does.
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    int x = 0, y = 0;
    Window child;
    Window host = vsthost::FindNamedWindow(d, "host");
    XTranslateCoordinates(d, host, DefaultRootWindow(d), 90, 60 + 30, &x, &y, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XFlush(d);
  });
  ClickAt(90, 30);
  EXPECT_EQ(panel_.menu->chosenItem, 1);
  // A press outside the menu closes it without a choice.
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XTestFakeMotionEvent(d, DefaultScreen(d), 5, 5, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XFlush(d);
  });
  ClickAt(90, 30);
  EXPECT_EQ(panel_.menu->chosenItem, -1);
}

// The menu probe opens its menu with the corner at the pointer, as the
// maker's menus do: item "one" lies from 1 to 21 pixels below the pointer,
// "two" from 21 to 41.
class X11MenuAtPointerTest : public X11WindowTest {
 protected:
  void SetUp() override {
    X11WindowTest::SetUp();
    panel_.menu->onPress = ProbeControl::OnPress::kMenuAtPointer;
  }
  // A press on the menu probe at (x, y) that runs the menu's whole loop; the
  // release and the rest come from the helper given with Later.
  void PressMenu(int x, int y) {
    MoveTo(x, y);
    Button(1, true);
    Pump(30);
    JoinLater();
    Pump(IGraphicsX11::kDoubleClickMs + 50);
  }
};

TEST_F(X11MenuAtPointerTest, PressDragReleaseChoosesWhereTheDragEnds) {
  Open();
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    MoveInHost(d, 92, 30 + 12);
    MoveInHost(d, 92, 30 + 31);  // onto "two", the opening press still down
    FakeButton(d, 1, false);
  });
  PressMenu(90, 30);
  EXPECT_EQ(panel_.menu->chosenItem, 1);
  EXPECT_EQ(log_.Joined(), "b1 a1 e1");
  // Dragged off the menu, the release closes it without a choice.
  log_.Clear();
  bool openAfterTheRelease = true;
  Later([&openAfterTheRelease](Display* d) {
    vsthost::WaitForWindow(d);
    MoveInHost(d, 90, 30 + 20);
    MoveInHost(d, 20, 150);
    FakeButton(d, 1, false);
    SleepMs(100);
    openAfterTheRelease = vsthost::PopupMenuShown(d);
    if (openAfterTheRelease) SendKey(d, 0x1B);
  });
  PressMenu(90, 30);
  EXPECT_FALSE(openAfterTheRelease);
  EXPECT_EQ(panel_.menu->chosenItem, -1);
  EXPECT_EQ(log_.Joined(), "b1 e1");
}

TEST_F(X11MenuAtPointerTest, TheOpeningClickChoosesNothingEvenWithAShakyHand) {
  Open();
  // Click-move-click: the opening press ends a pixel or two away, over the
  // first item; the menu stays open until a later click chooses.
  bool openAfterTheClick = false;
  Later([&openAfterTheClick](Display* d) {
    vsthost::WaitForWindow(d);
    MoveInHost(d, 91, 32);
    FakeButton(d, 1, false);
    SleepMs(100);
    openAfterTheClick = vsthost::PopupMenuShown(d);
    MoveInHost(d, 95, 30 + 31);
    FakeButton(d, 1, true);
    FakeButton(d, 1, false);
  });
  PressMenu(90, 30);
  EXPECT_TRUE(openAfterTheClick);
  EXPECT_EQ(panel_.menu->chosenItem, 1);
  EXPECT_EQ(log_.Joined(), "b1 a1 e1");
}

TEST_F(X11MenuAtPointerTest, AMenuMovedBackOverAStillPointerNearTheScreenEdgeChoosesNothing) {
  // The host window in the bottom-right corner: the menu opened at (110, 50)
  // does not fit below or to the right of the pointer and is moved back over
  // it, so the pointer starts over its second item.
  const int screenW = DisplayWidth(display_, DefaultScreen(display_));
  const int screenH = DisplayHeight(display_, DefaultScreen(display_));
  XMoveWindow(display_, host_, screenW - 120, screenH - 64);
  XSync(display_, False);
  Pump(50);
  Open();
  bool openAfterTheClick = false;
  Later([&openAfterTheClick](Display* d) {
    vsthost::WaitForWindow(d);
    FakeButton(d, 1, false);
    SleepMs(100);
    openAfterTheClick = vsthost::PopupMenuShown(d);
    if (openAfterTheClick) SendKey(d, 0x1B);
  });
  PressMenu(110, 50);
  EXPECT_TRUE(openAfterTheClick);
  EXPECT_EQ(panel_.menu->chosenItem, -1);
  EXPECT_EQ(log_.Joined(), "b1 e1");
}

TEST_F(X11WindowTest, ASubMenuChoiceComesBackRelativeToTheSubMenu) {
  Open();
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    SendKey(d, 0x28);
    SendKey(d, 0x28);
    SendKey(d, 0x27);  // opens "more" on its first item
    SendKey(d, 0x28);
    SendKey(d, 0x0D);
  });
  ClickAt(270, 30);
  EXPECT_EQ(panel_.sub->chosenMenu, "more");
  EXPECT_EQ(panel_.sub->chosenItem, 1);
}

TEST_F(X11WindowTest, AMessageBoxIsOwnedByTheHostWindowAndAnswered) {
  Open();
  Window owner = 0;
  Later([&owner](Display* d) {
    vsthost::WaitForWindow(d, "caption");
    SleepMs(100);  // mapped and given the focus
    const Window box = vsthost::FindNamedWindow(d, "caption");
    if (box) XGetTransientForHint(d, box, &owner);
    SendKey(d, 'N');
  });
  ClickAt(210, 30);
  EXPECT_EQ(owner, host_);
  EXPECT_EQ(panel_.box->messageBoxAnswer, kIdNo);
  Later([](Display* d) {
    vsthost::WaitForWindow(d, "caption");
    SleepMs(100);
    SendKey(d, 0x0D);  // Yes is the default button
  });
  ClickAt(210, 30);
  EXPECT_EQ(panel_.box->messageBoxAnswer, kIdYes);
  EXPECT_EQ(vsthost::FindNamedWindow(display_, "caption"), 0u);
}

// The rightmost inked column of each line of text in a window's top part,
// line by line from the top (rows with ink, separated by rows without).
std::vector<int> RightEdgesOfTextLines(Display* d, Window w, int rows) {
  std::vector<int> edges;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, w, &attributes)) return edges;
  rows = std::min(rows, attributes.height);
  XImage* image = XGetImage(d, w, 0, 0, attributes.width, rows, AllPlanes, ZPixmap);
  if (!image) return edges;
  bool inLine = false;
  for (int y = 0; y < rows; ++y) {
    int right = -1;
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 0x80) right = x;
    }
    if (right >= 0 && !inLine) edges.push_back(right);
    if (right >= 0) edges.back() = std::max(edges.back(), right);
    inLine = right >= 0;
  }
  XDestroyImage(image);
  return edges;
}

TEST_F(X11WindowTest, AMessageBoxLaysOutTabsInColumns) {
  panel_.box->messageBoxType = 0;
  // The update check's lines, with a bar for the version.
  panel_.box->messageBoxText = "\tYour version: \t|\n\tNew version: \t|";
  Open();
  std::vector<int> edges;
  Later([&edges](Display* d) {
    vsthost::WaitForWindow(d, "caption");
    SleepMs(100);  // painted
    edges = RightEdgesOfTextLines(d, vsthost::FindNamedWindow(d, "caption"), 60);
    SendKey(d, 0x0D);
  });
  ClickAt(210, 30);
  ASSERT_EQ(edges.size(), 2u);
  // Both bars stand in the column after the labels.
  EXPECT_EQ(edges[0], edges[1]);
}

TEST_F(X11WindowTest, ATextEntryIsCommittedWithReturnAndKeepsOnlyNumberCharacters) {
  Open();
  ClickAt(150, 30);
  const Window field = editor_->TextEntryWindow();
  ASSERT_NE(field, 0u);
  EXPECT_EQ(vsthost::ChildWindows(display_, EditorWindow()), std::vector<Window>{field});
  EXPECT_EQ(editor_->EditState(), 1);
  Key(0x08);  // BackSpace: the selected text goes
  for (int vk : {int('1'), int('X'), 0xBE, int('5')}) Key(vk);
  EXPECT_EQ(editor_->TextEntryText(), "1.5");
  Key(0x0D);
  Pump(150);
  EXPECT_EQ(editor_->TextEntryWindow(), 0u);
  EXPECT_EQ(editor_->EditState(), 0);
  EXPECT_DOUBLE_EQ(plug_.GetParam(2)->Value(), 1.5);
  EXPECT_EQ(log_.Joined(), "b2 e2 b2 a2 e2");
}

TEST_F(X11WindowTest, ATextEntryIsCancelledWithEscapeOrAClickInTheEditor) {
  Open();
  ClickAt(150, 30);
  ASSERT_NE(editor_->TextEntryWindow(), 0u);
  Key('7');
  Key(0x1B);
  Pump(150);
  EXPECT_EQ(editor_->TextEntryWindow(), 0u);
  EXPECT_EQ(plug_.GetParam(2)->Value(), 0.0);
  // While the field has the focus, a click elsewhere in the editor cancels it
  // and reaches no control.
  ClickAt(150, 30);
  ASSERT_NE(editor_->TextEntryWindow(), 0u);
  Key('3');
  const size_t knobEvents = panel_.knob->log.size();
  ClickAt(30, 30);
  Pump(100);
  EXPECT_EQ(editor_->TextEntryWindow(), 0u);
  EXPECT_EQ(panel_.knob->log.size(), knobEvents);
  EXPECT_EQ(plug_.GetParam(2)->Value(), 0.0);
}

TEST_F(X11WindowTest, ClosingWithATextEntryOpenIsSafe) {
  Open();
  ClickAt(150, 30);
  ASSERT_NE(editor_->TextEntryWindow(), 0u);
  editor_->CloseWindow();
  XSync(display_, False);
  EXPECT_EQ(editor_->TextEntryWindow(), 0u);
  EXPECT_TRUE(vsthost::ChildWindows(display_, host_).empty());
}

TEST_F(X11WindowTest, AHostThatDestroysItsWindowLeavesNoEditorWindowBehind) {
  Open();
  XDestroyWindow(display_, host_);
  host_ = 0;
  Pump(50);
  EXPECT_FALSE(editor_->IsWindowOpen());
  editor_->CloseWindow();  // nothing left to close
}

TEST_F(X11WindowTest, AHostThatDestroysItsWindowUnderAnOpenMenuEndsTheMenu) {
  Open();
  Later([](Display* d) {
    vsthost::WaitForWindow(d);
    XDestroyWindow(d, vsthost::FindNamedWindow(d, "host"));
    XSync(d, False);
  });
  ClickAt(90, 30);
  host_ = 0;
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(panel_.menu->chosenItem, -1);
  EXPECT_EQ(log_.Joined(), "b1 e1");
}

// Another program holding the clipboard until it has answered one request
// (or for at most three seconds).
std::thread OfferClipboard(const char* text) {
  Display* d = vsthost::ConnectX11();
  if (!d) return std::thread();
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  XSetSelectionOwner(d, clipboard, w, CurrentTime);
  XSync(d, False);
  return std::thread([d, w, text, utf8] {
    bool served = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!served && std::chrono::steady_clock::now() < end) {
      if (XPending(d) == 0) {
        SleepMs(2);
        continue;
      }
      XEvent event;
      XNextEvent(d, &event);
      if (event.type != SelectionRequest) continue;
      const XSelectionRequestEvent& request = event.xselectionrequest;
      XChangeProperty(d, request.requestor, request.property, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text),
                      static_cast<int>(std::strlen(text)));
      XEvent reply = {};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = request.requestor;
      reply.xselection.selection = request.selection;
      reply.xselection.target = request.target;
      reply.xselection.property = request.property;
      reply.xselection.time = request.time;
      XSendEvent(d, request.requestor, False, 0, &reply);
      XSync(d, False);
      served = true;
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
  });
}

TEST_F(X11WindowTest, ClipboardTextComesFromTheProgramThatHoldsIt) {
  Open();
  std::thread owner = OfferClipboard("copied 1.5");
  ASSERT_TRUE(owner.joinable());
  std::string text;
  EXPECT_TRUE(editor_->GetClipboardText(&text));
  EXPECT_EQ(text, "copied 1.5");
  owner.join();
  // Nobody holds it now: no text, at once.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(editor_->GetClipboardText(&text));
  EXPECT_EQ(text, "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

// A stand-in for xdg-open first in PATH.
class FakeOpener {
 public:
  explicit FakeOpener(const std::string& body) {
    folder_ = testing::TempDir() + "opener-" + std::to_string(getpid());
    mkdir(folder_.c_str(), 0700);
    const std::string file = folder_ + "/xdg-open";
    std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
    chmod(file.c_str(), 0700);
    path_ = std::getenv("PATH");
    setenv("PATH", (folder_ + ":" + path_).c_str(), 1);
  }
  ~FakeOpener() {
    setenv("PATH", path_.c_str(), 1);
    std::remove((folder_ + "/xdg-open").c_str());
    std::remove((folder_ + "/args").c_str());
    rmdir(folder_.c_str());
  }
  std::string Args() const {
    std::ifstream in(folder_ + "/args");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::string path_;
};

TEST_F(X11WindowTest, AWebAddressGoesToXdgOpenAsOneArgumentWithoutAShell) {
  Open();
  const char* url = "https://example.invalid/a b;touch pwned$(id)";
  {
    FakeOpener opener("printf '%s|' \"$@\" > \"$(dirname \"$0\")/args\"");
    EXPECT_TRUE(editor_->OpenUrl(url, nullptr, nullptr, nullptr));
    EXPECT_EQ(opener.Args(), std::string(url) + "|");
    EXPECT_NE(access((opener.Folder() + "/pwned").c_str(), F_OK), 0);
    // An address that would read as an option is refused.
    EXPECT_FALSE(editor_->OpenUrl("--help", nullptr, nullptr, nullptr));
  }
  {
    FakeOpener failing("exit 3");
    EXPECT_FALSE(editor_->OpenUrl("https://example.invalid/", nullptr, nullptr, nullptr));
  }
  {
    // A launcher that stays (the browser itself) is not waited for.
    FakeOpener staying("sleep 20");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(editor_->OpenUrl("https://example.invalid/", nullptr, nullptr, nullptr));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
  }
}

TEST_F(X11WindowTest, TheFoldersFollowTheXdgSettings) {
  std::string path;
  editor_->GetHostPath(&path);
  EXPECT_FALSE(path.empty());
  EXPECT_EQ(path.back(), '/');
  setenv("XDG_DATA_HOME", "/tmp/quillet-data", 1);
  editor_->GetAppDataPath(&path, false);
  EXPECT_EQ(path, "/tmp/quillet-data/");
  setenv("XDG_DATA_DIRS", "/opt/share:/usr/share", 1);
  editor_->GetAppDataPath(&path, true);
  EXPECT_EQ(path, "/opt/share/");
  const std::string config = testing::TempDir() + "xdg-config-" + std::to_string(getpid());
  mkdir(config.c_str(), 0700);
  std::ofstream(config + "/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  editor_->GetDesktopPath(&path);
  EXPECT_EQ(path, std::string(std::getenv("HOME")) + "/Schreibtisch/");
  std::remove((config + "/user-dirs.dirs").c_str());
  rmdir(config.c_str());
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_DATA_DIRS");
}

}  // namespace
}  // namespace graphics_test
