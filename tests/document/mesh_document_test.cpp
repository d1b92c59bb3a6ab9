// Meshes, shapes and skins in scene documents: a round trip in both forms
// keeps the whole state, and damaged records load what is sound.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "support/scene_memory.h"
#include "support/zyn_memory.h"
#include "core/property.h"
#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/geometry_io.h"
#include "scene/matrix_functions.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "document/scene_reader.h"
#include "document/scene_writer.h"
#include "zynfile/zyn_file.h"

using YrSDK::YrMatrix;
using YrSDK::YrVector4;
using Point = YrVector4<float>;
using Bytes = std::vector<uint8_t>;

namespace {

YrMatrix Translation(double x, double y, double z) {
  YrMatrix m;
  YrSDK::YrTranslationToMatrix(m, YrVector4<double>(x, y, z, 1));
  return m;
}

// A 3 x 2 grid of quads with every kind of per-element data, a shape and a
// skin of two clusters on two bones.
void BuildScene(VScene& scene) {
  auto* mesh = static_cast<VModelPolymesh*>(scene.Add(std::make_unique<VModelPolymesh>("Grid")));
  VGeometry g;
  for (int y = 0; y <= 2; ++y) {
    for (int x = 0; x <= 3; ++x) g.points.push_back({float(x), float(y), 0.0f, 1.0f});
  }
  for (std::size_t i = 0; i < g.points.size(); ++i) g.normals.push_back({0.0f, 0.0f, i % 2 ? 1.0f : -1.0f});
  for (std::uint32_t y = 0; y < 2; ++y) {
    for (std::uint32_t x = 0; x < 3; ++x) {
      const std::uint32_t a = y * 4 + x;
      const std::uint32_t quad[] = {a, a + 1, a + 5, a + 4};
      VGeometryAddPolygon(g, quad, 4);
    }
  }
  const std::uint32_t triangle[] = {0, 5, 4};
  VGeometryAddPolygon(g, triangle, 3);
  g.material_assignation = kVMaterialByPolygon;
  g.materials = {1, 2, 1, 2, 1, 3, 1};
  g.texture_mode = kVTextureByPolygon;
  g.texture_ids = {0, 0, 1, 1, 2, 2, 0};
  g.polygon_groups = {0, 0, 0, 1, 1, 1, 2};
  g.u = {4, 0, 1, 2, 3};
  g.uv_info.present = true;
  g.uv_info.uv = {0, 0, 1, 0, 1, 1, 0, 1};
  g.uv_info.uv_index.assign(27, 2);
  g.layer_info.present = true;
  g.layer_info.layer_index = 1;
  g.layer_info.texture_ids = {0, 1};
  g.layer_info.uv_ids = {0};
  g.layer_info.alpha = 0.5;
  g.vertex_colors.present = true;
  g.vertex_colors.colors = {1, 0, 0, 1, 0, 1, 0, 1};
  g.vertex_colors.color_index = {0, 1, 1, 0};
  VLayerElement uv;
  uv.kind = kVLayerUV;
  uv.mapping = kVMappingByPolygonVertexIndexed;
  uv.data = {0, 0, 0.5, 0.25, 1, 1};
  for (int i = 0; i < 27; ++i) uv.ids.push_back(i % 3);
  VLayerElement normals;
  normals.kind = kVLayerNormal;
  normals.mapping = kVMappingByPolygonDirect;
  for (int i = 0; i < 7; ++i) normals.data.insert(normals.data.end(), {0, 0, 1});
  VLayerElement texture;
  texture.kind = kVLayerTexture;
  texture.mapping = kVMappingAllSameIndexed;
  texture.ids = {3};
  texture.blend_mode = 2;
  texture.alpha = 0.75;
  VLayerElement material;
  material.kind = kVLayerMaterial;
  material.mapping = kVMappingByPolygonIndexed;
  material.ids = {0, 1, 0, 1, 0, 1, 0};
  VLayerElement colors;
  colors.kind = kVLayerColor;
  colors.typed_index = 1;
  colors.mapping = kVMappingByVerticeDirect;
  colors.data.assign(12 * 4, 0.5);
  VLayerElement groups;
  groups.kind = kVLayerPolygonGroup;
  groups.mapping = kVMappingAllSameDirect;
  groups.ids = {7};
  g.elements = {normals, material, texture, uv, colors, groups};
  VLayer layer;
  layer.entries = {{"LayerElementUV", 0}, {"LayerElementColor", 1}};
  g.layers = {layer};
  mesh->SetGeometry(g);
  std::vector<Point> bulge = mesh->GetGeometry().points;
  for (Point& p : bulge) p.z = p.x * 0.5f;
  mesh->AddShape("Bulge", bulge);
  mesh->GetShapeWeightProperty(0)->SetDouble(30);
  mesh->mNegativePercentShapeSupport->Set(0);

  auto* skin = static_cast<VDeformerSkin*>(scene.Add(std::make_unique<VDeformerSkin>("Skin")));
  skin->SetAccuracy(50);
  mesh->ConnectSrc(skin);
  VModel* root = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Bone A", "Limb")));
  VModel* tip = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Bone B", "Limb")));
  tip->SetParent(root);
  tip->TranslationProperty()->Set(VDouble3{2, 0, 0});
  const char* names[] = {"Cluster A", "Cluster B"};
  VModel* bones[] = {root, tip};
  for (int c = 0; c < 2; ++c) {
    auto* cluster = static_cast<VDeformerCluster*>(scene.Add(std::make_unique<VDeformerCluster>(names[c])));
    skin->ConnectSrc(cluster);
    cluster->ConnectSrc(bones[c]);
    cluster->SetUserData("user", names[c]);
    cluster->SetTransforms(Translation(0, 0, 0), Translation(2.0 * c, 0, 0));
    std::vector<std::int32_t> indexes;
    std::vector<double> weights;
    for (int i = 0; i < 12; ++i) {
      indexes.push_back(i);
      const double x = i % 4;
      weights.push_back(c == 0 ? 1.0 - x / 4 : x / 4);
    }
    cluster->SetWeights(indexes, weights);
  }
  static_cast<VDeformerCluster*>(scene.Find("Deformer::Cluster B"))->SetMode(kVClusterTotal100);
  static_cast<VDeformerCluster*>(scene.Find("Deformer::Cluster A"))
      ->SetAssociateMatrices(Translation(1, 0, 0), Translation(0, 1, 0));
}

Bytes WriteScene(const VScene& scene, bool binary) { return testing_support::WriteSceneToMemory(scene, binary); }

bool ReadScene(const Bytes& bytes, VScene& scene) {
  std::string message;
  return testing_support::ReadSceneFromMemory(bytes, scene, &message);
}

void ExpectSameClusters(const VDeformerCluster& a, const VDeformerCluster& b) {
  EXPECT_EQ(a.GetMode(), b.GetMode());
  EXPECT_EQ(a.GetUserData(0), b.GetUserData(0));
  EXPECT_EQ(a.GetUserData(1), b.GetUserData(1));
  EXPECT_EQ(a.GetIndexes(), b.GetIndexes());
  EXPECT_EQ(a.GetWeights(), b.GetWeights());
  EXPECT_EQ(a.GetTransform(), b.GetTransform());
  EXPECT_EQ(a.GetTransformLink(), b.GetTransformLink());
  EXPECT_EQ(a.HasAssociateModel(), b.HasAssociateModel());
  EXPECT_EQ(a.GetAssociateTransform(), b.GetAssociateTransform());
  EXPECT_EQ(a.GetAssociateTransformParent(), b.GetAssociateTransformParent());
  ASSERT_TRUE(a.GetLink() && b.GetLink());
  EXPECT_EQ(a.GetLink()->GetFullName(), b.GetLink()->GetFullName());
}

TEST(MeshDocumentTest, RoundTripKeepsMeshShapesAndSkin) {
  VScene original;
  BuildScene(original);
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene read;
    ASSERT_TRUE(ReadScene(WriteScene(original, binary), read));
    auto* a = dynamic_cast<VModelPolymesh*>(original.Find("Model::Grid"));
    auto* b = dynamic_cast<VModelPolymesh*>(read.Find("Model::Grid"));
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->GetGeometry() == b->GetGeometry());
    EXPECT_EQ(b->GetGeometry().PolygonCount(), 7u);
    ASSERT_EQ(b->GetShapeCount(), 1);
    EXPECT_EQ(b->GetShapeWeight(0), 30.0);
    EXPECT_EQ(b->mNegativePercentShapeSupport->Get(), 0);
    VDeformerSkin* skin = b->GetSkin();
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetAccuracy(), 50);
    ASSERT_EQ(skin->GetClusterCount(), 2);
    for (int c = 0; c < 2; ++c) ExpectSameClusters(*a->GetSkin()->GetCluster(c), *skin->GetCluster(c));
    // The same motion deforms both the same.
    for (VScene* scene : {&original, &read}) {
      static_cast<VModel*>(scene->Find("Model::Bone A"))->RotationProperty()->Set(VDouble3{0, 0, 30});
      static_cast<VModel*>(scene->Find("Model::Bone B"))->RotationProperty()->Set(VDouble3{0, 0, 45});
    }
    const std::vector<Point>& want = a->GetDeformedPoints();
    const std::vector<Point>& got = b->GetDeformedPoints();
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], want[i]) << i;
    EXPECT_NE(want[3], a->GetGeometry().points[3]);  // the motion did move points
  }
}

using Body = std::function<void(VZynFile&)>;

// Reads a mesh from a block written by `body`, after an optional property block.
void ReadMesh(bool binary, const Body& body, VModelPolymesh& mesh) {
  Bytes bytes = testing_support::WriteZynToMemory(binary, [&](VZynFile& f) {
    f.FieldWriteBlockBegin("Mesh");
    body(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  VZynFile g;
  ASSERT_TRUE(g.OpenFromMemory(bytes.data(), bytes.size()));
  ASSERT_TRUE(g.FieldReadBegin("Mesh"));
  ASSERT_TRUE(g.FieldReadBlockBegin());
  EXPECT_TRUE(mesh.Retrieve(g, kVZynModeProperties | kVZynModeRetrieving));
}

void Ints(VZynFile& f, const char* name, const std::vector<std::int32_t>& values) {
  f.FieldWriteBegin(name);
  for (std::int32_t v : values) f.FieldWriteI(v);
  f.FieldWriteEnd();
}

void Doubles(VZynFile& f, const char* name, const std::vector<double>& values) {
  f.FieldWriteBegin(name);
  f.FieldWriteDn(values.data(), values.size());
  f.FieldWriteEnd();
}

TEST(MeshDocumentTest, DamagedGeometryLoadsWhatIsSound) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VModelPolymesh mesh("Bad");
    ReadMesh(binary, [&](VZynFile& f) {
      f.FieldWriteI("GeometryVersion", 123);
      // Four points and a half; a NaN and a value beyond the float range.
      Doubles(f, "Vertices", {0, 0, 0, 1, 0, 0, 1, nan, 0, 0, 1, 1e300, 5});
      f.FieldWriteC("MaterialAssignation", std::string("ByPolygon"));
      Ints(f, "Materials", {10, 11, 12, 13, 14, 2147483647});
      // Polygons: sound; a corner out of range; two corners; sound; a corner
      // at the far end of the index range; two corners without an end mark.
      Ints(f, "PolygonVertexIndex", {0, 1, -3, 0, 7, -3, 1, -3, 0, 1, 2, -4, 0, 1, -2147483647 - 1, 2, 3});
      f.FieldWriteBegin("LayerElementUV");
      f.FieldWriteI(0);
      f.FieldWriteBlockBegin();
      f.FieldWriteC("MappingInformationType", std::string("ByPolygonVertex"));
      f.FieldWriteC("ReferenceInformationType", std::string("IndexToDirect"));
      Doubles(f, "UV", {0.25, 0.75, nan, 1});
      Ints(f, "UVIndex", {0, 1, 1, 9, 9, 9, 9, 9, 1, 1, 0, 0, 9, 9, 9, 9, 9});
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
      // Pairs that mean nothing skip their elements.
      for (const char* element : {"LayerElementNormal", "LayerElementMaterial"}) {
        f.FieldWriteBegin(element);
        f.FieldWriteI(0);
        f.FieldWriteBlockBegin();
        f.FieldWriteC("MappingInformationType", std::string(element[12] == 'N' ? "ByEdge" : "ByPolygon"));
        f.FieldWriteC("ReferenceInformationType", std::string("Direct"));
        f.FieldWriteBlockEnd();
        f.FieldWriteEnd();
      }
      Doubles(f, "Normals", {0, 0, 1, nan});
    }, mesh);
    const VGeometry& g = mesh.GetGeometry();
    ASSERT_EQ(g.points.size(), 4u);
    EXPECT_EQ(g.points[2], (Point{1, 0, 0, 1}));
    EXPECT_EQ(g.points[3], (Point{0, 1, 0, 1}));  // beyond the float range: 0
    ASSERT_EQ(g.PolygonCount(), 2u);
    EXPECT_EQ(g.polygon_vertex_index, (std::vector<std::uint32_t>{0, 1, 2 | kVPolygonEnd, 0, 1, 2, 3 | kVPolygonEnd}));
    EXPECT_EQ(g.materials, (std::vector<std::int32_t>{11, 14}));  // those of the sound polygons, plus one
    ASSERT_EQ(g.elements.size(), 1u);
    EXPECT_EQ(g.elements[0].ids, (std::vector<std::int32_t>{0, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(g.elements[0].data, (std::vector<double>{0.25, 0.75, 0, 1}));
    EXPECT_EQ(g.normals.size(), 4u);
    EXPECT_EQ(g.normals[1].x, 0.0f);  // NaN, then missing values
    EXPECT_EQ(mesh.GetDeformedPoints().size(), 4u);
    EXPECT_EQ(mesh.GetTriangulation().triangles.size(), 9u);
  }
}

TEST(MeshDocumentTest, ShapeWeightsFromThePropertyBlockBindByName) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VModelPolymesh mesh("Face");
    ReadMesh(binary, [&](VZynFile& f) {
      f.FieldWriteBlockBegin("Properties60");
      f.FieldWriteBegin("Property");
      for (const char* v : {"Smile", "Number", "A+"}) f.FieldWriteC(std::string(v));
      f.FieldWriteD(40);
      f.FieldWriteEnd();
      f.FieldWriteBegin("Property");
      for (const char* v : {"Lcl Translation", "Lcl Translation", "A"}) f.FieldWriteC(std::string(v));
      for (int i = 0; i < 3; ++i) f.FieldWriteD(0);
      f.FieldWriteEnd();
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
      f.FieldWriteI("GeometryVersion", 123);
      Doubles(f, "Vertices", {0, 0, 0, 1, 0, 0, 0, 1, 0});
      Ints(f, "PolygonVertexIndex", {0, 1, -3});
      for (const char* name : {"Smile", "", "Lcl Translation"}) {
        f.FieldWriteBegin("Shape");
        f.FieldWriteC(std::string(name));
        f.FieldWriteBlockBegin();
        Doubles(f, "Vertices", {0, 0, 10, 1, 0, 10});  // a point short: the third stays
        f.FieldWriteBlockEnd();
        f.FieldWriteEnd();
      }
    }, mesh);
    ASSERT_EQ(mesh.GetShapeCount(), 3);
    EXPECT_EQ(mesh.GetShapeName(0), "Smile");
    EXPECT_EQ(mesh.GetShapeName(1), "Shape 02");
    EXPECT_DOUBLE_EQ(mesh.GetShapeWeight(0), 40.0);
    EXPECT_DOUBLE_EQ(mesh.GetShapeWeight(1), 0.0);
    // A shape named like a property of another kind has no weight.
    EXPECT_EQ(mesh.GetShapeWeightProperty(2), nullptr);
    const std::vector<Point>& p = mesh.GetDeformedPoints();
    EXPECT_FLOAT_EQ(p[0].z, 4.0f);
    EXPECT_FLOAT_EQ(p[1].z, 4.0f);
    EXPECT_FLOAT_EQ(p[2].z, 0.0f);
    ASSERT_NE(mesh.FindProperty("Shape 02"), nullptr);
    mesh.FindProperty("Shape 02")->SetDouble(100);
    EXPECT_FLOAT_EQ(mesh.GetDeformedPoints()[0].z, 14.0f);
  }
}

TEST(MeshDocumentTest, DamagedClusterRecordsGiveDefinedResults) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    Bytes bytes = testing_support::WriteZynToMemory(binary, [&](VZynFile& f) {
      f.FieldWriteBlockBegin("Cluster");
      f.FieldWriteI("Version", 100);
      f.FieldWriteC("Mode", std::string("Sideways"));
      Ints(f, "Indexes", {0, 1, -4, 1000000, 2});
      Doubles(f, "Weights", {1, std::numeric_limits<double>::infinity(), 1});  // shorter
      Doubles(f, "Transform", {1, 0, 0, 0, 0});                                   // short
      Doubles(f, "TransformLink", std::vector<double>(16, 0.0));                  // singular
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
    });
    VZynFile g;
    ASSERT_TRUE(g.OpenFromMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(g.FieldReadBegin("Cluster") && g.FieldReadBlockBegin());
    VDeformerCluster cluster("Damaged");
    ASSERT_TRUE(cluster.Retrieve(g, kVZynModeProperties | kVZynModeRetrieving));
    EXPECT_EQ(cluster.GetMode(), kVClusterNormalize);
    EXPECT_EQ(cluster.GetIndexes().size(), 3u);
    EXPECT_FALSE(cluster.HasValidBind());
    // On a mesh of two points: no crash, nothing moves.
    VModelPolymesh mesh("Target");
    VGeometry geometry;
    geometry.points = {{1, 2, 3, 1}, {4, 5, 6, 1}};
    mesh.SetGeometry(geometry);
    VDeformerSkin skin("Skin");
    VModel bone("Bone", "Limb");
    mesh.ConnectSrc(&skin);
    skin.ConnectSrc(&cluster);
    cluster.ConnectSrc(&bone);
    bone.TranslationProperty()->Set(VDouble3{9, 9, 9});
    EXPECT_EQ(mesh.GetDeformedPoints(), geometry.points);
    mesh.DisconnectSrc(&skin);
    skin.DisconnectSrc(&cluster);
    cluster.DisconnectSrc(&bone);
  }
}

}  // namespace
