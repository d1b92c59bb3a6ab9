#pragma once
// Progress of long work (loading and saving scenes): a title, a text for
// the current step and a percentage. The viewer's loader thread and the
// command-line progress bar both listen through this interface, and a
// listener may ask the work to stop: readers poll IsCancelled where they
// report and end as a failure.

#include <algorithm>
#include <string>

class VProgress {
 public:
  virtual ~VProgress() = default;
  virtual void SetTitle(const std::string& /*title*/) {}
  virtual void SetText(const std::string& text) = 0;
  // 0..100
  virtual void SetPercent(int percent) = 0;
  // True once the listener wants the work to stop. Polled from the worker's
  // thread, so an implementation reads an atomic.
  virtual bool IsCancelled() const { return false; }
};

// done / total as a percentage in 0..100, 100 for an unknown total. Counts
// from a file can be anything, so the arithmetic is 64-bit and clamped.
inline int VProgressPercent(long long done, long long total) {
  if (total <= 0) return 100;
  done = std::clamp(done, 0LL, total);
  return static_cast<int>(done * 100 / total);
}

inline bool VProgressCancelled(const VProgress* progress) { return progress != nullptr && progress->IsCancelled(); }
