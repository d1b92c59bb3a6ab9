// Reading fields and values of the entered block.

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

double TextToDouble(const char* p, const char* end) {
  p = SkipBlanks(p, end);
  if (p < end && *p == '+') ++p;
  double value = 0.0;
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
  if (lists_.empty() || !Usable()) return nullptr;
  const Selection& s = selections_.back();
  if (s.field < 0) return nullptr;
  return &lists_.back()->field(s.field).instances[s.instance];
}

bool VZynFile::FieldReadBegin(const char* name) {
  VZynFieldList* list = CurrentList();
  if (!list || !Usable() || !name) return false;
  int f = list->FindField(name);
  if (f < 0) return false;
  VZynField& field = list->field(f);
  if (field.cursor >= field.instances.size()) return false;
  selections_.back() = Selection{f, field.cursor, 0};
  return true;
}

bool VZynFile::FieldReadBegin(const char* name, int index) {
  VZynFieldList* list = CurrentList();
  if (!list || !Usable() || !name || index < 0) return false;
  int f = list->FindField(name);
  if (f < 0 || static_cast<size_t>(index) >= list->field(f).instances.size()) return false;
  selections_.back() = Selection{f, static_cast<uint32_t>(index), 0};
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
  selections_.back() = Selection{static_cast<int>(o.field), o.instance, 0};
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
  const VZynFieldInstance* inst = Current();
  const Selection& s = selections_.empty() ? Selection{} : selections_.back();
  if (!inst || !binary_ || s.cursor >= inst->value_count) return 'S';
  return static_cast<char>(CurrentList()->value_type(inst->first_value + s.cursor));
}

bool VZynFile::FieldReadIsQuoted() const {
  const VZynFieldInstance* inst = Current();
  if (!inst || binary_ || selections_.back().cursor >= inst->value_count) return false;
  return CurrentList()->value_quoted(inst->first_value + selections_.back().cursor);
}

bool VZynFile::NextValue(uint32_t* value) {
  const VZynFieldInstance* inst = Current();
  if (!inst) return false;
  Selection& s = selections_.back();
  if (s.cursor >= inst->value_count) return false;
  *value = inst->first_value + s.cursor++;
  return true;
}

// ---- typed getters

namespace {

struct StoredValue {
  uint8_t type;
  const uint8_t* p;
  bool swap;
  int64_t AsInt64() const {
    switch (type) {
      case 'C': return static_cast<int8_t>(p[0]);
      case 'I': return static_cast<int32_t>(VLoadU32(p, swap));
      case 'L': return static_cast<int64_t>(VLoadU64(p, swap));
      case 'F': return DoubleToInt64(AsDouble());
      case 'D': return DoubleToInt64(AsDouble());
      default: return 0;
    }
  }
  double AsDouble() const {
    switch (type) {
      case 'F': {
        uint32_t bits = VLoadU32(p, swap);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
      }
      case 'D': {
        uint64_t bits = VLoadU64(p, swap);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
      }
      case 'C':
      case 'I':
      case 'L': return static_cast<double>(AsInt64());
      default: return 0.0;
    }
  }
};

}  // namespace

char VZynFile::FieldReadCH() {
  uint32_t v;
  if (!NextValue(&v)) return 0;
  const VZynFieldList& list = *CurrentList();
  if (!binary_) return list.value_length(v) ? static_cast<char>(list.value_bytes(v)[0]) : 0;
  return list.value_type(v) == 'C' ? static_cast<char>(list.value_bytes(v)[0]) : 0;
}

std::string VZynFile::FieldReadC() {
  uint32_t v;
  if (!NextValue(&v)) return "";
  const VZynFieldList& list = *CurrentList();
  const char* p = reinterpret_cast<const char*>(list.value_bytes(v));
  if (!binary_) return std::string(p, list.value_length(v));
  if (list.value_type(v) != 'S') return "";
  uint32_t length = VLoadU32(list.value_bytes(v), swapped_);
  p += 4;
  // Object names are stored as "Name" 0x00 0x01 "Class".
  for (uint32_t i = 0; i + 1 < length; ++i) {
    if (p[i] == '\0' && p[i + 1] == '\1') {
      return std::string(p + i + 2, length - i - 2) + "::" + std::string(p, i);
    }
  }
  return std::string(p, length);
}

int32_t VZynFile::FieldReadI() {
  uint32_t v;
  if (!NextValue(&v)) return 0;
  const VZynFieldList& list = *CurrentList();
  const char* p = reinterpret_cast<const char*>(list.value_bytes(v));
  if (!binary_) return WrapToInt32(TextToInt64(p, p + list.value_length(v)));
  StoredValue value{list.value_type(v), list.value_bytes(v), swapped_};
  return WrapToInt32(value.AsInt64());
}

int64_t VZynFile::FieldReadLL() {
  uint32_t v;
  if (!NextValue(&v)) return 0;
  const VZynFieldList& list = *CurrentList();
  const char* p = reinterpret_cast<const char*>(list.value_bytes(v));
  if (!binary_) return TextToInt64(p, p + list.value_length(v));
  return StoredValue{list.value_type(v), list.value_bytes(v), swapped_}.AsInt64();
}

double VZynFile::FieldReadD() {
  uint32_t v;
  if (!NextValue(&v)) return 0.0;
  const VZynFieldList& list = *CurrentList();
  const char* p = reinterpret_cast<const char*>(list.value_bytes(v));
  if (!binary_) return TextToDouble(p, p + list.value_length(v));
  return StoredValue{list.value_type(v), list.value_bytes(v), swapped_}.AsDouble();
}

float VZynFile::FieldReadF() {
  uint32_t v;
  if (!NextValue(&v)) return 0.0f;
  const VZynFieldList& list = *CurrentList();
  const char* p = reinterpret_cast<const char*>(list.value_bytes(v));
  if (!binary_) {
    double d = TextToDouble(p, p + list.value_length(v));
    if (d != 0.0 && std::isfinite(d) && std::logb(d) < -125) return 0.0f;
    return NarrowToFloat(d);
  }
  return NarrowToFloat(StoredValue{list.value_type(v), list.value_bytes(v), swapped_}.AsDouble());
}

VTime VZynFile::FieldReadT() {
  uint32_t v;
  const VZynFieldInstance* inst = Current();
  if (!inst || selections_.back().cursor >= inst->value_count) return VTime(0);
  v = inst->first_value + selections_.back().cursor;
  const VZynFieldList& list = *CurrentList();
  bool ticks = binary_ ? list.value_type(v) == 'L' : SectionVersion(open_section_) >= 2001;
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
  if (!binary_) return nullptr;
  uint32_t v;
  if (!NextValue(&v)) return nullptr;
  const VZynFieldList& list = *CurrentList();
  uint8_t type = list.value_type(v);
  if (type != 'R' && type != 'S') return nullptr;
  if (size) *size = VLoadU32(list.value_bytes(v), swapped_);
  return list.value_bytes(v) + 4;
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
  lists_.pop_back();
  selections_.pop_back();
  return true;
}
