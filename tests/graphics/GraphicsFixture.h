// A plug-in on the framework core with a headless editor, for the tests of the
// graphics host and the standard controls.
//
// Parameters: 0 "Level" continuous 0..1 (precision 2), 1 "Mode" enumeration
// "A", "B", "C", 2 "Gain" continuous -12..12 dB (precision 1), 3 "Bypass"
// switch "off"/"on". The host callback records, in order, the begin-edit,
// automation and end-edit calls: the sequences the gesture tests compare.
//
// TestGraphics serves small synthetic bitmaps for ids from kFirstTestBitmap
// on (every one counted when decoded); other ids go to the library's images.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/headless/IGraphicsHeadless.h"
#include "lice/LICE_MemBitmap.h"
#include "plug/IPlugBase.h"

namespace graphics_test {

// One host call of a gesture: "b3" begin-edit of 3, "a3" automation of 3,
// "e3" end-edit of 3.
struct HostLog {
  std::vector<std::string> calls;
  std::vector<float> values;  // the automation values, in order
  int sizeWindowCalls = 0;
  int lastWidth = 0, lastHeight = 0;  // of the last resize

  static HostLog* current;
  // The calls joined by blanks, e.g. "b0 a0 a0 e0".
  std::string Joined() const;
  void Clear() { calls.clear(), values.clear(); }
};

// The host services of the test plug-ins: what they tell their host goes to
// HostLog::current (nothing without one). Serves the given format.
class HostLogServices : public plug::IHostServices {
 public:
  explicit HostLogServices(int format = plug::kFormatVst2) : format_(format) {}
  int FormatCode() const override { return format_; }
  void BeginParamGesture(int paramIndex) override;
  void NotifyHostParamValue(int paramIndex, double normalized) override;
  void EndParamGesture(int paramIndex) override;
  void NotifyHostDisplayChanged() override {}
  bool IsOfflineRender() override { return false; }
  void GetTransportInfo(plug::ITransportInfo*) override {}
  void GetHostProduct(char* product, int, int* version) override {
    product[0] = '\0';
    *version = 0;
  }
  void ResizeEditor(int width, int height) override;
  bool SendMidiToHost(const plug::IMidiMessage*) override { return false; }
  bool SendSysExToHost(const plug::ISysExMessage*) override { return false; }
  void SetLatencySamples(int) override {}

 private:
  int format_;
};

class GraphicsPlug : public plug::IPlugBase {
 public:
  explicit GraphicsPlug(int format = plug::kFormatVst2);
  void OnHostIdle() override { ++hostIdles; }
  void OnParamChanged(int paramIndex) override { changed.push_back(paramIndex); }
  int hostIdles = 0;
  std::vector<int> changed;

 private:
  HostLogServices services_;
};

constexpr int kFirstTestBitmap = 1000;

class TestGraphics : public graphics::IGraphicsHeadless {
 public:
  explicit TestGraphics(plug::IPlugBase* plugin, int w = 200, int h = 100)
      : IGraphicsHeadless(plugin, w, h) {}
  LICE_IBitmap* LoadPlatformBitmap(int id, const char* name) override;
  // Test bitmaps decoded in this process.
  static int decodes;
  using IGraphics::CountModalLoop;
};

// A bitmap of w x h whose pixel (x, y) is MakePixel(frame, x, y), where the
// frame counts along the frame direction for frames of size fw x fh.
LICE_MemBitmap* MakeStripBitmap(int w, int h, int frames, bool sideBySide);
// Pixels that tell frame, x and y apart (opaque).
LICE_pixel MakePixel(int frame, int x, int y);

// Records what a control receives; draws a solid colour over its rectangle.
class ProbeControl : public graphics::IControl {
 public:
  ProbeControl(plug::IPlugBase* plugin, const graphics::IRect& r, int paramIndex = -1,
               LICE_pixel colour = 0xFF102030u)
      : IControl(plugin, r, paramIndex), colour_(colour) {}
  void MouseDown(int x, int y, const graphics::IMouseState* s) override;
  void MouseUp(int x, int y, const graphics::IMouseState* s) override { log.push_back("up"); }
  void MouseDrag(int x, int y, int dX, int dY, const graphics::IMouseState* s) override;
  void MouseOver(int x, int y, const graphics::IMouseState* s) override { log.push_back("over"); }
  void MouseOut() override { log.push_back("out"); }
  bool KeyDown(int x, int y, int key) override;
  void MouseWheel(int x, int y, const graphics::IMouseState* s, int d) override;
  bool Draw(graphics::IGraphics* g) override;

  std::vector<std::string> log;
  int draws = 0;
  // What a press does beyond logging: nothing, open a two-item menu (below
  // the control, or at the pointer as the maker's menus do), a menu with a
  // sub-menu, a message box, set the value to 0.75, or prompt.
  enum class OnPress {
    kNothing,
    kMenu,
    kMenuAtPointer,
    kSubMenu,
    kMessageBox,
    kChange,
    kPrompt
  } onPress = OnPress::kNothing;
  bool keyHandled = false;
  // Fill with a grey of the value instead of the fixed colour.
  bool greyFromValue = false;
  int messageBoxType = 0;
  std::string messageBoxText = "text";
  int messageBoxAnswer = -1;
  // The menu and item chosen in the last menu (-1: none).
  std::string chosenMenu;
  int chosenItem = -1;

 private:
  LICE_pixel colour_;
};

// The probes a window layer's tests work with, attached in this order: the
// background (control 0) and, along the top, a knob on parameter 0 drawn in a
// grey of its value, a menu on parameter 1, a text entry on parameter 2, a
// Yes/No message box (the layer's type code) and a menu with a sub-menu.
struct ProbePanel {
  void Attach(graphics::IGraphics* editor, plug::IPlugBase* plugin, int yesNoType);

  ProbeControl* background = nullptr;
  ProbeControl* knob = nullptr;
  ProbeControl* menu = nullptr;
  ProbeControl* entry = nullptr;
  ProbeControl* box = nullptr;
  ProbeControl* sub = nullptr;
};

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The editor, opened, with strict drawing; the plug-in attached to it.
  TestGraphics& Editor() { return *editor_; }
  // A press and release at (x, y) with the given buttons.
  void Click(int x, int y, bool right = false);
  LICE_pixel PixelAt(int x, int y);
  // Draws everything dirty, as the timer does.
  void Tick() { editor_->Tick(); }

  HostLog log_;
  GraphicsPlug plug_;
  TestGraphics* editor_ = nullptr;  // owned by plug_ once attached
};

}  // namespace graphics_test
