#include "host/port_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// fontconfig keeps a block of its one-time set-up that no pointer reaches
// any more; it is fontconfig's own and happens once a process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

// A length-prefixed copy of `text`.
std::string pascal(const std::string& text) { return std::string(1, static_cast<char>(text.size())) + text; }

short fontNumber(const std::string& name) {
  short number = -1;
  const std::string p = pascal(name);
  GetFNum(reinterpret_cast<ConstStringPtr>(p.data()), &number);
  return number;
}

short width(const std::string& text) { return TextWidth(text.data(), 0, static_cast<short>(text.size())); }

void draw(const std::string& text) { DrawText(text.data(), 0, static_cast<short>(text.size())); }

struct TextPort : ::testing::Test {
  GrafPtr port = nullptr;
  short helvetica = 0;
  void SetUp() override {
    port = CreatePort(200, 60);
    ASSERT_NE(port, nullptr);
    SetPort(port);
    helvetica = fontNumber("Helvetica");
    TextFont(helvetica);
    TextSize(14);
    TextFace(normal);
  }
  void TearDown() override { DisposePort(port); }
  const PortDrawContext& dc() { return *GetPortDrawContext(port); }
  const std::uint8_t* at(int x, int y) { return dc().pixels + y * dc().row_bytes + x * 4; }
};

TEST(FontNumbers, HelveticaIsStableAndNonzero) {
  const short a = fontNumber("Helvetica");
  EXPECT_NE(a, 0);
  EXPECT_EQ(fontNumber("Helvetica"), a);
  EXPECT_EQ(fontNumber("helvetica"), a);  // names ignore case
  const short other = fontNumber("No Such Family Anywhere");
  EXPECT_NE(other, 0);  // unknown names still answer a number (drawn as sans-serif)
  EXPECT_NE(other, a);
  EXPECT_EQ(fontNumber(""), 0);
  short untouched = 7;
  GetFNum(nullptr, &untouched);
  EXPECT_EQ(untouched, 0);
  const std::string name = pascal("Helvetica");
  GetFNum(reinterpret_cast<ConstStringPtr>(name.data()), nullptr);
}

TEST_F(TextPort, WidthGrowsWithTheTextAndTheSize) {
  const short one = width("Z");
  const short three = width("ZYN");
  EXPECT_GT(one, 0);
  EXPECT_GT(three, one);
  EXPECT_EQ(width(""), 0);
  TextSize(28);
  EXPECT_GT(width("ZYN"), three);
  TextSize(8);
  EXPECT_LT(width("ZYN"), three);
  // firstByte and byteCount select the bytes measured.
  TextSize(14);
  const std::string text = "xxZYNxx";
  EXPECT_EQ(TextWidth(text.data(), 2, 3), three);
}

TEST_F(TextPort, BoldIsWiderAndCondensedNarrower) {
  const std::string text = "Press 'H' for help";
  const short plain = width(text);
  TextFace(bold);
  const short wide = width(text);
  TextFace(condense);
  const short narrow = width(text);
  TextFace(bold | condense);
  const short boldNarrow = width(text);
  EXPECT_GE(wide, plain);
  EXPECT_LT(narrow, plain);
  EXPECT_LT(boldNarrow, wide);
  EXPECT_GE(boldNarrow, narrow);
}

TEST_F(TextPort, UnknownFontStillMeasuresAndDraws) {
  TextFont(fontNumber("No Such Family Anywhere"));
  EXPECT_GT(width("ZYN"), 0);
  TextFont(0);
  EXPECT_GT(width("ZYN"), 0);
  TextFont(-5);  // never answered by GetFNum: drawn as sans-serif too
  EXPECT_GT(width("ZYN"), 0);
}

TEST_F(TextPort, DrawTextPaintsTheForeColourNearThePenOnly) {
  const RGBColor colour{0xFF00, 0x8000, 0x0000};
  RGBForeColor(&colour);
  MoveTo(20, 40);
  const short w = width("ZYN");
  draw("ZYN");
  int touched = 0, full = 0;
  for (int y = 0; y < dc().height; ++y)
    for (int x = 0; x < dc().width; ++x) {
      const std::uint8_t* p = at(x, y);
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
      ++touched;
      // Only the fore colour, at partial or full coverage, over black.
      EXPECT_EQ(p[2], 0) << x << "," << y;
      EXPECT_LE(p[1], p[0]) << x << "," << y;
      if (p[0] == 0xFF && p[1] == 0x80) ++full;
      // Inside the text's box: right of the pen, above the baseline (the
      // capitals have no descenders), within the size.
      EXPECT_GE(x, 19);
      EXPECT_LE(x, 20 + w);
      EXPECT_LT(y, 40);
      EXPECT_GE(y, 40 - 14);
    }
  EXPECT_GT(touched, 20);
  EXPECT_GT(full, 5);
}

TEST_F(TextPort, DrawTextAdvancesThePen) {
  struct Seen {
    std::vector<PortTextCall> calls;
  } seen;
  SetPortTextObserver(
      port, [](GrafPtr, const PortTextCall& call, void* user) { static_cast<Seen*>(user)->calls.push_back(call); },
      &seen);
  MoveTo(5, 30);
  draw("ZYN");
  draw("!");
  ASSERT_EQ(seen.calls.size(), 2u);
  EXPECT_EQ(seen.calls[1].x, 5 + width("ZYN"));
  EXPECT_EQ(seen.calls[1].y, 30);
}

TEST_F(TextPort, DrawTextIsClippedToThePort) {
  const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
  RGBForeColor(&white);
  TextSize(40);
  MoveTo(-10, 20);  // half above the top edge and beyond the left edge
  draw("WWWWWWWWWWWWWWWWWWWW");
  MoveTo(180, 75);  // beyond the right and bottom edges
  draw("g");
  MoveTo(32767, 32767);
  draw("ZYN");
  MoveTo(-32768, -32768);
  draw("ZYN");
  int touched = 0;
  for (int y = 0; y < dc().height; ++y)
    for (int x = 0; x < dc().width; ++x) touched += at(x, y)[0] != 0;
  EXPECT_GT(touched, 0);
}

TEST_F(TextPort, ObserverSeesTheExactCall) {
  std::vector<PortTextCall> calls;
  SetPortTextObserver(
      port,
      [](GrafPtr p, const PortTextCall& call, void* user) {
        EXPECT_NE(p, nullptr);
        static_cast<std::vector<PortTextCall>*>(user)->push_back(call);
      },
      &calls);
  const RGBColor nearWhite{0xFF00, 0xFF00, 0xFF00};
  RGBForeColor(&nearWhite);
  TextSize(14);
  TextFace(bold | condense);
  MoveTo(123, 45);
  const std::string text = "..ZYN..";
  DrawText(text.data(), 2, 3);
  ASSERT_EQ(calls.size(), 1u);
  const PortTextCall& c = calls[0];
  EXPECT_EQ(c.text, "ZYN");
  EXPECT_EQ(c.x, 123);
  EXPECT_EQ(c.y, 45);
  EXPECT_EQ(c.fontNumber, helvetica);
  EXPECT_EQ(c.font, "Helvetica");
  EXPECT_EQ(c.size, 14);
  EXPECT_EQ(c.face, 0x21);
  EXPECT_EQ(c.color.red, 0xFF00);
  EXPECT_EQ(c.color.green, 0xFF00);
  EXPECT_EQ(c.color.blue, 0xFF00);

  SetPortTextObserver(port, nullptr, &calls);
  draw("again");
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(TextPort, BadArgumentsDrawNothing) {
  std::vector<PortTextCall> calls;
  SetPortTextObserver(
      port,
      [](GrafPtr, const PortTextCall& call, void* user) {
        static_cast<std::vector<PortTextCall>*>(user)->push_back(call);
      },
      &calls);
  const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
  RGBForeColor(&white);
  MoveTo(10, 30);
  DrawText(nullptr, 0, 5);
  DrawText("abc", -1, 2);
  DrawText("abc", 0, -2);
  EXPECT_EQ(TextWidth(nullptr, 0, 5), 0);
  EXPECT_EQ(TextWidth("abc", 0, -1), 0);
  EXPECT_TRUE(calls.empty());
  for (int y = 0; y < dc().height; ++y)
    for (int x = 0; x < dc().width; ++x) ASSERT_EQ(at(x, y)[0], 0);
  // Control characters neither draw nor advance; huge sizes are limited.
  EXPECT_EQ(width(std::string("\n\t\r", 3)), 0);
  TextSize(32767);
  EXPECT_GT(width("Z"), 0);
  TextSize(-3);
  EXPECT_EQ(width("Z"), [&] {
    TextSize(0);
    return width("Z");
  }());
}

TEST(TextWithoutPort, EverythingIsANoOp) {
  SetPort(nullptr);
  TextFont(1);
  TextSize(10);
  TextFace(bold);
  MoveTo(1, 1);
  DrawText("abc", 0, 3);
  EXPECT_EQ(TextWidth("abc", 0, 3), 0);
  SetPortTextObserver(nullptr, nullptr, nullptr);
}

}  // namespace
