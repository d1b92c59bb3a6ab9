#pragma once
// The first line of an ASCII Zyn file: "; ZYN 6.0.0 project file".

#include <cstddef>

// Parses the first line; on a match stores the file version and answers true.
bool VZynParseAsciiFirstLine(const char* line, size_t length, int* version);
