#include "zynfile/ascii_first_line.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Versions of the old product, known by major and minor number.
int OldProductVersion(int major, int minor) {
  struct Row {
    int major, minor, version;
  };
  static const Row kRows[] = {{1, 5, 1000}, {2, 7, 2001}, {3, 0, 3000},
                              {4, 0, 4000}, {4, 1, 4001}, {4, 5, 4050}};
  for (const Row& r : kRows) {
    if (r.major == major && r.minor == minor) return r.version;
  }
  return -1;
}

bool IsProjectFile(const char* a, const char* b) {
  return strcasecmp(a, "project") == 0 && strcasecmp(b, "file") == 0;
}

int ComposeVersion(long long major, long long minor, long long revision) {
  // Written so that no product can overflow whatever the numbers are.
  long long m = major % 4294966;
  long long v = ((m * 10 + minor % 10) * 100 + revision % 100);
  return static_cast<int>(static_cast<unsigned long long>(v) & 0xFFFFFFFFu);
}

}  // namespace

bool VZynParseAsciiFirstLine(const char* line, size_t length, int* version) {
  std::string text(line, strnlen(line, length));
  char lead = 0, dot1 = 0, dot2 = 0;
  char product[64] = {}, word1[64] = {}, word2[64] = {};
  int major = 0, minor = 0, revision = 0;
  int n = std::sscanf(text.c_str(), "%c %63s %d%c%d%c%d %63s %63s", &lead, product, &major, &dot1, &minor,
                      &dot2, &revision, word1, word2);
  if (n == 9 && lead == ';' && dot1 == '.' && dot2 == '.' && IsProjectFile(word1, word2)) {
    *version = ComposeVersion(major, minor, revision);
    return true;
  }
  n = std::sscanf(text.c_str(), "%c %63s %d%c%d %63s %63s", &lead, product, &major, &dot1, &minor, word1,
                  word2);
  if (n == 7 && lead == ';' && dot1 == '.' && IsProjectFile(word1, word2)) {
    int old = std::strcmp(product, "Zentrax") == 0 ? OldProductVersion(major, minor) : -1;
    *version = old >= 0 ? old : ComposeVersion(major, minor, 0);
    return true;
  }
  return false;
}
