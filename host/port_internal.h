// The port record and its registry, shared by ports.cpp and port_text.cpp.
// Private to this layer.
#pragma once

#include <string>
#include <vector>

#include "host/port_text.h"
#include "host/ports.h"

struct GrafPort {
  std::vector<std::uint8_t> pixels;
  PortDrawContext context;  // the device context; its address never changes
  RGBColor foreColor;
  Point pen;
  short txFont = 0;
  short txSize = 0;
  Style txFace = normal;
  PortTextObserver textObserver = nullptr;
  void* textObserverUser = nullptr;
};

namespace qtzyn_host {

// The calling thread's current port when it is still alive, else null.
GrafPtr currentLivePort();
// Whether `port` is a live port.
bool isLivePort(GrafPtr port);

}  // namespace qtzyn_host
