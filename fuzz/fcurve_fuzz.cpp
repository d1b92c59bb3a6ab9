// Animation curves from hostile bytes. The first byte picks the form:
//   even: the rest is a Zyn file whose main section holds a curve record;
//   odd:  the rest builds keys directly (time steps, values, flags, tangent
//         words, extrapolations), so evaluation sees any key data.
// Every curve is evaluated around each key, far outside the key range and
// at the extreme times; the cached key search must agree with a search from
// every other start; a curve read from a file must survive a write and a
// read in both forms with the same keys and the same values.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "animation/fcurve.h"
#include "animation/fcurve_io.h"
#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool SameDouble(double a, double b) { return a == b || (a != a && b != b); }

std::vector<VTime> SampleTimes(const VFCurve& c) {
  std::vector<VTime> times = {VTime(INT64_MIN), VTime(INT64_MIN + 1), VTime(-INT64_MAX), VTime(0),
                              VTime(INT64_MAX - 1), VTime(INT64_MAX)};
  const int n = c.KeyGetCount();
  const int step = n > 64 ? n / 64 : 1;
  for (int i = 0; i < n; i += step) {
    const int64_t t = c.KeyGetTime(i).GetTicks();
    for (int64_t d : {int64_t{-1}, int64_t{0}, int64_t{1}}) {
      int64_t x;
      if (!__builtin_add_overflow(t, d, &x)) times.push_back(VTime(x));
    }
    if (i + 1 < n) {
      const int64_t u = c.KeyGetTime(i + 1).GetTicks();
      times.push_back(VTime(t / 2 + u / 2));
    }
  }
  if (n >= 2) {
    const int64_t first = c.KeyGetTime(0).GetTicks(), last = c.KeyGetTime(n - 1).GetTicks();
    const int64_t span = last / 2 - first / 2;
    for (int64_t k = 1; k < 6; ++k) {
      int64_t offset, x;
      if (__builtin_mul_overflow(span, k, &offset) || __builtin_add_overflow(offset, k, &offset)) break;
      if (!__builtin_add_overflow(last, offset, &x)) times.push_back(VTime(x));
      if (!__builtin_sub_overflow(first, offset, &x)) times.push_back(VTime(x));
    }
  }
  return times;
}

// Evaluates everywhere; the search agrees whatever the start index.
std::vector<double> Exercise(const VFCurve& c) {
  std::vector<double> values;
  const int n = c.KeyGetCount();
  int cache = 0;
  for (VTime t : SampleTimes(c)) {
    const double v = c.Evaluate(t, &cache);
    values.push_back(v);
    Check(SameDouble(v, c.Evaluate(t)));
    int start_low = -5, start_high = n + 5, start_mid = n / 2;
    const double p = c.KeySearch(t, &start_low);
    Check(SameDouble(p, c.KeySearch(t, &start_high)));
    Check(SameDouble(p, c.KeySearch(t, &start_mid)));
    Check(n == 0 ? p == -1.0 : (p >= -0.5 && p <= n - 0.5));
  }
  for (int i = 0; i < n; ++i) {
    (void)c.KeyGetRightDerivative(i);
    (void)c.KeyGetLeftDerivative(i);
  }
  return values;
}

void RoundTrip(const VFCurve& c, bool binary) {
  VMemoryStream m;
  m.OpenBuffer();
  VZynFile out;
  Check(out.CreateInStream(&m, binary));
  Check(VFCurveStore(out, c));
  Check(out.CloseFile());
  VZynFile in;
  Check(in.OpenFromMemory(m.buffer().data(), m.buffer().size()));
  VFCurve back;
  Check(VFCurveRetrieve(in, &back));
  Check(back.KeyGetCount() == c.KeyGetCount());
  for (int i = 0; i < c.KeyGetCount(); ++i) {
    Check(back.KeyGetTime(i) == c.KeyGetTime(i));
    const float a = back.KeyGetValue(i), b = c.KeyGetValue(i);
    Check(std::memcmp(&a, &b, 4) == 0);
    Check(back.KeyGetInterpolation(i) == c.KeyGetInterpolation(i));
  }
  const std::vector<double> expected = Exercise(c), got = Exercise(back);
  Check(expected.size() == got.size());
  for (size_t i = 0; i < got.size(); ++i) Check(SameDouble(expected[i], got[i]));
}

template <class T>
T Take(const uint8_t*& p, const uint8_t* end) {
  T v{};
  if (end - p >= static_cast<std::ptrdiff_t>(sizeof v)) {
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
  } else {
    p = end;
  }
  return v;
}

void BuildKeys(const uint8_t* p, const uint8_t* end) {
  VFCurve c;
  c.SetPreExtrapolation(Take<int8_t>(p, end), Take<int8_t>(p, end));
  c.SetPostExtrapolation(Take<int8_t>(p, end), Take<int8_t>(p, end));
  const int64_t scale = int64_t{1} << (Take<uint8_t>(p, end) % 63);
  int64_t t = Take<int64_t>(p, end);
  c.EditBegin();
  while (p < end) {
    const uint16_t step = Take<uint16_t>(p, end);
    int64_t next;
    if (__builtin_mul_overflow(static_cast<int64_t>(step), scale, &next) || __builtin_add_overflow(t, next, &next)) {
      break;
    }
    t = next;
    VFCurveKey key;
    key.time = VTime(t);
    key.value = Take<float>(p, end);
    key.flags = Take<uint32_t>(p, end);
    for (uint32_t& w : key.tangent.word) w = Take<uint32_t>(p, end);
    if (c.KeyInsert(key) < 0) c.KeyAdd(key.time, key.value);
  }
  c.EditEnd();
  Exercise(c);
  VMemoryStream m;
  m.OpenBuffer();
  VZynFile out;
  Check(out.CreateInStream(&m, true));
  Check(VFCurveStore(out, c));
  Check(out.CloseFile());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] & 1) {
    BuildKeys(data + 1, data + size);
    return 0;
  }
  VZynFile file;
  if (!file.OpenFromMemory(data + 1, size - 1)) return 0;
  VFCurve curve;
  VFCurveReadReport report;
  VFCurveRetrieve(file, &curve, &report);
  Check(report.keys_read == curve.KeyGetCount());
  for (int i = 1; i < curve.KeyGetCount(); ++i) Check(curve.KeyGetTime(i - 1) < curve.KeyGetTime(i));
  Exercise(curve);
  RoundTrip(curve, true);
  RoundTrip(curve, false);
  return 0;
}
