#include "effect/IniText.h"

#include <cstring>

namespace effect {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// [begin, end) without blanks at either end.
void Trim(const char*& begin, const char*& end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const char* begin, const char* end, const char* name) {
  const std::size_t length = static_cast<std::size_t>(end - begin);
  if (std::strlen(name) != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (LowerAscii(begin[i]) != LowerAscii(name[i])) return false;
  }
  return true;
}

// One line of the text, without its line end.
struct Line {
  const char* begin;
  const char* end;
  std::size_t next;  // offset of the following line
};

Line LineAt(const std::string& text, std::size_t offset) {
  const char* data = text.data();
  const std::size_t newline = text.find('\n', offset);
  const std::size_t stop = newline == std::string::npos ? text.size() : newline;
  return {data + offset, data + stop, newline == std::string::npos ? text.size() : newline + 1};
}

// When the line is a section header, its trimmed name.
bool HeaderName(Line line, const char** nameBegin, const char** nameEnd) {
  const char* begin = line.begin;
  const char* end = line.end;
  Trim(begin, end);
  if (begin == end || *begin != '[') return false;
  ++begin;
  const char* close =
      static_cast<const char*>(std::memchr(begin, ']', static_cast<std::size_t>(end - begin)));
  if (close != nullptr) end = close;
  Trim(begin, end);
  *nameBegin = begin;
  *nameEnd = end;
  return true;
}

// A UTF-8 byte-order mark some editors put first is not part of the first line.
std::size_t FirstLineOffset(const std::string& text) {
  return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}

}  // namespace

bool IniText::Find(const char* section, const char* key, std::string* value) const {
  bool inSection = false;
  bool seenSection = false;
  for (std::size_t offset = FirstLineOffset(text_); offset < text_.size();) {
    const Line line = LineAt(text_, offset);
    offset = line.next;
    const char* nameBegin;
    const char* nameEnd;
    if (HeaderName(line, &nameBegin, &nameEnd)) {
      // Only the first section of the name counts.
      if (seenSection) return false;
      inSection = SameName(nameBegin, nameEnd, section);
      seenSection = inSection;
      continue;
    }
    if (!inSection) continue;
    const char* equals = static_cast<const char*>(
        std::memchr(line.begin, '=', static_cast<std::size_t>(line.end - line.begin)));
    if (equals == nullptr) continue;
    const char* keyBegin = line.begin;
    const char* keyEnd = equals;
    Trim(keyBegin, keyEnd);
    if (!SameName(keyBegin, keyEnd, key)) continue;
    const char* valueBegin = equals + 1;
    const char* valueEnd = line.end;
    Trim(valueBegin, valueEnd);
    if (valueEnd - valueBegin >= 2 && (*valueBegin == '"' || *valueBegin == '\'') &&
        valueEnd[-1] == *valueBegin) {
      ++valueBegin;
      --valueEnd;
    }
    value->assign(valueBegin, valueEnd);
    return true;
  }
  return false;
}

void IniText::ReplaceSection(const char* section, const char* keyList) {
  // Keep the file's own line ends.
  const char* lineEnd = text_.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::string body;
  for (const char* entry = keyList; *entry != '\0'; entry += std::strlen(entry) + 1) {
    body += entry;
    body += lineEnd;
  }

  const std::size_t start = FirstLineOffset(text_);
  std::string result(text_, 0, start);
  result.reserve(text_.size() + body.size());
  bool replaced = false;
  bool skipping = false;
  for (std::size_t offset = start; offset < text_.size();) {
    const Line line = LineAt(text_, offset);
    const std::size_t lineStart = offset;
    offset = line.next;
    const char* nameBegin;
    const char* nameEnd;
    if (HeaderName(line, &nameBegin, &nameEnd)) {
      skipping = false;
      if (!replaced && SameName(nameBegin, nameEnd, section)) {
        result.append(text_, lineStart, line.next - lineStart);
        if (line.next == text_.size() && (text_.empty() || text_.back() != '\n')) result += lineEnd;
        result += body;
        replaced = true;
        skipping = true;
        continue;
      }
    }
    if (!skipping) result.append(text_, lineStart, line.next - lineStart);
  }
  if (!replaced) {
    if (result.size() > start && result.back() != '\n') result += lineEnd;
    result += "[";
    result += section;
    result += "]";
    result += lineEnd;
    result += body;
  }
  text_.swap(result);
}

}  // namespace effect
