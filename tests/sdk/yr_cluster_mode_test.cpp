// The public cluster modes: the facade's names stand for what the engine's
// clusters do with them.

#include <gtest/gtest.h>

#include "scene/deformer_cluster.h"
#include "sdk/yr_cluster.h"

namespace {

using namespace YrSDK;

TEST(YrClusterModeTest, TheModeIsTheClustersAndUnknownModesAreRefused) {
  VDeformerCluster cluster("Cluster");
  YrCluster handle(&cluster);
  EXPECT_EQ(handle.GetClusterMode(), kYrClusterNormalize);
  ASSERT_TRUE(handle.SetClusterMode(kYrClusterAdditive));
  EXPECT_EQ(cluster.GetMode(), kVClusterAdditive);
  ASSERT_TRUE(handle.SetClusterMode(kYrClusterTotal100));
  EXPECT_EQ(handle.GetClusterMode(), kYrClusterTotal100);
  EXPECT_FALSE(handle.SetClusterMode(static_cast<YrClusterMode>(7)));
  EXPECT_EQ(handle.GetClusterMode(), kYrClusterTotal100);
  EXPECT_FALSE(YrCluster().SetClusterMode(kYrClusterAdditive));
  EXPECT_EQ(YrCluster().GetClusterMode(), kYrClusterNormalize);
}

}  // namespace
