#include "tools/zyn/demo_meshes.h"

#include <cmath>
#include <memory>
#include <string>

#include "animation/take.h"
#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "tools/zyn/demo_shading.h"
#include "tools/zyn/demo_support.h"

namespace zyn_tool {
namespace {

using YrSDK::YrVector4;

constexpr int kRings = 8;
constexpr int kSides = 12;
constexpr double kTubeLength = 4.5;
constexpr double kTubeRadius = 0.5;
constexpr int kBones = 3;
constexpr double kBoneSpacing = kTubeLength / kBones;  // bones at heights 0, 1.5 and 3 (exact in the curves' floats)
const VDouble3 kTubePlace{6, 0, 0};

// A cylinder along +Y: rings of points joined by quads, open at both ends.
VGeometry Tube() {
  VGeometry g;
  for (int r = 0; r < kRings; ++r) {
    const double y = kTubeLength * r / (kRings - 1);
    for (int s = 0; s < kSides; ++s) {
      const double a = 2 * 3.14159265358979 * s / kSides;
      g.points.push_back({float(kTubeRadius * std::cos(a)), float(y), float(kTubeRadius * std::sin(a)), 1.0f});
      g.normals.push_back({float(std::cos(a)), 0.0f, float(std::sin(a))});
    }
  }
  for (std::uint32_t r = 0; r + 1 < kRings; ++r) {
    for (std::uint32_t s = 0; s < kSides; ++s) {
      const std::uint32_t a = r * kSides + s, b = r * kSides + (s + 1) % kSides;
      const std::uint32_t quad[] = {a, b, b + kSides, a + kSides};
      VGeometryAddPolygon(g, quad, 4);
    }
  }
  g.material_assignation = kVMaterialAllSame;
  g.materials = {0};
  return g;
}

// A weight that falls off linearly from a bone's height to its neighbours';
// the last bone keeps the tube's end.
double BoneWeight(int bone, double y) {
  const double distance = std::fabs(y - bone * kBoneSpacing) / kBoneSpacing;
  if (bone == kBones - 1 && y > bone * kBoneSpacing) return 1.0;
  return distance < 1.0 ? 1.0 - distance : 0.0;
}

// The tube's models; its skin comes later, after every model of the scene.
VModelPolymesh* AddTube(VScene& scene, VModel** bones) {
  auto* tube = AddNode(scene, std::make_unique<VModelPolymesh>("Tube"), nullptr);
  tube->TranslationProperty()->Set(kTubePlace);
  tube->SetGeometry(Tube());
  VModel* parent = nullptr;
  for (int b = 0; b < kBones; ++b) {
    const std::string name = "Tube Bone " + std::to_string(b + 1);
    bones[b] = AddModel(scene, name.c_str(), "Limb", parent);
    bones[b]->TranslationProperty()->Set(b == 0 ? kTubePlace : VDouble3{0, kBoneSpacing, 0});
    parent = bones[b];
  }
  return tube;
}

void SkinTube(VScene& scene, VModelPolymesh* tube, VModel** bones, VTake& first, VTake& second) {
  auto* skin = static_cast<VDeformerSkin*>(scene.Add(std::make_unique<VDeformerSkin>("Tube Skin")));
  tube->ConnectSrc(skin);
  for (int b = 0; b < kBones; ++b) {
    auto* cluster = static_cast<VDeformerCluster*>(scene.Add(std::make_unique<VDeformerCluster>("Tube Cluster " + std::to_string(b + 1))));
    skin->ConnectSrc(cluster);
    cluster->ConnectSrc(bones[b]);
    // Bound where the tube and the bone stand now.
    cluster->SetTransforms(tube->GetMatrix(kVSpaceGlobal), bones[b]->GetMatrix(kVSpaceGlobal));
    std::vector<std::int32_t> indexes;
    std::vector<double> weights;
    const auto& points = tube->GetGeometry().points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double w = BoneWeight(b, points[i].y);
      if (w <= 0) continue;
      indexes.push_back(static_cast<std::int32_t>(i));
      weights.push_back(w);
    }
    cluster->SetWeights(indexes, weights);
  }

  // First take: the upper bones bend the tube to one side and back.
  VFCurveNode *t, *r, *s;
  for (int b = 1; b < kBones; ++b) {
    VTake::ModelAnimation* a = first.AddModel(bones[b]->GetFullName());
    a->channels.push_back(TransformChannel(*bones[b], &t, &r, &s));
    VFCurve& rz = Axis(*r, 2);
    rz.KeyAdd(Frame(0), 0.0f);
    rz.KeyAdd(Frame(60), b == 1 ? 40.0f : 50.0f);
    rz.KeyAdd(Frame(120), 0.0f);
  }
  // Second take: the whole chain leans forward while the middle twists.
  VTake::ModelAnimation* a = second.AddModel(bones[0]->GetFullName());
  a->channels.push_back(TransformChannel(*bones[0], &t, &r, &s));
  VFCurve& rx = Axis(*r, 0);
  int k = rx.KeyAdd(Frame(0), 0.0f);
  rx.KeySetInterpolation(k, kFCurveInterpolationLinear);
  rx.KeyAdd(Frame(60), 30.0f);
  a = second.AddModel(bones[1]->GetFullName());
  a->channels.push_back(TransformChannel(*bones[1], &t, &r, &s));
  VFCurve& ry = Axis(*r, 1);
  ry.KeyAdd(Frame(0), 0.0f);
  ry.KeyAdd(Frame(60), 90.0f);
}

// A flat grid with two shapes whose weights are animated.
void AddShapedFlag(VScene& scene, VTake& first, VTake& second) {
  auto* flag = AddNode(scene, std::make_unique<VModelPolymesh>("Flag"), nullptr);
  flag->TranslationProperty()->Set(VDouble3{-6, 0, 0});
  constexpr int kColumns = 6, kRows = 4;
  VGeometry g;
  for (int y = 0; y <= kRows; ++y) {
    for (int x = 0; x <= kColumns; ++x) g.points.push_back({float(x) * 0.5f, float(y) * 0.5f, 0.0f, 1.0f});
  }
  for (std::uint32_t y = 0; y < kRows; ++y) {
    for (std::uint32_t x = 0; x < kColumns; ++x) {
      const std::uint32_t a = y * (kColumns + 1) + x;
      const std::uint32_t quad[] = {a, a + 1, a + kColumns + 2, a + kColumns + 1};
      VGeometryAddPolygon(g, quad, 4);
      // Rows of the flag's two materials (ids count from 1 per polygon).
      g.materials.push_back(1 + static_cast<std::int32_t>(y % 2));
    }
  }
  g.material_assignation = kVMaterialByPolygon;
  flag->SetGeometry(g);
  std::vector<YrVector4<float>> wave = flag->GetGeometry().points, lift = wave;
  for (auto& p : wave) p.z = 0.4f * std::sin(p.x * 2.0f);
  for (auto& p : lift) p.y += p.y * 0.5f;
  flag->AddShape("Wave", wave);
  flag->AddShape("Lift", lift);

  auto weight_channel = [](const char* shape, float peak, int peak_frame, int end_frame) {
    auto channel = std::make_unique<VFCurveNode>(shape);
    VFCurve* curve = channel->MakeCurve();
    curve->KeyAdd(Frame(0), 0.0f);
    curve->KeyAdd(Frame(peak_frame), peak);
    curve->KeyAdd(Frame(end_frame), 0.0f);
    return channel;
  };
  VTake::ModelAnimation* a = first.AddModel(flag->GetFullName());
  a->channels.push_back(weight_channel("Wave", 100.0f, 60, 120));
  a = second.AddModel(flag->GetFullName());
  a->channels.push_back(weight_channel("Wave", -50.0f, 20, 60));
  a->channels.push_back(weight_channel("Lift", 100.0f, 30, 60));
}

// The ground: a grid of quads facing up, with UVs that repeat the checker
// twice across it, and every polygon showing the model's first texture.
void AddGround(VScene& scene) {
  constexpr int kCells = 8;
  constexpr float kHalfSide = 10.0f;
  constexpr double kRepeats = 2.0;
  auto* ground = AddNode(scene, std::make_unique<VModelPolymesh>("Ground"), nullptr);
  VGeometry g;
  VLayerElement uv;
  uv.kind = kVLayerUV;
  uv.mapping = kVMappingByPolygonVertexIndexed;
  for (int z = 0; z <= kCells; ++z) {
    for (int x = 0; x <= kCells; ++x) {
      const float step = 2.0f * kHalfSide / kCells;
      g.points.push_back({-kHalfSide + step * float(x), 0.0f, -kHalfSide + step * float(z), 1.0f});
      g.normals.push_back({0.0f, 1.0f, 0.0f});
      uv.data.push_back(kRepeats * x / kCells);
      uv.data.push_back(kRepeats * z / kCells);
    }
  }
  for (std::uint32_t z = 0; z < kCells; ++z) {
    for (std::uint32_t x = 0; x < kCells; ++x) {
      // Counter-clockwise seen from above: +Z first, then +X.
      const std::uint32_t a = z * (kCells + 1) + x;
      const std::uint32_t quad[] = {a, a + kCells + 1, a + kCells + 2, a + 1};
      VGeometryAddPolygon(g, quad, 4);
      uv.ids.insert(uv.ids.end(), {std::int32_t(quad[0]), std::int32_t(quad[1]), std::int32_t(quad[2]),
                                   std::int32_t(quad[3])});
    }
  }
  g.material_assignation = kVMaterialAllSame;
  g.materials = {0};
  g.texture_mode = kVTextureByPolygon;
  g.texture_ids.assign(kCells * kCells, 0);
  VLayerElement texture;
  texture.kind = kVLayerTexture;
  texture.mapping = kVMappingAllSameIndexed;
  texture.ids = {0};
  g.elements = {uv, texture};
  VLayer layer;
  layer.entries = {{"LayerElementUV", 0}, {"LayerElementTexture", 0}};
  g.layers = {layer};
  ground->SetGeometry(g);
}

}  // namespace

void AddDemoMeshes(VScene& scene, VTake& first, VTake& second) {
  VModel* bones[kBones];
  VModelPolymesh* tube = AddTube(scene, bones);
  AddShapedFlag(scene, first, second);
  AddGround(scene);
  // Files list materials and textures after the models, deformers after
  // them and shaders last: the scene is built in that order.
  AddDemoMaterials(scene);
  SkinTube(scene, tube, bones, first, second);
  AddDemoShaders(scene);
}

}  // namespace zyn_tool
