// The list control's answers to keys, typed characters, the scroll bar and
// mouse clicks.
#include <algorithm>

#include "runtime/support/locale.h"
#include "runtime/windows/ctllist.h"

namespace vaultrix::windows {

bool ListControl::IsAlertKey(std::int32_t key_code) const {
  const std::int32_t masked = key_code & list_keys::kCompareMask;
  return masked != 0 &&
         std::find(alert_keys_.begin(), alert_keys_.end(), masked) != alert_keys_.end();
}

ListResponse ListControl::KeyDown(std::int32_t key_code) {
  ListResponse out;
  const std::int32_t masked = key_code & list_keys::kCompareMask;
  if (IsAlertKey(masked)) {
    out.handled = true;
    out.events.push_back({kEventAlertKey, key_code, '\0', false});
    return out;
  }
  const std::int32_t key = masked & 0xFF;
  if ((masked & list_keys::kAlt) != 0) return out;
  if (key == list_keys::kEnter) {
    if ((masked & list_keys::kCtrl) != 0) return out;
    out.handled = true;
    Accept(key_code, out);
    return out;
  }
  if ((key == list_keys::kRight || key == list_keys::kLeft) && HasTreeColumn()) {
    out.handled = true;
    if (selected_ >= 0) {
      const EventCode code = key == list_keys::kRight ? kEventExpanded : kEventContracted;
      out.events.push_back({code, key_code, '\0', false});
    }
    return out;
  }
  return Immediate() ? ImmediateKey(key, key_code) : MovingKey(key, key_code);
}

bool ListControl::HasTreeColumn() const {
  return std::any_of(format_.columns.begin(), format_.columns.end(),
                     [](const ListColumn& column) { return column.Has(kColumnTree); });
}

ListResponse ListControl::ImmediateKey(std::int32_t key, std::int32_t key_code) {
  const bool ctrl = (key_code & list_keys::kCtrl) != 0;
  EventCode code = 0;
  switch (key) {
    case list_keys::kHome:
      code = kEventScrollTop;
      break;
    case list_keys::kEnd:
      code = kEventScrollBottom;
      break;
    case list_keys::kUp:
      code = kEventScrollUp;
      break;
    case list_keys::kDown:
      code = kEventScrollDown;
      break;
    case list_keys::kPageUp:
      code = ctrl ? kEventScrollTop : kEventPageUp;
      break;
    case list_keys::kPageDown:
      code = ctrl ? kEventScrollBottom : kEventPageDown;
      break;
    default:
      return {};
  }
  ListResponse out;
  out.handled = true;
  out.events.push_back({code, key_code, '\0', true});
  return out;
}

ListResponse ListControl::MovingKey(std::int32_t key, std::int32_t key_code) {
  const bool ctrl = (key_code & list_keys::kCtrl) != 0;
  const std::int32_t records = Records();
  const std::int32_t last = records - 1;
  const std::int32_t current = selected_;
  std::int32_t target = 0;
  switch (key) {
    case list_keys::kHome:
      target = 0;
      break;
    case list_keys::kEnd:
      target = last;
      break;
    case list_keys::kUp:
      target = current - 1;
      break;
    case list_keys::kDown:
      target = current + 1;
      break;
    case list_keys::kPageUp:
      target = ctrl ? 0 : current - visible_rows_;
      break;
    case list_keys::kPageDown:
      target = ctrl ? last : (current < 0 ? visible_rows_ - 1 : current + visible_rows_);
      break;
    default:
      return {};
  }
  ListResponse out;
  out.handled = true;
  if (records == 0) return out;
  Choose(std::clamp(target, 0, last), key_code, false, out);
  return out;
}

ListResponse ListControl::TypeCharacter(char character) {
  ListResponse out;
  const auto typed = static_cast<unsigned char>(character);
  if (typed <= 0x20 || typed == 0x7F) return out;
  out.handled = true;
  if (Immediate()) {
    out.events.push_back({kEventLocate, 0, character, false});
    return out;
  }
  const std::int32_t records = Records();
  const int value_column = format_.ValueColumn();
  if (records == 0 || value_column < 0) return out;
  const std::int32_t field = format_.columns[static_cast<std::size_t>(value_column)].field;
  const unsigned char wanted = support::ToUpper(typed);
  const std::int32_t start = selected_ + 1;
  for (std::int32_t step = 0; step < records; ++step) {
    const std::int32_t record = (start + step) % records;
    if (!queue_->Fetch(record)) continue;
    const std::string_view text = queue_->Field(field);
    if (!text.empty() && support::ToUpper(static_cast<unsigned char>(text.front())) == wanted) {
      Choose(record, 0, false, out);
      break;
    }
  }
  return out;
}

ListResponse ListControl::Scroll(ListScrollAction action, int thumb_position) {
  ListResponse out;
  out.handled = true;
  if (Immediate()) {
    EventCode code = 0;
    switch (action) {
      case ListScrollAction::kLineUp:
        code = kEventScrollUp;
        break;
      case ListScrollAction::kLineDown:
        code = kEventScrollDown;
        break;
      case ListScrollAction::kPageUp:
        code = kEventPageUp;
        break;
      case ListScrollAction::kPageDown:
        code = kEventPageDown;
        break;
      case ListScrollAction::kTop:
        code = kEventScrollTop;
        break;
      case ListScrollAction::kBottom:
        code = kEventScrollBottom;
        break;
      case ListScrollAction::kThumbPosition:
      case ListScrollAction::kThumbTrack:
        immediate_position_ = std::clamp(thumb_position, 0, 100);
        Touch();
        code = action == ListScrollAction::kThumbPosition ? kEventScrollDrag : kEventScrollTrack;
        break;
      case ListScrollAction::kEndScroll:
        return out;
    }
    out.events.push_back({code, 0, '\0', false});
    return out;
  }
  switch (action) {
    case ListScrollAction::kLineUp:
      ScrollTo(top_row_ - 1);
      break;
    case ListScrollAction::kLineDown:
      ScrollTo(top_row_ + 1);
      break;
    case ListScrollAction::kPageUp:
      ScrollTo(top_row_ - visible_rows_);
      break;
    case ListScrollAction::kPageDown:
      ScrollTo(top_row_ + visible_rows_);
      break;
    case ListScrollAction::kTop:
      ScrollTo(0);
      break;
    case ListScrollAction::kBottom:
      ScrollTo(Records());
      break;
    case ListScrollAction::kThumbPosition:
    case ListScrollAction::kThumbTrack:
      ScrollTo(thumb_position);
      break;
    case ListScrollAction::kEndScroll:
      break;
  }
  return out;
}

ListResponse ListControl::Click(int page_row, std::int32_t key_code) {
  ListResponse out;
  out.handled = true;
  const std::int32_t masked = key_code & list_keys::kCompareMask;
  const std::int32_t button = masked & 0xFF;
  const bool right = button == list_keys::kRightClick || button == list_keys::kRightDoubleClick;
  const std::int32_t record = top_row_ + page_row;
  const bool on_record = page_row >= 0 && page_row < visible_rows_ && record < Records();
  if (on_record) {
    Choose(record, key_code, right, out);
  } else if (right) {
    out.events.push_back({kEventNewSelection, key_code, '\0', false});
  }
  if (IsAlertKey(masked)) {
    out.events.push_back({kEventAlertKey, key_code, '\0', false});
    return out;
  }
  if (button == list_keys::kLeftDoubleClick && on_record) Accept(key_code, out);
  return out;
}

int ListControl::PageRowAtPixel(int y) const {
  if (y < header_pixels_) return -1;
  return (y - header_pixels_) / std::max(1, RowHeightPixels());
}

bool ListControl::ResizeColumn(int column, std::int32_t width) {
  if (column < 0 || static_cast<std::size_t>(column) >= format_.columns.size()) return false;
  ListColumn& shown = format_.columns[static_cast<std::size_t>(column)];
  if (!shown.Has(kColumnResizable)) return false;
  // Dragged to nothing, a column would vanish for good: it keeps a unit.
  width = std::clamp<std::int32_t>(width, 1, kMaxFormatNumber);
  if (shown.width == width) return false;
  shown.width = width;
  Relayout();
  return true;
}

}  // namespace vaultrix::windows
