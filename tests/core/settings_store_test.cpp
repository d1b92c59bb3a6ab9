// The store of named settings tables: names, get, set, get-or-set default,
// bounds and use from several threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "core/settings_store.h"
#include "core/settings_value.h"

namespace {

TEST(SettingsStore, OpensOnlyTheListedNamesExactly) {
  VSettingsStore store;
  for (int i = 0; i < VSettingsStore::kTableCount; ++i) {
    VSettings table = store.Open(VSettingsStore::TableName(i));
    EXPECT_TRUE(table.IsValid());
    EXPECT_STREQ(table.Name(), VSettingsStore::TableName(i));
  }
  EXPECT_EQ(VSettingsStore::TableIndex("@EXTENSIONS.txt"), 1);
  for (const char* name : {"@application.txt", "Application.txt", "@Application.txt ", "", "@Other.txt"}) {
    VSettings none = store.Open(name);
    EXPECT_FALSE(none.IsValid()) << name;
    EXPECT_EQ(none.Get("Display", "Key", "d"), std::nullopt);
    EXPECT_EQ(none.GetText("Display", "Key", "d"), "d");
    EXPECT_FALSE(none.Set("Display", "Key", "v"));
    EXPECT_FALSE(none.GetOrSetDefault("Display", "Key", "v"));
    EXPECT_TRUE(none.Snapshot().Empty());
  }
  EXPECT_FALSE(VSettings().IsValid());
}

TEST(SettingsStore, GetSetAndGetOrSetDefault) {
  VSettingsStore store;
  VSettings app = store.Open(kVSettingsApplication);
  EXPECT_EQ(app.Get("Display", "GridSpacing", "20.0"), "20.0");
  EXPECT_TRUE(app.Set("Display", "GridSpacing", "5", "Side length of a grid square."));
  EXPECT_EQ(app.Get("Display", "GridSpacing", "20.0"), "5");
  // A key of another section is not found through a missing section.
  EXPECT_EQ(app.Get("Grid", "GridSpacing", "none"), "none");
  // Names are case-sensitive.
  EXPECT_EQ(app.Get("display", "GridSpacing", "none"), "none");
  EXPECT_EQ(app.Get("Display", "gridspacing", "none"), "none");
  // A longer value then a shorter one replaces the text entirely.
  EXPECT_TRUE(app.Set("Display", "GridSpacing", "123456789012345678901234567890"));
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "123456789012345678901234567890");
  EXPECT_TRUE(app.Set("Display", "GridSpacing", "7"));
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "7");
  // Get or set default leaves an existing key and reports true.
  EXPECT_TRUE(app.GetOrSetDefault("Display", "GridSpacing", "20.0", "Side length of a grid square."));
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "7");
  EXPECT_TRUE(app.GetOrSetDefault("Display", "UseLineStipple", "Yes", "Use Line Stipple (Yes/No)."));
  EXPECT_EQ(app.GetText("Display", "UseLineStipple", ""), "Yes");
  // Empty values are values.
  EXPECT_TRUE(app.Set("Display", "ColorMode", ""));
  EXPECT_EQ(app.Get("Display", "ColorMode", "x"), "");
  // The tables are separate.
  EXPECT_EQ(store.Open(kVSettingsTask).Get("Display", "GridSpacing", "none"), "none");
  // Keys keep the order they were added in; replacing keeps the place.
  VSettingsTable table = app.Snapshot();
  ASSERT_EQ(table.Sections().size(), 1u);
  ASSERT_EQ(table.Sections()[0].entries.size(), 3u);
  EXPECT_EQ(table.Sections()[0].entries[0].key, "GridSpacing");
  EXPECT_EQ(table.Sections()[0].entries[0].comment, "Side length of a grid square.");
  EXPECT_EQ(table.Sections()[0].entries[2].key, "ColorMode");
}

TEST(SettingsStore, CommentsAreKeptForTheFileOnly) {
  VSettingsStore store;
  VSettings app = store.Open(kVSettingsApplication);
  ASSERT_TRUE(app.Set("S", "K", "1"));
  // Get or set default gives a key without a comment its comment.
  ASSERT_TRUE(app.GetOrSetDefault("S", "K", "2", "the comment"));
  // An empty comment keeps the one there; a new one replaces it; lines join.
  ASSERT_TRUE(app.Set("S", "K", "3"));
  EXPECT_EQ(app.Snapshot().Find("S", "K")->comment, "the comment");
  ASSERT_TRUE(app.Set("S", "K", "4", "  two\nlines\t "));
  EXPECT_EQ(app.Snapshot().Find("S", "K")->comment, "two lines");
  EXPECT_EQ(app.GetText("S", "K", ""), "4");
}

TEST(SettingsStore, RefusesToGrowPastItsBounds) {
  VSettingsStore store;
  VSettings app = store.Open(kVSettingsHistory);
  EXPECT_FALSE(app.Set(std::string(kVSettingsMaxNameBytes + 1, 's'), "K", "v"));
  EXPECT_FALSE(app.Set("S", std::string(kVSettingsMaxNameBytes + 1, 'k'), "v"));
  EXPECT_FALSE(app.Set("S", "K", std::string(kVSettingsMaxValueBytes + 1, 'v')));
  EXPECT_TRUE(app.Snapshot().Empty());
  ASSERT_TRUE(app.Set("S", "K", std::string(kVSettingsMaxValueBytes, 'v')));
  // Fill the table until it refuses; what it holds still fits its file.
  const std::string big(kVSettingsMaxValueBytes, '\x01');
  int added = 0;
  while (app.Set("S", "K" + std::to_string(added), big) && added < 1000) ++added;
  EXPECT_LT(added, 1000);
  EXPECT_GT(added, 10);
  // Top up with small values until even those are refused.
  int small = 0;
  while (app.Set("T", "K" + std::to_string(small), std::string(1000, 'w')) && small < 1000) ++small;
  EXPECT_LT(small, 1000);
  EXPECT_LE(app.Snapshot().FormattedBytes(), kVSettingsMaxFileBytes);
  // A refused replacement leaves the old value.
  EXPECT_FALSE(app.Set("S", "K", big));
  EXPECT_EQ(app.GetText("S", "K", "").size(), kVSettingsMaxValueBytes);
  EXPECT_EQ(app.GetText("S", "K", "")[0], 'v');
  // Another table is not affected.
  EXPECT_TRUE(store.Open(kVSettingsFilters).Set("S", "K", big));
}

TEST(SettingsStore, RefusesTooManyKeys) {
  VSettingsStore store;
  VSettings table = store.Open(kVSettingsZynPlugins);
  for (size_t i = 0; i < kVSettingsMaxKeys; ++i) {
    ASSERT_TRUE(table.Set("S" + std::to_string(i % 7), std::to_string(i), "")) << i;
  }
  EXPECT_FALSE(table.Set("S0", "one more", ""));
  EXPECT_FALSE(table.GetOrSetDefault("New", "one more", ""));
  EXPECT_TRUE(table.Set("S0", "0", "replacing is no growth"));
  EXPECT_EQ(table.Snapshot().KeyCount(), kVSettingsMaxKeys);
}

TEST(SettingsStore, IsSafeFromSeveralThreads) {
  VSettingsStore store;
  VSettings app = store.Open(kVSettingsApplication);
  ASSERT_TRUE(app.Set("Display", "Shared", "start"));
  auto writer = [&store](int id) {
    VSettings table = store.Open(kVSettingsApplication);
    for (int i = 0; i < 2000; ++i) {
      table.Set("Display", "Shared", std::string(static_cast<size_t>(i % 50 + 1), static_cast<char>('a' + id)));
      table.GetOrSetDefault("Thread" + std::to_string(id), "K" + std::to_string(i % 100), "v");
      const std::string value = table.GetText("Display", "Shared", "");
      // A value is always one whole text written by one thread.
      EXPECT_FALSE(value.empty());
      EXPECT_EQ(value.find_first_not_of(value[0]), std::string::npos);
    }
  };
  std::thread a(writer, 0), b(writer, 1), c(writer, 2);
  a.join();
  b.join();
  c.join();
  EXPECT_EQ(app.Snapshot().Sections().size(), 4u);
}

TEST(SettingsValue, WordsIgnoreCaseAndNumbersAreDecimal) {
  EXPECT_TRUE(VSettingsIsYes("Yes"));
  EXPECT_TRUE(VSettingsIsYes("yEs"));
  EXPECT_FALSE(VSettingsIsYes("Yes "));
  EXPECT_FALSE(VSettingsIsYes("Y"));
  EXPECT_TRUE(VSettingsIsNo("NO"));
  EXPECT_TRUE(VSettingsTextIs("disable", "Disable"));
  int i = 99;
  EXPECT_TRUE(VSettingsToInt(" -1 ", &i));
  EXPECT_EQ(i, -1);
  EXPECT_TRUE(VSettingsToInt("+7", &i));
  EXPECT_EQ(i, 7);
  for (const char* bad : {"", "0x10", "1.5", "12abc", "99999999999", "-", "+-1"}) {
    i = 42;
    EXPECT_FALSE(VSettingsToInt(bad, &i)) << bad;
    EXPECT_EQ(i, 42);
  }
  EXPECT_TRUE(VSettingsToInt("010", &i));
  EXPECT_EQ(i, 10);
  double d = 0;
  EXPECT_TRUE(VSettingsToDouble("5.0e-12", &d));
  EXPECT_DOUBLE_EQ(d, 5.0e-12);
  EXPECT_TRUE(VSettingsToDouble("0.63", &d));
  EXPECT_DOUBLE_EQ(d, 0.63);
  d = 3;
  for (const char* bad : {"", "nan", "inf", "1e999", "1,5", "0.5x"}) {
    EXPECT_FALSE(VSettingsToDouble(bad, &d)) << bad;
  }
  EXPECT_EQ(d, 3);
}

}  // namespace
