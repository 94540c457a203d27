// Bounded, locale-independent text helpers shared by the framework core.
//
// Number texts never go through the C library's locale: a host running in a
// locale with a decimal comma still sees "0.5", and its typed "1.5" reads as 1.5.
#pragma once

#include <cstddef>

namespace plug {

// Copies src into dst (capacity bytes, terminator included), cutting it when
// needed. Nothing happens when dst is null or capacity is 0; a null src gives "".
void CopyText(char* dst, const char* src, std::size_t capacity);

// "%d" of v truncated toward zero, or "%.*f" with the given digits, always with
// a '.' as decimal point. Values outside the int range and non-finite values
// get a defined text instead of undefined behaviour.
void FormatNumber(double v, int precision, char* dst, std::size_t capacity);

// The leading decimal number of text (leading blanks and one sign allowed, the
// rest ignored); 0.0 when there is none or it is not finite.
double ParseLeadingNumber(const char* text);

// ASCII lower-casing in place; other bytes stay as they are.
void LowerCaseAscii(char* text);

}  // namespace plug
