#pragma once
// Shared by the container fuzz targets: opens bytes as a Zyn file, visits
// every section, block and value with every getter, then writes what was
// read into the other form in memory and reads that back.

#include <cstdint>
#include <cstddef>

#include "zynfile/field_copy.h"
#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace fuzz_support {

inline void WalkBlock(VZynFile& file, int budget_depth) {
  int count = file.FieldReadOccurrenceCount();
  for (int k = 0; k < count && file.FieldReadBeginOccurrence(k); ++k) {
    (void)file.FieldReadGetName();
    int n = file.FieldReadGetCount();
    for (int i = 0; i < n; ++i) {
      switch (file.FieldReadGetType()) {
        case 'C': (void)file.FieldReadCH(); break;
        case 'I': (void)file.FieldReadI(); break;
        case 'F': (void)file.FieldReadF(); break;
        case 'D': (void)file.FieldReadD(); break;
        case 'L': (void)file.FieldReadT(); break;
        case 'R': {
          uint32_t size = 0;
          const uint8_t* p = file.FieldReadR(&size);
          volatile uint8_t sink = 0;
          if (p && size) sink = static_cast<uint8_t>(p[0] ^ p[size - 1]);
          (void)sink;
          break;
        }
        default:
          // ASCII values: every conversion of the same text.
          if (!file.IsBinary() && file.FieldReadGetRemain() > 0) {
            (void)file.FieldReadI();
            break;
          }
          (void)file.FieldReadC();
      }
    }
    (void)file.FieldReadI(); // past the end
    if (file.FieldReadIsBlock() && budget_depth > 0 && file.FieldReadBlockBegin()) {
      WalkBlock(file, budget_depth - 1);
      file.FieldReadBlockEnd();
    }
  }
  // Named lookups, present or not.
  double fallback[3] = {1, 2, 3}, out[3];
  file.FieldReadFn("Vertices", out, 3, fallback);
  (void)file.FieldReadC("Creator", "");
}

inline void WalkFile(const uint8_t* data, size_t size, bool copy_to_other_form) {
  VZynFile file;
  if (!file.OpenFromMemory(data, size, false, true, false)) return;
  for (int s = 0; s <= file.SectionCount(); ++s) {
    if (!file.OpenSection(s)) break;
    // Deep enough to reach the nesting limit when a file tries it.
    WalkBlock(file, 1100);
    file.CloseSection();
  }
  if (!copy_to_other_form || !file.OpenSection(0)) return;
  VMemoryStream memory;
  memory.OpenBuffer();
  VZynFile out;
  if (out.CreateInStream(&memory, !file.IsBinary())) {
    VZynCopyBlock(file, out);
    out.CloseFile();
    VZynFile back;
    if (back.OpenFromMemory(memory.buffer().data(), memory.buffer().size(), true, true, true)) {
      WalkBlock(back, 64);
    }
  }
}

}  // namespace fuzz_support
