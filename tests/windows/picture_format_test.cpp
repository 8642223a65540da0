// FormatValue and DeformatValue on the documented examples and the choices the module makes:
// alignment, grouping, rounding, overflow, signs and currency, blank when zero, patterns and
// key-in masks.
#include <gtest/gtest.h>

#include <string>

#include "runtime/windows/picture.h"
#include "tests/windows/picture_test_support.h"

namespace vaultrix::windows {
namespace {

using testing::Compiled;
using testing::Dec;
using testing::Format;

PictureValue L(std::int64_t v) {
  return PictureValue::Long(v);
}
PictureValue R(double v) {
  return PictureValue::Real(v);
}
PictureValue D(std::string_view v) {
  return PictureValue::FromDecimal(Dec(v));
}

DeformattedValue Read(std::string_view text, std::string_view picture_text) {
  DeformattedValue value;
  EXPECT_TRUE(DeformatValue(text, Compiled(picture_text), value))
      << "\"" << text << "\" by " << picture_text;
  return value;
}

bool Refused(std::string_view text, std::string_view picture_text) {
  DeformattedValue value;
  return !DeformatValue(text, Compiled(picture_text), value);
}

TEST(PictureFormat, StringsAreCutOrPaddedToTheirWidth) {
  EXPECT_EQ(Format(PictureValue::Text("abc"), "@s20"), "abc" + std::string(17, ' '));
  EXPECT_EQ(Format(PictureValue::Text("abcdefgh"), "@s5"), "abcde");
  EXPECT_EQ(Format(L(-42), "@s5"), "-42  ");
  EXPECT_EQ(Format(D("12.50"), "@s6"), "12.50 ");
  EXPECT_EQ(Read("hello world", "@s5").text.str(), "hello");
  EXPECT_EQ(Read("hi", "@s30").type, ValueType::kText);
}

TEST(PictureFormat, NumberGroupingAndDecimalCharacters) {
  EXPECT_EQ(Format(D("1234.5"), "@n9.2"), " 1,234.50");
  EXPECT_EQ(Format(D("1234.5"), "@n09.2"), "001234.50");
  EXPECT_EQ(Format(D("1234.5"), "@n9`2"), " 1.234,50");
  EXPECT_EQ(Format(D("1234.5"), "@n12_.2"), "    1 234.50");
  EXPECT_EQ(Format(D("1234.5"), "@n_9.2"), "  1234.50");
  EXPECT_EQ(Format(L(1234567), "@n-13"), "    1,234,567");
  EXPECT_EQ(Format(L(-1234567), "@n-13"), "   -1,234,567");
  EXPECT_EQ(Format(L(12), "N3"), " 12");
  EXPECT_EQ(Format(L(1234567), "N_10"), "   1234567");
  // "@n4" is a grouping place and three digits: 999 is its largest number.
  EXPECT_EQ(Format(L(999), "n4"), " 999");
  EXPECT_EQ(Format(L(1000), "n4"), "####");
  EXPECT_EQ(Format(L(9999), "n5"), "9,999");
  EXPECT_EQ(Format(D("123456789012345.123456789"), "@N30.9"), " 123,456,789,012,345.123456789");
  EXPECT_EQ(Format(D("1250"), "@n8v2"), " 1,25000");
  EXPECT_EQ(Format(D("1250"), "@n_8v2"), "  125000");
}

TEST(PictureFormat, BlankWhenZero) {
  EXPECT_EQ(Format(L(0), "@n9_.2B"), std::string(9, ' '));
  EXPECT_EQ(Format(D("0.00"), "@n9_.2B"), std::string(9, ' '));
  EXPECT_EQ(Format(D("1234.5"), "@n9_.2B"), " 1 234.50");
  EXPECT_EQ(Format(L(0), "@n9_.2"), "     0.00");
  EXPECT_EQ(Format(L(0), "@D1B"), std::string(8, ' '));
  EXPECT_EQ(Format(L(0), "@T1B"), std::string(5, ' '));
  EXPECT_EQ(Format(L(0), "@p<<#pB"), "   ");
  EXPECT_EQ(Format(L(0), "@p<<#p"), "  0");
}

TEST(PictureFormat, RoundingIsHalfAwayFromZero) {
  EXPECT_EQ(Format(R(2.675), "@n9.2"), "     2.68");
  EXPECT_EQ(Format(R(-2.675), "@n-9.2"), "    -2.68");
  EXPECT_EQ(Format(R(0.125), "@n9.2"), "     0.13");
  EXPECT_EQ(Format(R(999.995), "@n9.2"), " 1,000.00");
  EXPECT_EQ(Format(D("-0.004"), "@n-9.2"), "     0.00");  // no minus on a shown zero
  EXPECT_EQ(Format(R(2.5), "@n5"), "    3");
  EXPECT_EQ(Format(R(-2.5), "@n-5"), "   -3");
  EXPECT_EQ(Format(R(1e-310), "@n9.2"), "     0.00");
}

TEST(PictureFormat, AnyValueTypeFormatsAsANumber) {
  EXPECT_EQ(Format(PictureValue::Text(" 1234.5 "), "@n9.2"), " 1,234.50");
  EXPECT_EQ(Format(PictureValue::Text("not a number"), "@n9.2"), "     0.00");
  EXPECT_EQ(Format(L(INT64_MIN), "@n_20"), "-9223372036854775808");
  EXPECT_EQ(Format(R(1e200), "@n_255"), std::string(54, ' ') + "1" + std::string(200, '0'));
  EXPECT_EQ(Format(R(-1.5e-7), "@n-12.8"), " -0.00000015");
  EXPECT_EQ(Format(R(123456.789), "@n_12.3"), "  123456.789");
  EXPECT_EQ(Format(R(1234.5), "@N30.9"), std::string(15, ' ') + "1,234.500000000");
}

TEST(PictureFormat, NumbersTooLargeShowHashes) {
  EXPECT_EQ(Format(D("123.456"), "@n5.2"), "#####");
  EXPECT_EQ(Format(D("99.994"), "@n5.2"), "99.99");
  EXPECT_EQ(Format(D("99.995"), "@n5.2"), "#####");
  EXPECT_EQ(Format(R(1e300), "@n20"), std::string(20, '#'));
  EXPECT_EQ(Format(R(std::numeric_limits<double>::infinity()), "@n9.2"), "#########");
  EXPECT_EQ(Format(R(std::numeric_limits<double>::quiet_NaN()), "@n9.2"), "#########");
  // A negative number needs a place for its minus.
  EXPECT_EQ(Format(L(-999), "N3"), "###");
  EXPECT_EQ(Format(L(-99), "N3"), "-99");
}

TEST(PictureFormat, SignsAndCurrency) {
  EXPECT_EQ(Format(D("-1234.5"), "@n(10.2)"), "(1,234.50)");
  EXPECT_EQ(Format(D("1234.5"), "@n(10.2)"), " 1,234.50 ");
  EXPECT_EQ(Format(D("-1234.5"), "@n9.2-"), "1,234.50-");
  EXPECT_EQ(Format(D("1234.5"), "@n9.2-"), "1,234.50 ");
  EXPECT_EQ(Format(D("1234.5"), "@n$10.2"), " $1,234.50");
  EXPECT_EQ(Format(D("1234.5"), "@n$9.2"), "$1,234.50");
  EXPECT_EQ(Format(D("-12.5"), "@n$-10.2"), "   $-12.50");
  EXPECT_EQ(Format(D("12.5"), "@n$10.2"), "    $12.50");
  EXPECT_EQ(Format(D("1234.5"), "@n12.2~ EUR~"), "1,234.50 EUR");
  EXPECT_EQ(Format(D("12.5"), "@n*9.2"), "****12.50");
  EXPECT_EQ(Format(L(-12), "@n07"), "-000012");
  EXPECT_EQ(Format(L(-12), "@n-07"), "-000012");
  EXPECT_EQ(Format(L(12), "@n-07"), " 000012");
  EXPECT_EQ(Format(L(-1234567), "@n07"), "#######");
}

TEST(PictureFormat, ScientificNumbers) {
  EXPECT_EQ(Format(R(12345.678), "@e12.3"), "   1.235e+04");
  EXPECT_EQ(Format(R(-0.00012), "@e12`2"), "   -1,20e-04");
  EXPECT_EQ(Format(R(1e300), "@e7"), " 1e+300");
  DeformattedValue value = Read("  -1,20e-04", "@e12`2");
  EXPECT_EQ(value.type, ValueType::kReal);
  EXPECT_DOUBLE_EQ(value.real_value, -0.00012);
  EXPECT_TRUE(Refused("1.2x", "@e12.2"));
}

TEST(PictureDeformat, NumbersReadSignsGroupingAndCurrency) {
  DeformattedValue value = Read(" 1,234.50", "@n9.2");
  EXPECT_EQ(value.type, ValueType::kDecimal);
  EXPECT_EQ(value.decimal_value, Dec("1234.5"));
  EXPECT_EQ(Read("-1,234.5", "@n-9.2").decimal_value, Dec("-1234.5"));
  EXPECT_EQ(Read("(1,234.50)", "@n(10.2)").decimal_value, Dec("-1234.5"));
  EXPECT_EQ(Read("1,234.50-", "@n9.2-").decimal_value, Dec("-1234.5"));
  EXPECT_EQ(Read(" $1,234.50", "@n$10.2").decimal_value, Dec("1234.5"));
  EXPECT_EQ(Read("1,234.50 EUR", "@n12.2~ EUR~").decimal_value, Dec("1234.5"));
  EXPECT_EQ(Read("1.234,56", "@n9`2").decimal_value, Dec("1234.56"));
  EXPECT_EQ(Read("1 234.56", "@n12_.2").decimal_value, Dec("1234.56"));
  EXPECT_EQ(Read("1.235", "@n9.2").decimal_value, Dec("1.24"));
  EXPECT_EQ(Read("1250", "@n8v2").decimal_value, Dec("12.50"));
  EXPECT_EQ(Read("5", "@n8v2").decimal_value, Dec("0.05"));
  DeformattedValue whole = Read("1,234", "@n9");
  EXPECT_EQ(whole.type, ValueType::kLong);
  EXPECT_EQ(whole.long_value, 1234);
  EXPECT_EQ(Read("     ", "@n9").long_value, 0);
  EXPECT_EQ(Read("****12.50", "@n*9.2").decimal_value, Dec("12.5"));
  EXPECT_EQ(Read("$***12.50", "@n$*9.2").decimal_value, Dec("12.5"));
  EXPECT_EQ(Format(D("12.5"), "@n$*9.2"), "$***12.50");
  EXPECT_TRUE(Refused("12a", "@n9.2"));
  EXPECT_TRUE(Refused("1.2.3", "@n9.2"));
  EXPECT_TRUE(Refused("--1", "@n-9.2"));
  EXPECT_TRUE(Refused("-", "@n-9.2"));
}

TEST(PictureFormat, Patterns) {
  EXPECT_EQ(Format(L(5), "pPage <<<#p"), "Page    5");
  EXPECT_EQ(Format(L(1234), "pPage <<<#p"), "Page 1234");
  EXPECT_EQ(Format(L(12345), "pPage <<<#p"), "#########");
  EXPECT_EQ(Format(L(-1), "pPage <<<#p"), "#########");
  EXPECT_EQ(Format(L(5551234567), "@p(###) ###-####p"), "(555) 123-4567");
  EXPECT_EQ(Format(L(42), "@p##/##p"), "00/42");
  EXPECT_EQ(Read("(555) 123-4567", "@p(###) ###-####p").long_value, 5551234567);
  EXPECT_EQ(Read("Page   12", "pPage <<<#p").long_value, 12);
  EXPECT_EQ(Read("12", "pPage <<<#p").long_value, 12);
  EXPECT_TRUE(Refused("Page  x12", "pPage <<<#p"));
}

TEST(PictureFormat, KeyInMasks) {
  EXPECT_EQ(Format(PictureValue::Text("5551234567"), "@k(###) ###-####k"), "(555) 123-4567");
  EXPECT_EQ(Read("(555) 123-4567", "@k(###) ###-####k").text.str(), "5551234567");
  EXPECT_EQ(Format(PictureValue::Text("aBC"), "@k^__k"), "Abc");
  EXPECT_EQ(Format(PictureValue::Text("1x"), "@k##k"), "1 ");
  EXPECT_EQ(Format(PictureValue::Text("ab"), "@k\\#??k"), "#ab");
  // Places before the marker must be filled, those after it may stay empty.
  EXPECT_EQ(Read("12  ", "@k##|##k").text.str(), "12");
  EXPECT_EQ(Read("1234", "@k##|##k").text.str(), "1234");
  EXPECT_TRUE(Refused("1   ", "@k##|##k"));
  EXPECT_TRUE(Refused("1a", "@k##k"));
  EXPECT_TRUE(Refused("12", "@k@@k"));
  EXPECT_EQ(Read("ab", "@k^^k").text.str(), "AB");
  EXPECT_EQ(Compiled("@k##|##k").width, 4);
  EXPECT_EQ(Format(PictureValue::Text("12"), "@k##|##k"), "12  ");
}

TEST(PictureFormat, EmptyPictureFormatsNothing) {
  Picture none;
  EXPECT_EQ(FormatValue(L(5), none).size, 0);
  DeformattedValue value;
  EXPECT_FALSE(DeformatValue("5", none, value));
}

}  // namespace
}  // namespace vaultrix::windows
