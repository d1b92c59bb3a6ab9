#pragma once
// The key-heavy scene of the loading benchmarks: 1,000 limbs, each with a
// translation, rotation and scaling curve per axis of 1,100 keys (about ten
// million keys, ~220 MB as a binary file).

#include <cstdint>
#include <cstdio>
#include <memory>

#include "animation/fcurve_node.h"
#include "scene/model.h"
#include "scene/scene.h"

namespace bench_scenes {

constexpr int kKeyHeavyModels = 1000;
constexpr int kKeysPerCurve = 1100;
constexpr int64_t kFrame = 1539538600;  // 30 fps

// Replaces what `scene` holds with the key-heavy scene, its take current.
inline void BuildKeyHeavyScene(VScene& scene) {
  scene.Clear();
  VTake* take = scene.takes().Create("Take 001");
  take->local_span = VTimeSpan(VTime(0), VTime(kFrame * kKeysPerCurve));
  char name[32];
  for (int m = 0; m < kKeyHeavyModels; ++m) {
    std::snprintf(name, sizeof name, "Joint%d", m);
    auto* model = static_cast<VModel*>(scene.Add(std::make_unique<VModel>(name, "Limb")));
    VTake::ModelAnimation* animation = take->AddModel(model->GetFullName());
    auto transform = std::make_unique<VFCurveNode>("Transform");
    for (const char* channel : {"T", "R", "S"}) {
      VFCurveNode* vector = transform->AddChild(std::make_unique<VFCurveNode>(channel));
      for (const char* axis : {"X", "Y", "Z"}) {
        VFCurve* curve = vector->AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
        curve->KeyReserve(kKeysPerCurve);
        for (int k = 0; k < kKeysPerCurve; ++k) {
          VFCurveKey key;
          key.time = VTime(k * kFrame);
          key.value = static_cast<float>((k * 7 + m) % 100) * 0.01f;
          curve->KeyAppend(key);
        }
      }
    }
    animation->channels.push_back(std::move(transform));
  }
  scene.takes().SetCurrent(take);
}

}  // namespace bench_scenes
