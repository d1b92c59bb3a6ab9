#include "scene/object_factories.h"

#include <memory>

#include "core/class_registry.h"
#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/light.h"
#include "scene/material.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/shader.h"
#include "scene/texture.h"

const char* const kVSceneObjectTypes[] = {"Model", "Material", "Texture", "Video", "Constraint",
                                          "TimelineX", "TimelineXTrack", "Clip", "Folder", "Deformer",
                                          "Pose", "Shader"};
const int kVSceneObjectTypeCount = static_cast<int>(sizeof kVSceneObjectTypes / sizeof kVSceneObjectTypes[0]);

namespace {

// Types without a class of their own keep what their records give them.
const char* const kGenericTypes[] = {"Video", "Pose"};

}  // namespace

namespace {

// Adds a built-in creator only where none is registered: an application's
// own creator for a type is kept, whenever and however often the built-ins
// are registered (every scene load does).
struct BuiltInRegistry {
  VClassRegistry& registry;
  void RegisterCreator(const std::string& class_name, VObjectCreator creator) {
    if (!registry.HasCreator(class_name)) registry.RegisterCreator(class_name, std::move(creator));
  }
};

}  // namespace

void VSceneRegisterObjectFactories() {
  BuiltInRegistry registry{VClassRegistry::Instance()};
  registry.RegisterCreator("ZynStorable/Model", [](const std::string& name, const std::string& subtype) {
    // The subtype picks the class; anything unknown is a plain model.
    if (subtype == "Mesh") return std::unique_ptr<VObject>(new VModelPolymesh(name));
    if (subtype == "Camera") return std::unique_ptr<VObject>(new VCamera(name));
    if (subtype == "Light") return std::unique_ptr<VObject>(new VLight(name));
    if (subtype == "CameraSwitcher") return std::unique_ptr<VObject>(new VCameraSwitcher(name));
    return std::unique_ptr<VObject>(new VModel(name, subtype));
  });
  // Skins and clusters have classes of their own; other deformers keep what
  // their records give them.
  registry.RegisterCreator("ZynStorable/Deformer", [](const std::string& name, const std::string& subtype) {
    if (subtype == "Skin") return std::unique_ptr<VObject>(new VDeformerSkin(name));
    if (subtype == "Cluster") return std::unique_ptr<VObject>(new VDeformerCluster(name));
    return std::unique_ptr<VObject>(new VSceneObject("Deformer", name, subtype));
  });
  registry.RegisterCreator("ZynStorable/Material", [](const std::string& name, const std::string& subtype) {
    auto material = std::make_unique<VMaterial>(name);
    material->SetSubtype(subtype);
    return std::unique_ptr<VObject>(std::move(material));
  });
  registry.RegisterCreator("ZynStorable/Texture", [](const std::string& name, const std::string& subtype) {
    auto texture = std::make_unique<VTexture>(name);
    texture->SetSubtype(subtype);
    return std::unique_ptr<VObject>(std::move(texture));
  });
  // The subtype is the shader's class name; shaders of other classes (user
  // shaders) keep what their records give them and draw as the default.
  registry.RegisterCreator("ZynStorable/Shader", [](const std::string& name, const std::string& subtype) {
    if (subtype == "LightedShader") return std::unique_ptr<VObject>(new VLightedShader(name));
    if (subtype == "FlatShader") return std::unique_ptr<VObject>(new VFlatShader(name));
    if (subtype == "WireShader") return std::unique_ptr<VObject>(new VWireShader(name));
    return std::unique_ptr<VObject>(new VSceneObject("Shader", name, subtype));
  });
  for (const char* type : kGenericTypes) {
    std::string type_name = type;
    registry.RegisterCreator("ZynStorable/" + type_name, [type_name](const std::string& name, const std::string& subtype) {
      return std::unique_ptr<VObject>(new VSceneObject(type_name, name, subtype));
    });
  }
}
