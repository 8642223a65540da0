// The engine's events: the list's scroll, locate, alert-key and selection
// events, the edit buttons, reset order, refresh window and get record.
#include <algorithm>

#include "app/browse/engine.h"
#include "app/services/global_codes.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/event_codes.h"

namespace vaultrix::app {
namespace {

namespace keys = windows::list_keys;

constexpr std::int32_t kInsertKey = 0x2D;
constexpr std::int32_t kDeleteKey = 0x2E;
constexpr std::string_view kFullPopup = "&Insert|&Change|&Delete";
constexpr std::string_view kEmptyListPopup = "&Insert|~&Change|~&Delete";

}  // namespace

bool BrowseEngine::TakeEvent(const BrowseInput& input) {
  // After a read error the window is closing: nothing more is read.
  if (failed_ && input.control != 0 && input.event != windows::kEventAccepted) return true;
  if (input.event == windows::kEventAccepted && input.control != 0) {
    if (input.control == description_.insert_button) {
      Edit(kInsertRecord);
      return true;
    }
    if (input.control == description_.change_button) {
      Edit(kChangeRecord);
      return true;
    }
    if (input.control == description_.delete_button) {
      Edit(kDeleteRecord);
      return true;
    }
  }
  if (input.control != description_.list || input.control == 0) return false;
  return ListEvent(input);
}

bool BrowseEngine::ListEvent(const BrowseInput& input) {
  const bool rows = queue_.Records() > 0;
  switch (input.event) {
    case windows::kEventNewSelection:
      NewSelection(input.key_code);
      return true;
    case windows::kEventAlertKey:
      AlertKey(input.key_code);
      return true;
    case windows::kEventScrollUp:
    case windows::kEventScrollDown:
      if (rows) ScrollOne(input.event == windows::kEventScrollUp);
      return true;
    case windows::kEventPageUp:
    case windows::kEventPageDown:
      if (rows) ScrollPage(input.event == windows::kEventPageUp);
      return true;
    case windows::kEventScrollTop:
    case windows::kEventScrollBottom:
      if (rows) ScrollToEnd(input.event == windows::kEventScrollBottom);
      return true;
    case windows::kEventScrollDrag:
      if (rows) ScrollDrag(surface_.Thumb());
      return true;
    case windows::kEventLocate:
      if (rows) LocateFirstLetter(input.key_character);
      return true;
    default:
      return false;
  }
}

void BrowseEngine::Press(int button) {
  if (button != 0) surface_.PressButton(button);
}

void BrowseEngine::AlertKey(std::int32_t key_code) {
  const std::int32_t key = key_code & keys::kCompareMask;
  const bool rows = queue_.Records() > 0;
  if (key == kInsertKey) {
    Press(description_.insert_button);
  } else if (rows && (key & 0xFF) == keys::kLeftDoubleClick) {
    FillBuffer(std::clamp(surface_.Selection(), 1, queue_.Records()));
    Press(description_.change_button);
  } else if (rows && key == kDeleteKey) {
    Press(description_.delete_button);
  } else if (rows && key == (keys::kCtrl | keys::kEnter)) {
    Press(description_.change_button);
  }
  PostNewSelection();
}

void BrowseEngine::PostNewSelection() {
  if (new_selection_posted_) return;
  new_selection_posted_ = true;
  surface_.PostToList(windows::kEventNewSelection);
}

// A selection that the engine posted itself carries the key code of the
// event it was posted from, so only one that arrives while none is pending
// can be the user's right click; that one offers the edit buttons.
void BrowseEngine::NewSelection(std::int32_t key_code) {
  const bool posted = new_selection_posted_;
  new_selection_posted_ = false;
  const std::int32_t button = key_code & 0xFF;
  const bool right = button == keys::kRightClick || button == keys::kRightDoubleClick;
  // A window that edits nothing (the user picker) has no popup to offer.
  if (!posted && right && description_.insert_button != 0) {
    const bool rows = queue_.Records() > 0;
    if (rows) current_choice_ = std::clamp(surface_.Selection(), 1, queue_.Records());
    const int choice = surface_.Popup(rows ? kFullPopup : kEmptyListPopup);
    if (choice == 1) Press(description_.insert_button);
    if (rows && choice == 2) Press(description_.change_button);
    if (rows && choice == 3) Press(description_.delete_button);
    return;
  }
  if (queue_.Records() == 0) return;
  current_choice_ = std::clamp(surface_.Selection(), 1, queue_.Records());
  FillBuffer(current_choice_);
  PlaceThumb();
}

bool BrowseEngine::RangeChanged() {
  const BrowseOrder& order = CurrentOrder();
  if (order.range.empty()) return false;
  return !support::EqualBlankPadded(CurrentState().last_reset, support::AsText(order.range));
}

void BrowseEngine::ResetOrder() {
  previous_order_ = order_;
  order_ = description_.choose_order ? description_.choose_order() : 1;
  order_ = std::clamp(order_, 1, static_cast<int>(description_.orders.size()));
  const bool order_changed = order_ != previous_order_;
  bool changed = order_changed;
  if (!order_changed) {
    changed = RangeChanged();
  } else {
    BrowseOrder& order = CurrentOrder();
    if (!order.range.empty() && !order.range_from_record.empty()) {
      support::AssignFixed(order.range, support::AsText(order.range_from_record));
    }
  }
  if (!changed && !force_refresh_) {
    if (queue_.Records() > 0) FillBuffer(current_choice_);
    return;
  }
  CurrentState().last_reset = std::string(support::AsText(CurrentOrder().range));
  GetRecord();
  ResetView();
  const bool first = first_reset_;
  first_reset_ = false;
  if ((first && description_.request == kSelectRecord) || (!first && !changed)) {
    locate_mode_ = LocateMode::kOnKeyValue;
    LocateRecord();
  } else {
    EmptyQueue();
    refresh_mode_ = RefreshMode::kFromTop;
    RefreshPage();
    PostNewSelection();
  }
  if (queue_.Records() > 0 && !failed_) {
    FillBuffer(current_choice_);
    BuildKeyDistribution();
  }
}

void BrowseEngine::RefreshWindow() {
  if (surface_.AcceptingAll() || failed_) return;
  ResetOrder();
  surface_.SetThumb(thumb_);
  surface_.Redisplay();
  force_refresh_ = false;
}

void BrowseEngine::GetRecord() {
  if (queue_.Records() == 0 || failed_) return;
  current_choice_ = std::clamp(surface_.Selection(), 1, queue_.Records());
  const BrowseRow& row = queue_.Row(current_choice_);
  files::Watch(view_.Block());
  ++reads_;
  files::Reget(view_.Block(), row.position);
  // An entry another station removed meanwhile: the page's copy stands in.
  if (support::ErrorCode() != support::kNoError) FillBuffer(current_choice_);
}

void BrowseEngine::Edit(int request) {
  if (failed_) return;
  GetRecord();
  if (request != kInsertRecord && queue_.Records() == 0) return;
  if (!description_.form) return;
  if (request == kInsertRecord) {
    if (description_.clear_record) description_.clear_record();
    CopyRange();
  }
  files::Close(view_.Block());
  GlobalRequest = request;
  description_.form();
  const bool completed = GlobalResponse == kRequestCompleted;
  ResetView();
  if (completed && request != kDeleteRecord) {
    locate_mode_ = LocateMode::kOnKeyPosition;
    LocateRecord();
  } else {
    if (completed) {
      queue_.Remove(current_choice_);
      current_choice_ = std::min(current_choice_, queue_.Records());
    }
    refresh_mode_ = RefreshMode::kOnQueue;
    RefreshPage();
  }
  if (failed_) return;
  BuildKeyDistribution();
  PostNewSelection();
  surface_.SelectList();
  response_ = kRequestCancelled;
  RefreshWindow();
}

}  // namespace vaultrix::app
