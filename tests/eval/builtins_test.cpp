// The built-in functions, with their edge values, and the conversions
// between the three result types.
#include "tests/eval/eval_test_support.h"

#include <cmath>

#include "platform/clock.h"
#include "runtime/eval/picture_hooks.h"
#include "runtime/support/dates.h"

namespace vaultrix::eval {
namespace {

using BuiltinsTest = EvalTest;

TEST_F(BuiltinsTest, StringFunctions) {
  EXPECT_EQ(Text("SUB('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(Text("SUB('abcdef', -2, 2)"), "ef");
  EXPECT_EQ(Text("SUB('abc', 5, 2)"), "");
  EXPECT_EQ(Text("SUB('abc', 2, -1)"), "");
  EXPECT_EQ(Text("CLIP('ab  ') & '|'"), "ab|");
  EXPECT_EQ(Text("ALL('ab', 5)"), "ababa");
  EXPECT_EQ(Text("ALL('', 5)"), "");
  EXPECT_EQ(Long("LEN(ALL('x', 2000000000))"), 65535);
  EXPECT_EQ(Text("CENTER('ab', 6) & '|'"), "  ab  |");
  EXPECT_EQ(Text("CENTER('abcdef', 3)"), "abc");
  EXPECT_EQ(Text("CHR(65) & CHR(321)"), "AA");
  EXPECT_EQ(Text("LEFT('  ab', 4) & '|'"), "ab  |");
  EXPECT_EQ(Text("RIGHT('ab  ') & '|'"), "  ab|");
  EXPECT_EQ(Text("UPPER('aBc1') & LOWER('XyZ')"), "ABC1xyz");
  EXPECT_EQ(Long("LEN('abc ')"), 4);
  EXPECT_EQ(Long("VAL('A')"), 65);
  EXPECT_EQ(Long("VAL('')"), 0);
  EXPECT_EQ(Long("NUMERIC(' -12.5 ')"), 1);
  EXPECT_EQ(Long("NUMERIC('12a')"), 0);
  EXPECT_EQ(Long("NUMERIC('')"), 0);
}

TEST_F(BuiltinsTest, InstringStepsAndStarts) {
  EXPECT_EQ(Long("INSTRING('cd', 'abcdef')"), 3);
  EXPECT_EQ(Long("INSTRING('cd', 'abcdef', 1, 4)"), 0);
  EXPECT_EQ(Long("INSTRING('cd', 'abcdcd', 1, 4)"), 5);
  EXPECT_EQ(Long("INSTRING('cd', 'abcdef', 2, 1)"), 2);  // the second step of two
  EXPECT_EQ(Long("INSTRING('', 'abc')"), 0);
  EXPECT_EQ(Long("INSTRING('abcd', 'abc')"), 0);
}

TEST_F(BuiltinsTest, ChooseAndInlist) {
  EXPECT_EQ(Text("CHOOSE(2, 'a', 'b', 'c')"), "b");
  EXPECT_EQ(Text("CHOOSE(9, 'a', 'b', 'c')"), "c");
  EXPECT_EQ(Text("CHOOSE(1 > 2, 'yes', 'no')"), "no");
  EXPECT_EQ(Text("CHOOSE(1 < 2, 'yes', 'no')"), "yes");
  EXPECT_EQ(Long("INLIST('b', 'a', 'b ', 'c')"), 2);
  EXPECT_EQ(Long("INLIST('z', 'a', 'b')"), 0);
}

TEST_F(BuiltinsTest, Arithmetic) {
  EXPECT_DOUBLE_EQ(Real("ABS(-2.5)"), 2.5);
  EXPECT_EQ(Long("INT(-2.7)"), -2);
  EXPECT_EQ(Long("INT(1.0e30)"), 2147483647);
  EXPECT_DOUBLE_EQ(Real("ROUND(2.345, .01)"), 2.35);
  EXPECT_DOUBLE_EQ(Real("ROUND(-2.5, 1)"), -3);
  EXPECT_DOUBLE_EQ(Real("ROUND(17, 5)"), 15);
  EXPECT_DOUBLE_EQ(Real("SQRT(16)"), 4);
  EXPECT_DOUBLE_EQ(Real("SQRT(-1)"), 0);
  EXPECT_DOUBLE_EQ(Real("LOGE(0)"), 0);
  EXPECT_DOUBLE_EQ(Real("LOG10(1000)"), 3);
  EXPECT_DOUBLE_EQ(Real("ASIN(2)"), 0);
  EXPECT_NEAR(Real("ATAN(1) * 4"), M_PI, 1e-12);
  EXPECT_DOUBLE_EQ(Real("1 / 0"), 0);
  EXPECT_DOUBLE_EQ(Real("5 % 0"), 0);
  EXPECT_EQ(Long("INRANGE(5, 1, 5)"), 1);
  EXPECT_EQ(Long("INRANGE(5.5, 1, 5)"), 0);
  EXPECT_EQ(Long("BAND(12, 10)"), 8);
  EXPECT_EQ(Long("BOR(12, 10)"), 14);
  EXPECT_EQ(Long("BXOR(12, 10)"), 6);
  EXPECT_EQ(Long("BSHIFT(1, 4)"), 16);
  EXPECT_EQ(Long("BSHIFT(256, -4)"), 16);
  EXPECT_EQ(Long("BSHIFT(1, 40)"), 0);
  const std::int32_t r = Long("RANDOM(5, 7)");
  EXPECT_GE(r, 5);
  EXPECT_LE(r, 7);
}

TEST_F(BuiltinsTest, ConversionsBetweenTypes) {
  EXPECT_EQ(Text("1 + 2"), "3");
  EXPECT_EQ(Text("1 / 4"), "0.25");
  EXPECT_EQ(Text("-0 * 1"), "0");
  EXPECT_DOUBLE_EQ(Real("'12abc' + 1"), 13);
  EXPECT_DOUBLE_EQ(Real("'abc' + 1"), 1);
  EXPECT_DOUBLE_EQ(Real("' 1.5e1' * 2"), 30);
  EXPECT_EQ(Long("'7' & '5'"), 75);
  EXPECT_TRUE(Truth("'a'"));
  EXPECT_FALSE(Truth("'   '"));
  EXPECT_FALSE(Truth("0.0"));
  EXPECT_TRUE(Truth("0.1"));
}

TEST_F(BuiltinsTest, DatesOnThePlatformClock) {
  platform::SimulatedClock clock({.year = 2026, .month = 12, .day = 7, .hour = 12});
  platform::ScopedCurrentClock installed(clock);
  EXPECT_EQ(Long("TODAY()"), support::CivilToDate(2026, 12, 7));
  EXPECT_EQ(Long("CLOCK()"), 12 * 360000 + 1);
  EXPECT_EQ(Long("DATE(2, 29, 2024)"), support::CivilToDate(2024, 2, 29));
  EXPECT_EQ(Long("DATE(13, 1, 2000)"), support::CivilToDate(2001, 1, 1));
  EXPECT_EQ(Long("DATE(1, 1, 26)"), support::CivilToDate(2026, 1, 1));
  EXPECT_EQ(Long("YEAR(TODAY()) * 10000 + MONTH(TODAY()) * 100 + DAY(TODAY())"), 20261207);
  EXPECT_EQ(Long("DAY(-5)"), -1);
  EXPECT_EQ(Text("AGE(TODAY() - 10)"), "10 DAYS");
  EXPECT_EQ(Text("AGE(TODAY() - 70)"), "10 WKS");
  EXPECT_EQ(Text("AGE(DATE(1, 7, 2026))"), "11 MOS");
  EXPECT_EQ(Text("AGE(DATE(12, 8, 1990))"), "35 YRS");
  EXPECT_EQ(Text("AGE(TODAY() + 1)"), "");
}

TEST_F(BuiltinsTest, FormatUsesTheInstalledPictureFunctions) {
  EXPECT_EQ(Text("FORMAT(12.5, @n8.2)"), "12.5");
  EXPECT_EQ(Text("DEFORMAT('1,234', @n8)"), "1,234");
  InstallPictureFunctions(
      [](const FormatArgument& value, std::string_view picture) {
        return std::string(picture) + (value.is_string ? ":s:" : ":n:") + std::string(value.text);
      },
      [](std::string_view text, std::string_view picture) {
        return std::string(picture) + "<" + std::string(text);
      });
  EXPECT_EQ(Text("FORMAT(12.5, @n8.2)"), "@n8.2:n:12.5");
  EXPECT_EQ(Text("FORMAT('x', @s3)"), "@s3:s:x");
  EXPECT_EQ(Text("DEFORMAT('1,234', @n8)"), "@n8<1,234");
  InstallPictureFunctions(nullptr, nullptr);
}

}  // namespace
}  // namespace vaultrix::eval
