#include "core/plug.h"

#include <algorithm>

#include "core/evaluation_serial.h"

namespace {

// Removes the newest entry of the plug. Plugs mostly leave such lists newest
// first (an owner destroys its plugs from the back, a scene its objects; a
// scene's watch listens to every object), so the search starts there.
bool EraseOne(std::vector<VPlug*>& list, const VPlug* plug) {
  auto it = std::find(list.rbegin(), list.rend(), plug);
  if (it == list.rend()) return false;
  list.erase(std::next(it).base());
  return true;
}

}  // namespace

VPlug::VPlug(std::uint8_t flags) : mPlugFlags(flags) {}

VPlug::~VPlug() {
  if (mLinks) {
    // Every partner forgets this plug, so nothing keeps a dangling pointer.
    DisconnectAllSrc();
    DisconnectAllDst();
    std::vector<VPlug*>& oneWay = mLinks->oneWayDsts;
    while (!oneWay.empty()) {
      VPlug* d = oneWay.back();
      if (!Disconnect(this, d)) oneWay.pop_back();
    }
    for (VPlug* l : mLinks->listeners) EraseOne(l->mLinks->listening, this);
    for (VPlug* p : mLinks->listening) p->DropListener(this);
    for (VPlug* o : mLinks->owned) o->mOwner = nullptr;
  }
  // A kept plug is not in its owner's list.
  if (mOwner && mOwner->mLinks) EraseOne(mOwner->mLinks->owned, this);
}

VPlug* VPlug::Kept(int) const { return nullptr; }

bool VPlug::AdoptKept(VPlug* plug) {
  for (VPlug* p = this; p; p = p->mOwner)
    if (p == plug) return false;
  plug->mOwner = this;
  return true;
}

void VPlug::ReleaseOwned() {
  if (!mLinks) return;
  for (VPlug* o : mLinks->owned) o->mOwner = nullptr;
  mLinks->owned.clear();
}

bool VPlug::AcceptsPartner(const VPlug*) const { return true; }

bool VPlug::PlugNotify(int, VPlug*, void*) { return true; }

void VPlug::SetPlugFlag(std::uint8_t bit, bool on) {
  mPlugFlags = static_cast<std::uint8_t>(on ? (mPlugFlags | bit) : (mPlugFlags & ~bit));
}

// --- connecting -------------------------------------------------------------

bool VPlug::Accepts(VPlug* s, VPlug* d, bool oneWay) {
  if (!d->HasPlugFlag(kPlugAcceptsSrc) || !d->AcceptsPartner(s) ||
      !d->PlugNotify(kPlugNotifyRequestSrc, s, nullptr))
    return false;
  if (oneWay) return true;
  return s->HasPlugFlag(kPlugAcceptsDst) && s->AcceptsPartner(d) &&
         s->PlugNotify(kPlugNotifyRequestDst, d, nullptr);
}

bool VPlug::Connect(VPlug* src, VPlug* dst, int type, int dstSrcIndex, int srcDstIndex,
                    bool oneWay) {
  VPlug* s = src;
  VPlug* d = dst;
  for (;;) {
    if (!s || !d || s == d) return false;
    oneWay = oneWay || d->HasPlugFlag(kPlugOneWay);
    if (!Accepts(s, d, oneWay)) return false;
    const bool sForwarded = s->HasPlugFlag(kPlugForwarded);
    const bool dForwarded = d->HasPlugFlag(kPlugForwarded);
    if (!sForwarded && !dForwarded) break;
    if (sForwarded) s = s->mOwner;
    if (dForwarded) d = d->mOwner;
  }
  // A pair is connected at most once.
  if (d->FindSrc(s) >= 0) return false;

  d->PlugNotify(kPlugNotifySrcAdded, s, nullptr);
  if (!oneWay) s->PlugNotify(kPlugNotifyDstAdded, d, nullptr);
  if (d->FindSrc(s) >= 0) return false;  // a handler connected them meanwhile

  d->InsertSrc(dstSrcIndex, s, type);
  if (oneWay) {
    s->L().oneWayDsts.push_back(d);
  } else {
    s->InsertDst(srcDstIndex, d, type);
  }
  d->NotifyOwnedOfIndex(s, d->FindSrc(s), true);
  if (!oneWay) s->NotifyOwnedOfIndex(d, s->FindDst(d), false);
  return true;
}

bool VPlug::ConnectSrc(VPlug* src, int type) {
  return Connect(src, this, type, -1, -1, type == kYrConnectionTypeUnidirectional);
}

bool VPlug::ConnectDst(VPlug* dst, int type) {
  return Connect(this, dst, type, -1, -1, type == kYrConnectionTypeUnidirectional);
}

bool VPlug::ConnectSrcAt(int index, VPlug* src, int type) {
  return Connect(src, this, type, index, -1, type == kYrConnectionTypeUnidirectional);
}

bool VPlug::ConnectDstAt(int index, VPlug* dst, int type) {
  return Connect(this, dst, type, -1, index, type == kYrConnectionTypeUnidirectional);
}

bool VPlug::ConnectAt(VPlug* src, int srcIndex, VPlug* dst, int dstIndex, int type) {
  return Connect(src, dst, type, dstIndex, srcIndex, type == kYrConnectionTypeUnidirectional);
}

void VPlug::InsertSrc(int index, VPlug* plug, int type) {
  VConnectionAdvance();
  Links& links = L();
  if (index < 0 || index > links.srcCount) index = links.srcCount;
  links.connections.insert(links.connections.begin() + index, Connection{plug, type});
  ++links.srcCount;
}

void VPlug::InsertDst(int index, VPlug* plug, int type) {
  VConnectionAdvance();
  const int count = GetDstCount();
  if (index < 0 || index > count) index = count;
  Links& links = L();
  links.connections.insert(links.connections.begin() + links.srcCount + index, Connection{plug, type});
}

void VPlug::NotifyOwnedOfIndex(VPlug* partner, int index, bool isSrc) {
  // Indexed: a plug told of the index may change the lists. Kept plugs not
  // made yet are of classes that ignore this notice: only the made ones are
  // walked.
  const int code = isSrc ? kPlugNotifyOwnerSrcIndex : kPlugNotifyOwnerDstIndex;
  for (int i = 0; i < MadeKeptCount(); ++i) {
    VPlug* o = MadeKept(i);
    if (o->AcceptsPartner(partner)) o->PlugNotify(code, partner, &index);
  }
  for (int i = KeptCount(); i < GetOwnedCount(); ++i) {
    VPlug* o = GetOwned(i);
    if (o->AcceptsPartner(partner)) o->PlugNotify(code, partner, &index);
  }
}

// --- disconnecting ------------------------------------------------------------

void VPlug::EraseAt(std::size_t position, bool isSrc) {
  VConnectionAdvance();
  Links& links = *mLinks;  // only recorded connections are erased
  links.connections.erase(links.connections.begin() + static_cast<std::ptrdiff_t>(position));
  if (isSrc) --links.srcCount;
}

bool VPlug::Disconnect(VPlug* src, VPlug* dst) {
  if (!src || !dst) return false;
  VPlug* s = src;
  VPlug* d = dst;
  // The connection of forwarded plugs was recorded between their owners.
  while (d->FindSrc(s) < 0) {
    bool climbed = false;
    if (s->HasPlugFlag(kPlugForwarded) && s->mOwner) {
      s = s->mOwner;
      climbed = true;
    }
    if (d->HasPlugFlag(kPlugForwarded) && d->mOwner) {
      d = d->mOwner;
      climbed = true;
    }
    if (!climbed) return false;
  }
  d->EraseAt(static_cast<std::size_t>(d->FindSrc(s)), true);
  const int j = s->FindDst(d);
  const bool recorded = j >= 0;
  if (recorded) {
    s->EraseAt(static_cast<std::size_t>(s->mLinks->srcCount + j), false);
  } else if (s->mLinks) {
    EraseOne(s->mLinks->oneWayDsts, d);
  }
  d->PlugNotify(kPlugNotifySrcRemoved, s, nullptr);
  if (recorded) s->PlugNotify(kPlugNotifyDstRemoved, d, nullptr);
  return true;
}

bool VPlug::DisconnectAllSrc() {
  while (GetSrcCount() > 0) {
    VPlug* s = mLinks->connections[static_cast<std::size_t>(mLinks->srcCount - 1)].plug;
    if (!Disconnect(s, this)) return false;
  }
  return true;
}

bool VPlug::DisconnectAllDst() {
  while (GetDstCount() > 0) {
    VPlug* d = mLinks->connections.back().plug;
    if (!Disconnect(this, d)) return false;
  }
  return true;
}

bool VPlug::DisconnectSrcAt(int index) {
  VPlug* s = GetSrc(index);
  return s && Disconnect(s, this);
}

bool VPlug::DisconnectDstAt(int index) {
  VPlug* d = GetDst(index);
  return d && Disconnect(this, d);
}

bool VPlug::ReplaceSrcAt(int index, VPlug* plug, int type) {
  VPlug* old = GetSrc(index);
  if (!old || !plug) return false;
  if (old == plug) {
    mLinks->connections[static_cast<std::size_t>(index)].type = type;
    return true;
  }
  // The new source goes in front of the old one, which then leaves.
  if (!Connect(plug, this, type, index, -1, type == kYrConnectionTypeUnidirectional)) return false;
  Disconnect(old, this);
  return true;
}

bool VPlug::ReplaceDstAt(int index, VPlug* plug, int type) {
  VPlug* old = GetDst(index);
  if (!old || !plug) return false;
  if (old == plug) {
    mLinks->connections[static_cast<std::size_t>(mLinks->srcCount + index)].type = type;
    return true;
  }
  if (!Connect(this, plug, type, -1, index, type == kYrConnectionTypeUnidirectional)) return false;
  Disconnect(this, old);
  return true;
}

bool VPlug::SwapSrc(int a, int b) {
  const int count = GetSrcCount();
  if (a < 0 || b < 0 || a >= count || b >= count) return false;
  if (a != b) {
    std::vector<Connection>& c = mLinks->connections;
    std::swap(c[static_cast<std::size_t>(a)], c[static_cast<std::size_t>(b)]);
    SourcesReordered();
  }
  return true;
}

bool VPlug::MoveSrc(int from, int to) {
  const int count = GetSrcCount();
  if (from < 0 || to < 0 || from >= count || to > count) return false;
  // Before itself or before its successor, the entry already stands there.
  if (to == from || to == from + 1) return true;
  std::vector<Connection>& c = mLinks->connections;
  const Connection moved = c[static_cast<std::size_t>(from)];
  c.erase(c.begin() + from);
  // Entry `to` moved down by one when the moved entry stood in front of it.
  const int at = to > from ? to - 1 : to;
  c.insert(c.begin() + at, moved);
  SourcesReordered();
  return true;
}

void VPlug::SourcesReordered() {
  // What is derived from the order of the sources (a skin's clusters) is
  // looked up again, as after a connection change.
  VConnectionAdvance();
  PlugNotify(kPlugNotifySrcMoved, nullptr, nullptr);
}

// --- queries ------------------------------------------------------------------

VPlug* VPlug::GetSrc(int index) const {
  if (index < 0 || index >= GetSrcCount()) return nullptr;
  return mLinks->connections[static_cast<std::size_t>(index)].plug;
}

int VPlug::GetSrcType(int index) const {
  if (index < 0 || index >= GetSrcCount()) return kYrConnectionTypeNone;
  return mLinks->connections[static_cast<std::size_t>(index)].type;
}

VPlug* VPlug::GetDst(int index) const {
  if (index < 0 || index >= GetDstCount()) return nullptr;
  return mLinks->connections[static_cast<std::size_t>(mLinks->srcCount + index)].plug;
}

int VPlug::GetDstType(int index) const {
  if (index < 0 || index >= GetDstCount()) return kYrConnectionTypeNone;
  return mLinks->connections[static_cast<std::size_t>(mLinks->srcCount + index)].type;
}

int VPlug::FindSrc(const VPlug* plug) const {
  const int count = GetSrcCount();
  for (int i = 0; i < count; ++i)
    if (mLinks->connections[static_cast<std::size_t>(i)].plug == plug) return i;
  return -1;
}

int VPlug::FindDst(const VPlug* plug) const {
  const int count = GetDstCount();
  for (int i = 0; i < count; ++i)
    if (mLinks->connections[static_cast<std::size_t>(mLinks->srcCount + i)].plug == plug) return i;
  return -1;
}

// --- changes, ownership, listeners ----------------------------------------------

void VPlug::BeginChange() {
  if (L().changeDepth++ == 0) Broadcast(kPlugNotifyBeginChange);
}

bool VPlug::EndChange() {
  if (GetChangeDepth() == 0) return false;
  if (--mLinks->changeDepth == 0) Broadcast(kPlugNotifyEndChange);
  return true;
}

VPlug* VPlug::GetOwned(int index) const {
  if (index < 0 || index >= GetOwnedCount()) return nullptr;
  const int kept = KeptCount();
  if (index < kept) return Kept(index);
  return mLinks->owned[static_cast<std::size_t>(index - kept)];
}

bool VPlug::SetOwner(VPlug* owner) {
  for (VPlug* p = owner; p; p = p->mOwner)
    if (p == this) return false;
  if (mOwner == owner) return true;
  if (mOwner && mOwner->mLinks) EraseOne(mOwner->mLinks->owned, this);
  mOwner = owner;
  if (owner) owner->L().owned.push_back(this);
  return true;
}

void VPlug::AddListener(VPlug* listener) {
  if (!listener || listener == this) return;
  std::vector<VPlug*>& listeners = L().listeners;
  if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end()) return;
  // Appended above every walk's position: walks in progress do not call it.
  listeners.push_back(listener);
  listener->L().listening.push_back(this);
}

bool VPlug::RemoveListener(VPlug* listener) {
  if (!DropListener(listener)) return false;
  EraseOne(listener->mLinks->listening, this);
  return true;
}

bool VPlug::DropListener(const VPlug* listener) {
  if (!mLinks) return false;
  std::vector<VPlug*>& listeners = mLinks->listeners;
  auto it = std::find(listeners.begin(), listeners.end(), listener);
  if (it == listeners.end()) return false;
  const std::ptrdiff_t index = it - listeners.begin();
  listeners.erase(it);
  // Listeners at or below the removed one shift down; one above a walk's
  // position was already called (or is being called) and changes nothing.
  for (ListenerWalk* walk = mLinks->listenerWalks; walk; walk = walk->outer)
    if (index <= walk->next) --walk->next;
  return true;
}

bool VPlug::NotifyListeners(int code, VPlug* origin, void* data) {
  // Walks from the back; additions and removals made by the listeners adjust
  // the position, so each listener present when the walk starts and still
  // present when its turn comes is called once. Walks nest strictly.
  if (!mLinks || mLinks->listeners.empty()) return true;
  Links& links = *mLinks;  // lives as long as the plug: listeners cannot drop it
  ListenerWalk walk{static_cast<std::ptrdiff_t>(links.listeners.size()) - 1, links.listenerWalks};
  links.listenerWalks = &walk;
  bool accepted = true;
  while (walk.next >= 0) {
    VPlug* listener = links.listeners[static_cast<std::size_t>(walk.next)];
    --walk.next;
    if (!listener->PlugNotify(code, origin, data)) {
      accepted = false;
      break;
    }
  }
  links.listenerWalks = walk.outer;
  return accepted;
}

bool VPlug::Broadcast(int code, void* data) {
  if (mOwner && !HasPlugFlag(kPlugNoOwnerNotify)) return mOwner->PlugNotify(code, this, data);
  if (!NotifyListeners(code, this, data)) return false;
  return PlugNotify(code, this, data);
}
