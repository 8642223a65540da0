// The tip of the day's settings and the tip number.
#include "app/tips/tip_of_day.h"

#include <charconv>

#include "app/dictionary/data_dictionary.h"
#include "app/services/window_placement.h"
#include "runtime/support/decimal.h"
#include "runtime/support/profile.h"
#include "runtime/windows/picture.h"

namespace vaultrix::app {
namespace {

constexpr int kTipIdBytes = sizeof(TipRecord::TipID);

// A setting's number as a number variable takes text: the leading integer
// after blanks, 0 when there is none.
std::int64_t NumberOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  return error == std::errc() ? value : 0;
}

std::int64_t ReadSetting(std::string_view key) {
  return NumberOf(support::GetIni(kTipOfDaySection, key, "1", kProgramIniFile));
}

void WriteSetting(std::string_view key, std::string_view value) {
  // A setting that cannot be written only means the next opening shows the
  // same tip again; there is nothing to tell the user.
  (void)support::PutIni(kTipOfDaySection, key, value, kProgramIniFile);
}

}  // namespace

std::int64_t ReadShowTip() {
  return ReadSetting(kShowTipKey);
}

void WriteShowTip(std::int64_t show) {
  WriteSetting(kShowTipKey, show != 0 ? "1" : "0");
}

std::int64_t ReadFirstTip() {
  return ReadSetting(kFirstTipKey);
}

void WriteFirstTip(std::int64_t number) {
  WriteSetting(kFirstTipKey, FirstTipText(number));
}

std::string FirstTipText(std::int64_t number) {
  windows::Picture picture;
  if (!windows::CompilePicture("@N_10", picture)) return std::to_string(number);
  std::string text = windows::FormatValue(windows::PictureValue::Long(number), picture).str();
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::int64_t TipNumber() {
  const std::optional<support::Decimal> value = support::LoadPacked(TIP.TipID, kTipIdBytes, 0);
  if (!value) return 0;
  return value->ToLong().value_or(0);
}

void SetTipNumber(std::int64_t number) {
  if (!support::LongToPacked(number, TIP.TipID, kTipIdBytes, 0)) {
    (void)support::LongToPacked(0, TIP.TipID, kTipIdBytes, 0);
  }
}

}  // namespace vaultrix::app
