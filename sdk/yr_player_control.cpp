#include "sdk/yr_player_control.h"

#include "animation/player_control.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

YrPlayerControl::YrPlayerControl() {
  VScene* scene = YrKernelObjects::GetScene();
  player_ = scene ? &scene->player() : nullptr;
}

bool YrPlayerControl::Goto(const YrTime& time) { return player_ && player_->Goto(ToEngineTime(time)); }
YrTime YrPlayerControl::GetTime() const { return player_ ? FromEngineTime(player_->GetTime()) : YrTime(); }
bool YrPlayerControl::Play() { return player_ && (player_->Play(), true); }
bool YrPlayerControl::PlayReverse() { return player_ && (player_->PlayReverse(), true); }
bool YrPlayerControl::Stop() { return player_ && (player_->Stop(), true); }
bool YrPlayerControl::GotoStart() { return player_ && player_->GotoStart(); }
bool YrPlayerControl::GotoEnd() { return player_ && player_->GotoEnd(); }
bool YrPlayerControl::StepForward() { return player_ && player_->StepForward(); }
bool YrPlayerControl::StepBackward() { return player_ && player_->StepBackward(); }
bool YrPlayerControl::IsPlaying() const { return player_ && player_->IsPlaying(); }
bool YrPlayerControl::IsRecording() const { return player_ && player_->IsRecording(); }
YrTime YrPlayerControl::GetLoopStart() const { return player_ ? FromEngineTime(player_->GetLoopStart()) : YrTime(); }
YrTime YrPlayerControl::GetLoopStop() const { return player_ ? FromEngineTime(player_->GetLoopStop()) : YrTime(); }
void YrPlayerControl::SetLoopStart(const YrTime& time) {
  if (player_) player_->SetLoopStart(ToEngineTime(time));
}
void YrPlayerControl::SetLoopStop(const YrTime& time) {
  if (player_) player_->SetLoopStop(ToEngineTime(time));
}
bool YrPlayerControl::GetLoopActive() const { return player_ && player_->GetLoopActive(); }

}  // namespace YrSDK
