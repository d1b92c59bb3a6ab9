#include "zynfile/field_copy.h"

#include <charconv>
#include <cstring>

#include "zynfile/zyn_file.h"

char VZynAsciiValueType(const std::string& text, bool quoted) {
  if (quoted) return 'S';
  if (text.empty()) return 'S';
  const char* b = text.data();
  const char* e = b + text.size();
  int64_t integer = 0;
  auto ri = std::from_chars(b, e, integer);
  if (ri.ec == std::errc() && ri.ptr == e) return integer >= INT32_MIN && integer <= INT32_MAX ? 'I' : 'L';
  double d = 0;
  auto rd = std::from_chars(b, e, d);
  if (rd.ec == std::errc() && rd.ptr == e) return 'D';
  return text.size() == 1 ? 'C' : 'S';
}

namespace {

std::string Base64(const uint8_t* data, size_t size) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < size; i += 3) {
    uint32_t v = uint32_t{data[i]} << 16;
    if (i + 1 < size) v |= uint32_t{data[i + 1]} << 8;
    if (i + 2 < size) v |= data[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += i + 1 < size ? kAlphabet[(v >> 6) & 63] : '=';
    out += i + 2 < size ? kAlphabet[v & 63] : '=';
  }
  return out;
}

}  // namespace

bool VZynCopyValue(VZynFile& in, VZynFile& out) {
  char type = in.IsBinary() ? in.FieldReadGetType() : 0;
  if (!in.IsBinary()) {
    bool quoted = in.FieldReadIsQuoted();
    std::string text = in.FieldReadC();
    type = VZynAsciiValueType(text, quoted);
    switch (type) {
      case 'I': return out.FieldWriteI(static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)));
      case 'L': return out.FieldWriteLL(std::strtoll(text.c_str(), nullptr, 10));
      case 'D': {
        double d = 0;
        std::from_chars(text.data(), text.data() + text.size(), d);
        return out.FieldWriteD(d);
      }
      case 'C': return out.FieldWriteCH(text[0]);
      default: return out.FieldWriteC(text);
    }
  }
  switch (type) {
    case 'C': return out.FieldWriteCH(in.FieldReadCH());
    case 'I': return out.FieldWriteI(in.FieldReadI());
    case 'F': return out.FieldWriteF(in.FieldReadF());
    case 'D': return out.FieldWriteD(in.FieldReadD());
    case 'L': return out.FieldWriteLL(in.FieldReadLL());
    case 'R': {
      uint32_t size = 0;
      const uint8_t* bytes = in.FieldReadR(&size);
      if (out.IsBinary()) return out.FieldWriteR(bytes, size);
      // The text form has no raw values; base64 keeps the bytes recoverable.
      return out.FieldWriteC(Base64(bytes, size));
    }
    default: return out.FieldWriteC(in.FieldReadC());
  }
}

namespace {

bool Skipped(const std::string& name, const char* const* skip) {
  for (; skip && *skip; ++skip) {
    if (name == *skip) return true;
  }
  return false;
}

}  // namespace

bool VZynCopyBlock(VZynFile& in, VZynFile& out, const char* const* skip) {
  int count = in.FieldReadOccurrenceCount();
  for (int k = 0; k < count; ++k) {
    if (!in.FieldReadBeginOccurrence(k)) return false;
    std::string name = in.FieldReadGetName();
    if (Skipped(name, skip)) continue;
    if (!out.FieldWriteBegin(name.c_str())) return false;
    for (int n = in.FieldReadGetCount(); n > 0; --n) {
      if (!VZynCopyValue(in, out)) return false;
    }
    if (in.FieldReadIsBlock()) {
      // Depth is bounded by the reader's nesting limit.
      if (!in.FieldReadBlockBegin()) return false;
      bool ok = out.FieldWriteBlockBegin() && VZynCopyBlock(in, out) && out.FieldWriteBlockEnd();
      in.FieldReadBlockEnd();
      if (!ok) return false;
    }
    if (!out.FieldWriteEnd()) return false;
  }
  return !in.HasError() && !out.HasError();
}
