#pragma once
// The curve record of a scene file: "Default", "KeyVer", "KeyCount", "Key"
// and the two extrapolation blocks, read from and written into the block
// the file object has entered.

#include "animation/fcurve.h"

class VZynFile;

// The key coding written; readers accept 4000 to 4004.
inline constexpr int kFCurveKeyVersion = 4004;

// What reading a curve record found.
struct VFCurveReadReport {
  int key_version = 0;
  int key_count = 0;     // as the record states it
  int keys_read = 0;     // keys kept
  int keys_bad = 0;      // keys dropped (type mismatch, out of order, not finite)
  bool truncated = false;  // the key values ran out or could no longer be parsed
};

// Replaces the curve's keys, default and extrapolations with the record's.
// Keys marked bad are dropped; a damaged record keeps the keys that read
// well. Answers false when the record was damaged (bad keys, missing keys,
// an unreadable key letter or a non-finite default) or the file holds an
// error; the curve is left consistent in every case.
bool VFCurveRetrieve(VZynFile& file, VFCurve* curve, VFCurveReadReport* report = nullptr);

// Writes the curve record (key version 4004).
bool VFCurveStore(VZynFile& file, const VFCurve& curve);
