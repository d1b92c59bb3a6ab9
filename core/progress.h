#pragma once
// Progress of long work (loading and saving scenes): a title, a text for
// the current step and a percentage. The viewer's loader thread and the
// command-line progress bar both listen through this interface.

#include <string>

class VProgress {
 public:
  virtual ~VProgress() = default;
  virtual void SetTitle(const std::string& /*title*/) {}
  virtual void SetText(const std::string& text) = 0;
  // 0..100
  virtual void SetPercent(int percent) = 0;
};
