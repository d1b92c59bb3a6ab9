#pragma once
// One block of a Zyn file in memory: its fields, each field's occurrences in
// file order, and each occurrence's values. The block's bytes are either a
// view of the mapped file or a buffer shared with the enclosing block; values
// are located when the block is parsed and converted only when asked for.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class VStream;

struct VZynFieldInstance {
  int64_t block_offset = 0;  // file offset where the nested block starts; 0 = none
  int64_t block_end = 0;     // binary: file offset just past the nested block
  uint32_t first_value = 0;  // index of the first value in the list's value table
  uint32_t value_count = 0;
  // Binary value lists of one fixed-size type (arrays, the bulk of scene
  // data) need no table: value i lies at first_offset + i * stride.
  uint32_t stride = 0;
  uint32_t first_offset = 0;
};

// One value as stored. Binary: p is its payload and type its type byte.
// ASCII: p and length are its text, type is 'S'.
struct VZynValue {
  const uint8_t* p = nullptr;
  uint32_t length = 0;
  uint8_t type = 0;
  bool quoted = false;
};

struct VZynField {
  std::string_view name;  // points into the block's bytes
  std::vector<VZynFieldInstance> instances;
  uint32_t cursor = 0;  // the current occurrence
};

// Where each value lies, relative to the block's first byte. Binary: offset
// just past the type byte. ASCII: the text (quotes removed).
struct VZynValueRef {
  uint32_t offset;
  uint32_t length;  // ASCII only
};

class VZynFieldList {
 public:
  struct Occurrence {
    uint32_t field;
    uint32_t instance;
  };

  // Binary block of records in [begin, end) (file offsets); the bytes are
  // bytes[0 .. end - begin). Stops at the block's null record.
  bool ParseBinary(std::shared_ptr<const void> keep_alive, const uint8_t* bytes, int64_t begin,
                   int64_t end, bool swap, std::string* error);
  // ASCII block starting at file offset begin (just after its '{', or the
  // start of a section) and ending at its closing brace; bytes cover
  // [origin, origin + size) of the file.
  bool ParseAscii(std::shared_ptr<const void> keep_alive, const uint8_t* bytes, int64_t origin,
                  int64_t size, int64_t begin, bool top_level, std::string* error);

  // Empties the list for another block, keeping its memory.
  void Reset();

  int FindField(std::string_view name) const;
  // Puts every field's occurrence cursor back on its first occurrence.
  void RewindFields() {
    for (VZynField& f : fields_) f.cursor = 0;
  }
  VZynField& field(int index) { return fields_[static_cast<size_t>(index)]; }
  const VZynField& field(int index) const { return fields_[static_cast<size_t>(index)]; }
  int field_count() const { return static_cast<int>(fields_.size()); }
  const std::vector<Occurrence>& occurrences() const { return order_; }

  bool binary() const { return binary_; }
  bool swap() const { return swap_; }
  static constexpr uint32_t kQuotedBit = 0x80000000u;
  // Value i of an occurrence of this list.
  VZynValue value(const VZynFieldInstance& inst, uint32_t i) const {
    VZynValue v;
    if (binary_) {
      v.p = inst.stride ? bytes_ + inst.first_offset + static_cast<size_t>(i) * inst.stride
                        : bytes_ + offsets_[inst.first_value + i];
      v.type = v.p[-1];
    } else {
      const VZynValueRef& ref = values_[inst.first_value + i];
      v.p = bytes_ + ref.offset;
      v.length = ref.length & ~kQuotedBit;
      v.type = 'S';
      v.quoted = (ref.length & kQuotedBit) != 0;
    }
    return v;
  }

  const std::shared_ptr<const void>& keep_alive() const { return keep_alive_; }
  const uint8_t* bytes() const { return bytes_; }
  int64_t origin() const { return origin_; }
  int64_t size() const { return size_; }
  // Binary: file offset just past the block's null record.
  int64_t end_offset() const { return end_offset_; }

 private:
  int AddField(std::string_view name);
  uint32_t AddInstance(int field);
  bool IndexValues(const uint8_t* v, const uint8_t* v_end, uint32_t count, std::string_view name,
                   VZynFieldInstance* inst, std::string* error);

  std::shared_ptr<const void> keep_alive_;
  const uint8_t* bytes_ = nullptr;
  int64_t origin_ = 0;  // file offset of bytes_[0]
  int64_t size_ = 0;
  int64_t end_offset_ = 0;
  bool binary_ = true;
  bool swap_ = false;

  std::vector<VZynField> fields_;
  std::vector<Occurrence> order_;
  std::vector<uint32_t> offsets_;     // binary: one per value, just past its type byte
  std::vector<VZynValueRef> values_;  // ASCII: one per value
  std::unordered_map<std::string_view, int> index_;  // used once the block has many names
};
