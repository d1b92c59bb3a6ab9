// zyn dump, zyn convert --raw and zyn info on real files.

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <string>

#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

struct Result {
  int code = 0;
  std::string out;
  std::string err;
};

Result Zyn(const std::string& args) {
  Result r;
  TempDir dir;
  std::string err_file = dir.File("stderr");
  r.code = RunCommand(std::string(ZYN_PROGRAM) + " " + args + " 2>" + err_file, &r.out);
  r.err = ReadFileBytes(err_file);
  return r;
}

const char kAscii[] =
    "; ZYN 6.0.0 project file\n"
    "Name: \"Model::Cube\"\n"
    "Num: 12, 1.5, Y, 5000000000\n"
    "Block: \"b\" {\n"
    "    Child: \"x, y\", 7\n"
    "}\n";

class ZynFileCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ascii_ = dir_.File("a.zyn");
    ASSERT_TRUE(WriteFileBytes(ascii_, kAscii));
  }
  // Files in the folder, for checking that nothing was left behind.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.path().c_str())) {
      while (dirent* e = readdir(d)) {
        if (e->d_name[0] != '.') names.push_back(e->d_name);
      }
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // The dump with the values that change from one write to the next blanked.
  static std::string Stable(std::string dump) {
    for (const char* name : {"FileId", "CreationTime"}) {
      std::string key = std::string("\"name\":\"") + name + "\",\"values\":[";
      for (size_t at = dump.find(key); at != std::string::npos; at = dump.find(key, at + 1)) {
        size_t begin = at + key.size();
        dump.erase(begin, dump.find(']', begin) - begin);
      }
    }
    return dump;
  }

  TempDir dir_;
  std::string ascii_;
};

TEST_F(ZynFileCommandsTest, DumpOfAnAsciiFileShowsEveryValueAsText) {
  Result r = Zyn("dump " + ascii_);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "{\"binary\":false,\"version\":6000,\"sections\":[{\"fields\":["
            "{\"name\":\"Name\",\"values\":[{\"S\":\"Model::Cube\"}]},"
            "{\"name\":\"Num\",\"values\":[{\"S\":\"12\"},{\"S\":\"1.5\"},{\"S\":\"Y\"},{\"S\":\"5000000000\"}]},"
            "{\"name\":\"Block\",\"values\":[{\"S\":\"b\"}],\"block\":["
            "{\"name\":\"Child\",\"values\":[{\"S\":\"x, y\"},{\"S\":\"7\"}]}]}]}]}\n");
}

TEST_F(ZynFileCommandsTest, RawConvertRoundTrips) {
  std::string bin = dir_.File("b.zyn"), back = dir_.File("c.zyn"), bin2 = dir_.File("d.zyn");
  Result r = Zyn("convert --raw " + ascii_ + " " + bin + " --binary");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  Result dump = Zyn("dump " + bin);
  ASSERT_EQ(dump.code, 0) << dump.err;
  EXPECT_NE(dump.out.find("{\"binary\":true,\"version\":6000,\"sections\":[{\"fields\":[{\"name\":\"FileId\","
                          "\"values\":[{\"R\":\""),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find("{\"name\":\"Num\",\"values\":[{\"I\":12},{\"D\":1.5},{\"C\":\"Y\"},{\"L\":5000000000}]}"),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find("{\"name\":\"Name\",\"values\":[{\"S\":\"Model::Cube\"}]}"), std::string::npos);
  EXPECT_NE(dump.out.find("\"block\":[{\"name\":\"Child\",\"values\":[{\"S\":\"x, y\"},{\"I\":7}]}]"),
            std::string::npos);

  // Binary -> ASCII -> binary: the same tree.
  ASSERT_EQ(Zyn("convert " + bin + " " + back + " --ascii --raw").code, 0);
  EXPECT_EQ(ReadFileBytes(back).compare(0, 25, "; ZYN 6.0.0 project file\n"), 0);
  ASSERT_EQ(Zyn("convert " + back + " " + bin2 + " --raw").code, 0);  // binary by default
  Result dump2 = Zyn("dump " + bin2);
  EXPECT_EQ(Stable(dump2.out), Stable(dump.out));
  EXPECT_NE(Stable(dump.out), dump.out);  // the volatile values were there
  // Converting onto an existing ASCII file keeps its form.
  ASSERT_EQ(Zyn("convert --raw " + bin + " " + back).code, 0);
  EXPECT_EQ(ReadFileBytes(back).compare(0, 2, "; "), 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.zyn", "b.zyn", "c.zyn", "d.zyn"}));
}

TEST_F(ZynFileCommandsTest, InfoKeys) {
  std::string bin = dir_.File("b.zyn");
  ASSERT_EQ(Zyn("convert --raw " + ascii_ + " " + bin).code, 0);
  Result r = Zyn("info " + bin);
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* key : {"{\"binary\":true,", "\"version\":6000,", "\"protected\":false,", "\"sections\":1,",
                          "\"header\":{\"headerVersion\":1002,\"cameraName\":null,\"resolutionMode\":null,"
                          "\"resolutionW\":null,\"resolutionH\":null,\"creationTime\":[",
                          "\"creator\":\"Velmoor/MoCap/OnLine version 6.0 build 20041028\"}", "\"objects\":{}",
                          "\"takes\":[]", "\"currentTake\":null", "\"summary\":null}"}) {
    EXPECT_NE(r.out.find(key), std::string::npos) << key << " in " << r.out;
  }
  // A file without a header extension has nulls there.
  Result a = Zyn("info " + ascii_);
  ASSERT_EQ(a.code, 0) << a.err;
  EXPECT_NE(a.out.find("\"header\":{\"headerVersion\":null,\"cameraName\":null"), std::string::npos) << a.out;
  EXPECT_NE(a.out.find("\"creationTime\":null,\"creator\":null}"), std::string::npos) << a.out;
}

TEST_F(ZynFileCommandsTest, FileErrorsAreOneLineAndLeaveNothingBehind) {
  std::string missing = dir_.File("missing.zyn");
  std::string garbage = dir_.File("garbage.zyn");
  ASSERT_TRUE(WriteFileBytes(garbage, "this is not a scene\n"));
  std::string unclosed = dir_.File("unclosed.zyn");
  ASSERT_TRUE(WriteFileBytes(unclosed, "; ZYN 6.0.0 project file\nA: {\n"));
  std::string newer = dir_.File("newer.zyn");
  ASSERT_TRUE(WriteFileBytes(newer, "; ZYN 7.0.0 project file\nA: 1\n"));
  // A binary file whose nested block is damaged: only entering it fails.
  std::string damaged = dir_.File("damaged.zyn");
  ASSERT_EQ(Zyn("convert --raw " + ascii_ + " " + damaged).code, 0);
  std::string bytes = ReadFileBytes(damaged);
  size_t child = bytes.find("\x05" "Child");
  ASSERT_NE(child, std::string::npos);
  bytes[child - 12] = '\x01';  // its end offset now points near the start
  bytes[child - 11] = bytes[child - 10] = bytes[child - 9] = '\0';
  ASSERT_TRUE(WriteFileBytes(damaged, bytes));

  const struct { std::string path, message; } rows[] = {
      {missing, "zyn: Unable to open file " + missing + "\n"},
      {garbage, "zyn: File is corrupted " + garbage},
      {unclosed, "zyn: File is corrupted " + unclosed},
      {newer, "zyn: ZYN file version 7.0.0 is not supported in this product\n"},
      {damaged, "zyn: File is corrupted " + damaged},
  };
  std::vector<std::string> before = Files();
  for (const auto& row : rows) {
    const std::vector<std::string> commands = {"dump " + row.path, "info " + row.path,
                                               "convert --raw " + row.path + " " + dir_.File("out.zyn")};
    for (const std::string& command : commands) {
      if (row.path == damaged && command.rfind("info", 0) == 0) continue;  // info does not enter blocks
      Result r = Zyn(command);
      EXPECT_EQ(r.code, 1) << command;
      EXPECT_EQ(r.out, "") << command;
      EXPECT_EQ(r.err.compare(0, row.message.size(), row.message), 0) << command << ": " << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << command << ": " << r.err;
    }
  }
  EXPECT_EQ(Files(), before);  // no output and no temporary file left
  Result section = Zyn("dump " + ascii_ + " --section 1");
  EXPECT_EQ(section.code, 1);
  EXPECT_EQ(section.err, "zyn: Section does not exist\n");
}

TEST_F(ZynFileCommandsTest, UsageErrorsExitTwo) {
  const std::vector<std::string> usage_errors = {
       std::string("dump"), "dump a b", "dump " + ascii_ + " --section x", "dump " + ascii_ + " --bogus",
        std::string("info"), "convert " + ascii_, "convert " + ascii_ + " o.zyn --ascii --binary",
        "convert --raw"};
  for (const std::string& args : usage_errors) {
    Result r = Zyn(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err.rfind("zyn: usage: ", 0), 0u) << args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args;
  }
  for (const char* help : {"dump --help", "convert --help", "info --help"}) {
    Result r = Zyn(help);
    EXPECT_EQ(r.code, 0) << help;
    EXPECT_NE(r.out.find("usage"), std::string::npos) << help;
  }
}

}  // namespace
