// The component handle over a scene's object: a rename through the handle
// is seen by the scene's lookup by full name.

#include "sdk/yr_component.h"

#include <gtest/gtest.h>

#include <memory>

#include "scene/model.h"
#include "scene/scene.h"

namespace {

using YrSDK::YrComponent;

TEST(YrComponentTest, RenameIsSeenByTheScene) {
  VScene scene;
  VSceneObject* light = scene.Add(std::make_unique<VModel>("Key", "Light"));
  ASSERT_NE(light, nullptr);
  YrComponent component(light);
  EXPECT_TRUE(component.SetName("Fill"));
  EXPECT_EQ(component.GetName(), "Fill");
  EXPECT_EQ(component.GetFullName(), "Model::Fill");
  EXPECT_EQ(scene.Find("Model::Fill"), light);
  EXPECT_EQ(scene.Find("Model::Key"), nullptr);
  // Renaming to the current name changes nothing.
  EXPECT_TRUE(component.SetName("Fill"));
  EXPECT_EQ(scene.Find(component.GetFullName()), light);
  EXPECT_FALSE(YrComponent().SetName("Nobody"));
}

}  // namespace
