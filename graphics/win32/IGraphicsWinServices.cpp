// IGraphicsWin: menus, the text field, message boxes, dialogs, web addresses,
// clipboard, folders, cursor and resources.
// windows.h (through IGraphicsWin.h) comes before the other system headers.
#include "graphics/win32/IGraphicsWin.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics/FileFilter.h"
#include "graphics/win32/ScaledMessageBox.h"
#include "plug/IParameter.h"
#include "plug/TextUtil.h"

namespace graphics {

namespace {

// File names and filters of the file dialogs.
constexpr int kPathChars = 255;

// The folder of a full path: everything up to and including the last "\\".
std::string FolderOf(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  return slash ? std::string(path, static_cast<size_t>(slash - path + 1)) : std::string();
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {0};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return std::string();
  std::string folder = path;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

struct FindWindowByClass {
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindowClass(HWND hwnd, LPARAM data) {
  FindWindowByClass* search = reinterpret_cast<FindWindowByClass*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  char name[256] = {0};
  GetClassNameA(hwnd, name, sizeof name);
  if (std::strcmp(name, search->className) != 0) return TRUE;
  search->found = hwnd;
  return FALSE;
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    const CHOOSECOLORA* cc = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const char* prompt = reinterpret_cast<const char*>(cc->lCustData);
    if (prompt && prompt[0]) SetWindowTextA(dialog, prompt);
  }
  return 0;
}

}  // namespace

HWND IGraphicsWin::GetMainWindow() {
  if (mainWnd_ && IsWindow(mainWnd_)) return mainWnd_;
  mainWnd_ = nullptr;
  if (parentWnd_ && IsWindow(parentWnd_)) {
    HWND top = GetAncestor(parentWnd_, GA_ROOT);
    mainWnd_ = top ? top : parentWnd_;
    char name[256] = {0};
    if (GetClassNameA(mainWnd_, name, sizeof name)) mainClassName_ = name;
    return mainWnd_;
  }
  if (!mainClassName_.empty()) {
    FindWindowByClass search = {mainClassName_.c_str(), nullptr};
    EnumWindows(MatchWindowClass, reinterpret_cast<LPARAM>(&search));
    mainWnd_ = search.found;
  }
  return mainWnd_;
}

double IGraphicsWin::ScaleOverSystem() const {
  const int systemPercent = SystemScalePercent();
  return systemPercent > 0 ? ScalePercent() / static_cast<double>(systemPercent) : 1.0;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type) {
  CountModalLoop();
  // At the system's scale for the window the system's box; at another ours.
  const double ratio = ScaleOverSystem();
  if (ratio != 1.0) {
    const int answer = ShowScaledMessageBox(module_, GetMainWindow(), text, caption,
                                            static_cast<UINT>(type), ratio);
    if (answer) return answer;
  }
  return MessageBoxA(GetMainWindow(), text ? text : "", caption ? caption : "",
                     static_cast<UINT>(type));
}

HMENU IGraphicsWin::BuildMenu(IMenu* menu, const MenuCommandMap& commands) {
  HMENU native = CreatePopupMenu();
  if (!native) return nullptr;
  const int first = commands.FirstCommand(menu);
  for (int i = 0; i < menu->NItems(); ++i) {
    const IMenuItem* item = menu->Item(i);
    if (item->IsSeparator()) {
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::string text = menu->DisplayText(i);
    // Owner-drawn items carry their look's item data in place of the text.
    const UINT kind = menuLook_ ? MF_OWNERDRAW : MF_STRING;
    const char* content =
        menuLook_ ? reinterpret_cast<const char*>(menuLook_->AddItem(text)) : text.c_str();
    if (item->SubMenu()) {
      HMENU sub = BuildMenu(item->SubMenu(), commands);
      if (sub) AppendMenuA(native, kind | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), content);
      continue;
    }
    UINT flags = kind;
    if (item->Flags() & IMenuItem::kGrayed) flags |= MF_GRAYED;
    if (item->Flags() & IMenuItem::kDisabled) flags |= MF_DISABLED;
    if (item->Flags() & IMenuItem::kChecked) flags |= MF_CHECKED;
    AppendMenuA(native, flags, static_cast<UINT_PTR>(first + i), content);
  }
  return native;
}

IMenu* IGraphicsWin::ShowPopupMenu(IMenu* menu, const IRect* r) {
  CountModalLoop();
  ReleaseMouseState();
  HWND hwnd = hwnd_.load();
  if (!menu || !r || !hwnd) return nullptr;
  const MenuCommandMap commands(menu);
  // At the system's scale for the window its own items; at another the
  // editor's, drawn by us.
  const double ratio = ScaleOverSystem();
  std::unique_ptr<ScaledMenuLook> look;
  if (ratio != 1.0) look.reset(new ScaledMenuLook(ratio));
  menuLook_ = look.get();
  HMENU native = BuildMenu(menu, commands);
  if (!native) {
    menuLook_ = nullptr;
    return nullptr;
  }
  POINT at = {ToDevice(r->left), ToDevice(r->bottom)};
  ClientToScreen(hwnd, &at);
  IMenu* chosen = nullptr;
  menuOpen_ = true;
  const BOOL tracked = TrackPopupMenu(native, TPM_LEFTBUTTON, at.x, at.y, 0, hwnd, nullptr);
  menuOpen_ = false;
  MSG msg;
  // A menu ended by closing the editor chooses nothing, whatever was posted.
  if (tracked && hwnd_.load() && PeekMessageA(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
      HIWORD(msg.wParam) == 0)
    chosen = commands.Choose(LOWORD(msg.wParam));
  DestroyMenu(native);
  menuLook_ = nullptr;
  // The editor may have been closed while the menu was open.
  hwnd = hwnd_.load();
  if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
  return chosen;
}

void IGraphicsWin::ShowTextEntry(IControl* control, const ITextStyle* style, const IRect* r,
                                 const char* text, plug::IParameter* param) {
  HWND hwnd = hwnd_.load();
  if (!control || !r || !hwnd || entryWnd_) return;
  const ITextStyle& s = style ? *style : control->TextStyle();
  // Over the control's device pixels, in the font at the editor's scale.
  const IRect at = ToDevice(*r);
  DWORD align = 0;
  if (s.align == ITextAlign::kCenter) align = ES_CENTER;
  if (s.align == ITextAlign::kRight) align = ES_RIGHT;
  entryWnd_ = CreateWindowExA(
      0, "EDIT", text ? text : "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | align,
      at.left, at.top, at.W() + 1, at.H() + 1, hwnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEntryId)), module_, nullptr);
  if (!entryWnd_) return;
  entryFont_ = CreateFontA(
      ToDevice(s.size), 0, 0, 0, s.style == ITextStyleWeight::kBold ? FW_BOLD : 0,
      s.style == ITextStyleWeight::kItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, s.fontName);
  if (entryFont_) SendMessageA(entryWnd_, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), 0);
  SendMessageA(entryWnd_, EM_LIMITTEXT, static_cast<WPARAM>(control->TextEntryLength()), 0);
  SendMessageA(entryWnd_, EM_SETSEL, 0, -1);
  entryControl_ = control;
  entryParam_ = param;
  entryPreviousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(entryWnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntryProc)));
  SetFocus(entryWnd_);
}

void IGraphicsWin::CancelTextEntry() { editState_ = 3; }

void IGraphicsWin::ReleaseTextEntry() {
  if (entryFont_) DeleteObject(entryFont_);
  entryFont_ = nullptr;
  entryControl_ = nullptr;
  entryParam_ = nullptr;
  entryPreviousProc_ = nullptr;
  editState_ = 0;
}

void IGraphicsWin::EndTextEntry(bool commit) {
  if (!entryWnd_) return;
  IControl* control = entryControl_;
  plug::IParameter* param = entryParam_;
  // At most 31 characters, whatever the field holds.
  char text[32] = {0};
  if (commit) GetWindowTextA(entryWnd_, text, sizeof text);
  HWND field = entryWnd_;
  SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryPreviousProc_));
  entryWnd_ = nullptr;
  DestroyWindow(field);
  ReleaseTextEntry();
  HWND hwnd = hwnd_.load();
  if (hwnd) SetFocus(hwnd);
  if (commit) CommitTextEntry(control, param, text);
}

LRESULT CALLBACK IGraphicsWin::EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  IGraphicsWin* editor =
      reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(hwnd), GWLP_USERDATA));
  if (!editor || editor->entryWnd_ != hwnd || !editor->entryPreviousProc_)
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  return editor->HandleEntryMessage(hwnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEntryMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HideTooltip();
  WNDPROC previous = entryPreviousProc_;
  switch (msg) {
    case WM_SETFOCUS:
      editState_ = 1;
      break;
    case WM_KILLFOCUS:
      editState_ = 4;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcA(previous, hwnd, msg, wParam, lParam);
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      if (!entryParam_ && m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
        code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        editState_ = 4;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        editState_ = 3;
        return 0;
      }
      break;
    case WM_CHAR:
      // Return and Escape end the entry on their key-down; their characters
      // would otherwise land in the multi-line field.
      if (wParam == '\r' || wParam == '\n' || wParam == 0x1B) return 0;
      if (entryParam_ && !TextEntryAccepts(entryParam_, static_cast<int>(wParam))) return 0;
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        editState_ = 4;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
}

void IGraphicsWin::GetHostPath(std::string* path) {
  if (!path) return;
  char file[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, file, sizeof file - 1);
  *path = FolderOf(file);
}

void IGraphicsWin::GetPluginPath(std::string* path) {
  if (!path) return;
  char file[MAX_PATH] = {0};
  GetModuleFileNameA(module_, file, sizeof file - 1);
  *path = FolderOf(file);
}

void IGraphicsWin::GetDesktopPath(std::string* path) {
  if (path) *path = ShellFolder(CSIDL_DESKTOPDIRECTORY);
}

void IGraphicsWin::GetAppDataPath(std::string* path, bool allUsers) {
  if (path) *path = ShellFolder(allUsers ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA);
}

void IGraphicsWin::PromptForFile(std::string* file, int action, std::string* folder,
                                 const char* extensions) {
  if (!file) return;
  HWND hwnd = hwnd_.load();
  if (!hwnd) {
    file->clear();
    return;
  }
  std::string initialFolder = folder ? *folder : std::string();
  if (initialFolder.empty()) {
    GetDesktopPath(&initialFolder);
    if (folder) *folder = initialFolder;
  }
  char name[kPathChars + 1] = {0};
  plug::CopyText(name, file->c_str(), sizeof name);

  const FileFilter types = FileFilter::FromExtensions(extensions);
  const std::string& pattern = types.pattern;
  const std::string& defaultExtension = types.defaultExtension;
  std::vector<char> filter;
  if (!pattern.empty()) {
    filter.insert(filter.end(), pattern.begin(), pattern.end());
    filter.push_back('\0');
    filter.insert(filter.end(), pattern.begin(), pattern.end());
    filter.push_back('\0');
    filter.push_back('\0');
  }

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.data();
  ofn.lpstrFile = name;
  ofn.nMaxFile = sizeof name;
  ofn.lpstrInitialDir = initialFolder.c_str();
  ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  BOOL ok;
  CountModalLoop();
  if (action == 1) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    ok = GetSaveFileNameA(&ofn);
  } else {
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    ok = GetOpenFileNameA(&ofn);
  }
  if (ok) {
    if (folder) *folder = FolderOf(name);
    *file = name;
  } else {
    file->clear();
  }
}

bool IGraphicsWin::PromptForColor(IArgb* colour, const char* prompt) {
  HWND hwnd = hwnd_.load();
  if (!colour || !hwnd) return false;
  if (!customColours_) {
    customColours_ = new COLORREF[16];
    for (int i = 0; i < 16; ++i) customColours_[i] = RGB(255, 255, 255);
  }
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = hwnd;
  cc.rgbResult = colour->ColorRef();
  cc.lpCustColors = customColours_;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
  cc.lpfnHook = ColourDialogHook;
  cc.lCustData = reinterpret_cast<LPARAM>(prompt);
  CountModalLoop();
  if (!ChooseColorA(&cc)) return false;
  *colour = IArgb::FromColorRef(cc.rgbResult, colour->a);
  return true;
}

bool IGraphicsWin::OpenUrl(const char* url, const char* caption, const char* confirm,
                           const char* error) {
  if (!url) return false;
  HWND owner = hwnd_.load();
  if (confirm && confirm[0]) {
    CountModalLoop();
    if (MessageBoxA(owner, confirm, caption ? caption : "", MB_YESNO) != IDYES) return false;
  }
  DWORD connection = 0;
  if (InternetGetConnectedState(&connection, 0)) {
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (error && error[0]) {
    CountModalLoop();
    MessageBoxA(owner, error, caption ? caption : "", MB_OK);
  }
  return false;
}

bool IGraphicsWin::GetClipboardText(std::string* text) {
  if (!text) return false;
  text->clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(hwnd_.load())) return false;
  bool ok = false;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (wide) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
      std::vector<char> utf8(static_cast<size_t>(bytes));
      WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), bytes, nullptr, nullptr);
      *text = utf8.data();
      ok = true;
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return ok;
}

void IGraphicsWin::HideCursor() {
  if (cursorHidden_) return;
  POINT p;
  if (GetCursorPos(&p)) {
    savedCursorX_ = p.x;
    savedCursorY_ = p.y;
  }
  ::ShowCursor(FALSE);
  cursorHidden_ = true;
}

void IGraphicsWin::ShowCursor() {
  if (!cursorHidden_) return;
  SetCursorPos(savedCursorX_, savedCursorY_);
  ::ShowCursor(TRUE);
  cursorHidden_ = false;
}

LICE_IBitmap* IGraphicsWin::LoadPlatformBitmap(int id, const char* name) {
  return LoadPngResource(module_, id, name);
}

}  // namespace graphics
