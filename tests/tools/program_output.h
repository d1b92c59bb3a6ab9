#pragma once
// Running a tool program in the tests and reading its JSON output.

#include <string>

#include "support/temp_dir.h"

namespace tool_test {

struct Result {
  int code;
  std::string out;  // stdout and stderr together
};

inline Result RunProgram(const std::string& program, const std::string& args) {
  Result r;
  r.code = testing_support::RunCommand(program + " " + args + " 2>&1", &r.out);
  return r;
}

// The text of a number or string value after `"key":` in a JSON text
// (strings without their quotes); empty when the key is missing.
inline std::string ValueOf(const std::string& json, const std::string& key) {
  const std::string marker = "\"" + key + "\":";
  const std::size_t at = json.find(marker);
  if (at == std::string::npos) return std::string();
  const std::size_t begin = at + marker.size();
  if (json[begin] == '"') return json.substr(begin + 1, json.find('"', begin + 1) - begin - 1);
  return json.substr(begin, json.find_first_of(",}", begin) - begin);
}

}  // namespace tool_test
