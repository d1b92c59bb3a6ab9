// The offscreen context: both platform paths drawn into and read back, the
// refusals, the thread check, and the blit callbacks fed hostile rectangles
// over exact-size buffers.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <EGL/egl.h>

#include "render/gl_functions.h"
#include "render/ogl_context_egl.h"
#include "sdk/yr_ogl_context_wrapper.h"

using namespace YrSDK;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// A caller's pixel buffer of exactly width × height pixels, filled with a
// marker so that untouched pixels show.
struct Buffer {
  std::vector<std::uint8_t> bytes;
  YrDrawContext dc;
  Buffer(int width, int height, bool top_down = true, int order = kYrPixelOrderBGRA, std::uint8_t fill = 0x5A)
      : bytes(std::size_t(width) * height * 4, fill) {
    dc.pixels = bytes.data();
    dc.width = width;
    dc.height = height;
    dc.row_bytes = width * 4;
    dc.top_down = top_down;
    dc.order = order;
  }
  // Pixel (x, y) counted from the top, as 0xBBGGRRAA in memory order.
  const std::uint8_t* At(int x, int y) const {
    const int row = dc.top_down ? y : dc.height - 1 - y;
    return bytes.data() + (std::size_t(row) * dc.width + x) * 4;
  }
};

::testing::AssertionResult PixelIs(const std::uint8_t* p, int b0, int b1, int b2, int b3) {
  if (p[0] == b0 && p[1] == b1 && p[2] == b2 && p[3] == b3) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]) << ","
                                       << int(p[3]) << " expected " << b0 << "," << b1 << "," << b2 << "," << b3;
}

YrPixelFormatDescriptor DefaultFormat() {
  YrPixelFormatDescriptor descriptor;
  YrOGLContextWrapper::DefaultPixelFormat(descriptor);
  return descriptor;
}

constexpr int kWidth = 8;
constexpr int kHeight = 6;
constexpr int kBlueRows = 2;  // the bottom rows, cleared blue through a scissor

// Clears the frame red, then its bottom rows blue, and reads it back into
// caller buffers of every row and channel order.
void DrawAndCheckFrame(YrOGLContextWrapper& wrapper) {
  Buffer top_down(kWidth, kHeight, true, kYrPixelOrderBGRA);
  ASSERT_TRUE(wrapper.BeginRender(&top_down.dc));
  EXPECT_TRUE(wrapper.IsRendering());
  const VGLFunctions* gl = VGLCurrent();
  ASSERT_NE(gl, nullptr);
  gl->ClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  gl->Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gl->Enable(GL_SCISSOR_TEST);
  gl->Scissor(0, 0, kWidth, kBlueRows);
  gl->ClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  gl->Clear(GL_COLOR_BUFFER_BIT);
  gl->Disable(GL_SCISSOR_TEST);
  ASSERT_TRUE(wrapper.EndRender(&YrOGLContextWrapper::RenderOperationBlit, 0));
  EXPECT_FALSE(wrapper.IsRendering());
  for (int y = 0; y < kHeight; ++y) {
    const bool blue = y >= kHeight - kBlueRows;  // OpenGL's bottom rows are the picture's last ones
    for (int x = 0; x < kWidth; ++x) {
      if (blue) {
        ASSERT_TRUE(PixelIs(top_down.At(x, y), 255, 0, 0, 255)) << x << "," << y;
      } else {
        ASSERT_TRUE(PixelIs(top_down.At(x, y), 0, 0, 255, 255)) << x << "," << y;
      }
    }
  }

  // The same frame into a bottom-up RGBA buffer, with the explicit copy
  // operation; the wrapper's own bitmap is bottom-up BGRA.
  Buffer bottom_up(kWidth, kHeight, false, kYrPixelOrderRGBA);
  ASSERT_TRUE(wrapper.BeginRender(&bottom_up.dc));
  ASSERT_TRUE(wrapper.EndRender(&YrOGLContextWrapper::RenderOperationBlit, 0xCC0020));
  EXPECT_TRUE(PixelIs(bottom_up.bytes.data(), 0, 0, 255, 255));  // memory row 0: the bottom, blue
  EXPECT_TRUE(PixelIs(bottom_up.At(0, 0), 255, 0, 0, 255));
  YrDrawContext* own = wrapper.GetAllocatedDC();
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(own->top_down);
  EXPECT_TRUE(PixelIs(own->pixels, 255, 0, 0, 255));
  EXPECT_TRUE(PixelIs(own->pixels + std::size_t(kHeight - 1) * own->row_bytes, 0, 0, 255, 255));
}

bool MissingLibrary(const std::string& reason) { return reason.find("cannot open") != std::string::npos; }

}  // namespace

TEST(OGLContext, SoftwareContextDrawsAndReadsBackBottomUp) {
  YrOGLContextWrapper wrapper;
  YrPixelFormatDescriptor descriptor = DefaultFormat();
  Buffer caller(kWidth, kHeight);
  if (!wrapper.AllocateForcingSWContext(&caller.dc, descriptor, kWidth, kHeight)) {
    GTEST_SKIP() << "no software OpenGL: " << wrapper.GetFailureReason();
  }
  EXPECT_TRUE(wrapper.IsAllocated());
  EXPECT_TRUE(wrapper.IsSWContextAllocated());
  EXPECT_FALSE(wrapper.IsPBufferAllocated());
  EXPECT_STREQ(wrapper.GetOffscreenKind(), "software");
  EXPECT_FALSE(wrapper.GetRendererString().empty());
  // Draw-to-window and double-buffer cleared; bitmap, generic, stereo
  // don't-care set.
  EXPECT_EQ(descriptor.flags, (37u & ~5u) | 0x80000048u);
  EXPECT_EQ(wrapper.GetSWContextBitmapDC(), wrapper.GetAllocatedDC());
  EXPECT_EQ(wrapper.GetPBufferBitmapDC(), nullptr);
  DrawAndCheckFrame(wrapper);
  wrapper.Free();
  EXPECT_FALSE(wrapper.IsAllocated());
  EXPECT_STREQ(wrapper.GetOffscreenKind(), "");
  EXPECT_EQ(VGLCurrent(), nullptr);
}

TEST(OGLContext, PBufferOnSurfacelessDrawsAndReadsBackBottomUp) {
  ScopedEnv platform("QTZYN_EGL_PLATFORM", "surfaceless");
  ScopedEnv enabled("QTZYN_EGL_DISABLE", nullptr);
  YrOGLContextWrapper wrapper;
  YrPixelFormatDescriptor descriptor = DefaultFormat();
  Buffer caller(kWidth, kHeight);
  if (!wrapper.AllocateForcingPBuffer(&caller.dc, descriptor, kWidth, kHeight, false)) {
    GTEST_SKIP() << "no EGL pbuffers: " << wrapper.GetFailureReason();
  }
  EXPECT_TRUE(wrapper.IsPBufferAllocated());
  EXPECT_FALSE(wrapper.IsSWContextAllocated());
  EXPECT_STREQ(wrapper.GetOffscreenKind(), "pbuffer");
  EXPECT_FALSE(wrapper.GetRendererString().empty());
  int max_width = 0;
  int max_height = 0;
  ASSERT_TRUE(wrapper.GetMaxPBufferSize(&caller.dc, DefaultFormat(), max_width, max_height));
  EXPECT_GE(max_width, kWidth);
  EXPECT_GE(max_height, kHeight);
  DrawAndCheckFrame(wrapper);

  // The bitmap DC reads the pbuffer back on demand.
  YrDrawContext* bitmap = wrapper.GetPBufferBitmapDC();
  ASSERT_NE(bitmap, nullptr);
  std::fill(bitmap->pixels, bitmap->pixels + std::size_t(bitmap->row_bytes) * bitmap->height, 0);
  bitmap = wrapper.GetPBufferBitmapDC();
  EXPECT_TRUE(PixelIs(bitmap->pixels, 255, 0, 0, 255));

  // No config has 64 depth bits: the filter picks among all of them, and the
  // descriptor then describes the one it took.
  YrPixelFormatDescriptor deep = DefaultFormat();
  deep.depth_bits = 64;
  YrOGLContextWrapper picky(false, [](const YrPixelFormatDescriptor&, const YrPixelFormatDescriptor&) {
    return false;
  });
  EXPECT_FALSE(picky.AllocateForcingPBuffer(&caller.dc, deep, kWidth, kHeight, false));
  EXPECT_EQ(deep.depth_bits, 64);
  YrOGLContextWrapper lenient(false, [](const YrPixelFormatDescriptor&, const YrPixelFormatDescriptor& candidate) {
    return candidate.depth_bits >= 16;
  });
  ASSERT_TRUE(lenient.AllocateForcingPBuffer(&caller.dc, deep, kWidth, kHeight, false));
  EXPECT_GE(deep.depth_bits, 16);
  EXPECT_LT(deep.depth_bits, 64);
  lenient.Free();

  // Larger than the config allows: refused, and nothing is left behind.
  YrOGLContextWrapper big;
  if (max_width < INT_MAX) {
    EXPECT_FALSE(big.AllocateForcingPBuffer(&caller.dc, descriptor, max_width + 1, 4, false));
    EXPECT_FALSE(big.IsAllocated());
  }
}

TEST(OGLContext, DisabledPBuffersFallToSoftwareWhenAllowed) {
  ScopedEnv disabled("QTZYN_EGL_DISABLE", "1");
  YrPixelFormatDescriptor descriptor = DefaultFormat();
  Buffer caller(kWidth, kHeight);
  YrOGLContextWrapper strict;
  EXPECT_FALSE(strict.AllocateForcingPBuffer(&caller.dc, descriptor, kWidth, kHeight, false));
  EXPECT_FALSE(strict.IsAllocated());
  EXPECT_NE(strict.GetFailureReason().find("QTZYN_EGL_DISABLE"), std::string::npos);
  int w = 0;
  int h = 0;
  EXPECT_FALSE(strict.GetMaxPBufferSize(&caller.dc, descriptor, w, h));

  YrOGLContextWrapper lenient;
  if (!lenient.AllocateForcingPBuffer(&caller.dc, descriptor, kWidth, kHeight, true)) {
    ASSERT_TRUE(MissingLibrary(lenient.GetFailureReason())) << lenient.GetFailureReason();
    GTEST_SKIP() << "no software OpenGL: " << lenient.GetFailureReason();
  }
  EXPECT_TRUE(lenient.IsSWContextAllocated());
  EXPECT_FALSE(lenient.IsPBufferAllocated());

  YrOGLContextWrapper general;
  descriptor = DefaultFormat();
  ASSERT_TRUE(general.Allocate(&caller.dc, descriptor, kWidth, kHeight, true, true));
  EXPECT_TRUE(general.IsSWContextAllocated());
}

TEST(OGLContext, BadSizesAndSecondAllocationsAreRefused) {
  const int bad[][2] = {{-1, 8}, {8, -1}, {-1, -1}, {0, 8}, {8, 0}, {INT_MAX, INT_MAX}, {100000, 4}, {16384, 16385},
                        {INT_MIN, 4}};
  YrPixelFormatDescriptor descriptor = DefaultFormat();
  Buffer caller(4, 4);
  for (const auto& size : bad) {
    YrOGLContextWrapper wrapper;
    EXPECT_FALSE(wrapper.AllocateForcingPBuffer(&caller.dc, descriptor, size[0], size[1], true)) << size[0];
    EXPECT_FALSE(wrapper.AllocateForcingSWContext(&caller.dc, descriptor, size[0], size[1])) << size[0];
    EXPECT_FALSE(wrapper.Allocate(&caller.dc, descriptor, size[0], size[1], true, true)) << size[0];
    EXPECT_FALSE(wrapper.IsAllocated());
  }
  // Nothing allowed: no window to draw into directly.
  YrOGLContextWrapper neither;
  EXPECT_FALSE(neither.Allocate(&caller.dc, descriptor, 4, 4, false, false));
  // Nothing allocated: nothing to begin, end or make current.
  EXPECT_FALSE(neither.BeginRender(&caller.dc));
  EXPECT_FALSE(neither.EndRender(&YrOGLContextWrapper::RenderOperationBlit, 0));
  EXPECT_FALSE(neither.MakeCurrent(&caller.dc));
  EXPECT_EQ(neither.GetAllocatedDC(), nullptr);

  YrOGLContextWrapper wrapper;
  if (!wrapper.AllocateForcingSWContext(&caller.dc, descriptor, 4, 4)) {
    GTEST_SKIP() << "no software OpenGL: " << wrapper.GetFailureReason();
  }
  descriptor = DefaultFormat();
  EXPECT_FALSE(wrapper.Allocate(&caller.dc, descriptor, 8, 8, true, true));
  EXPECT_FALSE(wrapper.AllocateForcingSWContext(&caller.dc, descriptor, 8, 8));
  EXPECT_FALSE(wrapper.AllocateForcingPBuffer(&caller.dc, descriptor, 8, 8, true));
  ASSERT_TRUE(wrapper.IsSWContextAllocated());
  EXPECT_EQ(wrapper.GetSWContextBitmapDC()->width, 4);
  EXPECT_FALSE(wrapper.BeginRender(nullptr));

  // A wrapper around another's context draws with it but cannot allocate.
  YrOGLContextWrapper borrowed(wrapper.GetOGLContext(), false);
  EXPECT_TRUE(borrowed.IsAllocated());
  EXPECT_FALSE(borrowed.AllocateForcingSWContext(&caller.dc, descriptor, 4, 4));
  EXPECT_TRUE(borrowed.MakeCurrent(&caller.dc));
  borrowed.Free();
  EXPECT_TRUE(wrapper.MakeCurrent(&caller.dc));  // the owner's context survives
}

TEST(OGLContext, EndRenderFromAnotherThreadDoesNothing) {
  YrOGLContextWrapper wrapper;
  YrPixelFormatDescriptor descriptor = DefaultFormat();
  Buffer caller(4, 4);
  if (!wrapper.AllocateForcingSWContext(&caller.dc, descriptor, 4, 4)) {
    GTEST_SKIP() << "no software OpenGL: " << wrapper.GetFailureReason();
  }
  static int calls;
  calls = 0;
  auto counting = [](YrDrawContext*, int, int, int, int, YrDrawContext*, int, int, int, int, std::intptr_t,
                     const YrOffscreenRecord* record) {
    ++calls;
    return record != nullptr && record->software && record->width == 4;
  };
  ASSERT_TRUE(wrapper.BeginRender(&caller.dc));
  bool other = true;
  std::thread([&] { other = wrapper.EndRender(counting, 0); }).join();
  EXPECT_FALSE(other);
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(wrapper.IsRendering());
  EXPECT_TRUE(wrapper.EndRender(counting, 0));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(wrapper.IsRendering());
  EXPECT_FALSE(wrapper.EndRender(counting, 0));  // nothing begun
  EXPECT_EQ(calls, 1);
}

// A display list made in one context is called from the next one, made
// after the first was freed: both share the wrapper's root.
void CheckSharedLists(bool pbuffer) {
  YrOGLContextWrapper wrapper(true);
  YrPixelFormatDescriptor descriptor = DefaultFormat();
  Buffer caller(4, 4);
  auto allocate = [&] {
    descriptor = DefaultFormat();
    return pbuffer ? wrapper.AllocateForcingPBuffer(&caller.dc, descriptor, 4, 4, false)
                   : wrapper.AllocateForcingSWContext(&caller.dc, descriptor, 4, 4);
  };
  if (!allocate()) GTEST_SKIP() << "no context: " << wrapper.GetFailureReason();
  ASSERT_TRUE(wrapper.BeginRender(&caller.dc));
  const VGLFunctions* gl = VGLCurrent();
  const GLuint list = gl->GenLists(1);
  ASSERT_NE(list, 0u);
  gl->NewList(list, GL_COMPILE);
  gl->ClearColor(0.0f, 1.0f, 0.0f, 1.0f);
  gl->Clear(GL_COLOR_BUFFER_BIT);
  gl->EndList();
  ASSERT_TRUE(wrapper.EndRender(nullptr, 0));
  wrapper.Free();

  ASSERT_TRUE(allocate());
  ASSERT_TRUE(wrapper.BeginRender(&caller.dc));
  gl = VGLCurrent();
  gl->ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  gl->Clear(GL_COLOR_BUFFER_BIT);
  gl->CallList(list);
  ASSERT_TRUE(wrapper.EndRender(&YrOGLContextWrapper::RenderOperationBlit, 0));
  EXPECT_TRUE(PixelIs(caller.At(1, 1), 0, 255, 0, 255));
}

TEST(OGLContext, SharedListsOutliveTheContextThatMadeThem) {
  ScopedEnv platform("QTZYN_EGL_PLATFORM", "surfaceless");
  ScopedEnv enabled("QTZYN_EGL_DISABLE", nullptr);
  {
    SCOPED_TRACE("software");
    CheckSharedLists(false);
  }
  {
    SCOPED_TRACE("pbuffer");
    CheckSharedLists(true);
  }
}

TEST(OGLBlit, CopyConvertsRowsAndChannelsAndRefusesUnknownOperations) {
  // Source: bottom-up BGRA, pixel (x, y from the top) = (x, y, 7, 9).
  Buffer source(3, 2, false, kYrPixelOrderBGRA);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = const_cast<std::uint8_t*>(source.At(x, y));
      p[0] = std::uint8_t(x);
      p[1] = std::uint8_t(y);
      p[2] = 7;
      p[3] = 9;
    }
  Buffer rgba(3, 2, true, kYrPixelOrderRGBA);
  EXPECT_TRUE(YrOGLContextWrapper::RenderOperationBlit(&rgba.dc, 0, 0, 3, 2, &source.dc, 0, 0, 3, 2, 0, nullptr));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_TRUE(PixelIs(rgba.At(x, y), 7, y, x, 9)) << x << "," << y;

  Buffer untouched(3, 2);
  const std::vector<std::uint8_t> before = untouched.bytes;
  EXPECT_FALSE(YrOGLContextWrapper::RenderOperationBlit(&untouched.dc, 0, 0, 3, 2, &source.dc, 0, 0, 3, 2,
                                                        0x00660046 /* XOR */, nullptr));
  EXPECT_EQ(untouched.bytes, before);
  YrDrawContext broken = untouched.dc;
  broken.row_bytes = 4;  // shorter than a row
  EXPECT_FALSE(YrOGLContextWrapper::RenderOperationBlit(&broken, 0, 0, 3, 2, &source.dc, 0, 0, 3, 2, 0, nullptr));
  EXPECT_FALSE(YrOGLContextWrapper::RenderOperationBlit(nullptr, 0, 0, 3, 2, &source.dc, 0, 0, 3, 2, 0, nullptr));
  EXPECT_EQ(untouched.bytes, before);
}

TEST(OGLBlit, HostileRectanglesStayInsideBothBuffers) {
  Buffer source(5, 4, false, kYrPixelOrderBGRA, 0x11);
  const int cases[][6] = {
      // dx, dy, dw, dh, sx, sy
      {-3, -2, 5, 4, 0, 0},        {3, 2, 5, 4, 0, 0},           {0, 0, 5, 4, 4, 3},
      {0, 0, INT_MAX, INT_MAX, 0, 0}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN}, {0, 0, 5, 4, INT_MIN, INT_MAX},
      {-1, 0, 1, 1, 0, 0},         {0, 0, -5, 4, 0, 0},
  };
  for (const auto& c : cases) {
    Buffer destination(4, 3, true, kYrPixelOrderRGBA, 0x5A);
    YrOGLContextWrapper::RenderOperationBlit(&destination.dc, c[0], c[1], c[2], c[3], &source.dc, c[4], c[5], 5, 4,
                                             0, nullptr);
    for (std::uint8_t b : destination.bytes) ASSERT_TRUE(b == 0x5A || b == 0x11);
  }
  // A shifted copy touches exactly the overlap.
  Buffer destination(4, 3, true, kYrPixelOrderBGRA, 0x5A);
  EXPECT_TRUE(YrOGLContextWrapper::RenderOperationBlit(&destination.dc, 2, 1, 5, 4, &source.dc, 0, 0, 5, 4, 0,
                                                       nullptr));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(destination.At(x, y)[0], (x >= 2 && y >= 1) ? 0x11 : 0x5A) << x << y;

  // Stretch blits with hostile destination rectangles.
  const int rectangles[][4] = {{0, 0, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                               {-100, -100, 3, 3},       {INT_MAX, 0, INT_MAX, 1},
                               {0, 0, 0, 3},             {0, 0, -4, -4},
                               {2, 1, 1000000, 1000000}};
  for (const auto& r : rectangles) {
    Buffer stretched(4, 3, false, kYrPixelOrderRGBA, 0x5A);
    YrOGLContextWrapper::RenderOperationStretchBlit(&stretched.dc, 0, 0, 4, 3, &source.dc, 0, 0, 5, 4,
                                                    reinterpret_cast<std::intptr_t>(r), nullptr);
    for (std::uint8_t b : stretched.bytes) ASSERT_TRUE(b == 0x5A || b == 0x11);
  }
  // Source rectangles reaching outside the source read nothing outside it.
  const int whole[4] = {0, 0, 4, 3};
  Buffer stretched(4, 3, true, kYrPixelOrderBGRA, 0x5A);
  EXPECT_TRUE(YrOGLContextWrapper::RenderOperationStretchBlit(&stretched.dc, 0, 0, 4, 3, &source.dc, -7, 2, INT_MAX,
                                                              INT_MAX, reinterpret_cast<std::intptr_t>(whole),
                                                              nullptr));
  for (std::uint8_t b : stretched.bytes) ASSERT_TRUE(b == 0x5A || b == 0x11);
  EXPECT_FALSE(YrOGLContextWrapper::RenderOperationStretchBlit(&stretched.dc, 0, 0, 4, 3, &source.dc, 0, 0, 5, 4, 0,
                                                               nullptr));
}

TEST(OGLBlit, StretchSamplesNearestAndFollowsTheDestinationsCapabilities) {
  // 2 × 2 source, top-left 1, top-right 2, bottom-left 3, bottom-right 4
  // (first byte), stored bottom-up.
  Buffer source(2, 2, false, kYrPixelOrderBGRA, 0);
  const std::uint8_t values[2][2] = {{1, 2}, {3, 4}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) const_cast<std::uint8_t*>(source.At(x, y))[0] = values[y][x];
  const int rectangle[4] = {1, 1, 4, 4};
  Buffer destination(6, 6, true, kYrPixelOrderBGRA, 0x5A);
  ASSERT_TRUE(YrOGLContextWrapper::RenderOperationStretchBlit(&destination.dc, 0, 0, 6, 6, &source.dc, 0, 0, 2, 2,
                                                              reinterpret_cast<std::intptr_t>(rectangle), nullptr));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
      const int expected = inside ? values[(y - 1) / 2][(x - 1) / 2] : 0x5A;
      EXPECT_EQ(destination.At(x, y)[0], expected) << x << "," << y;
    }

  // Without stretch-blit the record's pixel array is the source.
  Buffer other(2, 2, false, kYrPixelOrderBGRA, 0x77);
  YrOffscreenRecord record{false, 2, 2, &source.dc};
  Buffer dib_only(6, 6, true, kYrPixelOrderBGRA, 0x5A);
  dib_only.dc.can_stretch_blit = false;
  ASSERT_TRUE(YrOGLContextWrapper::RenderOperationStretchBlit(&dib_only.dc, 0, 0, 6, 6, &other.dc, 0, 0, 2, 2,
                                                              reinterpret_cast<std::intptr_t>(rectangle), &record));
  EXPECT_EQ(dib_only.At(1, 1)[0], 1);
  // Neither capability: nothing drawn.
  Buffer neither(6, 6, true, kYrPixelOrderBGRA, 0x5A);
  neither.dc.can_stretch_blit = false;
  neither.dc.can_stretch_dib = false;
  const std::vector<std::uint8_t> before = neither.bytes;
  EXPECT_FALSE(YrOGLContextWrapper::RenderOperationStretchBlit(&neither.dc, 0, 0, 6, 6, &source.dc, 0, 0, 2, 2,
                                                               reinterpret_cast<std::intptr_t>(rectangle), &record));
  EXPECT_EQ(neither.bytes, before);
}

TEST(OGLContext, DefaultPixelFormatAndItsEGLAttributes) {
  YrPixelFormatDescriptor descriptor;
  descriptor.accum_bits = 99;
  YrOGLContextWrapper::DefaultPixelFormat(descriptor);
  EXPECT_EQ(descriptor.size, 40);
  EXPECT_EQ(descriptor.version, 1);
  EXPECT_EQ(descriptor.flags, 37u);
  EXPECT_EQ(descriptor.pixel_type, 0);
  EXPECT_EQ(descriptor.color_bits, 32);
  EXPECT_EQ(descriptor.depth_bits, 24);
  EXPECT_EQ(descriptor.stencil_bits, 8);
  EXPECT_EQ(descriptor.accum_bits, 0);
  EXPECT_EQ(descriptor.alpha_bits, 0);

  VOGLPixelFormat format;
  format.depth_bits = descriptor.depth_bits;
  format.stencil_bits = descriptor.stencil_bits;
  std::int32_t list[32];
  ASSERT_EQ(VOGLEGLConfigAttributes(VOGLTranslatePixelFormat(format), list, 32), 17);
  const std::int32_t expected[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                   EGL_DEPTH_SIZE,   24,              EGL_RED_SIZE,        8,
                                   EGL_GREEN_SIZE,   8,               EGL_BLUE_SIZE,       8,
                                   EGL_ALPHA_SIZE,   8,               EGL_STENCIL_SIZE,    8,
                                   EGL_NONE};
  for (int i = 0; i < 17; ++i) EXPECT_EQ(list[i], expected[i]) << i;
  EXPECT_EQ(VOGLEGLConfigAttributes(VOGLTranslatePixelFormat(format), list, 16), 0);
}
