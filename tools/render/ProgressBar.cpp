#include "tools/render/ProgressBar.h"

namespace render {

namespace {

constexpr double kQuietSeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;
constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, bool enabled)
    : stream_(stream), enabled_(enabled), shown_(false), start_(Clock::now()), lastDraw_(start_) {}

ProgressBar::~ProgressBar() = default;

double ProgressBar::elapsedSeconds() const {
  return std::chrono::duration<double>(Clock::now() - start_).count();
}

void ProgressBar::update(long long done, long long total) {
  if (!enabled_ || total <= 0) return;
  const Clock::time_point now = Clock::now();
  if (std::chrono::duration<double>(now - start_).count() < kQuietSeconds) return;
  if (shown_ && std::chrono::duration<double>(now - lastDraw_).count() < kRedrawSeconds &&
      done < total) {
    return;
  }
  lastDraw_ = now;
  shown_ = true;
  const int filled = static_cast<int>(done * kBarWidth / total);
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stream_, "\rrendering [%s] %3d%%", bar, static_cast<int>(done * 100 / total));
  std::fflush(stream_);
}

void ProgressBar::finish() {
  if (shown_) {
    std::fprintf(stream_, "\r%*s\r", kBarWidth + 20, "");
    std::fflush(stream_);
    shown_ = false;
  }
}

}  // namespace render
