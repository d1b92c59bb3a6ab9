#pragma once
// YrPlayerControl: the player of the engine's scene.

#include "sdk/yr_time.h"

class VPlayerControl;

namespace YrSDK {

class YrPlayerControl {
 public:
  YrPlayerControl();  // the player of the running engine's scene
  bool IsValid() const { return player_ != nullptr; }

  // Stops playback and moves the current time; the next read of an
  // animated property gives its value at that time.
  bool Goto(const YrTime& time);
  YrTime GetTime() const;
  bool Play();
  bool PlayReverse();
  bool Stop();
  bool GotoStart();
  bool GotoEnd();
  bool StepForward();
  bool StepBackward();
  bool IsPlaying() const;
  bool IsRecording() const;
  YrTime GetLoopStart() const;
  YrTime GetLoopStop() const;
  void SetLoopStart(const YrTime& time);
  void SetLoopStop(const YrTime& time);
  bool GetLoopActive() const;

 private:
  VPlayerControl* player_ = nullptr;
};

}  // namespace YrSDK
