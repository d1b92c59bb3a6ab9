#include "sdk/yr_plug.h"

#include "core/plug.h"

namespace YrSDK {

namespace {
// The public connection types number as the engine's.
constexpr bool SameNumber(int public_value, int engine_value) { return public_value == engine_value; }
static_assert(SameNumber(kYrConnectionTypeNone, ::kYrConnectionTypeNone) &&
              SameNumber(kYrConnectionTypeSystem, ::kYrConnectionTypeSystem) &&
              SameNumber(kYrConnectionTypeUnidirectional, ::kYrConnectionTypeUnidirectional));
}  // namespace

namespace {
bool OneWay(YrConnectionType type) { return type == kYrConnectionTypeUnidirectional; }
}  // namespace

YrPlug::YrPlug(VPlug* plug) : mPlug(plug) {}

bool YrPlug::ConnectSrc(const YrPlug& src, YrConnectionType type) {
  return mPlug && mPlug->ConnectSrc(src.mPlug, type);
}
bool YrPlug::ConnectDst(const YrPlug& dst, YrConnectionType type) {
  return mPlug && mPlug->ConnectDst(dst.mPlug, type);
}
bool YrPlug::ConnectSrcAt(int index, const YrPlug& src, YrConnectionType type) {
  return mPlug && mPlug->ConnectSrcAt(index, src.mPlug, type);
}
bool YrPlug::ConnectDstAt(int index, const YrPlug& dst, YrConnectionType type) {
  return mPlug && mPlug->ConnectDstAt(index, dst.mPlug, type);
}
bool YrPlug::ConnectAt(const YrPlug& src, int srcIndex, const YrPlug& dst, int dstIndex,
                       YrConnectionType type) {
  return VPlug::Connect(src.mPlug, dst.mPlug, type, dstIndex, srcIndex, OneWay(type));
}
bool YrPlug::DisconnectSrc(const YrPlug& src) { return mPlug && mPlug->DisconnectSrc(src.mPlug); }
bool YrPlug::DisconnectDst(const YrPlug& dst) { return mPlug && mPlug->DisconnectDst(dst.mPlug); }
bool YrPlug::DisconnectAllSrc() { return mPlug && mPlug->DisconnectAllSrc(); }
bool YrPlug::DisconnectAllDst() { return mPlug && mPlug->DisconnectAllDst(); }
bool YrPlug::DisconnectSrcAt(int index) { return mPlug && mPlug->DisconnectSrcAt(index); }
bool YrPlug::DisconnectDstAt(int index) { return mPlug && mPlug->DisconnectDstAt(index); }
bool YrPlug::ReplaceSrcAt(int index, const YrPlug& src, YrConnectionType type) {
  return mPlug && mPlug->ReplaceSrcAt(index, src.mPlug, type);
}
bool YrPlug::ReplaceDstAt(int index, const YrPlug& dst, YrConnectionType type) {
  return mPlug && mPlug->ReplaceDstAt(index, dst.mPlug, type);
}
bool YrPlug::SwapSrc(int a, int b) { return mPlug && mPlug->SwapSrc(a, b); }
bool YrPlug::MoveSrc(int from, int to) { return mPlug && mPlug->MoveSrc(from, to); }

int YrPlug::GetSrcCount() const { return mPlug ? mPlug->GetSrcCount() : 0; }
YrPlug YrPlug::GetSrc(int index) const { return YrPlug(mPlug ? mPlug->GetSrc(index) : nullptr); }
YrConnectionType YrPlug::GetSrcType(int index) const {
  return static_cast<YrConnectionType>(mPlug ? mPlug->GetSrcType(index) : 0);
}
int YrPlug::GetDstCount() const { return mPlug ? mPlug->GetDstCount() : 0; }
YrPlug YrPlug::GetDst(int index) const { return YrPlug(mPlug ? mPlug->GetDst(index) : nullptr); }
YrConnectionType YrPlug::GetDstType(int index) const {
  return static_cast<YrConnectionType>(mPlug ? mPlug->GetDstType(index) : 0);
}

void YrPlug::BeginChange() {
  if (mPlug) mPlug->BeginChange();
}
void YrPlug::EndChange() {
  if (mPlug) mPlug->EndChange();
}

YrPlug YrPlug::GetOwner() const { return YrPlug(mPlug ? mPlug->GetOwner() : nullptr); }
int YrPlug::GetOwnerCount() const { return mPlug ? mPlug->GetOwnerCount() : 0; }
YrPlug YrPlug::GetOwned(int index) const { return YrPlug(mPlug ? mPlug->GetOwned(index) : nullptr); }
int YrPlug::GetOwnedCount() const { return mPlug ? mPlug->GetOwnedCount() : 0; }

}  // namespace YrSDK
