#include "scene/camera_switcher.h"

#include <cmath>

#include "scene/camera.h"
#include "scene/property_makers.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr int kSwitcherVersion = 101;

}  // namespace

VCameraSwitcher::VCameraSwitcher(const std::string& name) : VModel(name, "CameraSwitcher") {
  // An integer that curves animate: held as a double, read rounded.
  mCameraIndex = AddPropertyT<VPropertyDouble>("Camera Index", kPropertyTypeInt, kPropertyDefAnimatable);
  mCameraIndex->Set(1.0);
}

void VCameraSwitcher::AddCamera(const VCamera& camera) { camera_names_.push_back(camera.GetFullName()); }

VCamera* VCameraSwitcher::GetCamera(int position) const {
  if (position < 0 || position >= GetCameraCount() || !resolver_) return nullptr;
  return dynamic_cast<VCamera*>(resolver_(camera_names_[static_cast<size_t>(position)]));
}

int VCameraSwitcher::GetCurrentIndex() const {
  const int count = GetCameraCount();
  if (count == 0) return 0;
  const double value = mCameraIndex->Get();
  if (std::isnan(value) || value < 1.0) return 1;
  if (value > count) return count;
  return static_cast<int>(std::lround(value));  // 1 <= value <= count here
}

VCamera* VCameraSwitcher::GetCurrentCamera() const { return GetCamera(GetCurrentIndex() - 1); }

void VCameraSwitcher::SetCurrentIndex(int index) {
  const int count = GetCameraCount();
  if (count > 0) index = index < 1 ? 1 : (index > count ? count : index);
  mCameraIndex->Set(index);
}

bool VCameraSwitcher::Retrieve(VZynFile& file, int mode) {
  if (!VModel::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  // One value per camera; readers also take one field per camera.
  std::vector<std::string> names;
  for (int i = 0; file.FieldReadBegin("CameraIndexName", i); ++i) {
    while (file.FieldReadGetRemain() > 0 && !file.HasError()) {
      std::string name = file.FieldReadC();
      if (!name.empty()) names.push_back(name);
    }
    file.FieldReadEnd();
  }
  camera_names_ = std::move(names);
  return !file.HasError();
}

bool VCameraSwitcher::Store(VZynFile& file, int mode) const {
  if (!VModel::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("Version", kSwitcherVersion);
  file.FieldWriteC("Name", GetName());
  file.FieldWriteI("CameraId", GetCurrentIndex());
  const VCamera* current = GetCurrentCamera();
  file.FieldWriteC("CameraName", current ? current->GetFullName() : std::string());
  file.FieldWriteBegin("CameraIndexName");
  for (const std::string& name : camera_names_) file.FieldWriteC(name);
  file.FieldWriteEnd();
  return !file.HasError();
}

std::string VSwitcherLabel(const std::string& camera_name) { return "Switcher (" + camera_name + ")"; }
