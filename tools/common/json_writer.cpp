#include "tools/common/json_writer.h"

#include <charconv>
#include <cmath>

namespace tools {

void JsonWriter::Separate() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!has_element_.empty()) {
    if (has_element_.back()) out_->push_back(',');
    has_element_.back() = true;
  }
}

void JsonWriter::BeginObject() {
  Separate();
  out_->push_back('{');
  has_element_.push_back(false);
}

void JsonWriter::EndObject() {
  out_->push_back('}');
  has_element_.pop_back();
}

void JsonWriter::BeginArray() {
  Separate();
  out_->push_back('[');
  has_element_.push_back(false);
}

void JsonWriter::EndArray() {
  out_->push_back(']');
  has_element_.pop_back();
}

void JsonWriter::Key(const std::string& key) {
  Separate();
  out_->append(JsonEscape(key));
  out_->push_back(':');
  after_key_ = true;
}

void JsonWriter::String(const std::string& value) {
  Separate();
  out_->append(JsonEscape(value));
}

void JsonWriter::Int(int64_t value) {
  Separate();
  out_->append(std::to_string(value));
}

void JsonWriter::Double(double value) {
  Separate();
  if (!std::isfinite(value)) {
    out_->append("null");
    return;
  }
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out_->append(buffer, result.ptr);
}

void JsonWriter::Bool(bool value) {
  Separate();
  out_->append(value ? "true" : "false");
}

void JsonWriter::Null() {
  Separate();
  out_->append("null");
}

// Bytes that are not valid UTF-8 are replaced by U+FFFD so the document stays valid.
std::string JsonEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n;) {
    unsigned char c = s[i];
    if (c < 0x80) {
      switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
          if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
          } else {
            out.push_back(static_cast<char>(c));
          }
      }
      ++i;
      continue;
    }
    size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    bool valid = len != 0 && i + len <= n;
    for (size_t k = 1; valid && k < len; ++k) valid = (s[i + k] & 0xC0) == 0x80;
    if (valid) {
      out.append(reinterpret_cast<const char*>(s + i), len);
      i += len;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  out.push_back('"');
  return out;
}

}  // namespace tools
