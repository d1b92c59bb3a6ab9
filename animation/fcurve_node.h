#pragma once
// A node of an animated property's tree. Leaves carry a curve; a vector
// property has one child per component ("X", "Y", "Z"), a model's
// transform groups "T", "R" and "S". A node with a time warp reads its
// subtree at (time - offset) / scale.
//
// A scene holds many nodes, so a node is kept small: its name is shared
// with every node of the same name, its user name and time warp live in a
// record made only for the nodes that have them, and one word holds either
// its curve or its children.

#include <cstdint>
#include <memory>
#include <string>

#include "animation/fcurve.h"
#include "core/plug_memory.h"
#include "core/property.h"
#include "core/time.h"

class VFCurveNode : public VAnimationSource {
 public:
  explicit VFCurveNode(const std::string& name);
  ~VFCurveNode() override;
  // A scene holds them by the ten thousand: from the plugs' memory.
  static void* operator new(std::size_t size) { return VPlugAllocate(size); }
  static void operator delete(void* memory, std::size_t size) { VPlugFree(memory, size); }
  VFCurveNode(const VFCurveNode&) = delete;
  VFCurveNode& operator=(const VFCurveNode&) = delete;

  const std::string& GetName() const;
  // The name the user gave, or the name when none was given.
  const std::string& GetUserName() const;
  // An empty name gives the node's name back.
  void SetUserName(const std::string& name);

  // The curve of a leaf; made on request.
  VFCurve* GetCurve() const {
    return (payload_ & kTag) ? reinterpret_cast<const Children*>(payload_ & ~kTag)->curve
                             : reinterpret_cast<VFCurve*>(payload_);
  }
  VFCurve* MakeCurve();

  int GetChildCount() const {
    return (payload_ & kTag) ? static_cast<int>(reinterpret_cast<const Children*>(payload_ & ~kTag)->count) : 0;
  }
  VFCurveNode* GetChild(int index) const;
  VFCurveNode* FindChild(const std::string& name) const;
  // Null when the child is null or memory runs out (the child is then
  // deleted).
  VFCurveNode* AddChild(std::unique_ptr<VFCurveNode> child);

  // Doubles the node reads: 1 for a leaf with a curve, else its children's.
  int GetDataSize() const;

  // Time warp: an offset and a scale (0 is taken as 0.000001).
  void SetTimeWarp(VTime offset, double scale);
  bool HasTimeWarp() const;
  VTime GlobalToNode(VTime global) const;
  VTime NodeToGlobal(VTime node) const;

  // Stored identifiers and a layer node, which few nodes have (0 and null
  // when none).
  int GetTimeWarpId() const;
  void SetTimeWarpId(int id);
  int GetLayerId() const;
  void SetLayerId(int id);
  int GetLayerType() const;
  void SetLayerType(int type);
  VFCurveNode* GetLayer() const;
  void SetLayer(std::unique_ptr<VFCurveNode> layer);

  // Evaluates the subtree at a time into out (GetDataSize() doubles at most
  // count); answers how many were written.
  int Evaluate(VTime time, double* out, int count) const;

  // The clock a bound property reads at: the player's current time.
  void SetClock(const VTime* clock) { clock_ = clock; }
  bool ReadAnimatedValues(double* out, int count) const override;

 private:
  static constexpr uintptr_t kTag = 1;
  struct SharedName;
  // What few nodes have.
  struct Rare {
    SharedName* name;
    std::string user_name;
    bool has_warp = false;
    VTime warp_offset;
    double warp_scale = 1.0;
    int time_warp_id = 0;
    int layer_id = 0;
    int layer_type = 0;
    std::unique_ptr<VFCurveNode> layer;
  };
  // The children, and the curve of a node that has both.
  struct Children {
    VFCurve* curve;
    uint32_t count;
    uint32_t capacity;
    VFCurveNode** items() { return reinterpret_cast<VFCurveNode**>(this + 1); }
    VFCurveNode* const* items() const { return reinterpret_cast<VFCurveNode* const*>(this + 1); }
  };
  static std::size_t ChildrenBytes(uint32_t capacity) { return sizeof(Children) + capacity * sizeof(VFCurveNode*); }

  const Rare* rare() const { return (names_ & kTag) ? reinterpret_cast<const Rare*>(names_ & ~kTag) : nullptr; }
  SharedName* shared_name() const;
  Rare& MakeRare();
  const Children* children() const {
    return (payload_ & kTag) ? reinterpret_cast<const Children*>(payload_ & ~kTag) : nullptr;
  }
  // The node whose warp applies to this one: itself, or down its first
  // children; null when none has a warp.
  const Rare* Warp() const;

  mutable int cache_ = 0;  // key cache of the curve: playback moves forward frame by frame
  uintptr_t names_;        // SharedName*, or Rare* tagged with kTag
  uintptr_t payload_ = 0;  // VFCurve* (or 0), or Children* tagged with kTag
  const VTime* clock_ = nullptr;
};
