#include "tools/zynplay/progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace zynplay {
namespace {
// Runs shorter than this many steps finish before a bar is worth drawing.
constexpr long kShortRun = 120;
constexpr int kBarWidth = 40;
}  // namespace

ProgressLine::ProgressLine(std::string label, long total)
    : label_(std::move(label)), total_(total), active_(total >= kShortRun && isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() { Done(); }

void ProgressLine::Update(long done) {
  if (!active_ || total_ <= 0) return;
  const int percent = static_cast<int>(done >= total_ ? 100 : done * 100 / total_);
  if (percent == shown_) return;
  shown_ = percent;
  char bar[kBarWidth + 1];
  const int filled = percent * kBarWidth / 100;
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar, percent);
  std::fflush(stderr);
}

void ProgressLine::Done() {
  if (!active_ || shown_ < 0) return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(label_.size()) + kBarWidth + 8, "");
  std::fflush(stderr);
  shown_ = -1;
}

}  // namespace zynplay
