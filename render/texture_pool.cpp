#include "render/texture_pool.h"

#include <algorithm>

#include "core/home_folder.h"
#include "render/image/image.h"
#include "render/image/image_registry.h"

namespace {

constexpr int kPlaceholderSide = 4;
constexpr const char* kPlaceholderImage = "instruments_none.tif";

bool ReadImage(const std::string& path, VImage& image) {
  std::unique_ptr<VImageStream> reader = VImageRegistry::Instance().CreateReader(VImageRegistry::ExtensionOf(path));
  if (!reader) return false;
  reader->SetFileName(path);
  return reader->Read(image) && !image.IsEmpty();
}

int MaxTextureSide(const VGLFunctions& gl) {
  GLint side = 0;
  gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
  return side >= 64 ? side : 64;
}

}  // namespace

const std::uint8_t* VTexturePool::PlaceholderPattern() {
  // Rows from the top: white, black, black, white / black, white, white,
  // black / black, white, white, black / white, black, black, white. The
  // pattern is symmetric top to bottom, so bottom-first rows read the same.
  static const std::uint8_t kPattern[kPlaceholderSide * kPlaceholderSide * 3] = {
      255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255,  //
      0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0,  //
      0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0,  //
      255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255,
  };
  return kPattern;
}

bool VTexturePool::ToRGBA(const VImage& image, int max_side, std::vector<std::uint8_t>& rgba, int& width,
                          int& height) {
  if (image.IsEmpty() || image.GetWidth() <= 0 || image.GetHeight() <= 0 || max_side <= 0) return false;
  const int src_w = image.GetWidth(), src_h = image.GetHeight();
  width = std::min(src_w, max_side);
  height = std::min(src_h, max_side);
  rgba.resize(static_cast<std::size_t>(width) * height * 4);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(src_w) * 4);
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>(static_cast<std::int64_t>(y) * src_h / height);
    if (!VImage::ConvertPixels(image.GetRow(sy), image.GetLayout(), src_w, row.data(), VImage::kLayoutRGBA))
      return false;
    std::uint8_t* out = &rgba[static_cast<std::size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x) {
      const int sx = static_cast<int>(static_cast<std::int64_t>(x) * src_w / width);
      std::copy_n(&row[static_cast<std::size_t>(sx) * 4], 4, out + x * 4);
    }
  }
  return true;
}

GLuint VTexturePool::Upload(const VGLFunctions& gl, const std::uint8_t* rgba, int width, int height) {
  GLuint name = 0;
  gl.GenTextures(1, &name);
  gl.BindTexture(GL_TEXTURE_2D, name);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  gl.BindTexture(GL_TEXTURE_2D, 0);
  return name;
}

GLuint VTexturePool::GetPlaceholder(const VGLFunctions& gl) {
  if (placeholder_ != 0) return placeholder_;
  VImage image;
  std::vector<std::uint8_t> rgba;
  int w = 0, h = 0;
  const std::string system = VGetSystemFolder();
  if (!system.empty() && ReadImage(system + "/" + kPlaceholderImage, image) &&
      ToRGBA(image, MaxTextureSide(gl), rgba, w, h)) {
    placeholder_ = Upload(gl, rgba.data(), w, h);
    return placeholder_;
  }
  rgba.resize(kPlaceholderSide * kPlaceholderSide * 4);
  const std::uint8_t* rgb = PlaceholderPattern();
  for (int i = 0; i < kPlaceholderSide * kPlaceholderSide; ++i) {
    std::copy_n(rgb + i * 3, 3, &rgba[static_cast<std::size_t>(i) * 4]);
    rgba[static_cast<std::size_t>(i) * 4 + 3] = 255;
  }
  placeholder_ = Upload(gl, rgba.data(), kPlaceholderSide, kPlaceholderSide);
  return placeholder_;
}

GLuint VTexturePool::GetTexture(const VGLFunctions& gl, const std::vector<std::string>& candidates) {
  if (candidates.empty()) return GetPlaceholder(gl);
  auto found = by_path_.find(candidates.front());
  if (found != by_path_.end()) return found->second != 0 ? found->second : GetPlaceholder(gl);
  GLuint name = 0;
  for (const std::string& path : candidates) {
    VImage image;
    std::vector<std::uint8_t> rgba;
    int w = 0, h = 0;
    if (ReadImage(path, image) && ToRGBA(image, MaxTextureSide(gl), rgba, w, h)) {
      name = Upload(gl, rgba.data(), w, h);
      break;
    }
  }
  by_path_.emplace(candidates.front(), name);
  return name != 0 ? name : GetPlaceholder(gl);
}

void VTexturePool::Invalidate() {
  for (const auto& entry : by_path_)
    if (entry.second != 0) deleted_.push_back(entry.second);
  by_path_.clear();
}

void VTexturePool::BeginFrame(const VGLFunctions& gl) {
  if (deleted_.empty()) return;
  gl.DeleteTextures(static_cast<GLsizei>(deleted_.size()), deleted_.data());
  deleted_.clear();
}

void VTexturePool::DetachContext() {
  by_path_.clear();
  deleted_.clear();
  placeholder_ = 0;
}
