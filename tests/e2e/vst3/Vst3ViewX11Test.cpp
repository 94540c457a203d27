// The editor as a VST 3 view on Linux, driven as a host drives it: a host
// window on the virtual X display, a frame lending a run loop that the test
// pumps (file descriptor and timer handlers, the plug-in runs no thread of
// its own), real pointer input through XTest, and what the plug-in tells its
// component handler.
#include <gtest/gtest.h>
// Xlib after GoogleTest, whose names its macros (None, Bool) would break.
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/vst3host/HostObjects.h"
#include "tools/vst3host/Vst3Instance.h"
#include "tools/vst3host/Vst3Module.h"
#include "tools/vsthost/EditorInput.h"
#include "tools/vsthost/X11Windows.h"

namespace {

using namespace vst3;
using vst3host::HostObject;

constexpr int kVolumeX = 62, kVolumeY = 198;

// The host's run loop: what is registered, and a pump that serves it.
class RunLoop : public HostObject<IRunLoop> {
 public:
  RunLoop() : HostObject(iid::kRunLoop, false) {}
  tresult VST3_CALL registerEventHandler(IEventHandler* h, int fd) override {
    if (!h || handler_) return kInvalidArgument;
    h->addRef();
    handler_ = h;
    fd_ = fd;
    return kResultOk;
  }
  tresult VST3_CALL unregisterEventHandler(IEventHandler* h) override {
    if (!h || h != handler_) return kInvalidArgument;
    handler_->release();
    handler_ = nullptr;
    return kResultOk;
  }
  tresult VST3_CALL registerTimer(ITimerHandler* h, uint64 ms) override {
    if (!h || timer_) return kInvalidArgument;
    h->addRef();
    timer_ = h;
    intervalMs_ = ms;
    return kResultOk;
  }
  tresult VST3_CALL unregisterTimer(ITimerHandler* h) override {
    if (!h || h != timer_) return kInvalidArgument;
    timer_->release();
    timer_ = nullptr;
    return kResultOk;
  }
  bool hasHandler() const { return handler_ != nullptr; }
  bool hasTimer() const { return timer_ != nullptr; }

  // Serves the descriptor and the timer for ms milliseconds, as a host's
  // main loop does.
  void pump(int ms) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    auto nextTimer = Clock::now();
    while (Clock::now() < end) {
      if (timer_ && Clock::now() >= nextTimer) {
        timer_->onTimer();
        nextTimer = Clock::now() + std::chrono::milliseconds(intervalMs_);
      }
      pollfd p{handler_ ? fd_ : -1, POLLIN, 0};
      if (poll(&p, 1, 5) > 0 && (p.revents & POLLIN) && handler_) handler_->onFDIsSet(fd_);
    }
  }

 private:
  IEventHandler* handler_ = nullptr;
  ITimerHandler* timer_ = nullptr;
  int fd_ = -1;
  uint64 intervalMs_ = 16;
};

// The host's frame: resizeView answers `answer`; the sizes asked for and the
// view's getSize from inside each request are kept. Agreeing, it sizes the
// view (onSize) in the same call, as hosts do.
class Frame : public HostObject<IPlugFrame> {
 public:
  explicit Frame(RunLoop* loop) : HostObject(iid::kPlugFrame, false), loop_(loop) {}
  tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) override {
    if (!view || !newSize) return kInvalidArgument;
    requests.emplace_back(newSize->right - newSize->left, newSize->bottom - newSize->top);
    ViewRect now{};
    view->getSize(&now);
    sizeDuringRequest.emplace_back(now.right - now.left, now.bottom - now.top);
    if (answer == kResultTrue) view->onSize(newSize);
    return answer;
  }
  tresult answer = kResultTrue;
  std::vector<std::pair<int, int>> requests, sizeDuringRequest;

 protected:
  void* queryOther(const TUID iid) override {
    if (!UidEquals(iid, iid::kRunLoop)) return nullptr;
    loop_->addRef();
    return static_cast<IRunLoop*>(loop_);
  }

 private:
  RunLoop* loop_;
};

class Vst3ViewX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(module_.open(QUILLET_VST3_BUNDLE, &error)) << error;
    ASSERT_TRUE(instance_.open(module_, &error)) << error;
    display_ = vsthost::ConnectX11();
    ASSERT_NE(display_, nullptr) << "no X display";
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 40, 40, 984, 432, 0, 0, 0);
    XStoreName(display_, parent_, "Quillet VST 3 view test");
    XMapWindow(display_, parent_);
    XSync(display_, False);
  }
  void TearDown() override {
    if (display_) {
      XDestroyWindow(display_, parent_);
      XCloseDisplay(display_);
    }
    instance_.close();
    module_.close();
  }
  IPlugView* createView() { return instance_.controller()->createView("editor"); }
  void* parent() { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent_)); }
  std::vector<Window> children() {
    XSync(display_, False);
    return vsthost::ChildWindows(display_, parent_);
  }

  vst3host::Vst3Module module_;
  vst3host::Vst3Instance instance_;
  Display* display_ = nullptr;
  Window parent_ = 0;
  RunLoop loop_;
  Frame frame_{&loop_};
};

TEST_F(Vst3ViewX11, AttachRemoveReattachAndReleaseLeaveNothingBehind) {
  IPlugView* view = createView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(createView(), nullptr) << "one view per instance";
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultFalse);
  ViewRect size{};
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.right - size.left, 984);
  EXPECT_EQ(size.bottom - size.top, 432);
  EXPECT_EQ(view->attached(parent(), "HWND"), kInvalidArgument);
  ASSERT_EQ(view->setFrame(&frame_), kResultOk);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(view->attached(parent(), "X11EmbedWindowID"), kResultOk) << round;
    EXPECT_TRUE(loop_.hasHandler() && loop_.hasTimer()) << "served by the host's run loop";
    loop_.pump(150);
    EXPECT_EQ(children().size(), 1u);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_FALSE(loop_.hasHandler() || loop_.hasTimer());
    EXPECT_TRUE(children().empty());
  }
  // A host that releases the view while it is attached.
  ASSERT_EQ(view->attached(parent(), "X11EmbedWindowID"), kResultOk);
  loop_.pump(50);
  view->setFrame(nullptr);
  EXPECT_EQ(view->release(), 0u);
  EXPECT_FALSE(loop_.hasHandler() || loop_.hasTimer());
  EXPECT_TRUE(children().empty());
  EXPECT_EQ(frame_.refCount(), 1u);
  EXPECT_EQ(loop_.refCount(), 1u);
  // The instance makes a view again.
  IPlugView* again = createView();
  ASSERT_NE(again, nullptr);
  again->release();
}

TEST_F(Vst3ViewX11, ADragOnAKnobReachesTheHostAsOnePairedGesture) {
  IPlugView* view = createView();
  ASSERT_NE(view, nullptr);
  view->setFrame(&frame_);
  ASSERT_EQ(view->attached(parent(), "X11EmbedWindowID"), kResultOk);
  loop_.pump(300);
  std::vector<Window> editor = children();
  ASSERT_EQ(editor.size(), 1u);
  const double before = instance_.controller()->getParamNormalized(0);
  instance_.handler().calls.clear();
  vsthost::EditorInput input(reinterpret_cast<void*>(static_cast<std::uintptr_t>(editor[0])));
  input.press(kVolumeX, kVolumeY);
  loop_.pump(100);
  input.moveTo(kVolumeX, kVolumeY - 20);
  loop_.pump(100);
  input.moveTo(kVolumeX, kVolumeY - 40);
  loop_.pump(100);
  input.release(kVolumeX, kVolumeY - 40);
  loop_.pump(200);
  const std::vector<std::string>& calls = instance_.handler().calls;
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), "begin 0");
  EXPECT_EQ(calls.back(), "end 0");
  for (std::size_t i = 1; i + 1 < calls.size(); ++i)
    EXPECT_EQ(calls[i].rfind("perform 0 ", 0), 0u) << calls[i];
  EXPECT_EQ(instance_.handler().openGestures, 0);
  EXPECT_EQ(instance_.handler().unpairedEnds, 0);
  EXPECT_GT(instance_.controller()->getParamNormalized(0), before);
  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  EXPECT_EQ(view->release(), 0u);
}

// The host's content scale sizes the view: given before attaching, getSize
// answers the scaled size; attached, the view asks the frame with resizeView
// and answers the new size from inside it, and a frame that refuses leaves
// the view at its size.
TEST_F(Vst3ViewX11, TheHostScaleSizesTheViewAndARefusedResizeKeepsItsSize) {
  IPlugView* view = createView();
  ASSERT_NE(view, nullptr);
  char iidBytes[16];
  UidToBytes(iid::kPlugViewContentScaleSupport, iidBytes);
  void* found = nullptr;
  ASSERT_EQ(view->queryInterface(iidBytes, &found), kResultOk);
  auto* scale = static_cast<IPlugViewContentScaleSupport*>(found);
  using Sizes = std::vector<std::pair<int, int>>;
  auto size = [view] {
    ViewRect r{};
    EXPECT_EQ(view->getSize(&r), kResultOk);
    return std::make_pair(r.right - r.left, r.bottom - r.top);
  };

  EXPECT_EQ(scale->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(size(), std::make_pair(1968, 864));
  ViewRect proposed{10, 10, 510, 310};
  ASSERT_EQ(view->checkSizeConstraint(&proposed), kResultTrue);
  EXPECT_EQ(proposed.right - proposed.left, 1968);
  EXPECT_EQ(proposed.bottom - proposed.top, 864);
  view->setFrame(&frame_);
  ASSERT_EQ(view->attached(parent(), "X11EmbedWindowID"), kResultOk);
  loop_.pump(150);
  EXPECT_TRUE(frame_.requests.empty());

  EXPECT_EQ(scale->setContentScaleFactor(1.0f), kResultTrue);
  EXPECT_EQ(frame_.requests, (Sizes{{984, 432}}));
  EXPECT_EQ(frame_.sizeDuringRequest, (Sizes{{984, 432}}));
  EXPECT_EQ(size(), std::make_pair(984, 432));

  frame_.answer = kResultFalse;
  EXPECT_EQ(scale->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(frame_.requests, (Sizes{{984, 432}, {1968, 864}}));
  EXPECT_EQ(size(), std::make_pair(984, 432));
  // Not a scale: refused, nothing asked.
  EXPECT_EQ(scale->setContentScaleFactor(-1.0f), kResultFalse);
  EXPECT_EQ(frame_.requests.size(), 2u);
  loop_.pump(50);
  EXPECT_EQ(children().size(), 1u);

  EXPECT_EQ(view->removed(), kResultOk);
  view->setFrame(nullptr);
  scale->release();
  EXPECT_EQ(view->release(), 0u);
}

}  // namespace
