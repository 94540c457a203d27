#include "lice/LICE_Utf8.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Decode(const char* text, int length) {
  std::vector<int> out;
  for (int p = 0; p < length;) out.push_back(LICE_Utf8::Next(text, length, &p));
  return out;
}

TEST(LiceUtf8, DecodesTwoAndThreeByteSequencesAndBlanksFourByteOnes) {
  EXPECT_EQ(Decode("a\xC3\xA9", 3), (std::vector<int>{'a', 0xE9}));
  EXPECT_EQ(Decode("\xE2\x82\xAC", 3), (std::vector<int>{0x20AC}));
  EXPECT_EQ(Decode("\xF0\x9F\x8E\xB5!", 5), (std::vector<int>{' ', '!'}));
}

TEST(LiceUtf8, MalformedBytesStandForThemselvesAndNothingIsReadPastTheEnd) {
  // Latin-1 text, a lead byte without continuation, a stray continuation byte.
  EXPECT_EQ(Decode("\xE9t\xE9", 3), (std::vector<int>{0xE9, 't', 0xE9}));
  EXPECT_EQ(Decode("\xC3"
                   "A",
                   2),
            (std::vector<int>{0xC3, 'A'}));
  EXPECT_EQ(Decode("\x80", 1), (std::vector<int>{0x80}));
  // The sequence is complete in memory but cut by the length.
  EXPECT_EQ(Decode("\xE2\x82\xAC", 2), (std::vector<int>{0xE2, 0x82}));
}

TEST(LiceUtf8, ConvertsToUtf16AndReportsTheNeededLength) {
  EXPECT_FALSE(LICE_Utf8::HasMultiByte("plain \xE9", 7));
  EXPECT_TRUE(LICE_Utf8::HasMultiByte("x\xC3\xA9", 3));
  uint16_t out[2] = {0, 0};
  EXPECT_EQ(LICE_Utf8::ToUtf16("a\xC3\xA9z", 4, out, 2), 3);
  EXPECT_EQ(out[0], 'a');
  EXPECT_EQ(out[1], 0xE9);
}

}  // namespace
