#pragma once
// A progress bar on stderr for long work, shown only when stderr is a
// terminal; it listens through the engine's progress interface.

#include <string>

#include "core/progress.h"

namespace tools {

class ProgressBar : public VProgress {
 public:
  ProgressBar();
  ~ProgressBar() override;
  void SetText(const std::string& text) override;
  void SetPercent(int percent) override;
  // Clears the bar's line.
  void Finish();

 private:
  void Draw();
  bool enabled_;
  bool drawn_ = false;
  int percent_ = -1;
  std::string text_;
};

}  // namespace tools
