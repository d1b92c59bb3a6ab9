#pragma once
// Reading a named field's block: runs the body inside the block of the
// field's occurrence `index` when that occurrence has one.

#include "zynfile/zyn_file.h"

// Answers whether the field was found (with or without a block).
template <typename Body>
bool VZynReadFieldBlock(VZynFile& file, const char* name, int index, Body&& body) {
  if (!file.FieldReadBegin(name, index)) return false;
  if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
    body();
    file.FieldReadBlockEnd();
  }
  file.FieldReadEnd();
  return true;
}

template <typename Body>
bool VZynReadFieldBlock(VZynFile& file, const char* name, Body&& body) {
  return VZynReadFieldBlock(file, name, 0, static_cast<Body&&>(body));
}
