#include "animation/player_control.h"

#include "core/evaluation_serial.h"

bool VPlayerControl::Goto(VTime time) {
  Stop();
  if (time != time_) VEvaluationAdvance();
  time_ = time;
  return true;
}

bool VPlayerControl::StepForward() {
  VTime frame;
  frame.SetTime(0, 0, 0, 1, 0, 0);
  return Goto(time_ + frame);
}

bool VPlayerControl::StepBackward() {
  VTime frame;
  frame.SetTime(0, 0, 0, 1, 0, 0);
  return Goto(time_ - frame);
}
