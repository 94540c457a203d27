#include "effect/SettingsFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effect/IniText.h"

namespace effect {

namespace {

// A settings file larger than this is not ours: it is neither read nor
// rewritten.
const off_t kMaxFileBytes = 1 << 20;

std::string BaseFolder() {
  const char* override = std::getenv("QUILLET_LOCAL_APPDATA");
  if (override != nullptr && override[0] != '\0') return override;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return dataHome;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share";
  return std::string();
}

// mkdir -p: a fresh account may not have ~/.local/share yet.
void CreateFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    mkdir(part.c_str(), 0755);
    if (slash == std::string::npos) return;
  }
}

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const std::string& path, std::string* text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  struct stat status;
  ReadResult result = ReadResult::kFailed;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= kMaxFileBytes) {
    text->assign(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < text->size()) {
      const ssize_t got = read(fd, &(*text)[done], text->size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    // A file that shrank meanwhile is taken as far as it was read.
    text->resize(done);
    result = ReadResult::kRead;
  }
  close(fd);
  return result;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

std::string SettingsFile::Locate(const char* makerFolder, const char* fileName) {
  const std::string base = BaseFolder();
  if (base.empty()) return std::string();
  const std::string folder = base + "/" + makerFolder;
  const std::string path = folder + "/" + fileName;
  if (path.size() > kMaxPathChars) return std::string();
  struct stat status;
  if (stat(folder.c_str(), &status) != 0) CreateFolders(folder);
  return path;
}

bool SettingsFile::Exists() const {
  struct stat status;
  return !path_.empty() && stat(path_.c_str(), &status) == 0;
}

bool SettingsFile::CreateEmpty() const {
  if (path_.empty()) return false;
  const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST;
  close(fd);
  return true;
}

void SettingsFile::ReadText(const char* section, const char* key, const char* defaultText,
                            char* out, int capacity) const {
  std::string text;
  std::string value;
  const char* result = defaultText;
  if (!path_.empty() && ReadWholeFile(path_, &text) == ReadResult::kRead &&
      IniText(text).Find(section, key, &value)) {
    result = value.c_str();
  }
  std::snprintf(out, static_cast<std::size_t>(capacity), "%s", result);
}

bool SettingsFile::WriteSection(const char* section, const char* keyList) const {
  if (path_.empty()) return false;
  std::string text;
  // A file that exists but cannot be read is left alone rather than replaced
  // by one that holds only this section.
  if (ReadWholeFile(path_, &text) == ReadResult::kFailed) return false;
  IniText ini(std::move(text));
  ini.ReplaceSection(section, keyList);

  // Write beside the file and rename over it, so that a reader never sees a
  // half-written file and a failed write loses nothing.
  std::string temporary = path_ + ".XXXXXX";
  const int fd = mkstemp(&temporary[0]);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, ini.Text());
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), path_.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace effect
