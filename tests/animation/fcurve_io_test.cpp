// The curve record: round trips in both forms, the key layout, older key
// versions and damaged or hostile records.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/zyn_memory.h"
#include "animation/fcurve.h"
#include "animation/fcurve_io.h"
#include "fcurve_test_util.h"
#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace {

using namespace fcurve_test;

// Writes a main section with body into memory.
std::vector<uint8_t> Write(bool binary, const std::function<void(VZynFile&)>& body) {
  return testing_support::WriteZynToMemory(binary, body);
}

// Reads a curve from the main section of the bytes.
bool Read(const std::vector<uint8_t>& bytes, VFCurve* c, VFCurveReadReport* report = nullptr) {
  VZynFile f;
  EXPECT_TRUE(f.OpenFromMemory(bytes.data(), bytes.size())) << f.GetErrorMessage();
  return VFCurveRetrieve(f, c, report);
}

// A curve with every kind of key and both extrapolations.
void EveryKind(VFCurve& c) {
  c.SetDefaultValue(-1.25f);
  Fill(c, {Key(-1, 0.1f, kConstant), Key(0, 1, kConstantNext), Key(0.5, 2.5f, kLinear), Key(1, -3, kAuto),
           Key(1.5, 4, kAuto), Key(2, 5, kAuto), Key(2.5, 6, kTcb), Key(3, 7, kUser), Key(3.5, 8, kUser),
           Key(4, 9, kUser), Key(4.5, 10, kUser), Key(5, 11, kBreak), Key(6, 1e-30f, kBreak)});
  c.KeySetAuto(4, 12.5f, -7);        // 'p'
  c.KeySetAuto(5, 0, 3, true);       // 'q'
  c.KeySetTCB(6, 0.25f, -0.5f, 1);   // 't'
  c.KeySetUser(7, 1.5f, -2.5f);      // 's', 'n'
  c.KeySetUser(8, 3, 4);             // 's', 'r'
  c.KeySetWeighted(8, true, false);
  c.KeySetWeights(8, 0.7, 0);
  c.KeySetUser(9, -5, 6);            // 's', 'l'
  c.KeySetWeighted(9, false, true);
  c.KeySetWeights(9, 0, 0.123);
  c.KeySetUser(10, 0, 0);            // 's', 'a'
  c.KeySetWeighted(10, true, true);
  c.KeySetWeights(10, 0.9, 0.05);
  c.KeySetUser(11, 7, 8, true);      // 'b'
  c.KeySetWeighted(11, true, true);  // both one third
  c.SetPreExtrapolation(kFCurveExtrapolationMirrorRepetition, 3);
  c.SetPostExtrapolation(kFCurveExtrapolationKeepSlope, -1);
}

void ExpectSameCurve(const VFCurve& a, const VFCurve& b) {
  EXPECT_EQ(a.GetDefaultValue(), b.GetDefaultValue());
  EXPECT_EQ(a.GetPreExtrapolation(), b.GetPreExtrapolation());
  EXPECT_EQ(a.GetPreExtrapolationCount(), b.GetPreExtrapolationCount());
  EXPECT_EQ(a.GetPostExtrapolation(), b.GetPostExtrapolation());
  EXPECT_EQ(a.GetPostExtrapolationCount(), b.GetPostExtrapolationCount());
  ASSERT_EQ(a.KeyGetCount(), b.KeyGetCount());
  for (int i = 0; i < a.KeyGetCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a.KeyGetTime(i), b.KeyGetTime(i));
    EXPECT_EQ(a.KeyGetValue(i), b.KeyGetValue(i));
    EXPECT_EQ(a.KeyGetFlags(i), b.KeyGetFlags(i));
    // Constant and linear keys store no tangent words.
    // Only the weighted halves of word 2 are stored.
    if (a.KeyGetInterpolation(i) == kFCurveInterpolationCubic) {
      const VFCurveTangentData da = a.KeyGetTangentData(i), db = b.KeyGetTangentData(i);
      EXPECT_EQ(da.word[0], db.word[0]);
      EXPECT_EQ(da.word[1], db.word[1]);
      const uint32_t flags = a.KeyGetFlags(i);
      if (a.KeyGetTangentMode(i) == kFCurveTangentTCB) {
        EXPECT_EQ(da.word[2], db.word[2]);
      }
      if (flags & kFCurveWeightedRight) {
        EXPECT_EQ(VFCurveRightWeightBits(da.word[2]), VFCurveRightWeightBits(db.word[2]));
      }
      if (flags & kFCurveWeightedNextLeft) {
        EXPECT_EQ(VFCurveNextLeftWeightBits(da.word[2]), VFCurveNextLeftWeightBits(db.word[2]));
      }
    }
  }
}

class FCurveRecord : public ::testing::TestWithParam<bool> {};

TEST_P(FCurveRecord, RoundTripKeepsEveryKindOfKey) {
  VFCurve original, back;
  EveryKind(original);
  std::vector<uint8_t> bytes = Write(GetParam(), [&](VZynFile& f) { EXPECT_TRUE(VFCurveStore(f, original)); });
  VFCurveReadReport report;
  ASSERT_TRUE(Read(bytes, &back, &report));
  EXPECT_EQ(report.key_version, 4004);
  EXPECT_EQ(report.key_count, 13);
  EXPECT_EQ(report.keys_read, 13);
  ExpectSameCurve(original, back);
  for (double s = -3; s < 9; s += 0.0625) EXPECT_EQ(original.Evaluate(S(s)), back.Evaluate(S(s))) << s;
}

TEST_P(FCurveRecord, EmptyCurveWritesOnlyItsDefault) {
  VFCurve original(4.5f), back;
  std::vector<uint8_t> bytes = Write(GetParam(), [&](VZynFile& f) { VFCurveStore(f, original); });
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(bytes.data(), bytes.size()));
  EXPECT_FALSE(f.FieldReadBegin("KeyVer"));
  EXPECT_FALSE(f.FieldReadBegin("KeyCount"));
  EXPECT_FALSE(f.FieldReadBegin("Key"));
  EXPECT_FALSE(f.FieldReadBegin("Pre-Extrapolation"));  // constant with count 0
  EXPECT_FALSE(f.FieldReadBegin("Post-Extrapolation"));
  EXPECT_TRUE(VFCurveRetrieve(f, &back));
  EXPECT_EQ(back.GetDefaultValue(), 4.5f);
  EXPECT_EQ(back.KeyGetCount(), 0);
  EXPECT_EQ(back.GetPreExtrapolation(), kFCurveExtrapolationConstant);
}

// The values of "Key" as text, one letter or number per value.
std::vector<std::string> KeyValues(const std::vector<uint8_t>& bytes) {
  VZynFile f;
  EXPECT_TRUE(f.OpenFromMemory(bytes.data(), bytes.size()));
  std::vector<std::string> out;
  if (!f.FieldReadBegin("Key")) return out;
  while (f.FieldReadGetRemain() > 0) {
    if (f.IsBinary() && f.FieldReadGetType() == 'C') {
      out.push_back(std::string(1, f.FieldReadCH()));
    } else if (f.IsBinary() && f.FieldReadGetType() == 'L') {
      out.push_back("T");
      f.FieldReadLL();
    } else {
      out.push_back(f.FieldReadC());
    }
  }
  return out;
}

TEST(FCurveRecordLayout, KeyLettersAndValueCounts) {
  struct Row {
    std::function<void(VFCurve&)> set;
    std::vector<std::string> letters;  // the values after time and value
  };
  const Row rows[] = {
      {[](VFCurve& c) { c.KeySetFlags(0, kConstant); }, {"C", "s"}},
      {[](VFCurve& c) { c.KeySetFlags(0, kConstantNext); }, {"C", "n"}},
      {[](VFCurve& c) { c.KeySetFlags(0, kLinear); }, {"L"}},
      {[](VFCurve&) {}, {"U", "a"}},
      {[](VFCurve& c) { c.KeySetAuto(0, 0, 0, true); }, {"U", "a"}},
      {[](VFCurve& c) { c.KeySetAuto(0, 1, 0); }, {"U", "p", "1", "0", "n"}},
      {[](VFCurve& c) { c.KeySetAuto(0, 0, 2, true); }, {"U", "q", "0", "2", "n"}},
      {[](VFCurve& c) { c.KeySetTCB(0, 1, 2, 3); }, {"U", "t", "1", "2", "3"}},
      {[](VFCurve& c) { c.KeySetUser(0, 1, 2); }, {"U", "s", "1", "2", "n"}},
      {[](VFCurve& c) {
         c.KeySetUser(0, 1, 2, true);
         c.KeySetWeighted(0, false, true);
         c.KeySetWeights(0, 0, 0.25);
       },
       {"U", "b", "1", "2", "l", "0.250025"}},
      // A weighted auto key with zero balances keeps its weights.
      {[](VFCurve& c) {
         c.KeySetWeighted(0, true, false);
         c.KeySetWeights(0, 0.5, 0);
       },
       {"U", "p", "0", "0", "r", "0.50005"}},
  };
  for (const Row& r : rows) {
    VFCurve c;
    c.KeyAdd(S(1), 3);
    r.set(c);
    std::vector<uint8_t> bytes = Write(false, [&](VZynFile& f) { VFCurveStore(f, c); });
    std::vector<std::string> values = KeyValues(bytes);
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(values.begin() + 2, values.end()), r.letters);
  }
}

TEST(FCurveRecordLayout, ExtrapolationBlocks) {
  struct Row {
    int type, count;
    char letter;  // 0: no block
  };
  const Row rows[] = {{1, 0, 0}, {1, 2, 'C'}, {2, -1, 'R'}, {3, 0, 'M'}, {4, 5, 'K'}, {0, 1, 0}, {8, 1, 0}};
  for (bool binary : {true, false}) {
    for (const Row& r : rows) {
      VFCurve c, back;
      c.KeyAdd(S(0), 1);
      c.SetPostExtrapolation(r.type, r.count);
      std::vector<uint8_t> bytes = Write(binary, [&](VZynFile& f) { VFCurveStore(f, c); });
      VZynFile f;
      ASSERT_TRUE(f.OpenFromMemory(bytes.data(), bytes.size()));
      EXPECT_FALSE(f.FieldReadBegin("Pre-Extrapolation"));
      ASSERT_EQ(f.FieldReadBegin("Post-Extrapolation"), r.letter != 0) << r.type;
      if (!r.letter) continue;
      ASSERT_TRUE(f.FieldReadBlockBegin());
      EXPECT_EQ(f.FieldReadCH("Type", 0), r.letter);
      EXPECT_EQ(f.FieldReadI("Repetition", 99), r.count);
      f.FieldReadBlockEnd();
      f.FieldReadEnd();
      ASSERT_TRUE(Read(bytes, &back));
      EXPECT_EQ(back.GetPostExtrapolation(), r.type);
      EXPECT_EQ(back.GetPostExtrapolationCount(), r.count);
    }
  }
}

// Hand-written records: a key list of arbitrary values.
struct Value {
  char kind;  // 'T' ticks, 'S' seconds (double time), 'D' double, 'I' int, 'C' letter
  double number;
};

std::vector<uint8_t> Record(bool binary, int version, int count, const std::vector<Value>& values,
                            bool with_key = true) {
  return Write(binary, [&](VZynFile& f) {
    f.FieldWriteD("Default", 2);
    f.FieldWriteI("KeyVer", version);
    f.FieldWriteI("KeyCount", count);
    if (!with_key) return;
    f.FieldWriteBegin("Key");
    for (const Value& v : values) {
      switch (v.kind) {
        case 'T': f.FieldWriteT(S(v.number)); break;
        case 'S': f.FieldWriteD(v.number); break;
        case 'D': f.FieldWriteD(v.number); break;
        case 'I': f.FieldWriteI(static_cast<int32_t>(v.number)); break;
        default: f.FieldWriteCH(static_cast<char>(v.number)); break;
      }
    }
    f.FieldWriteEnd();
  });
}

Value T(double s) { return {'T', s}; }
Value D(double d) { return {'D', d}; }
Value C(char c) { return {'C', static_cast<double>(c)}; }

TEST_P(FCurveRecord, OlderKeyVersionsAndLetters) {
  // 4003: no weight letter after the tangent values.
  VFCurve c;
  VFCurveReadReport report;
  std::vector<uint8_t> bytes = Record(GetParam(), 4003, 3,
                                      {T(0), D(1), C('U'), C('s'), D(2), D(3),  //
                                       T(1), D(4), C('U'), C('p'), D(50), D(0),  //
                                       T(2), D(5), C('L')});
  ASSERT_TRUE(Read(bytes, &c, &report));
  ASSERT_EQ(c.KeyGetCount(), 3);
  EXPECT_EQ(c.KeyGetFlags(0), kUser);
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(0).word[1]), 3.0f);
  EXPECT_EQ(c.KeyGetTangentData(0).word[2], kFCurveDefaultWord3);  // weights stay one third
  EXPECT_EQ(c.KeyGetFlags(1), kAuto);
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(1).word[0]), 50.0f);
  EXPECT_EQ(c.KeyGetFlags(2), kLinear);

  // Letters of older writers, in 4000.
  bytes = Record(GetParam(), 4000, 7,
                 {T(0), D(1), C('A'), T(1), D(2), C('Z'), T(2), D(3), C('T'), D(0.5), D(0), D(0),
                  T(3), D(4), C('B'), D(1), D(2), T(4), D(5), C('R'), D(3), D(4), T(5), D(6), C('H'),
                  T(6), D(7), C('O')});
  ASSERT_TRUE(Read(bytes, &c, &report));
  ASSERT_EQ(c.KeyGetCount(), 7);
  const uint32_t flags[] = {kConstant, kConstant, kTcb, kBreak, kUser, kAuto, kAuto};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(c.KeyGetFlags(i), flags[i]) << i;
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(2).word[0]), 0.5f);
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(4).word[1]), 4.0f);
}

TEST_P(FCurveRecord, DamagedKeysAreDroppedAndTheRestKept) {
  struct Row {
    const char* what;
    int count;
    std::vector<Value> values;
    std::vector<double> times;  // of the keys kept
    int bad;
    bool truncated;
  };
  const Row rows[] = {
      {"out of order", 3, {T(0), D(1), C('L'), T(2), D(2), C('L'), T(1), D(3), C('L')}, {0, 2}, 1, false},
      {"same time", 2, {T(1), D(1), C('L'), T(1), D(2), C('L')}, {1}, 1, false},
      {"NaN value", 2, {T(0), D(NAN), C('L'), T(1), D(2), C('L')}, {1}, 1, false},
      {"infinite value", 2, {T(0), D(INFINITY), C('L'), T(1), D(2), C('L')}, {1}, 1, false},
      {"value beyond a float", 2, {T(0), D(1e300), C('L'), T(1), D(2), C('L')}, {1}, 1, false},
      {"NaN derivative", 2, {T(0), D(0), C('U'), C('s'), D(NAN), D(0), C('n'), T(1), D(2), C('L')}, {1}, 1, false},
      {"NaN weight", 2, {T(0), D(0), C('U'), C('s'), D(0), D(0), C('r'), D(NAN), T(1), D(2), C('L')}, {1}, 1, false},
      {"count beyond the values", 2147483647, {T(0), D(1), C('L'), T(1), D(2), C('L')}, {0, 1}, 0, true},
      {"count below the values", 1, {T(0), D(1), C('L'), T(1), D(2), C('L')}, {0}, 0, false},
      {"negative count", -5, {T(0), D(1), C('L')}, {}, 0, false},
      {"unknown interpolation", 3, {T(0), D(1), C('L'), T(1), D(2), C('X'), T(2), D(3), C('L')}, {0}, 0, true},
      {"unknown tangent", 2, {T(0), D(1), C('U'), C('x'), T(1), D(2), C('L')}, {}, 0, true},
      {"unknown weight letter", 2, {T(0), D(1), C('U'), C('s'), D(0), D(0), C('w'), T(1), D(2), C('L')}, {}, 0, true},
      {"cut inside a key", 2, {T(0), D(1), C('L'), T(1), D(2), C('U'), C('t'), D(0)}, {0}, 0, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    VFCurve c;
    VFCurveReadReport report;
    const bool ok = Read(Record(GetParam(), 4004, r.count, r.values), &c, &report);
    EXPECT_EQ(ok, r.bad == 0 && !r.truncated);
    ASSERT_EQ(c.KeyGetCount(), static_cast<int>(r.times.size()));
    for (size_t i = 0; i < r.times.size(); ++i) EXPECT_EQ(c.KeyGetTime(static_cast<int>(i)), S(r.times[i]));
    EXPECT_EQ(report.keys_bad, r.bad);
    EXPECT_EQ(report.truncated, r.truncated);
    EXPECT_EQ(c.GetDefaultValue(), 2.0f);
    for (double s : {-1.0, 0.5, 3.0}) EXPECT_TRUE(std::isfinite(c.Evaluate(S(s))));
  }
}

TEST_P(FCurveRecord, MissingPartsOfTheRecord) {
  VFCurve c(7);
  c.KeyAdd(S(0), 1);
  c.SetPreExtrapolation(3, 3);
  // A count without a "Key" field: damaged, no keys, and extrapolation back
  // to constant since the record has no blocks.
  VFCurveReadReport report;
  EXPECT_FALSE(Read(Record(GetParam(), 4004, 3, {}, false), &c, &report));
  EXPECT_TRUE(report.truncated);
  EXPECT_EQ(c.KeyGetCount(), 0);
  EXPECT_EQ(c.GetPreExtrapolation(), kFCurveExtrapolationConstant);
  EXPECT_EQ(c.GetPreExtrapolationCount(), 0);
  // Nothing at all: the curve keeps its default value.
  c.SetDefaultValue(7);
  EXPECT_TRUE(Read(Write(GetParam(), [](VZynFile&) {}), &c));
  EXPECT_EQ(c.GetDefaultValue(), 7.0f);
  // A non-finite default reads as 0.
  EXPECT_FALSE(Read(Write(GetParam(), [](VZynFile& f) { f.FieldWriteD("Default", NAN); }), &c));
  EXPECT_EQ(c.GetDefaultValue(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(BinaryAndAscii, FCurveRecord, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Binary" : "Ascii"; });

TEST(FCurveRecordBinary, ValuesOfTheWrongTypeMarkTheKeyBad) {
  struct Row {
    const char* what;
    std::vector<Value> values;
  };
  const Row rows[] = {
      {"time as an int", {{'I', 0}, D(1), C('L'), T(1), D(2), C('L')}},
      {"value as an int", {T(0), {'I', 1}, C('L'), T(1), D(2), C('L')}},
      {"derivative as an int", {T(0), D(0), C('U'), C('s'), {'I', 1}, D(0), C('n'), T(1), D(2), C('L')}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    VFCurve c;
    VFCurveReadReport report;
    EXPECT_FALSE(Read(Record(true, 4004, 2, r.values), &c, &report));
    EXPECT_EQ(report.keys_bad, 1);
    ASSERT_EQ(c.KeyGetCount(), 1);
    EXPECT_EQ(c.KeyGetTime(0), S(1));
  }
  // Times in seconds (double) are accepted; non-finite seconds are not.
  VFCurve c;
  EXPECT_TRUE(Read(Record(true, 4004, 2, {{'S', 0.5}, D(1), C('L'), {'S', 1.5}, D(2), C('L')}), &c));
  EXPECT_EQ(c.KeyGetTime(1), S(1.5));
  EXPECT_FALSE(Read(Record(true, 4004, 2, {{'S', NAN}, D(1), C('L'), {'S', 1.5}, D(2), C('L')}), &c));
  EXPECT_EQ(c.KeyGetCount(), 1);
  // A letter that is not a letter ends the key list.
  VFCurveReadReport report;
  EXPECT_FALSE(Read(Record(true, 4004, 2, {T(0), D(1), D(76), T(1), D(2), C('L')}), &c, &report));
  EXPECT_TRUE(report.truncated);
  EXPECT_EQ(c.KeyGetCount(), 0);
}

}  // namespace
