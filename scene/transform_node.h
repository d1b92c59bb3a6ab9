#pragma once
// A node of the transform hierarchy: every model with a place in the scene
// (null, joint, marker, mesh, camera, light). It owns the transform
// properties, has one parent (an "OO" connection from the child to the
// parent) and answers local and global translation, rotation, scaling and
// matrices from a per-node cache stamped with the evaluation serial number.
//
// Matrices are row-vector (p' = p * M): the local matrix's rows 0-2 are
// scaling then rotation, row 3 the translation with the pivot correction.

#include <cstdint>
#include <memory>
#include <string>

#include "core/property.h"
#include "scene/evaluate_info.h"
#include "scene/matrix.h"
#include "scene/rotation.h"
#include "scene/scene_object.h"
#include "scene/transform_records.h"

// What a query asks for (the values match the engine's query codes).
enum VTransformItem : int {
  kVTransformMatrix = 1,            // local matrix (space 0)
  kVTransformTranslation = 2,
  kVTransformRotation = 4,
  kVTransformScaling = 8,
  kVTransformGlobalMatrix = 16,     // global matrix (space 1)
  kVTransformGlobalGeometric = 17,  // global matrix with the geometric offset
};

enum VTransformSpace : int { kVSpaceLocal = 0, kVSpaceGlobal = 1 };

// "InheritType" values.
enum VInheritType : int {
  kVInheritRrSs = 0,  // "Local (RrSs)"
  kVInheritRSrs = 1,  // "Parent (RSrs)"
  kVInheritRrs = 2,   // "None (Rrs)"
};

class VTransformNode : public VSceneObject {
 public:
  VTransformNode(const std::string& type_name, const std::string& name, const std::string& subtype);

  // --- hierarchy --------------------------------------------------------------
  // The first transform node among the destinations; null for a root.
  VTransformNode* GetParent() const;
  // Connects this node under `parent` (null: makes it a root). Refuses a
  // parent that is this node or one of its descendants.
  bool SetParent(VTransformNode* parent);
  int GetChildCount() const;
  VTransformNode* GetChild(int index) const;

  // --- queries ----------------------------------------------------------------
  // The engine's query form: a pointer into the cache (YrMatrix for 1, 16
  // and 17, YrVector4<double> for 2, YrVector3<double> for 4 and 8); null for
  // an unknown item. Valid until the next query of this node.
  const void* Query(int what, int space, const VEvaluateInfo& info = VEvaluateInfo::Default()) const;

  const YrSDK::YrMatrix& GetMatrix(int space, const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  const YrSDK::YrMatrix& GetGlobalGeometricMatrix(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // Translation (w = 1), Euler rotation in the node's order (degrees),
  // scaling; in global space these are read back from the global transform.
  const YrSDK::YrVector4<double>& GetTranslation(int space, const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  const YrSDK::YrVector3<double>& GetRotation(int space, const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  const YrSDK::YrSVector& GetScaling(int space, const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // Rotation alone (rows 0-2 unit axes, no translation).
  const YrSDK::YrMatrix& GetRotationMatrix(int space, const VEvaluateInfo& info = VEvaluateInfo::Default()) const;

  // --- setting ----------------------------------------------------------------
  // A translation as the local matrix holds it (pivot correction included)
  // or as a global position; both end in "Lcl Translation" with the
  // translation limits applied.
  void SetTranslation(int space, const YrSDK::YrVector4<double>& t, const VEvaluateInfo& info = VEvaluateInfo::Default());
  // Euler angles in the node's order (local), or a global rotation taken
  // back into the parent's space.
  void SetRotation(int space, const YrSDK::YrVector3<double>& r, const VEvaluateInfo& info = VEvaluateInfo::Default());
  void SetScaling(const YrSDK::YrSVector& s);

  // --- state ------------------------------------------------------------------
  YrSDK::YrRotationOrder GetRotationOrder() const;
  int GetInheritType() const;
  bool HasGeometricOffset() const;
  // Drawn when "Show" is on and "Visibility" is at least 0.5; a child's
  // visibility does not follow its parent's.
  bool IsVisible() const;
  // Nodes with alternate evaluation keep a cache slot per alternate context.
  void SetAlternateEvaluation(bool on) { alternate_ = on; }

  // The limit, pivot and rotation records built from the properties.
  const VTransformLimit& GetLimit(int channel) const;  // 0 T, 1 R, 2 S
  const VTransformPivots& GetPivots() const;
  const VTransformRotationRecord& GetRotationRecord() const;

  bool PlugNotify(int code, VPlug* partner, void* data) override;

  // The properties, in the order they are created, by position: every
  // transform node makes them first, the same way. They are made on request
  // (most stay at their defaults); the accessors below make the one asked
  // for, and evaluation reads the others' values without making them.
  enum Position : int {
    kQuaternionInterpolate = 0,
    kVisibility,
    kTranslation,
    kRotation,
    kScaling,
    kRotationOffset,
    kRotationPivot,
    kScalingOffset,
    kScalingPivot,
    kRotationPivotUpdateOffset,
    kScalingPivotUpdateOffset,
    kTranslationLimits,  // "...Active", "...Min", "...Max", then MinX ... MaxZ
    kRotationOrder = kTranslationLimits + 9,
    kRotationSpaceForLimitOnly,
    kAxisLen,
    kPreRotation,
    kPostRotation,
    kRotationLimits,  // "...Active", "...Min", "...Max"
    kRotationStiffness = kRotationLimits + 3,  // X, Y, Z
    kRotationLimitEnables = kRotationStiffness + 3,  // MinX ... MaxZ
    kInheritType = kRotationLimitEnables + 6,
    kScalingLimits,  // as the translation's
    kGeometricTranslation = kScalingLimits + 9,
    kGeometricRotation,
    kGeometricScaling,
    kDisplayVisibilities,  // "PivotsVisibility" and seven more
    kReferentialSize = kDisplayVisibilities + 8,
    kLookAt,
    kUpVector,
    kShow,
    kPickable,
    kTransformable,
    kCullingMode,
    kShowTrajectories,
    kTransformPropertyCount,
  };
  VPropertyBool* QuaternionInterpolateProperty() const { return At<VPropertyBool>(kQuaternionInterpolate); }
  VPropertyDouble* VisibilityProperty() const { return At<VPropertyDouble>(kVisibility); }
  VPropertyDouble3* TranslationProperty() const { return At<VPropertyDouble3>(kTranslation); }
  VPropertyDouble3* RotationProperty() const { return At<VPropertyDouble3>(kRotation); }
  VPropertyDouble3* ScalingProperty() const { return At<VPropertyDouble3>(kScaling); }
  VPropertyDouble3* RotationOffsetProperty() const { return At<VPropertyDouble3>(kRotationOffset); }
  VPropertyDouble3* RotationPivotProperty() const { return At<VPropertyDouble3>(kRotationPivot); }
  VPropertyDouble3* ScalingOffsetProperty() const { return At<VPropertyDouble3>(kScalingOffset); }
  VPropertyDouble3* ScalingPivotProperty() const { return At<VPropertyDouble3>(kScalingPivot); }
  VPropertyInt* RotationOrderProperty() const { return At<VPropertyInt>(kRotationOrder); }
  VPropertyBool* RotationSpaceForLimitOnlyProperty() const { return At<VPropertyBool>(kRotationSpaceForLimitOnly); }
  VPropertyDouble3* PreRotationProperty() const { return At<VPropertyDouble3>(kPreRotation); }
  VPropertyDouble3* PostRotationProperty() const { return At<VPropertyDouble3>(kPostRotation); }
  VPropertyInt* InheritTypeProperty() const { return At<VPropertyInt>(kInheritType); }
  VPropertyDouble3* GeometricTranslationProperty() const { return At<VPropertyDouble3>(kGeometricTranslation); }
  VPropertyDouble3* GeometricRotationProperty() const { return At<VPropertyDouble3>(kGeometricRotation); }
  VPropertyDouble3* GeometricScalingProperty() const { return At<VPropertyDouble3>(kGeometricScaling); }
  VPropertyObject* LookAtProperty() const { return At<VPropertyObject>(kLookAt); }
  VPropertyObject* UpVectorProperty() const { return At<VPropertyObject>(kUpVector); }
  VPropertyBool* ShowProperty() const { return At<VPropertyBool>(kShow); }
  // A channel's limits (0 translation, 1 rotation, 2 scaling): "...Active",
  // "...Min", "...Max" and the six per-axis enables MinX, MinY, MinZ, MaxX,
  // MaxY, MaxZ.
  static int LimitActivePosition(int channel) { return kLimitStart[channel]; }
  static int LimitMinPosition(int channel) { return kLimitStart[channel] + 1; }
  static int LimitMaxPosition(int channel) { return kLimitStart[channel] + 2; }
  static int LimitEnablePosition(int channel, int bit) { return kLimitEnableStart[channel] + bit; }
  VPropertyBool* LimitActiveProperty(int channel) const { return At<VPropertyBool>(LimitActivePosition(channel)); }
  VPropertyDouble3* LimitMinProperty(int channel) const { return At<VPropertyDouble3>(LimitMinPosition(channel)); }
  VPropertyDouble3* LimitMaxProperty(int channel) const { return At<VPropertyDouble3>(LimitMaxPosition(channel)); }
  VPropertyBool* LimitEnableProperty(int channel, int bit) const {
    return At<VPropertyBool>(LimitEnablePosition(channel, bit));
  }

 protected:
  // The cache slot a context uses on this node; classes with caches of
  // their own (cameras) pick theirs the same way.
  int SlotOf(const VEvaluateInfo& info) const;

 private:
  static constexpr int kLimitStart[3] = {kTranslationLimits, kRotationLimits, kScalingLimits};
  static constexpr int kLimitEnableStart[3] = {kTranslationLimits + 3, kRotationLimitEnables, kScalingLimits + 3};
  template <class P>
  P* At(int position) const {
    return static_cast<P*>(GetProperty(position));
  }

  struct LocalBlock {
    std::uint64_t stamp = 0;
    // The local matrix (among the read-backs) is made from the rest when
    // first asked for: a node with a parent needs only the rest for its
    // global transform.
    bool matrix_made = false;
    YrSDK::YrVector4<double> translation{0, 0, 0, 1};  // with the pivot correction
    YrSDK::YrVector3<double> rotation;
    YrSDK::YrMatrix rotation_matrix;
    YrSDK::YrSVector scaling{1, 1, 1};
  };
  struct GlobalBlock {
    std::uint64_t stamp = 0;           // matrix, rotation matrix, scaling, translation
    bool euler_made = false;           // the Euler angles among the read-backs
    bool sheared = false;              // "Parent (RSrs)": R and S read back from the matrix
    YrSDK::YrVector4<double> translation{0, 0, 0, 1};
    YrSDK::YrMatrix rotation_matrix;
    YrSDK::YrSVector scaling{1, 1, 1};
    YrSDK::YrMatrix matrix;
  };
  // What is asked for now and then only, made for a node on the first
  // request, per cache slot.
  struct Readback {
    YrSDK::YrMatrix local_matrix;
    YrSDK::YrVector3<double> global_rotation;
  };
  Readback& ReadbackOf(int slot) const {
    if (!readbacks_) readbacks_ = std::make_unique<Readback[]>(kVEvaluateSlotCount);
    return readbacks_[slot];
  }
  static void BuildLocalMatrix(YrSDK::YrMatrix& out, const LocalBlock& block);

  void RefreshGraph() const;
  void RefreshRecords() const;
  const LocalBlock& Local(int slot, std::uint64_t serial) const;
  // The local matrix of the block Local answered for the slot.
  const YrSDK::YrMatrix& LocalMatrix(int slot, const LocalBlock& block) const;
  const GlobalBlock& Global(int slot, std::uint64_t serial) const;
  void ComputeLocal(LocalBlock& out, int slot, std::uint64_t serial) const;
  // Translation, rotation or scaling (0, 1, 2) as it reads now, finite.
  YrSDK::YrVector3<double> Current(int channel) const;
  void ComputeGlobal(GlobalBlock& out, const LocalBlock& local, const GlobalBlock* parent) const;
  // The rotation from the look-at target, as a local rotation matrix; false
  // when the node aims at nothing.
  bool LookAtRotation(YrSDK::YrMatrix& out, const YrSDK::YrVector4<double>& local_translation, int slot,
                      std::uint64_t serial) const;
  YrSDK::YrVector3<double> PivotCorrection(const YrSDK::YrSVector& s, const YrSDK::YrMatrix& r) const;

  struct SlotCache {
    LocalBlock local;
    GlobalBlock global;
  };
  // The default context's slot lives in the node; the other slots are made
  // on their first use, which keeps the node small.
  SlotCache& CacheOf(int slot) const {
    if (slot == 0) return slot0_;
    if (!other_slots_) other_slots_ = std::make_unique<SlotCache[]>(kVEvaluateSlotCount - 1);
    return other_slots_[slot - 1];
  }

  // What every evaluation reads comes first and together: a large hierarchy
  // is evaluated from memory, one node after another.
  // Derived from the connections, looked up again when they change.
  mutable std::uint64_t graph_stamp_ = 0;
  mutable VTransformNode* parent_ = nullptr;
  mutable VTransformNode* look_at_ = nullptr;
  mutable VTransformNode* up_vector_ = nullptr;
  // Built from the non-animated properties when one of them changes.
  mutable bool records_dirty_ = true;
  mutable bool has_geometric_ = false;
  mutable bool limit_space_only_ = false;
  // Guards against look-at chains that come back to this node.
  mutable bool aiming_ = false;
  bool alternate_ = false;
  mutable YrSDK::YrRotationOrder order_ = YrSDK::kYrEulerXYZ;
  mutable int inherit_type_ = kVInheritRrSs;
  // Marks the nodes of one parent walk.
  mutable std::uint64_t walk_mark_ = 0;
  // "Lcl Translation", "Lcl Rotation", "Lcl Scaling" while no animation
  // feeds them (finite), so that evaluation need not visit the properties;
  // while animated, the source they read (asked directly: one visit less).
  mutable const VAnimationSource* source_[3] = {nullptr, nullptr, nullptr};
  mutable YrSDK::YrVector3<double> static_[3];
  // Non-zero while a channel whose source is constant is kept in static_:
  // the animation data serial it was read at.
  mutable std::uint64_t constant_serial_ = 0;
  // The flags of the limit and pivot records; the records themselves are
  // among the extras (a node without limits or pivots has none).
  mutable std::uint32_t limit_flags_[3] = {0, 0, 0};
  mutable std::uint32_t pivot_flags_ = 0;
  mutable SlotCache slot0_;
  mutable std::unique_ptr<SlotCache[]> other_slots_;
  mutable std::unique_ptr<Readback[]> readbacks_;
  // What few nodes have, made for those only: limit records, pivots, a
  // rotation record other than the plain one (pre or post rotation, an
  // order other than XYZ), and a geometric offset with its global matrix
  // per cache slot.
  struct Extras {
    VTransformLimit limits[3];
    VTransformPivots pivots;
    VTransformRotationRecord rotation_record;
    YrSDK::YrMatrix geometric_offset;
    YrSDK::YrMatrix geometric[kVEvaluateSlotCount];
    std::uint64_t geometric_stamp[kVEvaluateSlotCount] = {};
  };
  mutable std::unique_ptr<Extras> extras_;
  // The records evaluation reads (after RefreshRecords): the node's, or
  // the default ones.
  const VTransformRotationRecord& RotationRecord() const;
  const VTransformLimit& Limit(int channel) const;
  const VTransformPivots& Pivots() const;

};
