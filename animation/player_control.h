#pragma once
// The player: the current local time every animated property reads at, a
// loop span and the transport state.

#include "core/time.h"

class VPlayerControl {
 public:
  // Stops playback, then moves the current time (not clamped to the take).
  bool Goto(VTime time);
  VTime GetTime() const { return time_; }
  const VTime* Clock() const { return &time_; }

  void Play() { playing_ = true; reverse_ = false; }
  void PlayReverse() { playing_ = true; reverse_ = true; }
  void Stop() { playing_ = false; }
  bool IsPlaying() const { return playing_; }
  bool IsRecording() const { return false; }

  // Transport over a span: start and end, one frame of the default mode.
  void SetSpan(VTime start, VTime stop) { start_ = start; stop_ = stop; }
  bool GotoStart() { return Goto(start_); }
  bool GotoEnd() { return Goto(stop_); }
  bool StepForward();
  bool StepBackward();

  VTime GetLoopStart() const { return loop_start_; }
  VTime GetLoopStop() const { return loop_stop_; }
  void SetLoopStart(VTime t) { loop_start_ = t; }
  void SetLoopStop(VTime t) { loop_stop_ = t; }
  bool GetLoopActive() const { return loop_active_; }
  void SetLoopActive(bool active) { loop_active_ = active; }

 private:
  VTime time_;
  VTime start_, stop_;
  VTime loop_start_, loop_stop_;
  bool loop_active_ = false;
  bool playing_ = false;
  bool reverse_ = false;
};
