// What a list shows: header lines and the display strings of the visible rows,
// each cell formatted by its picture, aligned by its column and cut at the
// column's edges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/windows/list_page.h"

namespace vaultrix::windows {
namespace {

// 8-pixel characters: 4 dialog units make one character.
ListFormat Laid(std::string_view text) {
  ListFormat format;
  EXPECT_TRUE(ParseListFormat(text, &format)) << text;
  LayOutListColumns(format, DialogMetrics{});
  return format;
}

std::string Cell(std::string_view format_text, std::string_view field) {
  const ListFormat format = Laid(format_text);
  std::string out;
  AppendListCell(format.columns[0], field, DialogMetrics{}, 0, out);
  return out;
}

std::vector<std::string> Rows(const ListFormat& format, TableListQueue& queue, int first,
                              int visible) {
  ListPageRequest request;
  request.format = &format;
  request.first_record = first;
  request.visible_rows = visible;
  std::vector<std::string> rows;
  ProduceListRows(request, queue, &rows);
  return rows;
}

TEST(ListPageTest, PasswordBrowserPage) {
  const ListFormat format =
      Laid("80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@80L(2)|M~Name~@s30@80L(2)|M~Notes~@s255@");
  TableListQueue queue({{"Bank", "https://bank.example/login/with/a/long/path", "joe", "pin"},
                        {"Mail", "", "joe@example", ""},
                        {"Shop", "shop.example", "j", "notes"}});
  const std::vector<std::string> headers = ProduceListHeaders(format, DialogMetrics{});
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_EQ(
      headers[0],
      "Service             \tURL                 \tName                \tNotes               ");
  const std::vector<std::string> rows = Rows(format, queue, 1, 5);
  ASSERT_EQ(rows.size(), 2u);  // a short page: only the records there are
  EXPECT_EQ(
      rows[0],
      "Mail                \t                    \tjoe@example         \t                    ");
  const std::vector<std::string> first = Rows(format, queue, 0, 1);
  EXPECT_EQ(first[0].substr(21, 20), "https://bank.example");
}

TEST(ListPageTest, AlignmentAndIndents) {
  EXPECT_EQ(Cell("40L(8)@s10@", "abc"), "  abc     ");
  EXPECT_EQ(Cell("40R(8)@n6@", "42"), "      42  ");
  EXPECT_EQ(Cell("40C@s5@", "ab"), "    ab    ");
  // Decimal: the points line up whatever the number of integer digits.
  EXPECT_EQ(Cell("40D@n9.2@", "3.5"), "      3.50");
  EXPECT_EQ(Cell("40D@n9.2@", "-1234"), " -1,234.00");
  EXPECT_EQ(Cell("40D(4)@n9.2@", "7"), "     7.00 ");
}

TEST(ListPageTest, TextIsCutAtTheCellEdges) {
  EXPECT_EQ(Cell("12L@s30@", "abcdefghij"), "abc");
  EXPECT_EQ(Cell("12R@s30@", "abcdefghij"), "hij");
  EXPECT_EQ(Cell("12L", "tab\there"), "tab");
  EXPECT_EQ(Cell("40L", "a\tb\nc"), "a b c     ");
  EXPECT_EQ(Cell("40L@s3@", "abcdef"), "abc       ");  // the picture cuts first
}

TEST(ListPageTest, ACharacterOfSeveralBytesTakesOnePlaceAndIsCutWhole) {
  const std::string ae = "\xc3\x86";  // "Æ"
  const std::string euro = "\xe2\x82\xac";
  const struct {
    std::string format, field, cell;
  } cases[] = {
      {"40L@s30@", "M\xc3\xbcller", "M\xc3\xbcller    "},  // padded to ten places
      {"40R@s30@", "M\xc3\xbcller", "    M\xc3\xbcller"},
      {"40C@s30@", ae + ae, "    " + ae + ae + "    "},
      {"12L@s30@", "a" + ae + ae + ae, "a" + ae + ae},     // the cell's edge cuts whole
      {"12R@s30@", ae + ae + ae + "z", ae + ae + "z"},
      {"40L@s30@", std::string(9, 'x') + euro + "y", std::string(9, 'x') + euro},
      {"40L@s5@", "ab" + ae + ae, "ab" + ae + "       "},  // the picture cuts at five bytes
      {"40L", "a\x80" "b", "a\x80" "b       "},  // a stray byte takes a place of its own
  };
  for (const auto& c : cases) EXPECT_EQ(Cell(c.format, c.field), c.cell) << c.format << c.field;
}

TEST(ListPageTest, FieldsThatAreNoValueShowAsTheyAre) {
  EXPECT_EQ(Cell("40R@n6@", "abc"), "       abc");
  EXPECT_EQ(Cell("40R@n6@", ""), "         0");
  EXPECT_EQ(Cell("40L@q9@", "raw"), "raw       ");
}

TEST(ListPageTest, MissingFieldsShowBlank) {
  // A record shorter than the table: the queue answers an empty (null) view.
  const ListFormat format = Laid("8L@s2@8R@n3@8L@s2@");
  TableListQueue queue(std::vector<std::vector<std::string>>{{"a"}});
  const std::vector<std::string> rows = Rows(format, queue, 0, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "a 	 0	  ");
}

TEST(ListPageTest, EmptyColumnsTakeTheirFieldButShowNothing) {
  const ListFormat format = Laid("8L@s2@0L@s2@8L@s2@");
  TableListQueue queue(std::vector<std::vector<std::string>>{{"a", "b", "c"}});
  const std::vector<std::string> rows = Rows(format, queue, 0, 3);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "a \t\tc ");
}

TEST(ListPageTest, ScrollingColumnsShowFromTheirOffset) {
  const ListFormat format = Laid("16LS(100)@s20@16L@s20@");
  TableListQueue queue(std::vector<std::vector<std::string>>{{"abcdefgh", "abcdefgh"}});
  ListPageRequest request;
  request.format = &format;
  request.visible_rows = 1;
  const std::vector<int> offsets = {3, 3};
  request.column_offsets = &offsets;
  std::vector<std::string> rows;
  ProduceListRows(request, queue, &rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "defg\tabcd");
}

TEST(ListPageTest, TreeLevelsMoveTheTextRight) {
  const ListFormat format = Laid("32LT@s8@");
  TableListQueue queue(std::vector<std::vector<std::string>>{
      {"root", "1"}, {"child", "2"}, {"closed", "-3"}, {"odd", "x"}});
  const std::vector<std::string> rows = Rows(format, queue, 0, 4);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "root    ");
  EXPECT_EQ(rows[1], "  child ");
  EXPECT_EQ(rows[2], "    clos");
  EXPECT_EQ(rows[3], "odd     ");
}

TEST(ListPageTest, RowsOnSeveralLinesAndGroupHeaders) {
  const ListFormat format = Laid("[16L~A~@s4@/16R~B~@s4@]~Both~C16L~C~@s4@");
  TableListQueue queue(std::vector<std::vector<std::string>>{{"1", "2", "3"}});
  const std::vector<std::string> rows = Rows(format, queue, 0, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], "1   \n   2\t3   ");
  const std::vector<std::string> headers = ProduceListHeaders(format, DialogMetrics{});
  ASSERT_EQ(headers.size(), 3u);
  EXPECT_EQ(headers[0], "  Both  \t    ");  // the group spans its two columns
  EXPECT_EQ(headers[1], "A   ");
  EXPECT_EQ(headers[2], "   B\tC   ");
  EXPECT_EQ(ListHeaderLines(format), 3);
}

TEST(ListPageTest, HeadersOnSeveralLinesAndAlignedAlone) {
  const ListFormat format = Laid("24L~First\nSecond~R@s4@24L@s4@");
  const std::vector<std::string> headers = ProduceListHeaders(format, DialogMetrics{});
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0], " First\t      ");
  EXPECT_EQ(headers[1], "Second\t      ");
  EXPECT_TRUE(ProduceListHeaders(Laid("24L@s4@"), DialogMetrics{}).empty());
}

}  // namespace
}  // namespace vaultrix::windows
