// Parsing one block of the ASCII form. Lines are scanned once: comment and
// blank lines are skipped, braces outside double quotes open and close
// blocks, and the text at the block's own depth is split into field names
// (ended by ':') and values (ended by ',', a blank or the end of the line).
// Nested blocks are only skipped here; they are parsed when entered.

#include <emmintrin.h>

#include <cstring>

#include "zynfile/field_list.h"

namespace {

inline bool IsBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r'; }

// Bytes that end a bare token: ':', ',', '@', '"' and blanks.
struct TokenEnds {
  bool table[256] = {};
  constexpr TokenEnds() {
    for (char c : {':', ',', '@', '"', ' ', '\t', '\r'}) table[static_cast<unsigned char>(c)] = true;
  }
};
constexpr TokenEnds kTokenEnds;

// The first '\n', '"', '{' or '}' in [p, end), or end. Sixteen bytes at a time:
// long value lines are most of a scene file.
inline const uint8_t* FindSpecial(const uint8_t* p, const uint8_t* end) {
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i open = _mm_set1_epi8('{');
  const __m128i close = _mm_set1_epi8('}');
  while (end - p >= 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, newline), _mm_cmpeq_epi8(x, quote)),
                               _mm_or_si128(_mm_cmpeq_epi8(x, open), _mm_cmpeq_epi8(x, close)));
    int mask = _mm_movemask_epi8(hit);
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
  while (p < end && *p != '\n' && *p != '"' && *p != '{' && *p != '}') ++p;
  return p;
}

// Splits the text of one line (at the block's depth) into names and values.
class Tokenizer {
 public:
  Tokenizer(const uint8_t* bytes, std::string* error) : bytes_(bytes), error_(error) {}

  // Tokenises [a, b); positions are relative to bytes.
  template <typename OnName, typename OnValue>
  bool Run(size_t a, size_t b, OnName&& on_name, OnValue&& on_value) {
    size_t i = a;
    size_t name_scan_limit = a;  // below this, no ':' ends a name with blanks
    while (i < b) {
      uint8_t c = bytes_[i];
      if (IsBlank(c)) {
        ++i;
        continue;
      }
      if (c == ',' || c == '@' || c == ':') {  // an empty token: dropped
        ++i;
        continue;
      }
      if (c == '"') {
        const void* close = std::memchr(bytes_ + i + 1, '"', b - i - 1);
        if (!close) {
          *error_ = "unterminated quoted text";
          return false;
        }
        size_t q = static_cast<size_t>(static_cast<const uint8_t*>(close) - bytes_);
        size_t t = q + 1;
        while (t < b && IsBlank(bytes_[t])) ++t;
        if (t < b && bytes_[t] == ':') {
          on_name(i + 1, q - i - 1);
          i = t + 1;
        } else {
          on_value(i + 1, (q - i - 1) | VZynFieldList::kQuotedBit);
          i = t < b && bytes_[t] == ',' ? t + 1 : t;
        }
        continue;
      }
      // A bare token.
      size_t start = i;
      while (i < b) {
        c = bytes_[i];
        if (!kTokenEnds.table[c]) {
          ++i;
          continue;
        }
        if (c == ':' || c == ',' || c == '@' || c == '"') break;
        {
          // Blanks belong to a name when the text up to the next ':' holds no
          // quote, comma or '@'. The answer holds for every blank before the
          // character that stopped the look-ahead, so each byte is looked at
          // once per line.
          if (i >= name_scan_limit) {
            size_t k = i;
            while (k < b && bytes_[k] != ':' && bytes_[k] != '"' && bytes_[k] != ',' && bytes_[k] != '@') ++k;
            name_colon_ = k < b && bytes_[k] == ':';
            name_scan_limit = k;
          }
          if (!name_colon_) break;
        }
        ++i;
      }
      size_t end = i;
      while (end > start && IsBlank(bytes_[end - 1])) --end;
      size_t t = i;
      while (t < b && IsBlank(bytes_[t])) ++t;
      if (t < b && bytes_[t] == ':') {
        on_name(start, end - start);
        i = t + 1;
      } else if (t < b && bytes_[t] == '@') {
        // '@' only ever follows a block offset in collected text; in a file it
        // is meaningless, so the token is dropped.
        i = t + 1;
      } else {
        on_value(start, end - start);
        i = t < b && bytes_[t] == ',' ? t + 1 : t;
      }
    }
    return true;
  }

 private:
  const uint8_t* bytes_;
  std::string* error_;
  bool name_colon_ = false;
};

}  // namespace

bool VZynFieldList::ParseAscii(std::shared_ptr<const void> keep_alive, const uint8_t* bytes,
                               int64_t origin, int64_t size, int64_t begin, bool top_level,
                               std::string* error) {
  keep_alive_ = std::move(keep_alive);
  bytes_ = bytes;
  origin_ = origin;
  size_ = size;
  binary_ = false;
  if (begin < origin || begin > origin + size || size >= VZynFieldList::kQuotedBit) {
    *error = "block offset outside the file";
    return false;
  }

  int current_field = -1;
  uint32_t current_instance = 0;
  uint32_t* current_count = nullptr;  // of the occurrence receiving values
  auto on_name = [&](size_t at, size_t length) {
    current_field = AddField(std::string_view(reinterpret_cast<const char*>(bytes + at), length));
    current_instance = AddInstance(current_field);
    current_count = &fields_[static_cast<size_t>(current_field)].instances[current_instance].value_count;
  };
  auto on_value = [&](size_t at, size_t length) {
    if (!current_count) return;  // values before any name mean nothing
    // length may carry the quoted bit
    values_.push_back(VZynValueRef{static_cast<uint32_t>(at), static_cast<uint32_t>(length)});
    ++*current_count;
  };
  Tokenizer tokenizer(bytes, error);

  const size_t n = static_cast<size_t>(size);
  const uint8_t* const end = bytes + n;
  size_t pos = static_cast<size_t>(begin - origin);
  int64_t depth = 0;
  while (pos < n) {
    // Comment and blank lines are skipped whole.
    size_t first = pos;
    while (first < n && IsBlank(bytes[first])) ++first;
    if (first == n) break;
    if (bytes[first] == '\n' || bytes[first] == ';') {
      const void* lf = std::memchr(bytes + first, '\n', n - first);
      pos = lf ? static_cast<size_t>(static_cast<const uint8_t*>(lf) - bytes) + 1 : n;
      continue;
    }
    bool quoted = false;
    size_t segment = pos;  // start of the text at this block's depth
    size_t i = first;
    for (;;) {
      i = static_cast<size_t>(FindSpecial(bytes + i, end) - bytes);
      uint8_t c = i < n ? bytes[i] : '\n';
      if (c == '\n') {
        if (quoted) {
          *error = "unterminated quoted text at offset " + std::to_string(origin + static_cast<int64_t>(pos));
          return false;
        }
        if (depth == 0 && !tokenizer.Run(segment, i, on_name, on_value)) return false;
        pos = i + 1;
        break;
      }
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && c == '{') {
        if (depth == 0) {
          if (!tokenizer.Run(segment, i, on_name, on_value)) return false;
          if (current_field >= 0) {
            fields_[static_cast<size_t>(current_field)].instances[current_instance].block_offset =
                origin + static_cast<int64_t>(i) + 1;
          }
        }
        ++depth;
      } else if (!quoted) {  // '}'
        if (depth == 0) {
          if (!tokenizer.Run(segment, i, on_name, on_value)) return false;
          if (top_level) {
            *error = "unbalanced '}' at offset " + std::to_string(origin + static_cast<int64_t>(i));
            return false;
          }
          end_offset_ = origin + static_cast<int64_t>(i) + 1;
          return true;
        }
        if (--depth == 0) segment = i + 1;
      }
      ++i;
    }
  }
  if (depth != 0 || !top_level) {
    *error = "block not closed before the end of the file";
    return false;
  }
  end_offset_ = origin + size;
  return true;
}
