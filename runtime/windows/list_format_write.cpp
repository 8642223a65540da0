// The format-string writer (what reading the format property answers) and the
// pixel layout of the columns.
#include <algorithm>
#include <string>

#include "runtime/windows/list_format.h"

namespace vaultrix::windows {
namespace {

constexpr char kAlignLetters[] = "LRCD";

char AlignLetter(ListAlign align) {
  return kAlignLetters[static_cast<int>(align) & 3];
}

void AppendParenNumber(std::string& out, std::int32_t number) {
  out += '(';
  out += std::to_string(number);
  out += ')';
}

// "|", "_", "F" and "M", in the order the writer gives them.
void AppendFrameFlags(std::string& out, std::uint32_t flags) {
  if ((flags & kColumnRightBorder) != 0) out += '|';
  if ((flags & kColumnUnderline) != 0) out += '_';
  if ((flags & kColumnFixed) != 0) out += 'F';
  if ((flags & kColumnResizable) != 0) out += 'M';
}

void AppendHeader(std::string& out, const std::string& header, ListAlign header_alignment,
                  std::int32_t header_indent, ListAlign base_alignment, std::int32_t base_indent) {
  if (header.empty() && header_alignment == base_alignment && header_indent == base_indent) return;
  out += '~';
  out += header;
  out += '~';
  if (header_alignment != base_alignment) out += AlignLetter(header_alignment);
  if (header_indent != base_indent) AppendParenNumber(out, header_indent);
}

void AppendScrollAndHeight(std::string& out, std::uint32_t flags, std::uint32_t flags2,
                           std::int32_t scroll_width, std::int32_t header_height) {
  if ((flags & kColumnScrolling) != 0) {
    out += 'S';
    AppendParenNumber(out, scroll_width);
  }
  if ((flags2 & kColumnHeaderHeight) != 0) {
    out += 'H';
    if (header_height != 0) AppendParenNumber(out, header_height);
  }
}

void AppendTree(std::string& out, const ListColumn& column) {
  out += 'T';
  if ((column.flags2 & kTreeOptions) == 0) return;
  out += '(';
  if (column.Has2(kTreeOptionL)) out += 'L';
  if (column.Has2(kTreeOption1)) out += '1';
  if (column.Has2(kTreeOptionR)) out += 'R';
  if (column.Has2(kTreeOptionB)) out += 'B';
  if (column.Has2(kTreeOptionI)) out += 'I';
  out += ')';
}

void AppendColumn(std::string& out, const ListColumn& column, std::int32_t implicit_field) {
  out += std::to_string(column.width);
  out += AlignLetter(column.data_alignment);
  if (column.data_indent != 0) AppendParenNumber(out, column.data_indent);
  AppendFrameFlags(out, column.flags);
  if (column.Has2(kColumnColours)) out += '*';
  if (column.Has(kColumnIcon)) out += 'I';
  if (column.Has(kColumnTree)) AppendTree(out, column);
  AppendHeader(out, column.header, column.header_alignment, column.header_indent,
               column.data_alignment, column.data_indent);
  AppendScrollAndHeight(out, column.flags, column.flags2, column.scroll_width,
                        column.header_height);
  if (column.field != implicit_field) {
    out += '#';
    out += std::to_string(column.field);
    out += '#';
  }
  if (!column.picture_text.empty()) {
    out += column.picture_text;
    out += '@';
  }
  if (column.Has(kColumnNewLine)) out += '/';
  if (column.Has(kColumnValue)) out += '?';
}

void AppendGroupTail(std::string& out, const ListGroup& group) {
  if (group.width) AppendParenNumber(out, *group.width);
  AppendFrameFlags(out, group.flags);
  AppendHeader(out, group.header, group.header_alignment, group.header_indent, ListAlign::kLeft, 0);
  AppendScrollAndHeight(out, group.flags, group.flags2, group.scroll_width, group.header_height);
}

}  // namespace

std::string WriteListFormat(const ListFormat& format) {
  std::string out;
  out.reserve(format.columns.size() * 32);
  std::int32_t next_field = 0;
  const int column_count = static_cast<int>(format.columns.size());
  for (const ListGroup& group : format.groups) {
    if (group.bracketed) out += '[';
    const int end = std::min(group.first_column + group.column_count, column_count);
    for (int i = std::max(group.first_column, 0); i < end; ++i) {
      const ListColumn& column = format.columns[static_cast<std::size_t>(i)];
      AppendColumn(out, column, next_field);
      next_field = column.field + 1 + column.Extras();
    }
    if (group.bracketed) {
      out += ']';
      AppendGroupTail(out, group);
    }
  }
  return out;
}

int DialogMetrics::HorizontalPixels(std::int32_t units) const {
  return static_cast<int>(static_cast<std::int64_t>(units) * char_width / 4);
}

int DialogMetrics::VerticalPixels(std::int32_t units) const {
  return static_cast<int>(static_cast<std::int64_t>(units) * char_height / 8);
}

void LayOutListColumns(ListFormat& format, const DialogMetrics& metrics) {
  int x = 0;
  int line = 0;
  for (ListColumn& column : format.columns) {
    const int width = std::max(0, metrics.HorizontalPixels(column.width));
    column.left = x;
    column.right = x + width;
    column.top = line * metrics.char_height;
    column.bottom = column.top + metrics.char_height;
    column.pixel_data_indent = metrics.HorizontalPixels(column.data_indent);
    column.pixel_header_indent = metrics.HorizontalPixels(column.header_indent);
    column.pixel_scroll_width = metrics.HorizontalPixels(column.scroll_width);
    x += width;
    if (column.Has(kColumnNewLine)) {
      x = 0;
      ++line;
    }
  }
}

int ListRowLines(const ListFormat& format) {
  int lines = 1;
  for (std::size_t i = 0; i + 1 < format.columns.size(); ++i) {
    if (format.columns[i].Has(kColumnNewLine)) ++lines;
  }
  return lines;
}

}  // namespace vaultrix::windows
