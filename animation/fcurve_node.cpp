#include "animation/fcurve_node.h"

#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "core/evaluation_serial.h"

// A name held once for all the nodes that bear it, counted so that it goes
// when the last of them does.
struct VFCurveNode::SharedName {
  std::string text;
  size_t users;
};

namespace {

struct NameTable {
  std::mutex mutex;
  // Views of the names' own text.
  std::unordered_map<std::string_view, void*> names;
};

// Never destroyed: nodes may outlive static destruction.
NameTable& Names() {
  static NameTable* table = new NameTable;
  return *table;
}

}  // namespace

VFCurveNode::VFCurveNode(const std::string& name) {
  NameTable& table = Names();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto found = table.names.find(name);
  SharedName* shared;
  if (found != table.names.end()) {
    shared = static_cast<SharedName*>(found->second);
    ++shared->users;
  } else {
    shared = new SharedName{name, 1};
    table.names.emplace(std::string_view(shared->text), shared);
  }
  names_ = reinterpret_cast<uintptr_t>(shared);
}

VFCurveNode::~VFCurveNode() {
  if (Children* list = const_cast<Children*>(children())) {
    delete list->curve;
    for (uint32_t i = 0; i < list->count; ++i) delete list->items()[i];
    VPlugFree(list, ChildrenBytes(list->capacity));
  } else {
    delete reinterpret_cast<VFCurve*>(payload_);
  }
  SharedName* shared = shared_name();
  delete rare();
  NameTable& table = Names();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (--shared->users == 0) {
    table.names.erase(std::string_view(shared->text));
    delete shared;
  }
}

VFCurveNode::SharedName* VFCurveNode::shared_name() const {
  const Rare* r = rare();
  return r ? r->name : reinterpret_cast<SharedName*>(names_);
}

VFCurveNode::Rare& VFCurveNode::MakeRare() {
  if (names_ & kTag) return *reinterpret_cast<Rare*>(names_ & ~kTag);
  Rare* r = new Rare;
  r->name = reinterpret_cast<SharedName*>(names_);
  names_ = reinterpret_cast<uintptr_t>(r) | kTag;
  return *r;
}

const std::string& VFCurveNode::GetName() const { return shared_name()->text; }

const std::string& VFCurveNode::GetUserName() const {
  const Rare* r = rare();
  return r && !r->user_name.empty() ? r->user_name : shared_name()->text;
}

int VFCurveNode::GetTimeWarpId() const { return rare() ? rare()->time_warp_id : 0; }
int VFCurveNode::GetLayerId() const { return rare() ? rare()->layer_id : 0; }
int VFCurveNode::GetLayerType() const { return rare() ? rare()->layer_type : 0; }
VFCurveNode* VFCurveNode::GetLayer() const { return rare() ? rare()->layer.get() : nullptr; }

void VFCurveNode::SetTimeWarpId(int id) {
  if (id || rare()) MakeRare().time_warp_id = id;
}

void VFCurveNode::SetLayerId(int id) {
  if (id || rare()) MakeRare().layer_id = id;
}

void VFCurveNode::SetLayerType(int type) {
  if (type || rare()) MakeRare().layer_type = type;
}

void VFCurveNode::SetLayer(std::unique_ptr<VFCurveNode> layer) {
  if (layer || rare()) MakeRare().layer = std::move(layer);
}

void VFCurveNode::SetUserName(const std::string& name) {
  if (name.empty() && !rare()) return;  // nothing to keep
  MakeRare().user_name = name;
}

VFCurve* VFCurveNode::MakeCurve() {
  if (VFCurve* curve = GetCurve()) return curve;
  auto* curve = new VFCurve();
  if (payload_ & kTag) reinterpret_cast<Children*>(payload_ & ~kTag)->curve = curve;
  else payload_ = reinterpret_cast<uintptr_t>(curve);
  VAnimationDataAdvance();
  return curve;
}

VFCurveNode* VFCurveNode::GetChild(int index) const {
  const Children* list = children();
  return list && index >= 0 && static_cast<uint32_t>(index) < list->count ? list->items()[index] : nullptr;
}

VFCurveNode* VFCurveNode::FindChild(const std::string& name) const {
  const Children* list = children();
  if (!list) return nullptr;
  for (uint32_t i = 0; i < list->count; ++i) {
    if (list->items()[i]->GetName() == name) return list->items()[i];
  }
  return nullptr;
}

VFCurveNode* VFCurveNode::AddChild(std::unique_ptr<VFCurveNode> child) {
  if (!child) return nullptr;
  Children* list = const_cast<Children*>(children());
  if (!list || list->count == list->capacity) {
    // Grown a slot at a time while small (most nodes have three children
    // or four), by half beyond.
    // From the plugs' memory, like the nodes.
    const uint32_t had = list ? list->capacity : 0;
    const uint32_t capacity = had < 8 ? had + 1 : had + had / 2;
    auto* grown = static_cast<Children*>(VPlugTryAllocate(ChildrenBytes(capacity)));
    if (!grown) return nullptr;  // the child goes; the node keeps its own
    if (list) {
      std::memcpy(static_cast<void*>(grown), list, ChildrenBytes(list->count));
      VPlugFree(list, ChildrenBytes(had));
    } else {
      grown->curve = reinterpret_cast<VFCurve*>(payload_);
      grown->count = 0;
    }
    grown->capacity = capacity;
    list = grown;
    payload_ = reinterpret_cast<uintptr_t>(list) | kTag;
  }
  VFCurveNode* added = child.release();
  list->items()[list->count++] = added;
  VAnimationDataAdvance();
  return added;
}

int VFCurveNode::GetDataSize() const {
  const Children* list = children();
  if (!list || list->count == 0) return GetCurve() ? 1 : 0;
  int size = 0;
  for (uint32_t i = 0; i < list->count; ++i) size += list->items()[i]->GetDataSize();
  return size;
}

void VFCurveNode::SetTimeWarp(VTime offset, double scale) {
  Rare& r = MakeRare();
  r.has_warp = true;
  r.warp_offset = offset;
  r.warp_scale = scale;
  VAnimationDataAdvance();
}

bool VFCurveNode::HasTimeWarp() const {
  const Rare* r = rare();
  return r && r->has_warp;
}

const VFCurveNode::Rare* VFCurveNode::Warp() const {
  // A node without its own warp uses its first child's.
  const VFCurveNode* node = this;
  while (!node->HasTimeWarp() && node->GetChildCount() > 0) node = node->children()->items()[0];
  return node->HasTimeWarp() ? node->rare() : nullptr;
}

VTime VFCurveNode::GlobalToNode(VTime global) const {
  const Rare* warp = Warp();
  if (!warp) return global;
  VTime shifted = global - warp->warp_offset;
  double scale = warp->warp_scale == 0.0 ? 0.000001 : warp->warp_scale;
  if (scale == 1.0) return shifted;
  VTime node;
  node.SetSecondDouble(shifted.GetSecondDouble() / scale);
  return node;
}

VTime VFCurveNode::NodeToGlobal(VTime node) const {
  const Rare* warp = Warp();
  if (!warp) return node;
  if (warp->warp_scale == 1.0) return node + warp->warp_offset;
  VTime scaled;
  scaled.SetSecondDouble(node.GetSecondDouble() * warp->warp_scale);
  return scaled + warp->warp_offset;
}

int VFCurveNode::Evaluate(VTime time, double* out, int count) const {
  if (count <= 0) return 0;
  // Each warp along the path converts the time for the subtree below it.
  VTime local = time;
  if (names_ & kTag) {
    const Rare& r = *rare();
    if (r.has_warp) {
      VTime shifted = time - r.warp_offset;
      double scale = r.warp_scale == 0.0 ? 0.000001 : r.warp_scale;
      if (scale != 1.0) local.SetSecondDouble(shifted.GetSecondDouble() / scale);
      else local = shifted;
    }
  }
  const Children* list = children();
  if (!list || list->count == 0) {
    const VFCurve* curve = GetCurve();
    if (!curve) return 0;
    out[0] = curve->Evaluate(local, &cache_);
    return 1;
  }
  int written = 0;
  for (uint32_t i = 0; i < list->count; ++i) {
    written += list->items()[i]->Evaluate(local, out + written, count - written);
    if (written >= count) break;
  }
  return written;
}

bool VFCurveNode::ReadAnimatedValues(double* out, int count) const {
  if (!clock_) return false;
  return Evaluate(*clock_, out, count) == count;
}
