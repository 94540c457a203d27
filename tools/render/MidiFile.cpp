#include "tools/render/MidiFile.h"

#include <algorithm>
#include <cstdio>

#include "tools/render/ByteFile.h"

namespace render {

namespace {

constexpr std::uint32_t kMaxTracks = 4096;

struct TickedMessage {
  std::uint64_t tick;
  int track;
  long long order;  // position in the track, for a stable merge
  bool isTempo;
  std::uint32_t microsecondsPerQuarter;
  TimedMidiMessage message;
};

class Reader {
 public:
  Reader(const std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end)
      : bytes_(bytes), position_(begin), end_(end) {}

  bool atEnd() const { return position_ >= end_; }
  std::size_t position() const { return position_; }

  bool byte(std::uint8_t* value) {
    if (position_ >= end_) return false;
    *value = bytes_[position_++];
    return true;
  }
  bool peek(std::uint8_t* value) const {
    if (position_ >= end_) return false;
    *value = bytes_[position_];
    return true;
  }
  bool skip(std::uint64_t count) {
    if (count > end_ - position_) return false;
    position_ += static_cast<std::size_t>(count);
    return true;
  }
  bool bigEndian(int size, std::uint32_t* value) {
    std::uint32_t result = 0;
    for (int i = 0; i < size; ++i) {
      std::uint8_t b;
      if (!byte(&b)) return false;
      result = (result << 8) | b;
    }
    *value = result;
    return true;
  }
  // A variable-length quantity: at most four bytes, seven bits each.
  bool variableLength(std::uint32_t* value) {
    std::uint32_t result = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t b;
      if (!byte(&b)) return false;
      result = (result << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) {
        *value = result;
        return true;
      }
    }
    return false;
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t position_;
  std::size_t end_;
};

int dataBytesOf(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool parseTrack(const std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end,
                int track, std::vector<TickedMessage>* out, std::string* errorText) {
  Reader reader(bytes, begin, end);
  std::uint64_t tick = 0;
  std::uint8_t runningStatus = 0;
  long long order = 0;
  const std::string where = "track " + std::to_string(track + 1) + ": ";
  while (!reader.atEnd()) {
    std::uint32_t delta;
    if (!reader.variableLength(&delta)) {
      *errorText = where + "truncated or bad delta time";
      return false;
    }
    tick += delta;
    std::uint8_t first;
    if (!reader.peek(&first)) {
      *errorText = where + "ends after a delta time";
      return false;
    }
    if (first == 0xFF) {
      reader.byte(&first);
      std::uint8_t type;
      std::uint32_t length;
      if (!reader.byte(&type) || !reader.variableLength(&length)) {
        *errorText = where + "truncated meta event";
        return false;
      }
      const std::size_t dataStart = reader.position();
      if (!reader.skip(length)) {
        *errorText = where + "meta event runs past the end of the track";
        return false;
      }
      if (type == 0x2F) {
        return true;  // end of track; anything after it is ignored
      }
      if (type == 0x51) {
        if (length != 3) {
          *errorText = where + "tempo event of the wrong length";
          return false;
        }
        const std::uint32_t tempo = (std::uint32_t{bytes[dataStart]} << 16) |
                                    (std::uint32_t{bytes[dataStart + 1]} << 8) |
                                    bytes[dataStart + 2];
        if (tempo == 0) {
          *errorText = where + "tempo of zero";
          return false;
        }
        out->push_back({tick, track, order++, true, tempo, {}});
      }
      continue;
    }
    if (first == 0xF0 || first == 0xF7) {
      reader.byte(&first);
      std::uint32_t length;
      if (!reader.variableLength(&length) || !reader.skip(length)) {
        *errorText = where + "truncated SysEx event";
        return false;
      }
      continue;
    }
    std::uint8_t status;
    if ((first & 0x80) != 0) {
      reader.byte(&status);
      if (status >= 0xF0) {
        *errorText = where + "system message in a track";
        return false;
      }
      runningStatus = status;
    } else {
      if (runningStatus == 0) {
        *errorText = where + "data byte without a status (running status not set)";
        return false;
      }
      status = runningStatus;
    }
    std::uint8_t data[2] = {0, 0};
    for (int i = 0; i < dataBytesOf(status); ++i) {
      if (!reader.byte(&data[i]) || (data[i] & 0x80) != 0) {
        *errorText = where + "truncated or bad channel message";
        return false;
      }
    }
    TimedMidiMessage message;
    message.status = status;
    message.data1 = data[0];
    message.data2 = data[1];
    out->push_back({tick, track, order++, false, 0, message});
  }
  *errorText = where + "missing its end-of-track event (file truncated?)";
  return false;
}

}  // namespace

bool MidiFile::parse(const std::vector<std::uint8_t>& bytes, double defaultTempoBpm,
                     std::vector<TimedMidiMessage>* messages, std::string* errorText) {
  Reader header(bytes, 0, bytes.size());
  std::uint32_t magic = 0, length = 0, format = 0, trackCount = 0, division = 0;
  if (!header.bigEndian(4, &magic) || magic != 0x4D546864u) {  // "MThd"
    *errorText = "not a Standard MIDI File (no MThd header)";
    return false;
  }
  if (!header.bigEndian(4, &length) || length < 6 || !header.bigEndian(2, &format) ||
      !header.bigEndian(2, &trackCount) || !header.bigEndian(2, &division) ||
      !header.skip(length - 6)) {
    *errorText = "truncated MIDI file header";
    return false;
  }
  if (format > 1) {
    *errorText = "MIDI file format " + std::to_string(format) + " is not supported (0 or 1 wanted)";
    return false;
  }
  if (trackCount == 0 || trackCount > kMaxTracks || (format == 0 && trackCount != 1)) {
    *errorText = "MIDI file with a bad track count (" + std::to_string(trackCount) + ")";
    return false;
  }
  if (division == 0) {
    *errorText = "MIDI file with a time division of zero";
    return false;
  }

  std::vector<TickedMessage> ticked;
  std::size_t position = header.position();
  for (std::uint32_t track = 0; track < trackCount; ++track) {
    Reader chunk(bytes, position, bytes.size());
    std::uint32_t chunkMagic = 0, chunkLength = 0;
    if (!chunk.bigEndian(4, &chunkMagic) || !chunk.bigEndian(4, &chunkLength)) {
      *errorText = "MIDI file ends before track " + std::to_string(track + 1);
      return false;
    }
    const std::size_t begin = chunk.position();
    if (chunkLength > bytes.size() - begin) {
      *errorText = "track " + std::to_string(track + 1) + " runs past the end of the file";
      return false;
    }
    if (chunkMagic == 0x4D54726Bu) {  // "MTrk"
      if (!parseTrack(bytes, begin, begin + chunkLength, static_cast<int>(track), &ticked,
                      errorText)) {
        return false;
      }
    } else {
      --track;  // an unknown chunk: skipped, it does not count as a track
    }
    position = begin + chunkLength;
  }

  // Merge by tick; at equal ticks tempo changes come first, then tracks in
  // order, then events in their track order.
  std::stable_sort(ticked.begin(), ticked.end(),
                   [](const TickedMessage& a, const TickedMessage& b) {
                     if (a.tick != b.tick) return a.tick < b.tick;
                     if (a.isTempo != b.isTempo) return a.isTempo;
                     if (a.track != b.track) return a.track < b.track;
                     return a.order < b.order;
                   });

  messages->clear();
  const bool smpte = (division & 0x8000) != 0;
  double secondsPerTick;
  if (smpte) {
    const int framesPerSecond = 256 - static_cast<int>((division >> 8) & 0xFF);
    const int ticksPerFrame = static_cast<int>(division & 0xFF);
    if (framesPerSecond <= 0 || ticksPerFrame == 0) {
      *errorText = "MIDI file with a bad SMPTE time division";
      return false;
    }
    secondsPerTick = 1.0 / (static_cast<double>(framesPerSecond) * ticksPerFrame);
  } else {
    secondsPerTick = 60.0 / defaultTempoBpm / static_cast<double>(division);
  }
  double seconds = 0.0;
  std::uint64_t lastTick = 0;
  for (const TickedMessage& entry : ticked) {
    seconds += static_cast<double>(entry.tick - lastTick) * secondsPerTick;
    lastTick = entry.tick;
    if (entry.isTempo) {
      if (!smpte) {
        secondsPerTick = entry.microsecondsPerQuarter / 1e6 / static_cast<double>(division);
      }
      continue;
    }
    TimedMidiMessage message = entry.message;
    message.seconds = seconds;
    messages->push_back(message);
  }
  return true;
}

bool MidiFile::read(const std::string& path, double defaultTempoBpm,
                    std::vector<TimedMidiMessage>* messages, std::string* errorText) {
  std::vector<std::uint8_t> bytes;
  if (!ByteFile::read(path, &bytes, errorText)) {
    return false;
  }
  return parse(bytes, defaultTempoBpm, messages, errorText);
}

}  // namespace render
