#pragma once
// A node of an animated property's tree. Leaves carry a curve; a vector
// property has one child per component ("X", "Y", "Z"), a model's
// transform groups "T", "R" and "S". A node with a time warp reads its
// subtree at (time - offset) / scale.

#include <memory>
#include <string>
#include <vector>

#include "animation/fcurve.h"
#include "core/property.h"
#include "core/time.h"

class VFCurveNode : public VAnimationSource {
 public:
  explicit VFCurveNode(const std::string& name) : name_(name) {}
  ~VFCurveNode() override;

  const std::string& GetName() const { return name_; }
  const std::string& GetUserName() const { return user_name_.empty() ? name_ : user_name_; }
  void SetUserName(const std::string& name) { user_name_ = name; }

  // The curve of a leaf; made on request.
  VFCurve* GetCurve() const { return curve_.get(); }
  VFCurve* MakeCurve();

  int GetChildCount() const { return static_cast<int>(children_.size()); }
  VFCurveNode* GetChild(int index) const;
  VFCurveNode* FindChild(const std::string& name) const;
  VFCurveNode* AddChild(std::unique_ptr<VFCurveNode> child);

  // Doubles the node reads: 1 for a leaf with a curve, else its children's.
  int GetDataSize() const;

  // Time warp: an offset and a scale (0 is taken as 0.000001).
  void SetTimeWarp(VTime offset, double scale);
  bool HasTimeWarp() const { return has_warp_; }
  VTime GlobalToNode(VTime global) const;
  VTime NodeToGlobal(VTime node) const;
  int time_warp_id = 0;
  int layer_id = 0;
  int layer_type = 0;
  std::unique_ptr<VFCurveNode> layer;

  // Evaluates the subtree at a time into out (GetDataSize() doubles at most
  // count); answers how many were written.
  int Evaluate(VTime time, double* out, int count) const;

  // The clock a bound property reads at: the player's current time.
  void SetClock(const VTime* clock) { clock_ = clock; }
  bool ReadAnimatedValues(double* out, int count) const override;

 private:
  std::string name_;
  std::string user_name_;
  std::unique_ptr<VFCurve> curve_;
  std::vector<std::unique_ptr<VFCurveNode>> children_;
  bool has_warp_ = false;
  VTime warp_offset_;
  double warp_scale_ = 1.0;
  const VTime* clock_ = nullptr;
  mutable int cache_ = 0;  // key cache of the curve: playback moves forward frame by frame
};
