// Materials, textures and shaders in scene documents: every property and
// record read back the same in both forms with the models' connections in
// order; damaged and older records read without harm.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/property.h"
#include "scene/material.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/model_shading.h"
#include "scene/scene.h"
#include "scene/shader.h"
#include "scene/texture.h"
#include "support/scene_memory.h"
#include "support/temp_dir.h"
#include "support/zyn_memory.h"
#include "zynfile/zyn_file.h"

// The sample scene of the zyn tool.
#include "tools/zyn/demo_scene.h"
#include "tools/zyn/demo_shading.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Body = std::function<void(VZynFile&)>;

template <class T>
T* Add(VScene& scene, std::unique_ptr<T> object) {
  return static_cast<T*>(scene.Add(std::move(object)));
}

// A cube with two materials, a texture and a lighted shader; a second
// model with a wire shader; a flat shader connected to nothing.
void BuildScene(VScene& scene) {
  auto* cube = Add(scene, std::make_unique<VModelPolymesh>("Cube"));
  auto* line = Add(scene, std::make_unique<VModel>("Line", "Null"));
  auto* red = Add(scene, std::make_unique<VMaterial>("Red"));
  red->SetDiffuse({0.9, 0.1, 0.05});
  red->SetAmbient({0.3, 0.01, 0.02});
  red->SetSpecular({0.5, 0.25, 0.125});
  red->SetEmissive({0.1, 0, 0.2});
  red->SetOpacity(0.75);
  red->SetShininess(64.5);
  red->SetReflectivity(0.3);
  red->SetShadingModel("phong");
  auto* blue = Add(scene, std::make_unique<VMaterial>("Blue"));
  blue->SetDiffuse({0.1, 0.2, 0.9});
  auto* checker = Add(scene, std::make_unique<VTexture>("Checker"));
  checker->SetFileName("/abs/images/checker.tga");
  checker->SetRelativeFileName("images/checker.tga");
  checker->SetUVTranslation({0.25, -0.5});
  checker->SetUVScaling({4, 2});
  Add(scene, std::make_unique<VTexture>("Blank"));  // no image at all
  auto* lighted = Add(scene, std::make_unique<VLightedShader>("Glass"));
  lighted->SetAlpha(0.4);
  lighted->SetUseContrast(true);
  lighted->SetContrast(80);
  lighted->SetUseLuminosity(true);
  lighted->SetLuminosity(120);
  lighted->SetUseSpecular(true);
  lighted->SetSpecular(150);
  lighted->SetTransparency(kVTransparencyTranslucentZSort);
  auto* flat = Add(scene, std::make_unique<VFlatShader>("Poster"));
  flat->SetAlpha(0.5);
  flat->SetUseLuminosity(true);
  flat->SetLuminosityFactor(70);
  flat->SetColorSource(kVFlatColorSpecific);
  flat->SetSpecificColor({0.2, 0.4, 0.6});
  flat->SetTransparency(kVTransparencyAdditive);
  auto* wire = Add(scene, std::make_unique<VWireShader>("Wire"));
  wire->SetLineWidth(3);

  cube->ConnectSrc(blue);
  cube->ConnectSrc(lighted);
  cube->ConnectSrc(checker);
  cube->ConnectSrc(red);
  line->ConnectSrc(wire);
  line->ConnectSrc(red);
}

// Every property as text and doubles, so that a difference names itself.
void ExpectSameProperties(const VObject& a, const VObject& b) {
  ASSERT_EQ(a.GetPropertyCount(), b.GetPropertyCount()) << a.GetFullName();
  for (int i = 0; i < a.GetPropertyCount(); ++i) {
    const VProperty& p = *a.GetProperty(i);
    const VProperty* q = b.FindProperty(p.GetName());
    ASSERT_NE(q, nullptr) << p.GetName();
    EXPECT_EQ(q->GetType(), p.GetType()) << p.GetName();
    EXPECT_EQ(q->GetText(), p.GetText()) << a.GetFullName() << " " << p.GetName();
    double x[4] = {0, 0, 0, 0}, y[4] = {0, 0, 0, 0};
    p.GetDoubles(x, p.GetDoubleCount());
    q->GetDoubles(y, q->GetDoubleCount());
    for (int k = 0; k < 4; ++k) EXPECT_EQ(x[k], y[k]) << a.GetFullName() << " " << p.GetName();
  }
}

template <class T>
std::vector<std::string> Names(const std::vector<T*>& objects) {
  std::vector<std::string> names;
  for (const T* o : objects) names.push_back(o->GetName());
  return names;
}

// The "ObjectType" values of a written document's definitions.
std::vector<std::string> DefinedTypes(const Bytes& bytes) {
  VZynFile file;
  std::vector<std::string> types;
  if (!file.OpenFromMemory(bytes.data(), bytes.size()) || !file.FieldReadBegin("Definitions")) return types;
  if (file.FieldReadBlockBegin()) {
    for (int i = 0; file.FieldReadBegin("ObjectType", i); ++i) {
      types.push_back(file.FieldReadC());
      file.FieldReadEnd();
    }
    file.FieldReadBlockEnd();
  }
  file.FieldReadEnd();
  return types;
}

TEST(ShadingDocumentTest, EveryPropertyAndRecordReadsBack) {
  VScene original;
  BuildScene(original);
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    Bytes bytes = testing_support::WriteSceneToMemory(original, binary);
    EXPECT_EQ(DefinedTypes(bytes), (std::vector<std::string>{"Model", "Material", "Texture", "Shader"}));
    VScene read;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, read, &message)) << message;

    ASSERT_EQ(read.objects().size(), original.objects().size());
    for (std::size_t i = 0; i < original.objects().size(); ++i) {
      const VSceneObject& a = *original.objects()[i];
      const VSceneObject& b = *read.objects()[i];
      EXPECT_EQ(b.GetFullName(), a.GetFullName());
      EXPECT_EQ(b.GetSubtype(), a.GetSubtype().empty() ? "Default" : a.GetSubtype());
      EXPECT_EQ(typeid(b), typeid(a)) << a.GetFullName();
      ExpectSameProperties(a, b);
    }

    auto* red = dynamic_cast<VMaterial*>(read.Find("Material::Red"));
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->GetDiffuse(), (YrSDK::YrVector3<double>{0.9, 0.1, 0.05}));
    EXPECT_EQ(red->GetAmbient(), (YrSDK::YrVector3<double>{0.3, 0.01, 0.02}));
    EXPECT_EQ(red->GetSpecular(), (YrSDK::YrVector3<double>{0.5, 0.25, 0.125}));
    EXPECT_EQ(red->GetEmissive(), (YrSDK::YrVector3<double>{0.1, 0, 0.2}));
    EXPECT_EQ(red->GetOpacity(), 0.75);
    EXPECT_EQ(red->GetShininess(), 64.5);
    EXPECT_EQ(red->GetReflectivity(), 0.3);
    EXPECT_EQ(red->GetShadingModel(), "phong");

    auto* checker = dynamic_cast<VTexture*>(read.Find("Texture::Checker"));
    ASSERT_NE(checker, nullptr);
    EXPECT_EQ(checker->GetFileName(), "/abs/images/checker.tga");
    EXPECT_EQ(checker->GetRelativeFileName(), "images/checker.tga");
    EXPECT_EQ(checker->GetMediaName(), "Video::Checker");
    EXPECT_EQ(checker->GetUVTranslation(), (YrSDK::YrVector2<double>{0.25, -0.5}));
    EXPECT_EQ(checker->GetUVScaling(), (YrSDK::YrVector2<double>{4, 2}));
    EXPECT_FALSE(checker->GetLegacy().present);
    auto* blank = dynamic_cast<VTexture*>(read.Find("Texture::Blank"));
    ASSERT_NE(blank, nullptr);
    EXPECT_TRUE(blank->GetImageCandidates("/x/s.zyn").empty());
    EXPECT_EQ(blank->GetMediaName(), "");

    auto* glass = dynamic_cast<VLightedShader*>(read.Find("Shader::Glass"));
    ASSERT_NE(glass, nullptr);
    EXPECT_EQ(glass->GetAlpha(), 0.4);
    EXPECT_TRUE(glass->GetUseContrast() && glass->GetUseLuminosity() && glass->GetUseSpecular());
    EXPECT_EQ(glass->GetContrast(), 80);
    EXPECT_EQ(glass->GetLuminosity(), 120);
    EXPECT_EQ(glass->GetSpecular(), 150);
    EXPECT_EQ(glass->GetTransparency(), kVTransparencyTranslucentZSort);
    auto* poster = dynamic_cast<VFlatShader*>(read.Find("Shader::Poster"));
    ASSERT_NE(poster, nullptr);
    EXPECT_EQ(poster->GetAlpha(), 0.5);
    EXPECT_TRUE(poster->GetUseLuminosity());
    EXPECT_EQ(poster->GetLuminosityFactor(), 70);
    EXPECT_EQ(poster->GetColorSource(), kVFlatColorSpecific);
    EXPECT_EQ(poster->GetSpecificColor(), (YrSDK::YrVector3<double>{0.2, 0.4, 0.6}));
    EXPECT_EQ(poster->GetTransparency(), kVTransparencyAdditive);
    auto* wire = dynamic_cast<VWireShader*>(read.Find("Shader::Wire"));
    ASSERT_NE(wire, nullptr);
    EXPECT_EQ(wire->GetLineWidth(), 3);

    // The connections keep their order: the per-polygon ids stay right.
    auto* cube = dynamic_cast<VTransformNode*>(read.Find("Model::Cube"));
    auto* line = dynamic_cast<VTransformNode*>(read.Find("Model::Line"));
    ASSERT_TRUE(cube && line);
    EXPECT_EQ(Names(VGetModelMaterials(*cube)), (std::vector<std::string>{"Blue", "Red"}));
    EXPECT_EQ(Names(VGetModelTextures(*cube)), (std::vector<std::string>{"Checker"}));
    EXPECT_EQ(VGetModelShader(*cube), glass);
    EXPECT_EQ(Names(VGetModelMaterials(*line)), (std::vector<std::string>{"Red"}));
    EXPECT_EQ(VGetModelShader(*line), wire);
    EXPECT_TRUE(VGetModelTextures(*line).empty());
  }
}

TEST(ShadingDocumentTest, DocumentsWithoutShadersDefineNoShaderType) {
  VScene scene;
  scene.Add(std::make_unique<VModel>("A", "Null"));
  scene.Add(std::make_unique<VMaterial>("M"));
  for (bool binary : {true, false}) {
    EXPECT_EQ(DefinedTypes(testing_support::WriteSceneToMemory(scene, binary)),
              (std::vector<std::string>{"Model", "Material"}));
  }
}

// --- hand-written records -------------------------------------------------------

Body Object(const char* type, const char* full_name, const char* subtype, const Body& block) {
  return [=](VZynFile& f) {
    f.FieldWriteBegin(type);
    f.FieldWriteC(full_name);
    f.FieldWriteC(subtype);
    f.FieldWriteBlockBegin();
    block(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Bytes Document(bool binary, const std::vector<Body>& objects) {
  return testing_support::WriteZynToMemory(binary, [&](VZynFile& f) {
    f.FieldWriteBlockBegin("Definitions");
    f.FieldWriteI("Count", static_cast<int32_t>(objects.size()));
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockBegin("Objects");
    for (const Body& b : objects) b(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
}

void Field(VZynFile& f, const char* name, const std::function<void()>& values) {
  f.FieldWriteBegin(name);
  values();
  f.FieldWriteEnd();
}

void Doubles(VZynFile& f, const char* name, const std::vector<double>& values) {
  f.FieldWriteBegin(name);
  for (double v : values) f.FieldWriteD(v);
  f.FieldWriteEnd();
}

TEST(ShadingDocumentTest, DamagedRecordsKeepWhatIsSound) {
  const std::vector<Body> objects = {
      Object("Material", "Material::Bad", "",
             [](VZynFile& f) {
               f.FieldWriteC("Version", "not a number");
               Doubles(f, "Ambient", {0.5, 0.5});  // short: ignored
               Doubles(f, "Diffuse", {0.1, 0.2, 0.3});
               Field(f, "Specular", [] {});                                               // empty: ignored
               f.FieldWriteD("Emissive", 1.0);                                           // short: ignored
               Field(f, "Shininess", [] {});
               // "Alpha" and "Reflectivity" missing.
             }),
      Object("Texture", "Texture::Bad", "",
             [](VZynFile& f) {
               f.FieldWriteI("Version", 203);
               f.FieldWriteI("FileName", 42);
               Doubles(f, "ModelUVTranslation", {0.5});  // short: ignored
               Doubles(f, "ModelUVScaling", {2.0, 3.0, 9.0});
             }),
      Object("Shader", "Shader::Lit", "LightedShader",
             [](VZynFile& f) {
               f.FieldWriteBlockBegin("Contrast");  // a block where a value belongs
               f.FieldWriteD("Inner", 5.0);
               f.FieldWriteBlockEnd();
               f.FieldWriteEnd();
               Field(f, "Alpha", [] {});
               f.FieldWriteD("Luminosity", 50.0);
             }),
      Object("Shader", "Shader::Flat", "FlatShader",
             [](VZynFile& f) {
               Doubles(f, "SpecificColor", {0.5});
               f.FieldWriteI("ColorSource", 77);
             }),
      Object("Shader", "Shader::Wire", "WireShader", [](VZynFile& f) { Field(f, "LineWidth", [] {}); }),
      Object("Shader", "Shader::Toon", "ToonShader", [](VZynFile& f) { f.FieldWriteD("Outline", 2.0); }),
      Object("Shader", "Shader::Plain", "", [](VZynFile&) {}),
  };
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene scene;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(Document(binary, objects), scene, &message)) << message;
    auto* m = dynamic_cast<VMaterial*>(scene.Find("Material::Bad"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetAmbient(), (YrSDK::YrVector3<double>{0.2, 0.2, 0.2}));
    EXPECT_EQ(m->GetDiffuse(), (YrSDK::YrVector3<double>{0.1, 0.2, 0.3}));
    EXPECT_EQ(m->GetSpecular(), (YrSDK::YrVector3<double>{0, 0, 0}));
    EXPECT_EQ(m->GetEmissive(), (YrSDK::YrVector3<double>{0, 0, 0}));
    EXPECT_EQ(m->GetShininess(), 20.0);
    EXPECT_EQ(m->GetOpacity(), 1.0);
    EXPECT_EQ(m->GetShadingModel(), "phong");

    auto* t = dynamic_cast<VTexture*>(scene.Find("Texture::Bad"));
    ASSERT_NE(t, nullptr);
    if (binary) {
      EXPECT_EQ(t->GetFileName(), "");  // a number is no name
    }
    EXPECT_EQ(t->GetRelativeFileName(), "");
    EXPECT_EQ(t->GetUVTranslation(), (YrSDK::YrVector2<double>{0, 0}));
    EXPECT_EQ(t->GetUVScaling(), (YrSDK::YrVector2<double>{2, 3}));

    auto* lit = dynamic_cast<VLightedShader*>(scene.Find("Shader::Lit"));
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit->GetContrast(), 100.0);
    EXPECT_EQ(lit->GetAlpha(), 1.0);
    EXPECT_EQ(lit->GetLuminosity(), 50.0);
    auto* flat = dynamic_cast<VFlatShader*>(scene.Find("Shader::Flat"));
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->GetSpecificColor(), (YrSDK::YrVector3<double>{1, 1, 1}));
    EXPECT_EQ(flat->GetColorSource(), kVFlatColorMaterial);
    auto* wire = dynamic_cast<VWireShader*>(scene.Find("Shader::Wire"));
    ASSERT_NE(wire, nullptr);
    EXPECT_EQ(wire->GetLineWidth(), 1.0);
    // Shaders of unknown classes are kept as plain objects with their data.
    VSceneObject* toon = scene.Find("Shader::Toon");
    ASSERT_NE(toon, nullptr);
    EXPECT_EQ(dynamic_cast<VShader*>(toon), nullptr);
    EXPECT_EQ(toon->GetSubtype(), "ToonShader");
    ASSERT_NE(scene.Find("Shader::Plain"), nullptr);
    EXPECT_EQ(dynamic_cast<VShader*>(scene.Find("Shader::Plain")), nullptr);
  }
}

TEST(ShadingDocumentTest, OlderTextureRecordsPlaceTheImage) {
  auto legacy = [](bool with_newer) {
    return Object("Texture", "Texture::Old", "", [with_newer](VZynFile& f) {
      f.FieldWriteI("Version", 202);
      f.FieldWriteC("Media", "Video::Old");
      f.FieldWriteC("FileName", "C:\\maps\\old.bmp");
      f.FieldWriteC("RelativeFilename", "maps\\old.bmp");
      Doubles(f, "Translation", {0.1, 0.2});
      Doubles(f, "Scaling", {3, 4});
      Doubles(f, "Rotation", {0, 0, 45});
      Field(f, "Tilling", [&] {
        f.FieldWriteI(0);
        f.FieldWriteI(0);
      });
      f.FieldWriteI("SwapUV", 1);
      f.FieldWriteI("WrapU", 1);
      f.FieldWriteI("BlendMode", 2);
      f.FieldWriteD("TextureAlpha", 0.5);
      f.FieldWriteC("Texture_Mapping_Type", "Planar");
      f.FieldWriteC("Texture_Planar_Mapping_Normal", "Z");
      f.FieldWriteC("TextureUse", "Standard");
      if (with_newer) {
        Doubles(f, "ModelUVTranslation", {0.5, 0.5});
        Doubles(f, "ModelUVScaling", {1, 1});
      }
    });
  };
  for (bool binary : {true, false}) {
    for (bool with_newer : {false, true}) {
      SCOPED_TRACE(std::string(binary ? "binary" : "ascii") + (with_newer ? " with newer fields" : ""));
      VScene scene;
      std::string message;
      ASSERT_TRUE(testing_support::ReadSceneFromMemory(Document(binary, {legacy(with_newer)}), scene, &message));
      auto* t = dynamic_cast<VTexture*>(scene.Find("Texture::Old"));
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->GetMediaName(), "Video::Old");
      EXPECT_EQ(t->GetFileName(), "C:\\maps\\old.bmp");
      const VTextureLegacy& l = t->GetLegacy();
      EXPECT_TRUE(l.present);
      EXPECT_EQ(l.rotation, 45);
      EXPECT_EQ(l.swap_uv, 1);
      EXPECT_EQ(l.wrap_u, 1);
      EXPECT_EQ(l.wrap_v, 0);
      EXPECT_EQ(l.blend_mode, 2);
      EXPECT_EQ(l.alpha, 0.5);
      EXPECT_EQ(l.mapping_type, "Planar");
      EXPECT_EQ(l.planar_normal, "Z");
      EXPECT_EQ(l.texture_use, "Standard");
      EXPECT_EQ(t->GetUVTranslation(), with_newer ? (YrSDK::YrVector2<double>{0.5, 0.5})
                                                  : (YrSDK::YrVector2<double>{0.1, 0.2}));
      EXPECT_EQ(t->GetUVScaling(), with_newer ? (YrSDK::YrVector2<double>{1, 1}) : (YrSDK::YrVector2<double>{3, 4}));
      EXPECT_EQ(t->GetImageCandidates("/s/a.zyn"),
                (std::vector<std::string>{"C:\\maps\\old.bmp", "/s/maps\\old.bmp", "/s/maps/old.bmp"}));
    }
  }
}

// --- the sample scene ---------------------------------------------------------------

TEST(ShadingDocumentTest, SampleSceneMeshesCarryWhatTheyAreDrawnWith) {
  VScene original;
  zyn_tool::BuildDemoScene(original);
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene read;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(testing_support::WriteSceneToMemory(original, binary), read,
                                                     &message))
        << message;
    auto* tube = dynamic_cast<VModelPolymesh*>(read.Find("Model::Tube"));
    auto* flag = dynamic_cast<VModelPolymesh*>(read.Find("Model::Flag"));
    auto* ground = dynamic_cast<VModelPolymesh*>(read.Find("Model::Ground"));
    ASSERT_TRUE(tube && flag && ground);
    EXPECT_EQ(Names(VGetModelMaterials(*tube)), (std::vector<std::string>{"Tube Red"}));
    EXPECT_EQ(Names(VGetModelMaterials(*flag)), (std::vector<std::string>{"Flag Yellow", "Flag Blue"}));
    EXPECT_EQ(Names(VGetModelMaterials(*ground)), (std::vector<std::string>{"Ground"}));
    EXPECT_EQ(Names(VGetModelTextures(*ground)), (std::vector<std::string>{"Checker"}));
    EXPECT_TRUE(VGetModelTextures(*tube).empty());
    ASSERT_TRUE(VGetModelShader(*tube) && VGetModelShader(*flag));
    EXPECT_EQ(VGetModelShader(*tube), VGetModelShader(*ground));
    EXPECT_EQ(VGetModelShader(*tube)->GetSubtype(), "LightedShader");
    EXPECT_EQ(VGetModelShader(*flag)->GetSubtype(), "FlatShader");

    // The materials' colours tell the meshes apart.
    const auto tube_diffuse = VGetModelMaterials(*tube)[0]->GetDiffuse();
    for (VMaterial* m : VGetModelMaterials(*flag)) EXPECT_NE(m->GetDiffuse(), tube_diffuse);
    // The flag's rows alternate between its two materials (ids from 1).
    const VGeometry& fg = flag->GetGeometry();
    ASSERT_EQ(fg.material_assignation, kVMaterialByPolygon);
    ASSERT_EQ(fg.materials.size(), fg.PolygonCount());
    EXPECT_EQ(fg.materials.front(), 1);
    EXPECT_EQ(fg.materials.back(), 2);
    // The ground: UVs per polygon corner within [0, 2], every polygon on
    // the first texture, and facing up.
    const VGeometry& gg = ground->GetGeometry();
    ASSERT_GT(gg.PolygonCount(), 0u);
    const VLayerElement* uv = nullptr;
    for (const VLayerElement& e : gg.elements) {
      if (e.kind == kVLayerUV) uv = &e;
    }
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(uv->mapping, kVMappingByPolygonVertexIndexed);
    EXPECT_EQ(uv->ids.size(), gg.CornerCount());
    for (double d : uv->data) {
      EXPECT_GE(d, 0.0);
      EXPECT_LE(d, 2.0);
    }
    EXPECT_EQ(gg.texture_mode, kVTextureByPolygon);
    EXPECT_EQ(gg.texture_ids, std::vector<std::int32_t>(gg.PolygonCount(), 0));
    const auto& p = gg.points;
    const auto a = p[gg.PolygonPoint(0, 0)], b = p[gg.PolygonPoint(0, 1)], c = p[gg.PolygonPoint(0, 2)];
    const double normal_y = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
    EXPECT_GT(normal_y, 0.0);
  }
}

TEST(ShadingDocumentTest, SampleTextureImageIsWrittenBesideTheScene) {
  VScene scene;
  zyn_tool::BuildDemoScene(scene);
  testing_support::TempDir dir;
  ASSERT_TRUE(zyn_tool::WriteDemoTextures(scene, dir.File("walk.zyn")));
  auto* checker = dynamic_cast<VTexture*>(scene.Find("Texture::Checker"));
  ASSERT_NE(checker, nullptr);
  EXPECT_EQ(checker->GetFileName(), dir.File("walk_checker.tga"));
  EXPECT_EQ(checker->GetRelativeFileName(), "walk_checker.tga");
  EXPECT_EQ(checker->GetImageCandidates(dir.File("walk.zyn")),
            (std::vector<std::string>{dir.File("walk_checker.tga")}));
  const std::vector<std::uint8_t> want = zyn_tool::DemoCheckerImage();
  const std::string got = testing_support::ReadFileBytes(dir.File("walk_checker.tga"));
  ASSERT_EQ(got.size(), want.size());
  EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin(),
                         [](std::uint8_t w, char g) { return w == static_cast<std::uint8_t>(g); }));
  // The squares alternate: the first pixel of the first two squares differ.
  EXPECT_NE(want[18], want[18 + 8 * 3]);
  // A folder that does not exist: the image cannot be written, the names stay.
  EXPECT_FALSE(zyn_tool::WriteDemoTextures(scene, dir.File("missing/walk.zyn")));
  EXPECT_EQ(checker->GetRelativeFileName(), "walk_checker.tga");
}

}  // namespace
