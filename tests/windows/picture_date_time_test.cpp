// Date and time pictures: the documented layouts on 4 July 1996, the "intl" layouts and locale
// names, typed dates and times, and the two-digit-year window of each pivot. "Today" is 15 June
// 2026 on the simulated clock.
#include <gtest/gtest.h>

#include <string>

#include "runtime/support/locale.h"
#include "runtime/support/times.h"
#include "runtime/windows/picture.h"
#include "tests/windows/picture_test_support.h"

namespace vaultrix::windows {
namespace {

using testing::Compiled;
using testing::Day;
using testing::Format;

class PictureDateTime : public testing::OnSimulatedClock {
 protected:
  void TearDown() override { support::ReplaceLocale(support::DefaultLocale()); }

  static std::int64_t ReadLong(std::string_view text, std::string_view picture_text) {
    DeformattedValue value;
    EXPECT_TRUE(DeformatValue(text, Compiled(picture_text), value))
        << "\"" << text << "\" by " << picture_text;
    EXPECT_EQ(value.type, ValueType::kLong);
    return value.long_value;
  }
  static bool Refused(std::string_view text, std::string_view picture_text) {
    DeformattedValue value;
    return !DeformatValue(text, Compiled(picture_text), value);
  }
};

// 4 July 1996, a Thursday. (Computed when asked: day numbers are not constants at start-up.)
std::int32_t July4th1996() {
  return Day(1996, 7, 4);
}

TEST_F(PictureDateTime, DocumentedDateLayouts) {
  auto july4 = PictureValue::Long(July4th1996());
  EXPECT_EQ(Format(july4, "@D1"), " 7/04/96");
  EXPECT_EQ(Format(july4, "@D1."), " 7.04.96");
  EXPECT_EQ(Format(july4, "@D2"), " 7/04/1996");
  EXPECT_EQ(Format(july4, "@D3"), "Jul  4, 1996");
  EXPECT_EQ(Format(july4, "D4"), "July       4, 1996");
  EXPECT_EQ(Format(july4, "@D5"), " 4/07/96");
  EXPECT_EQ(Format(july4, "@D6-"), " 4-07-1996");
  EXPECT_EQ(Format(july4, "@D7"), " 4 Jul 96");
  EXPECT_EQ(Format(july4, "@D8"), " 4 Jul 1996");
  EXPECT_EQ(Format(july4, "@D9"), "96/07/04");
  EXPECT_EQ(Format(july4, "@D10"), "1996/07/04");
  EXPECT_EQ(Format(july4, "@D11"), "960704");
  EXPECT_EQ(Format(july4, "@D12"), "19960704");
  EXPECT_EQ(Format(july4, "@D13"), " 7/96");
  EXPECT_EQ(Format(july4, "@D14"), " 7/1996");
  EXPECT_EQ(Format(july4, "@D15"), "96/07");
  EXPECT_EQ(Format(july4, "@D16"), "1996/07");
  EXPECT_EQ(Format(july4, "@D19"), " 4 July      1996");
  EXPECT_EQ(Format(july4, "@D20"), "July       4 1996");
  // The fill stands in the blank-filled digit places.
  EXPECT_EQ(Format(july4, "@D01"), "07/04/96");
  EXPECT_EQ(Format(july4, "@D*1"), "*7/04/96");
  EXPECT_EQ(Format(july4, "@D_1`"), " 7,04,96");
  EXPECT_EQ(Format(PictureValue::Long(Day(2005, 12, 25)), "@D1"), "12/25/05");
}

TEST_F(PictureDateTime, DatesWithoutACalendarDateShowBlank) {
  EXPECT_EQ(Format(PictureValue::Long(-1), "@D1"), "        ");
  EXPECT_EQ(Format(PictureValue::Long(support::kLastDate + 1), "@D2"), std::string(10, ' '));
  EXPECT_EQ(Format(PictureValue::Long(support::kLastDate), "@D2"), "12/31/9999");
  EXPECT_EQ(Format(PictureValue::Long(4), "@D2"), " 1/01/1801");
}

TEST_F(PictureDateTime, IntlDateLayoutsAndLocaleNames) {
  auto july4 = PictureValue::Long(July4th1996());
  EXPECT_EQ(Format(july4, "@D17"), "07/04/96");
  EXPECT_EQ(Format(july4, "@D18"), "Thu, July      04, 1996");
  EXPECT_EQ(Format(july4, "@D17."), "07.04.96");

  support::Locale locale = support::DefaultLocale();
  locale.intl.s_short_date = "d.M.yyyy";
  locale.intl.s_long_date = "dddd d'. 'MMMM yyyy";
  locale.month_names[6] = "Juli";
  locale.month_abbreviations[6] = "Jul";
  support::ReplaceLocale(locale);
  EXPECT_EQ(Format(july4, "@D17"), " 4. 7.1996");
  EXPECT_EQ(Format(july4, "@D18"), "Thursday   4. Juli      1996");
  EXPECT_EQ(Format(july4, "@D4"), "Juli       4, 1996");
  EXPECT_EQ(ReadLong("4.7.1996", "@D17"), July4th1996());
  EXPECT_EQ(ReadLong("Thursday 4. Juli 1996", "@D18"), July4th1996());
}

TEST_F(PictureDateTime, TypedDates) {
  EXPECT_EQ(ReadLong(" 7/04/96", "@D1"), July4th1996());
  EXPECT_EQ(ReadLong("7/4/96", "@D1"), July4th1996());
  EXPECT_EQ(ReadLong("070496", "@D1"), July4th1996());
  EXPECT_EQ(ReadLong("07041996", "@D2"), July4th1996());
  EXPECT_EQ(ReadLong("7-4-1996", "@D2"), July4th1996());
  EXPECT_EQ(ReadLong("jul 4, 1996", "@D1"), July4th1996());
  EXPECT_EQ(ReadLong("July 4 96", "@D3"), July4th1996());
  EXPECT_EQ(ReadLong("4 JULY 1996", "@D8"), July4th1996());
  EXPECT_EQ(ReadLong("7/4/1996", "@D3"), July4th1996());
  EXPECT_EQ(ReadLong("Thu 4 7 1996", "@D19"), July4th1996());
  EXPECT_EQ(ReadLong("960704", "@D11"), July4th1996());
  EXPECT_EQ(ReadLong("1996/7/4", "@D10"), July4th1996());
  // Without its year a date is this year's; without a day (month layouts) the first.
  EXPECT_EQ(ReadLong("7/4", "@D1"), Day(2026, 7, 4));
  EXPECT_EQ(ReadLong("0704", "@D1"), Day(2026, 7, 4));
  EXPECT_EQ(ReadLong("7/96", "@D13"), Day(1996, 7, 1));
  EXPECT_EQ(ReadLong("   ", "@D1"), 0);
  EXPECT_TRUE(Refused("2/30/96", "@D1"));
  EXPECT_TRUE(Refused("13/01/96", "@D1"));
  EXPECT_TRUE(Refused("7/4/96/1", "@D1"));
  EXPECT_TRUE(Refused("Smarch 4 1996", "@D3"));
  EXPECT_TRUE(Refused("7/4/1799", "@D2"));
  EXPECT_TRUE(Refused("1234567", "@D1"));
}

TEST_F(PictureDateTime, TwoDigitYearsLandInThePivotsWindow) {
  // Default pivot 80: 1946 to 2045 around 2026.
  EXPECT_EQ(ReadLong("1/1/46", "@D1"), Day(1946, 1, 1));
  EXPECT_EQ(ReadLong("1/1/45", "@D1"), Day(2045, 1, 1));
  EXPECT_EQ(ReadLong("1/1/46", "@D6"), Day(1946, 1, 1));
  // "<50": 1976 to 2075.
  EXPECT_EQ(ReadLong("1/1/75", "@D6<50"), Day(2075, 1, 1));
  EXPECT_EQ(ReadLong("1/1/76", "@D6<50"), Day(1976, 1, 1));
  // ">10": up to ten years ahead, 1937 to 2036.
  EXPECT_EQ(ReadLong("1/1/36", "@D6>10"), Day(2036, 1, 1));
  EXPECT_EQ(ReadLong("1/1/37", "@D6>10"), Day(1937, 1, 1));
  // Four digits are taken as they stand.
  EXPECT_EQ(ReadLong("1/1/2075", "@D6>10"), Day(2075, 1, 1));
}

TEST_F(PictureDateTime, TimeLayouts) {
  auto afternoon = PictureValue::Long(support::MakeTime(13, 5, 9));
  auto morning = PictureValue::Long(support::MakeTime(0, 30, 0));
  EXPECT_EQ(Format(afternoon, "@T1"), "13:05");
  EXPECT_EQ(Format(morning, "@T1"), " 0:30");
  EXPECT_EQ(Format(afternoon, "@T2"), "1305");
  EXPECT_EQ(Format(afternoon, "t3"), " 1:05PM");
  EXPECT_EQ(Format(morning, "T3"), "12:30AM");
  EXPECT_EQ(Format(afternoon, "@T4"), "13:05:09");
  EXPECT_EQ(Format(afternoon, "@T5"), "130509");
  EXPECT_EQ(Format(afternoon, "@T6"), " 1:05:09PM");
  EXPECT_EQ(Format(afternoon, "@T7"), "01:05 PM");
  EXPECT_EQ(Format(afternoon, "@T8"), "01:05:09 PM");
  EXPECT_EQ(Format(afternoon, "@T1."), "13.05");
  EXPECT_EQ(Format(afternoon, "@T4_"), "13 05 09");
  EXPECT_EQ(Format(morning, "@T01"), "00:30");
  EXPECT_EQ(Format(PictureValue::Long(support::kLastTime), "@T4"), "23:59:59");
  EXPECT_EQ(Format(PictureValue::Long(support::kLastTime + 1), "@T4"), "        ");
  EXPECT_EQ(Format(PictureValue::Long(0), "@T4"), "        ");
}

TEST_F(PictureDateTime, IntlTimeLayoutsAndAmPmTexts) {
  auto afternoon = PictureValue::Long(support::MakeTime(13, 5, 9));
  support::Locale locale = support::DefaultLocale();
  locale.intl.i_time = 1;
  locale.intl.i_tlzero = 0;
  locale.intl.s_time = ".";
  support::ReplaceLocale(locale);
  EXPECT_EQ(Format(afternoon, "@T7"), "13.05");
  EXPECT_EQ(Format(PictureValue::Long(support::MakeTime(9, 5)), "@T8"), " 9.05.00");

  locale = support::DefaultLocale();
  locale.am_text = "vorm";
  locale.pm_text = "nachm";
  support::ReplaceLocale(locale);
  EXPECT_EQ(Format(afternoon, "@T3"), " 1:05nachm");
  EXPECT_EQ(Format(afternoon, "@T8"), "01:05:09 nachm");
  EXPECT_EQ(Format(PictureValue::Long(support::MakeTime(9, 5)), "@T3"), " 9:05vorm ");
  EXPECT_EQ(ReadLong(" 1:05nachm", "@T3"), support::MakeTime(13, 5));
  EXPECT_EQ(ReadLong(" 1:05 N", "@T3"), support::MakeTime(13, 5));
}

TEST_F(PictureDateTime, TypedTimes) {
  EXPECT_EQ(ReadLong("13:05", "@T1"), support::MakeTime(13, 5));
  EXPECT_EQ(ReadLong("1305", "@T1"), support::MakeTime(13, 5));
  EXPECT_EQ(ReadLong("130", "@T1"), support::MakeTime(1, 30));
  EXPECT_EQ(ReadLong("9", "@T1"), support::MakeTime(9, 0));
  EXPECT_EQ(ReadLong(" 1:05PM", "@T3"), support::MakeTime(13, 5));
  EXPECT_EQ(ReadLong("1:05 p", "@T3"), support::MakeTime(13, 5));
  EXPECT_EQ(ReadLong("12:30AM", "@T3"), support::MakeTime(0, 30));
  EXPECT_EQ(ReadLong("12:30pm", "@T3"), support::MakeTime(12, 30));
  EXPECT_EQ(ReadLong("13:05:09", "@T4"), support::MakeTime(13, 5, 9));
  EXPECT_EQ(ReadLong("130509", "@T5"), support::MakeTime(13, 5, 9));
  EXPECT_EQ(ReadLong("", "@T1"), 0);
  EXPECT_TRUE(Refused("25:00", "@T1"));
  EXPECT_TRUE(Refused("1:60", "@T1"));
  EXPECT_TRUE(Refused("13:00AM", "@T3"));
  EXPECT_TRUE(Refused("1:2:3:4", "@T4"));
  EXPECT_TRUE(Refused("noon", "@T3"));
}

}  // namespace
}  // namespace vaultrix::windows
