#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tools {

std::string Base64Encode(const uint8_t* data, size_t size);

}  // namespace tools
