#include "host/ports.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>
#include <unordered_set>

#include "host/port_internal.h"

namespace {

thread_local GrafPtr t_currentPort = nullptr;

std::mutex& portsMutex() {
  static std::mutex m;
  return m;
}
std::unordered_set<const GrafPort*>& livePorts() {
  static auto* live = new std::unordered_set<const GrafPort*>();  // never destroyed: usable at exit
  return *live;
}

short clampShort(double value) {
  if (!(value > -32768.0)) return -32768;  // also catches NaN
  if (value > 32767.0) return 32767;
  return static_cast<short>(value);
}

}  // namespace

namespace qtzyn_host {

bool isLivePort(GrafPtr port) {
  if (port == nullptr) return false;
  std::lock_guard<std::mutex> lock(portsMutex());
  return livePorts().count(port) != 0;
}

GrafPtr currentLivePort() { return isLivePort(t_currentPort) ? t_currentPort : nullptr; }

}  // namespace qtzyn_host

using qtzyn_host::currentLivePort;
using qtzyn_host::isLivePort;

GrafPtr CreatePort(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxPortSide || height > kMaxPortSide) return nullptr;
  auto* port = new (std::nothrow) GrafPort;
  if (port == nullptr) return nullptr;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  try {
    port->pixels.assign(count * 4, 0);
  } catch (const std::bad_alloc&) {
    delete port;
    return nullptr;
  }
  for (std::size_t i = 0; i < count; ++i) port->pixels[i * 4 + 3] = 255;  // opaque black
  port->context.pixels = port->pixels.data();
  port->context.width = width;
  port->context.height = height;
  port->context.row_bytes = width * 4;
  port->context.top_down = true;
  port->context.order = kPortPixelOrderRGBA;
  std::lock_guard<std::mutex> lock(portsMutex());
  livePorts().insert(port);
  return port;
}

void DisposePort(GrafPtr port) {
  if (port == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(portsMutex());
    if (livePorts().erase(port) == 0) return;
  }
  if (t_currentPort == port) t_currentPort = nullptr;
  delete port;
}

PortDrawContext* GetPortDrawContext(GrafPtr port) { return isLivePort(port) ? &port->context : nullptr; }

void GetPort(GrafPtr* port) {
  if (port != nullptr) *port = currentLivePort();
}

void SetPort(GrafPtr port) { t_currentPort = port; }

HDC GetPortHDC(GrafPtr port) { return GetPortDrawContext(port); }

void SetRect(Rect* r, short left, short top, short right, short bottom) {
  if (r == nullptr) return;
  r->left = left;
  r->top = top;
  r->right = right;
  r->bottom = bottom;
}

Boolean PtInRect(Point pt, const Rect* r) {
  if (r == nullptr) return false;
  return pt.h >= r->left && pt.h < r->right && pt.v >= r->top && pt.v < r->bottom;
}

Boolean TransformRect(const MatrixRecord* matrix, Rect* r, FixedPoint* fpp) {
  if (matrix == nullptr || r == nullptr) return false;
  const auto& m = matrix->matrix;
  const double fixedUnit = 65536.0;
  const double fractUnit = 1073741824.0;  // 2.30
  const double a = m[0][0] / fixedUnit, b = m[0][1] / fixedUnit, u = m[0][2] / fractUnit;
  const double c = m[1][0] / fixedUnit, d = m[1][1] / fixedUnit, v = m[1][2] / fractUnit;
  const double tx = m[2][0] / fixedUnit, ty = m[2][1] / fixedUnit, w = m[2][2] / fractUnit;

  const double cornersIn[4][2] = {{double(r->left), double(r->top)},
                                  {double(r->right), double(r->top)},
                                  {double(r->right), double(r->bottom)},
                                  {double(r->left), double(r->bottom)}};
  double out[4][2];
  for (int i = 0; i < 4; ++i) {
    const double x = cornersIn[i][0], y = cornersIn[i][1];
    const double q = x * u + y * v + w;
    if (!(std::fabs(q) > 1e-12)) return false;
    out[i][0] = (x * a + y * c + tx) / q;
    out[i][1] = (x * b + y * d + ty) / q;
    if (!std::isfinite(out[i][0]) || !std::isfinite(out[i][1])) return false;
  }
  double minX = out[0][0], maxX = out[0][0], minY = out[0][1], maxY = out[0][1];
  for (const auto& p : out) {
    minX = std::min(minX, p[0]);
    maxX = std::max(maxX, p[0]);
    minY = std::min(minY, p[1]);
    maxY = std::max(maxY, p[1]);
  }
  r->left = clampShort(std::floor(minX + 0.5));
  r->top = clampShort(std::floor(minY + 0.5));
  r->right = clampShort(std::floor(maxX + 0.5));
  r->bottom = clampShort(std::floor(maxY + 0.5));
  if (fpp != nullptr) {
    for (int i = 0; i < 4; ++i) {
      fpp[i].x = FloatToFixed(out[i][0]);
      fpp[i].y = FloatToFixed(out[i][1]);
    }
  }
  return m[0][1] == 0 && m[1][0] == 0 && m[0][2] == 0 && m[1][2] == 0;
}

void RGBForeColor(const RGBColor* color) {
  GrafPtr port = currentLivePort();
  if (port == nullptr || color == nullptr) return;
  port->foreColor = *color;
}

void PaintRect(const Rect* r) {
  GrafPtr port = currentLivePort();
  if (port == nullptr || r == nullptr) return;
  const PortDrawContext& dc = port->context;
  const int left = std::max<int>(r->left, 0), right = std::min<int>(r->right, dc.width);
  const int top = std::max<int>(r->top, 0), bottom = std::min<int>(r->bottom, dc.height);
  if (left >= right || top >= bottom) return;
  const std::uint8_t red = port->foreColor.red >> 8, green = port->foreColor.green >> 8,
                     blue = port->foreColor.blue >> 8;
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* p = dc.pixels + static_cast<std::size_t>(y) * dc.row_bytes + static_cast<std::size_t>(left) * 4;
    for (int x = left; x < right; ++x, p += 4) {
      p[0] = red;
      p[1] = green;
      p[2] = blue;
      p[3] = 255;
    }
  }
}

void MoveTo(short h, short v) {
  GrafPtr port = currentLivePort();
  if (port == nullptr) return;
  port->pen.h = h;
  port->pen.v = v;
}
