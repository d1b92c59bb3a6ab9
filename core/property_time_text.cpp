#include "core/property_time_text.h"

#include "core/time.h"
#include "core/time_text.h"

std::string VPropertyTimeText(std::int64_t ticks) {
  // Detail 5, current default mode (0) and default format (2).
  return VTimeGetString(VTime(ticks), 5, 0, 2);
}
