// The list control's table, geometry, selection and page.
#include "runtime/windows/ctllist.h"

#include <algorithm>

#include "runtime/support/fixed_string.h"
#include "runtime/windows/description_view.h"

namespace vaultrix::windows {

void FixedTextUse::Store(std::string_view text) {
  support::AssignFixed(field_, text);
}

void FixedTextUse::Clear() {
  support::BlankFixed(field_);
}

ListControl::ListControl(std::uint32_t attributes, DialogMetrics metrics)
    : attributes_(attributes), metrics_(metrics) {
  if (metrics_.char_width <= 0) metrics_.char_width = 1;
  if (metrics_.char_height <= 0) metrics_.char_height = 1;
  Relayout();
}

ListControl ListControl::FromDescription(const ControlView& view, DialogMetrics metrics) {
  ListControl list(view.flags, metrics);
  (void)list.SetFormat(view.format);
  list.SetHeight(view.at.height);
  return list;
}

bool ListControl::SetFormat(std::string_view text) {
  if (!ParseListFormat(text, &format_)) return false;
  Relayout();
  return true;
}

void ListControl::SetHeight(std::int32_t dialog_units) {
  height_units_ = dialog_units;
  Relayout();
}

int ListControl::RowHeightPixels() const {
  return ListRowLines(format_) * metrics_.char_height;
}

void ListControl::Relayout() {
  LayOutListColumns(format_, metrics_);
  int header = ListHeaderLines(format_) * metrics_.char_height;
  auto taller = [&](std::uint32_t flags2, std::int32_t height) {
    if ((flags2 & kColumnHeaderHeight) != 0) {
      header = std::max(header, metrics_.VerticalPixels(height));
    }
  };
  for (const ListColumn& column : format_.columns) taller(column.flags2, column.header_height);
  for (const ListGroup& group : format_.groups) taller(group.flags2, group.header_height);
  header_pixels_ = header;
  const int client = metrics_.VerticalPixels(height_units_);
  visible_rows_ = std::max(1, (client - header_pixels_) / std::max(1, RowHeightPixels()));
  ClampRows();
  Touch();
}

void ListControl::BindQueue(ListQueue* queue) {
  queue_ = queue;
  QueueChanged();
}

std::int32_t ListControl::Records() const {
  return queue_ == nullptr ? 0 : queue_->Records();
}

void ListControl::QueueChanged() {
  ClampRows();
  Touch();
}

void ListControl::ClampRows() {
  const std::int32_t records = Records();
  if (selected_ >= records) selected_ = records - 1;
  if (Immediate()) {
    top_row_ = 0;
    return;
  }
  top_row_ = std::clamp<std::int32_t>(top_row_, 0, std::max(0, records - visible_rows_));
}

int ListControl::ScrollPosition() const {
  return Immediate() ? immediate_position_ : static_cast<int>(top_row_);
}

ListScrollRange ListControl::ScrollRange() const {
  if (Immediate()) return {0, 100, immediate_bar_shown_};
  const std::int32_t high = Records() - visible_rows_;
  if (high <= 0) return {0, 0, false};
  return {0, static_cast<int>(high), true};
}

void ListControl::ScrollTo(std::int32_t top_row) {
  if (Immediate()) return;
  const std::int32_t before = top_row_;
  top_row_ = top_row;
  ClampRows();
  if (top_row_ != before) Touch();
}

void ListControl::ShowRecord(std::int32_t record) {
  if (record < top_row_) {
    ScrollTo(record);
  } else if (record >= top_row_ + visible_rows_) {
    ScrollTo(record - visible_rows_ + 1);
  }
}

int ListControl::SelectedPageRow() const {
  if (selected_ < top_row_ || selected_ >= top_row_ + visible_rows_) return -1;
  return static_cast<int>(selected_ - top_row_);
}

void ListControl::Choose(std::int32_t record, std::int32_t key_code, bool always_tell,
                         ListResponse& out) {
  const bool moved = record != selected_;
  selected_ = record < 0 ? -1 : record;
  const int value_column = format_.ValueColumn();
  if (selected_ >= 0) {
    ShowRecord(selected_);
    if (use_ != nullptr) {
      if (value_column >= 0 && queue_ != nullptr && queue_->Fetch(selected_)) {
        use_->Store(queue_->Field(format_.columns[static_cast<std::size_t>(value_column)].field));
      } else {
        use_->Clear();
      }
    }
  } else if (use_ != nullptr) {
    use_->Clear();
  }
  Touch();
  if (moved || always_tell) out.events.push_back({kEventNewSelection, key_code, '\0', false});
}

void ListControl::Accept(std::int32_t key_code, ListResponse& out) {
  Choose(selected_, key_code, false, out);
  out.events.push_back({kEventAccepted, key_code, '\0', false});
}

ListPage ListControl::ProducePage() const {
  ListPageRequest request;
  request.format = &format_;
  request.metrics = metrics_;
  request.first_record = top_row_;
  request.visible_rows = visible_rows_;
  std::vector<int> offsets;
  if (column_offset_ != 0) {
    offsets.assign(format_.columns.size(), column_offset_);
    request.column_offsets = &offsets;
  }
  if (queue_ == nullptr) {
    ListPage page;
    page.header_lines = ProduceListHeaders(format_, metrics_);
    return page;
  }
  return ProduceListPage(request, *queue_);
}

}  // namespace vaultrix::windows
