// The GUI extension with the timer and fd support that run the editor.
//
// The editor is embedded (never floating); the window is made at set_parent
// and goes at destroy. Its size follows its scale (the host's set_scale, or
// the user's Size choice): every size query is answered from the editor, and
// the host never sizes it freely (can_resize false, adjust_size answers the
// editor's size). On Linux the editor runs no thread of its own: its X
// connection's events are read in on_fd (the host watches the connection's
// descriptor) and the redraw runs from on_timer, both on the host's main
// thread. The timer also drives the product's idle work on every platform
// (the Windows editor redraws from its own window timer).
#include <cstring>

#include "plug/clap/ClapWindowApi.h"
#include "plug/clap/IPlugClap.h"

namespace plug {

namespace {

// Used when the editor names no interval of its own (30 Hz).
constexpr std::uint32_t kDefaultTimerMs = 33;

bool IsOurApi(const char* api) { return api && std::strcmp(api, ClapWindowApi()) == 0; }

}  // namespace

bool CLAP_CALL IPlugClap::GuiIsApiSupported(const clap::Plugin* plugin, const char* api,
                                            bool isFloating) {
  IPlugClap* self = From(plugin);
  return self && self->plugin_->GetEditor() && !isFloating && IsOurApi(api);
}

bool CLAP_CALL IPlugClap::GuiGetPreferredApi(const clap::Plugin* plugin, const char** api,
                                             bool* isFloating) {
  IPlugClap* self = From(plugin);
  if (!self || !self->plugin_->GetEditor() || !api || !isFloating) return false;
  *api = ClapWindowApi();
  *isFloating = false;
  return true;
}

bool CLAP_CALL IPlugClap::GuiCreate(const clap::Plugin* plugin, const char* api, bool isFloating) {
  IPlugClap* self = From(plugin);
  if (!self || !self->plugin_->GetEditor() || isFloating || !IsOurApi(api) || self->guiCreated_)
    return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("gui create");
#if !defined(_WIN32)
  // Without the host's timer nothing would ever run the X11 editor.
  if (!self->hostTimer_) return false;
#endif
  self->guiCreated_ = true;
  return true;
}

void CLAP_CALL IPlugClap::GuiDestroy(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  if (!self || !self->guiCreated_) return;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("gui destroy");
  self->CloseEditor();
  self->guiCreated_ = false;
}

// With a window open the editor asks for its new size through
// RequestEditorResize (request_resize) from inside this call; a refusal keeps
// the old size, and the scale is still taken (true).
bool CLAP_CALL IPlugClap::GuiSetScale(const clap::Plugin* plugin, double scale) {
  IPlugClap* self = From(plugin);
  if (!self || !self->plugin_->GetEditor()) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("gui set_scale");
  try {
    return self->plugin_->HostSetEditorScale(scale);
  } catch (...) {
    return false;
  }
}

bool CLAP_CALL IPlugClap::GuiGetSize(const clap::Plugin* plugin, std::uint32_t* width,
                                     std::uint32_t* height) {
  IPlugClap* self = From(plugin);
  IPlugEditor* editor = self ? self->plugin_->GetEditor() : nullptr;
  if (!editor || !width || !height) return false;
  *width = static_cast<std::uint32_t>(editor->Width());
  *height = static_cast<std::uint32_t>(editor->Height());
  return true;
}

bool CLAP_CALL IPlugClap::GuiCanResize(const clap::Plugin*) { return false; }

bool CLAP_CALL IPlugClap::GuiGetResizeHints(const clap::Plugin* plugin,
                                            clap::GuiResizeHints* hints) {
  if (!From(plugin) || !hints) return false;
  *hints = clap::GuiResizeHints{false, false, false, 0, 0};
  return true;
}

// The editor takes no size but its own: the host's proposal is answered with
// it.
bool CLAP_CALL IPlugClap::GuiAdjustSize(const clap::Plugin* plugin, std::uint32_t* width,
                                        std::uint32_t* height) {
  return GuiGetSize(plugin, width, height);
}

bool CLAP_CALL IPlugClap::GuiSetSize(const clap::Plugin* plugin, std::uint32_t width,
                                     std::uint32_t height) {
  std::uint32_t w = 0, h = 0;
  return GuiGetSize(plugin, &w, &h) && w == width && h == height;
}

bool CLAP_CALL IPlugClap::GuiSetParent(const clap::Plugin* plugin, const clap::Window* window) {
  IPlugClap* self = From(plugin);
  if (!self || !self->guiCreated_ || !window || !IsOurApi(window->api)) return false;
  ScopedThreadRole role(ThreadRole::kMain);
  self->CheckMainThread("gui set_parent");
  try {
    return self->OpenEditor(window);
  } catch (...) {
    return false;
  }
}

bool CLAP_CALL IPlugClap::GuiSetTransient(const clap::Plugin*, const clap::Window*) {
  return false;  // embedded only
}

void CLAP_CALL IPlugClap::GuiSuggestTitle(const clap::Plugin*, const char*) {}

bool CLAP_CALL IPlugClap::GuiShow(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  return self && self->guiCreated_ && self->plugin_->GetEditor()->IsWindowOpen();
}

bool CLAP_CALL IPlugClap::GuiHide(const clap::Plugin* plugin) {
  IPlugClap* self = From(plugin);
  return self && self->guiCreated_;
}

void CLAP_CALL IPlugClap::OnTimer(const clap::Plugin* plugin, clap::Id timerId) {
  IPlugClap* self = From(plugin);
  if (!self || !self->timerRegistered_ || timerId != self->timerId_) return;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    self->PumpEditor();
    InstanceLock lock(self->Mutex());
    self->plugin_->HostIdle();
  } catch (...) {
  }
}

void CLAP_CALL IPlugClap::OnFd(const clap::Plugin* plugin, int fd, std::uint32_t) {
  IPlugClap* self = From(plugin);
  if (!self || fd < 0 || fd != self->watchedFd_) return;
  ScopedThreadRole role(ThreadRole::kMain);
  try {
    self->PumpEditor();
  } catch (...) {
  }
}

bool IPlugClap::OpenEditor(const clap::Window* window) {
  void* parent = ClapParentWindow(window);
  if (!parent) return false;
  CloseEditor();
  if (!plugin_->HostOpenEditor(parent)) return false;
  if (hostTimer_) {
    const int interval = plugin_->GetEditor()->EventIntervalMs();
    const std::uint32_t period =
        interval > 0 ? static_cast<std::uint32_t>(interval) : kDefaultTimerMs;
    timerRegistered_ = hostTimer_->registerTimer(host_, period, &timerId_);
  }
#if !defined(_WIN32)
  if (!timerRegistered_) {
    // Nothing would run the window: it does not stay.
    plugin_->HostCloseEditor();
    return false;
  }
#endif
  WatchEditorFd();
  return true;
}

void IPlugClap::CloseEditor() {
  if (watchedFd_ >= 0 && hostFd_) hostFd_->unregisterFd(host_, watchedFd_);
  watchedFd_ = -1;
  if (timerRegistered_ && hostTimer_) hostTimer_->unregisterTimer(host_, timerId_);
  timerRegistered_ = false;
  timerId_ = clap::kInvalidId;
  if (plugin_->GetEditor()) plugin_->HostCloseEditor();
}

void IPlugClap::PumpEditor() {
  plugin_->HostEditorEvents();
  WatchEditorFd();
}

// The editor's descriptor may change when its window opens, closes or
// reconnects: the host watches the one it has now.
void IPlugClap::WatchEditorFd() {
  IPlugEditor* editor = plugin_->GetEditor();
  const int fd = editor && hostFd_ ? editor->EventFileDescriptor() : -1;
  if (fd == watchedFd_) return;
  if (watchedFd_ >= 0) hostFd_->unregisterFd(host_, watchedFd_);
  watchedFd_ = -1;
  if (fd >= 0 && hostFd_->registerFd(host_, fd, clap::kFdRead | clap::kFdError)) watchedFd_ = fd;
}

const clap::PluginGui IPlugClap::kGui = {
    GuiIsApiSupported, GuiGetPreferredApi, GuiCreate,         GuiDestroy,    GuiSetScale,
    GuiGetSize,        GuiCanResize,       GuiGetResizeHints, GuiAdjustSize, GuiSetSize,
    GuiSetParent,      GuiSetTransient,    GuiSuggestTitle,   GuiShow,       GuiHide};
const clap::PluginTimerSupport IPlugClap::kTimerSupport = {OnTimer};
const clap::PluginPosixFdSupport IPlugClap::kPosixFdSupport = {OnFd};

}  // namespace plug
