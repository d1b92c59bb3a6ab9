#pragma once
// JSON strings for the player's output. The framework's texts are bytes read
// as Latin-1; JSON is UTF-8, so bytes from 0x80 on become two-byte
// sequences.

#include <string>

#include "host/mac_types.h"

namespace zynplay {

std::string JsonString(const std::string& latin1);
// A four-character code as a JSON string of its four characters.
std::string JsonFourChars(OSType code);

}  // namespace zynplay
