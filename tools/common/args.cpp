#include "tools/common/args.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cctype>
#include <cstdlib>

namespace tools {
namespace {

bool LooksLikeNumber(const std::string& s) {
  return s.size() > 1 && s[0] == '-' && (std::isdigit(static_cast<unsigned char>(s[1])) || s[1] == '.');
}

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

}  // namespace

bool Args::Parse(int argc, char** argv, int first, const ArgSpec& accepted, std::string* error) {
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.empty() || arg[0] != '-' || arg == "-" || LooksLikeNumber(arg)) {
      positional_.push_back(arg);
      continue;
    }
    std::string value;
    bool inline_value = false;
    size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      inline_value = true;
    }
    if (Contains(accepted.flags, arg) && !inline_value) {
      flags_.push_back(arg);
    } else if (Contains(accepted.options, arg)) {
      if (!inline_value) {
        if (i + 1 >= argc) {
          *error = "option " + arg + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      values_[arg].push_back(value);
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}

bool Args::Has(const std::string& name) const {
  return Contains(flags_, name) || values_.count(name) != 0;
}

std::string Args::Value(const std::string& name, const std::string& fallback) const {
  auto it = values_.find(name);
  return it == values_.end() || it->second.empty() ? fallback : it->second.back();
}

std::vector<std::string> Args::Values(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? std::vector<std::string>{} : it->second;
}

bool ParseInt64(const std::string& text, long long* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  // Decimal, or hexadecimal after 0x; a leading zero does not mean octal.
  size_t digits = text[0] == '-' || text[0] == '+' ? 1 : 0;
  bool hex = text.size() > digits + 2 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X');
  long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  *out = v;
  return true;
}

bool ParseInt(const std::string& text, int* out) {
  long long v = 0;
  if (!ParseInt64(text, &v) || v < INT_MIN || v > INT_MAX) return false;
  *out = static_cast<int>(v);
  return true;
}

bool ParseDouble(const std::string& text, double* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (errno == ERANGE || end == text.c_str() || *end != '\0') return false;
  *out = v;
  return true;
}

}  // namespace tools
