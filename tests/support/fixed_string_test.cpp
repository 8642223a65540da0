// Fixed-length text fields: clipping, cutting and padding, blank-padded
// comparison (plain and collated).
#include "runtime/support/fixed_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vaultrix::support {
namespace {

TEST(FixedString, ClipRemovesOnlyTrailingBlanks) {
  EXPECT_EQ(CLIP("abc   "), "abc");
  EXPECT_EQ(CLIP("  a b  "), "  a b");
  EXPECT_EQ(CLIP("      "), "");
  EXPECT_EQ(CLIP(""), "");
  EXPECT_EQ(CLIP("abc\t "), "abc\t") << "only blanks are padding";
  EXPECT_TRUE(IsBlank("        "));
  EXPECT_FALSE(IsBlank("       x"));
}

TEST(FixedString, ClipFindsTheLastCharacterAtEveryPosition) {
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t last = 0; last < length; ++last) {
      std::string text(length, ' ');
      text[last] = 'x';
      ASSERT_EQ(ClippedLength(text), last + 1) << length << " " << last;
    }
    ASSERT_EQ(ClippedLength(std::string(length, ' ')), 0U);
  }
}

TEST(FixedString, AssignmentCutsOrPads) {
  std::string field(5, '#');
  AssignFixed(field, "ab");
  EXPECT_EQ(field, "ab   ");
  AssignFixed(field, "abcdefgh");
  EXPECT_EQ(field, "abcde");
  AssignFixed(field, "");
  EXPECT_EQ(field, "     ");
  field = "hello";
  AssignFixed(std::span<char>(field.data(), 5), std::string_view(field).substr(2));
  EXPECT_EQ(field, "llo  ") << "a value taken from the field itself";
  BlankFixed(field);
  EXPECT_EQ(field, "     ");
}

TEST(FixedString, BlankPaddedComparisonIgnoresTrailingBlanks) {
  EXPECT_EQ(CompareBlankPadded("abc", "abc   "), 0);
  EXPECT_EQ(CompareBlankPadded("", "    "), 0);
  EXPECT_LT(CompareBlankPadded("abc", "abcd"), 0);
  EXPECT_GT(CompareBlankPadded("abcd", "abc  "), 0);
  EXPECT_LT(CompareBlankPadded("ab", "abc"), 0);
  EXPECT_GT(CompareBlankPadded("abc", "abc\t"), 0) << "a tab sorts below the padding blank";
  EXPECT_LT(CompareBlankPadded("z", "\xE9"), 0) << "bytes compare unsigned";
  EXPECT_LT(CompareBlankPadded("Not Required", "not required"), 0) << "letter case counts";
}

TEST(FixedString, EqualityAgreesWithComparison) {
  const std::vector<std::string> texts{
      "",    " ",         "a", "a ",           "a  \t",
      "a\t", "ab",        "b", "Not Required", "Not Required          ",
      "A",   "a        x"};
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      EXPECT_EQ(EqualBlankPadded(a, b), CompareBlankPadded(a, b) == 0) << '"' << a << "\" \"" << b;
      EXPECT_EQ(CompareBlankPadded(a, b), -CompareBlankPadded(b, a));
    }
  }
}

TEST(FixedString, CollatedComparisonUsesTheWeights) {
  CollationTable folded{};
  for (int i = 0; i < 256; ++i) folded[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  for (int c = 'a'; c <= 'z'; ++c)
    folded[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 32);
  EXPECT_EQ(CompareBlankPadded("abc", "ABC  ", folded), 0);
  EXPECT_LT(CompareBlankPadded("abc", "ABD", folded), 0);
  EXPECT_GT(CompareBlankPadded("abc", "ab", folded), 0);
}

TEST(FixedString, ValueTypeHoldsExactlyItsLength) {
  FixedString<5> text;
  EXPECT_TRUE(text.IsBlank());
  EXPECT_EQ(text.View(), "     ");
  text = "abcdefg";
  EXPECT_EQ(text.View(), "abcde");
  text = "ab";
  EXPECT_EQ(text.View(), "ab   ");
  EXPECT_EQ(text.Clipped(), "ab");
  EXPECT_TRUE(text == "ab");
  EXPECT_TRUE(text == FixedString<9>("ab"));
  EXPECT_FALSE(text == "abc");
  EXPECT_LT(Compare(text, "abc"), 0);
}

}  // namespace
}  // namespace vaultrix::support
