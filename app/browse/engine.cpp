// The engine's view and page: reset view, fill record, refresh page and
// locate record.
#include "app/browse/engine.h"

#include <algorithm>

#include "app/services/standard_warnings.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kViewOpenError = 36;
constexpr std::int32_t kRecordRetrievalError = 35;

}  // namespace

BrowseEngine::BrowseEngine(BrowseDescription description, BrowseSurface& surface)
    : description_(std::move(description)),
      surface_(surface),
      view_({&description_.file->Block()}),
      states_(std::max<std::size_t>(1, description_.orders.size())) {}

BrowseEngine::~BrowseEngine() {
  files::Close(view_.Block());
}

BrowseOrder& BrowseEngine::CurrentOrder() {
  const int index = std::clamp(order_, 1, static_cast<int>(description_.orders.size()));
  return description_.orders[static_cast<std::size_t>(index - 1)];
}

BrowseEngine::OrderState& BrowseEngine::CurrentState() {
  const int index = std::clamp(order_, 1, static_cast<int>(states_.size()));
  return states_[static_cast<std::size_t>(index - 1)];
}

const std::vector<std::string>& BrowseEngine::Distribution() const {
  const int index = std::clamp(order_, 1, static_cast<int>(states_.size()));
  return states_[static_cast<std::size_t>(index - 1)].distribution;
}

void BrowseEngine::CopyRange() {
  const BrowseOrder& order = CurrentOrder();
  if (description_.range_field.empty() || order.range.empty()) return;
  support::AssignFixed(description_.range_field, support::AsText(order.range));
}

// Filter and open, with the order's key already chosen on the file. A filter
// that cannot be set is reported and the view reads without it; a view that
// cannot be opened is reported and left as it is.
void BrowseEngine::StartView() {
  files::SetProperty(view_.Block(), eval::kPropFilter, CurrentOrder().filter);
  if (support::ErrorCode() != support::kNoError) {
    (void)ShowWarning(kViewOpenError);
    files::SetProperty(view_.Block(), eval::kPropFilter, "");
  }
  files::Open(view_.Block());
  if (support::ErrorCode() != support::kNoError) (void)ShowWarning(kViewOpenError);
}

void BrowseEngine::ResetView() {
  files::Close(view_.Block());
  CopyRange();
  files::Set(*CurrentOrder().key);
  StartView();
}

std::int32_t BrowseEngine::ReadOne(bool backward) {
  ++reads_;
  if (backward) {
    files::Previous(view_.Block());
  } else {
    files::Next(view_.Block());
  }
  return support::ErrorCode();
}

BrowseRow BrowseEngine::MakeRow(std::string position) const {
  BrowseRow row;
  row.fields.reserve(description_.queue_fields.size());
  for (std::span<char> field : description_.queue_fields)
    row.fields.push_back(QueueFieldText(field));
  row.position = std::move(position);
  return row;
}

// The end of the order: the range value is the one the order was last
// started with again.
void BrowseEngine::RestoreRange() {
  BrowseOrder& order = CurrentOrder();
  if (order.range.empty()) return;
  support::AssignFixed(order.range, CurrentState().last_reset);
}

void BrowseEngine::ReportRetrievalError() {
  (void)ShowWarning(kRecordRetrievalError, description_.file->Label());
  surface_.PostCloseWindow();
  failed_ = true;
}

void BrowseEngine::FillRecord() {
  bool record_found = false;
  std::string edge;
  if (queue_.Records() > 0) {
    edge = queue_.Row(fill_forward_ ? queue_.Records() : 1).position;
    files::Reset(view_.Block(), edge);
    record_found = true;
  }
  const int visible = std::max(1, surface_.VisibleItems());
  while (items_to_fill_ != 0) {
    const std::int32_t code = ReadOne(!fill_forward_);
    if (code == support::kRecordNotAvailable) {
      RestoreRange();
      break;
    }
    if (code != support::kNoError) {
      ReportRetrievalError();
      break;
    }
    std::string position = files::Position(view_.Block());
    if (record_found) {
      record_found = false;
      if (position == edge) continue;
    }
    if (add_to_queue_) {
      if (queue_.Records() >= visible) {
        if (fill_forward_) {
          queue_.RemoveFirst();
        } else {
          queue_.RemoveLast();
        }
      }
      if (fill_forward_) {
        queue_.AddLast(MakeRow(std::move(position)));
      } else {
        queue_.AddFirst(MakeRow(std::move(position)));
      }
    }
    --items_to_fill_;
  }
  add_to_queue_ = true;
}

void BrowseEngine::EmptyQueue() {
  queue_.Clear();
  current_choice_ = 0;
}

void BrowseEngine::RefreshPage() {
  surface_.SetWaitCursor(true);
  bool held = false;
  if (refresh_mode_ == RefreshMode::kOnView) {
    held_position_ = files::Position(view_.Block());
    held = true;
    files::Reset(view_.Block(), held_position_);
    refresh_mode_ = RefreshMode::kFromTop;
  } else if (queue_.Records() > 0) {
    const int row = current_choice_ >= 1 && current_choice_ <= queue_.Records() ? current_choice_
                                                                                : queue_.Records();
    held_position_ = queue_.Row(row).position;
    held = true;
    files::Reset(view_.Block(), queue_.Row(1).position);
    refresh_mode_ = RefreshMode::kOnFirstRow;
  } else {
    held_position_.clear();
    ResetView();
  }
  const bool from_bottom = refresh_mode_ == RefreshMode::kFromBottom;
  queue_.Clear();
  items_to_fill_ = std::max(1, surface_.VisibleItems());
  fill_forward_ = !from_bottom;
  FillRecord();
  if (held && items_to_fill_ != 0 && !failed_) {
    if (queue_.Records() == 0) ResetView();
    fill_forward_ = from_bottom;
    FillRecord();
  }
  if (queue_.Records() > 0) {
    current_choice_ = from_bottom && !held ? queue_.Records() : 1;
    if (held) {
      current_choice_ = queue_.Records();
      for (int row = 1; row <= queue_.Records(); ++row) {
        if (queue_.Row(row).position == held_position_) {
          current_choice_ = row;
          break;
        }
      }
    }
    ShowChoice();
    FillBuffer(current_choice_);
    surface_.EnableButton(description_.change_button, true);
    surface_.EnableButton(description_.delete_button, true);
  } else {
    if (description_.clear_record) description_.clear_record();
    current_choice_ = 0;
    ShowChoice();
    surface_.EnableButton(description_.change_button, false);
    surface_.EnableButton(description_.delete_button, false);
  }
  surface_.SetWaitCursor(false);
  refresh_mode_ = RefreshMode::kNone;
}

void BrowseEngine::LocateRecord() {
  if (locate_mode_ == LocateMode::kEdited) locate_mode_ = LocateMode::kOnKeyPosition;
  files::Close(view_.Block());
  files::KeyBlock& key = *CurrentOrder().key;
  if (locate_mode_ == LocateMode::kOnKeyPosition) {
    const std::string position = files::Position(key);
    files::Reset(key, position);
  } else {
    CopyRange();
    files::Set(key, key);
  }
  StartView();
  EmptyQueue();
  items_to_fill_ = 1;
  fill_forward_ = true;
  add_to_queue_ = false;
  FillRecord();
  refresh_mode_ = items_to_fill_ == 1 ? RefreshMode::kFromBottom : RefreshMode::kOnView;
  if (!failed_) RefreshPage();
  PostNewSelection();
  locate_mode_ = LocateMode::kNone;
}

void BrowseEngine::ShowChoice() {
  surface_.QueueChanged();
  surface_.SetSelection(current_choice_);
}

void BrowseEngine::FillBuffer(int row) {
  if (row < 1 || row > queue_.Records()) return;
  const BrowseRow& shown = queue_.Row(row);
  for (std::size_t f = 0; f < description_.queue_fields.size() && f < shown.fields.size(); ++f) {
    support::AssignFixed(description_.queue_fields[f], shown.fields[f]);
  }
}

}  // namespace vaultrix::app
