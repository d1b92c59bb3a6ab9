#include "sdk/yr_connect.h"

#include "core/plug.h"
#include "sdk/bridge/yr_engine_handles.h"

namespace YrSDK {

bool YrConnect(const YrPlug& src, const YrPlug& dst, YrConnectionType type) {
  return VPlug::Connect(YrEngineHandles::Plug(src), YrEngineHandles::Plug(dst), type, -1, -1,
                        type == kYrConnectionTypeUnidirectional);
}

bool YrDisconnect(const YrPlug& src, const YrPlug& dst) {
  return VPlug::Disconnect(YrEngineHandles::Plug(src), YrEngineHandles::Plug(dst));
}

}  // namespace YrSDK
