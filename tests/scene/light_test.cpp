// Lights and the lighting a frame starts with: the values each light sends
// (cut-off, exponent, attenuation, position), which lights take the OpenGL
// slots, the default pair, and the light's file fields.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "scene/light.h"
#include "scene/lighting_setup.h"
#include "scene/scene.h"
#include "support/scene_memory.h"
#include "support/zyn_memory.h"
#include "document/scene_reader.h"
#include "document/scene_writer.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kAmbient[4] = {0.1, 0.2, 0.3, 1.0};

std::unique_ptr<VLight> Light(const char* name, int type, double intensity = 100) {
  auto light = std::make_unique<VLight>(name);
  light->mLightType->Set(type);
  light->mIntensity->Set(intensity);
  return light;
}

TEST(LightTest, SpotValuesFollowTheCone) {
  VLight spot("Spot");
  spot.mLightType->Set(kVLightSpot);
  struct Case {
    double cone, cutoff, exponent;
  } cases[] = {
      {45, 27, 128 * (std::pow(1 - 0.09, 8) + 0.015)},
      {200, 89, 128 * 0.015},  // past 150 degrees the falloff term is 0
      {0, 0, 128},             // clamped to 128
      {-30, 0, 128},           // a negative cone is no cone
      {kNaN, 0, 128},
      {kInf, 89, 128 * 0.015},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cone);
    spot.mConeAngle->Set(c.cone);
    EXPECT_DOUBLE_EQ(spot.GetSpotCutoff(), c.cutoff);
    EXPECT_NEAR(spot.GetSpotExponent(), c.exponent, 1e-12);
  }
  spot.mConeAngle->Set(45);
  spot.SetExponentBias(-200);
  EXPECT_EQ(spot.GetSpotExponent(), 0);
  spot.SetExponentBias(10);
  EXPECT_NEAR(spot.GetSpotExponent(), 10 + 128 * (std::pow(0.91, 8) + 0.015), 1e-12);
}

TEST(LightTest, AttenuationCarriesTheIntensity) {
  VLight light("L");
  const struct {
    double intensity, attenuation;
  } cases[] = {{100, 100 / 100.000001}, {0, 100 / 0.000001}, {-5, 100 / 0.000001},
               {kNaN, 100 / 0.000001}, {kInf, 0.000001},     {1e12, 0.000001}};
  for (const auto& c : cases) {
    light.mIntensity->Set(c.intensity);
    EXPECT_DOUBLE_EQ(light.GetConstantAttenuation(), c.attenuation) << c.intensity;
  }
}

TEST(LightTest, PositionDirectionAndColours) {
  VLight light("L");
  light.TranslationProperty()->Set(VDouble3{1, 2, 3});
  light.RotationProperty()->Set(VDouble3{0, 0, 90});  // +X turned to +Y
  double p[4];
  light.GetPosition(p);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[3], 1);
  light.mLightType->Set(kVLightInfinite);
  light.GetPosition(p);  // where the light comes from: against its direction
  EXPECT_NEAR(p[0], 0, 1e-12);
  EXPECT_NEAR(p[1], -1, 1e-12);
  EXPECT_NEAR(p[2], 0, 1e-12);
  EXPECT_EQ(p[3], 0);
  light.mColor->Set(VDouble3{0.5, 2.0, kNaN});
  double d[4], a[4];
  light.GetDiffuse(d);
  light.GetAmbient(a);
  EXPECT_EQ(d[0], 0.5);
  EXPECT_EQ(d[1], 1.0);
  EXPECT_EQ(d[2], 0.0);
  EXPECT_EQ(a[0] + a[1] + a[2], 0.0);
  light.mLightType->Set(17);
  EXPECT_EQ(light.GetLightType(), kVLightPoint);
}

TEST(LightingSetupTest, UsedLightsTakeTheSlotsFromTheLastToTheFirst) {
  auto point = Light("Point", kVLightPoint, 50);
  auto spot = Light("Spot", kVLightSpot);
  spot->mConeAngle->Set(200);
  auto dark = Light("Dark", kVLightInfinite);
  dark->mCastLightOnObject->Set(0);
  auto hidden = Light("Hidden", kVLightPoint);
  hidden->ShowProperty()->Set(0);
  std::vector<const VLight*> lights = {point.get(), spot.get(), dark.get(), hidden.get()};

  const VLightingSetup setup = VComputeLighting(lights, 8, kAmbient, true);
  EXPECT_TRUE(setup.separate_specular);
  EXPECT_TRUE(setup.local_viewer);
  EXPECT_FALSE(setup.default_lighting);
  EXPECT_EQ(setup.model_ambient[2], 0.3);
  ASSERT_EQ(setup.lights.size(), 8u);
  // Walked from the last: the spot first, then the point light.
  EXPECT_TRUE(setup.lights[0].enabled);
  EXPECT_TRUE(setup.lights[0].has_spot_direction);
  EXPECT_EQ(setup.lights[0].spot_cutoff, 89);
  EXPECT_TRUE(setup.lights[1].enabled);
  EXPECT_EQ(setup.lights[1].spot_cutoff, 180);
  EXPECT_DOUBLE_EQ(setup.lights[1].constant_attenuation, 100 / 50.000001);
  for (size_t i = 2; i < setup.lights.size(); ++i) EXPECT_FALSE(setup.lights[i].enabled) << i;
}

TEST(LightingSetupTest, DefaultPairWhenNoLightIsUsed) {
  auto off = Light("Off", kVLightPoint);
  off->mCastLightOnObject->Set(0);
  for (const std::vector<const VLight*>& lights :
       {std::vector<const VLight*>{}, std::vector<const VLight*>{off.get(), nullptr}}) {
    const VLightingSetup setup = VComputeLighting(lights, 0, kAmbient, false);
    EXPECT_TRUE(setup.default_lighting);
    EXPECT_FALSE(setup.local_viewer);
    EXPECT_FALSE(setup.separate_specular);
    ASSERT_EQ(setup.lights.size(), 2u);  // L is at least 2
    const VLightSlot& first = setup.lights[0];
    const VLightSlot& second = setup.lights[1];
    EXPECT_TRUE(first.enabled && second.enabled);
    EXPECT_EQ(first.position[0], -0.2);
    EXPECT_EQ(first.position[3], 0);
    EXPECT_EQ(second.position[2], -0.75);
    EXPECT_EQ(first.diffuse[0], 0.8);
    EXPECT_EQ(first.specular[1], 0.7);
    EXPECT_EQ(first.ambient[0], 0);
    EXPECT_EQ(second.spot_cutoff, 180);
    EXPECT_EQ(second.constant_attenuation, 1);
  }
  const double bad_ambient[4] = {kNaN, kInf, 0.5, 1};
  const VLightingSetup setup = VComputeLighting({}, 4, bad_ambient, false);
  EXPECT_EQ(setup.model_ambient[0], 0);
  EXPECT_EQ(setup.model_ambient[1], 0);
  EXPECT_FALSE(setup.lights[2].enabled);
}

TEST(LightingSetupTest, OnlyTheFirstLLightsAreConsidered) {
  // Three lights, two slots: the third is never looked at, even when the
  // first two cast nothing.
  auto a = Light("A", kVLightPoint);
  auto b = Light("B", kVLightPoint);
  auto c = Light("C", kVLightPoint, 7);
  std::vector<const VLight*> lights = {a.get(), b.get(), c.get()};
  VLightingSetup setup = VComputeLighting(lights, 2, kAmbient, false);
  EXPECT_FALSE(setup.default_lighting);
  for (const VLightSlot& slot : setup.lights) EXPECT_NE(slot.constant_attenuation, 100 / 7.000001);
  a->mCastLightOnObject->Set(0);
  b->mCastLightOnObject->Set(0);
  setup = VComputeLighting(lights, 2, kAmbient, false);
  EXPECT_TRUE(setup.default_lighting);
}

TEST(LightTest, FileFieldsRoundTripAndAreReadWithoutAPropertyBlock) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene scene;
    auto* light = static_cast<VLight*>(scene.Add(Light("Lamp", kVLightSpot, 42)));
    light->mColor->Set(VDouble3{0.25, 0.5, 0.75});
    light->mConeAngle->Set(33);
    light->mCastLightOnObject->Set(0);
    light->mLightIntensityInfluenceFog->Set(1);
    const auto bytes = testing_support::WriteSceneToMemory(scene, binary);
    VScene read;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, read, &message)) << message;
    auto* copy = dynamic_cast<VLight*>(read.Find("Model::Lamp"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetLightType(), kVLightSpot);
    EXPECT_EQ(copy->mIntensity->Get(), 42);
    EXPECT_EQ(copy->mConeAngle->Get(), 33);
    EXPECT_EQ(copy->mColor->Get(), (VDouble3{0.25, 0.5, 0.75}));
    EXPECT_FALSE(copy->CastsLight());
    EXPECT_TRUE(copy->mLightIntensityInfluenceFog->Get());
  }
  // A block with the fields only (no property block) is read too.
  const auto bytes = testing_support::WriteZynToMemory(false, [](VZynFile& f) {
    f.FieldWriteBlockBegin("Definitions");
    f.FieldWriteI("Count", 1);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockBegin("Objects");
    f.FieldWriteBegin("Model");
    f.FieldWriteC("Model::Old");
    f.FieldWriteC("Light");
    f.FieldWriteBlockBegin();
    f.FieldWriteI("LightTypeVersion", 201);
    f.FieldWriteI("LightType", 1);
    f.FieldWriteI("CastLight", 1);
    f.FieldWriteBegin("Color");
    f.FieldWriteD(1);
    f.FieldWriteD(0);
    f.FieldWriteD(0);
    f.FieldWriteEnd();
    f.FieldWriteD("Intensity", 55);
    f.FieldWriteBegin("ConeAngle");  // damaged: no value, keeps the default
    f.FieldWriteEnd();
    f.FieldWriteI("IntensityInfluenceFog", 0);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  VScene read;
  std::string message;
  ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, read, &message)) << message;
  auto* old = dynamic_cast<VLight*>(read.Find("Model::Old"));
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->GetLightType(), kVLightInfinite);
  EXPECT_EQ(old->mIntensity->Get(), 55);
  EXPECT_EQ(old->mColor->Get(), (VDouble3{1, 0, 0}));
  EXPECT_EQ(old->mConeAngle->Get(), 45);
}

}  // namespace
