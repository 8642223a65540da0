// Round trips: every value a number, date or time picture can hold comes back from its display
// text unchanged. Values are drawn from a seeded generator, so a failure repeats.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/support/dates.h"
#include "runtime/support/times.h"
#include "runtime/windows/picture.h"
#include "tests/windows/picture_test_support.h"

namespace vaultrix::windows {
namespace {

using testing::Compiled;

constexpr int kRounds = 2000;

bool IsOverflow(std::string_view text) {
  return !text.empty() && text.find_first_not_of('#') == std::string_view::npos;
}

// A random decimal with up to `max_integer_digits` integer digits and exactly `places` places.
support::Decimal RandomDecimal(std::mt19937_64& random, int max_integer_digits, int places,
                               bool allow_negative) {
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> length(0, max_integer_digits);
  std::string text = allow_negative && (random() & 1) ? "-" : "";
  int integer_digits = length(random);
  text += integer_digits == 0 ? "0" : "";
  for (int i = 0; i < integer_digits; ++i) text += static_cast<char>('0' + digit(random));
  if (places > 0) {
    text += '.';
    for (int i = 0; i < places; ++i) text += static_cast<char>('0' + digit(random));
  }
  return *support::Decimal::Parse(text);
}

TEST(PictureRoundTrip, EveryNumberPicture) {
  struct Case {
    const char* picture;
    int integer_digits;  // what the picture holds
    bool signed_values;
  };
  const Case cases[] = {
      {"@n9.2", 4, true},
      {"@n09.2", 6, false},
      {"@n9`2", 4, true},
      {"@n9_.2B", 4, true},
      {"@n12_.2", 6, true},
      {"n-13", 9, true},
      {"n4", 2, true},
      {"n5", 3, true},
      {"N3", 2, true},
      {"N_10", 9, true},
      {"@N30.9", 14, true},
      {"@n(12.2)", 6, true},
      {"@n12.2-", 6, true},
      {"@n$12.2", 6, true},
      {"@n14.2~ EUR~", 5, true},
      {"@n*12.2", 6, true},
      {"@n_8v2", 5, true},
      {"@n-15.4", 7, true},
      {"@n$-*14.3", 6, true},
      {"@n07", 6, true},
      {"@n-20`4", 11, true},
      {"@n25.0", 18, true},
      {"@n255.30", 31 - 30, true},
  };
  std::mt19937_64 random(20260704);
  for (const Case& c : cases) {
    Picture picture = Compiled(c.picture);
    for (int round = 0; round < kRounds; ++round) {
      support::Decimal number =
          RandomDecimal(random, c.integer_digits, picture.places, c.signed_values);
      PictureText shown = FormatValue(PictureValue::FromDecimal(number), picture);
      ASSERT_EQ(shown.size, picture.width) << c.picture;
      ASSERT_FALSE(IsOverflow(shown.view())) << c.picture << " " << number.ToString();
      DeformattedValue back;
      ASSERT_TRUE(DeformatValue(shown.view(), picture, back))
          << c.picture << " \"" << shown.str() << "\"";
      support::Decimal read = back.type == ValueType::kLong
                                  ? support::Decimal::FromLong(back.long_value)
                                  : back.decimal_value;
      ASSERT_EQ(read, number) << c.picture << " \"" << shown.str() << "\"";
    }
  }
}

TEST(PictureRoundTrip, DoublesComeBackAsTheirRoundedDecimal) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> real(-99999.0, 99999.0);
  Picture picture = Compiled("@n-12.3");
  for (int round = 0; round < kRounds; ++round) {
    double v = real(random);
    PictureText shown = FormatValue(PictureValue::Real(v), picture);
    DeformattedValue back;
    ASSERT_TRUE(DeformatValue(shown.view(), picture, back)) << shown.str();
    ASSERT_EQ(back.decimal_value, *support::Decimal::FromDouble(v, 3)) << v;
  }
}

class PictureRoundTripDates : public testing::OnSimulatedClock {};

TEST_F(PictureRoundTripDates, EveryDateLayout) {
  std::mt19937_64 random(1996);
  for (int layout = 1; layout <= 20; ++layout) {
    for (const char* suffix : {"", ".", "-", "_", "`", "<50", ">10"}) {
      std::string text = "@D" + std::to_string(layout) + suffix;
      Picture picture = Compiled(text);
      bool two_digit_year = false;
      bool has_day = false;
      for (std::size_t i = 0; i < picture.length; ++i) {
        has_day |= picture.pairs[i].token == token::kDayDigit;
      }
      std::size_t years = 0;
      for (std::size_t i = 0; i < picture.length; ++i) {
        years += picture.pairs[i].token == token::kYearDigit;
      }
      two_digit_year = years == 2;
      // The years a picture can hold: its pivot's window for two digits.
      int first_year = two_digit_year ? 2026 - picture.pivot : 1801;
      int last_year = two_digit_year ? first_year + 99 : 9999;
      std::uniform_int_distribution<int> year(first_year, last_year);
      std::uniform_int_distribution<int> month(1, 12);
      std::uniform_int_distribution<int> day(1, 31);
      for (int round = 0; round < kRounds / 10; ++round) {
        int y = year(random);
        int m = month(random);
        int d = has_day ? std::min(day(random), support::DaysInMonth(y, m)) : 1;
        std::int32_t date = support::CivilToDate(y, m, d);
        ASSERT_GE(date, 0);
        PictureText shown = FormatValue(PictureValue::Long(date), picture);
        ASSERT_EQ(shown.size, picture.width);
        DeformattedValue back;
        ASSERT_TRUE(DeformatValue(shown.view(), picture, back))
            << text << " \"" << shown.str() << "\"";
        ASSERT_EQ(back.long_value, date) << text << " \"" << shown.str() << "\"";
      }
    }
  }
}

TEST(PictureRoundTrip, EveryTimeLayout) {
  std::mt19937_64 random(1330);
  std::uniform_int_distribution<int> hour(0, 23);
  std::uniform_int_distribution<int> sixty(0, 59);
  for (int layout = 1; layout <= 8; ++layout) {
    for (const char* suffix : {"", ".", "_", "-B"}) {
      std::string text = "@T" + std::to_string(layout) + suffix;
      Picture picture = Compiled(text);
      bool seconds = false;
      for (std::size_t i = 0; i < picture.length; ++i) {
        seconds |= picture.pairs[i].token == token::kSecondDigit;
      }
      for (int round = 0; round < kRounds / 10; ++round) {
        std::int32_t time =
            support::MakeTime(hour(random), sixty(random), seconds ? sixty(random) : 0);
        PictureText shown = FormatValue(PictureValue::Long(time), picture);
        DeformattedValue back;
        ASSERT_TRUE(DeformatValue(shown.view(), picture, back))
            << text << " \"" << shown.str() << "\"";
        ASSERT_EQ(back.long_value, time) << text << " \"" << shown.str() << "\"";
      }
    }
  }
}

TEST(PictureRoundTrip, KeyInAndPatternValues) {
  std::mt19937_64 random(42);
  Picture key_in = Compiled("@k(###) ^^-@@@|??k");
  Picture pattern = Compiled("@p###-<<<#p");
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> letter(0, 25);
  std::uniform_int_distribution<std::int64_t> number(0, 9'999'999);
  for (int round = 0; round < kRounds; ++round) {
    std::string typed;
    for (int i = 0; i < 3; ++i) typed += static_cast<char>('0' + digit(random));
    for (int i = 0; i < 2; ++i) typed += static_cast<char>('A' + letter(random));
    for (int i = 0; i < 3; ++i) typed += static_cast<char>('a' + letter(random));
    PictureText shown = FormatValue(PictureValue::Text(typed), key_in);
    DeformattedValue back;
    ASSERT_TRUE(DeformatValue(shown.view(), key_in, back)) << shown.str();
    ASSERT_EQ(back.text.str(), typed);

    std::int64_t n = number(random);
    shown = FormatValue(PictureValue::Long(n), pattern);
    ASSERT_TRUE(DeformatValue(shown.view(), pattern, back)) << shown.str();
    ASSERT_EQ(back.long_value, n) << shown.str();
  }
}

}  // namespace
}  // namespace vaultrix::windows
