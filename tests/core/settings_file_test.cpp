// The text file of a settings table: layout, awkward texts, damaged input,
// bounded reading and atomic writing.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/settings_file.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

VSettingsTable Parse(const std::string& text, VSettingsParseReport* report = nullptr) {
  VSettingsTable table;
  VSettingsParseReport r = VSettingsFileParse(text, &table);
  if (report) *report = r;
  return table;
}

std::string Value(const VSettingsTable& table, const char* section, const char* key) {
  const VSettingsEntry* entry = table.Find(section, key);
  return entry ? entry->value : "<missing>";
}

TEST(SettingsFile, WritesSectionsKeysAndComments) {
  VSettingsTable table;
  ASSERT_TRUE(table.Set("Display", "UseStripForMesh", "Yes", "Available option Yes, No"));
  ASSERT_TRUE(table.Set("Display", "ColorMode", "", ""));
  ASSERT_TRUE(table.Set("Recording Memory", "ManualLimit", "0", ""));
  const std::string text = VSettingsFileFormat(table);
  EXPECT_EQ(text,
            "[Display]\n"
            "; Available option Yes, No\n"
            "UseStripForMesh = Yes\n"
            "ColorMode = \n"
            "\n"
            "[Recording Memory]\n"
            "ManualLimit = 0\n"
            "\n");
  EXPECT_EQ(text.size(), table.FormattedBytes());
  VSettingsParseReport report;
  EXPECT_EQ(Parse(text, &report), table);
  EXPECT_FALSE(report.Damaged());
}

TEST(SettingsFile, AwkwardTextsRoundTrip) {
  VSettingsTable table;
  const std::string awkward[] = {
      "C:\\new\\table",  "two\nlines",   "  padded  ", "\"quoted\"", "a = b ; c # d",
      "nul\0byte"s, "tab\there", "\x7f\x01\x1f", "\xC3\xA9t\xC3\xA9", "\\x41",
      "ends with quote\"", "\r",
  };
  const std::string names[] = {"", "[bracket", "key = value", "; comment", "# hash", " space", "a]b",
                               "\"q", "ok"};
  int n = 0;
  for (const std::string& section : names) {
    for (const std::string& value : awkward) {
      ASSERT_TRUE(table.Set(section, names[n % 9], value, n % 2 ? "note ; \"x\"" : ""));
      ++n;
    }
  }
  ASSERT_TRUE(table.Set("Paths", "Scene", "C:\\new\\table", ""));
  const std::string text = VSettingsFileFormat(table);
  EXPECT_EQ(text.size(), table.FormattedBytes());
  VSettingsParseReport report;
  const VSettingsTable back = Parse(text, &report);
  EXPECT_FALSE(report.Damaged()) << "first bad line " << report.first_bad_line << "\n" << text;
  EXPECT_EQ(back, table);
  // Plain Windows paths stay readable as they are.
  EXPECT_NE(text.find("\nScene = C:\\new\\table\n"), std::string::npos);
}

TEST(SettingsFile, ReadsHandWrittenText) {
  VSettingsParseReport report;
  const VSettingsTable table = Parse(
      "\xEF\xBB\xBF; leading comment, no key\r\n"
      "[Display]\r\n"
      "  ; first part\r\n"
      "# second part\r\n"
      "\tUseLineStipple\t=\tno  \r\n"
      "Empty=\r\n"
      "Expression = a=b\r\n"
      "\r\n"
      "[ Sync ]\r\n"
      "Internal = PAL\r\n",
      &report);
  EXPECT_FALSE(report.Damaged());
  EXPECT_EQ(Value(table, "Display", "UseLineStipple"), "no");
  EXPECT_EQ(table.Find("Display", "UseLineStipple")->comment, "first part second part");
  EXPECT_EQ(Value(table, "Display", "Empty"), "");
  EXPECT_EQ(Value(table, "Display", "Expression"), "a=b");
  EXPECT_EQ(Value(table, "Sync", "Internal"), "PAL");
}

TEST(SettingsFile, DamagedTextKeepsWhatParses) {
  struct Case {
    const char* name;
    std::string text;
  };
  const std::string huge(kVSettingsMaxLineBytes + 10, 'x');
  const Case cases[] = {
      {"garbage line", "[A]\nK = 1\nthis is no setting\nL = 2\n"},
      {"key before any section", "K = 0\n[A]\nK = 1\nL = 2\n"},
      {"binary bytes", "[A]\nK = 1\nM = \x01\x02\x03\nL = 2\n"},
      {"nul byte", "[A]\nK = 1\nM\0 = 3\nL = 2\n"s},
      {"huge line", "[A]\nK = 1\nM = " + huge + "\nL = 2\n"},
      {"bad quoting", "[A]\nK = 1\nM = \"open\nN = \"bad \\q escape\"\nO = \"x\" tail\nL = 2\n"},
      {"cut short", "[A]\nK = 1\nL = 2\nM = half a val"},
      {"duplicate key", "[A]\nK = 0\nL = 2\nK = 1\n"},
  };
  for (const Case& c : cases) {
    VSettingsParseReport report;
    const VSettingsTable table = Parse(c.text, &report);
    EXPECT_TRUE(report.Damaged()) << c.name;
    EXPECT_EQ(Value(table, "A", "K"), "1") << c.name;
    EXPECT_EQ(Value(table, "A", "L"), "2") << c.name;
    EXPECT_EQ(table.Find("A", "M"), nullptr) << c.name;
  }
  // A bad section header does not let its keys fall into the section above.
  VSettingsParseReport report;
  VSettingsTable table = Parse("[A]\nK = 1\n[B\nX = 9\n[C]\nL = 2\n", &report);
  EXPECT_EQ(report.bad_lines, 2u);
  EXPECT_EQ(report.first_bad_line, 3u);
  EXPECT_EQ(table.Find("A", "X"), nullptr);
  EXPECT_EQ(Value(table, "C", "L"), "2");
  // A section given twice continues; that alone is no damage.
  table = Parse("[A]\nK = 1\n[B]\nX = 9\n[A]\nL = 2\n", &report);
  EXPECT_FALSE(report.Damaged());
  ASSERT_EQ(table.Sections().size(), 2u);
  EXPECT_EQ(table.Sections()[0].entries.size(), 2u);
  // A last line that is only a comment or blanks is no damage.
  Parse("[A]\nK = 1\n; trailing", &report);
  EXPECT_FALSE(report.Damaged());
  // Entries the table cannot take are counted.
  Parse("[A]\nK = " + std::string(kVSettingsMaxValueBytes + 1, 'v') + "\n", &report);
  EXPECT_EQ(report.refused_entries, 1u);
}

TEST(SettingsFile, ReadsOnlyBoundedRegularFiles) {
  TempDir dir;
  std::string text = "left over";
  EXPECT_EQ(VSettingsFileRead(dir.File("missing"), 100, &text), VSettingsReadResult::kMissing);
  EXPECT_TRUE(text.empty());
  ASSERT_TRUE(WriteFileBytes(dir.File("small"), "[A]\nK = 1\n"));
  EXPECT_EQ(VSettingsFileRead(dir.File("small"), 100, &text), VSettingsReadResult::kOk);
  EXPECT_EQ(text, "[A]\nK = 1\n");
  EXPECT_EQ(VSettingsFileRead(dir.File("small"), 9, &text), VSettingsReadResult::kTooLarge);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(VSettingsFileRead(dir.path(), 100, &text), VSettingsReadResult::kUnreadable);
  // A pipe without a writer must not block the reader.
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(VSettingsFileRead(dir.File("fifo"), 100, &text), VSettingsReadResult::kUnreadable);
}

TEST(SettingsFile, WritesAtomically) {
  TempDir dir;
  const std::string path = dir.File("@Task.txt");
  ASSERT_TRUE(WriteFileBytes(path, "old"));
  // A temporary file left by an earlier run is simply replaced.
  ASSERT_TRUE(WriteFileBytes(path + ".tmp." + std::to_string(::getpid()), "stale stale stale"));
  std::string error;
  ASSERT_TRUE(VSettingsFileWriteAtomic(path, "new text\n", &error)) << error;
  EXPECT_EQ(ReadFileBytes(path), "new text\n");
  EXPECT_NE(::access((path + ".tmp." + std::to_string(::getpid())).c_str(), F_OK), 0);
  // A folder that does not exist: the error says why, nothing is written.
  EXPECT_FALSE(VSettingsFileWriteAtomic(dir.File("none/@Task.txt"), "x", &error));
  EXPECT_NE(error.find("none"), std::string::npos);
  // A target that cannot be replaced keeps its content and leaves no temporary file.
  ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
  ASSERT_TRUE(WriteFileBytes(dir.File("folder/inside"), "x"));
  EXPECT_FALSE(VSettingsFileWriteAtomic(dir.File("folder"), "x", &error));
  EXPECT_NE(::access((dir.File("folder") + ".tmp." + std::to_string(::getpid())).c_str(), F_OK), 0);
}

}  // namespace
