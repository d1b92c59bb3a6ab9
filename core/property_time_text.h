#pragma once
// Text form of a time property's value: the time's text at detail 5 in the
// current default time mode and format.

#include <cstdint>
#include <string>

std::string VPropertyTimeText(std::int64_t ticks);
