// The engine's movements through the order: scrolling by a row, a page or to
// an end, the thumb drag and the first-letter locator, and the key
// distribution that the thumb stands on.
#include <algorithm>

#include "app/browse/engine.h"
#include "app/browse/key_distribution.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/event_codes.h"

namespace vaultrix::app {

void BrowseEngine::ScrollOne(bool up) {
  if (up && current_choice_ > 1) {
    --current_choice_;
  } else if (!up && current_choice_ < queue_.Records()) {
    ++current_choice_;
  } else {
    items_to_fill_ = 1;
    fill_forward_ = !up;
    FillRecord();
  }
  ShowChoice();
  PostNewSelection();
}

void BrowseEngine::ScrollPage(bool up) {
  items_to_fill_ = std::max(1, surface_.VisibleItems());
  fill_forward_ = !up;
  FillRecord();
  if (items_to_fill_ != 0) {
    current_choice_ = up ? std::max(1, current_choice_ - items_to_fill_)
                         : std::min(queue_.Records(), current_choice_ + items_to_fill_);
  }
  ShowChoice();
  PostNewSelection();
}

void BrowseEngine::ScrollToEnd(bool bottom) {
  EmptyQueue();
  ResetView();
  items_to_fill_ = std::max(1, surface_.VisibleItems());
  fill_forward_ = !bottom;
  FillRecord();
  current_choice_ = queue_.Records() == 0 ? 0 : (bottom ? queue_.Records() : 1);
  ShowChoice();
  PostNewSelection();
}

void BrowseEngine::ScrollDrag(int position) {
  if (position <= 1) {
    surface_.PostToList(windows::kEventScrollTop);
    return;
  }
  if (position >= kDistributionEntries) {
    surface_.PostToList(windows::kEventScrollBottom);
    return;
  }
  const std::vector<std::string>& entries = Distribution();
  if (entries.size() < static_cast<std::size_t>(position)) return;
  support::AssignFixed(CurrentOrder().order_field, entries[static_cast<std::size_t>(position - 1)]);
  locate_mode_ = LocateMode::kOnKeyValue;
  LocateRecord();
}

void BrowseEngine::LocateFirstLetter(char character) {
  if (character == ' ' || character == '\0') return;
  BrowseOrder& order = CurrentOrder();
  support::AssignFixed(order.order_field, std::string_view(&character, 1));
  if (!order.locator_clears.empty()) support::BlankFixed(order.locator_clears);
  locate_mode_ = LocateMode::kOnKeyValue;
  LocateRecord();
}

// The lowest and highest value of the order field in the order, then the
// 100 entries between them. An order without entries keeps its old table.
void BrowseEngine::BuildKeyDistribution() {
  if (failed_) return;
  BrowseOrder& order = CurrentOrder();
  const auto read_end = [&](bool last, std::string& value) {
    ResetView();
    const std::int32_t code = ReadOne(last);
    if (code == support::kRecordNotAvailable) {
      RestoreRange();
      return false;
    }
    if (code != support::kNoError) {
      ReportRetrievalError();
      return false;
    }
    value = std::string(support::AsText(order.order_field));
    return true;
  };
  std::string high;
  std::string low;
  if (!read_end(true, high) || !read_end(false, low)) return;
  CurrentState().distribution =
      app::BuildKeyDistribution(low, high, order.order_field.size(), description_.alphabet_flags);
  // The two reads left the ends of the order in the buffer.
  FillBuffer(current_choice_);
}

// Whether the order holds an entry before the first row or after the last:
// a full page that is the whole order needs no scroll bar. At most two reads
// each way (the first may be the edge row itself).
bool BrowseEngine::OrderGoesOn() {
  for (const bool forward : {true, false}) {
    const std::string& edge = queue_.Row(forward ? queue_.Records() : 1).position;
    files::Reset(view_.Block(), edge);
    for (int read = 0; read < 2; ++read) {
      if (ReadOne(!forward) != support::kNoError) break;
      if (files::Position(view_.Block()) != edge) return true;
    }
  }
  support::ClearError();
  return false;
}

// The thumb follows the highlighted entry's place in the distribution while
// the page is full and the order goes on past it; otherwise the list has no
// scroll bar.
void BrowseEngine::PlaceThumb() {
  const std::string value(support::AsText(CurrentOrder().order_field));
  const bool full = queue_.Records() >= std::max(1, surface_.VisibleItems());
  if (full && OrderGoesOn()) {
    if (!surface_.ScrollBarShown()) surface_.ShowScrollBar(true);
    thumb_ = Distribution().empty() ? 0 : ThumbPosition(Distribution(), value);
  } else if (surface_.ScrollBarShown()) {
    surface_.ShowScrollBar(false);
  }
  if (full) FillBuffer(current_choice_);  // the reads past the page used the buffer
  RefreshWindow();
}

}  // namespace vaultrix::app
