// The field parser: quoting, doubled quotes, line ends, line breaks inside
// quoted fields, the byte order mark, blank rests, the field size limit, the
// picture conversion once per field, and the round trip of built lines.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/transfer/csv_line.h"
#include "app/transfer/csv_reader.h"
#include "app/transfer/pictures.h"

namespace vaultrix::app {
namespace {

// Each line's fields, a quoted one written "\"value", an unquoted one "=value".
using Lines = std::vector<std::vector<std::string>>;

Lines ReadAll(CsvReader& reader, std::size_t* bytes = nullptr) {
  Lines lines;
  std::size_t total = 0;
  while (const std::size_t taken = reader.NextLine()) {
    total += taken;
    lines.emplace_back();
    for (FieldKind kind = reader.NextField(); kind != FieldKind::kNone; kind = reader.NextField()) {
      lines.back().push_back((kind == FieldKind::kQuoted ? "\"" : "=") + reader.Field());
    }
  }
  if (bytes != nullptr) *bytes = total;
  return lines;
}

struct ParseCase {
  const char* what;
  std::string text;
  Lines lines;
};

TEST(CsvReader, ReadsLinesAndFields) {
  const std::string e_acute = "\xC3\xA9";
  std::string long_accents;
  for (int i = 0; i < 1001; ++i) long_accents += e_acute;
  const ParseCase cases[] = {
      {"CR LF line ends", "\"a\",\"b\"\r\n\"c\",d\r\n", {{"\"a", "\"b"}, {"\"c", "=d"}}},
      {"LF line ends alike", "\"a\",\"b\"\n\"c\",d\n", {{"\"a", "\"b"}, {"\"c", "=d"}}},
      {"no line end at the end", "x", {{"=x"}}},
      {"the byte order mark dropped", "\xEF\xBB\xBFx,y", {{"=x", "=y"}}},
      {"a comma inside quotes", "\"a,b\",c", {{"\"a,b", "=c"}}},
      {"doubled quotes", "\"say \"\"hi\"\"\",x", {{"\"say \"hi\"", "=x"}}},
      {"an empty quoted field", "\"\",\"\"\"\"", {{"\"", "\"\""}}},
      {"a quoted field over three lines",
       "\"one\r\ntwo\nthree\",x\r\nnext",
       {{"\"one\ntwo\nthree", "=x"}, {"=next"}}},
      {"a quote that never closes runs to the end", "a,\"open\nstill\n", {{"=a", "\"open\nstill"}}},
      {"an empty column", "a,,c", {{"=a", "=", "=c"}}},
      {"a blank rest holds no field", "a,b,   ", {{"=a", "=b"}}},
      {"blanks inside unquoted fields; the last loses its trailing ones",
       "  a  ,b  \r\n",
       {{"=  a  ", "=b"}}},
      {"what follows a closing quote is passed over", "\"a\"x,b", {{"\"a", "=", "=b"}}},
      {"a quote inside an unquoted field is text", "a\"b,c", {{"=a\"b", "=c"}}},
      {"a blank line in between", "a\n\nb", {{"=a"}, {}, {"=b"}}},
      {"a blank-led quote is unquoted text", " \"a\"", {{"= \"a\""}}},
      {"fields cut at 2,000 bytes on a character boundary",
       long_accents + "," + std::string(1999, 'a') + e_acute,
       {{"=" + long_accents.substr(0, 2000), "=" + std::string(1999, 'a')}}},
  };
  for (const ParseCase& c : cases) {
    CsvReader reader(c.text);
    std::size_t bytes = 0;
    EXPECT_EQ(ReadAll(reader, &bytes), c.lines) << c.what;
    EXPECT_EQ(bytes + (c.text.starts_with("\xEF\xBB\xBF") ? 3 : 0), c.text.size()) << c.what;
    EXPECT_EQ(reader.BytesRead(), c.text.size()) << c.what;
    reader.Rewind();
    EXPECT_EQ(ReadAll(reader), c.lines) << c.what << ", read again";
  }
}

TEST(CsvReader, APictureConvertsTheFieldOnce) {
  // Day 10199 shows as a date in 1828; its digits read as a date again
  // would be 19 October 2009.
  const std::string shown = FormatForExport("10199", "@d2");
  const std::string text = "\"" + shown + "\",\"" + shown + "\"";
  CsvReader reader(text);
  ASSERT_GT(reader.NextLine(), 0u);
  ASSERT_EQ(reader.NextField(), FieldKind::kQuoted);
  const std::string once = reader.FieldByPicture("@d2");
  EXPECT_EQ(once, "10199");
  ASSERT_NE(ReadDisplayForm(once, "@d2"), once) << "a second conversion would change it";
  EXPECT_EQ(reader.FieldByPicture("@d2"), once) << "a second target takes the same value";
  ASSERT_EQ(reader.NextField(), FieldKind::kQuoted);
  EXPECT_EQ(reader.FieldByPicture("@s30"), shown) << "string pictures take the text";
}

TEST(CsvReader, TargetsTakeValuesCutAtACharacterBoundary) {
  char target[4];
  AssignField(target, "ab\xC3\xA9");
  EXPECT_EQ(std::string(target, 4), "ab\xC3\xA9");
  AssignField(target, "abc\xC3\xA9");
  EXPECT_EQ(std::string(target, 4), "abc ");
  AssignField(target, "a");
  EXPECT_EQ(std::string(target, 4), "a   ");
}

// Lines built from values with every printable character, commas, quotes,
// line breaks and UTF-8 read back field for field.
TEST(CsvReader, BuiltLinesReadBackWhole) {
  std::mt19937 random(19);
  std::string alphabet = "\n,\"\xC3\xA9\xE2\x82\xAC";
  for (char c = ' '; c <= '~'; ++c) alphabet += c;
  auto value = [&] {
    std::string v;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) v += alphabet[random() % alphabet.size()];
    // Export cuts trailing blanks; a value never ends in one.
    while (!v.empty() && v.back() == ' ') v.pop_back();
    return v;
  };
  std::string file;
  Lines expected;
  for (int line = 0; line < 300; ++line) {
    LineBuilder builder;
    expected.emplace_back();
    for (int field = 0; field < 4; ++field) {
      const std::string v = value();
      builder.Add(v, "@s90");
      expected.back().push_back("\"" + v);
    }
    file += std::string(builder.Text()) + "\r\n";
  }
  CsvReader reader(file);
  EXPECT_EQ(ReadAll(reader), expected);
}

}  // namespace
}  // namespace vaultrix::app
