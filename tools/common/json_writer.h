#pragma once
// A small streaming JSON writer. Doubles are written in their shortest form
// that reads back to the same double; NaN and infinities become null.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tools {

class JsonWriter {
 public:
  explicit JsonWriter(std::string* out) : out_(out) {}

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(const std::string& key);

  void String(const std::string& value);
  void Int(int64_t value);
  void Double(double value);
  void Bool(bool value);
  void Null();

 private:
  void Separate();
  std::string* out_;
  // One entry per open container: true once it holds an element.
  std::vector<bool> has_element_;
  bool after_key_ = false;
};

std::string JsonEscape(const std::string& text);

}  // namespace tools
