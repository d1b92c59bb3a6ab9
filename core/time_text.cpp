#include "core/time_text.h"

#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>

#include "core/time_mode.h"

namespace {

// Longest text the parser accepts.
constexpr size_t kMaxTextLength = 18;

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[64];
  int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n < 0) return std::string();
  return std::string(buffer, static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1);
}

int ResolveFormat(int format) { return format == kVTimeFormatDefault ? VTimeGetDefaultFormat() : format; }

std::string FrameCountText(const VTime& time, int detail, int mode) {
  if (detail <= 0 || detail >= 7) return std::string();
  const int64_t count = time.GetFrame(true, mode);
  const int hh = static_cast<int>(time.GetHundredths(mode));
  const bool negative = time.GetTicks() < 0;
  // |count| < 2^63 / 46,186,158 always, so the magnitude fits.
  const long long n = static_cast<long long>(count < 0 ? -count : count);
  if (detail <= 4) {
    if (time.IsInfinite() || time.IsMinusInfinite()) return "---";
    return Format(negative ? "- %lld" : "%lld", n);
  }
  if (detail == 5) {
    if (time.IsInfinite()) return "  ---";
    if (time.IsMinusInfinite()) return "- ---";
    if (hh == 0) return Format(negative ? "-%lld" : "%lld", n);
    return Format(negative ? "- %lld*" : "%lld*", n);
  }
  if (time.IsInfinite()) return "  --- (--)";
  if (time.IsMinusInfinite()) return "- --- (--)";
  return Format(negative ? "- %lld (%02d)" : "%lld (%02d)", n, hh);
}

std::string SmpteText(const VTime& time, int detail, int mode) {
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  if (!time.GetTime(h, m, s, f, fd, hh, mode)) return std::string();
  const long long H = h, M = m, S = s, F = f, HH = hh;
  std::string text;
  switch (detail) {
    case 1: text = Format("%03lld", H); break;
    case 2: text = Format("%03lld:%02lld", H, M); break;
    case 3: text = Format("%03lld:%02lld:%02lld", H, M, S); break;
    case 4: text = Format("%03lld:%02lld:%02lld.%02lld", H, M, S, F); break;
    case 5:
      if (time.IsInfinite()) {
        text = "---:--:--.--";
      } else if (time.IsMinusInfinite()) {
        text = "- ---:--:--.--";
      } else {
        text = Format(HH == 0 ? "%03lld:%02lld:%02lld.%02lld" : "%03lld:%02lld:%02lld.%02lld*", H, M, S, F);
      }
      break;
    case 6:
      if (time.IsInfinite()) {
        text = "---:--:--.-- (--)";
      } else if (time.IsMinusInfinite()) {
        text = "- ---:--:--.-- (--)";
      } else {
        text = Format("%03lld:%02lld:%02lld.%02lld (%02lld)", H, M, S, F, HH);
      }
      break;
    default: return std::string();
  }
  if (time.GetTicks() < 0 && !text.empty()) text[0] = '-';
  return text;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Lenient decimal conversion: leading blanks, an optional sign, then digits;
// anything after them is ignored. Saturates instead of overflowing. Answers
// false when no digit was read.
bool ReadInteger(std::string_view text, int64_t* out) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t magnitude = 0;
  const uint64_t limit = negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX};
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (digits == 0) return false;
  *out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

// As a C "atoi": 0 when nothing is read, clamped to the 32-bit range.
int64_t TokenValue(std::string_view token) {
  int64_t v = 0;
  ReadInteger(token, &v);
  return v;
}

int ClampInt(int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

// Brings a decimal part to two digits: 5 -> 50, 25 -> 25, 123 -> 12.
int64_t TwoDigits(int64_t value, size_t token_length) {
  while (value >= 100 || value < -99) value /= 10;
  if (token_length < 2) value *= 10;
  return value;
}

// Splits text into tokens separated by runs of delimiter characters.
class Tokenizer {
 public:
  Tokenizer(std::string_view text, const char* delimiters) : text_(text), delimiters_(delimiters) {}
  std::string_view Next() {
    while (pos_ < text_.size() && IsDelimiter(text_[pos_])) ++pos_;
    size_t start = pos_;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  bool IsDelimiter(char c) const { return c != '\0' && std::strchr(delimiters_, c) != nullptr; }
  std::string_view text_;
  const char* delimiters_;
  size_t pos_ = 0;
};

bool ParseFrameCount(VTime* time, std::string_view text, int mode) {
  VTime one_frame;
  if (!one_frame.SetTime(0, 0, 0, 1, 0, mode)) return false;
  int64_t hundredths = 0;
  bool decimal = false;
  size_t cut = text.find('(');
  if (cut == std::string_view::npos) {
    cut = text.find('.');
    decimal = cut != std::string_view::npos;
  }
  std::string_view whole = text;
  if (cut != std::string_view::npos) {
    std::string_view token = Tokenizer(text.substr(cut), "().").Next();
    hundredths = TokenValue(token);
    if (decimal) hundredths = TwoDigits(hundredths, token.size());
    whole = text.substr(0, cut);
  }
  int64_t count = 0;
  if (!whole.empty() && !ReadInteger(whole, &count)) return false;
  int64_t ticks = VTimeWrapMul(count, one_frame.GetTicks());
  // "-0.25" lies a quarter of a frame after minus one frame, as the text
  // form writes it. A minus zero without hundredths stays zero.
  if (text[0] == '-' && count == 0 && hundredths > 0) hundredths -= 100;
  VTime result(ticks);
  if (hundredths != 0) {
    result.SetTime(0, 0, 0, 0, 0, ClampInt(hundredths), mode);
    result += VTime(ticks);
  }
  *time = result;
  return true;
}

bool ParseSmpte(VTime* time, std::string_view text, int mode) {
  std::string copy(text);
  int64_t hundredths = 0;
  size_t paren = copy.find('(');
  if (paren != std::string::npos) {
    hundredths = TokenValue(Tokenizer(std::string_view(copy).substr(paren), "()").Next());
    copy.resize(paren);
  }
  copy += '.';
  int colons = 0, dots = 0;
  for (char& c : copy) {
    if (c == ':' || c == ';') {
      ++colons;
    } else if (c == '.') {
      ++dots;
      c = ':';
    }
  }
  const bool begins_with_colon = copy[0] == ':';
  Tokenizer tokens(copy, ":;");
  int64_t hours = colons > 1 ? TokenValue(tokens.Next()) : 0;
  int64_t minutes = colons > 0 ? TokenValue(tokens.Next()) : 0;
  int64_t seconds = dots > 0 && (!begins_with_colon || colons > 0) ? TokenValue(tokens.Next()) : 0;
  int64_t frame = dots > 1 ? TokenValue(tokens.Next()) : 0;
  if (dots > 2) {
    std::string_view token = tokens.Next();
    hundredths += TwoDigits(TokenValue(token), token.size());
  }
  return time->SetTime(ClampInt(hours), ClampInt(minutes), ClampInt(seconds), ClampInt(frame), 0,
                       ClampInt(hundredths), mode);
}

}  // namespace

std::string VTimeGetString(const VTime& time, int detail, int mode, int format) {
  if (ResolveFormat(format) != kVTimeFormatSmpte) return FrameCountText(time, detail, mode);
  return SmpteText(time, detail, mode);
}

bool VTimeSetString(VTime* time, std::string_view text, int mode, int format) {
  if (!time) return false;
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.empty() || text.size() > kMaxTextLength) return false;
  if (ResolveFormat(format) != kVTimeFormatSmpte) return ParseFrameCount(time, text, mode);
  return ParseSmpte(time, text, mode);
}
