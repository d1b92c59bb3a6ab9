#pragma once
// Helpers shared by the container tests: writing files into memory, a text
// form of a field tree for comparisons, and a builder of binary files byte
// by byte for inputs our own writer never produces.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace zyn_test {

using Bytes = std::string;

// Writes a file into memory with the writer; body writes the main section.
inline Bytes WriteMemory(bool binary, const std::function<void(VZynFile&)>& body, int version = 6000,
                         const std::string& camera = "") {
  VMemoryStream stream;
  stream.OpenBuffer();
  VZynFile file;
  file.SetVersion(version);
  EXPECT_TRUE(file.CreateInStream(&stream, binary, false, camera)) << file.GetErrorMessage();
  body(file);
  EXPECT_TRUE(file.CloseFile()) << file.GetErrorMessage();
  const std::vector<uint8_t>& b = stream.buffer();
  return Bytes(b.begin(), b.end());
}

inline uint32_t GetU32(const Bytes& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

inline void PutU32(Bytes* b, size_t at, uint32_t v) { std::memcpy(&(*b)[at], &v, 4); }

// Offset of the record whose name is exactly `name` (the first one found).
inline size_t RecordOffset(const Bytes& b, const std::string& name) {
  for (size_t pos = b.find(name); pos != Bytes::npos; pos = b.find(name, pos + 1)) {
    if (pos >= 13 && static_cast<uint8_t>(b[pos - 1]) == name.size()) return pos - 13;
  }
  ADD_FAILURE() << "no record " << name;
  return 0;
}

// The value at the cursor as text; binary values by their type.
inline std::string ValueText(VZynFile& f) {
  char type = f.IsBinary() ? f.FieldReadGetType() : 'S';
  char text[64];
  switch (type) {
    case 'C': return std::string(1, f.FieldReadCH());
    case 'I': return std::to_string(f.FieldReadI());
    case 'L': return std::to_string(f.FieldReadLL());
    case 'F':
    case 'D':
      std::snprintf(text, sizeof text, "%.17g", f.FieldReadD());
      return text;
    case 'R': {
      uint32_t size = 0;
      const uint8_t* p = f.FieldReadR(&size);
      unsigned sum = 0;
      for (uint32_t i = 0; i < size; ++i) sum = sum * 31 + p[i];  // touches every byte
      return "R" + std::to_string(size) + "/" + std::to_string(sum);
    }
    default: return f.FieldReadC();
  }
}

// One line per occurrence in file order: indentation, name, values.
// Occurrences named in skip are left out at the top level.
inline void TreeInto(VZynFile& f, const std::vector<std::string>& skip, int depth, std::string* out) {
  int n = f.FieldReadOccurrenceCount();
  for (int k = 0; k < n && f.FieldReadBeginOccurrence(k); ++k) {
    std::string name = f.FieldReadGetName();
    bool skipped = false;
    for (const std::string& s : skip) skipped = skipped || s == name;
    if (skipped) continue;
    out->append(static_cast<size_t>(depth) * 2, ' ');
    *out += name + ":";
    for (int v = f.FieldReadGetCount(); v > 0; --v) *out += " [" + ValueText(f) + "]";
    *out += "\n";
    if (f.FieldReadIsBlock()) {
      if (f.FieldReadBlockBegin()) {
        TreeInto(f, {}, depth + 1, out);
        f.FieldReadBlockEnd();
      } else {
        *out += "<unreadable block>\n";
      }
    }
  }
}

inline std::string Tree(VZynFile& f, const std::vector<std::string>& skip = {}) {
  std::string out;
  TreeInto(f, skip, 0, &out);
  return out;
}

// Builds binary files record by record, little- or big-endian.
class BinaryBuilder {
 public:
  // With header: the 27-byte file header comes first.
  explicit BinaryBuilder(bool big_endian = false, uint32_t version = 6000, bool header = true)
      : big_(big_endian) {
    levels_.emplace_back();
    if (!header) return;
    bytes_.assign("Morvane ZYN Binary  ", 20);
    bytes_ += '\0';
    bytes_ += '\x1a';
    bytes_ += big_ ? '\1' : '\0';
    U32(version);
  }

  BinaryBuilder& Field(const std::string& name) {
    Level& level = levels_.back();
    if (level.record != Bytes::npos) Patch(level);
    level.record = bytes_.size();
    level.count = level.length = 0;
    bytes_.append(12, '\0');
    bytes_ += static_cast<char>(name.size());
    bytes_ += name;
    return *this;
  }
  BinaryBuilder& C(char c) { return Value('C', std::string(1, c)); }
  BinaryBuilder& I(int32_t v) { return Value('I', Raw(&v, 4)); }
  BinaryBuilder& F(float v) { return Value('F', Raw(&v, 4)); }
  BinaryBuilder& D(double v) { return Value('D', Raw(&v, 8)); }
  BinaryBuilder& L(int64_t v) { return Value('L', Raw(&v, 8)); }
  BinaryBuilder& S(const std::string& s) { return Value('S', Length(s.size()) + s); }
  BinaryBuilder& R(const std::string& s) { return Value('R', Length(s.size()) + s); }
  // A value with any type byte and payload, counted as one value.
  BinaryBuilder& Value(uint8_t type, const std::string& payload) {
    bytes_ += static_cast<char>(type);
    bytes_ += payload;
    levels_.back().count++;
    levels_.back().length += static_cast<uint32_t>(1 + payload.size());
    return *this;
  }
  BinaryBuilder& Begin() {
    levels_.emplace_back();
    return *this;
  }
  BinaryBuilder& End() {
    Level& level = levels_.back();
    if (level.record != Bytes::npos) Patch(level);
    bytes_.append(13, '\0');
    levels_.pop_back();
    return *this;
  }
  // Closes every open block and the top level.
  Bytes Finish() {
    while (levels_.size() > 1) End();
    End();
    return bytes_;
  }
  size_t size() const { return bytes_.size(); }
  // Bytes outside any record (what goes before a later section); end
  // offsets written afterwards count them.
  BinaryBuilder& Append(const Bytes& raw) {
    bytes_ += raw;
    return *this;
  }

 private:
  struct Level {
    size_t record = Bytes::npos;
    uint32_t count = 0, length = 0;
  };
  std::string Raw(const void* p, size_t n) const {
    std::string s(static_cast<const char*>(p), n);
    if (big_) s.assign(s.rbegin(), s.rend());
    return s;
  }
  std::string Length(size_t n) const {
    uint32_t v = static_cast<uint32_t>(n);
    return Raw(&v, 4);
  }
  void U32(uint32_t v) { bytes_ += Raw(&v, 4); }
  void Patch(Level& level) {
    uint32_t words[3] = {static_cast<uint32_t>(bytes_.size()), level.count, level.length};
    for (int i = 0; i < 3; ++i) {
      std::string w = Raw(&words[i], 4);
      bytes_.replace(level.record + static_cast<size_t>(i) * 4, 4, w);
    }
    level.record = Bytes::npos;
  }

  bool big_;
  Bytes bytes_;
  std::vector<Level> levels_;
};

// Opens bytes held in an allocation of exactly their size, so that any read
// past the end is caught by the address sanitizer.
class ExactBytes {
 public:
  explicit ExactBytes(const Bytes& b) : data_(new uint8_t[b.size() ? b.size() : 1]), size_(b.size()) {
    if (size_) std::memcpy(data_.get(), b.data(), size_);
  }
  const uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }

 private:
  std::unique_ptr<uint8_t[]> data_;
  size_t size_;
};

}  // namespace zyn_test
