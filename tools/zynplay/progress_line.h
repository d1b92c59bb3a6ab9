#pragma once
// A progress bar on stderr for long runs, drawn only when stderr is a
// terminal and redrawn only when the shown percentage changes.

#include <string>

namespace zynplay {

class ProgressLine {
 public:
  // `label` precedes the bar; `total` steps make 100 %.
  ProgressLine(std::string label, long total);
  ~ProgressLine();
  void Update(long done);
  // Clears the bar's line.
  void Done();

 private:
  std::string label_;
  long total_;
  int shown_ = -1;
  bool active_;
};

}  // namespace zynplay
