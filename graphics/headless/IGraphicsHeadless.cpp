#include "graphics/headless/IGraphicsHeadless.h"

#include "plug/IParameter.h"
#include "plug/LibraryModule.h"

namespace graphics {

namespace {
constexpr int kMessageBoxYesNo = 4;
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;
// Any non-null value: there is no real window.
char gWindowToken;
}  // namespace

IGraphicsHeadless::IGraphicsHeadless(plug::IPlugBase* plugin, int width, int height, int fps)
    : IGraphics(plugin, width, height, fps) {}

void* IGraphicsHeadless::OpenWindow(void* parentWindow) {
  if (open_.load()) CloseWindow();
  // As a window layer does: the editor takes its scale before the window is
  // made at its size.
  ApplyScale();
  open_.store(true);
  MarkAllDirty();
  return &gWindowToken;
}

void IGraphicsHeadless::CloseWindow() {
  if (!open_.load()) return;
  entry_ = TextEntryRecord();
  entryText_.clear();
  entryState_ = kNone;
  EndGesture();
  open_.store(false);
}

void IGraphicsHeadless::SetSystemScalePercent(int percent) {
  systemPercent_ = percent;
  SystemScaleChanged();
}

void* IGraphicsHeadless::GetWindow() const { return open_.load() ? &gWindowToken : nullptr; }

bool IGraphicsHeadless::BlitToScreen(const IRect* r) {
  if (!open_.load() || !r) return false;
  ++blitCount_;
  lastBlit_ = *r;
  return true;
}

bool IGraphicsHeadless::Tick() {
  if (!open_.load()) return false;
  if (entryState_ == kCommit || entryState_ == kCancel) {
    const TextEntryRecord entry = entry_;
    const std::string text = entryText_;
    const bool commit = entryState_ == kCommit;
    entry_ = TextEntryRecord();
    entryText_.clear();
    entryState_ = kNone;
    if (commit) CommitTextEntry(entry.control, entry.param, text.c_str());
    return false;
  }
  IDirtyList dirty;
  if (!CollectDirty(&dirty)) return false;
  Redraw(dirty);
  return true;
}

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int type) {
  CountModalLoop();
  messageBoxes_.push_back(MessageBoxRecord{text ? text : "", caption ? caption : "", type});
  if (!messageBoxAnswers_.empty()) {
    const int answer = messageBoxAnswers_.front();
    messageBoxAnswers_.pop_front();
    return answer;
  }
  return (type & 0xF) == kMessageBoxYesNo ? kAnswerNo : kAnswerOk;
}

IMenu* IGraphicsHeadless::ShowPopupMenu(IMenu* menu, const IRect* r) {
  CountModalLoop();
  ReleaseMouseState();
  if (!menu || !r) return nullptr;
  MenuRecord record;
  record.at = *r;
  for (int i = 0; i < menu->NItems(); ++i) {
    record.texts.push_back(menu->DisplayText(i));
    record.flags.push_back(menu->Item(i)->Flags());
    if (const IMenu* sub = menu->Item(i)->SubMenu()) {
      for (int j = 0; j < sub->NItems(); ++j) {
        record.subTexts.push_back(sub->DisplayText(j));
        record.subFlags.push_back(sub->Item(j)->Flags());
      }
    }
  }
  menus_.push_back(record);
  int command = -1;
  if (!menuAnswers_.empty()) {
    command = menuAnswers_.front();
    menuAnswers_.pop_front();
  }
  return command >= 0 ? MenuCommandMap(menu).Choose(command) : nullptr;
}

void IGraphicsHeadless::ShowTextEntry(IControl* control, const ITextStyle* style, const IRect* r,
                                      const char* text, plug::IParameter* param) {
  if (!control || !r || !open_.load() || entry_.control) return;
  entry_.control = control;
  entry_.at = *r;
  entry_.text = text ? text : "";
  entry_.param = param;
  entryText_.clear();
  entryState_ = kEditing;
}

void IGraphicsHeadless::TypeIntoEntry(const char* text) {
  if (!entry_.control || !text) return;
  for (const char* p = text; *p; ++p) {
    if (!TextEntryAccepts(entry_.param, static_cast<unsigned char>(*p))) continue;
    if (static_cast<int>(entryText_.size()) >= entry_.control->TextEntryLength()) break;
    entryText_ += *p;
  }
}

void IGraphicsHeadless::GetHostPath(std::string* path) {
  if (path) path->clear();
}

void IGraphicsHeadless::GetPluginPath(std::string* path) {
  if (path) path->clear();
}

void IGraphicsHeadless::GetDesktopPath(std::string* path) {
  if (path) path->clear();
}

void IGraphicsHeadless::GetAppDataPath(std::string* path, bool allUsers) {
  if (path) path->clear();
}

void IGraphicsHeadless::PromptForFile(std::string* file, int action, std::string* folder,
                                      const char* extensions) {
  CountModalLoop();
  if (file) file->clear();
}

bool IGraphicsHeadless::PromptForColor(IArgb* colour, const char* prompt) {
  CountModalLoop();
  return false;
}

bool IGraphicsHeadless::OpenUrl(const char* url, const char* caption, const char* confirm,
                                const char* error) {
  if (!url) return false;
  // The same dialogue as the Windows layer: ask first, tell on failure.
  if (confirm && confirm[0] && ShowMessageBox(confirm, caption, kMessageBoxYesNo) != kAnswerYes)
    return false;
  urls_.push_back(
      UrlRecord{url, caption ? caption : "", confirm ? confirm : "", error ? error : ""});
  bool opened = true;
  if (!urlResults_.empty()) {
    opened = urlResults_.front();
    urlResults_.pop_front();
  }
  if (!opened && error && error[0]) ShowMessageBox(error, caption, 0);
  return opened;
}

bool IGraphicsHeadless::GetClipboardText(std::string* text) {
  if (!text) return false;
  *text = clipboard_;
  return !clipboard_.empty();
}

LICE_IBitmap* IGraphicsHeadless::LoadPlatformBitmap(int id, const char* name) {
  return LoadPngResource(plug::LibraryModule(), id, name);
}

}  // namespace graphics
