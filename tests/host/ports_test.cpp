#include "host/ports.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

#include "sdk/yr_ogl_context_wrapper.h"  // only to check that the layouts match

namespace {

// A port's device context is handed to the renderer as its draw context.
using YrSDK::YrDrawContext;
static_assert(sizeof(PortDrawContext) == sizeof(YrDrawContext), "layouts differ");
static_assert(offsetof(PortDrawContext, pixels) == offsetof(YrDrawContext, pixels), "layouts differ");
static_assert(offsetof(PortDrawContext, width) == offsetof(YrDrawContext, width), "layouts differ");
static_assert(offsetof(PortDrawContext, height) == offsetof(YrDrawContext, height), "layouts differ");
static_assert(offsetof(PortDrawContext, row_bytes) == offsetof(YrDrawContext, row_bytes), "layouts differ");
static_assert(offsetof(PortDrawContext, top_down) == offsetof(YrDrawContext, top_down), "layouts differ");
static_assert(offsetof(PortDrawContext, order) == offsetof(YrDrawContext, order), "layouts differ");
static_assert(offsetof(PortDrawContext, can_stretch_blit) == offsetof(YrDrawContext, can_stretch_blit), "layouts differ");
static_assert(offsetof(PortDrawContext, can_stretch_dib) == offsetof(YrDrawContext, can_stretch_dib), "layouts differ");
static_assert(kPortPixelOrderRGBA == YrSDK::kYrPixelOrderRGBA && kPortPixelOrderBGRA == YrSDK::kYrPixelOrderBGRA,
              "pixel orders differ");

struct Pixel {
  int r, g, b, a;
  bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

Pixel pixelAt(GrafPtr port, int x, int y) {
  const PortDrawContext* dc = GetPortDrawContext(port);
  const std::uint8_t* p = dc->pixels + y * dc->row_bytes + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

// Makes a port current for the test's length and disposes it afterwards.
struct ScopedPort {
  GrafPtr port;
  ScopedPort(int w, int h) : port(CreatePort(w, h)) { SetPort(port); }
  ~ScopedPort() { DisposePort(port); }
};

TEST(Ports, NewPortDescribesItsPixels) {
  GrafPtr port = CreatePort(7, 3);
  ASSERT_NE(port, nullptr);
  const PortDrawContext* dc = GetPortDrawContext(port);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(static_cast<HDC>(const_cast<PortDrawContext*>(dc)), GetPortHDC(port));
  EXPECT_EQ(dc->width, 7);
  EXPECT_EQ(dc->height, 3);
  EXPECT_EQ(dc->row_bytes, 28);
  EXPECT_TRUE(dc->top_down);
  EXPECT_EQ(dc->order, kPortPixelOrderRGBA);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(pixelAt(port, x, y), (Pixel{0, 0, 0, 255}));
  DisposePort(port);
}

TEST(Ports, BadSizesAreRefused) {
  EXPECT_EQ(CreatePort(0, 10), nullptr);
  EXPECT_EQ(CreatePort(10, 0), nullptr);
  EXPECT_EQ(CreatePort(-1, 10), nullptr);
  EXPECT_EQ(CreatePort(kMaxPortSide + 1, 1), nullptr);
  EXPECT_EQ(CreatePort(1, 1 << 30), nullptr);
  GrafPtr edge = CreatePort(kMaxPortSide, 1);
  EXPECT_NE(edge, nullptr);
  DisposePort(edge);
}

TEST(Ports, CurrentPortIsPerThreadAndForgottenAtDispose) {
  GrafPtr a = CreatePort(4, 4);
  GrafPtr b = CreatePort(4, 4);
  SetPort(a);
  GrafPtr seen = nullptr;
  GetPort(&seen);
  EXPECT_EQ(seen, a);
  GrafPtr other = a;
  std::thread([&] {
    GetPort(&other);  // nothing set on this thread yet
    SetPort(b);
  }).join();
  EXPECT_EQ(other, nullptr);
  GetPort(&seen);
  EXPECT_EQ(seen, a);
  DisposePort(a);
  GetPort(&seen);
  EXPECT_EQ(seen, nullptr);
  DisposePort(b);
  GetPort(nullptr);  // no place for the answer: nothing happens
}

TEST(Ports, DeadAndNullPortsAreHarmless) {
  GrafPtr port = CreatePort(2, 2);
  DisposePort(port);
  DisposePort(port);
  DisposePort(nullptr);
  EXPECT_EQ(GetPortHDC(port), nullptr);
  EXPECT_EQ(GetPortHDC(nullptr), nullptr);
  EXPECT_EQ(GetPortDrawContext(port), nullptr);
  SetPort(port);  // a dead port as current: drawing does nothing
  GrafPtr seen = port;
  GetPort(&seen);
  EXPECT_EQ(seen, nullptr);
  RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
  RGBForeColor(&white);
  Rect r;
  SetRect(&r, 0, 0, 2, 2);
  PaintRect(&r);
  MoveTo(1, 1);
  SetPort(nullptr);
  PaintRect(&r);
  PaintRect(nullptr);
  RGBForeColor(nullptr);
}

TEST(Rects, SetRectAndPtInRect) {
  Rect r;
  SetRect(&r, 10, 20, 30, 40);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 40);
  struct Case {
    short h, v;
    bool inside;
  } cases[] = {{10, 20, true},  {29, 39, true},  {30, 20, false}, {10, 40, false},
               {9, 25, false},  {15, 19, false}, {20, 30, true}};
  for (const auto& c : cases) {
    Point p;
    p.h = c.h;
    p.v = c.v;
    EXPECT_EQ(PtInRect(p, &r) != 0, c.inside) << c.h << "," << c.v;
  }
  EXPECT_FALSE(PtInRect(Point{}, nullptr));
  SetRect(nullptr, 1, 2, 3, 4);
  Rect empty;
  SetRect(&empty, 5, 5, 5, 9);
  Point p;
  p.h = 5;
  p.v = 6;
  EXPECT_FALSE(PtInRect(p, &empty));
}

TEST(Rects, TransformRectIdentityScaleAndTranslate) {
  Rect r;
  SetRect(&r, 0, 0, 500, 280);
  MatrixRecord identity;
  EXPECT_TRUE(TransformRect(&identity, &r, nullptr));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 500);
  EXPECT_EQ(r.bottom, 280);

  MatrixRecord m;
  m.matrix[0][0] = FloatToFixed(2.0);
  m.matrix[1][1] = FloatToFixed(0.5);
  m.matrix[2][0] = IntToFixed(10);
  m.matrix[2][1] = IntToFixed(-5);
  FixedPoint corners[4];
  EXPECT_TRUE(TransformRect(&m, &r, corners));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, -5);
  EXPECT_EQ(r.right, 1010);
  EXPECT_EQ(r.bottom, 135);
  EXPECT_EQ(corners[0].x, IntToFixed(10));
  EXPECT_EQ(corners[2].x, IntToFixed(1010));
  EXPECT_EQ(corners[2].y, IntToFixed(135));
}

TEST(Rects, TransformRectRotationGivesTheBoundingBox) {
  Rect r;
  SetRect(&r, 0, 0, 100, 50);
  MatrixRecord quarter;  // 90°: (x, y) → (-y, x)
  quarter.matrix[0][0] = 0;
  quarter.matrix[0][1] = fixed1;
  quarter.matrix[1][0] = -fixed1;
  quarter.matrix[1][1] = 0;
  EXPECT_FALSE(TransformRect(&quarter, &r, nullptr));
  EXPECT_EQ(r.left, -50);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.bottom, 100);
}

TEST(Rects, TransformRectRefusesDegenerateAndClampsHuge) {
  Rect r;
  SetRect(&r, 0, 0, 10, 10);
  MatrixRecord zeroW;
  zeroW.matrix[2][2] = 0;
  EXPECT_FALSE(TransformRect(&zeroW, &r, nullptr));
  EXPECT_EQ(r.right, 10);  // unchanged
  EXPECT_FALSE(TransformRect(nullptr, &r, nullptr));
  MatrixRecord identity;
  EXPECT_FALSE(TransformRect(&identity, nullptr, nullptr));

  MatrixRecord huge;
  huge.matrix[0][0] = 0x7FFFFFFF;
  huge.matrix[1][1] = 0x7FFFFFFF;
  SetRect(&r, -30000, -30000, 30000, 30000);
  TransformRect(&huge, &r, nullptr);
  EXPECT_EQ(r.left, -32768);
  EXPECT_EQ(r.right, 32767);
}

TEST(Paint, PaintRectSetsExactlyTheRectangle) {
  ScopedPort s(8, 6);
  RGBColor color{0x1234, 0xABCD, 0xFF00};
  RGBForeColor(&color);
  Rect r;
  SetRect(&r, 2, 1, 5, 4);
  PaintRect(&r);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
      EXPECT_EQ(pixelAt(s.port, x, y), inside ? (Pixel{0x12, 0xAB, 0xFF, 255}) : (Pixel{0, 0, 0, 255}))
          << x << "," << y;
    }
}

TEST(Paint, PaintRectIsClippedToThePort) {
  ScopedPort s(4, 4);
  RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
  RGBForeColor(&white);
  Rect r;
  SetRect(&r, -100, 2, 32767, 32767);
  PaintRect(&r);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(pixelAt(s.port, x, y), y >= 2 ? (Pixel{255, 255, 255, 255}) : (Pixel{0, 0, 0, 255}));
  // Empty, inverted and wholly outside rectangles paint nothing.
  RGBColor red{0xFFFF, 0, 0};
  RGBForeColor(&red);
  const Rect nothing[] = {{0, 0, 0, 4}, {3, 3, 1, 1}, {-10, -10, -1, -1}, {4, 4, 100, 100}};
  for (const Rect& n : nothing) PaintRect(&n);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(pixelAt(s.port, x, y), y >= 2 ? (Pixel{255, 255, 255, 255}) : (Pixel{0, 0, 0, 255}));
}

}  // namespace
