#include "scene/scene_object.h"

#include "zynfile/property_block.h"
#include "zynfile/zyn_file.h"

bool VSceneObject::Retrieve(VZynFile& file, int mode) {
  if (mode & kVZynModeProperties) return VZynReadPropertyBlock(file, *this);
  return !file.HasError();
}

bool VSceneObject::Store(VZynFile& file, int mode) const {
  if (mode & kVZynModeProperties) return VZynWritePropertyBlock(file, *this);
  return !file.HasError();
}
