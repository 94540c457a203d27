#include "effect/SettingsFile.h"

#include <windows.h>
#include <shlobj.h>

namespace effect {

namespace {

const int kFolderBytes = 1024;

// The per-user, non-roaming application-data folder, or the override; empty
// when neither is known. A failed shell query must not leave a relative path
// that would put the maker's folder at the root of the current drive.
std::string BaseFolder() {
  char folder[kFolderBytes] = {};
  const DWORD overrideLength =
      GetEnvironmentVariableA("QUILLET_LOCAL_APPDATA", folder, sizeof folder);
  // An override too long for the buffer must not fall back to the user's own
  // folder.
  if (overrideLength >= sizeof folder) return std::string();
  if (overrideLength > 0) return folder;
  folder[0] = '\0';
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return std::string();
  return folder;
}

}  // namespace

std::string SettingsFile::Locate(const char* makerFolder, const char* fileName) {
  const std::string base = BaseFolder();
  if (base.empty()) return std::string();
  const std::string folder = base + "\\" + makerFolder;
  const std::string path = folder + "\\" + fileName;
  if (path.size() > kMaxPathChars) return std::string();
  if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
    CreateDirectoryA(folder.c_str(), nullptr);
  return path;
}

bool SettingsFile::Exists() const {
  return !path_.empty() && GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SettingsFile::CreateEmpty() const {
  if (path_.empty()) return false;
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  CloseHandle(file);
  return true;
}

void SettingsFile::ReadText(const char* section, const char* key, const char* defaultText,
                            char* out, int capacity) const {
  if (path_.empty()) {
    lstrcpynA(out, defaultText, capacity);
    return;
  }
  GetPrivateProfileStringA(section, key, defaultText, out, static_cast<DWORD>(capacity),
                           path_.c_str());
}

bool SettingsFile::WriteSection(const char* section, const char* keyList) const {
  return !path_.empty() && WritePrivateProfileSectionA(section, keyList, path_.c_str()) != FALSE;
}

}  // namespace effect
