#pragma once
// The text decoding of the font layer. Text arrives as bytes that are usually
// UTF-8 but may be in a single-byte code page; a byte that does not start a
// well-formed sequence stands for itself.
//
//   well-formed 2- or 3-byte sequence   its character
//   well-formed 4-byte sequence         a blank (the glyph cache holds 16-bit codes)
//   any other byte                      the byte's own value
//
// Sequences are never read past the given length.

#include <cstdint>

class LICE_Utf8 {
 public:
  // Decodes the character at text[*position] (position < length) and moves
  // *position past it.
  static int Next(const char* text, int length, int* position);
  // True when text holds at least one well-formed multi-byte sequence.
  static bool HasMultiByte(const char* text, int length);
  // Converts to UTF-16 code units as Next decodes them; writes at most
  // capacity units and returns the number the whole text needs.
  static int ToUtf16(const char* text, int length, uint16_t* out, int capacity);
};
