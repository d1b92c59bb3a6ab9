#include "core/event.h"

VEventBase::~VEventBase() {
  for (Firing* f : mFirings) f->destroyed = true;
}

void VEventBase::Add(void* target, VEventFunction function, std::intptr_t value) {
  if (!function) return;
  mRecords.insert(mRecords.begin(), Record{target, function, value});
  // Every index moved up by one; the new front record lies below each
  // firing's bound and is not called by it.
  for (Firing* f : mFirings) {
    ++f->next;
    ++f->lower;
  }
}

bool VEventBase::Remove(void* target, VEventFunction function) {
  for (std::size_t i = 0; i < mRecords.size(); ++i) {
    if (mRecords[i].target == target && mRecords[i].function == function) {
      RemoveAt(i);
      return true;
    }
  }
  return false;
}

bool VEventBase::Remove(void* target, VEventFunction function, std::intptr_t value) {
  for (std::size_t i = 0; i < mRecords.size(); ++i) {
    const Record& r = mRecords[i];
    if (r.target == target && r.function == function && r.value == value) {
      RemoveAt(i);
      return true;
    }
  }
  return false;
}

bool VEventBase::Contains(void* target, VEventFunction function) const {
  for (const Record& r : mRecords)
    if (r.target == target && r.function == function) return true;
  return false;
}

void VEventBase::Clear() {
  while (!mRecords.empty()) RemoveAt(mRecords.size() - 1);
}

void VEventBase::RemoveAt(std::size_t index) {
  mRecords.erase(mRecords.begin() + static_cast<std::ptrdiff_t>(index));
  const auto i = static_cast<std::ptrdiff_t>(index);
  for (Firing* f : mFirings) {
    // Records at or below the removed one shift down. A record above `next`
    // was already called (or is being called) and changes nothing.
    if (i <= f->next) --f->next;
    if (i < f->lower) --f->lower;
  }
}

bool VEventBase::Run(int code, VEventData* data, bool removeFirst) {
  Firing firing{static_cast<std::ptrdiff_t>(mRecords.size()) - 1, 0, false};
  mFirings.push_back(&firing);
  while (firing.next >= firing.lower && firing.next >= 0) {
    if (data && data->mHandled) break;
    const Record record = mRecords[static_cast<std::size_t>(firing.next)];
    if (removeFirst) {
      RemoveAt(static_cast<std::size_t>(firing.next));
    } else {
      --firing.next;
    }
    record.function(record.target, code, data, record.value);
    if (firing.destroyed) return false;  // `this` is gone: touch nothing
  }
  // Firings nest strictly, so ours is the last one registered.
  mFirings.pop_back();
  return true;
}

void VEventBase::Fire(int code, VEventData* data) { Run(code, data, false); }

void VDeferredEvent::RunPending(int code, VEventData* data) { Run(code, data, true); }
