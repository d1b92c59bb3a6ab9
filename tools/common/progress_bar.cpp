#include "tools/common/progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace tools {

ProgressBar::ProgressBar() : enabled_(isatty(STDERR_FILENO) != 0) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Draw();
}

void ProgressBar::SetPercent(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  if (percent == percent_) return;
  percent_ = percent;
  Draw();
}

void ProgressBar::Draw() {
  if (!enabled_ || percent_ < 0) return;
  constexpr int kWidth = 30;
  int filled = percent_ * kWidth / 100;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kWidth - filled), '.');
  std::string text = text_.size() > 40 ? text_.substr(0, 37) + "..." : text_;
  std::fprintf(stderr, "\r[%s] %3d%% %-40s", bar.c_str(), percent_, text.c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  std::fprintf(stderr, "\r%*s\r", 80, "");
  std::fflush(stderr);
  drawn_ = false;
}

}  // namespace tools
