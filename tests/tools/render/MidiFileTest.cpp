#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/render/MidiFile.h"

namespace {

using render::MidiFile;
using render::TimedMidiMessage;
using Bytes = std::vector<std::uint8_t>;

Bytes header(int format, int tracks, int division) {
  return {'M',
          'T',
          'h',
          'd',
          0,
          0,
          0,
          6,
          0,
          static_cast<std::uint8_t>(format),
          0,
          static_cast<std::uint8_t>(tracks),
          static_cast<std::uint8_t>(division >> 8),
          static_cast<std::uint8_t>(division & 0xFF)};
}

Bytes track(const Bytes& events) {
  Bytes chunk = {'M', 'T', 'r', 'k'};
  const std::uint32_t size = static_cast<std::uint32_t>(events.size());
  for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(std::uint8_t(size >> shift));
  chunk.insert(chunk.end(), events.begin(), events.end());
  return chunk;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// Format 0, 480 ticks per quarter: a note on, then (running status) its
// note-off as a note-on with velocity 0 one quarter later, a tempo change to
// 60 BPM, then a note one quarter later with running status again.
Bytes typeZeroWithRunningStatus() {
  return join({header(0, 1, 480),
               track(join({{0x00, 0x90, 60, 100},  // note on at 0
                           {0x83, 0x60, 60, 0},    // +480 ticks, running status
                           {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40},  // 1 000 000 us/quarter
                           {0x83, 0x60, 64, 90},            // +480 at 60 BPM, running status
                           {0x00, 0xB0, 7, 100},            // controller
                           {0x00, 0xF0, 0x02, 0x01, 0xF7},  // SysEx: skipped
                           {0x10, 0x40, 0},                 // running status continues B0
                           kEndOfTrack}))});
}

TEST(MidiFile, FollowsRunningStatusAndTempoChanges) {
  std::vector<TimedMidiMessage> messages;
  std::string error;
  ASSERT_TRUE(MidiFile::parse(typeZeroWithRunningStatus(), 120.0, &messages, &error)) << error;
  ASSERT_EQ(messages.size(), 5u);
  EXPECT_EQ(messages[0].status, 0x90);
  EXPECT_DOUBLE_EQ(messages[0].seconds, 0.0);
  EXPECT_EQ(messages[1].status, 0x90);  // running status kept
  EXPECT_EQ(messages[1].data1, 60);
  EXPECT_EQ(messages[1].data2, 0);
  EXPECT_DOUBLE_EQ(messages[1].seconds, 0.5);  // 480 ticks at 120 BPM
  EXPECT_EQ(messages[2].data1, 64);
  EXPECT_DOUBLE_EQ(messages[2].seconds, 1.5);  // then 480 ticks at 60 BPM
  EXPECT_EQ(messages[3].status, 0xB0);
  // The SysEx between does not reset the running status of the controller.
  EXPECT_EQ(messages[4].status, 0xB0);
  EXPECT_EQ(messages[4].data1, 0x40);
  EXPECT_NEAR(messages[4].seconds, 1.5 + 16.0 / 480.0, 1e-12);
}

TEST(MidiFile, MergesTheTracksOfTypeOneWithTheTempoMapOfTheFirst) {
  const Bytes tempoTrack =
      track(join({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},        // 500000: 120
                  {0x81, 0x70, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40},  // at 240: 60
                  kEndOfTrack}));
  const Bytes melody = track(join({{0x00, 0x91, 67, 80},       // channel 2
                                   {0x83, 0x60, 0x81, 67, 0},  // at 480
                                   kEndOfTrack}));
  const Bytes bass = track(join({{0x81, 0x70, 0x92, 40, 70},  // at 240, channel 3
                                 kEndOfTrack}));
  std::vector<TimedMidiMessage> messages;
  std::string error;
  ASSERT_TRUE(
      MidiFile::parse(join({header(1, 3, 480), tempoTrack, melody, bass}), 90.0, &messages, &error))
      << error;
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].status, 0x91);
  EXPECT_DOUBLE_EQ(messages[0].seconds, 0.0);
  EXPECT_EQ(messages[1].status, 0x92);
  EXPECT_DOUBLE_EQ(messages[1].seconds, 0.25);  // 240 ticks at 120 BPM
  EXPECT_EQ(messages[2].status, 0x81);
  EXPECT_DOUBLE_EQ(messages[2].seconds, 0.75);  // then 240 ticks at 60 BPM
}

TEST(MidiFile, UsesTheGivenTempoWithoutTempoEventsAndSmpteTimeAsIs) {
  const Bytes events = track(join({{0x00, 0x90, 60, 1}, {0x83, 0x60, 0x80, 60, 0}, kEndOfTrack}));
  std::vector<TimedMidiMessage> messages;
  std::string error;
  ASSERT_TRUE(MidiFile::parse(join({header(0, 1, 480), events}), 90.0, &messages, &error));
  EXPECT_NEAR(messages[1].seconds, 60.0 / 90.0, 1e-12);
  // 25 frames per second (0xE7 = -25), 40 ticks per frame: 1000 ticks a second.
  const Bytes smpte = track(join({{0x00, 0x90, 60, 1}, {0x87, 0x68, 0x80, 60, 0}, kEndOfTrack}));
  ASSERT_TRUE(MidiFile::parse(join({header(0, 1, 0xE728), smpte}), 90.0, &messages, &error));
  EXPECT_NEAR(messages[1].seconds, 1.0, 1e-12);
}

TEST(MidiFile, RefusesEveryTruncationOfAValidFile) {
  const Bytes whole = typeZeroWithRunningStatus();
  std::vector<TimedMidiMessage> messages;
  std::string error;
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    error.clear();
    EXPECT_FALSE(MidiFile::parse(cut, 120.0, &messages, &error)) << "cut at " << size;
    EXPECT_FALSE(error.empty()) << "cut at " << size;
  }
}

TEST(MidiFile, RefusesMalformedContent) {
  struct Case {
    const char* what;
    Bytes bytes;
    const char* message;
  };
  const Case cases[] = {
      {"not MIDI", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, "no MThd"},
      {"format 2", join({header(2, 1, 96), track(kEndOfTrack)}), "format 2"},
      {"format 0 with two tracks", join({header(0, 2, 96), track(kEndOfTrack), track(kEndOfTrack)}),
       "track count"},
      {"division zero", join({header(0, 1, 0), track(kEndOfTrack)}), "division"},
      {"data byte first", join({header(0, 1, 96), track(join({{0x00, 60, 100}, kEndOfTrack}))}),
       "running status"},
      {"track longer than file",
       join({header(0, 1, 96), {'M', 'T', 'r', 'k', 0, 0, 1, 0, 0x00, 0xFF, 0x2F, 0x00}}),
       "past the end"},
      {"no end of track", join({header(0, 1, 96), track({0x00, 0x90, 60, 100})}), "end-of-track"},
      {"delta of five bytes",
       join({header(0, 1, 96),
             track(join({{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}, kEndOfTrack}))}),
       "delta"},
      {"tempo of zero",
       join({header(0, 1, 96), track(join({{0x00, 0xFF, 0x51, 3, 0, 0, 0}, kEndOfTrack}))}),
       "tempo"},
  };
  for (const Case& c : cases) {
    std::vector<TimedMidiMessage> messages;
    std::string error;
    EXPECT_FALSE(MidiFile::parse(c.bytes, 120.0, &messages, &error)) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
  }
}

TEST(MidiFile, ReportsAMissingFile) {
  std::vector<TimedMidiMessage> messages;
  std::string error;
  EXPECT_FALSE(MidiFile::read("no-such-file.mid", 120.0, &messages, &error));
  EXPECT_EQ(error, "cannot open the file");
}

}  // namespace
