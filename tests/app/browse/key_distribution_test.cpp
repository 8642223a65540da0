// The key distribution: the alphabet each set of flags gives, the spread of
// two values that share a prefix, and the thumb position of a value.
#include <gtest/gtest.h>

#include "app/browse/key_distribution.h"

namespace vaultrix::app {
namespace {

TEST(KeyDistribution, AlphabetsOfTheCharacterTypeFlags) {
  const struct {
    unsigned flags;
    std::size_t size;
    std::string_view starts;
  } cases[] = {
      {kAlphabetLetters, 26, "ABC"},
      {kAlphabetDigits, 10, "012"},
      {kAlphabetPunctuation, 30, " !\""},
      {kAlphabetLetters | kAlphabetLowerCase, 52, "ABC"},
      {kAlphabetLowerCase, 0, ""},  // lower case only counts with letters
      {kAlphabetDigits | kAlphabetLetters, 36, "012"},
  };
  for (const auto& c : cases) {
    const std::string alphabet = DistributionAlphabet(c.flags);
    EXPECT_EQ(alphabet.size(), c.size) << c.flags;
    EXPECT_TRUE(alphabet.starts_with(c.starts)) << c.flags;
  }
  EXPECT_NE(DistributionAlphabet(kAlphabetPunctuation).find('\xA3'), std::string::npos);
}

TEST(KeyDistribution, TwoValuesSharingAPrefixSpreadOverTheFourCharactersAfterIt) {
  const auto entries = BuildKeyDistribution("smith", "Smythe", 30, kAlphabetLetters);
  ASSERT_EQ(entries.size(), 100u);
  EXPECT_EQ(entries.front(), "SMITH") << "the low part: the four characters after \"SM\"";
  EXPECT_EQ(entries.back(), "SMYTHE");
  for (std::size_t i = 1; i < entries.size(); ++i) {
    EXPECT_TRUE(entries[i].starts_with("SM")) << entries[i];
    EXPECT_LE(entries[i - 1], entries[i]) << i;
  }
  EXPECT_GT(entries[50], "SMP") << "the middle lies between I and Y";
  EXPECT_LT(entries[50], "SMR");
  // A high value shorter than the field is padded with the last letter.
  EXPECT_EQ(BuildKeyDistribution("A", "B", 3, kAlphabetLetters).back(), "BZZ");
  // Equal values: every entry is the value.
  const auto same = BuildKeyDistribution("MAIL", "MAIL", 4, kAlphabetLetters);
  EXPECT_EQ(same.front(), "MAIL");
  EXPECT_EQ(same[42], "MAIL");
}

TEST(KeyDistribution, ThumbPositions) {
  const auto entries = BuildKeyDistribution("AA", "ZZ", 2, kAlphabetLetters);
  EXPECT_EQ(ThumbPosition(entries, "aa"), 0);
  EXPECT_EQ(ThumbPosition(entries, "zz"), 100);
  EXPECT_EQ(ThumbPosition(entries, "~"), 100) << "past every entry";
  const int middle = ThumbPosition(entries, "mm");
  EXPECT_GT(middle, 40);
  EXPECT_LT(middle, 60);
}

}  // namespace
}  // namespace vaultrix::app
