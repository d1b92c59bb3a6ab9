#pragma once
// Running zynplay from the tests: the sample scene written by `zyn demo`,
// event scripts, and the --trace file read back line by line.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zynplay_test {

struct Run {
  int code = -1;
  std::string out;  // stdout and stderr together
};

inline Run Zynplay(const std::string& args, const std::string& environment = "") {
  Run r;
  r.code = testing_support::RunCommand(environment + " " + std::string(ZYNPLAY_PROGRAM) + " " + args + " 2>&1", &r.out);
  return r;
}

// The sample scene (with its texture and tone clip) in `dir`; its path.
inline std::string WriteSampleScene(const testing_support::TempDir& dir) {
  const std::string path = dir.File("sample.zyn");
  std::string out;
  EXPECT_EQ(testing_support::RunCommand(std::string(ZYN_PROGRAM) + " demo " + path + " 2>&1", &out), 0) << out;
  return path;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline bool Has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

// The trace lines of idle calls, events and texts, as the trace gave them.
struct Trace {
  std::vector<std::string> lines;

  explicit Trace(const std::string& path) : lines(ReadLines(path)) {}

  // Indices of the lines that contain `part`.
  std::vector<std::size_t> Find(const std::string& part) const {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (Has(lines[i], part)) found.push_back(i);
    }
    return found;
  }
  // The texts drawn by the last idle call that drew, before line `before`.
  std::vector<std::string> TextsOfLastDraw(std::size_t before) const {
    std::size_t end = std::min(before, lines.size());
    while (end > 0 && !(Has(lines[end - 1], "\"call\":\"idle\"") && Has(lines[end - 1], "\"drew\":true"))) --end;
    std::vector<std::string> texts;
    std::size_t begin = end > 0 ? end - 1 : 0;
    while (begin > 0 && Has(lines[begin - 1], "\"call\":\"text\"")) --begin;
    for (std::size_t i = begin; i + 1 < end; ++i) texts.push_back(lines[i]);
    return texts;
  }
};

inline bool AnyHas(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& l : lines) {
    if (Has(l, part)) return true;
  }
  return false;
}

}  // namespace zynplay_test
