#include "sdk/yr_view_panels.h"

#include <algorithm>

#include "render/gl_functions.h"

namespace YrSDK {
namespace {

// Progress bar: its size and where it sits below the centre of the view.
constexpr float kBarWidth = 110.0f;
constexpr float kBarHeight = 7.0f;
constexpr double kBarBelowCentre = 7.0;
// Information box.
constexpr float kBoxInset = 5.0f;
constexpr float kBoxBottom = 120.0f;
// Line rasterisation lands on pixel centres with this shift.
constexpr double kPixelCentre = 0.375;

// The current context's table, set up for flat 2D drawing in view pixels;
// null when there is nothing to draw into.
const VGLFunctions* Begin2D(int width, int height) {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr || !gl->IsLoaded() || width < 1 || height < 1) return nullptr;
  // The renderer may leave its lighting program bound; panels use the
  // fixed-function colours.
  if (gl->has_shaders) gl->UseProgram(0);
  gl->Viewport(0, 0, width, height);
  gl->MatrixMode(GL_PROJECTION);
  gl->PushMatrix();
  gl->LoadIdentity();
  gl->Ortho(0.0, width, height, 0.0, -1.0, 1.0);
  gl->MatrixMode(GL_MODELVIEW);
  gl->PushMatrix();
  gl->LoadIdentity();
  gl->Translated(kPixelCentre, kPixelCentre, 0.0);
  gl->Disable(GL_DEPTH_TEST);
  gl->Disable(GL_LIGHTING);
  gl->Disable(GL_TEXTURE_2D);
  gl->Disable(GL_CULL_FACE);
  gl->Disable(GL_FOG);
  gl->ShadeModel(GL_SMOOTH);
  return gl;
}

void End2D(const VGLFunctions& gl) {
  gl.MatrixMode(GL_PROJECTION);
  gl.PopMatrix();
  gl.MatrixMode(GL_MODELVIEW);
  gl.PopMatrix();
  gl.Enable(GL_DEPTH_TEST);
}

void FillRect(const VGLFunctions& gl, float x0, float y0, float x1, float y1) {
  gl.Begin(GL_QUADS);
  gl.Vertex2f(x0, y0);
  gl.Vertex2f(x1, y0);
  gl.Vertex2f(x1, y1);
  gl.Vertex2f(x0, y1);
  gl.End();
}

void Outline(const VGLFunctions& gl, float x0, float y0, float x1, float y1) {
  gl.Begin(GL_LINE_LOOP);
  gl.Vertex2f(x0, y0);
  gl.Vertex2f(x1, y0);
  gl.Vertex2f(x1, y1);
  gl.Vertex2f(x0, y1);
  gl.End();
}

}  // namespace

bool YrViewPanels::PrepareView(int width, int height) {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr || !gl->IsLoaded() || width < 1 || height < 1) return false;
  gl->Viewport(0, 0, width, height);
  gl->ClearDepth(1.0);
  gl->Enable(GL_DEPTH_TEST);
  return true;
}

bool YrViewPanels::SetViewport(int x, int y, int width, int height) {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr || !gl->IsLoaded() || width < 0 || height < 0) return false;
  gl->Viewport(x, y, width, height);
  return true;
}

bool YrViewPanels::DrawLoadingPanel(int width, int height, int percent) {
  const VGLFunctions* gl = Begin2D(width, height);
  if (gl == nullptr) return false;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  gl->Begin(GL_QUADS);
  gl->Color3f(0.0f, 0.0f, 0.0f);
  gl->Vertex2f(0.0f, 0.0f);
  gl->Vertex2f(w, 0.0f);
  gl->Color3f(0.3f, 0.3f, 0.3f);
  gl->Vertex2f(w, h);
  gl->Vertex2f(0.0f, h);
  gl->End();

  const float x0 = static_cast<float>(static_cast<int>(width * 0.5 - kBarWidth * 0.5));
  const float y0 = static_cast<float>(static_cast<int>(height * 0.5 + kBarBelowCentre));
  // The loader writes the percentage; a value outside 0..100 would draw the
  // bar outside its outline.
  const float filled = static_cast<float>(std::clamp(percent, 0, 100)) * 0.01f * kBarWidth;
  gl->Color3f(0.5f, 0.5f, 0.5f);
  FillRect(*gl, x0, y0, x0 + filled, y0 + kBarHeight);
  gl->Color3f(1.0f, 1.0f, 1.0f);
  Outline(*gl, x0, y0, x0 + kBarWidth, y0 + kBarHeight);
  End2D(*gl);
  return true;
}

bool YrViewPanels::DrawHelpBackground(int width, int height) {
  const VGLFunctions* gl = Begin2D(width, height);
  if (gl == nullptr) return false;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  gl->Begin(GL_QUADS);
  gl->Color3f(1.0f, 1.0f, 1.0f);
  gl->Vertex2f(0.0f, 0.0f);
  gl->Color3f(0.4f, 0.4f, 0.4f);
  gl->Vertex2f(w, 0.0f);
  gl->Vertex2f(w, h);
  gl->Color3f(1.0f, 1.0f, 1.0f);
  gl->Vertex2f(0.0f, h);
  gl->End();
  End2D(*gl);
  return true;
}

bool YrViewPanels::DrawInformationBox(int width, int height) {
  const VGLFunctions* gl = Begin2D(width, height);
  if (gl == nullptr) return false;
  const float right = static_cast<float>(width) - 6.0f;
  gl->Enable(GL_BLEND);
  gl->BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  gl->Color4f(0.0f, 0.0f, 0.0f, 0.5f);
  FillRect(*gl, kBoxInset, kBoxInset, right, kBoxBottom);
  gl->Color4f(1.0f, 1.0f, 1.0f, 0.5f);
  Outline(*gl, kBoxInset, kBoxInset, right, kBoxBottom - 1.0f);
  gl->Disable(GL_BLEND);
  End2D(*gl);
  return true;
}

}  // namespace YrSDK
