#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

struct Result {
  int code;
  std::string out;
};

Result Zyn(const std::string& args) {
  Result r;
  r.code = testing_support::RunCommand(std::string(ZYN_PROGRAM) + " time " + args + " 2>/dev/null", &r.out);
  return r;
}

std::string ZynStderr(const std::string& args) {
  std::string out;
  testing_support::RunCommand(std::string(ZYN_PROGRAM) + " time " + args + " 2>&1 >/dev/null", &out);
  return out;
}

TEST(ZynTimeTest, Outputs) {
  const struct { const char* args; const char* out; } rows[] = {
      {"text 69279237000", "45\n"},
      {"text 69279237000 --format 0 --detail 4", "000:00:01.15\n"},
      {"text -1 --mode 6 --format 1", "- 0*\n"},
      {"text 9223372036854775807", "  ---\n"},
      {"text 1 --detail 9", "\n"},
      {"text 1 --mode 14 --format 0", "\n"},
      {"parse '(50)'", "769769300\n"},
      {"parse 001:02:03.04 --format 0", "171957224388400\n"},
      {"parse '' --initial 77", "77\n"},
      {"parse abc --initial -5", "-5\n"},
      {"parse 1.5 --mode 3", "1154653950\n"},
      {"compose 0 0 1 0 0", "46186158000\n"},
      {"compose 0 1 0 0 0 --mode 8", "2773941001200\n"},
      {"compose 0 0 0 0 0 50", "769769300\n"},
      {"compose 0 0 0 1 0 --mode 99", "0\n"},
      {"compose -1 0 0 0 0", "-166270168800000\n"},
      {"labels 2309307900",
       "{\"ok\":true,\"hours\":0,\"minutes\":0,\"seconds\":0,\"frame\":1,\"field\":1,\"hundredths\":50}\n"},
      {"labels 5 --mode 0 --mode 77",
       "{\"ok\":false,\"hours\":0,\"minutes\":0,\"seconds\":0,\"frame\":0,\"field\":0,\"hundredths\":0}\n"},
  };
  for (const auto& r : rows) {
    Result got = Zyn(r.args);
    EXPECT_EQ(got.code, 0) << r.args;
    EXPECT_EQ(got.out, r.out) << r.args;
  }
}

TEST(ZynTimeTest, HelpAndUsageErrors) {
  for (const char* help : {"--help", "text --help", "compose --help"}) {
    Result r = Zyn(help);
    EXPECT_EQ(r.code, 0) << help;
    EXPECT_NE(r.out.find("zyn time text"), std::string::npos) << help;
  }
  for (const char* bad : {"", "frobnicate", "text", "text abc", "text 1 2", "text 1 --mode x",
                          "text 1 --initial 3", "parse", "labels 1 --detail 2", "compose 1 2 3 4",
                          "compose 1 2 3 4 5 6 7", "compose 1 2 3 x 5", "compose 0 0 0 0 0 99999999999",
                          "labels 99999999999999999999", "parse 1 --mode"}) {
    Result r = Zyn(bad);
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_EQ(r.out, "") << bad;
    std::string err = ZynStderr(bad);
    EXPECT_EQ(err.rfind("zyn: usage: ", 0), 0u) << bad << ": " << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << bad << ": " << err;
  }
}

}  // namespace
