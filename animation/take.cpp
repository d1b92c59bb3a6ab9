#include "animation/take.h"

#include "core/object.h"
#include "core/property.h"

VTake::~VTake() { Unbind(); }

namespace {

// Below this many models a take is searched in order.
constexpr std::size_t kIndexFrom = 16;

std::size_t HashOf(const std::string& name) { return std::hash<std::string>()(name); }

}  // namespace

VTake::ModelAnimation* VTake::AddModel(const std::string& full_name) {
  if (ModelAnimation* found = FindModel(full_name)) return found;
  models_.push_back(std::make_unique<ModelAnimation>(ModelAnimation{full_name, {}}));
  if (models_.size() >= kIndexFrom) IndexModel(static_cast<std::uint32_t>(models_.size() - 1));
  return models_.back().get();
}

void VTake::IndexModel(std::uint32_t position) {
  // At most half full: a table twice the size is made when it would be
  // more, holding every model again.
  if (2 * models_.size() > index_.size()) {
    std::size_t size = 2 * kIndexFrom;
    while (size < 2 * models_.size()) size *= 2;
    index_.assign(size, 0);
    for (std::uint32_t p = 0; p < models_.size(); ++p) {
      if (p != position) IndexModel(p);
    }
  }
  const std::size_t mask = index_.size() - 1;
  for (std::size_t slot = HashOf(models_[position]->model) & mask;; slot = (slot + 1) & mask) {
    if (index_[slot] == 0) {
      index_[slot] = position + 1;
      return;
    }
  }
}

VTake::ModelAnimation* VTake::FindModel(const std::string& full_name) {
  if (index_.empty()) {
    for (const auto& m : models_) {
      if (m->model == full_name) return m.get();
    }
    return nullptr;
  }
  const std::size_t mask = index_.size() - 1;
  for (std::size_t slot = HashOf(full_name) & mask; index_[slot] != 0; slot = (slot + 1) & mask) {
    ModelAnimation* m = models_[index_[slot] - 1].get();
    if (m->model == full_name) return m;
  }
  return nullptr;
}

std::string VTakeChannelProperty(const std::string& parent, const std::string& channel) {
  if (parent == "Transform") {
    if (channel == "T") return "Lcl Translation";
    if (channel == "R") return "Lcl Rotation";
    if (channel == "S") return "Lcl Scaling";
  }
  return channel;
}

void VTake::Bind(const Resolver& resolve, const VTime* clock) {
  Unbind();
  // Every (property, node) pair first, so that the channel records can be
  // laid out in one array that never moves.
  std::vector<std::pair<VProperty*, VFCurveNode*>> pairs;
  auto add = [&pairs](VObject* object, const std::string& property_name, VFCurveNode* node) {
    VProperty* property = object->FindProperty(property_name);
    // A node feeds a property only when it gives as many doubles as it holds.
    if (!property || !property->IsAnimatable() || node->GetDataSize() != property->GetDoubleCount()) return;
    pairs.emplace_back(property, node);
  };
  for (const auto& model : models_) {
    VObject* object = resolve(model->model);
    if (!object) continue;
    for (const auto& channel : model->channels) {
      if (channel->GetName() == "Transform") {
        for (int i = 0; i < channel->GetChildCount(); ++i) {
          VFCurveNode* child = channel->GetChild(i);
          add(object, VTakeChannelProperty("Transform", child->GetName()), child);
        }
      } else {
        add(object, channel->GetName(), channel.get());
      }
    }
  }
  // Channels held constant (every curve with one key at most) take no
  // entries here: they are read as values.
  size_t flat = 0, entries = 0;
  for (const auto& [property, node] : pairs) {
    flat += VBoundChannel::CanFlatten(*node) ? 1 : 0;
    entries += static_cast<size_t>(VBoundChannel::EntriesToPlay(*node));
  }
  bound_channels_.reserve(flat);
  bound_entries_.resize(entries);
  size_t next = 0;
  for (const auto& [property, node] : pairs) {
    node->SetClock(clock);
    if (VBoundChannel::CanFlatten(*node)) {
      const int room = VBoundChannel::EntriesToPlay(*node);
      bound_channels_.emplace_back(node, clock, room ? &bound_entries_[next] : nullptr, room);
      next += static_cast<size_t>(room);
      property->SetAnimationNode(&bound_channels_.back());
    } else {
      property->SetAnimationNode(node);
    }
    bound_properties_.push_back(property);
  }
  bound_ = true;
}

void VTake::Unbind() {
  for (VProperty* property : bound_properties_) property->SetAnimationNode(nullptr);
  bound_properties_.clear();
  bound_channels_.clear();
  bound_entries_.clear();
  bound_ = false;
}
