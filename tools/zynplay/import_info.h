#pragma once
// zynplay --import-info: imports a file into a new movie through the
// importer registered for its extension and prints what the import made.

#include <string>

namespace zynplay {

// Registers `library`, imports `file` and writes the JSON record on stdout.
// Answers the program's exit code (0, or 1 after a one-line message on
// stderr).
int ImportInfo(const std::string& library, const std::string& file);

}  // namespace zynplay
