#include "sdk/yr_connect.h"

#include "core/plug.h"

namespace YrSDK {

bool YrConnect(const YrPlug& src, const YrPlug& dst, YrConnectionType type) {
  return VPlug::Connect(src.GetPlug(), dst.GetPlug(), type, -1, -1,
                        type == kYrConnectionTypeUnidirectional);
}

bool YrDisconnect(const YrPlug& src, const YrPlug& dst) {
  return VPlug::Disconnect(src.GetPlug(), dst.GetPlug());
}

}  // namespace YrSDK
