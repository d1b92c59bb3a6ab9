// Reading and writing the curve record.
//
// Key coding, one key after the other in the values of "Key":
//   time (T), value (D), interpolation letter, then by letter:
//   'C' constant: 'n' hold the next key's value, 's' hold this key's value;
//   'L' linear: nothing;
//   'U' cubic: a tangent letter:
//     'a' auto, nothing more;
//     'p' auto, 'q' auto with break: right and next-left balances (2 D);
//     't' TCB: tension, continuity, bias (3 D);
//     's' user, 'b' break: right and next-left derivatives (2 D);
//     after 'p', 'q', 's' and 'b' a weight letter ('n' none, 'r' right,
//     'l' next left, 'a' both) and each weight present as D.
// Key versions 4000 to 4003 have no weight letter and no weights. The
// letters of older writers read as follows, in every version: 'A' and 'Z'
// constant holding the key's value, nothing more; 'B' break with two
// derivatives; 'R' user with two derivatives; 'T' TCB with three values;
// 'H', 'I' and 'O' auto, nothing more.
//
// A key is bad, and dropped, when a value has the wrong type (binary
// files), when its time is not after the previous kept key's time, or when
// one of its numbers is not finite as a float. An unknown letter leaves the
// rest of the values unparseable: reading stops there.

#include "animation/fcurve_io.h"

#include <cmath>
#include <cstring>

#include "zynfile/zyn_file.h"

namespace {

class KeyReader {
 public:
  explicit KeyReader(VZynFile& file)
      : file_(file), binary_(file.IsBinary()), direct_(file.IsBinary() && !file.IsByteSwapped()) {}

  bool Has() const { return file_.FieldReadGetRemain() > 0; }
  bool exhausted() const { return exhausted_; }
  bool bad() const { return bad_; }
  void StartKey() { bad_ = false; }

  VTime Time() {
    if (!Take()) return VTime(0);
    VZynValue v;
    if (direct_ && file_.PeekValue(&v) && v.type == 'L') {  // the common case, decoded in place
      file_.NextValue(&v);
      int64_t ticks;
      std::memcpy(&ticks, v.p, 8);
      return VTime(ticks);
    }
    if (binary_) {
      const char type = file_.FieldReadGetType();
      if (type != 'L' && type != 'D' && type != 'F') bad_ = true;
      if (type == 'D' || type == 'F') {
        // Seconds: a non-finite count has no time.
        double seconds = file_.FieldReadD();
        if (!std::isfinite(seconds)) bad_ = true;
        VTime t;
        t.SetSecondDouble(seconds);
        return t;
      }
    }
    return file_.FieldReadT();
  }

  // A number stored as a float in the key.
  float Number() {
    if (!Take()) return 0.0f;
    VZynValue v;
    if (direct_ && file_.PeekValue(&v) && v.type == 'D') {
      file_.NextValue(&v);
      double d;
      std::memcpy(&d, v.p, 8);
      const float f = static_cast<float>(d);
      if (!std::isfinite(d) || !std::isfinite(f)) bad_ = true;
      return f;
    }
    if (binary_) {
      const char type = file_.FieldReadGetType();
      if (type != 'D' && type != 'F') bad_ = true;
    }
    const double d = file_.FieldReadD();
    const float f = static_cast<float>(d);
    if (!std::isfinite(d) || !std::isfinite(f)) bad_ = true;
    return f;
  }

  // A weight stored in its 16-bit form.
  int16_t Weight() {
    if (!Take()) return kFCurveWeightThird;
    if (binary_) {
      const char type = file_.FieldReadGetType();
      if (type != 'D' && type != 'F') bad_ = true;
    }
    const double d = file_.FieldReadD();
    if (!std::isfinite(d)) bad_ = true;
    return VFCurveWeightFromDouble(d);
  }

  char Letter() {
    if (!Take()) return 0;
    VZynValue v;
    if (direct_ && file_.PeekValue(&v) && v.type == 'C') {
      file_.NextValue(&v);
      return static_cast<char>(v.p[0]);
    }
    if (binary_ && file_.FieldReadGetType() != 'C') {
      file_.FieldReadD();  // consumed; its type already makes it unusable
      return 0;
    }
    return file_.FieldReadCH();
  }

 private:
  bool Take() {
    if (exhausted_ || !Has()) {
      exhausted_ = true;
      return false;
    }
    return true;
  }

  VZynFile& file_;
  bool binary_;
  bool direct_;  // binary and in this machine's byte order
  bool bad_ = false;
  bool exhausted_ = false;
};

enum class KeyRead { kOk, kBad, kStop };

// Tangent words that follow 'p', 'q', 's' and 'b': two floats, then the
// weights (key version 4004).
bool ReadPairAndWeights(KeyReader& in, int version, VFCurveKey* key) {
  key->tangent.word[0] = VFCurveFloatWord(in.Number());
  key->tangent.word[1] = VFCurveFloatWord(in.Number());
  if (version < 4004) return true;
  const char w = in.Letter();
  int16_t right = VFCurveRightWeightBits(key->tangent.word[2]);
  int16_t next_left = VFCurveNextLeftWeightBits(key->tangent.word[2]);
  switch (w) {
    case 'n': return true;
    case 'r':
      key->flags |= kFCurveWeightedRight;
      right = in.Weight();
      break;
    case 'l':
      key->flags |= kFCurveWeightedNextLeft;
      next_left = in.Weight();
      break;
    case 'a':
      key->flags |= kFCurveWeightedMask;
      right = in.Weight();
      next_left = in.Weight();
      break;
    default: return false;
  }
  key->tangent.word[2] = VFCurveWeightWord(right, next_left);
  return true;
}

void ReadTcb(KeyReader& in, VFCurveKey* key) {
  for (uint32_t& word : key->tangent.word) word = VFCurveFloatWord(in.Number());
}

KeyRead ReadKey(KeyReader& in, int version, VFCurveKey* key) {
  *key = VFCurveKey{};
  key->tangent = VFCurveTangentData{};  // balances 0, weights one third
  in.StartKey();
  key->time = in.Time();
  key->value = in.Number();
  const char interpolation = in.Letter();
  switch (interpolation) {
    case 'C': {
      const char mode = in.Letter();
      if (mode != 'n' && mode != 's') return KeyRead::kStop;
      key->flags = kFCurveInterpolationConstant | (mode == 'n' ? kFCurveConstantNext : 0u);
      break;
    }
    case 'A':
    case 'Z': key->flags = kFCurveInterpolationConstant; break;
    case 'L': key->flags = kFCurveInterpolationLinear; break;
    case 'U': {
      const char mode = in.Letter();
      switch (mode) {
        case 'a': key->flags = kFCurveInterpolationCubic | kFCurveTangentAuto; break;
        case 'p':
        case 'q':
          key->flags = kFCurveInterpolationCubic | (mode == 'p' ? kFCurveTangentAuto : kFCurveTangentAutoBreak);
          if (!ReadPairAndWeights(in, version, key)) return KeyRead::kStop;
          break;
        case 't':
          key->flags = kFCurveInterpolationCubic | kFCurveTangentTCB;
          ReadTcb(in, key);
          break;
        case 's':
        case 'b':
          key->flags = kFCurveInterpolationCubic | (mode == 's' ? kFCurveTangentUser : kFCurveTangentUserBreak);
          if (!ReadPairAndWeights(in, version, key)) return KeyRead::kStop;
          break;
        default: return KeyRead::kStop;
      }
      break;
    }
    case 'B':
    case 'R':
      key->flags = kFCurveInterpolationCubic | (interpolation == 'B' ? kFCurveTangentUserBreak : kFCurveTangentUser);
      key->tangent.word[0] = VFCurveFloatWord(in.Number());
      key->tangent.word[1] = VFCurveFloatWord(in.Number());
      break;
    case 'T':
      key->flags = kFCurveInterpolationCubic | kFCurveTangentTCB;
      ReadTcb(in, key);
      break;
    case 'H':
    case 'I':
    case 'O': key->flags = kFCurveInterpolationCubic | kFCurveTangentAuto; break;
    default: return KeyRead::kStop;
  }
  if (in.exhausted()) return KeyRead::kStop;
  return in.bad() ? KeyRead::kBad : KeyRead::kOk;
}

int ExtrapolationType(char letter) {
  switch (letter) {
    case 'C': return kFCurveExtrapolationConstant;
    case 'R': return kFCurveExtrapolationRepetition;
    case 'M': return kFCurveExtrapolationMirrorRepetition;
    case 'K': return kFCurveExtrapolationKeepSlope;
    default: return 0;
  }
}

char ExtrapolationLetter(int type) {
  switch (type) {
    case kFCurveExtrapolationConstant: return 'C';
    case kFCurveExtrapolationRepetition: return 'R';
    case kFCurveExtrapolationMirrorRepetition: return 'M';
    case kFCurveExtrapolationKeepSlope: return 'K';
    default: return '0';
  }
}

// A missing block is constant extrapolation.
void ReadExtrapolation(VZynFile& file, const char* name, int* type, int* count) {
  *type = kFCurveExtrapolationConstant;
  *count = 0;
  if (!file.FieldReadBegin(name)) return;
  if (file.FieldReadBlockBegin()) {
    *type = ExtrapolationType(file.FieldReadCH("Type", 'C'));
    *count = file.FieldReadI("Repetition", 0);
    file.FieldReadBlockEnd();
  }
  file.FieldReadEnd();
}

bool WriteExtrapolation(VZynFile& file, const char* name, int type, int count) {
  if (type < kFCurveExtrapolationConstant || type > kFCurveExtrapolationKeepSlope) return true;
  if (type == kFCurveExtrapolationConstant && count == 0) return true;
  return file.FieldWriteBlockBegin(name) && file.FieldWriteCH("Type", ExtrapolationLetter(type)) &&
         file.FieldWriteI("Repetition", count) && file.FieldWriteBlockEnd() && file.FieldWriteEnd();
}

bool WriteWeights(VZynFile& file, uint32_t flags, uint32_t word3) {
  const bool right = (flags & kFCurveWeightedRight) != 0;
  const bool next_left = (flags & kFCurveWeightedNextLeft) != 0;
  bool ok = file.FieldWriteCH(right ? (next_left ? 'a' : 'r') : (next_left ? 'l' : 'n'));
  if (right) ok = ok && file.FieldWriteD(VFCurveWeightToDouble(VFCurveRightWeightBits(word3)));
  if (next_left) ok = ok && file.FieldWriteD(VFCurveWeightToDouble(VFCurveNextLeftWeightBits(word3)));
  return ok;
}

bool WriteKey(VZynFile& file, const VFCurveKey& key) {
  const uint32_t flags = key.flags;
  const auto word = [&](int w) { return static_cast<double>(VFCurveWordFloat(key.tangent.word[w])); };
  bool ok = file.FieldWriteT(key.time) && file.FieldWriteD(key.value);
  switch (flags & kFCurveInterpolationMask) {
    case kFCurveInterpolationConstant:
      return ok && file.FieldWriteCH('C') && file.FieldWriteCH((flags & kFCurveConstantNext) ? 'n' : 's');
    case kFCurveInterpolationLinear: return ok && file.FieldWriteCH('L');
    default: break;
  }
  ok = ok && file.FieldWriteCH('U');
  const uint32_t mode = flags & kFCurveTangentMask;
  switch (mode) {
    case kFCurveTangentTCB:
      return ok && file.FieldWriteCH('t') && file.FieldWriteD(word(0)) && file.FieldWriteD(word(1)) &&
             file.FieldWriteD(word(2));
    case kFCurveTangentUser:
    case kFCurveTangentUserBreak:
      return ok && file.FieldWriteCH(mode == kFCurveTangentUser ? 's' : 'b') && file.FieldWriteD(word(0)) &&
             file.FieldWriteD(word(1)) && WriteWeights(file, flags, key.tangent.word[2]);
    default: {
      // Auto. The short form carries no weights, so weighted keys keep the
      // long form even with both balances 0.
      const bool plain = word(0) == 0.0 && word(1) == 0.0 && !(flags & kFCurveWeightedMask);
      if (plain) return ok && file.FieldWriteCH('a');
      return ok && file.FieldWriteCH(mode == kFCurveTangentAutoBreak ? 'q' : 'p') && file.FieldWriteD(word(0)) &&
             file.FieldWriteD(word(1)) && WriteWeights(file, flags, key.tangent.word[2]);
    }
  }
}

}  // namespace

bool VFCurveRetrieve(VZynFile& file, VFCurve* curve, VFCurveReadReport* report) {
  VFCurveReadReport local;
  VFCurveReadReport& r = report ? *report : local;
  r = VFCurveReadReport{};
  if (!curve) return false;
  bool damaged = false;

  curve->EditBegin();
  curve->EditClear();
  double default_value = file.FieldReadD("Default", curve->GetDefaultValue());
  float narrowed = static_cast<float>(default_value);
  if (!std::isfinite(default_value) || !std::isfinite(narrowed)) {
    narrowed = 0.0f;
    damaged = true;
  }
  curve->SetDefaultValue(narrowed);

  r.key_version = file.FieldReadI("KeyVer", kFCurveKeyVersion);
  r.key_count = file.FieldReadI("KeyCount", 0);
  if (r.key_count > 0) {
    if (file.FieldReadBegin("Key")) {
      // Every key takes three values at least: the count the record states
      // is bound by the values it holds.
      const int remain = file.FieldReadGetRemain();
      curve->KeyReserve(std::min(r.key_count, remain / 3));
      KeyReader in(file);
      VFCurveKey key;
      for (int k = 0; k < r.key_count; ++k) {
        if (!in.Has()) break;
        const KeyRead result = ReadKey(in, r.key_version, &key);
        if (result == KeyRead::kStop) {
          r.truncated = true;
          break;
        }
        if (result == KeyRead::kBad || !curve->KeyAppend(key)) {
          ++r.keys_bad;
          continue;
        }
        ++r.keys_read;
      }
      file.FieldReadEnd();
    }
    if (r.keys_read + r.keys_bad < r.key_count) r.truncated = true;
  }
  int type = 0, count = 0;
  ReadExtrapolation(file, "Pre-Extrapolation", &type, &count);
  curve->SetPreExtrapolation(type, count);
  ReadExtrapolation(file, "Post-Extrapolation", &type, &count);
  curve->SetPostExtrapolation(type, count);
  curve->EditEnd();

  if (r.keys_bad > 0 || r.truncated) damaged = true;
  return !damaged && !file.HasError();
}

bool VFCurveStore(VZynFile& file, const VFCurve& curve) {
  bool ok = file.FieldWriteD("Default", curve.GetDefaultValue());
  const int n = curve.KeyGetCount();
  if (n > 0) {
    ok = ok && file.FieldWriteI("KeyVer", kFCurveKeyVersion) && file.FieldWriteI("KeyCount", n) &&
         file.FieldWriteBegin("Key");
    for (int i = 0; ok && i < n; ++i) ok = WriteKey(file, curve.KeyGet(i));
    ok = ok && file.FieldWriteEnd();
  }
  ok = ok && WriteExtrapolation(file, "Pre-Extrapolation", curve.GetPreExtrapolation(),
                                curve.GetPreExtrapolationCount());
  ok = ok && WriteExtrapolation(file, "Post-Extrapolation", curve.GetPostExtrapolation(),
                                curve.GetPostExtrapolationCount());
  return ok && !file.HasError();
}
