#include "quillet/VoiceTable.h"

#include <gtest/gtest.h>

using quillet::Envelope;
using quillet::VoiceTable;

namespace {
struct Voices {
  VoiceTable table;
  Envelope envelopes[VoiceTable::kVoiceCount];

  Voices() {
    for (Envelope& e : envelopes) e.Reset(44100.0);
  }
  // What a note-on does to the table and the voice's envelope.
  int Play(int note, int polyphony) {
    const int v = table.ChooseVoice(note, polyphony, envelopes);
    table.Assign(v, note);
    envelopes[v].NoteOn();
    return v;
  }
};
}  // namespace

TEST(VoiceTable, FirstNoteTakesVoiceZeroWhateverItIs) {
  Voices a;
  EXPECT_EQ(a.Play(36, 4), 0);  // every voice holds 36 after a reset
  Voices b;
  EXPECT_EQ(b.Play(60, 4), 0);  // no match: the first idle voice
  EXPECT_EQ(b.Play(64, 4), 1);
  EXPECT_EQ(b.table.NoteCounter(), 2);
  EXPECT_EQ(b.table.Stamp(1), 2);
}

TEST(VoiceTable, SameNoteRetriggersItsVoice) {
  Voices v;
  v.Play(60, 4);
  v.Play(64, 4);
  EXPECT_EQ(v.Play(60, 4), 0);
  // Even after it went idle, the voice that last had the note takes it again,
  // before an idle voice ahead of it.
  v.envelopes[0].Stop();
  v.envelopes[1].Stop();
  EXPECT_EQ(v.Play(64, 4), 1);
}

TEST(VoiceTable, ThirdNoteOfTwoStealsTheOldest) {
  Voices v;
  EXPECT_EQ(v.Play(60, 2), 0);
  EXPECT_EQ(v.Play(64, 2), 1);
  EXPECT_EQ(v.Play(67, 2), 0);  // stamp 1 is the oldest
  EXPECT_EQ(v.Play(71, 2), 1);
  EXPECT_EQ(v.Play(72, 2), 0);
  EXPECT_EQ(v.table.Note(0), 72);
}

TEST(VoiceTable, AnIdleVoiceIsPreferredToStealing) {
  Voices v;
  v.Play(60, 3);
  v.Play(62, 3);
  v.Play(64, 3);
  v.envelopes[1].Stop();
  EXPECT_EQ(v.Play(65, 3), 1);
}

TEST(VoiceTable, OnlyVoicesWithinThePolyphonyAreChosen) {
  Voices v;
  v.Play(60, 1);
  EXPECT_EQ(v.Play(61, 1), 0);
  EXPECT_EQ(v.table.ChooseVoice(70, 0, v.envelopes), 0);  // polyphony clamped to 1
  // Voices 1..7 take 80..86, 87 steals voice 0 (stamp 2): now voice 1 is oldest.
  for (int n = 0; n < 8; ++n) v.Play(80 + n, 8);
  EXPECT_EQ(v.table.Note(0), 87);
  EXPECT_EQ(v.table.ChooseVoice(99, 12, v.envelopes), 1);  // polyphony clamped to 8
}

TEST(VoiceTable, EqualStampsStealTheFirst) {
  VoiceTable table;
  Envelope envelopes[VoiceTable::kVoiceCount];
  for (Envelope& e : envelopes) {
    e.Reset(44100.0);
    e.NoteOn();  // all sounding, all stamps 0
  }
  EXPECT_EQ(table.ChooseVoice(70, 4, envelopes), 0);
  table.Reset();
  EXPECT_EQ(table.NoteCounter(), 0);
}
