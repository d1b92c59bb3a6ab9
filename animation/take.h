#pragma once
// A take: one version of the scene's animation with its own time span.
// It holds, per animated model, the animation node trees of the model's
// properties; while the take is current, those nodes feed the properties.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "animation/bound_channel.h"
#include "animation/fcurve_node.h"
#include "core/time_span.h"

class VObject;
class VProperty;

class VTake {
 public:
  explicit VTake(const std::string& name) : name_(name) {}
  ~VTake();
  VTake(const VTake&) = delete;
  VTake& operator=(const VTake&) = delete;

  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  VTimeSpan local_span;
  VTimeSpan reference_span;
  std::string comments;
  std::string file_name;

  // The animation of one model: its property channels (the "Transform"
  // channel holds "T", "R" and "S").
  struct ModelAnimation {
    const std::string model;  // full name, "Model::Cube"
    std::vector<std::unique_ptr<VFCurveNode>> channels;
  };
  ModelAnimation* AddModel(const std::string& full_name);
  ModelAnimation* FindModel(const std::string& full_name);
  const std::vector<std::unique_ptr<ModelAnimation>>& models() const { return models_; }

  // Gives each animated property of the scene its node (found through
  // resolve) reading at the clock; Unbind takes them back.
  using Resolver = std::function<VObject*(const std::string& full_name)>;
  void Bind(const Resolver& resolve, const VTime* clock);
  void Unbind();
  bool IsBound() const { return bound_; }

 private:
  std::string name_;
  std::vector<std::unique_ptr<ModelAnimation>> models_;
  // Open addressing by the hash of the full name: position + 1 in models_
  // (0: empty); made once the take holds more than a few models.
  std::vector<std::uint32_t> index_;
  void IndexModel(std::uint32_t position);
  std::vector<VProperty*> bound_properties_;
  // One record per flattened channel, side by side in binding order so that
  // playback reads them as one stream.
  std::vector<VBoundChannel> bound_channels_;
  // Their entries, side by side in the same order.
  std::vector<VBoundChannel::Entry> bound_entries_;
  bool bound_ = false;
};

// The property a channel of a model animates: "T", "R", "S" under
// "Transform" map to "Lcl Translation", "Lcl Rotation", "Lcl Scaling".
std::string VTakeChannelProperty(const std::string& parent, const std::string& channel);
