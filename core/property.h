#pragma once
// Typed property of an object: a plug with a definition record (name, type
// id, definition flags, range, enumeration items), instance flags and a value
// held by the concrete class, exchanged through GetData/SetData (a buffer and
// its byte size) and through the double / integer / text conversions.
//
// Storage by type (GetData/SetData byte layout):
//   animatable (any type)        doubles: VPropertyT<double | VDouble3 | VDouble4>
//   int, enum                    int32_t          VPropertyT<std::int32_t>
//   bool, Action                 one byte 0 / 1   VPropertyT<std::uint8_t>
//   float / double               float / double   VPropertyT<float | double>
//   time                         int64_t ticks    VPropertyT<std::int64_t>
//   Vector3d, ColorRGB           3 doubles        VPropertyT<VDouble3>
//   Vector4d, ColorRGBA          4 doubles        VPropertyT<VDouble4>
//   charptr, String              characters       VPropertyText
//   stringlist                   -                VPropertyStringList
//   object, Reference            its sources      VPropertyObject
//   event, VectorElement         none             VProperty

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "core/plug.h"
#include "core/property_definition.h"
#include "core/property_type.h"

class VObject;

// What an animated property reads its value from (an animation node, supplied
// by the animation layer). Not owned by the property: whoever installs it
// removes it (SetAnimationNode(nullptr)) before it dies.
class VAnimationSource {
 public:
  virtual ~VAnimationSource() = default;
  // Writes `count` doubles of the current value; false to fall back on the
  // property's stored doubles.
  virtual bool ReadAnimatedValues(double* out, int count) const = 0;
  // Whether the values stay the same at every time for as long as the
  // animation data does not change (then `out` holds them): a reader may
  // then keep them instead of asking at every evaluation.
  virtual bool ReadConstantValues(double* /*out*/, int /*count*/) const { return false; }
};

class VProperty : public VPlug {
 public:
  // With a definition of its own.
  VProperty(const std::string& name, int type, std::uint32_t definitionFlags = 0);
  // With a shared definition that outlives the property; the property makes
  // a copy of its own when it changes it (rename, range, items).
  explicit VProperty(const VPropertyDefinition* shared);
  ~VProperty() override;

  // Makes the property class that fits the type and flags.
  static std::unique_ptr<VProperty> Create(const std::string& name, int type,
                                           std::uint32_t definitionFlags = 0);

  int GetClassId() const override;

  // --- identity -------------------------------------------------------------
  const std::string& GetName() const { return mDefinition->mName; }
  // Broadcasts 25 (refusable) then, once stored, 26. With makeUnique a number
  // is appended until no other property of the object has the name; without
  // it a name taken by a sibling is refused.
  bool SetName(const std::string& name, bool makeUnique = false);
  // The object the property belongs to (its owner plug while it is in one).
  VObject* GetOwnerObject() const;

  // --- definition -------------------------------------------------------------
  int GetType() const { return mDefinition->mType; }
  const char* GetTypeName() const { return VPropertyTypeName(mDefinition->mType); }
  const VPropertyDefinition& GetDefinition() const { return *mDefinition; }
  bool HasSharedDefinition() const { return !mOwnsDefinition; }
  std::uint32_t GetDefinitionFlags() const { return mDefinition->mFlags; }
  bool TestDefinitionFlag(std::uint32_t bit) const { return (mDefinition->mFlags & bit) != 0; }
  bool IsAnimatable() const { return TestDefinitionFlag(kPropertyDefAnimatable); }
  bool IsList() const { return TestDefinitionFlag(kPropertyDefList); }
  bool IsObjectList() const { return TestDefinitionFlag(kPropertyDefObjectList); }
  bool IsUserProperty() const { return TestDefinitionFlag(kPropertyDefUser); }
  bool IsReference() const { return mDefinition->mType == kPropertyTypeReference; }

  double GetMin() const { return mDefinition->mMin; }
  double GetMax() const { return mDefinition->mMax; }
  // A change broadcasts 29 (definition changed); equal values do nothing.
  void SetMinMax(double min, double max);
  void SetMin(double min) { SetMinMax(min, mDefinition->mMax); }
  void SetMax(double max) { SetMinMax(mDefinition->mMin, max); }

  // The item list, created empty on first request.
  std::vector<std::string>& GetEnumItems();
  // Item i's text; "" when out of range.
  std::string GetEnumItem(int index) const;
  int GetEnumItemCount() const;
  // Replaces the items; a change broadcasts 29.
  void SetEnumItems(const std::vector<std::string>& items);
  // Index of the item with exactly this text; -1 when none.
  int FindEnumItem(const std::string& text) const;

  // --- instance flags -----------------------------------------------------------
  std::uint32_t GetFlags() const { return mFlags; }
  void SetFlags(std::uint32_t flags) { mFlags = flags; }
  void SetFlag(std::uint32_t bit, bool on) { mFlags = on ? (mFlags | bit) : (mFlags & ~bit); }
  bool TestFlag(std::uint32_t bit) const { return (mFlags & bit) != 0; }
  bool IsReadOnly() const { return TestFlag(kPropertyReadOnly); }

  // --- raw value ------------------------------------------------------------------
  // Byte size of the data exchanged by GetData/SetData (0: none).
  virtual std::size_t GetDataSize() const { return 0; }
  // Both answer false when the size does not match or the class holds no
  // data. Setting the current value changes nothing and notifies nobody;
  // a change broadcasts 27 (value changed).
  virtual bool GetData(void* buffer, std::size_t size) const;
  virtual bool SetData(const void* buffer, std::size_t size);

  // --- conversions (false when the type does not support them) -------------------
  bool GetDouble(double& value) const;
  double GetDoubleValue() const {
    double v = 0.0;
    GetDouble(v);
    return v;
  }
  bool SetDouble(double value);
  bool GetInt(int& value) const;
  int GetIntValue() const {
    int v = 0;
    GetInt(v);
    return v;
  }
  bool SetInt(int value);
  // The type's text form; "?" for types without one.
  std::string GetText() const;
  // Only charptr and String accept text.
  bool SetText(const std::string& text);

  // Doubles of an animatable, vector or colour property (count 1, 3 or 4).
  int GetDoubleCount() const;
  bool GetDoubles(double* out, int count) const;
  bool SetDoubles(const double* values, int count);

  // --- animation ----------------------------------------------------------------
  // A change of source is a change of value: it is broadcast (code 27).
  void SetAnimationNode(VAnimationSource* node) {
    if (node == mAnimation) return;
    mAnimation = node;
    ValueChanged();
  }
  VAnimationSource* GetAnimationNode() const { return mAnimation; }
  bool IsAnimated() const { return GetAnimationNode() != nullptr; }

 protected:
  // Broadcasts the value change (code 27).
  void ValueChanged();
  // For a class of the given size whose destruction does nothing but
  // release the property's memory (its value needs no destruction).
  void SetPlainSize(std::size_t size) {
    mPlainSize = size / 8 <= 255 && size % 8 == 0 ? static_cast<std::uint8_t>(size / 8) : 0;
  }

 private:
  friend class VObject;

  // A property its object may drop without destroying it: nothing refers
  // to it, it owns nothing, and its class says destruction does nothing.
  bool Droppable() const {
    return mPlainSize != 0 && !mOwnsDefinition && !HasLinks() && !GetOwner();
  }

  // The definition to change: made the property's own first when shared.
  VPropertyDefinition& OwnDefinition();

  // The small members first: they fill the end of the plug's last word.
  bool mOwnsDefinition;
  bool mInObject = false;  // added to an object, which is then the owner
  std::uint8_t mPlainSize = 0;  // see SetPlainSize; 0: destroy as usual
  std::uint32_t mFlags = 0;
  const VPropertyDefinition* mDefinition;
  VAnimationSource* mAnimation = nullptr;
};

// A property holding one trivially copyable value. Final: its objects may
// drop it without destroying it (SetPlainSize), which a class deriving
// from it with members of its own could not allow.
template <class T>
class VPropertyT final : public VProperty {
  static_assert(std::is_trivially_destructible_v<T>, "the value needs no destruction");

 public:
  VPropertyT(const std::string& name, int type, std::uint32_t definitionFlags = 0,
             const T& initial = T{})
      : VProperty(name, type, definitionFlags), mValue(initial) {
    SetPlainSize(sizeof(VPropertyT));
  }
  explicit VPropertyT(const VPropertyDefinition* shared, const T& initial = T{})
      : VProperty(shared), mValue(initial) {
    SetPlainSize(sizeof(VPropertyT));
  }

  // The current value; an animated property reads its animation node.
  T Get() const {
    T value = mValue;
    if constexpr (std::is_same_v<T, double> || std::is_same_v<T, VDouble3> ||
                  std::is_same_v<T, VDouble4>) {
      if (GetAnimationNode()) {
        T animated{};
        if (GetAnimationNode()->ReadAnimatedValues(reinterpret_cast<double*>(&animated),
                                                   static_cast<int>(sizeof(T) / sizeof(double))))
          value = animated;
      }
    }
    return value;
  }
  // Answers true; an equal value notifies nobody.
  bool Set(const T& value) { return SetData(&value, sizeof(T)); }
  // The value a property made on request starts with; notifies nobody.
  void InitialiseValue(const void* bytes) { std::memcpy(&mValue, bytes, sizeof(T)); }

  std::size_t GetDataSize() const override { return sizeof(T); }
  bool GetData(void* buffer, std::size_t size) const override {
    if (!buffer || size != sizeof(T)) return false;
    const T value = Get();
    std::memcpy(buffer, &value, sizeof(T));
    return true;
  }
  bool SetData(const void* buffer, std::size_t size) override {
    if (!buffer || size != sizeof(T)) return false;
    if (std::memcmp(&mValue, buffer, sizeof(T)) == 0) return true;
    std::memcpy(&mValue, buffer, sizeof(T));
    ValueChanged();
    return true;
  }

 private:
  T mValue;
};

using VPropertyInt = VPropertyT<std::int32_t>;
using VPropertyBool = VPropertyT<std::uint8_t>;
using VPropertyFloat = VPropertyT<float>;
using VPropertyDouble = VPropertyT<double>;
using VPropertyTime = VPropertyT<std::int64_t>;
using VPropertyDouble3 = VPropertyT<VDouble3>;
using VPropertyDouble4 = VPropertyT<VDouble4>;

// charptr and String: the characters, exchanged as a NUL-terminated buffer.
class VPropertyText : public VProperty {
 public:
  using VProperty::VProperty;
  const std::string& Get() const { return mText; }
  bool Set(const std::string& text);
  std::size_t GetDataSize() const override { return mText.size() + 1; }
  // Copies the characters and a terminating NUL; false when it does not fit.
  bool GetData(void* buffer, std::size_t size) const override;
  // Takes up to `size` characters, stopping at a NUL.
  bool SetData(const void* buffer, std::size_t size) override;

 private:
  std::string mText;
};

class VPropertyStringList : public VProperty {
 public:
  using VProperty::VProperty;
  const std::vector<std::string>& Get() const { return mItems; }
  bool Set(const std::vector<std::string>& items);

 private:
  std::vector<std::string> mItems;
};

// object and Reference properties: the value is the property's source
// connections, so a referenced object that dies leaves no dangling value.
class VPropertyObject : public VProperty {
 public:
  using VProperty::VProperty;
  int GetObjectCount() const;
  VObject* GetObjectAt(int index) const;
  // Replaces the value with one object (null: none).
  bool SetObjectValue(VObject* object);
  // Appends one object (object lists).
  bool AddObjectValue(VObject* object);
  bool RemoveObjectValue(VObject* object);
  // The referenced plug (property or object) of a Reference.
  VPlug* GetReference() const { return GetSrc(0); }
  bool SetReference(VPlug* plug);
};
