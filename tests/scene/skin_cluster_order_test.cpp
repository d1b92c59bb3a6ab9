// A skin's clusters follow the order of its sources, also when the sources
// are reordered rather than connected or disconnected.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"

namespace {

TEST(SkinClusterOrderTest, ReorderedSourcesReorderTheClusters) {
  VDeformerSkin skin("Skin");
  std::unique_ptr<VDeformerCluster> clusters[3];
  for (int c = 0; c < 3; ++c) {
    clusters[c] = std::make_unique<VDeformerCluster>("Cluster" + std::to_string(c));
    clusters[c]->SetWeights({c}, {1.0});
    ASSERT_TRUE(skin.ConnectSrc(clusters[c].get()));
  }
  ASSERT_EQ(skin.GetClusterCount(), 3);
  EXPECT_EQ(skin.GetCluster(0), clusters[0].get());
  ASSERT_EQ(skin.GetPreparedWeights(3).entry_cluster.size(), 3u);

  ASSERT_TRUE(skin.SwapSrc(0, 2));
  EXPECT_EQ(skin.GetCluster(0), clusters[2].get());
  EXPECT_EQ(skin.GetCluster(2), clusters[0].get());
  ASSERT_TRUE(skin.MoveSrc(2, 0));  // cluster 0 back in front
  EXPECT_EQ(skin.GetCluster(0), clusters[0].get());
  EXPECT_EQ(skin.GetCluster(1), clusters[2].get());
  EXPECT_EQ(skin.GetCluster(2), clusters[1].get());

  // The prepared weights name the clusters by their new places: each point
  // is weighted by the one cluster that lists it.
  const VSkinWeights& w = skin.GetPreparedWeights(3);
  int checked = 0;
  for (std::size_t g = 0; g + 1 < w.group_entry_start.size(); ++g) {
    for (std::uint32_t e = w.group_entry_start[g]; e < w.group_entry_start[g + 1]; ++e) {
      const VDeformerCluster* cluster = skin.GetCluster(static_cast<int>(w.entry_cluster[e]));
      ASSERT_NE(cluster, nullptr);
      for (std::uint32_t i = w.group_point_start[g]; i < w.group_point_start[g + 1]; ++i) {
        EXPECT_EQ(cluster->GetIndexes()[0], static_cast<std::int32_t>(w.group_points[i]));
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 3);
}

}  // namespace
