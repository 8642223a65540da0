// The list format string: what the parser builds for the strings the
// application stores, the modifiers one by one, groups, field numbering,
// rejected texts, and the writer giving back a text that parses to the same
// table (for every stored format and for generated ones).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "runtime/windows/list_format.h"

namespace vaultrix::windows {
namespace {

ListFormat Parsed(std::string_view text) {
  ListFormat format;
  EXPECT_TRUE(ParseListFormat(text, &format)) << text;
  return format;
}

void ExpectRoundTrip(std::string_view text) {
  const ListFormat first = Parsed(text);
  const std::string written = WriteListFormat(first);
  ListFormat again;
  ASSERT_TRUE(ParseListFormat(written, &again)) << text << " wrote " << written;
  EXPECT_EQ(first, again) << text << " wrote " << written;
  EXPECT_EQ(WriteListFormat(again), written);
}

TEST(ListFormatTest, UserListColumn) {
  const ListFormat format = Parsed("80L(2)|M~Name~@s30@");
  ASSERT_EQ(format.columns.size(), 1u);
  const ListColumn& column = format.columns[0];
  EXPECT_EQ(column.width, 80);
  EXPECT_EQ(column.data_alignment, ListAlign::kLeft);
  EXPECT_EQ(column.header_alignment, ListAlign::kLeft);
  EXPECT_EQ(column.data_indent, 2);
  EXPECT_EQ(column.header_indent, 2);
  EXPECT_EQ(column.flags, kColumnRightBorder | kColumnResizable);
  EXPECT_EQ(column.header, "Name");
  EXPECT_EQ(column.picture_text, "@s30");
  EXPECT_EQ(column.picture.kind(), PictureKind::kString);
  EXPECT_EQ(column.picture.width, 30);
  EXPECT_EQ(column.field, 0);
  ASSERT_EQ(format.groups.size(), 1u);
  EXPECT_FALSE(format.groups[0].bracketed);
  EXPECT_EQ(format.ValueColumn(), 0);
}

TEST(ListFormatTest, CentredColumnWithEqualsHeader) {
  const ListFormat format = Parsed("8C~=~@s1@");
  ASSERT_EQ(format.columns.size(), 1u);
  EXPECT_EQ(format.columns[0].width, 8);
  EXPECT_EQ(format.columns[0].data_alignment, ListAlign::kCentre);
  EXPECT_EQ(format.columns[0].header_alignment, ListAlign::kCentre);
  EXPECT_EQ(format.columns[0].header, "=");
}

TEST(ListFormatTest, ZeroWidthColumnKeepsItsField) {
  const ListFormat format = Parsed("20L~A~@s5@0L~B~@s5@-3L@s5@20L~C~@s5@");
  ASSERT_EQ(format.columns.size(), 4u);
  EXPECT_TRUE(format.columns[1].Empty());
  EXPECT_TRUE(format.columns[2].Empty());
  EXPECT_EQ(format.columns[2].width, -3);
  EXPECT_EQ(format.columns[1].field, 1);
  EXPECT_EQ(format.columns[2].field, 2);
  EXPECT_EQ(format.columns[3].field, 3);
}

TEST(ListFormatTest, ScrollingColumnWidths) {
  ListFormat format = Parsed("40LS@s5@30LS(75)@s5@");
  EXPECT_TRUE(format.columns[0].Has(kColumnScrolling));
  EXPECT_EQ(format.columns[0].scroll_width, 100);
  EXPECT_EQ(format.columns[1].scroll_width, 75);
  EXPECT_EQ(WriteListFormat(format), "40LS(100)@s5@30LS(75)@s5@");
}

TEST(ListFormatTest, HeaderAlignmentChangesOnlyTheHeader) {
  const ListColumn column = Parsed("40L(2)~Total~R@s5@").columns[0];
  EXPECT_EQ(column.data_alignment, ListAlign::kLeft);
  EXPECT_EQ(column.header_alignment, ListAlign::kRight);
  EXPECT_EQ(column.header_indent, 2);
  const ListColumn indented = Parsed("40D(2)~Total~(5)@n9.2@").columns[0];
  EXPECT_EQ(indented.data_alignment, ListAlign::kDecimal);
  EXPECT_EQ(indented.header_alignment, ListAlign::kDecimal);
  EXPECT_EQ(indented.data_indent, 2);
  EXPECT_EQ(indented.header_indent, 5);
}

TEST(ListFormatTest, ImportColumnReadsBackTheSame) {
  const ListColumn column = Parsed("42L(1)|M~Import Field~S(75)@s50@").columns[0];
  const std::string written = WriteListFormat(Parsed("42L(1)|M~Import Field~S(75)@s50@"));
  EXPECT_EQ(written, "42L(1)|M~Import Field~S(75)@s50@");
  EXPECT_EQ(Parsed(written).columns[0], column);
  EXPECT_EQ(column.scroll_width, 75);
  EXPECT_TRUE(column.Has(kColumnScrolling));
}

TEST(ListFormatTest, ModifiersInAnyOrderAndCase) {
  const ListColumn column = Parsed("30r(4)?m_f@n9.2@s(20)h(12)~a~c").columns[0];
  EXPECT_EQ(column.data_alignment, ListAlign::kRight);
  EXPECT_EQ(column.header_alignment, ListAlign::kCentre);
  EXPECT_EQ(column.flags,
            kColumnValue | kColumnResizable | kColumnUnderline | kColumnFixed | kColumnScrolling);
  EXPECT_TRUE(column.Has2(kColumnHeaderHeight));
  EXPECT_EQ(column.header_height, 12);
  EXPECT_EQ(column.scroll_width, 20);
  EXPECT_EQ(column.picture.kind(), PictureKind::kNumber);
  ExpectRoundTrip("30r(4)?m_f@n9.2@s(20)h(12)~a~c");
  ExpectRoundTrip("30LH~a~");
}

TEST(ListFormatTest, FieldNumbersWithColoursIconsAndTrees) {
  const ListFormat format = Parsed("20L*I@s5@20L#1#T(1r)@s5@20L@s5@10L#9#@s5@10L@s5@");
  const auto& c = format.columns;
  EXPECT_EQ(c[0].field, 0);
  EXPECT_EQ(c[0].colour_field, 1);
  EXPECT_EQ(c[0].icon_field, 5);
  EXPECT_EQ(c[1].field, 1);
  EXPECT_EQ(c[1].tree_field, 2);
  EXPECT_EQ(c[1].flags2, kTreeOption1 | kTreeOptionR);
  EXPECT_EQ(c[2].field, 3);
  EXPECT_EQ(c[3].field, 9);
  EXPECT_EQ(c[4].field, 10);
  EXPECT_EQ(format.FieldCount(), 11);
  // The writer names only the fields that do not follow by position.
  EXPECT_EQ(WriteListFormat(format), "20L*I@s5@20LT(1R)#1#@s5@20L@s5@10L#9#@s5@10L@s5@");
  ExpectRoundTrip("20L*I@s5@20L#1#T(1r)@s5@20L@s5@10L#9#@s5@10L@s5@");
}

TEST(ListFormatTest, ValueColumnIsTheMarkedOne) {
  EXPECT_EQ(Parsed("20L@s5@20L?@s5@").ValueColumn(), 1);
  EXPECT_EQ(Parsed("20L@s5@20L@s5@").ValueColumn(), 0);
  EXPECT_EQ(Parsed("").ValueColumn(), -1);
}

TEST(ListFormatTest, NewLineColumnsLayOutOnFurtherLines) {
  ListFormat format = Parsed("40L@s5@/20L@s5@20L@s5@");
  LayOutListColumns(format, DialogMetrics{});
  EXPECT_EQ(ListRowLines(format), 2);
  EXPECT_EQ(format.columns[0].left, 0);
  EXPECT_EQ(format.columns[0].right, 80);
  EXPECT_EQ(format.columns[1].left, 0);
  EXPECT_EQ(format.columns[1].top, 16);
  EXPECT_EQ(format.columns[2].left, 40);
  EXPECT_EQ(format.columns[2].right, 80);
}

TEST(ListFormatTest, GroupsKeepTheirBracketsAndModifiers) {
  const ListFormat format = Parsed("10L@s1@[80L~A~@s5@40R~B~@s5@](120)M|~Both~C(4)H20L@s2@");
  ASSERT_EQ(format.groups.size(), 3u);
  const ListGroup& group = format.groups[1];
  EXPECT_TRUE(group.bracketed);
  EXPECT_EQ(group.first_column, 1);
  EXPECT_EQ(group.column_count, 2);
  EXPECT_EQ(group.width, 120);
  EXPECT_EQ(group.flags, kColumnResizable | kColumnRightBorder);
  EXPECT_TRUE((group.flags2 & kColumnHeaderHeight) != 0);
  EXPECT_EQ(group.header, "Both");
  EXPECT_EQ(group.header_alignment, ListAlign::kCentre);
  EXPECT_EQ(group.header_indent, 4);
  EXPECT_EQ(format.columns[2].group, 1);
  EXPECT_EQ(format.columns[3].group, 2);
  EXPECT_EQ(WriteListFormat(format), "10L@s1@[80L~A~@s5@40R~B~@s5@](120)|M~Both~C(4)H20L@s2@");
  ExpectRoundTrip("[80L@s5@]~~R[10L@s1@]");
}

TEST(ListFormatTest, PicturesThatDoNotCompileStayAsWritten) {
  const ListFormat format = Parsed("40L@q9@20D@n9`2@20L@@");
  EXPECT_EQ(format.columns[0].picture_text, "@q9");
  EXPECT_EQ(format.columns[0].picture.kind(), PictureKind::kNone);
  EXPECT_EQ(format.columns[1].decimal_char, ',');
  EXPECT_TRUE(format.columns[2].picture_text.empty());
  EXPECT_EQ(WriteListFormat(format), "40L@q9@20D@n9`2@20L");
}

TEST(ListFormatTest, TextsOutsideTheGrammarAreRejected) {
  const char* const kBad[] = {"80L(2",    "80L~abc",  "abc",     "[80L@s5@", "80L@s5@]",
                              "[]",       "80L@s5",   "80LX",    "80L#-1#",  "80L#5",
                              "9999999L", "80LT(Q)",  "[[80L]]", "80L(x)",   "80L~a~(",
                              "-L",       "80L S(5)", "80LS(",   "80LH(3"};
  for (const char* text : kBad) {
    ListFormat format = Parsed("10L@s1@");
    const ListFormat before = format;
    EXPECT_FALSE(ParseListFormat(text, &format)) << text;
    EXPECT_EQ(format, before) << text;
  }
  const std::string with_nul("80L\0@s5@", 8);
  ListFormat format;
  EXPECT_FALSE(ParseListFormat(with_nul, &format));
  EXPECT_TRUE(ParseListFormat(std::string_view(), &format));
  EXPECT_TRUE(format.columns.empty());
}

TEST(ListFormatTest, ParserStopsAtTheLimit) {
  // The text continues past the limit; what lies beyond must not be read.
  const std::string text = "80L~Name~@s30@";
  ListFormat format;
  EXPECT_FALSE(ParseListFormat(text.data(), text.data() + 8, &format));  // "80L~Name" unclosed
  ASSERT_TRUE(ParseListFormat(text.data(), text.data() + 3, &format));
  EXPECT_EQ(format.columns[0].header, "");
}

std::vector<std::string> StoredFormats() {
  std::vector<std::string> formats;
  const std::regex line(R"re(^\s*format\s+"(.*)"\s*$)re");
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VAULTRIX_SOURCE_DIR) + "/resources")) {
    if (entry.path().extension() != ".vwin") continue;
    std::ifstream in(entry.path());
    std::string text;
    std::smatch match;
    while (std::getline(in, text)) {
      if (std::regex_match(text, match, line)) formats.push_back(match[1]);
    }
  }
  return formats;
}

TEST(ListFormatTest, EveryStoredFormatReadsBackAsWritten) {
  std::vector<std::string> formats = StoredFormats();
  ASSERT_GE(formats.size(), 8u);
  // The import window's two lists, and the tips, users and export lists.
  formats.push_back(
      "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@80L(2)|M~Name~@s30@80L(2)|M~Notes~@s255@");
  formats.push_back(
      "42L(1)|M~Import Field~S(75)@s50@40L(1)|M~Picture~S(45)@s30@150L(1)~Value~S(300)@s255@");
  formats.push_back("65L(1)M~Target Field~S(75)@s50@8C~=~@s1@65L(1)~Import Field~S(75)@s50@");
  for (const std::string& text : formats) {
    ListFormat format = Parsed(text);
    EXPECT_EQ(WriteListFormat(format), text);
    ExpectRoundTrip(text);
  }
}

// A random format built from every piece of the grammar.
std::string RandomFormat(std::mt19937& random) {
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto number = [&]() { return std::to_string(pick(3) == 0 ? -pick(50) : pick(400)); };
  auto column = [&]() {
    // Without its letter a column's width would run into the next column's.
    std::string text = number();
    text += "LRCDlrcd"[pick(8)];
    if (pick(3) == 0) text += "(" + number() + ")";
    const int modifiers = pick(6);
    for (int m = 0; m < modifiers; ++m) {
      switch (pick(16)) {
        case 0:
          text += "/";
          break;
        case 1:
          text += "@s" + std::to_string(1 + pick(60)) + "@";
          break;
        case 2:
          text += "?";
          break;
        case 3:
          text += "#" + std::to_string(pick(20)) + "#";
          break;
        case 4:
          text += "*";
          break;
        case 5:
          text += "Ii"[pick(2)];
          break;
        case 6:
          text += pick(2) != 0 ? "T" : "t(L1RBI)";
          break;
        case 7:
          text += "Mm"[pick(2)];
          break;
        case 8:
          text += "Ff"[pick(2)];
          break;
        case 9:
          text += "|";
          break;
        case 10:
          text += "_";
          break;
        case 11:
          text += pick(2) != 0 ? "S" : "s(" + number() + ")";
          break;
        case 12:
          text += pick(2) != 0 ? "H" : "h(" + number() + ")";
          break;
        case 13:
          text += "~Head " + number() + "~";
          break;
        case 14:
          text += "~~" + std::string(1, "LRCD"[pick(4)]) + "(" + number() + ")";
          break;
        default:
          text += "@n" + std::to_string(3 + pick(12)) + ".2@";
          break;
      }
    }
    return text;
  };
  std::string text;
  const int groups = pick(5);
  for (int g = 0; g < groups; ++g) {
    if (pick(3) == 0) {
      text += "[";
      const int columns = 1 + pick(3);
      for (int c = 0; c < columns; ++c) text += column();
      text += "]";
      if (pick(2) != 0) text += "(" + number() + ")";
      if (pick(2) != 0) text += "M|_F"[pick(4)];
      if (pick(2) != 0) text += "~Group~" + std::string(pick(2) != 0 ? "R" : "");
      if (pick(3) == 0) text += "S";
    } else {
      text += column();
    }
  }
  return text;
}

TEST(ListFormatTest, GeneratedFormatsReadBackTheSame) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 2000; ++i) {
    const std::string text = RandomFormat(random);
    SCOPED_TRACE(text);
    ExpectRoundTrip(text);
  }
}

}  // namespace
}  // namespace vaultrix::windows
