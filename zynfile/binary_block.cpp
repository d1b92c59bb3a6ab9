// Parsing one block of the binary form: records of
//   u32 end offset, u32 value count, u32 value-list length, u8 name length,
//   name, value list, nested block
// closed by a null record. Every length is checked against the block's bytes
// before it is used, so a damaged file can neither read out of bounds nor
// make us allocate more than the file holds.

#include <algorithm>
#include <cstring>

#include "zynfile/byte_order.h"
#include "zynfile/field_list.h"

namespace {

constexpr int64_t kRecordHeader = 13;

// Payload size per type byte; 0 = not a value type, 0xFF = length-prefixed.
struct PayloadTable {
  uint8_t size[256] = {};
  constexpr PayloadTable() {
    size[static_cast<unsigned char>('C')] = 1;
    size[static_cast<unsigned char>('I')] = 4;
    size[static_cast<unsigned char>('F')] = 4;
    size[static_cast<unsigned char>('D')] = 8;
    size[static_cast<unsigned char>('L')] = 8;
    size[static_cast<unsigned char>('S')] = 0xFF;
    size[static_cast<unsigned char>('R')] = 0xFF;
  }
};
constexpr PayloadTable kPayload;

}  // namespace

const uint8_t* const VZynFieldList::kPayloadSize = kPayload.size;

// Checks that count values lie in [v, v_end) with known types and lengths
// inside the list, so that reading them later needs no checks. Runs of one
// fixed-size type, the bulk of scene data, take a short path.
bool VZynFieldList::CheckValues(const uint8_t* v, const uint8_t* v_end, uint32_t count, std::string_view name,
                                VZynFieldInstance* inst, std::string* error) {
  inst->value_count = 0;
  inst->first_offset = static_cast<uint32_t>(v - bytes_);
  if (count == 0) return true;
  const uint8_t first_type = *v;
  const uint8_t first_size = kPayload.size[first_type];
  if (first_size != 0 && first_size != 0xFF &&
      static_cast<uint64_t>(count) * (first_size + 1u) <= static_cast<uint64_t>(v_end - v)) {
    const size_t stride = first_size + 1u;
    uint32_t i = 1;
    const uint8_t* t = v + stride;
    // Four type bytes a step: one branch instead of four.
    while (i + 4 <= count && ((t[0] ^ first_type) | (t[stride] ^ first_type) | (t[2 * stride] ^ first_type) |
                               (t[3 * stride] ^ first_type)) == 0) {
      i += 4;
      t += 4 * stride;
    }
    while (i < count && *t == first_type) {
      ++i;
      t += stride;
    }
    if (i == count) {
      inst->stride = static_cast<uint32_t>(stride);
      inst->value_count = count;
      return true;
    }
  }
  uint32_t found = 0;
  while (found < count) {
    if (v >= v_end) {
      *error = "value count exceeds the value list of field " + std::string(name);
      break;
    }
    const uint8_t size = kPayload.size[*v];
    if (size != 0 && size != 0xFF && v_end - v > size) {  // a fixed-size value
      ++found;
      v += size + 1;
      continue;
    }
    if (size == 0) {
      *error = "unknown value type " + std::to_string(*v) + " in field " + std::string(name);
      break;
    }
    const uint8_t* payload = v + 1;
    if (size != 0xFF || v_end - payload < 4) {
      *error = "value exceeds the value list of field " + std::string(name);
      break;
    }
    const size_t length = 4 + static_cast<size_t>(VLoadU32(payload, swap_));
    if (static_cast<size_t>(v_end - payload) < length) {
      *error = "value exceeds the value list of field " + std::string(name);
      break;
    }
    ++found;
    v = payload + length;
  }
  // The values before a bad one stay readable.
  inst->value_count = found;
  return found == count;
}

bool VZynFieldList::ParseBinary(std::shared_ptr<const void> keep_alive, const uint8_t* bytes,
                                int64_t begin, int64_t end, bool swap, std::string* error) {
  keep_alive_ = std::move(keep_alive);
  bytes_ = bytes;
  origin_ = begin;
  size_ = end - begin;
  binary_ = true;
  swap_ = swap;

  int64_t p = begin;  // file offset of the record being read
  for (;;) {
    if (end - p < kRecordHeader) {
      *error = "block is not closed by a null record";
      return false;
    }
    const uint8_t* r = bytes + (p - begin);
    uint32_t record_end = VLoadU32(r, swap);
    uint32_t count = VLoadU32(r + 4, swap);
    uint32_t length = VLoadU32(r + 8, swap);
    uint8_t name_length = r[12];
    if (record_end == 0) {
      end_offset_ = p + kRecordHeader;
      return true;
    }
    int64_t values_begin = p + kRecordHeader + name_length;
    int64_t values_end = values_begin + length;
    if (record_end <= p || record_end < values_end || record_end > end) {
      *error = "record end offset " + std::to_string(record_end) + " at offset " + std::to_string(p) +
               " lies outside its block";
      return false;
    }
    std::string_view name(reinterpret_cast<const char*>(r + kRecordHeader), name_length);
    if (name.find('\0') != std::string_view::npos) {
      *error = "field name with a NUL byte at offset " + std::to_string(p);
      return false;
    }
    int field = AddField(name);
    uint32_t instance_index = AddInstance(field);

    // Locate the values. Their number is bounded by the bytes that hold them.
    VZynFieldInstance& inst = fields_[static_cast<size_t>(field)].instances[instance_index];
    if (!CheckValues(bytes + (values_begin - begin), bytes + (values_end - begin), count, name, &inst, error)) {
      return false;
    }
    if (values_end < record_end) {
      inst.block_offset = values_end;
      inst.block_end = record_end;
    }
    p = record_end;
  }
}
