// The public mesh facade: a cube built vertex by vertex and polygon by
// polygon, kept by a scene document; a skin cluster built through its
// handle; and empty or out-of-range handles that answer neutral values.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/property.h"
#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "sdk/yr_cluster.h"
#include "sdk/yr_fast_tessellator.h"
#include "sdk/yr_mesh.h"
#include "sdk/yr_surface.h"
#include "support/scene_memory.h"

namespace {

using namespace YrSDK;

// Corners of a unit cube: bit 0 is x, bit 1 y, bit 2 z.
constexpr int kFaces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};

VModelPolymesh* AddCube(VScene& scene, const std::string& name) {
  auto* model = static_cast<VModelPolymesh*>(scene.Add(std::make_unique<VModelPolymesh>(name)));
  YrMesh mesh(YrComponent{model});
  EXPECT_TRUE(mesh.GeometryBegin());
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(mesh.VertexAdd(i & 1, (i >> 1) & 1, (i >> 2) & 1), i);
    mesh.VertexNormalSet(i, {float(i & 1) * 2 - 1, float((i >> 1) & 1) * 2 - 1, float((i >> 2) & 1) * 2 - 1});
    mesh.VertexUVSet(i, {float(i & 1), float((i >> 1) & 1)});
    mesh.VertexUVSet(i, {0.5f, float(i) / 8}, 1);
  }
  for (int f = 0; f < 6; ++f) {
    EXPECT_TRUE(mesh.PolygonBegin());
    for (int k : kFaces[f]) mesh.PolygonVertexAdd(k);
    mesh.PolygonMaterialIdSet(f % 2);
    mesh.PolygonTextureIdSet(f);
    mesh.PolygonSurfaceIdSet(f / 3);
    EXPECT_TRUE(mesh.PolygonEnd());
  }
  std::size_t dropped = 99;
  EXPECT_TRUE(mesh.GeometryEnd(&dropped));
  EXPECT_EQ(dropped, 0u);
  return model;
}

void ExpectCube(VModelPolymesh* model) {
  ASSERT_NE(model, nullptr);
  YrMesh mesh(model);
  EXPECT_EQ(mesh.VertexCount(), 8);
  ASSERT_EQ(mesh.PolygonCount(), 6);
  EXPECT_EQ(mesh.VertexGet(6), (YrVector4<float>{0, 1, 1, 1}));
  EXPECT_EQ(mesh.VertexNormalGet(1), (YrVector3<float>{1, -1, -1}));
  EXPECT_EQ(mesh.VertexUVGet(3), (YrVector2<float>{1, 1}));
  EXPECT_EQ(mesh.VertexUVGet(4, 1), (YrVector2<float>{0.5f, 0.5f}));
  for (int f = 0; f < 6; ++f) {
    EXPECT_EQ(mesh.PolygonVertexCount(f), 4);
    EXPECT_EQ(mesh.PolygonVertexIndex(f, 3), kFaces[f][3]);
    EXPECT_EQ(mesh.PolygonMaterialIdGet(f), f % 2);
    EXPECT_EQ(mesh.PolygonTextureIdGet(f), f);
    EXPECT_EQ(mesh.PolygonSurfaceIdGet(f), f / 3);
  }
  EXPECT_EQ(mesh.GetMaterialMappingMode(), kVMappingByPolygonIndexed);
  EXPECT_EQ(mesh.GetTextureMappingMode(), kVMappingByPolygonIndexed);
  EXPECT_EQ(mesh.GetUVMappingMode(), kVMappingByVerticeDirect);
}

TEST(YrMeshTest, CubeBuiltThroughTheFacadeSurvivesADocument) {
  VScene scene;
  VModelPolymesh* cube = AddCube(scene, "Cube");
  ExpectCube(cube);
  // Both UV sets sit on layers of their own number.
  const VGeometry& g = cube->GetGeometry();
  EXPECT_EQ(g.materials, (std::vector<std::int32_t>{1, 2, 1, 2, 1, 2}));  // stored counting from 1
  ASSERT_EQ(g.layers.size(), 2u);
  EXPECT_EQ(g.layers[1].index, 1);
  EXPECT_EQ(g.layers[1].entries[0].type, "LayerElementUV");

  YrSurface surface(YrMesh{cube});
  EXPECT_EQ(surface.ControlPointCount(), 8);
  ASSERT_EQ(surface.TriangleCount(), 12);
  int strip_corners = 0;
  for (int s = 0; s < surface.StripCount(); ++s) strip_corners += surface.StripLength(s) - 2;
  EXPECT_EQ(strip_corners, 12);
  for (int t = 0; t < surface.TriangleCount(); ++t) {
    for (int k = 0; k < 3; ++k) EXPECT_LT(surface.TriangleVertexIndex(t, k), 8);
  }

  for (bool binary : {false, true}) {
    VScene loaded;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(testing_support::WriteSceneToMemory(scene, binary), loaded,
                                                     &message))
        << message;
    auto* copy = dynamic_cast<VModelPolymesh*>(loaded.Find("Model::Cube"));
    ExpectCube(copy);
    if (copy) {
      EXPECT_EQ(copy->GetGeometry(), cube->GetGeometry());
    }
  }
}

TEST(YrMeshTest, EditsStayOnTheWorkingCopyUntilTheEnd) {
  VScene scene;
  VModelPolymesh* cube = AddCube(scene, "Cube");
  YrMesh mesh(cube);
  EXPECT_FALSE(mesh.VertexSet(0, {5, 5, 5, 1}));  // not editing
  ASSERT_TRUE(mesh.GeometryBegin());
  EXPECT_FALSE(mesh.GeometryBegin());
  YrMesh copy = mesh;  // copies share the edit
  EXPECT_TRUE(copy.IsEditing());
  EXPECT_TRUE(copy.VertexSet(0, {5, 5, 5, 0}));
  EXPECT_EQ(mesh.VertexGet(0), (YrVector4<float>{5, 5, 5, 1}));
  EXPECT_EQ(cube->GetGeometry().points[0], (YrVector4<float>{0, 0, 0, 1}));
  // Per-vertex materials replace the per-polygon ones.
  EXPECT_TRUE(mesh.VertexMaterialIdSet(7, 3));
  EXPECT_EQ(mesh.VertexMaterialIdGet(7), 3);
  EXPECT_EQ(mesh.VertexMaterialIdGet(6), 0);
  EXPECT_EQ(mesh.GetMaterialMappingMode(), kVMappingByVerticeIndexed);
  // A polygon of two corners and one past the points are dropped.
  mesh.PolygonBegin();
  mesh.PolygonVertexAdd(0);
  mesh.PolygonVertexAdd(1);
  EXPECT_FALSE(mesh.PolygonEnd());
  mesh.PolygonBegin();
  for (int k : {0, 1, 42}) mesh.PolygonVertexAdd(k);
  EXPECT_TRUE(mesh.PolygonEnd());
  EXPECT_EQ(mesh.PolygonCount(), 7);
  EXPECT_EQ(mesh.PolygonTextureIdGet(6), 0);
  EXPECT_TRUE(mesh.PolygonTextureIdSet(6, 9));
  std::size_t dropped = 0;
  ASSERT_TRUE(copy.GeometryEnd(&dropped));
  EXPECT_FALSE(mesh.IsEditing());
  EXPECT_EQ(dropped, 1u);
  EXPECT_EQ(mesh.PolygonCount(), 6);
  EXPECT_EQ(cube->GetGeometry().points[0], (YrVector4<float>{5, 5, 5, 1}));
  EXPECT_EQ(mesh.VertexMaterialIdGet(7), 3);
  EXPECT_EQ(mesh.PolygonMaterialIdGet(0), -1);  // materials are by point now

  // Clearing the points drops every polygon and the per-point data.
  ASSERT_TRUE(mesh.GeometryBegin());
  EXPECT_TRUE(mesh.VertexClear());
  EXPECT_FALSE(mesh.VertexUVSet(0, {1, 1}));
  ASSERT_TRUE(mesh.GeometryEnd(&dropped));
  EXPECT_EQ(dropped, 6u);
  EXPECT_EQ(mesh.VertexCount(), 0);
  EXPECT_EQ(YrFastTessellator(mesh).GetUVArray().size(), 0u);
}

TEST(YrMeshTest, AUVSetMappedOtherwiseIsLeftAlone) {
  auto model = std::make_unique<VModelPolymesh>("Tri");
  VGeometry g;
  for (int i = 0; i < 3; ++i) g.points.push_back({float(i), 0, 0, 1});
  const std::uint32_t tri[] = {0, 1, 2};
  VGeometryAddPolygon(g, tri, 3);
  VLayerElement uv;
  uv.kind = kVLayerUV;
  uv.mapping = kVMappingByPolygonVertexDirect;
  uv.data = {0, 0, 1, 0, 1, 1};
  g.elements.push_back(uv);
  model->SetGeometry(g);
  YrGeometry geometry(model.get());
  EXPECT_EQ(geometry.GetUVMappingMode(), kVMappingByPolygonVertexDirect);
  EXPECT_EQ(geometry.VertexUVGet(1), (YrVector2<float>{}));  // not per point
  ASSERT_TRUE(geometry.GeometryBegin());
  EXPECT_FALSE(geometry.VertexUVSet(1, {2, 2}));
  EXPECT_TRUE(geometry.GeometryEnd());
  ASSERT_EQ(model->GetGeometry().elements.size(), 1u);
  EXPECT_EQ(model->GetGeometry().elements[0].data, uv.data);
  EXPECT_TRUE(YrFastTessellator(geometry).GetUVArray().empty());
  EXPECT_EQ(geometry.GetMaterialMappingMode(), kVMappingNone);
  EXPECT_EQ(geometry.GetTextureMappingMode(), kVMappingAllSameDirect);
}

TEST(YrMeshTest, ClusterBuiltThroughTheFacadeMovesItsPoints) {
  VScene scene;
  VModelPolymesh* cube = AddCube(scene, "Cube");
  cube->TranslationProperty()->Set(VDouble3{10, 0, 0});
  auto* bone = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Bone", "Limb")));
  bone->TranslationProperty()->Set(VDouble3{10, 0, 0});
  YrMesh mesh(cube);
  YrCluster cluster = YrCluster::Create(scene, mesh, "Top");
  ASSERT_TRUE(cluster.IsValid());
  EXPECT_FALSE(YrCluster::Create(scene, mesh, "Top").IsValid());  // the name is taken
  ASSERT_NE(cube->GetSkin(), nullptr);
  EXPECT_EQ(cube->GetSkin()->GetClusterCount(), 1);
  EXPECT_TRUE(cluster.LinkSetModel(YrModel(bone)));
  EXPECT_TRUE(cluster.LinkGetModel() == YrModel(bone));
  EXPECT_FALSE(cluster.LinkGetAssociateModel().IsValid());
  EXPECT_TRUE(cluster.LinkSetName("Upper"));
  EXPECT_EQ(cluster.LinkGetName(), "Upper");

  // The top face follows the bone, the rest stays; weights count once the
  // edit ends.
  for (int i : {2, 3, 6, 7}) EXPECT_TRUE(cluster.LinkSetCurrentVertex(i, 0.5));
  for (int i : {2, 3, 6, 7}) cluster.LinkSetCurrentVertex(i, 1.0);  // replaces
  cluster.LinkSetCurrentVertex(5, 0.0);
  EXPECT_EQ(cluster.LinkGetVertexCount(), 5);
  EXPECT_TRUE(cube->GetSkin()->GetCluster(0)->GetIndexes().empty());
  EXPECT_TRUE(cluster.LinkClearUnused());
  EXPECT_TRUE(cluster.ClusterEnd());
  EXPECT_FALSE(cluster.ClusterEnd());
  EXPECT_EQ(cluster.LinkGetVertexCount(), 4);
  EXPECT_EQ(cluster.LinkGetVertexIndex(3), 7);
  EXPECT_EQ(cluster.LinkGetVertexWeight(3), 1.0);

  YrFastTessellator tessellator(mesh);
  EXPECT_EQ(tessellator.GetPositionArray()[7], (YrVector4<float>{1, 1, 1, 1}));  // bind pose
  bone->TranslationProperty()->Set(VDouble3{10, 2, 0});
  const std::vector<YrVector4<float>>& moved = tessellator.GetPositionArray();
  EXPECT_NEAR(moved[7].y, 3.0f, 1e-5);
  EXPECT_NEAR(moved[2].y, 3.0f, 1e-5);
  EXPECT_NEAR(moved[1].y, 0.0f, 1e-5);
  EXPECT_EQ(tessellator.GetTransformationMatrix()[12], 10.0);
  ASSERT_EQ(tessellator.GetNormalArray().size(), 8u);
  EXPECT_EQ(tessellator.GetUVArray(1)[4], (YrVector2<float>{0.5f, 0.5f}));
  tessellator.SetFastTessellatorStrip(false);
  tessellator.SetFastTessellatorPolygon(true);
  EXPECT_FALSE(tessellator.GetFastTessellatorStrip());
  EXPECT_TRUE(tessellator.GetFastTessellatorPolygon());

  // The skin keeps the cluster through a document.
  VScene loaded;
  std::string message;
  ASSERT_TRUE(testing_support::ReadSceneFromMemory(testing_support::WriteSceneToMemory(scene, true), loaded, &message))
      << message;
  auto* copy = dynamic_cast<VModelPolymesh*>(loaded.Find("Model::Cube"));
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->GetSkin(), nullptr);
  YrCluster loaded_cluster(YrComponent{copy->GetSkin()->GetCluster(0)});
  EXPECT_EQ(loaded_cluster.LinkGetName(), "Upper");
  EXPECT_EQ(loaded_cluster.LinkGetModel().GetName(), "Bone");
  EXPECT_NEAR(YrFastTessellator(YrMesh(copy)).GetPositionArray()[6].y, 3.0f, 1e-5);

  // Without its link the cluster moves nothing.
  EXPECT_TRUE(cluster.LinkRemove());
  EXPECT_FALSE(cluster.LinkGetModel().IsValid());
  EXPECT_EQ(cluster.LinkGetVertexCount(), 0);
  EXPECT_NEAR(tessellator.GetPositionArray()[7].y, 1.0f, 1e-5);
}

TEST(YrMeshTest, EmptyAndOutOfRangeHandlesAreHarmless) {
  VObject plain("Material", "M");
  YrMesh none, not_a_mesh(YrComponent{&plain});
  for (YrMesh* m : {&none, &not_a_mesh}) {
    EXPECT_FALSE(m->IsValid());
    EXPECT_FALSE(m->GeometryBegin());
    EXPECT_FALSE(m->GeometryEnd());
    EXPECT_EQ(m->VertexAdd(1, 2, 3), -1);
    EXPECT_FALSE(m->VertexInit(4));
    EXPECT_EQ(m->VertexCount(), 0);
    EXPECT_EQ(m->VertexGet(0), (YrVector4<float>{}));
    EXPECT_EQ(m->VertexMaterialIdGet(0), -1);
    EXPECT_FALSE(m->PolygonBegin());
    EXPECT_FALSE(m->PolygonEnd());
    EXPECT_EQ(m->PolygonCount(), 0);
    EXPECT_EQ(m->PolygonTextureIdGet(0), -1);
    EXPECT_EQ(m->GetUVMappingMode(), kVMappingNone);
    YrFastTessellator t(*m);
    EXPECT_TRUE(t.GetPositionArray().empty());
    EXPECT_TRUE(t.GetNormalArray().empty());
    EXPECT_EQ(t.GetTransformationMatrix(), YrMatrix{});
    YrSurface s(*m);
    EXPECT_EQ(s.TriangleCount(), 0);
    EXPECT_EQ(s.TriangleVertexIndex(0, 0), -1);
  }
  VScene scene;
  EXPECT_FALSE(YrCluster::Create(scene, none, "C").IsValid());
  YrCluster cluster, not_a_cluster(YrComponent{&plain});
  for (YrCluster* c : {&cluster, &not_a_cluster}) {
    EXPECT_FALSE(c->LinkSetModel(YrModel()));
    EXPECT_FALSE(c->LinkGetModel().IsValid());
    EXPECT_FALSE(c->LinkSetCurrentVertex(0, 1.0));
    EXPECT_FALSE(c->ClusterEnd());
    EXPECT_FALSE(c->LinkRemove());
    EXPECT_EQ(c->LinkGetVertexIndex(0), -1);
    EXPECT_EQ(c->LinkGetVertexWeight(0), 0.0);
  }

  // Indices outside a real mesh.
  VModelPolymesh* cube = AddCube(scene, "Cube");
  YrMesh mesh(cube);
  YrSurface surface(mesh);
  EXPECT_EQ(mesh.VertexGet(-1), (YrVector4<float>{}));
  EXPECT_EQ(mesh.VertexNormalGet(8), (YrVector3<float>{}));
  EXPECT_EQ(mesh.VertexUVGet(2, 5), (YrVector2<float>{}));
  EXPECT_EQ(mesh.PolygonVertexIndex(6, 0), -1);
  EXPECT_EQ(mesh.PolygonVertexIndex(0, 4), -1);
  EXPECT_EQ(mesh.PolygonMaterialIdGet(-1), -1);
  EXPECT_EQ(surface.ControlPointGet(8), (YrVector4<float>{}));
  EXPECT_EQ(surface.StripVertexIndex(0, 1 << 20), -1);
  EXPECT_EQ(surface.StripLength(-1), 0);
  ASSERT_TRUE(mesh.GeometryBegin());
  EXPECT_FALSE(mesh.VertexSet(8, {}));
  EXPECT_FALSE(mesh.VertexInit(-1));
  EXPECT_FALSE(mesh.PolygonMaterialIdSet(6, 1));
  EXPECT_FALSE(mesh.PolygonVertexAdd(0));  // no polygon open
  EXPECT_FALSE(mesh.PolygonSurfaceIdSet(2));
  EXPECT_TRUE(mesh.GeometryEnd());
  YrCluster real = YrCluster::Create(scene, mesh, "C");
  EXPECT_FALSE(real.LinkSetCurrentVertex(-1, 1.0));
  EXPECT_EQ(real.LinkGetVertexIndex(0), -1);
}

}  // namespace
