#include "core/named_event.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct Registration {
  VNamedEventCallback callback;
  void* user;
  // Set when the registration is removed, so that a firing that copied it
  // before does not call it any more.
  std::atomic<bool> removed{false};
};

using Registrations = std::vector<std::shared_ptr<Registration>>;

// The lock guards the table only: callbacks run outside it, so a callback
// may register, remove or fire named events, and may wait for another
// thread that does (the scene loader fires "TimeMode").
struct Table {
  std::mutex mutex;
  std::map<std::string, Registrations> events;
};

Table& table() {
  static Table instance;
  return instance;
}

}  // namespace

void VNamedEventAdd(const std::string& name, VNamedEventCallback callback, void* user) {
  if (!callback) return;
  auto registration = std::make_shared<Registration>();
  registration->callback = callback;
  registration->user = user;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.events[name].push_back(std::move(registration));
}

bool VNamedEventRemove(const std::string& name, VNamedEventCallback callback, void* user) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.events.find(name);
  if (it == t.events.end()) return false;
  Registrations& list = it->second;
  // The latest registration of the pair goes first.
  auto match = std::find_if(list.rbegin(), list.rend(), [&](const std::shared_ptr<Registration>& r) {
    return r->callback == callback && r->user == user;
  });
  if (match == list.rend()) return false;
  (*match)->removed.store(true, std::memory_order_release);
  list.erase(std::next(match).base());
  return true;
}

bool VNamedEventFire(const std::string& name, int a, int b) {
  Registrations calls;
  {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    // Names are never erased from the table: once registered, a name stays known.
    auto it = t.events.find(name);
    if (it == t.events.end()) return false;
    calls = it->second;
  }
  // Registrations added meanwhile wait for the next firing; those removed
  // before their turn are not called.
  for (const std::shared_ptr<Registration>& r : calls) {
    if (!r->removed.load(std::memory_order_acquire)) r->callback(r->user, a, b);
  }
  return true;
}
