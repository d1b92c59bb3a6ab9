#pragma once
// Small purpose-built scenes rendered offscreen, for the renderer's tests:
// a camera on the +Z axis looking at the origin, quads facing it, and the
// pixels of the frame (bottom row first).

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "scene/camera.h"
#include "scene/light.h"
#include "scene/material.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "scene/shader.h"
#include "scene/texture.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "tools/common/offscreen_frame.h"

namespace render_test {

struct Rgb {
  int r, g, b;
};

inline Rgb ColorOf(std::uint32_t pixel) {
  return {static_cast<int>(pixel >> 24), static_cast<int>((pixel >> 16) & 0xff), static_cast<int>((pixel >> 8) & 0xff)};
}

inline bool Near(Rgb a, Rgb b, int tolerance = 2) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class RenderSceneTest : public ::testing::Test {
 protected:
  static constexpr int kSide = 64;

  void SetUp() override {
    ASSERT_TRUE(YrSDK::YrKernel::Init());
    scene_ = YrSDK::YrKernelObjects::GetScene();
    scene_->Clear();
    renderer_ = YrSDK::YrSystem().GetRenderer();
    ASSERT_TRUE(renderer_.IsValid());
    renderer_.SetViewingOptions(YrSDK::YrViewingOptions());
    std::string message;
    if (!frame_.Open(kSide, kSide, false, &message)) GTEST_SKIP() << "no OpenGL context here: " << message;
  }

  void TearDown() override {
    renderer_.SetCurrentCamera(YrSDK::YrComponent());
    renderer_.SetViewingOptions(YrSDK::YrViewingOptions());
    if (scene_) scene_->Clear();
  }

  // A camera at (0, 0, distance) looking at the origin; a vertical field of
  // view of 90 degrees, so the view's half-height at depth d is d.
  VCamera* AddCamera(double distance = 10.0, VDouble3 background = {0.0, 0.0, 0.0}) {
    auto* camera = static_cast<VCamera*>(scene_->Add(std::make_unique<VCamera>("Test Camera")));
    camera->LookFrom({0, 0, distance}, {0, 0, 0});
    camera->mApertureMode->Set(2);
    camera->mFieldOfView->Set(90.0);
    camera->mNearPlane->Set(1.0);
    camera->mFarPlane->Set(1000.0);
    camera->mFocusDistance->Set(distance);  // the interest is the origin
    camera->mBackgroundColor->Set(background);
    camera->mViewShowGrid->Set(0);
    camera->mViewShowAxis->Set(0);
    renderer_.SetCurrentCamera(YrSDK::YrComponent(camera));
    return camera;
  }

  // A quad in the plane z, facing +Z, with UVs 0..1 across it, split into
  // cells x cells quads (lighting is computed at the corners).
  VModelPolymesh* AddQuad(const char* name, double x0, double y0, double x1, double y1, double z = 0.0,
                          int cells = 1) {
    auto* mesh = static_cast<VModelPolymesh*>(scene_->Add(std::make_unique<VModelPolymesh>(name)));
    VGeometry g;
    VLayerElement uv;
    uv.kind = kVLayerUV;
    uv.mapping = kVMappingByVerticeDirect;
    const auto n = static_cast<std::uint32_t>(cells);
    for (std::uint32_t j = 0; j <= n; ++j) {
      for (std::uint32_t i = 0; i <= n; ++i) {
        const double u = double(i) / n, v = double(j) / n;
        g.points.push_back({float(x0 + (x1 - x0) * u), float(y0 + (y1 - y0) * v), float(z), 1});
        uv.data.insert(uv.data.end(), {u, v});
      }
    }
    for (std::uint32_t j = 0; j < n; ++j) {
      for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t a = j * (n + 1) + i;
        const std::uint32_t corners[] = {a, a + 1, a + n + 2, a + n + 1};
        VGeometryAddPolygon(g, corners, 4);
      }
    }
    g.elements = {uv};
    mesh->SetGeometry(g);
    return mesh;
  }

  VMaterial* Paint(VModelPolymesh* mesh, VDouble3 diffuse) {
    auto* material = static_cast<VMaterial*>(
        scene_->Add(std::make_unique<VMaterial>(mesh->GetName() + " Material")));
    material->SetDiffuse(diffuse);
    material->SetAmbient({0, 0, 0});
    mesh->ConnectSrc(material);
    return material;
  }

  // Unlit: the quad shows its material's diffuse colour exactly.
  VFlatShader* Unlit(VModelPolymesh* mesh) {
    auto* shader = static_cast<VFlatShader*>(scene_->Add(std::make_unique<VFlatShader>(mesh->GetName() + " Flat")));
    mesh->ConnectSrc(shader);
    return shader;
  }

  bool Render() { return frame_.Render(renderer_); }
  Rgb At(int x, int y_from_top) const { return ColorOf(frame_.PixelAt(x, kSide - 1 - y_from_top)); }

  VScene* scene_ = nullptr;
  YrSDK::YrRenderer renderer_;
  tools::OffscreenFrame frame_;
};

}  // namespace render_test
