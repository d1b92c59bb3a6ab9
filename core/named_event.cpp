#include "core/named_event.h"

#include <map>
#include <memory>
#include <mutex>

#include "core/event.h"

namespace {

struct NamedEventData : VEventData {
  int b = 0;
};

// The record's value carries the callback; its target is the user pointer.
void Trampoline(void* user, int a, VEventData* data, std::intptr_t value) {
  auto callback = reinterpret_cast<VNamedEventCallback>(value);
  callback(user, a, static_cast<NamedEventData*>(data)->b);
}

std::intptr_t Encode(VNamedEventCallback callback) {
  return reinterpret_cast<std::intptr_t>(callback);
}

// The table lock is recursive so that callbacks may register, remove or fire
// named events themselves; each event copes with changes while it fires.
struct Table {
  std::recursive_mutex mutex;
  std::map<std::string, std::unique_ptr<VEventBase>> events;
};

Table& table() {
  static Table instance;
  return instance;
}

}  // namespace

void VNamedEventAdd(const std::string& name, VNamedEventCallback callback, void* user) {
  if (!callback) return;
  Table& t = table();
  std::lock_guard<std::recursive_mutex> lock(t.mutex);
  std::unique_ptr<VEventBase>& event = t.events[name];
  if (!event) event = std::make_unique<VEventBase>();
  event->Add(user, &Trampoline, Encode(callback));
}

bool VNamedEventRemove(const std::string& name, VNamedEventCallback callback, void* user) {
  Table& t = table();
  std::lock_guard<std::recursive_mutex> lock(t.mutex);
  auto it = t.events.find(name);
  if (it == t.events.end()) return false;
  return it->second->Remove(user, &Trampoline, Encode(callback));
}

bool VNamedEventFire(const std::string& name, int a, int b) {
  Table& t = table();
  std::lock_guard<std::recursive_mutex> lock(t.mutex);
  auto it = t.events.find(name);
  if (it == t.events.end()) return false;
  NamedEventData data;
  data.b = b;
  // Events are never erased from the table, so the pointer stays valid.
  it->second->Fire(a, &data);
  return true;
}
