// The compiled picture record: kind codes and flags, widths, pivots, the exact template of the
// date layouts, and the texts that must not compile.
#include <gtest/gtest.h>

#include <string>

#include "runtime/windows/picture.h"
#include "tests/windows/picture_test_support.h"

namespace vaultrix::windows {
namespace {

using testing::Compiled;

TEST(PictureCompile, KindCodeFlagsAndWidth) {
  Picture string_picture = Compiled("@s20");
  EXPECT_EQ(string_picture.kind_flags & kPictureKindMask, 5);
  EXPECT_EQ(string_picture.width, 20);
  EXPECT_EQ(Compiled("@D1").kind_flags & kPictureKindMask, 2);
  EXPECT_EQ(Compiled("@k###k").kind_flags & kPictureKindMask, 6);

  Picture blank = Compiled("@n9_.2B");
  EXPECT_EQ(blank.kind(), PictureKind::kNumber);
  EXPECT_TRUE(blank.blank_when_zero());
  EXPECT_EQ(blank.kind_flags & 0x80, 0x80);
  EXPECT_EQ(blank.width, 9);
  EXPECT_FALSE(Compiled("@n9_.2").blank_when_zero());
  // Without the "@" and in lower case the picture is the same.
  EXPECT_EQ(Compiled("s30").width, 30);
  EXPECT_EQ(Compiled("@S30").width, 30);
}

TEST(PictureCompile, DateLayoutOneIsTheDocumentedTemplate) {
  Picture picture = Compiled("@D1");
  const TemplatePair expected[] = {
      {' ', token::kMonthDigit}, {'0', token::kMonthDigit}, {'/', token::kSeparator},
      {'0', token::kDayDigit},   {'0', token::kDayDigit},   {'/', token::kSeparator},
      {'0', token::kYearDigit},  {'0', token::kYearDigit},
  };
  ASSERT_EQ(picture.length, 8);
  EXPECT_EQ(picture.width, 8);
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(picture.pairs[i], expected[i]) << "pair " << i;
  // The tokens keep their documented numbers.
  EXPECT_EQ(token::kMonthDigit, 7);
  EXPECT_EQ(token::kDayDigit, 8);
  EXPECT_EQ(token::kYearDigit, 9);
  EXPECT_EQ(token::kSeparator, 0x13);

  Picture dotted = Compiled("@D1.");
  EXPECT_EQ(dotted.pairs[2], (TemplatePair{'.', token::kSeparator}));
  EXPECT_EQ(dotted.pairs[5], (TemplatePair{'.', token::kSeparator}));
  EXPECT_EQ(Compiled("@D2").width, 10);
  EXPECT_EQ(Compiled("@D4").width, 18);
  EXPECT_EQ(Compiled("@D1`").pairs[2].fill, ',');
  EXPECT_EQ(Compiled("@D1_").pairs[2].fill, ' ');
}

TEST(PictureCompile, YearWindowPivot) {
  EXPECT_EQ(Compiled("@D6<50").pivot, 50);
  EXPECT_EQ(Compiled("@D6>10").pivot, 89);
  EXPECT_EQ(Compiled("@D6").pivot, 80);
  EXPECT_EQ(Compiled("@D6<0").pivot, 80);
  EXPECT_EQ(Compiled("@D6>0").pivot, 80);
  Picture with_separator = Compiled("@D6<50-B");
  EXPECT_EQ(with_separator.pivot, 50);
  EXPECT_EQ(with_separator.pairs[2].fill, '-');
  EXPECT_TRUE(with_separator.blank_when_zero());
}

TEST(PictureCompile, NumberTemplateHasGroupingAndDecimalPlaces) {
  Picture picture = Compiled("@n9.2");
  std::string fills;
  std::string tokens;
  for (std::size_t i = 0; i < picture.length; ++i) {
    fills += picture.pairs[i].fill;
    tokens += static_cast<char>('0' + picture.pairs[i].token);
  }
  EXPECT_EQ(fills, "  ,  0.00");
  EXPECT_EQ(tokens, "442443533");
  Picture no_grouping = Compiled("@n09.2");
  EXPECT_EQ(no_grouping.group_char, '\0');
  Picture comma_decimal = Compiled("@n9`2");
  EXPECT_EQ(comma_decimal.decimal_char, ',');
  EXPECT_EQ(comma_decimal.group_char, '.');
  Picture space_group = Compiled("@n12_.2");
  EXPECT_EQ(space_group.group_char, ' ');
  EXPECT_EQ(space_group.decimal_char, '.');
  EXPECT_EQ(Compiled("@N30.9").places, 9);
  EXPECT_EQ(Compiled("@n8v2").decimal_char, '\0');
  EXPECT_EQ(Compiled("@n(10.2)").width, 10);
  EXPECT_EQ(Compiled("@n12.2~ EUR~").width, 12);
}

TEST(PictureCompile, PicturesTheApplicationUses) {
  for (const char* text : {"@s30", "@s90", "@s255", "@N30.9", "n-13", "n4", "n5", "N3", "N_10",
                           "d4", "t3", "T3", "D4", "pPage <<<#p"}) {
    Picture picture;
    EXPECT_TRUE(CompilePicture(text, picture)) << text;
    EXPECT_NE(picture.kind(), PictureKind::kNone) << text;
  }
  EXPECT_EQ(Compiled("pPage <<<#p").width, 9);
  EXPECT_EQ(Compiled("n-13").width, 13);
  EXPECT_EQ(Compiled("t3").width, 7);
}

TEST(PictureCompile, InvalidTextsDoNotCompile) {
  // 256 characters after the "@", every one of them valid in its place.
  const std::string too_long = "@p" + std::string(254, 'x') + "p";
  const std::string too_long_mask = "@k" + std::string(254, '#') + "k";
  for (const std::string& text : {std::string(""),
                                  std::string("@"),
                                  std::string("@s0"),
                                  std::string("@s256"),
                                  too_long,
                                  too_long_mask,
                                  std::string("@n(9.2"),
                                  std::string("@n-9.2-"),
                                  std::string("@n--9"),
                                  std::string("@n$9.2$"),
                                  std::string("@n~EUR9.2"),
                                  std::string("@n~~9"),
                                  std::string("@n9.2x"),
                                  std::string("@n"),
                                  std::string("@n0"),
                                  std::string("@n3.2"),
                                  std::string("@n9..2"),
                                  std::string("@sb"),
                                  std::string("@x9"),
                                  std::string("@e6"),
                                  std::string("@e7.1"),
                                  std::string("@d0"),
                                  std::string("@d21"),
                                  std::string("@d1/"),
                                  std::string("@d6<100"),
                                  std::string("@t0"),
                                  std::string("@t9"),
                                  std::string("@t1/"),
                                  std::string("@p###"),
                                  std::string("@pp"),
                                  std::string("@k##"),
                                  std::string("@k#\\k"),
                                  std::string("@k|k"),
                                  std::string("@s20x")}) {
    Picture picture;
    EXPECT_FALSE(CompilePicture(text, picture)) << "\"" << text << "\"";
    EXPECT_EQ(picture.kind(), PictureKind::kNone) << text;
    EXPECT_EQ(picture.width, 0) << text;
  }
  // The longest texts still compile.
  Picture picture;
  EXPECT_TRUE(CompilePicture("@k" + std::string(253, '#') + "k", picture));
  EXPECT_EQ(picture.width, 253);
  EXPECT_TRUE(CompilePicture("p" + std::string(253, 'x') + "p", picture));
  EXPECT_TRUE(CompilePicture("@n255", picture));
  EXPECT_TRUE(CompilePicture("@e7", picture));
}

TEST(PictureCompile, KeyInMaskTokens) {
  Picture picture = Compiled("@k#<@^_?|\\#-k");
  const TemplatePair expected[] = {
      {' ', token::kDigitZeroFill}, {' ', token::kDigitBlankFill}, {' ', token::kLetter},
      {' ', token::kUpperLetter},   {' ', token::kLowerLetter},    {' ', token::kAnyCharacter},
      {'|', token::kKeyInMarker},   {'#', token::kLiteral},        {'-', token::kLiteral},
  };
  ASSERT_EQ(picture.length, 9);
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(picture.pairs[i], expected[i]) << "pair " << i;
  EXPECT_EQ(picture.width, 8);  // the marker takes no place
}

}  // namespace
}  // namespace vaultrix::windows
