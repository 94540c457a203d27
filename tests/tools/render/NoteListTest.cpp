#include <gtest/gtest.h>

#include "tools/render/NoteList.h"

namespace {

using render::NoteList;
using render::TimedMidiMessage;

TEST(NoteList, NamesNotesWithMiddleCAsC4) {
  struct Case {
    const char* text;
    int note;
  };
  const Case good[] = {{"C4", 60},  {"A4", 69}, {"A#3", 58},  {"Bb3", 58}, {"c-1", 0},
                       {"G9", 127}, {"0", 0},   {"127", 127}, {"E2", 40}};
  for (const Case& c : good) {
    int note = -1;
    EXPECT_TRUE(NoteList::parseNote(c.text, &note)) << c.text;
    EXPECT_EQ(note, c.note) << c.text;
  }
  for (const char* bad : {"", "H4", "C", "C10", "G#9", "128", "-1", "C4x", "4C"}) {
    int note = -1;
    EXPECT_FALSE(NoteList::parseNote(bad, &note)) << bad;
  }
}

TEST(NoteList, TurnsBeatsIntoSecondsAtTheTempo) {
  std::vector<TimedMidiMessage> messages;
  std::string error;
  ASSERT_TRUE(NoteList::parse("A3@0+2, C4@1+0.5:90", 120.0, &messages, &error)) << error;
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].status, 0x90);
  EXPECT_EQ(messages[0].data1, 57);
  EXPECT_EQ(messages[0].data2, 100);
  EXPECT_DOUBLE_EQ(messages[0].seconds, 0.0);
  EXPECT_EQ(messages[1].data1, 60);
  EXPECT_EQ(messages[1].data2, 90);
  EXPECT_DOUBLE_EQ(messages[1].seconds, 0.5);
  EXPECT_EQ(messages[2].status, 0x80);  // C4 off at 1.5 beats
  EXPECT_DOUBLE_EQ(messages[2].seconds, 0.75);
  EXPECT_EQ(messages[3].status, 0x80);  // A3 off at 2 beats
  EXPECT_DOUBLE_EQ(messages[3].seconds, 1.0);
}

TEST(NoteList, PutsANoteOffBeforeANoteOnAtTheSameTime) {
  std::vector<TimedMidiMessage> messages;
  std::string error;
  ASSERT_TRUE(NoteList::parse("C4@1+1 C4@0+1", 60.0, &messages, &error)) << error;
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_DOUBLE_EQ(messages[1].seconds, 1.0);
  EXPECT_EQ(messages[1].status, 0x80);
  EXPECT_EQ(messages[2].status, 0x90);
}

TEST(NoteList, RefusesMalformedEntries) {
  for (const char* bad : {"", " , ", "C4", "C4@0", "C4@0+0", "C4@-1+1", "C4@0+1:0", "C4@0+1:128",
                          "C4@x+1", "X4@0+1", "C4@0+1:", "C4@0+1,D4"}) {
    std::vector<TimedMidiMessage> messages;
    std::string error;
    EXPECT_FALSE(NoteList::parse(bad, 120.0, &messages, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
