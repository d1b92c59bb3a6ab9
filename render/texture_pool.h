#pragma once
// The OpenGL textures of a context: one per texture image file, loaded
// through the image-reader registry on first use, and a placeholder for
// texture items whose image cannot be read. Textures are bound with the
// modulate environment, linear filtering and repeat wrapping.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/gl_functions.h"

class VImage;

class VTexturePool {
 public:
  // The texture of an image file, loaded on first use; the placeholder when
  // no candidate path gives a readable image. `candidates` are tried in
  // order; the first readable one is kept under the first candidate's name.
  GLuint GetTexture(const VGLFunctions& gl, const std::vector<std::string>& candidates);
  // "instruments_none.tif" from the system folder when readable, else a
  // 4 x 4 black-and-white pattern.
  GLuint GetPlaceholder(const VGLFunctions& gl);

  // Queues every texture for deletion at the start of the next frame (the
  // images on disk may have changed).
  void Invalidate();
  // Deletes what was queued; called at the start of a frame.
  void BeginFrame(const VGLFunctions& gl);
  // The context went away: every name is forgotten without a call.
  void DetachContext();

  // The 4 x 4 placeholder pattern as RGB bytes, bottom row first.
  static const std::uint8_t* PlaceholderPattern();
  // Converts an image of any layout to RGBA rows, bottom row first, fitting
  // it into `max_side` by nearest sampling; false for an empty image.
  static bool ToRGBA(const VImage& image, int max_side, std::vector<std::uint8_t>& rgba, int& width, int& height);

  std::size_t Size() const { return by_path_.size(); }

 private:
  GLuint Upload(const VGLFunctions& gl, const std::uint8_t* rgba, int width, int height);

  std::unordered_map<std::string, GLuint> by_path_;  // 0 = unreadable: the placeholder
  GLuint placeholder_ = 0;
  std::vector<GLuint> deleted_;
};
