#include "tools/zyn/demo_cameras.h"

#include <memory>

#include "animation/fcurve_node.h"
#include "animation/take.h"
#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/light.h"
#include "scene/scene.h"
#include "tools/zyn/demo_support.h"

namespace zyn_tool {
namespace {

constexpr int kFixedResolution = 2;  // "ResolutionMode": "Fixed Resolution"

// A one-double property's channel: its curve lies directly in the node.
VFCurve& AddNumberChannel(VTake::ModelAnimation& animation, const char* property, double rest) {
  auto node = std::make_unique<VFCurveNode>(property);
  VFCurve* curve = node->MakeCurve();
  curve->SetDefaultValue(static_cast<float>(rest));
  animation.channels.push_back(std::move(node));
  return *curve;
}

// The camera's interest: a separate node named after it, aimed at through
// "LookAtProperty".
VModel* AddInterest(VScene& scene, VCamera& camera, const VDouble3& position) {
  VModel* interest = AddModel(scene, (camera.GetName() + " Interest").c_str(), "Null", nullptr);
  interest->TranslationProperty()->Set(position);
  camera.LookAtProperty()->SetObjectValue(interest);
  return interest;
}

void AddCameras(VScene& scene, VTake& first, VTake& second) {
  // An orbiting view with an interest, zooming in over the second take.
  VCamera* orbit = AddNode(scene, std::make_unique<VCamera>("Camera Orbit"), nullptr);
  orbit->TranslationProperty()->Set(VDouble3{24, 14, 30});
  AddInterest(scene, *orbit, {0, 2, 0});
  orbit->mNearPlane->Set(1);
  orbit->mFarPlane->Set(1000);
  // The default camera asks for a 640 x 480 frame: players size the movie
  // from it through the file's header.
  orbit->mResolutionMode->SetInt(kFixedResolution);
  orbit->mAspectW->SetDouble(640);
  orbit->mAspectH->SetDouble(480);

  // Straight down, orthographic: 178 units half-height at zoom 1, so 0.05
  // frames about nine units each way.
  VCamera* top = AddNode(scene, std::make_unique<VCamera>("Camera Top"), nullptr);
  top->LookFrom({0, 60, 0}, {0, 0, 0}, {0, 0, -1});
  top->mProjectionType->Set(kVCameraOrthographic);
  top->SetOrthoZoom(0.05);
  top->mNearPlane->Set(1);
  top->mFarPlane->Set(200);

  // A side view along +X (no rotation needed) whose roll and field of view
  // are animated.
  VCamera* side = AddNode(scene, std::make_unique<VCamera>("Camera Roll"), nullptr);
  side->TranslationProperty()->Set(VDouble3{-30, 2, 0});
  side->mApertureMode->Set(kVApertureVertical);
  side->mNearPlane->Set(1);
  side->mFarPlane->Set(1000);

  VTake::ModelAnimation* a = first.AddModel(side->GetFullName());
  VFCurve& roll = AddNumberChannel(*a, "Roll", 0.0);
  roll.KeyAdd(Frame(80), 0.0f);
  roll.KeyAdd(Frame(100), 25.0f);
  roll.KeyAdd(Frame(120), -10.0f);
  // Every curve starts at its property's own value: a file stores the
  // value read at the current time, so the two must agree at time 0.
  VFCurve& fov = AddNumberChannel(*a, "FieldOfView", 40.0);
  int k = fov.KeyAdd(Frame(0), 40.0f);
  fov.KeySetInterpolation(k, kFCurveInterpolationConstant);
  fov.KeySetConstantMode(k, false);
  k = fov.KeyAdd(Frame(80), 40.0f);
  fov.KeySetInterpolation(k, kFCurveInterpolationLinear);
  fov.KeyAdd(Frame(120), 55.0f);

  a = second.AddModel(orbit->GetFullName());
  VFCurve& zoom = AddNumberChannel(*a, "FieldOfView", 40.0);
  k = zoom.KeyAdd(Frame(0), 40.0f);
  zoom.KeySetInterpolation(k, kFCurveInterpolationLinear);
  zoom.KeyAdd(Frame(60), 20.0f);

  // The switcher cuts from one camera to the next every 40 frames.
  VCameraSwitcher* switcher = AddNode(scene, std::make_unique<VCameraSwitcher>("Camera Switcher"), nullptr);
  switcher->AddCamera(*orbit);
  switcher->AddCamera(*top);
  switcher->AddCamera(*side);
  a = first.AddModel(switcher->GetFullName());
  VFCurve& index = AddNumberChannel(*a, "Camera Index", 1.0);
  for (int i = 0; i < 3; ++i) {
    k = index.KeyAdd(Frame(40 * i), static_cast<float>(i + 1));
    index.KeySetInterpolation(k, kFCurveInterpolationConstant);
    // A new key's auto-tangent bit reads as "hold next" once it is constant.
    index.KeySetConstantMode(k, false);
  }
  scene.settings().default_camera = orbit->GetFullName();
}

void AddLights(VScene& scene, VTake& first) {
  VLight* point = AddNode(scene, std::make_unique<VLight>("Light Point"), nullptr);
  point->TranslationProperty()->Set(VDouble3{6, 10, 8});
  point->mColor->Set(VDouble3{1.0, 0.9, 0.8});

  // Shines straight down (+X turned to -Y) with a 50 degree cone.
  VLight* spot = AddNode(scene, std::make_unique<VLight>("Light Spot"), nullptr);
  spot->mLightType->Set(kVLightSpot);
  spot->TranslationProperty()->Set(VDouble3{0, 20, 0});
  spot->RotationProperty()->Set(VDouble3{0, 0, -90});
  spot->mConeAngle->Set(50);
  spot->mColor->Set(VDouble3{0.6, 0.7, 1.0});

  VLight* sun = AddNode(scene, std::make_unique<VLight>("Light Infinite"), nullptr);
  sun->mLightType->Set(kVLightInfinite);
  sun->RotationProperty()->Set(VDouble3{0, 30, -45});
  sun->mIntensity->Set(60);

  // The point light dims and comes back over the first take.
  VTake::ModelAnimation* a = first.AddModel(point->GetFullName());
  VFCurve& intensity = AddNumberChannel(*a, "Intensity", 100.0);
  intensity.KeyAdd(Frame(0), 100.0f);
  intensity.KeyAdd(Frame(60), 30.0f);
  intensity.KeyAdd(Frame(120), 100.0f);
}

}  // namespace

void AddDemoCameras(VScene& scene, VTake& first, VTake& second) {
  AddCameras(scene, first, second);
  AddLights(scene, first);
}

}  // namespace zyn_tool
