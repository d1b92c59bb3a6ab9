// The order of the "Relations" section: an object comes after every object
// that is one of its sources (a child before its parent), however deep the
// hierarchy, and every object is written once, cycles included.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/scene_memory.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "zynfile/field_block.h"
#include "zynfile/zyn_file.h"

namespace {

// The full names of the "Relations" records, in file order.
std::vector<std::string> RelationOrder(const VScene& scene) {
  const std::vector<uint8_t> bytes = testing_support::WriteSceneToMemory(scene, true);
  VZynFile file;
  EXPECT_TRUE(file.OpenFromMemory(bytes.data(), bytes.size())) << file.GetErrorMessage();
  if (file.OpenSectionIndex() < 0) file.OpenSection(0);
  std::vector<std::string> names;
  VZynReadFieldBlock(file, "Relations", [&] {
    const int count = file.FieldReadOccurrenceCount();
    for (int k = 0; k < count && file.FieldReadBeginOccurrence(k); ++k) names.push_back(file.FieldReadC());
  });
  return names;
}

int Position(const std::vector<std::string>& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

TEST(RelationOrderTest, AChainIsWrittenFromItsLeafUp) {
  VScene scene;
  std::vector<VModel*> chain;
  for (int i = 0; i < 3; ++i) {
    auto* model = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Link" + std::to_string(i), "Null")));
    if (i > 0) {
      ASSERT_TRUE(model->SetParent(chain.back()));
    }
    chain.push_back(model);
  }
  const std::vector<std::string> names = RelationOrder(scene);
  const int first = Position(names, "Model::Link2");
  ASSERT_GE(first, 0);
  EXPECT_EQ(Position(names, "Model::Link1"), first + 1);
  EXPECT_EQ(Position(names, "Model::Link0"), first + 2);
}

TEST(RelationOrderTest, EveryChildComesBeforeItsParentInADeepTree) {
  VScene scene;
  std::vector<VModel*> models;
  constexpr int kCount = 3000;
  for (int i = 0; i < kCount; ++i) {
    auto* model = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Node" + std::to_string(i), "Null")));
    // Mostly a long chain, with side branches.
    if (i > 0) {
      ASSERT_TRUE(model->SetParent(models[static_cast<size_t>(i % 5 == 0 ? i / 2 : i - 1)]));
    }
    models.push_back(model);
  }
  const std::vector<std::string> names = RelationOrder(scene);
  ASSERT_EQ(names.size(), scene.objects().size() + scene.system_cameras().size());
  std::vector<int> at(kCount);
  for (int i = 0; i < kCount; ++i) at[static_cast<size_t>(i)] = Position(names, "Model::Node" + std::to_string(i));
  for (int i = 1; i < kCount; ++i) {
    const int parent = i % 5 == 0 ? i / 2 : i - 1;
    ASSERT_LT(at[static_cast<size_t>(i)], at[static_cast<size_t>(parent)]) << "node " << i;
  }
}

TEST(RelationOrderTest, ACycleIsWrittenWithEveryObjectOnce) {
  VScene scene;
  auto* a = scene.Add(std::make_unique<VModel>("A", "Null"));
  auto* b = scene.Add(std::make_unique<VModel>("B", "Null"));
  auto* c = scene.Add(std::make_unique<VModel>("C", "Null"));
  ASSERT_TRUE(a->ConnectSrc(b));
  ASSERT_TRUE(b->ConnectSrc(c));
  ASSERT_TRUE(c->ConnectSrc(a));
  const std::vector<std::string> names = RelationOrder(scene);
  ASSERT_EQ(names.size(), scene.objects().size() + scene.system_cameras().size());
  for (const char* name : {"Model::A", "Model::B", "Model::C"}) {
    int seen = 0;
    for (const std::string& n : names) seen += n == name ? 1 : 0;
    EXPECT_EQ(seen, 1) << name;
  }
}

}  // namespace
