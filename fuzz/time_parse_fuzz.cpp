// Parses arbitrary bytes as time texts in both formats and several modes,
// and formats ticks taken from the input at every detail.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/time.h"
#include "core/time_mode.h"
#include "core/time_span.h"
#include "core/time_text.h"

namespace {

int64_t TicksFrom(const uint8_t* data, size_t size) {
  uint64_t bits = 0;
  if (size > 0) std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
  return static_cast<int64_t>(bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int modes[] = {0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, -1};
  for (int format : {0, 1, 2}) {
    for (int mode : modes) {
      VTime time(TicksFrom(data, size));
      VTimeSetString(&time, text, mode, format);
      // Whatever was read must split and print again.
      int64_t h, m, s, f, fd, hh;
      time.GetTime(h, m, s, f, fd, hh, mode);
      VTimeGetString(time, 6, mode, format);
      time.GetFramedTime(true);
    }
  }
  const int64_t ticks = TicksFrom(data, size);
  for (int64_t t : {ticks, VTimeWrapSub(0, ticks), ticks / 1000, INT64_MIN, INT64_MAX, -INT64_MAX}) {
    for (int mode : modes) {
      for (int detail = -1; detail <= 7; ++detail) {
        VTimeGetString(VTime(t), detail, mode, 0);
        VTimeGetString(VTime(t), detail, mode, 1);
      }
      VTime(t).GetFrame(true, mode);
      VTime(t).GetHours(false, mode);
    }
    VTimeSpan span(VTime(t), VTime(ticks ^ 0x5555));
    (void)span.GetDuration();
    (void)(span & VTimeSpan(-VTime(t), VTime(t)));
  }
  if (size >= 28) {
    int labels[7];
    std::memcpy(labels, data, sizeof labels);
    for (int mode : modes) {
      VTime t;
      t.SetTime(labels[0], labels[1], labels[2], labels[3], labels[4], labels[5], mode);
      t.SetTime(labels[0], labels[1], labels[2], labels[3], labels[6], mode);
    }
  }
  return 0;
}
