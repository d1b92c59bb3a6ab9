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

  int FindField(std::string_view name) const;
  VZynField& field(int index) { return fields_[static_cast<size_t>(index)]; }
  const VZynField& field(int index) const { return fields_[static_cast<size_t>(index)]; }
  int field_count() const { return static_cast<int>(fields_.size()); }
  const std::vector<Occurrence>& occurrences() const { return order_; }

  bool binary() const { return binary_; }
  bool swap() const { return swap_; }
  // The value's bytes (binary: its payload, type byte at [-1]; ASCII: text).
  const uint8_t* value_bytes(uint32_t value) const { return bytes_ + values_[value].offset; }
  uint32_t value_length(uint32_t value) const { return values_[value].length & ~kQuotedBit; }
  // ASCII: the value was written between double quotes.
  bool value_quoted(uint32_t value) const { return (values_[value].length & kQuotedBit) != 0; }
  static constexpr uint32_t kQuotedBit = 0x80000000u;
  uint8_t value_type(uint32_t value) const { return binary_ ? bytes_[values_[value].offset - 1] : 'S'; }

  const std::shared_ptr<const void>& keep_alive() const { return keep_alive_; }
  const uint8_t* bytes() const { return bytes_; }
  int64_t origin() const { return origin_; }
  int64_t size() const { return size_; }
  // Binary: file offset just past the block's null record.
  int64_t end_offset() const { return end_offset_; }

 private:
  int AddField(std::string_view name);
  uint32_t AddInstance(int field);

  std::shared_ptr<const void> keep_alive_;
  const uint8_t* bytes_ = nullptr;
  int64_t origin_ = 0;  // file offset of bytes_[0]
  int64_t size_ = 0;
  int64_t end_offset_ = 0;
  bool binary_ = true;
  bool swap_ = false;

  std::vector<VZynField> fields_;
  std::vector<Occurrence> order_;
  std::vector<VZynValueRef> values_;
  std::unordered_map<std::string_view, int> index_;  // used once the block has many names
};
