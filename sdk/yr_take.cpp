#include "sdk/yr_take.h"

#include "animation/take.h"
#include "animation/take_list.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

namespace {
// The public take changes number as the engine's.
constexpr bool SameNumber(int public_value, int engine_value) { return public_value == engine_value; }
static_assert(SameNumber(kYrTakeChangeNone, kVTakeChangeNone) && SameNumber(kYrTakeChangeAdded, kVTakeChangeAdded) &&
              SameNumber(kYrTakeChangeRemoved, kVTakeChangeRemoved) &&
              SameNumber(kYrTakeChangeOpened, kVTakeChangeOpened) &&
              SameNumber(kYrTakeChangeClosed, kVTakeChangeClosed) &&
              SameNumber(kYrTakeChangeRenamed, kVTakeChangeRenamed) &&
              SameNumber(kYrTakeChangeUpdated, kVTakeChangeUpdated) && SameNumber(kYrTakeChangeMoved, kVTakeChangeMoved));
}  // namespace

std::string YrTake::GetName() const { return take_ ? take_->GetName() : std::string(); }

YrTimeSpan YrTake::GetLocalTimeSpan() const { return take_ ? FromEngineSpan(take_->local_span) : YrTimeSpan(); }

YrTimeSpan YrTake::GetReferenceTimeSpan() const {
  return take_ ? FromEngineSpan(take_->reference_span) : YrTimeSpan();
}

std::string YrTake::GetComments() const { return take_ ? take_->comments : std::string(); }

}  // namespace YrSDK
