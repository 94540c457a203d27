// Linux: the host lends its run loop (queried from the view's frame). The
// editor's X connection is watched with an event handler, and a timer drives
// its redraw and the plug-in's idle work; both run on the host's UI thread.
// Stop unregisters both before the window (and its connection) goes.
#include <atomic>

#include "plug/vst3/Vst3Plugin.h"
#include "plug/vst3/Vst3View.h"

namespace plug {

namespace {

using namespace vst3;

constexpr uint64 kDefaultIntervalMs = 16;

class RunLoopPump;

// The handlers are objects of their own: the host holds references to them.
class FdHandler final : public IEventHandler {
 public:
  explicit FdHandler(RunLoopPump* pump) : pump_(pump) {}
  tresult VST3_CALL queryInterface(const TUID iid, void** obj) override;
  uint32 VST3_CALL addRef() override { return ++refs_; }
  uint32 VST3_CALL release() override {
    const uint32 left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  void VST3_CALL onFDIsSet(int fd) override;
  void Forget() { pump_ = nullptr; }

 private:
  ~FdHandler() = default;
  std::atomic<uint32> refs_{1};
  RunLoopPump* pump_;
};

class TimerHandler final : public ITimerHandler {
 public:
  explicit TimerHandler(RunLoopPump* pump) : pump_(pump) {}
  tresult VST3_CALL queryInterface(const TUID iid, void** obj) override;
  uint32 VST3_CALL addRef() override { return ++refs_; }
  uint32 VST3_CALL release() override {
    const uint32 left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  void VST3_CALL onTimer() override;
  void Forget() { pump_ = nullptr; }

 private:
  ~TimerHandler() = default;
  std::atomic<uint32> refs_{1};
  RunLoopPump* pump_;
};

class RunLoopPump : public Vst3EditorPump {
 public:
  explicit RunLoopPump(Vst3Plugin* owner)
      : owner_(owner), fdHandler_(new FdHandler(this)), timerHandler_(new TimerHandler(this)) {}
  ~RunLoopPump() override {
    Stop();
    // A host may still hold the handlers: they outlive the pump, idle.
    fdHandler_->Forget();
    timerHandler_->Forget();
    fdHandler_->release();
    timerHandler_->release();
  }

  void Start(IPlugFrame* frame) override {
    if (runLoop_ || !frame) return;
    char iid[16];
    UidToBytes(iid::kRunLoop, iid);
    void* found = nullptr;
    if (frame->queryInterface(iid, &found) != kResultOk || !found) return;
    runLoop_ = static_cast<IRunLoop*>(found);
    IPlugEditor* editor = owner_->Plugin()->GetEditor();
    const int interval = editor ? editor->EventIntervalMs() : 0;
    timerOn_ =
        runLoop_->registerTimer(timerHandler_, interval > 0 ? static_cast<uint64>(interval)
                                                            : kDefaultIntervalMs) == kResultOk;
    WatchDescriptor();
  }

  void Stop() override {
    if (!runLoop_) return;
    if (fd_ >= 0) runLoop_->unregisterEventHandler(fdHandler_);
    if (timerOn_) runLoop_->unregisterTimer(timerHandler_);
    fd_ = -1;
    timerOn_ = false;
    runLoop_->release();
    runLoop_ = nullptr;
  }

  // The editor's events and redraw, then (from the timer) the plug-in's idle
  // work; the descriptor may change with the window.
  void Run(bool idle) {
    if (!runLoop_) return;
    IPlugBase* plugin = owner_->Plugin();
    plugin->HostEditorEvents();
    if (idle) {
      InstanceLock lock(plugin->Mutex());
      plugin->HostIdle();
    }
    WatchDescriptor();
  }

 private:
  void WatchDescriptor() {
    IPlugEditor* editor = owner_->Plugin()->GetEditor();
    const int fd = editor ? editor->EventFileDescriptor() : -1;
    if (fd == fd_ || !runLoop_) return;
    if (fd_ >= 0) runLoop_->unregisterEventHandler(fdHandler_);
    fd_ = -1;
    if (fd >= 0 && runLoop_->registerEventHandler(fdHandler_, fd) == kResultOk) fd_ = fd;
  }

  Vst3Plugin* owner_;
  FdHandler* fdHandler_;
  TimerHandler* timerHandler_;
  IRunLoop* runLoop_ = nullptr;  // held reference while started
  int fd_ = -1;
  bool timerOn_ = false;
};

tresult VST3_CALL FdHandler::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (UidEquals(iid, iid::kFUnknown) || UidEquals(iid, iid::kEventHandler)) {
    *obj = static_cast<IEventHandler*>(this);
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

void VST3_CALL FdHandler::onFDIsSet(int) {
  ScopedThreadRole role(ThreadRole::kMain);
  if (pump_) pump_->Run(false);
}

tresult VST3_CALL TimerHandler::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (UidEquals(iid, iid::kFUnknown) || UidEquals(iid, iid::kTimerHandler)) {
    *obj = static_cast<ITimerHandler*>(this);
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

void VST3_CALL TimerHandler::onTimer() {
  ScopedThreadRole role(ThreadRole::kMain);
  if (pump_) pump_->Run(true);
}

}  // namespace

Vst3EditorPump* Vst3EditorPump::Create(Vst3Plugin* owner) { return new RunLoopPump(owner); }

const char* Vst3View::PlatformType() { return "X11EmbedWindowID"; }

}  // namespace plug
