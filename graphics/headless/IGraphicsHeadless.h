// A window layer without a window, for tests and for pictures of the editor:
// "opening" it makes the editor draw into its off-screen bitmap on Tick(), and
// the platform services answer from a script and record what was asked.
//
// Menus are answered by command number (see IMenu.h, -1 for no choice),
// message boxes by the queued answer (OK = 1, or No = 7 for Yes/No boxes when
// nothing is queued), web addresses by the queued result (true by default).
// A text entry stays open until the test commits or cancels it; Tick() then
// carries it out, as the Windows timer does.
#pragma once

#include <atomic>
#include <deque>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"

namespace graphics {

class IGraphicsHeadless : public IGraphics {
 public:
  struct MenuRecord {
    IRect at;
    std::vector<std::string> texts;  // the root menu's display texts
    std::vector<int> flags;
    // The items of its sub-menus, one after the other.
    std::vector<std::string> subTexts;
    std::vector<int> subFlags;
  };
  struct MessageBoxRecord {
    std::string text;
    std::string caption;
    int type;
  };
  struct UrlRecord {
    std::string url;
    std::string caption;
    std::string confirm;
    std::string error;
  };
  struct TextEntryRecord {
    IControl* control = nullptr;
    IRect at;
    std::string text;
    plug::IParameter* param = nullptr;
  };

  explicit IGraphicsHeadless(plug::IPlugBase* plugin, int width = kDefaultWidth,
                             int height = kDefaultHeight, int fps = kDefaultFps);

  // ---- Window -------------------------------------------------------------
  // Marks every control dirty and returns a non-null token.
  void* OpenWindow(void* parentWindow) override;
  // Drops an open text entry, ends an open gesture.
  void CloseWindow() override;
  void* GetWindow() const override;
  bool BlitToScreen(const IRect* r) override;
  // One timer tick: a committed or cancelled entry is carried out; otherwise
  // the dirty controls are drawn. True when something was drawn.
  bool Tick();
  int BlitCount() const { return blitCount_; }
  const IRect& LastBlit() const { return lastBlit_; }

  // ---- Scale --------------------------------------------------------------------
  // The system's scale this layer reports, as a window layer reads it from
  // the system (100 until set); a change while open is followed as a window
  // layer follows a move to another monitor.
  void SetSystemScalePercent(int percent);
  int SystemScalePercent() const override { return systemPercent_; }
  // Scale changes the window followed (OnScaleChanged).
  int ScaleChanges() const { return scaleChanges_; }

  // ---- Services ----------------------------------------------------------------
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IMenu* ShowPopupMenu(IMenu* menu, const IRect* r) override;
  void ShowTextEntry(IControl* control, const ITextStyle* style, const IRect* r, const char* text,
                     plug::IParameter* param) override;
  void CancelTextEntry() override { entryState_ = kCancel; }
  void GetHostPath(std::string* path) override;
  void GetPluginPath(std::string* path) override;
  void GetDesktopPath(std::string* path) override;
  void GetAppDataPath(std::string* path, bool allUsers) override;
  void PromptForFile(std::string* file, int action, std::string* folder,
                     const char* extensions) override;
  bool PromptForColor(IArgb* colour, const char* prompt) override;
  bool OpenUrl(const char* url, const char* caption, const char* confirm,
               const char* error) override;
  bool GetClipboardText(std::string* text) override;
  void HideCursor() override { cursorHidden_ = true; }
  void ShowCursor() override { cursorHidden_ = false; }
  bool CursorHidden() const { return cursorHidden_; }
  // The library's PNG resources (natively, the embedded images).
  LICE_IBitmap* LoadPlatformBitmap(int id, const char* name) override;

  // ---- Script and records ------------------------------------------------------
  void QueueMenuCommand(int command) { menuAnswers_.push_back(command); }
  void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
  void QueueUrlResult(bool opened) { urlResults_.push_back(opened); }
  void SetClipboardText(const char* text) { clipboard_ = text ? text : ""; }
  const std::vector<MenuRecord>& Menus() const { return menus_; }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<UrlRecord>& Urls() const { return urls_; }

  // The open entry, if any.
  bool TextEntryOpen() const { return entry_.control != nullptr; }
  const TextEntryRecord& TextEntry() const { return entry_; }
  // Types into the open entry as a user would: the character filter and the
  // control's length limit apply.
  void TypeIntoEntry(const char* text);
  const std::string& EntryText() const { return entryText_; }
  void CommitEntry() { entryState_ = kCommit; }
  void CancelEntry() { entryState_ = kCancel; }

 private:
  enum EntryState { kNone, kEditing, kCancel, kCommit };

  void OnScaleChanged() override { ++scaleChanges_; }

  std::atomic<bool> open_{false};
  int systemPercent_ = 100;
  int scaleChanges_ = 0;
  int blitCount_ = 0;
  IRect lastBlit_;
  std::deque<int> menuAnswers_;
  std::deque<int> messageBoxAnswers_;
  std::deque<bool> urlResults_;
  std::string clipboard_;
  std::vector<MenuRecord> menus_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<UrlRecord> urls_;
  TextEntryRecord entry_;
  std::string entryText_;
  EntryState entryState_ = kNone;
};

}  // namespace graphics
