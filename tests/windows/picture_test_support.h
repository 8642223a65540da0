// Helpers shared by the picture tests: compiling a picture that must compile, formatting to a
// std::string, and a fixed "today" on the simulated clock for two-digit years.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "runtime/support/dates.h"
#include "runtime/support/decimal.h"
#include "runtime/windows/picture.h"

namespace vaultrix::windows::testing {

inline Picture Compiled(std::string_view text) {
  Picture picture;
  EXPECT_TRUE(CompilePicture(text, picture)) << "picture " << text;
  return picture;
}

inline std::string Format(const PictureValue& value, std::string_view picture_text) {
  return FormatValue(value, Compiled(picture_text)).str();
}

inline support::Decimal Dec(std::string_view text) {
  std::optional<support::Decimal> value = support::Decimal::Parse(text);
  EXPECT_TRUE(value.has_value()) << text;
  return value.value_or(support::Decimal());
}

inline std::int32_t Day(int year, int month, int day) {
  return support::CivilToDate(year, month, day);
}

// Tests that read "this year" run on 15 June 2026.
class OnSimulatedClock : public ::testing::Test {
 protected:
  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 6, 15, 10, 30, 0, 0}};
  platform::ScopedCurrentClock scoped_clock_{clock_};
};

}  // namespace vaultrix::windows::testing
