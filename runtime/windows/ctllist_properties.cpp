// The list control's properties: the format string, rows, scrolling and
// selection, alert keys, and the attributes of single columns and groups.
#include <algorithm>
#include <charconv>
#include <string>

#include "runtime/windows/ctllist.h"

namespace vaultrix::windows {
namespace {

constexpr std::size_t kMaxAlertKeys = 255;

std::optional<std::int32_t> ParseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  if (value > kMaxFormatNumber || value < -kMaxFormatNumber) return std::nullopt;
  return value;
}

std::optional<ListAlign> ParseAlign(std::string_view text) {
  if (text.size() != 1) return std::nullopt;
  switch (text[0]) {
    case 'L':
    case 'l':
    case '0':
      return ListAlign::kLeft;
    case 'R':
    case 'r':
    case '1':
      return ListAlign::kRight;
    case 'C':
    case 'c':
    case '2':
      return ListAlign::kCentre;
    case 'D':
    case 'd':
    case '3':
      return ListAlign::kDecimal;
    default:
      return std::nullopt;
  }
}

std::string AlignText(ListAlign align) {
  return std::string(1, "LRCD"[static_cast<int>(align) & 3]);
}

std::string Flag(bool set) {
  return set ? "1" : "0";
}

std::optional<std::uint32_t> FlagOf(std::int32_t number) {
  switch (number) {
    case kPropColumnResizable:
      return kColumnResizable;
    case kPropColumnFixed:
      return kColumnFixed;
    case kPropColumnRightBorder:
      return kColumnRightBorder;
    case kPropColumnUnderline:
      return kColumnUnderline;
    default:
      return std::nullopt;
  }
}

bool IsColumnProperty(std::int32_t number) {
  return number >= 0x7E00 && number < 0x7E20;
}
bool IsGroupProperty(std::int32_t number) {
  return number >= 0x7E20 && number < 0x7E40;
}

}  // namespace

std::optional<std::string> ListControl::ColumnProperty(std::int32_t number,
                                                       const ListColumn& column, int) const {
  if (auto flag = FlagOf(number)) return Flag(column.Has(*flag));
  switch (number) {
    case kPropColumnWidth:
      return std::to_string(column.width);
    case kPropColumnHeader:
      return column.header;
    case kPropColumnPicture:
      return column.picture_text;
    case kPropColumnAlign:
      return AlignText(column.data_alignment);
    case kPropColumnHeaderAlign:
      return AlignText(column.header_alignment);
    case kPropColumnIndent:
      return std::to_string(column.data_indent);
    case kPropColumnHeaderIndent:
      return std::to_string(column.header_indent);
    case kPropColumnField:
      return std::to_string(column.field);
    case kPropColumnScrolling:
      return Flag(column.Has(kColumnScrolling));
    case kPropColumnScrollWidth:
      return std::to_string(column.scroll_width);
    case kPropColumnValue:
      return Flag(column.Has(kColumnValue));
    case kPropColumnLeft:
      return std::to_string(column.left);
    case kPropColumnRight:
      return std::to_string(column.right);
    case kPropColumnGroup:
      return std::to_string(column.group + 1);
    default:
      return std::string();
  }
}

std::optional<std::string> ListControl::GetProperty(std::int32_t number, std::int32_t index) const {
  switch (number) {
    case kPropFormat:
      return Format();
    case kPropItems:
      return std::to_string(visible_rows_);
    case kPropVScrollPos:
      return std::to_string(ScrollPosition());
    case kPropHScrollPos:
      return std::to_string(column_offset_);
    case kPropSelected:
      return std::to_string(selected_ + 1);
    case kPropVScrollShown:
      return Flag(ScrollRange().shown);
    case kPropColumnCount:
      return std::to_string(format_.columns.size());
    case kPropAlertKeys:
      if (index < 1 || static_cast<std::size_t>(index) > alert_keys_.size()) return "0";
      return std::to_string(alert_keys_[static_cast<std::size_t>(index) - 1]);
    default:
      break;
  }
  if (IsColumnProperty(number)) {
    if (index < 1 || static_cast<std::size_t>(index) > format_.columns.size()) return std::string();
    return ColumnProperty(number, format_.columns[static_cast<std::size_t>(index) - 1], index);
  }
  if (IsGroupProperty(number)) {
    if (index < 1 || static_cast<std::size_t>(index) > format_.groups.size()) return std::string();
    const ListGroup& group = format_.groups[static_cast<std::size_t>(index) - 1];
    switch (number) {
      case kPropGroupHeader:
        return group.header;
      case kPropGroupWidth:
        return group.width ? std::to_string(*group.width) : std::string();
      case kPropGroupColumns:
        return std::to_string(group.column_count);
      default:
        return std::string();
    }
  }
  return std::nullopt;
}

PropertyStatus ListControl::SetColumnProperty(std::int32_t number, ListColumn& column, int index,
                                              std::string_view value) {
  if (number == kPropColumnHeader) {
    if (value.find('~') != std::string_view::npos) return PropertyStatus::kInvalid;
    column.header.assign(value);
    return PropertyStatus::kOk;
  }
  if (number == kPropColumnPicture) {
    return SetColumnPicture(column, value) ? PropertyStatus::kOk : PropertyStatus::kInvalid;
  }
  if (number == kPropColumnAlign || number == kPropColumnHeaderAlign) {
    const auto align = ParseAlign(value);
    if (!align) return PropertyStatus::kInvalid;
    (number == kPropColumnAlign ? column.data_alignment : column.header_alignment) = *align;
    return PropertyStatus::kOk;
  }
  const auto parsed = ParseNumber(value);
  if (!parsed) return PropertyStatus::kInvalid;
  const std::int32_t n = *parsed;
  if (auto flag = FlagOf(number)) {
    column.flags = n != 0 ? column.flags | *flag : column.flags & ~*flag;
    return PropertyStatus::kOk;
  }
  switch (number) {
    case kPropColumnWidth:
      column.width = n;
      break;
    case kPropColumnIndent:
      column.data_indent = n;
      break;
    case kPropColumnHeaderIndent:
      column.header_indent = n;
      break;
    case kPropColumnField:
      if (n < 0 || n > kMaxFieldNumber) return PropertyStatus::kInvalid;
      column.field = n;
      AssignExtraFields(column);
      break;
    case kPropColumnScrolling:
      if (n != 0) {
        column.flags |= kColumnScrolling;
      } else {
        column.flags &= ~kColumnScrolling;
        column.scroll_width = kDefaultScrollWidth;
      }
      break;
    case kPropColumnScrollWidth:
      column.flags |= kColumnScrolling;
      column.scroll_width = n;
      break;
    case kPropColumnValue:
      for (ListColumn& other : format_.columns) other.flags &= ~kColumnValue;
      if (n != 0) column.flags |= kColumnValue;
      break;
    default:
      return PropertyStatus::kInvalid;  // read only or unknown
  }
  (void)index;
  return PropertyStatus::kOk;
}

PropertyStatus ListControl::SetGroupProperty(std::int32_t number, ListGroup& group,
                                             std::string_view value) {
  switch (number) {
    case kPropGroupHeader:
      if (value.find('~') != std::string_view::npos || !group.bracketed) {
        return PropertyStatus::kInvalid;
      }
      group.header.assign(value);
      return PropertyStatus::kOk;
    case kPropGroupWidth: {
      if (!group.bracketed) return PropertyStatus::kInvalid;
      if (value.empty()) {
        group.width.reset();
        return PropertyStatus::kOk;
      }
      const auto n = ParseNumber(value);
      if (!n) return PropertyStatus::kInvalid;
      group.width = *n;
      return PropertyStatus::kOk;
    }
    default:
      return PropertyStatus::kInvalid;
  }
}

PropertyStatus ListControl::SetProperty(std::int32_t number, std::int32_t index,
                                        std::string_view value) {
  if (number == kPropFormat)
    return SetFormat(value) ? PropertyStatus::kOk : PropertyStatus::kInvalid;
  const bool known =
      number == kPropItems || number == kPropVScrollPos || number == kPropHScrollPos ||
      number == kPropSelected || number == kPropVScrollShown || number == kPropAlertKeys ||
      number == kPropColumnCount || IsColumnProperty(number) || IsGroupProperty(number);
  if (!known) return PropertyStatus::kNotListProperty;
  if (IsColumnProperty(number) || IsGroupProperty(number)) {
    const bool column = IsColumnProperty(number);
    const std::size_t count = column ? format_.columns.size() : format_.groups.size();
    if (index < 1 || static_cast<std::size_t>(index) > count) return PropertyStatus::kInvalid;
    const std::size_t at = static_cast<std::size_t>(index) - 1;
    const PropertyStatus status = column
                                      ? SetColumnProperty(number, format_.columns[at], index, value)
                                      : SetGroupProperty(number, format_.groups[at], value);
    if (status == PropertyStatus::kOk) Relayout();
    return status;
  }
  const auto n = ParseNumber(value);
  if (!n) return PropertyStatus::kInvalid;
  switch (number) {
    case kPropVScrollPos:
      if (Immediate()) {
        immediate_position_ = std::clamp(*n, 0, 100);
        Touch();
      } else {
        ScrollTo(*n);
      }
      return PropertyStatus::kOk;
    case kPropHScrollPos:
      if (*n < 0) return PropertyStatus::kInvalid;
      column_offset_ = *n;
      Touch();
      return PropertyStatus::kOk;
    case kPropSelected: {
      if (*n < 0 || *n > Records()) return PropertyStatus::kInvalid;
      ListResponse ignored;
      Choose(*n - 1, 0, false, ignored);
      return PropertyStatus::kOk;
    }
    case kPropVScrollShown:
      immediate_bar_shown_ = *n != 0;
      Touch();
      return PropertyStatus::kOk;
    case kPropAlertKeys:
      if (index < 1 || static_cast<std::size_t>(index) > kMaxAlertKeys) {
        return PropertyStatus::kInvalid;
      }
      if (static_cast<std::size_t>(index) > alert_keys_.size()) {
        alert_keys_.resize(static_cast<std::size_t>(index), 0);
      }
      alert_keys_[static_cast<std::size_t>(index) - 1] = *n & list_keys::kCompareMask;
      return PropertyStatus::kOk;
    default:
      return PropertyStatus::kInvalid;  // read only
  }
}

}  // namespace vaultrix::windows
