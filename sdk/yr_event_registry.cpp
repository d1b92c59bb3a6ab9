#include "sdk/yr_event_registry.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <shared_mutex>
#include <vector>

namespace YrSDK {
namespace {

struct Registration {
  int id;
  YrEventCallback callback;
  void* user;
  bool operator==(const Registration& o) const { return id == o.id && callback == o.callback && user == o.user; }
};

struct Registry {
  std::shared_mutex mutex;
  std::vector<Registration> registrations;
  std::atomic<int> count{0};
};

Registry& TheRegistry() {
  static Registry* registry = new Registry();  // never destroyed: firings may come late in exit
  return *registry;
}

}  // namespace

bool YrEventRegistry::Register(int eventId, YrEventCallback callback, void* user) {
  if (callback == nullptr) return false;
  Registry& r = TheRegistry();
  std::unique_lock<std::shared_mutex> lock(r.mutex);
  const Registration entry{eventId, callback, user};
  if (std::find(r.registrations.begin(), r.registrations.end(), entry) != r.registrations.end()) return false;
  r.registrations.push_back(entry);
  r.count.store(static_cast<int>(r.registrations.size()), std::memory_order_release);
  return true;
}

bool YrEventRegistry::Unregister(int eventId, YrEventCallback callback, void* user) {
  Registry& r = TheRegistry();
  std::unique_lock<std::shared_mutex> lock(r.mutex);
  auto found = std::find(r.registrations.begin(), r.registrations.end(), Registration{eventId, callback, user});
  if (found == r.registrations.end()) return false;
  r.registrations.erase(found);
  r.count.store(static_cast<int>(r.registrations.size()), std::memory_order_release);
  return true;
}

void YrEventRegistry::Fire(const YrEvent& event) {
  Registry& r = TheRegistry();
  if (r.count.load(std::memory_order_acquire) == 0) return;
  std::shared_lock<std::shared_mutex> lock(r.mutex);
  for (const Registration& entry : r.registrations) {
    if (entry.id == event.id) entry.callback(event, entry.user);
  }
}

bool YrEventRegistry::HasListeners(int eventId) {
  Registry& r = TheRegistry();
  if (r.count.load(std::memory_order_acquire) == 0) return false;
  std::shared_lock<std::shared_mutex> lock(r.mutex);
  return std::any_of(r.registrations.begin(), r.registrations.end(),
                     [eventId](const Registration& entry) { return entry.id == eventId; });
}

}  // namespace YrSDK
