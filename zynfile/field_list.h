#pragma once
// One block of a Zyn file in memory: its fields, each field's occurrences in
// file order, and each occurrence's values. The block's bytes are either a
// view of the mapped file or a buffer shared with the enclosing block; values
// are located when the block is parsed and converted only when asked for.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class VStream;

struct VZynFieldInstance {
  int64_t block_offset = 0;  // file offset where the nested block starts; 0 = none
  int64_t block_end = 0;     // binary: file offset just past the nested block
  uint32_t first_value = 0;  // ASCII: index of the first value in the list's value table
  uint32_t value_count = 0;
  // Binary: where the first value's type byte lies in the block's bytes.
  // Values are read in order from there; the list was checked when the
  // block was parsed, so every type and length on the way is sound.
  uint32_t first_offset = 0;
  // Binary lists of one fixed-size type (arrays, the bulk of scene data):
  // the size of one value with its type byte; 0 for mixed lists.
  uint32_t stride = 0;
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
  // Binary: the value whose type byte is at offset pos; *next is set to
  // the offset of the value after it.
  VZynValue binary_value(uint32_t pos, uint32_t* next) const {
    VZynValue v;
    v.type = bytes_[pos];
    v.p = bytes_ + pos + 1;
    uint32_t size = kPayloadSize[v.type];
    if (size == 0xFF) {  // 'S' and 'R': a length, then the bytes
      uint32_t length;
      std::memcpy(&length, v.p, 4);
      if (swap_) length = __builtin_bswap32(length);
      size = 4 + length;
    }
    *next = pos + 1 + size;
    return v;
  }
  // ASCII: value i of an occurrence.
  VZynValue ascii_value(const VZynFieldInstance& inst, uint32_t i) const {
    VZynValue v;
    const VZynValueRef& ref = values_[inst.first_value + i];
    v.p = bytes_ + ref.offset;
    v.length = ref.length & ~kQuotedBit;
    v.type = 'S';
    v.quoted = (ref.length & kQuotedBit) != 0;
    return v;
  }
  // Payload size by type byte: 0 for no value type, 0xFF for the
  // length-prefixed 'S' and 'R'.
  static const uint8_t* const kPayloadSize;

  const std::shared_ptr<const void>& keep_alive() const { return keep_alive_; }
  const uint8_t* bytes() const { return bytes_; }
  int64_t origin() const { return origin_; }
  int64_t size() const { return size_; }
  // Binary: file offset just past the block's null record.
  int64_t end_offset() const { return end_offset_; }

 private:
  int AddField(std::string_view name);
  uint32_t AddInstance(int field);
  bool CheckValues(const uint8_t* v, const uint8_t* v_end, uint32_t count, std::string_view name,
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
  std::vector<VZynValueRef> values_;  // ASCII: one per value
  std::unordered_map<std::string_view, int> index_;  // used once the block has many names
};
