// Numbering a new tip.
#include "app/tips/numbering.h"

#include "app/dictionary/data_dictionary.h"
#include "app/services/standard_warnings.h"
#include "app/tips/tip_of_day.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kAutoIncrementError = 25;
constexpr std::int32_t kRecordRetrievalError = 35;
constexpr int kTriesBeforeAsking = 3;

enum class Outcome { kAdded, kAddFailed, kUnreadable };

// One try: the highest tip read, a blank tip added after it.
Outcome TryOnce(NumberedTip& tip) {
  DataFile& tips = TipOfTheDay();
  files::Set(tips.Key(kFirstKey));
  files::Previous(tips.Block());
  std::int64_t number = 1;
  if (support::ErrorCode() == support::kNoError) {
    number = TipNumber() + 1;
  } else if (support::ErrorCode() != support::kRecordNotAvailable) {
    return Outcome::kUnreadable;
  }
  TIP = TipRecord{};
  SetTipNumber(number);
  support::BlankFixed(tips.MemoText(kMemoTipDesc));
  files::Add(tips.Block());
  if (support::ErrorCode() != support::kNoError) return Outcome::kAddFailed;
  tip.number = number;
  tip.position = files::Position(tips.Block());
  return Outcome::kAdded;
}

}  // namespace

std::optional<NumberedTip> NumberNewTip() {
  NumberedTip tip;
  for (;;) {
    for (int attempt = 0; attempt < kTriesBeforeAsking; ++attempt) {
      switch (TryOnce(tip)) {
        case Outcome::kAdded:
          return tip;
        case Outcome::kUnreadable:
          (void)ShowWarning(kRecordRetrievalError, TipOfTheDay().Label());
          return std::nullopt;
        case Outcome::kAddFailed:
          break;
      }
    }
    if (ShowWarning(kAutoIncrementError) != kButtonRetry) return std::nullopt;
  }
}

void RemoveBlankTip(const NumberedTip& tip) {
  DataFile& tips = TipOfTheDay();
  files::Reget(tips.Block(), tip.position);
  const bool ours = support::ErrorCode() == support::kNoError && TipNumber() == tip.number &&
                    support::CLIP(support::AsText(tips.MemoText(kMemoTipDesc))).empty();
  if (ours) files::Delete(tips.Block());
  support::ClearError();
}

}  // namespace vaultrix::app
