// The export line: quoting, doubled quotes, bare numbers, header names,
// formatted fields and the line's length limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/transfer/csv_line.h"
#include "app/transfer/pictures.h"

namespace vaultrix::app {
namespace {

struct Field {
  std::string value;
  std::string picture;
  bool header = false;
};

struct LineCase {
  const char* what;
  std::vector<Field> fields;
  std::string line;
};

TEST(LineBuilder, BuildsEachKindOfField) {
  const LineCase cases[] = {
      {"two strings: quoted, trailing blanks cut, one comma",
       {{"Gmail    ", "@s30"}, {"pw  x  ", "@s30"}},
       R"("Gmail","pw  x")"},
      {"leading blanks stay", {{"  a", "@S5"}}, R"("  a")"},
      {"a blank value", {{"     ", "@s5"}}, R"("")"},
      {"quotes doubled", {{R"(say "hi")", "@s30"}}, R"("say ""hi""")"},
      {"a comma inside quotes", {{"a,b", "@s30"}}, R"("a,b")"},
      {"numbers bare", {{"  42   ", "@n10"}, {"-3.5", "@N8.2"}}, "42,-3.5"},
      {"a numeric picture on text that would split the line",
       {{"a,b", "@n5"}, {"x", "@s1"}},
       R"("a,b","x")"},
      {"an empty first number still takes its place", {{"   ", "@n5"}, {"x", "@s1"}}, R"(,"x")"},
      {"header names of arrays", {{"P_:Notes[2,3]", "@s50", true}}, R"("P_:Notes_2_3")"},
      {"header names without brackets keep commas", {{"a,b", "@s50", true}}, R"("a,b")"},
      {"brackets stay in values", {{"P_:Notes[2]", "@s50"}}, R"("P_:Notes[2]")"},
      {"formatted through the picture", {{"12346", "@e12.3"}}, R"("   1.235e+04")"},
      {"formatted text that is no number shows zero", {{"abc", "@e12.3"}}, R"("   0.000e+00")"},
  };
  for (const LineCase& c : cases) {
    LineBuilder line;
    for (const Field& f : c.fields) line.Add(f.value, f.picture, f.header);
    EXPECT_EQ(line.Text(), c.line) << c.what;
    EXPECT_EQ(line.FieldCount(), c.fields.size()) << c.what;
    line.Clear();
    EXPECT_EQ(line.Text(), "");
  }
}

TEST(LineBuilder, TheLineEndsAtItsLimitOnACharacterBoundary) {
  LineBuilder line;
  line.Add(std::string(7998, 'a') + "\xC3\xA9", "@s9000");  // "é" would end at 8,001
  EXPECT_EQ(line.Text(), "\"" + std::string(7998, 'a'));
  line.Add("b", "@s1");
  EXPECT_EQ(line.Text().size(), 8000u);
}

TEST(TransferPictures, KindsAndDisplayFormsReadBack) {
  EXPECT_EQ(KindOfPicture("@s30"), TransferKind::kString);
  EXPECT_EQ(KindOfPicture("@N30.9"), TransferKind::kNumeric);
  EXPECT_EQ(KindOfPicture("@d2"), TransferKind::kFormatted);
  EXPECT_EQ(KindOfPicture("@"), TransferKind::kFormatted);
  // What export formats, import reads back to the same value.
  for (const auto& [value, picture] : std::vector<std::pair<std::string, std::string>>{
           {"80000", "@d2"}, {"80000", "@d17"}, {"4500001", "@t4"}, {"-1234.5", "@e12.4"}}) {
    const std::string shown = FormatForExport(value, picture);
    EXPECT_NE(shown, value) << picture;
    EXPECT_EQ(ReadDisplayForm(shown, picture), value) << picture << " showed " << shown;
  }
  EXPECT_EQ(ReadDisplayForm("not a date", "@d2"), "not a date") << "nothing typed is lost";
  EXPECT_EQ(ReadDisplayForm("12", "@bad"), "12");
}

}  // namespace
}  // namespace vaultrix::app
