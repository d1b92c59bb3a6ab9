// Frames of purpose-built scenes, checked pixel by pixel where the maths
// decides the result.

#include <gtest/gtest.h>

#include <cmath>

#include "render_scene_fixture.h"
#include "scene/matrix_functions.h"
#include "render/renderer.h"
#include "scene/model.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_kernel_objects.h"

namespace render_test {
namespace {

// The pixel rectangle [x0, x1) x [y0, y1) (rows from the top) that the
// camera's own matrices give a world-space rectangle in the plane z = 0.
struct PixelRect {
  int x0, y0, x1, y1;
};

PixelRect Predict(const VCamera& camera, double wx0, double wy0, double wx1, double wy1, int side) {
  const YrSDK::YrMatrix view = camera.GetViewMatrix();
  const YrSDK::YrMatrix projection = camera.GetProjectionMatrix(side, side);
  auto to_pixel = [&](double x, double y, double* px, double* py) {
    double eye[4] = {0, 0, 0, 0}, clip[4] = {0, 0, 0, 0};
    const double p[4] = {x, y, 0, 1};
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) eye[c] += p[k] * view(k, c);
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) clip[c] += eye[k] * projection(k, c);
    *px = (clip[0] / clip[3] * 0.5 + 0.5) * side;
    *py = (0.5 - clip[1] / clip[3] * 0.5) * side;  // from the top
  };
  double ax, ay, bx, by;
  to_pixel(wx0, wy1, &ax, &ay);  // top left
  to_pixel(wx1, wy0, &bx, &by);  // bottom right
  // Pixel centres inside the rectangle are drawn.
  return {static_cast<int>(std::ceil(ax - 0.5)), static_cast<int>(std::ceil(ay - 0.5)),
          static_cast<int>(std::ceil(bx - 0.5)), static_cast<int>(std::ceil(by - 0.5))};
}

TEST_F(RenderSceneTest, QuadFillsThePredictedRectangleUpright) {
  VCamera* camera = AddCamera();
  // Red above the x axis, green below: an upside-down frame swaps them.
  VModelPolymesh* top = AddQuad("Top", -2.5, 0.0, 2.5, 2.5);
  Paint(top, {1, 0, 0});
  Unlit(top);
  VModelPolymesh* bottom = AddQuad("Bottom", -2.5, -2.5, 2.5, 0.0);
  Paint(bottom, {0, 1, 0});
  Unlit(bottom);
  ASSERT_TRUE(Render());

  const PixelRect red = Predict(*camera, -2.5, 0.0, 2.5, 2.5, kSide);
  const PixelRect green = Predict(*camera, -2.5, -2.5, 2.5, 0.0, kSide);
  EXPECT_EQ(red.x0, 24);  // 90 degrees at distance 10: 2.5 units are 8 pixels
  EXPECT_EQ(red.y1, 32);
  int wrong = 0;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      Rgb expected{0, 0, 0};
      if (x >= red.x0 && x < red.x1 && y >= red.y0 && y < red.y1) expected = {255, 0, 0};
      if (x >= green.x0 && x < green.x1 && y >= green.y0 && y < green.y1) expected = {0, 255, 0};
      if (!Near(At(x, y), expected)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(RenderSceneTest, ClearsToTheRenderingCamerasBackground) {
  AddCamera(10.0, {0.2, 0.4, 0.6});
  ASSERT_TRUE(Render());
  EXPECT_TRUE(Near(At(0, 0), {51, 102, 153}));
  EXPECT_TRUE(Near(At(kSide - 1, kSide - 1), {51, 102, 153}));
}

TEST_F(RenderSceneTest, LinearFogHalfwayBetweenStartAndEnd) {
  AddCamera();
  VModelPolymesh* quad = AddQuad("Wall", -20, -20, 20, 20);
  Paint(quad, {0, 0, 0});
  Unlit(quad);
  VSceneSettings& s = scene_->settings();
  s.fog_enable = 1;
  s.fog_mode = 0;
  s.fog_start = 5;
  s.fog_end = 15;
  for (double& c : s.fog_color) c = 1.0;
  ASSERT_TRUE(Render());
  // The wall is 10 units away: half black, half fog white.
  const Rgb centre = At(kSide / 2, kSide / 2);
  EXPECT_NEAR(centre.r, 128, 4);
  EXPECT_NEAR(centre.g, 128, 4);
}

TEST_F(RenderSceneTest, SpotLightLightsInsideItsCutOffOnly) {
  AddCamera();
  VModelPolymesh* wall = AddQuad("Wall", -20, -20, 20, 20, 0.0, 40);
  VMaterial* white = Paint(wall, {1, 1, 1});
  white->SetSpecular({0, 0, 0});
  auto* spot = static_cast<VLight*>(scene_->Add(std::make_unique<VLight>("Spot")));
  spot->mLightType->Set(kVLightSpot);
  spot->mConeAngle->Set(20.0);  // cut-off 0.6 x 20 = 12 degrees
  spot->TranslationProperty()->Set({0, 0, 10});
  spot->RotationProperty()->Set({0, 90, 0});  // +X, the light's axis, turned to -Z
  const auto axis = spot->GetDirection();
  ASSERT_NEAR(axis.z, -1.0, 1e-9);
  ASSERT_TRUE(Render());
  // At the wall (10 away) the cut-off circle has radius 10 tan 12 = 2.1
  // units, 6.8 pixels: lit at the centre, dark 12 pixels out.
  const Rgb centre = At(kSide / 2, kSide / 2);
  const Rgb outside = At(kSide / 2 + 12, kSide / 2);
  EXPECT_GT(centre.r, 100);
  EXPECT_LT(outside.r, 5);
}

TEST_F(RenderSceneTest, WireFrameLeavesTheQuadsInsideAtTheBackground) {
  AddCamera(10.0, {0.0, 0.0, 0.5});
  VModelPolymesh* quad = AddQuad("Quad", -5, -5, 5, 5);
  Paint(quad, {1, 1, 0});
  YrSDK::YrViewingOptions options;
  options.DisplayWhat = YrSDK::kYrModelShadingWire;
  renderer_.SetViewingOptions(options);
  ASSERT_TRUE(Render());
  EXPECT_TRUE(Near(At(kSide / 2, kSide / 2), {0, 0, 128}));
  // The left edge (x = -5 at distance 10) is the column 16.
  int edge = 0;
  for (int x = 14; x <= 18; ++x) edge += At(x, kSide / 2).r > 128 ? 1 : 0;
  EXPECT_GE(edge, 1);
}

TEST_F(RenderSceneTest, UnreadableTextureShowsTheFourByFourPlaceholder) {
  AddCamera();
  VModelPolymesh* quad = AddQuad("Quad", -10, -10, 10, 10);  // fills the frame
  Paint(quad, {1, 1, 1});
  Unlit(quad);
  auto* texture = static_cast<VTexture*>(scene_->Add(std::make_unique<VTexture>("Missing")));
  texture->SetFileName("/nonexistent/folder/missing.tga");
  quad->ConnectSrc(texture);
  ASSERT_TRUE(Render());
  // Rows from the top: white, black, black, white / black, white, white,
  // black / ... sampled at the texel centres.
  const bool white[4][4] = {{1, 0, 0, 1}, {0, 1, 1, 0}, {0, 1, 1, 0}, {1, 0, 0, 1}};
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const Rgb c = At(column * 16 + 8, row * 16 + 8);
      EXPECT_EQ(c.r > 128, white[row][column]) << "texel " << column << "," << row;
    }
  }
}

TEST_F(RenderSceneTest, XRayShowsTheHiddenModel) {
  AddCamera();
  VModelPolymesh* front = AddQuad("Front", -5, -5, 5, 5, 1.0);
  Paint(front, {0, 1, 0});
  Unlit(front);
  VModelPolymesh* back = AddQuad("Back", -5, -5, 5, 5, -1.0);
  Paint(back, {1, 0, 0});
  Unlit(back);
  ASSERT_TRUE(Render());
  EXPECT_TRUE(Near(At(kSide / 2, kSide / 2), {0, 255, 0}));
  YrSDK::YrViewingOptions options;
  options.PickingMode = YrSDK::kYrViewingXRay;
  renderer_.SetViewingOptions(options);
  ASSERT_TRUE(Render());
  const Rgb seen = At(kSide / 2, kSide / 2);
  EXPECT_GT(seen.r, 20);
  EXPECT_GT(seen.g, 20);
}

TEST_F(RenderSceneTest, ModelsOnlyHidesGridAndMarkers) {
  VCamera* camera = AddCamera();
  camera->mViewShowGrid->Set(1);
  camera->LookFrom({0, 40, 40}, {0, 0, 0});
  auto* null = static_cast<VModel*>(scene_->Add(std::make_unique<VModel>("Marker", "Null")));
  (void)null;
  ASSERT_TRUE(Render());
  int drawn = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) drawn += At(x, y).r > 20 ? 1 : 0;
  EXPECT_GT(drawn, 0);
  YrSDK::YrViewingOptions options;
  options.PickingMode = YrSDK::kYrViewingModelsOnly;
  renderer_.SetViewingOptions(options);
  ASSERT_TRUE(Render());
  drawn = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) drawn += At(x, y).r > 20 ? 1 : 0;
  EXPECT_EQ(drawn, 0);
}

TEST_F(RenderSceneTest, StaticGeometryIsSentOnceAndDeformingGeometryEveryEvaluation) {
  AddCamera();
  VModelPolymesh* quad = AddQuad("Quad", -5, -5, 5, 5);
  Paint(quad, {1, 1, 1});
  ASSERT_TRUE(Render());
  EXPECT_GT(renderer_.GetStats().uploaded_bytes, 0u);
  ASSERT_TRUE(Render());
  EXPECT_EQ(renderer_.GetStats().uploaded_bytes, 0u);

  // A shape makes the mesh deform: its points go out again after an
  // evaluation change, and only its positions and normals.
  std::vector<YrSDK::YrVector4<float>> raised = quad->GetGeometry().points;
  for (auto& p : raised) p.z += 1.0f;
  const int shape = quad->AddShape("Raise", raised);
  ASSERT_TRUE(Render());
  quad->GetShapeWeightProperty(shape)->SetDouble(50.0);
  ASSERT_TRUE(Render());
  EXPECT_EQ(renderer_.GetStats().uploaded_bytes, 4u * 3 * sizeof(float) * 2);
  ASSERT_TRUE(Render());
  EXPECT_EQ(renderer_.GetStats().uploaded_bytes, 0u);
}

TEST_F(RenderSceneTest, PickFindsTheNearestModelFirst) {
  AddCamera();
  VModelPolymesh* front = AddQuad("Front", -5, -5, 5, 5, 1.0);
  VModelPolymesh* back = AddQuad("Back", -8, -8, 8, 8, -1.0);
  ASSERT_TRUE(Render());
  std::vector<YrSDK::YrComponent> picked;
  ASSERT_TRUE(renderer_.Pick(kSide / 2, kSide / 2, picked));
  ASSERT_EQ(picked.size(), 2u);
  EXPECT_EQ(YrSDK::YrEngineHandles::Object(picked[0]), front);
  EXPECT_EQ(YrSDK::YrEngineHandles::Object(picked[1]), back);
  ASSERT_TRUE(renderer_.Pick(2, 2, picked) || picked.empty());
  EXPECT_TRUE(picked.empty());
}

TEST_F(RenderSceneTest, FramingBringsFarModelsIntoView) {
  VCamera* camera = AddCamera();
  VModelPolymesh* quad = AddQuad("Far", 300, 300, 310, 310);
  Paint(quad, {1, 1, 1});
  Unlit(quad);
  ASSERT_TRUE(Render());
  EXPECT_TRUE(renderer_.FrameCurrentCameraWithModels(true));
  (void)camera;
  ASSERT_TRUE(Render());
  int lit = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) lit += At(x, y).r > 200 ? 1 : 0;
  EXPECT_GT(lit, kSide * kSide / 8);
  EXPECT_LT(lit, kSide * kSide);
}

TEST_F(RenderSceneTest, AntialiasingBlendsItsSamples) {
  VCamera* camera = AddCamera();
  camera->mUseAntialiasing->Set(1);
  camera->mFrameSamplingCount->Set(4);
  VModelPolymesh* quad = AddQuad("Quad", -5.05, -5.05, 5.05, 5.05);
  Paint(quad, {1, 1, 1});
  Unlit(quad);
  ASSERT_TRUE(Render());
  EXPECT_GT(renderer_.GetStats().samples, 1u);
  // Somewhere along the edge a pixel is neither background nor white.
  int partial = 0;
  for (int x = 0; x < kSide; ++x) {
    const int r = At(x, kSide / 2).r;
    partial += r > 10 && r < 245 ? 1 : 0;
  }
  EXPECT_GT(partial, 0);
}

// Damaged or empty scenes still give a frame.
TEST_F(RenderSceneTest, HostileScenesRenderSomething) {
  // No camera of the scene's own, no lights, an empty mesh.
  scene_->Add(std::make_unique<VModelPolymesh>("Empty"));
  ASSERT_TRUE(Render());
  VCamera* camera = AddCamera();
  VModelPolymesh* huge = AddQuad("Huge", -1e30, -1e30, 1e30, 1e30);
  Paint(huge, {1, 1, 1});
  ASSERT_TRUE(Render());
  // Non-numbers in a transform and in the lens.
  VModelPolymesh* broken = AddQuad("Broken", -1, -1, 1, 1);
  broken->TranslationProperty()->Set({std::nan(""), 0, 0});
  camera->mFieldOfView->Set(std::nan(""));
  ASSERT_TRUE(Render());
  camera->mNearPlane->Set(0.0);
  camera->mFarPlane->Set(0.0);
  ASSERT_TRUE(Render());
  std::vector<YrSDK::YrComponent> picked;
  renderer_.Pick(kSide / 2, kSide / 2, picked);
  renderer_.FrameCurrentCameraWithModels(true);
  ASSERT_TRUE(Render());
}

}  // namespace
}  // namespace render_test

namespace render_test {
namespace {

// The lighting program and the fixed-function pipeline draw the same image:
// a spot light, a point light, specular highlights, a texture and fog.
TEST_F(RenderSceneTest, LightingProgramMatchesTheFixedFunctionPipeline) {
  VOGLRenderer* engine = YrSDK::YrKernelObjects::GetRenderer();
  AddCamera(10.0, {0.1, 0.1, 0.3});
  VModelPolymesh* wall = AddQuad("Wall", -12, -12, 12, 12, 0.0, 24);
  VMaterial* material = Paint(wall, {0.8, 0.6, 0.4});
  material->SetAmbient({0.2, 0.1, 0.1});
  material->SetSpecular({0.5, 0.5, 0.5});
  material->SetShininess(30);
  auto* shader = static_cast<VLightedShader*>(scene_->Add(std::make_unique<VLightedShader>("Shiny")));
  shader->SetUseSpecular(true);
  wall->ConnectSrc(shader);
  auto* texture = static_cast<VTexture*>(scene_->Add(std::make_unique<VTexture>("Missing")));
  texture->SetFileName("/nonexistent/missing.tga");  // the placeholder pattern
  wall->ConnectSrc(texture);
  auto* spot = static_cast<VLight*>(scene_->Add(std::make_unique<VLight>("Spot")));
  spot->mLightType->Set(kVLightSpot);
  spot->mConeAngle->Set(60.0);
  spot->TranslationProperty()->Set({3, 0, 8});
  spot->RotationProperty()->Set({0, 90, 0});
  auto* point = static_cast<VLight*>(scene_->Add(std::make_unique<VLight>("Point")));
  point->TranslationProperty()->Set({-4, 4, 6});
  point->mIntensity->Set(80.0);
  scene_->settings().ambient_color[0] = 0.1;
  VSceneSettings& s = scene_->settings();
  s.fog_enable = 1;
  s.fog_mode = 1;
  s.fog_density = 80;  // 0.04 per unit

  engine->SetUseLightingProgram(true);
  ASSERT_TRUE(Render());
  if (!engine->IsLightingProgramInUse()) GTEST_SKIP() << "this context has no shaders";
  const std::vector<std::uint8_t> program = std::vector<std::uint8_t>(frame_.Pixels());
  engine->SetUseLightingProgram(false);
  ASSERT_TRUE(Render());
  engine->SetUseLightingProgram(true);
  const std::vector<std::uint8_t>& fixed = frame_.Pixels();
  int deviating = 0, largest = 0;
  for (std::size_t i = 0; i < fixed.size(); ++i) {
    const int d = std::abs(int(fixed[i]) - int(program[i]));
    largest = std::max(largest, d);
    deviating += d > 3 ? 1 : 0;
  }
  EXPECT_LE(deviating, static_cast<int>(fixed.size() / 100)) << "largest difference " << largest;
}

}  // namespace
}  // namespace render_test

namespace render_test {
namespace {

double Distance(const YrSDK::YrVector3<double>& a, const YrSDK::YrVector3<double>& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// A plain drag orbits about the interest, Shift pans both, Ctrl dollies
// towards the interest and Z held zooms the field of view; every drag is
// measured from the press, so repeating it changes nothing.
TEST_F(RenderSceneTest, MouseGesturesMoveTheRenderCamera) {
  VCamera* camera = AddCamera();
  const VCameraState start = camera->GetState();
  auto drag = [&](int modifier, int dx, int dy) {
    renderer_.MouseInput(100, 100, 2, 1, modifier);
    renderer_.MouseInput(100 + dx, 100 + dy, 4, 1, modifier);
    renderer_.MouseInput(100 + dx, 100 + dy, 4, 1, modifier);  // the same offset again
    renderer_.MouseInput(100 + dx, 100 + dy, 3, 1, modifier);
    return camera->GetState();
  };

  // The camera has no interest node: its interest is the point it looks at,
  // the origin here, which an orbit keeps in the middle of the view.
  VCameraState orbit = drag(0, 40, 0);
  EXPECT_GT(Distance(orbit.position, start.position), 0.1);
  const double to_origin = Distance(orbit.position, {0, 0, 0});
  const auto forward = camera->GetForward();
  EXPECT_NEAR(forward.x, -orbit.position.x / to_origin, 1e-6);
  EXPECT_NEAR(forward.z, -orbit.position.z / to_origin, 1e-6);

  camera->SetState(start);
  VCameraState pan = drag(1, 40, 0);
  const double moved = Distance(pan.position, start.position);
  EXPECT_GT(moved, 0.1);
  EXPECT_NEAR(Distance(pan.interest, start.interest), moved, 1e-6);

  camera->SetState(start);
  VCameraState dolly = drag(2, 0, 40);  // along the view, nearer or farther
  EXPECT_GT(std::fabs(Distance(dolly.position, {0, 0, 0}) - 10.0), 0.1);
  EXPECT_NEAR(dolly.position.x, 0.0, 1e-6);
  EXPECT_NEAR(dolly.position.y, 0.0, 1e-6);

  camera->SetState(start);
  renderer_.KeyboardInput('Z', true);
  VCameraState zoom = drag(0, 0, 40);
  renderer_.KeyboardInput('Z', false);
  EXPECT_NE(zoom.field_of_view, start.field_of_view);
  EXPECT_LT(Distance(zoom.position, start.position), 1e-6);

  // A drag without a press moves nothing.
  camera->SetState(start);
  renderer_.MouseInput(300, 300, 4, 1, 0);
  EXPECT_LT(Distance(camera->GetState().position, start.position), 1e-9);
}

}  // namespace
}  // namespace render_test
