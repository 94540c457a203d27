// The LV2 UI as a host embeds it, with real X11 input on the virtual display:
// the editor in the host's parent window at its size, driven only by the
// host's idle calls; a drag on a knob reaches the host as port writes of
// plain values between exactly one touch begin and one end; a port event
// from the host moves the control; closing leaves no window and no open file
// behind. Through ports alone: the host offers no instance access.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "lv2/atom/atom.h"
#include "lv2/options/options.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"

namespace e2e {
namespace {

constexpr const char* kPluginUri = "https://vellum-music.com/plugins/quillet";
constexpr int kVolumePort = 0;
// The Volume knob in the editor, and the plain value a 40-pixel drag up from
// the middle of its range gives (a quarter turn per 64 pixels).
constexpr int kVolumeX = 62, kVolumeY = 198;
// The learn switch, and the plug-in's atom output where its mode comes from.
constexpr int kLearnX = 44, kLearnY = 399;
constexpr int kEventsInPort = 33, kMidiOutPort = 34;
constexpr const char* kLearnMessage = "https://vellum-music.com/plugins/quillet#MidiLearn";
constexpr const char* kLearnMode = "https://vellum-music.com/plugins/quillet#learnMode";

// The learn message as an atom, as the plug-in writes it.
struct LearnAtom {
  LV2_Atom_Object object;
  LV2_Atom_Property_Body property;
  int32_t mode;
  int32_t pad;
};

int OpenFileCount() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

// What the host got from the UI, in order.
struct HostRecord {
  std::vector<std::string> calls;            // "touch 0 on", "write 0 1.3125", "touch 0 off"
  int width = 0, height = 0;                 // the last size the host agreed to
  std::vector<std::pair<int, int>> resizes;  // every ui_resize
  int resizeAnswer = 0;                      // non-zero: the host refuses
  std::vector<std::string> uris;             // urid:map, URID i + 1

  static LV2_URID Map(LV2_URID_Map_Handle h, const char* uri) {
    auto* r = static_cast<HostRecord*>(h);
    for (std::size_t i = 0; i < r->uris.size(); ++i)
      if (r->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    r->uris.emplace_back(uri);
    return static_cast<LV2_URID>(r->uris.size());
  }

  static void Write(LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer) {
    auto* r = static_cast<HostRecord*>(c);
    if (format != 0 && format == Map(r, LV2_ATOM__eventTransfer)) {
      r->calls.push_back(r->LearnCall(port, size, buffer));
      return;
    }
    if (format != 0 || size != sizeof(float)) {
      r->calls.push_back("bad write");
      return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "write %u %g", port, *static_cast<const float*>(buffer));
    r->calls.push_back(text);
  }
  // "learn N" for a learn message to the events input.
  std::string LearnCall(uint32_t port, uint32_t size, const void* buffer) {
    LearnAtom m{};
    if (port != kEventsInPort || size != sizeof(LV2_Atom) + 28 || !buffer) return "bad message";
    std::memcpy(&m, buffer, size);
    if (m.object.atom.type != Map(this, LV2_ATOM__Object) ||
        m.object.body.otype != Map(this, kLearnMessage) ||
        m.property.key != Map(this, kLearnMode) ||
        m.property.value.type != Map(this, LV2_ATOM__Int) || m.property.value.size != 4)
      return "bad message";
    return "learn " + std::to_string(m.mode);
  }
  static void Touch(LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
    static_cast<HostRecord*>(h)->calls.push_back("touch " + std::to_string(port) +
                                                 (grabbed ? " on" : " off"));
  }
  static int Resize(LV2UI_Feature_Handle h, int width, int height) {
    auto* r = static_cast<HostRecord*>(h);
    r->resizes.emplace_back(width, height);
    if (r->resizeAnswer != 0) return r->resizeAnswer;
    r->width = width;
    r->height = height;
    return 0;
  }
};

class Lv2Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    // Kept mapped after dlclose, as hosts keep a UI's library: the font
    // libraries it brings keep their process-wide caches in globals, which
    // the leak checker of the sanitizer build would otherwise count as lost
    // once the libraries were unloaded between the cases.
    library_ = dlopen(QUILLET_LV2_BUNDLE "/quillet.so", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(library_, nullptr) << dlerror();
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(
        dlsym(library_, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor_ = entry(0);
    ASSERT_NE(descriptor_, nullptr);
    EXPECT_EQ(entry(1), nullptr);
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 984, 432, 0, 0, 0);
    XStoreName(display_, parent_, "LV2 UI host");
    XMapWindow(display_, parent_);
    XSync(display_, False);
  }
  void TearDown() override {
    if (handle_) descriptor_->cleanup(handle_);
    if (display_) {
      XDestroyWindow(display_, parent_);
      XCloseDisplay(display_);
    }
    if (library_) dlclose(library_);
  }

  // The UI in parent_, with or without touch; hostScale > 0: with the URID
  // map and the options feature giving that ui:scaleFactor.
  void Instantiate(bool withTouch, float hostScale = 0, bool withMap = false) {
    touch_ = {&record_, HostRecord::Touch};
    resize_ = {&record_, HostRecord::Resize};
    map_ = {&record_, HostRecord::Map};
    const LV2_Feature parentFeature = {LV2_UI__parent,
                                       reinterpret_cast<void*>(static_cast<uintptr_t>(parent_))};
    const LV2_Feature touchFeature = {LV2_UI__touch, &touch_};
    const LV2_Feature resizeFeature = {LV2_UI__resize, &resize_};
    const LV2_Feature mapFeature = {LV2_URID__map, &map_};
    const LV2_Options_Option options[] = {ScaleOption(&hostScale), {}};
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options,
                                        const_cast<LV2_Options_Option*>(options)};
    std::vector<const LV2_Feature*> features = {&parentFeature, &resizeFeature};
    if (withTouch) features.push_back(&touchFeature);
    if (hostScale > 0 || withMap) features.push_back(&mapFeature);
    if (hostScale > 0) features.push_back(&optionsFeature);
    features.push_back(nullptr);
    handle_ = descriptor_->instantiate(descriptor_, kPluginUri, QUILLET_LV2_BUNDLE,
                                       HostRecord::Write, &record_, &widget_, features.data());
    ASSERT_NE(handle_, nullptr);
    idle_ = static_cast<const LV2UI_Idle_Interface*>(
        descriptor_->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle_, nullptr);
    Idle(300);  // the first frames
  }
  LV2_Options_Option ScaleOption(const float* scale) {
    return {LV2_OPTIONS_INSTANCE,
            0,
            HostRecord::Map(&record_, LV2_UI__scaleFactor),
            sizeof(float),
            HostRecord::Map(&record_, LV2_ATOM__Float),
            scale};
  }
  // The editor window's size now.
  std::pair<int, int> EditorSize() {
    XSync(display_, False);
    XWindowAttributes a{};
    XGetWindowAttributes(display_, static_cast<Window>(reinterpret_cast<uintptr_t>(widget_)), &a);
    return {a.width, a.height};
  }
  // The host's idle calls every 10 ms for ms milliseconds.
  void Idle(int ms) {
    for (int t = 0; t < ms; t += 10) {
      EXPECT_EQ(idle_->idle(handle_), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  void DragVolumeUp(int pixels) {
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(display_, parent_, DefaultRootWindow(display_), kVolumeX, kVolumeY, &x,
                          &y, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XFlush(display_);
    Idle(50);
    for (int moved = 0; moved < pixels; moved += 5) {
      XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y - moved - 5, CurrentTime);
      XFlush(display_);
      Idle(30);
    }
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
  }
  void Click(int x, int y, unsigned button) {
    Window child = 0;
    int rx = 0, ry = 0;
    XTranslateCoordinates(display_, parent_, DefaultRootWindow(display_), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XFlush(display_);
    Idle(100);
  }
  // The plug-in's learn mode as the host passes its atom output to the UI.
  void ReportMode(int mode, uint32_t size = sizeof(LV2_Atom) + 28) {
    LearnAtom m{};
    m.object.atom.type = HostRecord::Map(&record_, LV2_ATOM__Object);
    m.object.atom.size = 28;
    m.object.body.otype = HostRecord::Map(&record_, kLearnMessage);
    m.property.key = HostRecord::Map(&record_, kLearnMode);
    m.property.value.type = HostRecord::Map(&record_, LV2_ATOM__Int);
    m.property.value.size = 4;
    m.mode = mode;
    descriptor_->port_event(handle_, kMidiOutPort, size,
                            HostRecord::Map(&record_, LV2_ATOM__eventTransfer), &m);
    Idle(50);
  }
  std::vector<Window> Children() {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int n = 0;
    std::vector<Window> out;
    if (XQueryTree(display_, parent_, &root, &up, &children, &n))
      out.assign(children, children + n);
    if (children) XFree(children);
    return out;
  }

  void* library_ = nullptr;
  const LV2UI_Descriptor* descriptor_ = nullptr;
  Display* display_ = nullptr;
  Window parent_ = 0;
  HostRecord record_;
  LV2UI_Touch touch_{};
  LV2UI_Resize resize_{};
  LV2_URID_Map map_{};
  LV2UI_Handle handle_ = nullptr;
  LV2UI_Widget widget_ = nullptr;
  const LV2UI_Idle_Interface* idle_ = nullptr;
};

TEST_F(Lv2Ui, OpensInTheParentAtItsSizeAndClosesWithoutTrace) {
  const int files = OpenFileCount();
  Instantiate(true);
  EXPECT_EQ(record_.width, 984);
  EXPECT_EQ(record_.height, 432);
  const std::vector<Window> children = Children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(widget_), children[0]);
  XWindowAttributes a{};
  XGetWindowAttributes(display_, children[0], &a);
  EXPECT_EQ(a.width, 984);
  EXPECT_EQ(a.height, 432);
  EXPECT_TRUE(record_.calls.empty());
  descriptor_->cleanup(handle_);
  handle_ = nullptr;
  XSync(display_, False);
  EXPECT_TRUE(Children().empty());
  EXPECT_EQ(OpenFileCount(), files);
}

// The drag reaches the host only through the idle calls, as plain values
// between one touch begin and one end.
TEST_F(Lv2Ui, ADragWritesPlainValuesBetweenOneTouchBeginAndEnd) {
  Instantiate(true);
  DragVolumeUp(40);
  Idle(200);
  ASSERT_GE(record_.calls.size(), 3u);
  EXPECT_EQ(record_.calls.front(), "touch 0 on");
  EXPECT_EQ(record_.calls.back(), "touch 0 off");
  for (std::size_t i = 1; i + 1 < record_.calls.size(); ++i)
    EXPECT_EQ(record_.calls[i].rfind("write 0 ", 0), 0u) << record_.calls[i];
  EXPECT_EQ(record_.calls[record_.calls.size() - 2], "write 0 1.3125");
}

TEST_F(Lv2Ui, NothingMovesBetweenIdleCalls) {
  Instantiate(true);
  Window child = 0;
  int x = 0, y = 0;
  XTranslateCoordinates(display_, parent_, DefaultRootWindow(display_), kVolumeX, kVolumeY, &x, &y,
                        &child);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y - 20, CurrentTime);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(record_.calls.empty());
  Idle(200);
  EXPECT_FALSE(record_.calls.empty());
}

// A host's port event sets the control: the same drag from the top of the
// range writes the top of the range.
TEST_F(Lv2Ui, PortEventsMoveTheControls) {
  Instantiate(false);
  const float loudest = 2.0f;
  descriptor_->port_event(handle_, kVolumePort, sizeof loudest, 0, &loudest);
  // What is not a control port value as a float is ignored.
  const double wide = 0.0;
  descriptor_->port_event(handle_, kVolumePort, sizeof wide, 0, &wide);
  descriptor_->port_event(handle_, 33, sizeof loudest, 0, &loudest);
  descriptor_->port_event(handle_, kVolumePort, sizeof loudest, 1, &loudest);
  Idle(100);
  DragVolumeUp(40);
  Idle(200);
  ASSERT_FALSE(record_.calls.empty());
  EXPECT_EQ(record_.calls.back(), "write 0 2");
  // Without ui:touch there are writes only.
  for (const std::string& call : record_.calls)
    EXPECT_EQ(call.rfind("touch", 0), std::string::npos);
}

// The host's ui:scaleFactor: at instantiate the first size told is the scaled
// one; set later through the options interface the editor asks with
// ui:resize, and a host that refuses leaves it at its size.
TEST_F(Lv2Ui, TheHostScaleSizesTheEditorAndARefusedResizeKeepsItsSize) {
  using Sizes = std::vector<std::pair<int, int>>;
  Instantiate(true, 2.0f);
  EXPECT_EQ(record_.resizes, (Sizes{{1968, 864}}));
  EXPECT_EQ(EditorSize(), std::make_pair(1968, 864));
  const auto* options = static_cast<const LV2_Options_Interface*>(
      descriptor_->extension_data(LV2_OPTIONS__interface));
  ASSERT_NE(options, nullptr);

  float scale = 1.0f;
  const LV2_Options_Option one[] = {ScaleOption(&scale), {}};
  EXPECT_EQ(options->set(handle_, one), LV2_OPTIONS_SUCCESS);
  EXPECT_EQ(record_.resizes, (Sizes{{1968, 864}, {984, 432}}));
  Idle(50);
  EXPECT_EQ(EditorSize(), std::make_pair(984, 432));

  record_.resizeAnswer = 1;
  scale = 2.0f;
  EXPECT_EQ(options->set(handle_, one), LV2_OPTIONS_SUCCESS);
  EXPECT_EQ(record_.resizes, (Sizes{{1968, 864}, {984, 432}, {1968, 864}}));
  Idle(50);
  EXPECT_EQ(EditorSize(), std::make_pair(984, 432));
  EXPECT_EQ(record_.width, 984);

  // Not a float, not a scale, not ours: refused, nothing asked.
  const double wide = 1.5;
  LV2_Options_Option bad[] = {ScaleOption(&scale), {}};
  bad[0].size = sizeof wide;
  bad[0].value = &wide;
  EXPECT_EQ(options->set(handle_, bad), LV2_OPTIONS_ERR_BAD_VALUE);
  scale = -1.0f;
  EXPECT_EQ(options->set(handle_, one), LV2_OPTIONS_ERR_BAD_VALUE);
  LV2_Options_Option other[] = {ScaleOption(&scale), {}};
  other[0].key = HostRecord::Map(&record_, LV2_UI__updateRate);
  EXPECT_EQ(options->set(handle_, other), LV2_OPTIONS_ERR_BAD_KEY);
  EXPECT_EQ(record_.resizes.size(), 3u);
}

// The learn switch starts learning in the plug-in, not in the UI's own
// instance: each click sends the switch's new mode as a message to the events
// input (opening sends off, as the switch starts off), and the mode the
// plug-in reports back is what the switch shows. Reports cut short, or not
// learn messages, show nothing.
TEST_F(Lv2Ui, TheLearnSwitchTalksToThePlugInThroughMessages) {
  Instantiate(true, 0, true);
  EXPECT_EQ(record_.calls, (std::vector<std::string>{"learn 0"}));
  record_.calls.clear();
  Click(kLearnX, kLearnY, 1);
  EXPECT_EQ(record_.calls, (std::vector<std::string>{"learn 1"}));

  // Ignored: cut short, another format, another port.
  ReportMode(0, sizeof(LV2_Atom) + 20);
  const LearnAtom nothing{};
  descriptor_->port_event(handle_, kMidiOutPort, sizeof nothing, 0, &nothing);
  descriptor_->port_event(handle_, kEventsInPort, sizeof nothing,
                          HostRecord::Map(&record_, LV2_ATOM__eventTransfer), &nothing);
  Click(kLearnX, kLearnY, 1);  // still on: this click turns it off
  EXPECT_EQ(record_.calls, (std::vector<std::string>{"learn 1", "learn 0"}));

  // The plug-in finished learning: the switch is off, the next click learns.
  Click(kLearnX, kLearnY, 1);
  ReportMode(0);
  Click(kLearnX, kLearnY, 1);
  EXPECT_EQ(record_.calls.back(), "learn 1");
  // Unlearn mode (a right click while off), reported on: the click ends it.
  ReportMode(0);
  Click(kLearnX, kLearnY, 3);
  Click(kLearnX, kLearnY, 1);
  EXPECT_EQ(record_.calls.back(), "learn 2");
  ReportMode(2);
  Click(kLearnX, kLearnY, 1);
  EXPECT_EQ(record_.calls.back(), "learn 0");
  for (const std::string& call : record_.calls) EXPECT_NE(call, "bad message");
}

}  // namespace
}  // namespace e2e
