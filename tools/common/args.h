#pragma once
// Command-line parsing shared by the tools: positional arguments, boolean
// flags and options with a value. Negative numbers ("-3", "-0.5") are
// values, never options.

#include <map>
#include <string>
#include <vector>

namespace tools {

struct ArgSpec {
  std::vector<std::string> flags;    // e.g. "--ascii"
  std::vector<std::string> options;  // take one value, may repeat: "--mode"
};

class Args {
 public:
  // Parses argv[first..argc). On failure returns false and sets *error.
  bool Parse(int argc, char** argv, int first, const ArgSpec& accepted, std::string* error);

  const std::vector<std::string>& positional() const { return positional_; }
  bool Has(const std::string& name) const;
  // Last value given for the option, or fallback.
  std::string Value(const std::string& name, const std::string& fallback = "") const;
  std::vector<std::string> Values(const std::string& name) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> flags_;
};

// Strict numeric conversions: the whole text must be a number.
bool ParseInt64(const std::string& text, long long* out);
bool ParseInt(const std::string& text, int* out);
bool ParseDouble(const std::string& text, double* out);

}  // namespace tools
