#pragma once
// Free connection functions over two plugs: src -> dst.

#include "sdk/yr_plug.h"

namespace YrSDK {

bool YrConnect(const YrPlug& src, const YrPlug& dst, YrConnectionType type = kYrConnectionTypeNone);
bool YrDisconnect(const YrPlug& src, const YrPlug& dst);

}  // namespace YrSDK
