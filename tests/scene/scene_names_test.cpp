// The scene's index of full names follows renames: the new name finds the
// object, the old one no longer does, and of several objects of one full
// name the first one keeps being found.

#include <gtest/gtest.h>

#include <memory>

#include "scene/model.h"
#include "scene/scene.h"

namespace {

TEST(SceneNamesTest, RenamedObjectsAreFoundByTheirNewName) {
  VScene scene;
  VSceneObject* cube = scene.Add(std::make_unique<VModel>("Cube", "Mesh"));
  ASSERT_NE(cube, nullptr);
  EXPECT_TRUE(cube->SetName("Box"));
  EXPECT_EQ(scene.Find("Model::Box"), cube);
  EXPECT_EQ(scene.Find("Model::Cube"), nullptr);
  // The old name is free again.
  VSceneObject* other = scene.Add(std::make_unique<VModel>("Cube", "Mesh"));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(scene.Find("Model::Cube"), other);
  EXPECT_TRUE(scene.Remove(cube));
  EXPECT_EQ(scene.Find("Model::Box"), nullptr);
  EXPECT_EQ(scene.Find("Model::Cube"), other);
}

TEST(SceneNamesTest, RenamesKeepTheFirstOfOneNameFound) {
  VScene scene;
  VSceneObject* first = scene.Add(std::make_unique<VModel>("Twin", "Null"));
  VSceneObject* second = scene.Add(std::make_unique<VModel>("Twin", "Null"), true);
  VSceneObject* third = scene.Add(std::make_unique<VModel>("Solo", "Null"));
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(scene.Find("Model::Twin"), first);

  // The first one leaves the name: the next of that name is found.
  EXPECT_TRUE(first->SetName("Elsewhere"));
  EXPECT_EQ(scene.Find("Model::Twin"), second);
  EXPECT_EQ(scene.Find("Model::Elsewhere"), first);
  // Taking a name that is held does not displace its holder.
  EXPECT_TRUE(third->SetName("Elsewhere"));
  EXPECT_EQ(scene.Find("Model::Elsewhere"), first);
  EXPECT_EQ(scene.Find("Model::Solo"), nullptr);
  EXPECT_TRUE(first->SetName("Gone"));
  EXPECT_EQ(scene.Find("Model::Elsewhere"), third);
  EXPECT_TRUE(second->SetName("Twin2"));
  EXPECT_EQ(scene.Find("Model::Twin"), nullptr);

  // Renaming a property or a sub-object touches no entry.
  VProperty* property = second->CreateProperty("Twin2", kPropertyTypeInt);
  ASSERT_NE(property, nullptr);
  EXPECT_TRUE(property->SetName("Gone"));
  EXPECT_EQ(scene.Find("Model::Twin2"), second);
  EXPECT_EQ(scene.Find("Model::Gone"), first);
  VObject* part = second->AddSubObject(std::make_unique<VModel>("Part", "Null"));
  ASSERT_NE(part, nullptr);
  EXPECT_TRUE(part->SetName("Twin2"));
  EXPECT_TRUE(part->SetName("Gone"));
  EXPECT_EQ(scene.Find("Model::Twin2"), second);
  EXPECT_EQ(scene.Find("Model::Gone"), first);
}

TEST(SceneNamesTest, ObjectsRemovedOrClearedAreNotFollowed) {
  VScene scene;
  auto owned = std::make_unique<VModel>("Kept", "Null");
  VModel* kept = owned.get();
  ASSERT_EQ(scene.Add(std::move(owned)), kept);
  scene.Clear();
  EXPECT_EQ(scene.Find("Model::Kept"), nullptr);
  VSceneObject* again = scene.Add(std::make_unique<VModel>("Kept", "Null"));
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->SetName("Renamed"));
  EXPECT_EQ(scene.Find("Model::Renamed"), again);
}

}  // namespace
