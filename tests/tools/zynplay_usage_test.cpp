// zynplay's command line: usage errors are one line and exit 2; files that
// cannot be read are one line and exit 1.

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "tools/zynplay_test_support.h"

namespace {

using zynplay_test::Zynplay;

TEST(ZynplayUsage, UsageErrorsAreOneLineAndExitTwo) {
  testing_support::TempDir dir;
  const std::string file = dir.File("a.zyn");
  const std::string cases[] = {
      "",                                          // no file
      "--frames",                                  // an option without its value
      file + " --frames " + dir.path() + " --size 0x5",
      file + " --frames " + dir.path() + " --size 640",
      file + " --frames " + dir.path() + " --step 0",
      file + " --frames " + dir.path() + " --from x",
      file + " --from 3",                          // --from without --frames
      file + " --movie a.mp4 --frames " + dir.path(),
      file + " " + file + " --frames " + dir.path(),  // headless runs take one file
      file + " --wobble",
      "--components " + file,
  };
  for (const std::string& args : cases) {
    const auto r = Zynplay(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.out.rfind("zynplay: usage: ", 0), 0u) << args << ": " << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << args << ": " << r.out;
  }
  EXPECT_EQ(Zynplay("--help").code, 0);
  // Negative numbers are values, not options.
  EXPECT_NE(Zynplay(file + " --frames " + dir.File("f") + " --from -3 --to -1").code, 2);
}

TEST(ZynplayUsage, AFileThatCannotBeReadIsAFailure) {
  testing_support::TempDir dir;
  const std::string missing = dir.File("missing.zyn");
  for (const std::string& args : {missing + " --frames " + dir.File("f"), missing + " --events " + dir.File("none.txt"),
                                  dir.path() + " --frames " + dir.File("f")}) {
    const auto r = Zynplay(args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_EQ(r.out.rfind("zynplay: Unable to open file ", 0), 0u) << r.out;
  }
  testing_support::WriteFileBytes(dir.File("a.txt"), "text");
  const auto r = Zynplay(dir.File("a.txt") + " --frames " + dir.File("f"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "zynplay: No movie importer for the file " + dir.File("a.txt") + "\n");
}

}  // namespace
