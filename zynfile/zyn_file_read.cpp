// Reading fields and values of the entered block.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "zynfile/byte_order.h"
#include "zynfile/zyn_file.h"

namespace {

// Lenient text conversions: leading blanks and a sign are accepted, the
// longest number is taken and what follows is ignored.
const char* SkipBlanks(const char* p, const char* end) {
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
  return p;
}

int64_t TextToInt64(const char* p, const char* end) {
  p = SkipBlanks(p, end);
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  uint64_t value = 0;
  bool overflow = false;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    uint64_t next = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > (UINT64_MAX - 9) / 10) overflow = true;
    value = next;
  }
  if (overflow || value > static_cast<uint64_t>(INT64_MAX) + (negative ? 1 : 0)) {
    return negative ? INT64_MIN : INT64_MAX;  // saturate like strtoll
  }
  return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

// Short decimals ("1.25", "-0.001") are most numbers in scene files. When
// the digits fit in 53 bits and the power of ten is exact as a double, one
// multiplication or division rounds correctly; anything else goes to the
// general conversion.
bool FastDecimal(const char* p, const char* end, double* out) {
  static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  bool negative = false;
  if (p < end && *p == '-') {
    negative = true;
    ++p;
  }
  uint64_t mantissa = 0;
  int digits = 0, fraction = 0;
  const char* start = p;
  for (; p < end && *p >= '0' && *p <= '9'; ++p, ++digits) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
  if (p < end && *p == '.') {
    ++p;
    for (; p < end && *p >= '0' && *p <= '9'; ++p, ++digits, ++fraction) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    }
  }
  if (p == start || digits == 0 || digits > 15 || fraction > 22) return false;
  if (p < end && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X')) return false;
  double value = static_cast<double>(mantissa) / kPow10[fraction];
  *out = negative ? -value : value;
  return true;
}

double TextToDouble(const char* p, const char* end) {
  p = SkipBlanks(p, end);
  if (p < end && *p == '+') ++p;
  double value = 0.0;
  if (FastDecimal(p, end, &value)) return value;
  std::from_chars(p, end, value);  // on failure value stays 0
  return value;
}

// A double narrowed to float; values beyond the float range saturate to
// infinity, and denormal-small values read as 0 in the ASCII form.
float NarrowToFloat(double d) { return static_cast<float>(d); }

int64_t DoubleToInt64(double d) {
  if (!(d == d)) return 0;
  if (d >= 9223372036854775807.0) return INT64_MAX;
  if (d <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(d);
}

int32_t WrapToInt32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

}  // namespace

VZynFieldList* VZynFile::CurrentList() const { return lists_.empty() ? nullptr : lists_.back().get(); }

const VZynFieldInstance* VZynFile::Current() const {
  if (selections_.empty() || error_code_ != kZynErrorNone) return nullptr;
  return selections_.back().inst;
}

bool VZynFile::FieldReadBegin(const char* name) {
  VZynFieldList* list = CurrentList();
  if (!list || !Usable() || !name) return false;
  int f = list->FindField(name);
  if (f < 0) return false;
  VZynField& field = list->field(f);
  if (field.cursor >= field.instances.size()) return false;
  const VZynFieldInstance* inst = &field.instances[field.cursor];
  selections_.back() = Selection{f, field.cursor, 0, inst, inst->first_offset};
  return true;
}

bool VZynFile::FieldReadBegin(const char* name, int index) {
  VZynFieldList* list = CurrentList();
  if (!list || !Usable() || !name || index < 0) return false;
  int f = list->FindField(name);
  if (f < 0 || static_cast<size_t>(index) >= list->field(f).instances.size()) return false;
  const VZynFieldInstance* inst = &list->field(f).instances[static_cast<size_t>(index)];
  selections_.back() = Selection{f, static_cast<uint32_t>(index), 0, inst, inst->first_offset};
  return true;
}

void VZynFile::FieldReadEnd() {
  VZynFieldList* list = CurrentList();
  if (!list) return;
  Selection& s = selections_.back();
  if (s.field >= 0) list->field(s.field).cursor = s.instance + 1;
  s = Selection{};
}

int VZynFile::FieldReadOccurrenceCount() const {
  VZynFieldList* list = CurrentList();
  return list ? static_cast<int>(list->occurrences().size()) : 0;
}

bool VZynFile::FieldReadBeginOccurrence(int k) {
  VZynFieldList* list = CurrentList();
  if (!list || !Usable() || k < 0 || k >= static_cast<int>(list->occurrences().size())) return false;
  const VZynFieldList::Occurrence& o = list->occurrences()[static_cast<size_t>(k)];
  const VZynFieldInstance* inst = &list->field(static_cast<int>(o.field)).instances[o.instance];
  selections_.back() = Selection{static_cast<int>(o.field), o.instance, 0, inst, inst->first_offset};
  return true;
}

std::string VZynFile::FieldReadGetName() const {
  VZynFieldList* list = CurrentList();
  if (!list || selections_.back().field < 0) return "";
  return std::string(list->field(selections_.back().field).name);
}

int VZynFile::FieldReadGetCount() const {
  const VZynFieldInstance* inst = Current();
  return inst ? static_cast<int>(inst->value_count) : 0;
}

int VZynFile::FieldReadGetRemain() const {
  const VZynFieldInstance* inst = Current();
  return inst ? static_cast<int>(inst->value_count - selections_.back().cursor) : 0;
}

char VZynFile::FieldReadGetType() const {
  VZynValue v;
  if (!binary_ || !PeekValue(&v)) return 'S';
  return static_cast<char>(v.type);
}

bool VZynFile::FieldReadIsQuoted() const {
  VZynValue v;
  return !binary_ && PeekValue(&v) && v.quoted;
}

// ---- typed getters

namespace {

int64_t BinaryAsInt64(const VZynValue& v, bool swap);

double BinaryAsDouble(const VZynValue& v, bool swap) {
  switch (v.type) {
    case 'F': {
      uint32_t bits = VLoadU32(v.p, swap);
      float f;
      std::memcpy(&f, &bits, 4);
      return f;
    }
    case 'D': {
      uint64_t bits = VLoadU64(v.p, swap);
      double d;
      std::memcpy(&d, &bits, 8);
      return d;
    }
    case 'C':
    case 'I':
    case 'L': return static_cast<double>(BinaryAsInt64(v, swap));
    default: return 0.0;
  }
}

int64_t BinaryAsInt64(const VZynValue& v, bool swap) {
  switch (v.type) {
    case 'C': return static_cast<int8_t>(v.p[0]);
    case 'I': return static_cast<int32_t>(VLoadU32(v.p, swap));
    case 'L': return static_cast<int64_t>(VLoadU64(v.p, swap));
    case 'F':
    case 'D': return DoubleToInt64(BinaryAsDouble(v, swap));
    default: return 0;
  }
}

const char* Text(const VZynValue& v) { return reinterpret_cast<const char*>(v.p); }

}  // namespace

char VZynFile::FieldReadCH() {
  VZynValue v;
  if (!NextValue(&v)) return 0;
  if (!binary_) return v.length ? Text(v)[0] : 0;
  return v.type == 'C' ? Text(v)[0] : 0;
}

std::string VZynFile::FieldReadC() {
  VZynValue v;
  if (!NextValue(&v)) return "";
  if (!binary_) return std::string(Text(v), v.length);
  if (v.type != 'S') return "";
  uint32_t length = VLoadU32(v.p, swapped_);
  const char* p = Text(v) + 4;
  // Object names are stored as "Name" 0x00 0x01 "Class".
  const void* zero = std::memchr(p, '\0', length);
  while (zero) {
    uint32_t i = static_cast<uint32_t>(static_cast<const char*>(zero) - p);
    if (i + 1 < length && p[i + 1] == '\1') {
      return std::string(p + i + 2, length - i - 2) + "::" + std::string(p, i);
    }
    zero = i + 1 < length ? std::memchr(p + i + 1, '\0', length - i - 1) : nullptr;
  }
  return std::string(p, length);
}

int32_t VZynFile::FieldReadI() {
  VZynValue v;
  if (!NextValue(&v)) return 0;
  if (!binary_) return WrapToInt32(TextToInt64(Text(v), Text(v) + v.length));
  if (v.type == 'I') return static_cast<int32_t>(VLoadU32(v.p, swapped_));
  return WrapToInt32(BinaryAsInt64(v, swapped_));
}

int64_t VZynFile::FieldReadLL() {
  VZynValue v;
  if (!NextValue(&v)) return 0;
  if (!binary_) return TextToInt64(Text(v), Text(v) + v.length);
  return BinaryAsInt64(v, swapped_);
}

double VZynFile::FieldReadD() {
  VZynValue v;
  if (!NextValue(&v)) return 0.0;
  if (!binary_) return TextToDouble(Text(v), Text(v) + v.length);
  if (v.type == 'D' && !swapped_) {
    double d;
    std::memcpy(&d, v.p, 8);
    return d;
  }
  return BinaryAsDouble(v, swapped_);
}

float VZynFile::FieldReadF() {
  VZynValue v;
  if (!NextValue(&v)) return 0.0f;
  if (!binary_) {
    double d = TextToDouble(Text(v), Text(v) + v.length);
    if (d != 0.0 && std::isfinite(d) && std::logb(d) < -125) return 0.0f;
    return NarrowToFloat(d);
  }
  return NarrowToFloat(BinaryAsDouble(v, swapped_));
}

int VZynFile::FieldReadDn(double* out, int n) {
  if (n <= 0 || selections_.empty() || error_code_ != kZynErrorNone) return 0;
  Selection& s = selections_.back();
  if (!s.inst) return 0;
  int take = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(n), s.inst->value_count - s.cursor));
  const VZynFieldInstance& inst = *s.inst;
  if (binary_ && !swapped_ && inst.stride == 9 && take > 0) {
    const uint8_t* p = lists_.back()->bytes() + s.pos;
    if (p[0] == 'D') {  // one type throughout: plain loads
      ++p;
      for (int i = 0; i < take; ++i, p += 9) std::memcpy(out + i, p, 8);
      s.cursor += static_cast<uint32_t>(take);
      s.pos += static_cast<uint32_t>(take) * 9u;
      return take;
    }
  }
  for (int i = 0; i < take; ++i) out[i] = FieldReadD();
  return take;
}

int VZynFile::FieldReadIn(int32_t* out, int n) {
  if (n <= 0 || selections_.empty() || error_code_ != kZynErrorNone) return 0;
  Selection& s = selections_.back();
  if (!s.inst) return 0;
  int take = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(n), s.inst->value_count - s.cursor));
  const VZynFieldInstance& inst = *s.inst;
  if (binary_ && !swapped_ && inst.stride == 5 && take > 0) {
    const uint8_t* p = lists_.back()->bytes() + s.pos;
    if (p[0] == 'I') {
      ++p;
      for (int i = 0; i < take; ++i, p += 5) std::memcpy(out + i, p, 4);
      s.cursor += static_cast<uint32_t>(take);
      s.pos += static_cast<uint32_t>(take) * 5u;
      return take;
    }
  }
  for (int i = 0; i < take; ++i) out[i] = FieldReadI();
  return take;
}

VTime VZynFile::FieldReadT() {
  VZynValue v;
  if (!PeekValue(&v)) return VTime(0);
  bool ticks = binary_ ? v.type == 'L' : SectionVersion(open_section_) >= 2001;
  if (ticks) return VTime(FieldReadLL());
  VTime t;
  t.SetSecondDouble(FieldReadD());
  return t;
}

void VZynFile::FieldReadTS(VTime* start, VTime* stop) {
  VTime a = FieldReadT();
  VTime b = FieldReadT();
  if (start) *start = a;
  if (stop) *stop = b;
}

const uint8_t* VZynFile::FieldReadR(uint32_t* size) {
  if (size) *size = 0;
  VZynValue v;
  if (!binary_ || !NextValue(&v)) return nullptr;
  if (v.type != 'R' && v.type != 'S') return nullptr;
  if (size) *size = VLoadU32(v.p, swapped_);
  return v.p + 4;
}

// ---- named forms: Begin, one value, End; the fallback when the field is missing

#define VZYN_NAMED_READ(Type, Getter)                  \
  Type VZynFile::Getter(const char* name, Type fallback) { \
    if (!FieldReadBegin(name)) return fallback;        \
    Type value = Getter();                             \
    FieldReadEnd();                                    \
    return value;                                      \
  }
VZYN_NAMED_READ(char, FieldReadCH)
VZYN_NAMED_READ(int32_t, FieldReadI)
VZYN_NAMED_READ(int64_t, FieldReadLL)
VZYN_NAMED_READ(float, FieldReadF)
VZYN_NAMED_READ(double, FieldReadD)
VZYN_NAMED_READ(VTime, FieldReadT)
#undef VZYN_NAMED_READ

std::string VZynFile::FieldReadC(const char* name, const std::string& fallback) {
  if (!FieldReadBegin(name)) return fallback;
  std::string value = FieldReadC();
  FieldReadEnd();
  return value;
}

void VZynFile::FieldReadFn(const char* name, double* out, int n, const double* fallback) {
  if (!FieldReadBegin(name)) {
    for (int i = 0; i < n; ++i) out[i] = fallback ? fallback[i] : 0.0;
    return;
  }
  for (int i = 0; i < n; ++i) out[i] = FieldReadD();
  FieldReadEnd();
}

// ---- blocks

bool VZynFile::FieldReadIsBlock() const {
  const VZynFieldInstance* inst = Current();
  return inst && inst->block_offset != 0;
}

bool VZynFile::FieldReadBlockBegin() {
  const VZynFieldInstance* inst = Current();
  if (!inst || inst->block_offset == 0) return false;
  if (static_cast<int>(lists_.size()) > kMaxDepth) {
    return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (blocks nested too deeply)");
  }
  return binary_ ? PushBinaryList(inst->block_offset, inst->block_end) : PushAsciiList(inst->block_offset, false);
}

bool VZynFile::FieldReadBlockEnd() {
  if (lists_.size() <= 1) return false;
  ReleaseList(std::move(lists_.back()));
  lists_.pop_back();
  selections_.pop_back();
  return true;
}
