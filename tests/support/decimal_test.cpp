// Packed decimals and the Decimal value type: stored layout, round trips for
// every digit count, rounding, signs and arithmetic.
#include "runtime/support/decimal.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vaultrix::support {
namespace {

using Bytes = std::vector<std::uint8_t>;

Decimal Dec(const char* text) {
  const auto value = Decimal::Parse(text);
  EXPECT_TRUE(value.has_value()) << text;
  return value.value_or(Decimal());
}

Bytes Store(const char* text, int size, int places) {
  Bytes field(static_cast<std::size_t>(size), 0xEE);
  EXPECT_TRUE(TextToPacked(text, field.data(), size, places)) << text;
  return field;
}

// A random text of exactly `digits` significant digits with `places` places.
std::string RandomNumberText(std::mt19937_64& rng, int digits, int places, bool negative) {
  std::string all;
  all += static_cast<char>('1' + rng() % 9);
  for (int i = 1; i < digits; ++i) all += static_cast<char>('0' + rng() % 10);
  while (static_cast<int>(all.size()) <= places) all.insert(all.begin(), '0');
  std::string text = negative ? "-" : "";
  text += all.substr(0, all.size() - static_cast<std::size_t>(places));
  if (places > 0) text += "." + all.substr(all.size() - static_cast<std::size_t>(places));
  return text;
}

TEST(PackedDecimal, StoresSignNibbleAndTwoDigitsPerByte) {
  EXPECT_EQ(Store("12345", 6, 0), (Bytes{0x00, 0x00, 0x00, 0x01, 0x23, 0x45}));
  EXPECT_EQ(Store("-12345", 6, 0), (Bytes{0x80, 0x00, 0x00, 0x01, 0x23, 0x45}));
  EXPECT_EQ(Store("-7", 1, 0), (Bytes{0x87}));
  EXPECT_EQ(Store("1.5", 2, 2), (Bytes{0x01, 0x50}));
  EXPECT_EQ(Store("99999999999", 6, 0), (Bytes{0x09, 0x99, 0x99, 0x99, 0x99, 0x99}));
}

TEST(PackedDecimal, AnyNonZeroSignNibbleReadsNegative) {
  const Bytes field{0x30, 0x12};
  EXPECT_EQ(PackedToText(field.data(), 2, 1), "-1.2");
}

TEST(PackedDecimal, RoundTripsEveryDigitCountAndPlaces) {
  std::mt19937_64 rng(20261207);
  for (int size = 1; size <= kMaxPackedBytes; ++size) {
    const int capacity = PackedDigits(size);
    for (int places = 0; places <= capacity; ++places) {
      for (int digits = 1; digits <= capacity; ++digits) {
        const bool negative = (digits + places) % 2 == 1;
        const std::string text = RandomNumberText(rng, digits, places, negative);
        Bytes field(static_cast<std::size_t>(size));
        ASSERT_TRUE(TextToPacked(text, field.data(), size, places)) << text;
        const auto back = PackedToText(field.data(), size, places);
        ASSERT_EQ(back, text) << "size " << size << " places " << places;
        Bytes again(field.size());
        ASSERT_TRUE(TextToPacked(*back, again.data(), size, places));
        ASSERT_EQ(again, field);
      }
    }
  }
}

TEST(PackedDecimal, LargestValueOfEverySizeRoundTrips) {
  for (int size = 1; size <= kMaxPackedBytes; ++size) {
    const std::string nines(static_cast<std::size_t>(PackedDigits(size)), '9');
    for (const std::string& text : {nines, "-" + nines}) {
      Bytes field(static_cast<std::size_t>(size));
      ASSERT_TRUE(TextToPacked(text, field.data(), size, 0));
      EXPECT_EQ(PackedToText(field.data(), size, 0), text);
      EXPECT_FALSE(TextToPacked(text + "9", field.data(), size, 0)) << "one digit too many";
    }
  }
}

TEST(PackedDecimal, NegativeZeroIsStoredAsZero) {
  EXPECT_EQ(Store("-0", 2, 0), (Bytes{0x00, 0x00}));
  EXPECT_EQ(Store("-0.004", 2, 2), (Bytes{0x00, 0x00}));
  Bytes field{0x00, 0x00};
  ASSERT_TRUE(DoubleToPacked(-0.0, field.data(), 2, 1));
  EXPECT_EQ(field, (Bytes{0x00, 0x00}));

  const Bytes stored_negative_zero{0x80, 0x00};
  const auto value = LoadPacked(stored_negative_zero.data(), 2, 1);
  ASSERT_TRUE(value);
  EXPECT_FALSE(value->IsNegative());
  EXPECT_EQ(value->ToString(), "0.0");
}

TEST(PackedDecimal, RoundsHalfAwayFromZeroWhenPlacesAreCut) {
  EXPECT_EQ(Store("2.345", 3, 2), (Bytes{0x00, 0x02, 0x35}));
  EXPECT_EQ(Store("-2.345", 3, 2), (Bytes{0x80, 0x02, 0x35}));
  EXPECT_EQ(Store("2.3449", 3, 2), (Bytes{0x00, 0x02, 0x34}));
  EXPECT_EQ(Store("99.995", 3, 2), (Bytes{0x01, 0x00, 0x00})) << "the carry adds a digit";
  Bytes field{0x11, 0x11, 0x11};
  EXPECT_FALSE(TextToPacked("999.995", field.data(), 3, 2)) << "the carry no longer fits";
  EXPECT_EQ(field, (Bytes{0x11, 0x11, 0x11})) << "a refused store leaves the field alone";
}

TEST(PackedDecimal, RefusesDamagedFieldsAndImpossibleShapes) {
  const Bytes bad_digit{0x00, 0x1A};
  EXPECT_FALSE(LoadPacked(bad_digit.data(), 2, 0));
  const Bytes bad_first{0x0F};
  EXPECT_FALSE(LoadPacked(bad_first.data(), 1, 0));
  Bytes field(17);
  EXPECT_FALSE(LongToPacked(1, field.data(), 0, 0));
  EXPECT_FALSE(LongToPacked(1, field.data(), 17, 0));
  EXPECT_FALSE(LongToPacked(1, field.data(), 2, 4));
  EXPECT_FALSE(LoadPacked(field.data(), 2, 4));
  EXPECT_FALSE(TextToPacked("12a", field.data(), 4, 0));
  EXPECT_FALSE(TextToPacked("", field.data(), 4, 0));
}

TEST(PackedDecimal, DoubleAndLongConversions) {
  Bytes field(6);
  ASSERT_TRUE(DoubleToPacked(2.675, field.data(), 6, 2));
  EXPECT_EQ(PackedToText(field.data(), 6, 2), "2.68");
  EXPECT_EQ(PackedToDouble(field.data(), 6, 2), 2.68);
  ASSERT_TRUE(LongToPacked(-1234567890, field.data(), 6, 0));
  EXPECT_EQ(PackedToText(field.data(), 6, 0), "-1234567890");
  EXPECT_FALSE(LongToPacked(INT64_MAX, field.data(), 6, 0));
  EXPECT_FALSE(DoubleToPacked(1e300, field.data(), 6, 0));
  EXPECT_FALSE(DoubleToPacked(std::numeric_limits<double>::quiet_NaN(), field.data(), 6, 0));
}

TEST(DecimalText, ParsesAndPrintsPlainNumbers) {
  EXPECT_EQ(Dec(" -12.50 ").ToString(), "-12.50");
  EXPECT_EQ(Dec("+.5").ToString(), "0.5");
  EXPECT_EQ(Dec("7.").ToString(), "7");
  EXPECT_EQ(Dec("000123").ToString(), "123");
  EXPECT_EQ(Dec("-0.00").ToString(), "0.00");
  EXPECT_EQ(Dec("0.0000000000000000000000000000001").ToString(),
            "0.0000000000000000000000000000001");
  for (const char* bad : {"", " ", "-", ".", "1.2.3", "1e5", "1 2", "--1", "0x10", "12-"}) {
    EXPECT_FALSE(Decimal::Parse(bad)) << '"' << bad << '"';
  }
}

TEST(DecimalText, KeepsThirtyOneDigitsAndRoundsTheRest) {
  EXPECT_EQ(Dec("1234567890123456789012345678901").DigitCount(), 31);
  EXPECT_FALSE(Decimal::Parse("12345678901234567890123456789012")) << "32 integer digits";
  EXPECT_EQ(Dec("1.23456789012345678901234567890149").ToString(),
            "1.234567890123456789012345678901");
  EXPECT_EQ(Dec("1.23456789012345678901234567890150").ToString(),
            "1.234567890123456789012345678902");
  EXPECT_EQ(Dec("9.9999999999999999999999999999999").ToString(),
            "10.00000000000000000000000000000");
  EXPECT_EQ(Dec("0.000000000000000000000000000000049").ToString(),
            "0.0000000000000000000000000000000");
  EXPECT_EQ(Dec("0.000000000000000000000000000000050").ToString(),
            "0.0000000000000000000000000000001");
}

TEST(DecimalRounding, HalfAwayFromZero) {
  EXPECT_EQ(Dec("0.5").Rounded(0).ToString(), "1");
  EXPECT_EQ(Dec("-0.5").Rounded(0).ToString(), "-1");
  EXPECT_EQ(Dec("0.49").Rounded(0).ToString(), "0");
  EXPECT_EQ(Dec("-0.49").Rounded(0).ToString(), "0");
  EXPECT_EQ(Dec("1.45").Rounded(1).ToString(), "1.5") << "no rounding in two steps";
  EXPECT_EQ(Dec("1.449").Rounded(1).ToString(), "1.4");
  EXPECT_EQ(Dec("2").Rounded(3).ToString(), "2.000");
  EXPECT_EQ(Decimal::FromDouble(0.125, 2)->ToString(), "0.13");
  EXPECT_EQ(Decimal::FromDouble(-2.5, 0)->ToString(), "-3");
  EXPECT_EQ(Decimal::FromDouble(1e-40, 3)->ToString(), "0.000");
}

TEST(DecimalDouble, RoundTripsUpToFifteenDigits) {
  std::mt19937_64 rng(7);
  for (int digits = 1; digits <= 15; ++digits) {
    for (int places = 0; places <= digits; ++places) {
      const std::string text = RandomNumberText(rng, digits, places, digits % 2 == 0);
      const Decimal value = Dec(text.c_str());
      const auto back = Decimal::FromDouble(value.ToDouble(), places);
      ASSERT_TRUE(back);
      EXPECT_EQ(back->ToString(), text);
    }
  }
  EXPECT_EQ(Dec("0.1").ToDouble(), 0.1);
  EXPECT_EQ(Dec("-1234567890123456789012345678.901").ToDouble(), -1234567890123456789012345678.901);
  EXPECT_EQ(Dec("0.0000000000000000000000000000001").ToDouble(), 1e-31);
}

TEST(DecimalLong, CutsPlacesTowardZero) {
  EXPECT_EQ(Dec("123.99").ToLong(), 123);
  EXPECT_EQ(Dec("-123.99").ToLong(), -123);
  EXPECT_EQ(Decimal::FromLong(INT64_MIN).ToLong(), INT64_MIN);
  EXPECT_FALSE(Dec("9223372036854775808").ToLong());
}

TEST(DecimalArithmetic, AddAndSubtractExactly) {
  EXPECT_EQ(Decimal::Add(Dec("0.1"), Dec("0.2"))->ToString(), "0.3");
  EXPECT_EQ(Decimal::Subtract(Dec("1.5"), Dec("2.25"))->ToString(), "-0.75");
  EXPECT_EQ(Decimal::Add(Dec("-1.5"), Dec("1.5"))->IsNegative(), false);
  EXPECT_EQ(Decimal::Subtract(Dec("-3"), Dec("-5"))->ToString(), "2");
  const Decimal big = Dec("9999999999999999999999999999999");
  EXPECT_FALSE(Decimal::Add(big, Dec("1")));
  EXPECT_EQ(Decimal::Subtract(big, Dec("-0.4"))->ToString(), "9999999999999999999999999999999")
      << "places give way before integer digits";
  EXPECT_EQ(
      Decimal::Add(Dec("1000000000000000000000000000000"), Dec("0.0000000000000000000000000000001"))
          ->ToString(),
      "1000000000000000000000000000000");
}

TEST(DecimalArithmetic, MultiplyAndDivideRoundToThirtyOneDigits) {
  EXPECT_EQ(Decimal::Multiply(Dec("1.5"), Dec("-1.5"))->ToString(), "-2.25");
  EXPECT_EQ(Decimal::Multiply(Dec("1234567890.123456789"), Dec("9876543210.987654321"))->ToString(),
            "12193263113702179522.37463801111");
  EXPECT_FALSE(Decimal::Multiply(Dec("10000000000000000"), Dec("10000000000000000")));
  EXPECT_EQ(Decimal::Divide(Dec("1"), Dec("3"))->ToString(), "0.3333333333333333333333333333333");
  EXPECT_EQ(Decimal::Divide(Dec("2"), Dec("3"))->ToString(), "0.6666666666666666666666666666667");
  EXPECT_EQ(Decimal::Divide(Dec("2987"), Dec("100"))->ToString(), "29.87");
  EXPECT_EQ(Decimal::Divide(Dec("-7"), Dec("2"))->ToString(), "-3.5");
  EXPECT_EQ(Decimal::Divide(Dec("10"), Dec("0.25"))->ToString(), "40");
  EXPECT_EQ(Decimal::Divide(Dec("1"), Dec("0.000000000000000000000000000001"))->ToString(),
            "1000000000000000000000000000000");
  EXPECT_FALSE(Decimal::Divide(Dec("1"), Dec("0.0000000000000000000000000000001")))
      << "a quotient of 32 integer digits";
  EXPECT_FALSE(Decimal::Divide(Dec("1"), Dec("0")));
  EXPECT_FALSE(Decimal::Divide(Dec("9999999999999999999999999999999"), Dec("0.01")));
}

TEST(DecimalCompare, OrdersByValueWhateverThePlaces) {
  EXPECT_EQ(Dec("1.50"), Dec("1.5"));
  EXPECT_LT(Dec("-1"), Dec("-0.5"));
  EXPECT_LT(Dec("-0.5"), Dec("0"));
  EXPECT_GT(Dec("0.0000000000000000000000000000001"), Dec("0"));
  EXPECT_LT(Dec("999999999999999999999999999999.9"), Dec("1000000000000000000000000000000"));
  EXPECT_EQ(-Dec("2.5"), Dec("-2.50"));
  EXPECT_EQ(Dec("-0"), Dec("0.000"));
}

}  // namespace
}  // namespace vaultrix::support
