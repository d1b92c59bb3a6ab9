#include "tools/zyn/demo_shading.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "scene/material.h"
#include "scene/scene.h"
#include "scene/shader.h"
#include "scene/texture.h"

namespace zyn_tool {

const char kDemoCheckerSuffix[] = "_checker.tga";

namespace {

constexpr int kCheckerSide = 64;
constexpr int kCheckerSquare = 8;
constexpr int kTgaHeaderSize = 18;
constexpr std::uint8_t kTgaTrueColor = 2;
constexpr std::uint8_t kTgaBitsPerPixel = 24;
const char kCheckerTexture[] = "Texture::Checker";

VMaterial* AddMaterial(VScene& scene, const char* name, const VDouble3& diffuse) {
  auto* material = static_cast<VMaterial*>(scene.Add(std::make_unique<VMaterial>(name)));
  material->SetDiffuse(diffuse);
  material->SetAmbient({diffuse[0] * 0.25, diffuse[1] * 0.25, diffuse[2] * 0.25});
  material->SetSpecular({0.3, 0.3, 0.3});
  material->SetShininess(32);
  return material;
}

void Connect(VScene& scene, VSceneObject* source, const char* model) {
  if (VSceneObject* destination = scene.Find(model)) destination->ConnectSrc(source);
}

}  // namespace

void AddDemoMaterials(VScene& scene) {
  // Connection order is the order of the mesh's material ids.
  Connect(scene, AddMaterial(scene, "Tube Red", {0.85, 0.2, 0.15}), "Model::Tube");
  Connect(scene, AddMaterial(scene, "Flag Yellow", {0.95, 0.8, 0.1}), "Model::Flag");
  Connect(scene, AddMaterial(scene, "Flag Blue", {0.15, 0.3, 0.9}), "Model::Flag");
  // White under the texture, which the checker modulates.
  Connect(scene, AddMaterial(scene, "Ground", {0.9, 0.9, 0.9}), "Model::Ground");

  auto* checker = static_cast<VTexture*>(scene.Add(std::make_unique<VTexture>("Checker")));
  // Until the image is written beside a scene file, only the name it will
  // have there (for a scene called "demo") is known.
  checker->SetRelativeFileName(std::string("demo") + kDemoCheckerSuffix);
  Connect(scene, checker, "Model::Ground");
}

void AddDemoShaders(VScene& scene) {
  auto* lighted = static_cast<VLightedShader*>(scene.Add(std::make_unique<VLightedShader>("Lighted")));
  lighted->SetUseSpecular(true);
  lighted->SetSpecular(120);
  Connect(scene, lighted, "Model::Tube");
  Connect(scene, lighted, "Model::Ground");
  // The flag shows its two materials unlit.
  auto* flat = static_cast<VFlatShader*>(scene.Add(std::make_unique<VFlatShader>("Flat")));
  Connect(scene, flat, "Model::Flag");
}

std::vector<std::uint8_t> DemoCheckerImage() {
  std::vector<std::uint8_t> bytes(kTgaHeaderSize, 0);
  bytes[2] = kTgaTrueColor;
  bytes[12] = kCheckerSide & 0xff;
  bytes[13] = kCheckerSide >> 8;
  bytes[14] = kCheckerSide & 0xff;
  bytes[15] = kCheckerSide >> 8;
  bytes[16] = kTgaBitsPerPixel;
  bytes.reserve(kTgaHeaderSize + kCheckerSide * kCheckerSide * 3);
  for (int y = 0; y < kCheckerSide; ++y) {
    for (int x = 0; x < kCheckerSide; ++x) {
      const bool light = ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 == 0;
      // Blue, green, red: a warm white and a slate grey.
      const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(light ? 225 : 90),
                                     static_cast<std::uint8_t>(light ? 235 : 80),
                                     static_cast<std::uint8_t>(light ? 240 : 70)};
      bytes.insert(bytes.end(), pixel, pixel + 3);
    }
  }
  return bytes;
}

bool WriteDemoTextures(VScene& scene, const std::string& scene_path) {
  auto* checker = dynamic_cast<VTexture*>(scene.Find(kCheckerTexture));
  if (!checker) return false;
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path scene_file = fs::absolute(fs::path(scene_path), error);
  if (error) return false;
  const std::string file_name = scene_file.stem().string() + kDemoCheckerSuffix;
  const fs::path image_path = scene_file.parent_path() / file_name;

  const std::vector<std::uint8_t> image = DemoCheckerImage();
  std::FILE* out = std::fopen(image_path.string().c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) return false;
  checker->SetFileName(image_path.lexically_normal().string());
  checker->SetRelativeFileName(file_name);
  return true;
}

}  // namespace zyn_tool
