#pragma once
// Scene files for the importer's tests, written by the engine's own writer:
// a scene with takes of given lengths and a camera, with or without the
// header's camera resolution.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/time.h"
#include "document/document_summary.h"
#include "document/scene_writer.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "zynfile/zyn_file.h"

namespace component_test {

constexpr std::int64_t kTicksPerSecond = 46186158000LL;

struct SceneFileOptions {
  bool binary = true;
  bool headerCamera = true;  // write "CurrentCameraResolution" into the header
  std::string headerMode = "Fixed Resolution";
  double headerW = 640, headerH = 480;
  // The scene's default camera ("Model::Cam").
  int cameraMode = 0;
  double cameraW = 320, cameraH = 200;
  // Each take from 0 to this many ticks (a negative count: from it to 0).
  std::vector<std::int64_t> takeTicks;
  bool documentSummary = true;  // binary files only
};

inline void WriteSceneFile(const std::string& path, const SceneFileOptions& options) {
  VScene scene;
  auto camera = std::make_unique<VCamera>("Cam");
  camera->mResolutionMode->SetInt(options.cameraMode);
  camera->mAspectW->SetDouble(options.cameraW);
  camera->mAspectH->SetDouble(options.cameraH);
  ASSERT_NE(scene.Add(std::move(camera)), nullptr);
  scene.settings().default_camera = "Model::Cam";
  for (std::size_t i = 0; i < options.takeTicks.size(); ++i) {
    VTake* take = scene.takes().Create("Take " + std::to_string(i + 1));
    ASSERT_NE(take, nullptr);
    const std::int64_t ticks = options.takeTicks[i];
    take->local_span = ticks >= 0 ? VTimeSpan(VTime(0), VTime(ticks)) : VTimeSpan(VTime(-ticks), VTime(0));
  }
  VZynFile file;
  if (options.headerCamera) file.SetHeaderCamera(options.headerMode, options.headerW, options.headerH);
  ASSERT_TRUE(file.CreateFile(path, options.binary, false, options.headerCamera ? "Model::Cam" : ""))
      << file.GetErrorMessage();
  std::string message;
  ASSERT_TRUE(VZynSceneWriter(file, scene, nullptr).Write(&message)) << message;
  if (options.binary && options.documentSummary) {
    ASSERT_TRUE(VZynWriteDocumentSummary(file, scene, false));
  }
  ASSERT_TRUE(file.CloseFile()) << file.GetErrorMessage();
}

}  // namespace component_test
