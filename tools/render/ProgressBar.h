// A progress bar on standard error for long renders. Nothing is drawn during
// the first second, so short renders print no bar at all; after that it
// redraws at most ten times a second. finish() clears the line it drew.
#pragma once

#include <chrono>
#include <cstdio>

namespace render {

class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* stream, bool enabled = true);
  virtual ~ProgressBar();

  void update(long long done, long long total);
  void finish();

  // Seconds since construction.
  double elapsedSeconds() const;

 private:
  using Clock = std::chrono::steady_clock;

  std::FILE* stream_;
  bool enabled_;
  bool shown_;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
};

}  // namespace render
