#include "core/settings_session.h"

#include <mutex>

#include "core/settings_defaults.h"
#include "core/settings_store.h"
#include "core/settings_time.h"

namespace {

constexpr const char* kDefaultLayout = "Velmoor";

std::mutex g_layout_mutex;
std::string& Layout() {
  static std::string layout = kDefaultLayout;
  return layout;
}

}  // namespace

std::string VSettingsKeyboardLayout() {
  std::lock_guard<std::mutex> lock(g_layout_mutex);
  return Layout();
}

void VSettingsSetKeyboardLayout(const std::string& layout) {
  std::lock_guard<std::mutex> lock(g_layout_mutex);
  Layout() = layout;
}

bool VSettingsStartUp(VSettingsStore& store, const std::string& config_folder) {
  bool clean = true;
  if (!config_folder.empty()) {
    clean = store.Load(config_folder);
  } else {
    store.Clear();
  }
  VSettingsApplyDefaults(store);
  VSettings application = store.Open(kVSettingsApplication);
  VSettingsReadTime(application);
  VSettingsSetKeyboardLayout(application.GetText("Keyboard", "Default", kDefaultLayout));
  return clean;
}

bool VSettingsShutDown(VSettingsStore& store, const std::string& config_folder) {
  VSettings application = store.Open(kVSettingsApplication);
  bool ok = VSettingsWriteTime(application);
  if (!application.Set("Keyboard", "Default", VSettingsKeyboardLayout())) ok = false;
  if (!config_folder.empty() && !store.Save(config_folder)) ok = false;
  return ok;
}
