// The values the shaders send to OpenGL, and which passes draw what.

#include <gtest/gtest.h>

#include <cmath>

#include "render/render_passes.h"
#include "render/shading_setup.h"
#include "scene/scene.h"

namespace {

TEST(LightedMaterialSetup, ShininessIsCappedAtOpenGLsLimit) {
  VMaterialInput m;
  m.shininess = 200;
  EXPECT_EQ(VLightedMaterialSetup(m, {}).shininess, 128.0f);
  m.shininess = 40;
  EXPECT_EQ(VLightedMaterialSetup(m, {}).shininess, 40.0f);
  m.shininess = std::nan("");
  EXPECT_EQ(VLightedMaterialSetup(m, {}).shininess, 0.0f);
}

TEST(LightedMaterialSetup, ContrastZeroOnBlackGivesBlackNotADivisionByZero) {
  VMaterialInput black;
  for (int i = 0; i < 3; ++i) black.ambient[i] = black.diffuse[i] = 0.0;
  VLightedShaderInput shader;
  shader.use_contrast = true;
  shader.contrast = 0.0;
  const VMaterialSetup s = VLightedMaterialSetup(black, shader);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.ambient[i], 0.0f);
    EXPECT_EQ(s.diffuse[i], 0.0f);
  }
}

TEST(LightedMaterialSetup, ContrastKeepsTheMaterialsBrightness) {
  VMaterialInput m;
  m.ambient[0] = 0.2;
  m.diffuse[0] = 0.6;
  VLightedShaderInput shader;
  shader.use_contrast = true;
  shader.contrast = 50.0;  // a = 0.5, b = 0.5: ambient' 0.4, diffuse' 0.3, scaled by 0.8 / 0.7
  const VMaterialSetup s = VLightedMaterialSetup(m, shader);
  EXPECT_NEAR(s.ambient[0], 0.4 * 0.8 / 0.7, 1e-6);
  EXPECT_NEAR(s.diffuse[0], 0.3 * 0.8 / 0.7, 1e-6);
  EXPECT_NEAR(s.ambient[0] + s.diffuse[0], 0.8, 1e-6);
  shader.use_luminosity = true;
  shader.luminosity = 50.0;
  EXPECT_NEAR(VLightedMaterialSetup(m, shader).diffuse[0], 0.5 * 0.3 * 0.8 / 0.7, 1e-6);
}

TEST(LightedMaterialSetup, SpecularScalesBelowOneAndBlendsToWhiteAbove) {
  VMaterialInput m;
  m.specular[0] = 0.4;
  VLightedShaderInput shader;
  shader.use_specular = true;
  shader.specular = 50.0;
  EXPECT_NEAR(VLightedMaterialSetup(m, shader).specular[0], 0.2, 1e-6);
  shader.specular = 150.0;  // 0.4 + 0.6 x 0.5
  EXPECT_NEAR(VLightedMaterialSetup(m, shader).specular[0], 0.7, 1e-6);
}

TEST(LightedMaterialSetup, AlphaIsOpacityTimesShaderAlphaCappedAtOne) {
  VMaterialInput m;
  m.opacity = 0.5;
  VLightedShaderInput shader;
  shader.alpha = 0.5;
  const VMaterialSetup s = VLightedMaterialSetup(m, shader);
  EXPECT_NEAR(s.diffuse[3], 0.25, 1e-6);
  EXPECT_EQ(s.ambient[3], 0.0f);
  shader.alpha = 5.0;
  m.opacity = 1.0;
  EXPECT_EQ(VLightedMaterialSetup(m, shader).diffuse[3], 1.0f);
}

TEST(FogSetup, StartAndEndAreKeptApart) {
  VSceneSettings settings;
  settings.fog_enable = 1;
  settings.fog_start = 0;
  settings.fog_end = 0;
  VFogSetup fog = VComputeFog(settings);
  EXPECT_FLOAT_EQ(fog.start, 0.01f);
  EXPECT_FLOAT_EQ(fog.end, 0.02f);
  settings.fog_start = 50;
  settings.fog_end = 10;  // before the start: just past it
  fog = VComputeFog(settings);
  EXPECT_FLOAT_EQ(fog.end, 50.01f);
  settings.fog_density = 4;
  settings.fog_mode = 7;
  fog = VComputeFog(settings);
  EXPECT_FLOAT_EQ(fog.density, 0.002f);
  EXPECT_EQ(fog.mode, 0);
  settings.fog_start = std::nan("");
  EXPECT_FLOAT_EQ(VComputeFog(settings).start, 0.01f);
}

TEST(RenderPasses, RegisteredInOrderWithOneBitEach) {
  EXPECT_STREQ(VRenderGroupName(0), "VRENDERGROUP_PRERENDER");
  EXPECT_STREQ(VRenderGroupName(kVGroupCount - 1), "VRENDERGROUP_POSTRENDER");
  EXPECT_STREQ(VRenderGroupName(kVGroupCount), "");
  EXPECT_STREQ(VRenderExtraGroupName(2), "VRENDERGROUP_XOGLRAY");
  // Every pass runs in exactly one group.
  int runs[kVPassCount] = {};
  for (int g = 0; g < kVGroupCount; ++g) {
    int count = 0;
    const VRenderPass* passes = VRenderGroupPasses(g, &count);
    for (int i = 0; i < count; ++i) runs[passes[i]]++;
  }
  for (int p = 0; p < kVPassCount; ++p) {
    EXPECT_EQ(runs[p], 1) << VRenderPassName(p);
    EXPECT_EQ(VRenderPassOfName(VRenderPassName(p)), p);
  }
}

TEST(RenderPasses, TransparencySelectsItsPasses) {
  auto bit = [](const char* name) { return VRenderPassBit(static_cast<VRenderPass>(VRenderPassOfName(name))); };
  EXPECT_EQ(VShaderPassBits(true, 0), bit("vrenderpassogllighted"));
  EXPECT_EQ(VShaderPassBits(false, 0), bit("vrenderpassoglflat"));
  EXPECT_EQ(VShaderPassBits(true, 1), bit("vrenderpassoglTranslucent") | bit("VRenderPassOGLZTranslucentAlphaTest"));
  EXPECT_EQ(VShaderPassBits(true, 3), bit("vrenderpassoglMatte"));
  EXPECT_EQ(VShaderPassBits(true, 4), bit("VRenderPassOGLZTranslucent") | bit("vrenderpassoglTranslucent"));
  EXPECT_EQ(VShaderPassBits(true, 5), bit("vrenderpassogladdcolor"));
  // "Translucent(Models Z Sort)" draws only in the z-sorted pass, which runs
  // after every solid group.
  EXPECT_EQ(VShaderPassBits(true, 6), bit("vrenderpassoglTranslucentZSort"));
  int count = 0;
  const VRenderPass* last = VRenderGroupPasses(kVGroupTranslucentZSort, &count);
  EXPECT_NE(std::find(last, last + count, kVPassTranslucentZSort), last + count);
  // Out of the table: as "No Transparency".
  EXPECT_EQ(VShaderPassBits(true, 99), bit("vrenderpassogllighted"));
  EXPECT_EQ(VShaderPassBits(false, -1), bit("vrenderpassoglflat"));
}

}  // namespace
