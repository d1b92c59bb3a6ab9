#include "core/named_event.h"

#include <map>
#include <mutex>
#include <vector>

namespace {

struct Registration {
  VNamedEventCallback callback;
  void* user;
};

struct Table {
  std::mutex mutex;
  std::map<std::string, std::vector<Registration>> events;
};

Table& table() {
  static Table instance;
  return instance;
}

}  // namespace

void VNamedEventAdd(const std::string& name, VNamedEventCallback callback, void* user) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.events[name].push_back({callback, user});
}

bool VNamedEventRemove(const std::string& name, VNamedEventCallback callback, void* user) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.events.find(name);
  if (it == t.events.end()) return false;
  for (auto r = it->second.begin(); r != it->second.end(); ++r) {
    if (r->callback == callback && r->user == user) {
      it->second.erase(r);
      return true;
    }
  }
  return false;
}

bool VNamedEventFire(const std::string& name, int a, int b) {
  std::vector<Registration> copy;
  {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.events.find(name);
    if (it == t.events.end()) return false;
    copy = it->second;  // callbacks may register or remove while we fire
  }
  for (const Registration& r : copy) r.callback(r.user, a, b);
  return true;
}
