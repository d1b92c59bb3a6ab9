#include "sdk/yr_ogl_context_wrapper.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>

#include "render/ogl_context.h"
#include "render/ogl_context_egl.h"
#include "render/ogl_context_osmesa.h"

namespace YrSDK {

namespace {

// Raster operation of a plain copy; a blit's user value of 0 means it too.
constexpr std::intptr_t kRasterCopy = 0xCC0020;
// Software fallback: a bitmap target drawn by the generic (software)
// implementation, not a double-buffered window.
constexpr std::uint32_t kSoftwareClearedFlags = kYrPFDDrawToWindow | kYrPFDDoubleBuffer;
constexpr std::uint32_t kSoftwareSetFlags = kYrPFDDrawToBitmap | kYrPFDGenericFormat | kYrPFDStereoDontCare;

VOGLPixelFormat ToEngine(const YrPixelFormatDescriptor& descriptor) {
  VOGLPixelFormat format;
  format.flags = descriptor.flags;
  format.color_bits = descriptor.color_bits;
  format.alpha_bits = descriptor.alpha_bits;
  format.accum_bits = descriptor.accum_bits;
  format.depth_bits = descriptor.depth_bits;
  format.stencil_bits = descriptor.stencil_bits;
  return format;
}

std::uint8_t ToBits(int bits) { return static_cast<std::uint8_t>(bits < 0 ? 0 : (bits > 255 ? 255 : bits)); }

void FromEngine(const VOGLPixelFormat& format, YrPixelFormatDescriptor& descriptor) {
  descriptor.flags = format.flags;
  descriptor.color_bits = ToBits(format.color_bits);
  descriptor.alpha_bits = ToBits(format.alpha_bits);
  descriptor.accum_bits = ToBits(format.accum_bits);
  descriptor.depth_bits = ToBits(format.depth_bits);
  descriptor.stencil_bits = ToBits(format.stencil_bits);
}

// The built-in filter: every requested flag present, and not a generic
// (software) format.
bool BuiltInFilter(const YrPixelFormatDescriptor& requested, const YrPixelFormatDescriptor& candidate) {
  return (candidate.flags & requested.flags) == requested.flags && (candidate.flags & kYrPFDGenericFormat) == 0;
}

// A buffer a blit may touch: pixels, a positive size, rows long enough and a
// known channel order.
bool Usable(const YrDrawContext* dc) {
  return dc && dc->pixels && dc->width > 0 && dc->height > 0 &&
         std::int64_t(dc->row_bytes) >= std::int64_t(dc->width) * 4 &&
         (dc->order == kYrPixelOrderBGRA || dc->order == kYrPixelOrderRGBA);
}

// Row `y` counted from the top, whatever the buffer's row order.
std::uint8_t* Row(const YrDrawContext& dc, std::int64_t y) {
  const std::int64_t memory_row = dc.top_down ? y : dc.height - 1 - y;
  return dc.pixels + static_cast<std::ptrdiff_t>(memory_row) * dc.row_bytes;
}

void CopyPixel(std::uint8_t* to, const std::uint8_t* from, bool swap) {
  to[0] = from[swap ? 2 : 0];
  to[1] = from[1];
  to[2] = from[swap ? 0 : 2];
  to[3] = from[3];
}

}  // namespace

struct YrOGLContextWrapper::Impl {
  // Pbuffer record: the read-back array and the bitmap over it.
  struct PBufferRecord {
    std::unique_ptr<std::uint8_t[]> pixels;
    std::size_t bytes = 0;
    YrDrawContext bitmap;
  };
  // Software record: the bitmap over the software context's own buffer.
  struct SoftwareRecord {
    std::size_t bytes = 0;
    YrDrawContext bitmap;
  };

  // Share roots, one per platform (a context can only share with its own
  // kind); created on the first allocation with sharing on.
  std::unique_ptr<VOGLPlatformContext> egl_root;
  std::unique_ptr<VOGLPlatformContext> osmesa_root;
  std::unique_ptr<VOGLPlatformContext> owned;
  VOGLPlatformContext* context = nullptr;
  std::unique_ptr<PBufferRecord> pbuffer;
  std::unique_ptr<SoftwareRecord> software;
  YrOffscreenRecord offscreen;
  YrPixelFormatFilter filter = nullptr;
  std::atomic<YrDrawContext*> rendering_dc{nullptr};
  std::atomic<std::thread::id> rendering_thread{std::thread::id()};
  bool owns_context = true;
  bool share_lists = false;
  bool can_allocate = true;
  std::string failure;

  static bool FilterAdapter(const VOGLPixelFormat& requested, const VOGLPixelFormat& candidate, void* user) {
    const Impl* impl = static_cast<const Impl*>(user);
    YrPixelFormatDescriptor a;
    YrPixelFormatDescriptor b;
    FromEngine(requested, a);
    FromEngine(candidate, b);
    return impl->filter && impl->filter(a, b);
  }

  VOGLConfigRequest Request(const YrPixelFormatDescriptor& descriptor) {
    VOGLConfigRequest request = VOGLTranslatePixelFormat(ToEngine(descriptor));
    if (filter) {
      request.filter = &FilterAdapter;
      request.filter_user = this;
    }
    return request;
  }

  void Install(std::unique_ptr<VOGLPlatformContext> made) {
    owned = std::move(made);
    context = owned.get();
  }

  void ClearRendering() {
    rendering_dc.store(nullptr);
    rendering_thread.store(std::thread::id());
  }
};

YrOGLContextWrapper::YrOGLContextWrapper(bool share_lists, YrPixelFormatFilter filter) : impl_(new Impl) {
  impl_->share_lists = share_lists;
  impl_->filter = filter ? filter : &BuiltInFilter;
}

YrOGLContextWrapper::YrOGLContextWrapper(void* existing_context, bool owns) : impl_(new Impl) {
  impl_->can_allocate = false;
  impl_->owns_context = owns;
  impl_->filter = &BuiltInFilter;
  impl_->context = static_cast<VOGLPlatformContext*>(existing_context);
  if (owns && impl_->context) impl_->owned.reset(impl_->context);
}

YrOGLContextWrapper::~YrOGLContextWrapper() {
  Free();
  impl_->egl_root.reset();
  impl_->osmesa_root.reset();
}

bool YrOGLContextWrapper::Allocate(YrDrawContext* dc, YrPixelFormatDescriptor& descriptor, int width, int height,
                                   bool try_pbuffer, bool allow_software) {
  if (impl_->context || !impl_->can_allocate) return false;
  // There is no window to render into directly: an allocation is always an
  // offscreen buffer.
  if (try_pbuffer) return AllocateForcingPBuffer(dc, descriptor, width, height, allow_software);
  if (allow_software) return AllocateForcingSWContext(dc, descriptor, width, height);
  impl_->failure = "neither a pbuffer nor a software context was allowed";
  return false;
}

bool YrOGLContextWrapper::AllocateForcingPBuffer(YrDrawContext* dc, YrPixelFormatDescriptor& descriptor, int width,
                                                 int height, bool allow_software) {
  if (impl_->context || !impl_->can_allocate) return false;
  std::size_t bytes = 0;
  if (!VOGLOffscreenSizeValid(width, height, &bytes)) {
    impl_->failure = "offscreen size out of range";
    return false;
  }
  VOGLConfigRequest request = impl_->Request(descriptor);
  std::string reason;
  std::unique_ptr<VOGLPlatformContext> made;
  if (impl_->share_lists && !impl_->egl_root) {
    // The root's own config choice must not rewrite what this request asks.
    VOGLConfigRequest root_request = request;
    impl_->egl_root = VOGLCreateEGLShareRoot(root_request, &reason);
  }
  if (!impl_->share_lists || impl_->egl_root)
    made = VOGLCreateEGLContext(request, width, height, impl_->egl_root.get(), &reason);
  if (made) {
    auto record = std::make_unique<Impl::PBufferRecord>();
    record->pixels.reset(new (std::nothrow) std::uint8_t[bytes]);
    if (record->pixels) {
      std::memset(record->pixels.get(), 0, bytes);
      record->bytes = bytes;
      record->bitmap.pixels = record->pixels.get();
      record->bitmap.width = width;
      record->bitmap.height = height;
      record->bitmap.row_bytes = width * 4;
      record->bitmap.top_down = false;
      record->bitmap.order = kYrPixelOrderBGRA;
      impl_->pbuffer = std::move(record);
      impl_->offscreen = YrOffscreenRecord{false, width, height, &impl_->pbuffer->bitmap};
      impl_->Install(std::move(made));
      FromEngine(request.format, descriptor);
      impl_->failure.clear();
      return true;
    }
    reason = "out of memory for the read-back array";
    made.reset();
  }
  impl_->failure = reason;
  if (allow_software) return AllocateForcingSWContext(dc, descriptor, width, height);
  return false;
}

bool YrOGLContextWrapper::AllocateForcingSWContext(YrDrawContext*, YrPixelFormatDescriptor& descriptor, int width,
                                                   int height) {
  if (impl_->context || !impl_->can_allocate) return false;
  std::size_t bytes = 0;
  if (!VOGLOffscreenSizeValid(width, height, &bytes)) {
    impl_->failure = "offscreen size out of range";
    return false;
  }
  YrPixelFormatDescriptor adjusted = descriptor;
  adjusted.flags = (adjusted.flags & ~kSoftwareClearedFlags) | kSoftwareSetFlags;
  const VOGLConfigRequest request = impl_->Request(adjusted);
  std::string reason;
  if (impl_->share_lists && !impl_->osmesa_root) impl_->osmesa_root = VOGLCreateOSMesaShareRoot(request, &reason);
  std::unique_ptr<VOGLPlatformContext> made;
  if (!impl_->share_lists || impl_->osmesa_root)
    made = VOGLCreateOSMesaContext(request, width, height, impl_->osmesa_root.get(), &reason);
  if (!made || !made->MemoryPixels()) {
    impl_->failure = impl_->failure.empty() ? reason : impl_->failure + "; " + reason;
    return false;
  }
  auto record = std::make_unique<Impl::SoftwareRecord>();
  record->bytes = bytes;
  record->bitmap.pixels = made->MemoryPixels();
  record->bitmap.width = width;
  record->bitmap.height = height;
  record->bitmap.row_bytes = width * 4;
  record->bitmap.top_down = false;
  record->bitmap.order = kYrPixelOrderBGRA;
  impl_->software = std::move(record);
  impl_->offscreen = YrOffscreenRecord{true, width, height, &impl_->software->bitmap};
  impl_->Install(std::move(made));
  descriptor = adjusted;
  impl_->failure.clear();
  return true;
}

void YrOGLContextWrapper::Free() {
  if (impl_->context) impl_->context->Release();
  if (impl_->owns_context) impl_->owned.reset();
  else (void)impl_->owned.release();
  impl_->context = nullptr;
  impl_->pbuffer.reset();
  impl_->software.reset();
  impl_->offscreen = YrOffscreenRecord();
  impl_->ClearRendering();
}

bool YrOGLContextWrapper::BeginRender(YrDrawContext* dc) {
  if (!impl_->context || !dc) return false;
  if (!impl_->context->MakeCurrent()) return false;
  impl_->rendering_dc.store(dc);
  impl_->rendering_thread.store(std::this_thread::get_id());
  return true;
}

bool YrOGLContextWrapper::EndRender(YrBlitCallback callback, std::intptr_t user) {
  YrDrawContext* dc = impl_->rendering_dc.load();
  if (!impl_->context || !dc || impl_->rendering_thread.load() != std::this_thread::get_id()) return false;
  bool ok = true;
  if (impl_->pbuffer) {
    Impl::PBufferRecord& record = *impl_->pbuffer;
    // A failed read-back leaves the previous frame in the array: hand out
    // nothing rather than that.
    ok = impl_->context->ReadBack(record.pixels.get(), record.bytes);
    if (ok && callback) {
      ok = callback(dc, 0, 0, record.bitmap.width, record.bitmap.height, &record.bitmap, 0, 0, record.bitmap.width,
                    record.bitmap.height, user, &impl_->offscreen);
    }
  } else if (impl_->software) {
    Impl::SoftwareRecord& record = *impl_->software;
    impl_->context->Finish();
    if (callback) {
      ok = callback(dc, 0, 0, record.bitmap.width, record.bitmap.height, &record.bitmap, 0, 0, record.bitmap.width,
                    record.bitmap.height, user, &impl_->offscreen);
    }
  } else {
    // A context made elsewhere presents its own frames.
    impl_->context->Finish();
  }
  impl_->ClearRendering();
  return ok;
}

bool YrOGLContextWrapper::MakeCurrent(YrDrawContext*) {
  return impl_->context && impl_->context->MakeCurrent();
}

bool YrOGLContextWrapper::IsAllocated() const { return impl_->context != nullptr; }
bool YrOGLContextWrapper::IsPBufferAllocated() const { return impl_->pbuffer != nullptr; }
bool YrOGLContextWrapper::IsSWContextAllocated() const { return impl_->software != nullptr; }
bool YrOGLContextWrapper::IsRendering() const { return impl_->rendering_dc.load() != nullptr; }

bool YrOGLContextWrapper::GetMaxPBufferSize(YrDrawContext*, const YrPixelFormatDescriptor& descriptor, int& width,
                                            int& height) {
  VOGLConfigRequest request = impl_->Request(descriptor);
  int w = 0;
  int h = 0;
  std::string reason;
  if (!VOGLEGLMaxPBufferSize(request, &w, &h, &reason)) {
    impl_->failure = reason;
    return false;
  }
  width = w;
  height = h;
  return true;
}

void* YrOGLContextWrapper::GetOGLContext() const { return impl_->context; }

YrDrawContext* YrOGLContextWrapper::GetAllocatedDC() {
  if (impl_->pbuffer) return &impl_->pbuffer->bitmap;
  if (impl_->software) return &impl_->software->bitmap;
  return nullptr;
}

YrDrawContext* YrOGLContextWrapper::GetPBufferBitmapDC() {
  if (!impl_->pbuffer || !impl_->context) return nullptr;
  // Reading needs the context here; while another thread renders with it,
  // the array keeps the last frame read.
  const std::thread::id renderer = impl_->rendering_thread.load();
  const bool elsewhere = renderer != std::thread::id() && renderer != std::this_thread::get_id();
  if (!elsewhere && (impl_->context->IsCurrentOnThisThread() || impl_->context->MakeCurrent()))
    impl_->context->ReadBack(impl_->pbuffer->pixels.get(), impl_->pbuffer->bytes);
  return &impl_->pbuffer->bitmap;
}

YrDrawContext* YrOGLContextWrapper::GetSWContextBitmapDC() {
  return impl_->software ? &impl_->software->bitmap : nullptr;
}

std::string YrOGLContextWrapper::GetRendererString() const {
  return impl_->context ? impl_->context->RendererString() : std::string();
}

const char* YrOGLContextWrapper::GetOffscreenKind() const {
  if (impl_->pbuffer) return "pbuffer";
  if (impl_->software) return "software";
  return "";
}

std::string YrOGLContextWrapper::GetFailureReason() const { return impl_->failure; }

bool YrOGLContextWrapper::RenderOperationBlit(YrDrawContext* destination, int dx, int dy, int dw, int dh,
                                              YrDrawContext* source, int sx, int sy, int, int, std::intptr_t user,
                                              const YrOffscreenRecord*) {
  const std::intptr_t operation = user == 0 ? kRasterCopy : user;
  if (operation != kRasterCopy) return false;
  if (!Usable(destination) || !Usable(source) || dw <= 0 || dh <= 0) return false;
  // Clip the copy to both buffers: destination (dx + i, dy + j) takes
  // source (sx + i, sy + j). 64-bit, so that no sum of hostile ints wraps.
  const std::int64_t i0 = std::max<std::int64_t>({0, -std::int64_t(dx), -std::int64_t(sx)});
  const std::int64_t i1 = std::min<std::int64_t>(
      {std::int64_t(dw), std::int64_t(destination->width) - dx, std::int64_t(source->width) - sx});
  const std::int64_t j0 = std::max<std::int64_t>({0, -std::int64_t(dy), -std::int64_t(sy)});
  const std::int64_t j1 = std::min<std::int64_t>(
      {std::int64_t(dh), std::int64_t(destination->height) - dy, std::int64_t(source->height) - sy});
  if (i0 >= i1 || j0 >= j1) return true;  // nothing visible: a copy of nothing
  const bool swap = destination->order != source->order;
  const std::size_t span = static_cast<std::size_t>(i1 - i0) * 4;
  for (std::int64_t j = j0; j < j1; ++j) {
    std::uint8_t* to = Row(*destination, dy + j) + (dx + i0) * 4;
    const std::uint8_t* from = Row(*source, sy + j) + (sx + i0) * 4;
    if (!swap) {
      std::memmove(to, from, span);
    } else {
      for (std::int64_t i = i0; i < i1; ++i, to += 4, from += 4) CopyPixel(to, from, true);
    }
  }
  return true;
}

bool YrOGLContextWrapper::RenderOperationStretchBlit(YrDrawContext* destination, int, int, int, int,
                                                     YrDrawContext* source, int sx, int sy, int sw, int sh,
                                                     std::intptr_t user, const YrOffscreenRecord* record) {
  const int* rectangle = reinterpret_cast<const int*>(user);
  if (!rectangle || !Usable(destination)) return false;
  // Stretch from the bitmap when the destination stretch-blits, else from
  // the record's pixel array when it stretches device-independent bits.
  const YrDrawContext* from = nullptr;
  if (destination->can_stretch_blit) {
    from = source;
  } else if (destination->can_stretch_dib) {
    from = record && record->bitmap ? record->bitmap : source;
  } else {
    return false;
  }
  if (!Usable(from)) return false;
  const std::int64_t rx = rectangle[0];
  const std::int64_t ry = rectangle[1];
  const std::int64_t rw = rectangle[2];
  const std::int64_t rh = rectangle[3];
  if (rw <= 0 || rh <= 0 || sw <= 0 || sh <= 0) return false;
  const bool swap = destination->order != from->order;
  const std::int64_t x0 = std::max<std::int64_t>(rx, 0);
  const std::int64_t x1 = std::min<std::int64_t>(rx + rw, destination->width);
  const std::int64_t y0 = std::max<std::int64_t>(ry, 0);
  const std::int64_t y1 = std::min<std::int64_t>(ry + rh, destination->height);
  const double x_scale = double(sw) / double(rw);
  const double y_scale = double(sh) / double(rh);
  // Nearest sampling at pixel centres; a source pixel outside the source
  // buffer leaves its destination pixel as it was.
  for (std::int64_t y = y0; y < y1; ++y) {
    const std::int64_t v = sy + static_cast<std::int64_t>(std::floor((double(y - ry) + 0.5) * y_scale));
    if (v < 0 || v >= from->height) continue;
    std::uint8_t* to = Row(*destination, y);
    const std::uint8_t* row = Row(*from, v);
    for (std::int64_t x = x0; x < x1; ++x) {
      const std::int64_t u = sx + static_cast<std::int64_t>(std::floor((double(x - rx) + 0.5) * x_scale));
      if (u < 0 || u >= from->width) continue;
      CopyPixel(to + x * 4, row + u * 4, swap);
    }
  }
  return true;
}

void YrOGLContextWrapper::DefaultPixelFormat(YrPixelFormatDescriptor& descriptor) {
  descriptor = YrPixelFormatDescriptor();
  descriptor.flags = kYrPFDDrawToWindow | kYrPFDSupportOpenGL | kYrPFDDoubleBuffer;  // 37
  descriptor.pixel_type = 0;  // RGBA
  descriptor.color_bits = 32;
  descriptor.depth_bits = 24;
  descriptor.stencil_bits = 8;
  descriptor.layer_type = 0;  // main plane
}

}  // namespace YrSDK
