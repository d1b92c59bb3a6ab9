#include "core/settings_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class NameKind { kSection, kKey, kValue };

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsPlain(std::string_view text, NameKind kind) {
  if (text.empty()) return kind == NameKind::kValue;
  if (text.front() == ' ' || text.back() == ' ' || text.front() == '"') return false;
  if (kind != NameKind::kValue && (text.front() == ';' || text.front() == '#')) return false;
  if (kind == NameKind::kKey && text.front() == '[') return false;
  for (char c : text) {
    if (IsControl(static_cast<unsigned char>(c))) return false;
    if (kind == NameKind::kKey && c == '=') return false;
    if (kind == NameKind::kSection && c == ']') return false;
  }
  return true;
}

size_t EscapedBytes(unsigned char c) {
  if (c == '\\' || c == '"' || c == '\n' || c == '\r' || c == '\t') return 2;
  return IsControl(c) ? 4 : 1;
}

size_t FormBytes(std::string_view text, NameKind kind) {
  if (IsPlain(text, kind)) return text.size();
  size_t n = 2;
  for (char c : text) n += EscapedBytes(static_cast<unsigned char>(c));
  return n;
}

void AppendForm(std::string* out, std::string_view text, NameKind kind) {
  if (IsPlain(text, kind)) {
    out->append(text);
    return;
  }
  static const char kHex[] = "0123456789ABCDEF";
  out->push_back('"');
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out->append("\\\\"); break;
      case '"': out->append("\\\""); break;
      case '\n': out->append("\\n"); break;
      case '\r': out->append("\\r"); break;
      case '\t': out->append("\\t"); break;
      default:
        if (IsControl(u)) {
          out->append("\\x");
          out->push_back(kHex[u >> 4]);
          out->push_back(kHex[u & 15]);
        } else {
          out->push_back(c);
        }
    }
  }
  out->push_back('"');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at line[*pos] == '"'; leaves *pos after the
// closing quote.
bool ReadQuoted(std::string_view line, size_t* pos, std::string* out) {
  out->clear();
  size_t i = *pos + 1;
  while (i < line.size()) {
    const char c = line[i++];
    if (c == '"') {
      *pos = i;
      return true;
    }
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (i >= line.size()) return false;
    const char e = line[i++];
    switch (e) {
      case '\\': out->push_back('\\'); break;
      case '"': out->push_back('"'); break;
      case 'n': out->push_back('\n'); break;
      case 'r': out->push_back('\r'); break;
      case 't': out->push_back('\t'); break;
      case 'x': {
        if (i + 2 > line.size()) return false;
        const int hi = HexDigit(line[i]), lo = HexDigit(line[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return false;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool OnlyBlanksFrom(std::string_view line, size_t pos) {
  return Trim(line.substr(pos)).empty();
}

// "[name]" with line already trimmed.
bool ParseSection(std::string_view line, std::string* name) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
  std::string_view inner = Trim(line.substr(1, line.size() - 2));
  if (!inner.empty() && inner.front() == '"') {
    size_t pos = 0;
    return ReadQuoted(inner, &pos, name) && pos == inner.size();
  }
  if (inner.empty() || inner.find(']') != std::string_view::npos) return false;
  name->assign(inner);
  return true;
}

// "key = value" with line already trimmed.
bool ParseEntry(std::string_view line, std::string* key, std::string* value) {
  size_t pos;
  if (line.front() == '"') {
    pos = 0;
    if (!ReadQuoted(line, &pos, key)) return false;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') return false;
  } else {
    pos = line.find('=');
    if (pos == std::string_view::npos) return false;
    std::string_view name = Trim(line.substr(0, pos));
    if (name.empty()) return false;
    key->assign(name);
  }
  ++pos;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos < line.size() && line[pos] == '"') {
    return ReadQuoted(line, &pos, value) && OnlyBlanksFrom(line, pos);
  }
  value->assign(Trim(line.substr(pos)));
  return true;
}

}  // namespace

size_t VSettingsFileSectionBytes(std::string_view name) {
  return FormBytes(name, NameKind::kSection) + 4;  // "[" name "]\n" and a blank line
}

size_t VSettingsFileEntryBytes(std::string_view key, std::string_view value,
                               std::string_view comment) {
  size_t n = FormBytes(key, NameKind::kKey) + 3 + FormBytes(value, NameKind::kValue) + 1;
  if (!comment.empty()) n += 2 + comment.size() + 1;
  return n;
}

std::string VSettingsFileFormat(const VSettingsTable& table) {
  std::string out;
  out.reserve(table.FormattedBytes());
  for (const VSettingsSection& section : table.Sections()) {
    out.push_back('[');
    AppendForm(&out, section.name, NameKind::kSection);
    out.append("]\n");
    for (const VSettingsEntry& entry : section.entries) {
      if (!entry.comment.empty()) {
        out.append("; ");
        out.append(entry.comment);
        out.push_back('\n');
      }
      AppendForm(&out, entry.key, NameKind::kKey);
      out.append(" = ");
      AppendForm(&out, entry.value, NameKind::kValue);
      out.push_back('\n');
    }
    out.push_back('\n');
  }
  return out;
}

VSettingsParseReport VSettingsFileParse(std::string_view text, VSettingsTable* table) {
  VSettingsParseReport report;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string section;
  bool in_section = false;
  std::string comment;
  std::string key, value;
  auto bad = [&report]() {
    ++report.bad_lines;
    if (report.first_bad_line == 0) report.first_bad_line = report.lines;
  };
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const bool terminated = end != std::string_view::npos;
    std::string_view line = text.substr(start, terminated ? end - start : std::string_view::npos);
    start = terminated ? end + 1 : text.size();
    ++report.lines;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kVSettingsMaxLineBytes) {
      bad();
      comment.clear();
      continue;
    }
    bool control = false;
    for (char c : line) {
      if (c != '\t' && IsControl(static_cast<unsigned char>(c))) {
        control = true;
        break;
      }
    }
    if (control) {
      bad();
      comment.clear();
      continue;
    }
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == ';' || line.front() == '#') {
      std::string_view part = Trim(line.substr(1));
      if (!part.empty() && comment.size() < kVSettingsMaxCommentBytes) {
        if (!comment.empty()) comment.push_back(' ');
        comment.append(part.substr(0, kVSettingsMaxCommentBytes));
      }
      continue;
    }
    if (!terminated) {
      // A file cut short: the last line may have lost its end.
      report.truncated = true;
      break;
    }
    if (line.front() == '[') {
      comment.clear();
      std::string name;
      if (!ParseSection(line, &name) || name.size() > kVSettingsMaxNameBytes) {
        bad();
        in_section = false;  // its keys must not land in the section before
        continue;
      }
      section = std::move(name);
      in_section = true;
      continue;
    }
    if (!in_section || !ParseEntry(line, &key, &value)) {
      bad();
      comment.clear();
      continue;
    }
    if (table->Find(section, key)) ++report.duplicate_keys;
    if (!table->Set(section, key, value, comment)) ++report.refused_entries;
    comment.clear();
  }
  return report;
}

VSettingsReadResult VSettingsFileRead(const std::string& path, size_t max_bytes, std::string* text) {
  text->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? VSettingsReadResult::kMissing : VSettingsReadResult::kUnreadable;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return VSettingsReadResult::kUnreadable;
  }
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) {
    ::close(fd);
    return VSettingsReadResult::kTooLarge;
  }
  text->resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  // Never read past the size checked, even if the file grows meanwhile.
  while (got < text->size()) {
    const ssize_t n = ::read(fd, text->data() + got, text->size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      text->clear();
      return VSettingsReadResult::kUnreadable;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  // A file cut short while it was read keeps what was read; the parser
  // notices a last line without its end.
  ::close(fd);
  text->resize(got);
  return VSettingsReadResult::kOk;
}

bool VSettingsFileWriteAtomic(const std::string& path, std::string_view text, std::string* error) {
  const std::string temp = path + ".tmp." + std::to_string(static_cast<long>(::getpid()));
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + " '" + temp + "': " + std::strerror(errno);
    return false;
  };
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return fail("cannot create");
  size_t put = 0;
  while (put < text.size()) {
    const ssize_t n = ::write(fd, text.data() + put, text.size() - put);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      errno = saved;
      return fail("cannot write");
    }
    put += static_cast<size_t>(n);
  }
  const bool synced = ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!synced || !closed) {
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return fail("cannot flush");
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    if (error) *error = "cannot replace '" + path + "': " + std::strerror(errno);
    return false;
  }
  // Make the rename itself durable.
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}
