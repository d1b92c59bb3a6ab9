// Materials, textures and shaders as the renderer reads them: getters that
// never hand on NaN or out-of-range values, the image files a texture
// tries, the lists a model finds through its connections, and the model's
// display shading mode.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "scene/material.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/model_shading.h"
#include "scene/object_factories.h"
#include "scene/shader.h"
#include "scene/texture.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(MaterialTest, DefaultsAndClampedGetters) {
  VMaterial m(kVDefaultMaterialName);
  EXPECT_EQ(m.GetFullName(), "Material::DefaultMat");
  EXPECT_EQ(m.GetSubtype(), "");
  EXPECT_EQ(m.GetShadingModel(), "phong");
  EXPECT_EQ(m.GetAmbient(), (YrSDK::YrVector3<double>{0.2, 0.2, 0.2}));
  EXPECT_EQ(m.GetDiffuse(), (YrSDK::YrVector3<double>{0.8, 0.8, 0.8}));
  EXPECT_EQ(m.GetSpecular(), (YrSDK::YrVector3<double>{0, 0, 0}));
  EXPECT_EQ(m.GetEmissive(), (YrSDK::YrVector3<double>{0, 0, 0}));
  EXPECT_EQ(m.GetOpacity(), 1.0);
  EXPECT_EQ(m.GetShininess(), 20.0);
  EXPECT_EQ(m.GetReflectivity(), 0.0);

  m.SetDiffuse({-1, 2, kNaN});
  m.SetAmbient({kInf, -kInf, 0.5});
  m.SetSpecular({0.25, kNaN, 1.0});
  m.SetEmissive({1.5, 0.0, -0.1});
  EXPECT_EQ(m.GetDiffuse(), (YrSDK::YrVector3<double>{0, 1, 0}));
  EXPECT_EQ(m.GetAmbient(), (YrSDK::YrVector3<double>{1, 0, 0.5}));
  EXPECT_EQ(m.GetSpecular(), (YrSDK::YrVector3<double>{0.25, 0, 1}));
  EXPECT_EQ(m.GetEmissive(), (YrSDK::YrVector3<double>{1, 0, 0}));
  // The properties keep what was set; only the getters clamp.
  EXPECT_EQ(m.mDiffuse->Get()[1], 2.0);

  const struct {
    double value, opacity, shininess, reflectivity;
  } cases[] = {{0.5, 0.5, 0.5, 0.5}, {-3, 0, 0, 0}, {7, 1, 7, 1}, {kNaN, 1, 0, 0}, {kInf, 1, kInf, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    m.SetOpacity(c.value);
    m.SetShininess(c.value);
    m.SetReflectivity(c.value);
    EXPECT_EQ(m.GetOpacity(), c.opacity);
    EXPECT_EQ(m.GetShininess(), c.shininess);
    EXPECT_EQ(m.GetReflectivity(), c.reflectivity);
  }
}

TEST(ShaderTest, DefaultsLabelsAndGetters) {
  VLightedShader lighted("L");
  VFlatShader flat("F");
  VWireShader wire("W");
  EXPECT_EQ(lighted.GetFullName(), "Shader::L");
  EXPECT_EQ(lighted.GetSubtype(), "LightedShader");
  EXPECT_EQ(flat.GetSubtype(), "FlatShader");
  EXPECT_EQ(wire.GetSubtype(), "WireShader");
  EXPECT_STREQ(lighted.GetLabel(), "Lighted");
  EXPECT_STREQ(flat.GetLabel(), "Flat");
  EXPECT_STREQ(wire.GetLabel(), "Wire Frame");

  EXPECT_EQ(lighted.GetAlpha(), 1.0);
  EXPECT_FALSE(lighted.GetUseContrast());
  EXPECT_FALSE(lighted.GetUseLuminosity());
  EXPECT_FALSE(lighted.GetUseSpecular());
  EXPECT_EQ(lighted.GetContrast(), 100.0);
  EXPECT_EQ(lighted.GetLuminosity(), 100.0);
  EXPECT_EQ(lighted.GetSpecular(), 100.0);
  EXPECT_EQ(lighted.GetTransparency(), kVTransparencyNone);
  ASSERT_EQ(lighted.mTransparency->GetEnumItemCount(), 7);
  EXPECT_EQ(lighted.mTransparency->GetEnumItem(6), "Translucent(Models Z Sort)");
  EXPECT_EQ(flat.mTransparency->GetEnumItem(4), "2D Transparency");
  EXPECT_EQ(wire.GetLineWidth(), 1.0);
  EXPECT_EQ(wire.GetTransparency(), kVTransparencyNone);

  // Values outside the table draw without transparency.
  for (int t : {-1, 0, 3, 6, 7, 1000}) {
    lighted.SetTransparency(t);
    flat.SetTransparency(t);
    const int want = t >= 0 && t <= 6 ? t : 0;
    EXPECT_EQ(lighted.GetTransparency(), want) << t;
    EXPECT_EQ(flat.GetTransparency(), want) << t;
  }
  lighted.SetAlpha(kNaN);
  lighted.SetContrast(kNaN);
  lighted.SetLuminosity(kInf);
  lighted.SetSpecular(0);
  EXPECT_EQ(lighted.GetAlpha(), 1.0);
  EXPECT_EQ(lighted.GetContrast(), 100.0);
  EXPECT_EQ(lighted.GetLuminosity(), 100.0);
  EXPECT_EQ(lighted.GetSpecular(), 0.0);  // 0 is a value, not a fault
  lighted.SetAlpha(-2);
  EXPECT_EQ(lighted.GetAlpha(), 0.0);

  flat.SetColorSource(kVFlatColorSpecific);
  EXPECT_EQ(flat.GetColorSource(), kVFlatColorSpecific);
  flat.SetColorSource(9);
  EXPECT_EQ(flat.GetColorSource(), kVFlatColorMaterial);
  flat.SetSpecificColor({kNaN, 2, 0.5});
  EXPECT_EQ(flat.GetSpecificColor(), (YrSDK::YrVector3<double>{0, 1, 0.5}));
  flat.SetLuminosityFactor(kNaN);
  EXPECT_EQ(flat.GetLuminosityFactor(), 100.0);

  for (double bad : {0.0, -1.0, kNaN, kInf}) {
    wire.SetLineWidth(bad);
    EXPECT_EQ(wire.GetLineWidth(), 1.0) << bad;
  }
  wire.SetLineWidth(2.5);
  EXPECT_EQ(wire.GetLineWidth(), 2.5);
}

TEST(TextureTest, ImageCandidatesInOrder) {
  VTexture t("Checker");
  EXPECT_TRUE(t.GetImageCandidates("/scenes/a.zyn").empty());

  t.SetFileName("/images/checker.tga");
  t.SetRelativeFileName("maps/checker.tga");
  EXPECT_EQ(t.GetImageCandidates("/scenes/a.zyn"),
            (std::vector<std::string>{"/images/checker.tga", "/scenes/maps/checker.tga"}));
  // A scene path without a folder leaves the relative name as it is.
  EXPECT_EQ(t.GetImageCandidates("a.zyn"), (std::vector<std::string>{"/images/checker.tga", "maps/checker.tga"}));

  // Only the relative name: it is the one candidate.
  t.SetFileName("");
  EXPECT_EQ(t.GetImageCandidates("/scenes/a.zyn"), (std::vector<std::string>{"/scenes/maps/checker.tga"}));

  // A name written on Windows is tried as written, then with '/'.
  t.SetFileName("C:\\images\\checker.tga");
  t.SetRelativeFileName("maps\\checker.tga");
  EXPECT_EQ(t.GetImageCandidates("/scenes/a.zyn"),
            (std::vector<std::string>{"C:\\images\\checker.tga", "/scenes/maps\\checker.tga",
                                      "/scenes/maps/checker.tga"}));

  // An absolute relative name is not joined; the same path twice is tried once.
  t.SetFileName("/images/checker.tga");
  t.SetRelativeFileName("/images/checker.tga");
  EXPECT_EQ(t.GetImageCandidates("/scenes/a.zyn"), (std::vector<std::string>{"/images/checker.tga"}));
}

TEST(TextureTest, PlacementIsAlwaysFinite) {
  VTexture t("T");
  EXPECT_EQ(t.GetUVTranslation(), (YrSDK::YrVector2<double>{0, 0}));
  EXPECT_EQ(t.GetUVScaling(), (YrSDK::YrVector2<double>{1, 1}));
  t.SetUVTranslation({kNaN, 0.5});
  t.SetUVScaling({2, kInf});
  EXPECT_EQ(t.GetUVTranslation(), (YrSDK::YrVector2<double>{0, 0.5}));
  EXPECT_EQ(t.GetUVScaling(), (YrSDK::YrVector2<double>{2, 1}));
}

TEST(ModelShadingTest, ListsFollowTheConnectionOrder) {
  VModelPolymesh model("Cube");
  VMaterial red("Red"), green("Green");
  VTexture wood("Wood"), stone("Stone");
  VLightedShader lighted("Lighted");
  VWireShader wire("Wire");
  VModel child("Child", "Null");
  EXPECT_TRUE(VGetModelMaterials(model).empty());
  EXPECT_TRUE(VGetModelTextures(model).empty());
  EXPECT_EQ(VGetModelShader(model), nullptr);

  // Mixed with other sources (a child model), in the order connected.
  ASSERT_TRUE(model.ConnectSrc(&green));
  ASSERT_TRUE(child.SetParent(&model));
  ASSERT_TRUE(model.ConnectSrc(&stone));
  ASSERT_TRUE(model.ConnectSrc(&wire));
  ASSERT_TRUE(model.ConnectSrc(&red));
  ASSERT_TRUE(model.ConnectSrc(&lighted));
  ASSERT_TRUE(model.ConnectSrc(&wood));
  EXPECT_EQ(VGetModelMaterials(model), (std::vector<VMaterial*>{&green, &red}));
  EXPECT_EQ(VGetModelTextures(model), (std::vector<VTexture*>{&stone, &wood}));
  EXPECT_EQ(VGetModelShader(model), &wire);

  // A material connected the other way (model -> material) is not the model's.
  VModel other("Other", "Null");
  ASSERT_TRUE(other.ConnectDst(&red));
  EXPECT_TRUE(VGetModelMaterials(other).empty());

  model.DisconnectSrc(&wire);
  EXPECT_EQ(VGetModelShader(model), &lighted);
  model.DisconnectSrc(&green);
  EXPECT_EQ(VGetModelMaterials(model), (std::vector<VMaterial*>{&red}));
}

TEST(ModelShadingTest, ShaderOfAnUnknownClassIsNoShader) {
  VSceneRegisterObjectFactories();
  std::unique_ptr<VObject> user = VClassRegistry::Instance().Create("ZynStorable/Shader", "Toon", "ToonShader");
  std::unique_ptr<VObject> lighted = VClassRegistry::Instance().Create("ZynStorable/Shader", "L", "LightedShader");
  ASSERT_TRUE(user && lighted);
  EXPECT_EQ(dynamic_cast<VShader*>(user.get()), nullptr);
  EXPECT_EQ(user->GetFullName(), "Shader::Toon");
  ASSERT_NE(dynamic_cast<VLightedShader*>(lighted.get()), nullptr);
  VModel model("M", "Null");
  ASSERT_TRUE(model.ConnectSrc(user.get()));
  EXPECT_EQ(VGetModelShader(model), nullptr);
  ASSERT_TRUE(model.ConnectSrc(lighted.get()));
  EXPECT_EQ(VGetModelShader(model), lighted.get());
  model.DisconnectAllSrc();
}

TEST(ModelShadingTest, ShadingModeKeepsKnownValues) {
  VModel model("M", "Null");
  EXPECT_EQ(model.GetShadingMode(), kVModelShadingDefault);
  for (int mode = kVModelShadingDefault; mode <= kVModelShadingTexture; ++mode) {
    model.SetShadingMode(mode);
    EXPECT_EQ(model.GetShadingMode(), mode);
  }
  for (int bad : {-1, 5, 1 << 30}) {
    model.SetShadingMode(kVModelShadingWire);
    model.SetShadingMode(bad);
    EXPECT_EQ(model.GetShadingMode(), kVModelShadingDefault) << bad;
  }
}

}  // namespace
