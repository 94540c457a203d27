// Ini text held in memory, read and edited by the rules of the Windows
// private-profile functions, so that a settings file reads the same in every
// build:
//
//   [Section]          a header; the name is what lies between '[' and the
//                      first ']' (or the line's end), blanks around it dropped
//   Key=Value          blanks around key and value dropped; a value enclosed in
//                      a matching pair of '"' or '\'' loses the pair
//
// Section and key names compare without regard to ASCII case; the first
// matching section and the first matching key in it count. Lines end with "\n"
// or "\r\n"; a leading UTF-8 byte-order mark is skipped. Lines that are
// neither headers nor key lines (comments, blanks, stray text) are kept as
// they are, except inside a section that is replaced.
#pragma once

#include <string>

namespace effect {

class IniText {
 public:
  explicit IniText(std::string text = std::string()) : text_(std::move(text)) {}

  // The key's value in the section; false when the section or key is missing.
  bool Find(const char* section, const char* key, std::string* value) const;

  // Replaces the body of the first section of that name with the given key
  // lines, or appends the section at the end when there is none. keyList holds
  // "key=value" strings, each ended by a NUL, the list ended by an empty string
  // (so an empty list is just "\0"), as the Windows section functions take it.
  void ReplaceSection(const char* section, const char* keyList);

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace effect
