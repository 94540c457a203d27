// IGraphicsX11: menus, the text field, message boxes, web addresses,
// clipboard, folders, cursor and resources.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/X11Display.h"
#include "graphics/x11/X11MessageBox.h"
#include "graphics/x11/X11PopupMenu.h"
#include "graphics/x11/X11TextEntry.h"
#include "plug/LibraryModule.h"

namespace graphics {

namespace {

constexpr int kMessageBoxYesNo = 4;
constexpr int kAnswerYes = 6;
// How long a web browser's launcher may take before we stop waiting for its
// answer (it may stay running as the browser itself).
constexpr int kUrlOpenerWaitMs = 3000;
constexpr int kClipboardWaitMs = 1000;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && home[0] ? std::string(home) : std::string();
}

// An XDG variable that holds an absolute path, or the default under home.
std::string XdgFolder(const char* variable, const char* underHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return WithSlash(value);
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : WithSlash(home + "/" + underHome);
}

// The desktop folder from the user's XDG user-dirs file ("$HOME/Desktop" if
// it names none).
std::string DesktopFolder() {
  const std::string home = HomeFolder();
  std::ifstream dirs(XdgFolder("XDG_CONFIG_HOME", ".config") + "user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line)) {
    const std::string key = "XDG_DESKTOP_DIR=\"";
    if (line.compare(0, key.size(), key) != 0 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') return WithSlash(value);
  }
  return home.empty() ? std::string() : home + "/Desktop/";
}

// The first folder of the XDG system data folders.
std::string SystemDataFolder() {
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  if (dirs && dirs[0] == '/') {
    const char* end = std::strchr(dirs, ':');
    return WithSlash(end ? std::string(dirs, static_cast<size_t>(end - dirs)) : std::string(dirs));
  }
  return "/usr/local/share/";
}

// The full path of a program found in PATH, or empty.
std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = path && path[0] ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = WithSlash(folders.substr(start, end - start)) + name;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::string();
}

void SleepMs(int ms) {
  timespec t = {ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&t, nullptr);
}

// Runs program with url as its one argument, without a shell. A middle
// process starts it and waits a bounded time for its exit code, so the host
// never waits on a browser that keeps the launcher running, and no child is
// left for the host to reap. True when the launcher succeeded or still runs.
bool LaunchWithUrl(const std::string& program, const char* url) {
  char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(url), nullptr};
  const pid_t middle = fork();
  if (middle < 0) return false;
  if (middle == 0) {
    // Only async-signal-safe calls from here on: the host may have threads.
    const pid_t launcher = fork();
    if (launcher < 0) _exit(1);
    if (launcher == 0) {
      const int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
      }
      execv(program.c_str(), argv);
      _exit(127);
    }
    for (int waited = 0; waited < kUrlOpenerWaitMs; waited += 20) {
      int status = 0;
      const pid_t done = waitpid(launcher, &status, WNOHANG);
      if (done == launcher) _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
      if (done < 0) _exit(1);
      const timespec pause = {0, 20 * 1000000L};
      nanosleep(&pause, nullptr);
    }
    _exit(0);  // still running: the browser took over
  }
  int status = 0;
  pid_t done;
  do {
    done = waitpid(middle, &status, 0);
  } while (done < 0 && errno == EINTR);
  // A host that ignores SIGCHLD has its children reaped for it: no answer.
  if (done < 0) return true;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int IGraphicsX11::ShowMessageBox(const char* text, const char* caption, int type) {
  CountModalLoop();
  if (!window_.load() || !display_) return 0;
  X11MessageBox box(this, text, caption, type);
  const int answer = box.Run();
  buttonHeld_ = false;
  return answer;
}

IMenu* IGraphicsX11::ShowPopupMenu(IMenu* menu, const IRect* r) {
  CountModalLoop();
  ReleaseMouseState();
  const Window window = window_.load();
  if (!menu || !r || !window || !display_) return nullptr;
  int x = r->left;
  int y = r->bottom;
  Window child;
  XTranslateCoordinates(display_->Get(), window, display_->Root(), ToDevice(r->left),
                        ToDevice(r->bottom), &x, &y, &child);
  X11PopupMenu popup(this, menu);
  IMenu* chosen = popup.Run(x, y);
  buttonHeld_ = false;
  // A menu ended by closing the editor chooses nothing.
  if (!window_.load()) return nullptr;
  exposed_ = IRect(0, 0, DeviceWidth(), DeviceHeight());
  return chosen;
}

void IGraphicsX11::ShowTextEntry(IControl* control, const ITextStyle* style, const IRect* r,
                                 const char* text, plug::IParameter* param) {
  const Window window = window_.load();
  if (!control || !r || !window || !display_ || entry_) return;
  // The field lies over the control's device pixels, in the scaled font.
  ITextStyle scaled = style ? *style : control->TextStyle();
  scaled.size = ToDevice(scaled.size);
  scaled.cachedFont = nullptr;
  entry_ = new X11TextEntry(display_, window, ToDevice(*r), scaled, text, control, param);
  if (!entry_->Handle()) {
    delete entry_;
    entry_ = nullptr;
    return;
  }
  // The field asked for the focus and has it from now on.
  editState_ = 1;
}

void IGraphicsX11::CancelTextEntry() { editState_ = 3; }

void IGraphicsX11::EndTextEntry(bool commit) {
  if (!entry_) return;
  IControl* control = entry_->Control();
  plug::IParameter* param = entry_->Param();
  const std::string text = entry_->Text();
  // The focus goes back to the editor with the field (it reverts to the parent).
  delete entry_;
  entry_ = nullptr;
  editState_ = 0;
  if (commit) CommitTextEntry(control, param, text.c_str());
}

void IGraphicsX11::GetHostPath(std::string* path) {
  if (!path) return;
  char file[4096] = {0};
  const ssize_t n = readlink("/proc/self/exe", file, sizeof file - 1);
  *path = n > 0 ? FolderOf(std::string(file, static_cast<size_t>(n))) : std::string();
}

void IGraphicsX11::GetPluginPath(std::string* path) {
  if (!path) return;
  Dl_info info = {};
  if (!dladdr(reinterpret_cast<void*>(&plug::LibraryModule), &info) || !info.dli_fname) {
    path->clear();
    return;
  }
  char* full = realpath(info.dli_fname, nullptr);
  *path = FolderOf(full ? full : info.dli_fname);
  std::free(full);
}

void IGraphicsX11::GetDesktopPath(std::string* path) {
  if (path) *path = DesktopFolder();
}

void IGraphicsX11::GetAppDataPath(std::string* path, bool allUsers) {
  if (path) *path = allUsers ? SystemDataFolder() : XdgFolder("XDG_DATA_HOME", ".local/share");
}

void IGraphicsX11::PromptForFile(std::string* file, int action, std::string* folder,
                                 const char* extensions) {
  // No file dialog of our own: nothing in this editor asks for one.
  if (file) file->clear();
}

bool IGraphicsX11::PromptForColor(IArgb* colour, const char* prompt) { return false; }

bool IGraphicsX11::OpenUrl(const char* url, const char* caption, const char* confirm,
                           const char* error) {
  if (!url) return false;
  if (confirm && confirm[0] && ShowMessageBox(confirm, caption, kMessageBoxYesNo) != kAnswerYes)
    return false;
  // An address that the launcher could take for an option is no address.
  bool opened = false;
  if (url[0] && url[0] != '-') {
    const std::string opener = FindProgram("xdg-open");
    opened = !opener.empty() && LaunchWithUrl(opener, url);
  }
  if (!opened && error && error[0]) ShowMessageBox(error, caption, 0);
  return opened;
}

bool IGraphicsX11::GetClipboardText(std::string* text) {
  if (!text) return false;
  text->clear();
  const Window window = window_.load();
  if (!window || !display_) return false;
  Display* d = display_->Get();
  if (XGetSelectionOwner(d, display_->clipboard) == None) return false;
  XDeleteProperty(d, window, display_->selectionProperty);
  XConvertSelection(d, display_->clipboard, display_->utf8String, display_->selectionProperty,
                    window, CurrentTime);
  XFlush(d);
  const long long deadline = X11Display::NowMs() + kClipboardWaitMs;
  XEvent event;
  bool answered = false;
  while (!answered) {
    const long long left = deadline - X11Display::NowMs();
    if (left <= 0 || !display_->WaitForEvent(static_cast<int>(left))) return false;
    while (!answered && XCheckTypedWindowEvent(d, window, SelectionNotify, &event))
      answered = event.xselection.selection == display_->clipboard;
    // Other events stay queued for the event handling.
    if (!answered && XPending(d) > 0) SleepMs(1);
  }
  if (event.xselection.property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  bool ok = false;
  // Up to 64 KiB of text, all at once (no incremental transfers).
  if (XGetWindowProperty(d, window, display_->selectionProperty, 0, 16384, True, AnyPropertyType,
                         &type, &format, &items, &after, &data) == Success &&
      data && format == 8 && (type == display_->utf8String || type == XA_STRING)) {
    text->assign(reinterpret_cast<const char*>(data), items);
    ok = true;
  }
  if (data) XFree(data);
  return ok;
}

void IGraphicsX11::HideCursor() {
  if (cursorHidden_) return;
  const Window window = window_.load();
  if (window && display_) {
    Display* d = display_->Get();
    Window root, child;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (XQueryPointer(d, window, &root, &child, &rootX, &rootY, &x, &y, &mask)) {
      savedCursorX_ = rootX;
      savedCursorY_ = rootY;
    }
    if (!blankCursor_) {
      static const char kNoBits[1] = {0};
      Pixmap empty = XCreateBitmapFromData(d, window, kNoBits, 1, 1);
      XColor black = {};
      blankCursor_ = XCreatePixmapCursor(d, empty, empty, &black, &black, 0, 0);
      XFreePixmap(d, empty);
    }
    XDefineCursor(d, window, blankCursor_);
    XFlush(d);
  }
  cursorHidden_ = true;
}

void IGraphicsX11::ShowCursor() {
  if (!cursorHidden_) return;
  const Window window = window_.load();
  if (window && display_) {
    Display* d = display_->Get();
    XWarpPointer(d, None, display_->Root(), 0, 0, 0, 0, savedCursorX_, savedCursorY_);
    XUndefineCursor(d, window);
    XFlush(d);
  }
  cursorHidden_ = false;
}

LICE_IBitmap* IGraphicsX11::LoadPlatformBitmap(int id, const char* name) {
  return LoadPngResource(plug::LibraryModule(), id, name);
}

}  // namespace graphics
