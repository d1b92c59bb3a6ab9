// Skinning: the job against a plain reference, its validation, and a mesh
// deformed by shapes and a skin of clusters on moving links.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/matrix_functions.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/skinning_job.h"

using YrSDK::YrMatrix;
using YrSDK::YrVector4;
using Point = YrVector4<float>;

namespace {

YrMatrix Translation(double x, double y, double z) {
  YrMatrix m;
  YrSDK::YrTranslationToMatrix(m, YrVector4<double>(x, y, z, 1));
  return m;
}

YrMatrix Trs(double tx, double ty, double tz, double rx, double ry, double rz, double s) {
  YrMatrix m;
  YrSDK::YrTRSToMatrix(m, YrVector4<double>(tx, ty, tz, 1), YrSDK::YrVector3<double>(rx, ry, rz),
                       YrSDK::YrSVector(s, s, s));
  return m;
}

YrVector4<double> Apply(const YrMatrix& m, const Point& p) {
  YrVector4<double> out;
  YrSDK::YrVectorMatrixMult(out, m, YrVector4<double>(p.x, p.y, p.z, 1));
  return out;
}

void ExpectPoint(const Point& got, double x, double y, double z, double tolerance = 1e-4) {
  EXPECT_NEAR(got.x, x, tolerance);
  EXPECT_NEAR(got.y, y, tolerance);
  EXPECT_NEAR(got.z, z, tolerance);
}

TEST(SkinningJobTest, MatchesAReferenceAndLeavesUnlistedPointsAlone) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-3, 3);
  const std::size_t matrix_count = 6, point_count = 500;
  std::vector<YrMatrix> yr(matrix_count);
  std::vector<float> palette(matrix_count * kVSkinMatrixFloats);
  for (std::size_t m = 0; m < matrix_count; ++m) {
    yr[m] = Trs(value(random), value(random), value(random), 30 * value(random), 30 * value(random),
                30 * value(random), 1 + std::fabs(value(random)));
    VSkinMatrixFromYr(&palette[m * kVSkinMatrixFloats], yr[m]);
  }
  std::vector<Point> in(point_count);
  for (Point& p : in) p = {float(value(random)), float(value(random)), float(value(random)), 1.0f};
  // Groups of 1 to 4 influences over every third point; the others are in no group.
  std::vector<std::uint32_t> influence_start{0}, influence_matrix, point_start{0}, points;
  std::vector<float> influence_weight;
  for (std::uint32_t p = 0; p < point_count; p += 3) {
    const int influences = 1 + static_cast<int>(p % 4);
    for (int i = 0; i < influences; ++i) {
      influence_matrix.push_back(static_cast<std::uint32_t>((p + 2 * i) % matrix_count));
      influence_weight.push_back(influences == 1 ? 1.0f : float(0.1 + 0.2 * i));
    }
    influence_start.push_back(static_cast<std::uint32_t>(influence_matrix.size()));
    points.push_back(p);
    if (p + 1 < point_count && p % 2 == 0) points.push_back(p + 1);  // some groups have two points
    point_start.push_back(static_cast<std::uint32_t>(points.size()));
  }
  const Point garbage{1e30f, -1e30f, 7.0f, 9.0f};
  std::vector<Point> out(point_count, garbage);
  VSkinningJob job;
  job.matrices = VSpan<const float>(palette);
  job.influence_start = VSpan<const std::uint32_t>(influence_start);
  job.influence_matrix = VSpan<const std::uint32_t>(influence_matrix);
  job.influence_weight = VSpan<const float>(influence_weight);
  job.point_start = VSpan<const std::uint32_t>(point_start);
  job.points = VSpan<const std::uint32_t>(points);
  job.in = VSpan<const Point>(in);
  job.out = VSpan<Point>(out);
  ASSERT_TRUE(job.ValidateContents());
  ASSERT_TRUE(job.Run());
  std::vector<bool> listed(point_count, false);
  for (std::size_t g = 0; g + 1 < influence_start.size(); ++g) {
    for (std::uint32_t k = point_start[g]; k < point_start[g + 1]; ++k) {
      const std::uint32_t p = points[k];
      listed[p] = true;
      double x = 0, y = 0, z = 0;
      for (std::uint32_t i = influence_start[g]; i < influence_start[g + 1]; ++i) {
        YrVector4<double> moved = Apply(yr[influence_matrix[i]], in[p]);
        x += influence_weight[i] * moved.x;
        y += influence_weight[i] * moved.y;
        z += influence_weight[i] * moved.z;
      }
      ExpectPoint(out[p], x, y, z, 1e-3);
      EXPECT_EQ(out[p].w, 1.0f);
    }
  }
  for (std::size_t p = 0; p < point_count; ++p) {
    if (!listed[p]) {
      EXPECT_EQ(out[p], garbage) << p;
    }
  }
}

TEST(SkinningJobTest, ValidationRefusesInconsistentArrays) {
  std::vector<float> palette(kVSkinMatrixFloats);
  VSkinMatrixFromYr(palette.data(), YrMatrix());
  std::vector<std::uint32_t> starts{0, 1}, matrix{0}, point_starts{0, 1}, points{0};
  std::vector<float> weight{1.0f};
  std::vector<Point> in(1), out(1);
  auto make = [&] {
    VSkinningJob job;
    job.matrices = VSpan<const float>(palette);
    job.influence_start = VSpan<const std::uint32_t>(starts);
    job.influence_matrix = VSpan<const std::uint32_t>(matrix);
    job.influence_weight = VSpan<const float>(weight);
    job.point_start = VSpan<const std::uint32_t>(point_starts);
    job.points = VSpan<const std::uint32_t>(points);
    job.in = VSpan<const Point>(in);
    job.out = VSpan<Point>(out);
    return job;
  };
  EXPECT_TRUE(make().ValidateContents());
  VSkinningJob job = make();
  job.out = VSpan<Point>(out.data(), 0);
  EXPECT_FALSE(job.Validate());
  EXPECT_FALSE(job.Run());
  job = make();
  job.out = VSpan<Point>(const_cast<Point*>(in.data()), 1);  // in place
  EXPECT_FALSE(job.Validate());
  job = make();
  job.matrices = VSpan<const float>(palette.data(), 5);
  EXPECT_FALSE(job.Validate());
  job = make();
  job.influence_weight = VSpan<const float>(nullptr, 0);
  EXPECT_FALSE(job.Validate());
  job = make();
  job.point_start = VSpan<const std::uint32_t>(point_starts.data(), 1);
  EXPECT_FALSE(job.Validate());
  // Contents: a matrix or a point out of range, offsets that run backwards.
  matrix[0] = 1;
  EXPECT_TRUE(make().Validate());
  EXPECT_FALSE(make().ValidateContents());
  matrix[0] = 0;
  points[0] = 1;
  EXPECT_FALSE(make().ValidateContents());
  points[0] = 0;
  point_starts = {1, 1};
  EXPECT_FALSE(make().ValidateContents());
}

// A group without influences blends no matrix: its points go to the origin
// (w kept), and nothing is read from the influence arrays for it. The arrays
// are exactly as long as they must be, so the sanitizer sees any overread.
TEST(SkinningJobTest, GroupsWithoutInfluencesReadNothingPastTheArrays) {
  std::vector<float> palette(kVSkinMatrixFloats);
  VSkinMatrixFromYr(palette.data(), Translation(1, 2, 3));
  const Point garbage{1e30f, -1e30f, 7.0f, 9.0f};
  struct Row {
    const char* what;
    std::vector<std::uint32_t> starts, matrix;
    std::vector<float> weight;
  };
  const Row rows[] = {
      {"last group empty", {0, 1, 1}, {0}, {1.0f}},
      {"first group empty", {0, 0, 1}, {0}, {1.0f}},
      {"every group empty", {0, 0, 0}, {}, {}},
  };
  for (const Row& r : rows) {
    const std::vector<std::uint32_t> point_starts{0, 1, 2}, points{0, 1};
    const std::vector<Point> in{{1, 1, 1, 1}, {2, 2, 2, 0.5f}};
    std::vector<Point> out(3, garbage);
    VSkinningJob job;
    job.matrices = VSpan<const float>(palette);
    job.influence_start = VSpan<const std::uint32_t>(r.starts);
    job.influence_matrix = VSpan<const std::uint32_t>(r.matrix);
    job.influence_weight = VSpan<const float>(r.weight);
    job.point_start = VSpan<const std::uint32_t>(point_starts);
    job.points = VSpan<const std::uint32_t>(points);
    job.in = VSpan<const Point>(in);
    job.out = VSpan<Point>(out.data(), in.size());
    ASSERT_TRUE(job.ValidateContents()) << r.what;
    ASSERT_TRUE(job.Run()) << r.what;
    for (std::size_t p = 0; p < in.size(); ++p) {
      const bool moved = r.starts[p] != r.starts[p + 1];
      if (moved) {
        ExpectPoint(out[p], in[p].x + 1, in[p].y + 2, in[p].z + 3);
      } else {
        ExpectPoint(out[p], 0, 0, 0);
      }
      EXPECT_EQ(out[p].w, in[p].w) << r.what << " " << p;
    }
    EXPECT_EQ(out[2], garbage) << r.what;
  }
}

// A mesh of points along X, two bones and a skin.
class MeshDeformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mesh_ = std::make_unique<VModelPolymesh>("Strip");
    VGeometry g;
    for (int i = 0; i < 4; ++i) g.points.push_back({float(i), 0.0f, 0.0f, 1.0f});
    const std::uint32_t quad[] = {0, 1, 2, 3};
    VGeometryAddPolygon(g, quad, 4);
    mesh_->SetGeometry(g);
    skin_ = std::make_unique<VDeformerSkin>("Skin");
    mesh_->ConnectSrc(skin_.get());
    for (int b = 0; b < 2; ++b) {
      bones_[b] = std::make_unique<VModel>("Bone" + std::to_string(b), "Limb");
      clusters_[b] = std::make_unique<VDeformerCluster>("Cluster" + std::to_string(b));
      clusters_[b]->ConnectSrc(bones_[b].get());
      skin_->ConnectSrc(clusters_[b].get());
      clusters_[b]->SetTransforms(YrMatrix(), YrMatrix());  // bones bound at the origin
    }
  }

  const std::vector<Point>& Points() { return mesh_->GetDeformedPoints(); }

  std::unique_ptr<VModelPolymesh> mesh_;
  std::unique_ptr<VDeformerSkin> skin_;
  std::unique_ptr<VModel> bones_[2];
  std::unique_ptr<VDeformerCluster> clusters_[2];
};

TEST_F(MeshDeformTest, NormalizeClustersBlendTheirLinksMotion) {
  clusters_[0]->SetWeights({0, 1, 2}, {1.0, 0.5, 0.2});
  clusters_[1]->SetWeights({1, 2}, {0.5, 0.2});
  ExpectPoint(Points()[1], 1, 0, 0);  // bind pose: nothing moves
  bones_[1]->TranslationProperty()->Set(VDouble3{0, 2, 0});
  ExpectPoint(Points()[0], 0, 0, 0);
  ExpectPoint(Points()[1], 1, 1, 0);
  ExpectPoint(Points()[2], 2, 1, 0);  // 0.2 / 0.2 normalise to a half each
  ExpectPoint(Points()[3], 3, 0, 0);  // in no cluster
  // A rotation of the first bone by 90 degrees about Z turns point 0 around the origin.
  bones_[0]->RotationProperty()->Set(VDouble3{0, 0, 90});
  clusters_[0]->SetWeights({3}, {1.0});
  ExpectPoint(Points()[3], 0, 3, 0);
  // The mesh's own placement does not move its points twice.
  mesh_->TranslationProperty()->Set(VDouble3{5, 0, 0});
  ExpectPoint(Points()[3], -5, 3, 0);
}

TEST_F(MeshDeformTest, AdditiveAndTotalOneClustersKeepTheRestInPlace) {
  clusters_[0]->SetMode(kVClusterAdditive);
  clusters_[0]->SetWeights({0}, {0.5});
  clusters_[1]->SetMode(kVClusterTotal100);
  clusters_[1]->SetWeights({1, 2}, {0.25, 1.0});
  bones_[0]->TranslationProperty()->Set(VDouble3{0, 4, 0});
  bones_[1]->TranslationProperty()->Set(VDouble3{0, 0, 8});
  ExpectPoint(Points()[0], 0, 2, 0);  // half way towards the cluster's motion
  ExpectPoint(Points()[1], 1, 0, 2);  // a quarter of the motion, the rest stays
  ExpectPoint(Points()[2], 2, 0, 8);
  // Additive after the others on one point: both motions.
  clusters_[0]->SetWeights({2}, {1.0});
  ExpectPoint(Points()[2], 2, 4, 8);
  // Accuracy quantises the total-1 weight: 0.25 at 10 % is 0.2.
  skin_->SetAccuracy(10);
  ExpectPoint(Points()[1], 1, 0, 1.6);
}

TEST_F(MeshDeformTest, BindMatricesThatCannotBeInvertedMoveNothing) {
  clusters_[0]->SetWeights({0, 1}, {1.0, 1.0});
  YrMatrix singular;
  for (double& v : singular.m) v = 0.0;
  clusters_[0]->SetTransforms(YrMatrix(), singular);
  EXPECT_FALSE(clusters_[0]->HasValidBind());
  bones_[0]->TranslationProperty()->Set(VDouble3{3, 3, 3});
  ExpectPoint(Points()[1], 1, 0, 0);
  // Values that are not finite make the identity, which inverts.
  YrMatrix bad;
  bad.m[5] = std::numeric_limits<double>::quiet_NaN();
  clusters_[0]->SetTransforms(bad, Translation(0, 0, 0));
  EXPECT_TRUE(clusters_[0]->HasValidBind());
  ExpectPoint(Points()[1], 4, 3, 3);
  // A cluster without a link leaves its points alone.
  clusters_[0]->DisconnectSrc(bones_[0].get());
  ExpectPoint(Points()[1], 1, 0, 0);
}

TEST_F(MeshDeformTest, ShapesApplyBeforeTheSkin) {
  std::vector<Point> raised = mesh_->GetGeometry().points;
  for (Point& p : raised) p.y += 10;
  const int shape = mesh_->AddShape("", raised);
  EXPECT_EQ(mesh_->GetShapeName(shape), "Shape 01");
  VProperty* weight = mesh_->GetShapeWeightProperty(shape);
  ASSERT_NE(weight, nullptr);
  EXPECT_TRUE(weight->IsAnimatable());
  weight->SetDouble(25);
  ExpectPoint(Points()[2], 2, 2.5, 0);
  clusters_[0]->SetWeights({2}, {1.0});
  bones_[0]->RotationProperty()->Set(VDouble3{0, 0, 90});
  ExpectPoint(Points()[2], -2.5, 2, 0);  // raised, then turned
  // Negative weights count only when the mesh allows them.
  weight->SetDouble(-50);
  ExpectPoint(Points()[3], 3, -5, 0);
  mesh_->mNegativePercentShapeSupport->Set(0);
  ExpectPoint(Points()[3], 3, 0, 0);
  weight->SetDouble(std::numeric_limits<double>::infinity());
  mesh_->mNegativePercentShapeSupport->Set(1);
  ExpectPoint(Points()[3], 3, 0, 0);  // a weight that is not finite counts as 0
  // Huge weights overflow into points that are not finite: they become 0.
  weight->SetDouble(1e300);
  for (const Point& p : Points()) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
}

}  // namespace
