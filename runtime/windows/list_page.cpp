// Cells, rows and headers of a list page, in character cells.
#include "runtime/windows/list_page.h"

#include <algorithm>
#include <charconv>

#include "runtime/support/decimal.h"
#include "runtime/support/utf8_text.h"

namespace vaultrix::windows {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The value a field's text stands for under a picture of the given kind;
// false when the text is no such value (the cell then shows the text).
bool FieldValue(std::string_view field, PictureKind kind, support::Decimal* decimal,
                std::int64_t* number) {
  const std::string_view text = Trimmed(field);
  switch (kind) {
    case PictureKind::kNumber:
    case PictureKind::kScientific: {
      if (text.empty()) {
        *decimal = support::Decimal::FromLong(0);
        return true;
      }
      auto parsed = support::Decimal::Parse(text);
      if (!parsed) return false;
      *decimal = *parsed;
      return true;
    }
    case PictureKind::kDate:
    case PictureKind::kTime:
    case PictureKind::kPattern: {
      if (text.empty()) {
        *number = 0;
        return true;
      }
      auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
      return error == std::errc() && end == text.data() + text.size();
    }
    default:
      return false;
  }
}

int CellWidth(const ListColumn& column, const DialogMetrics& metrics) {
  if (metrics.char_width <= 0) return 0;
  return std::max(0, (column.right - column.left) / metrics.char_width);
}

int Chars(int pixels, const DialogMetrics& metrics) {
  return metrics.char_width <= 0 ? 0 : pixels / metrics.char_width;
}

// The bytes of the character at `at`: a UTF-8 character whole, any other
// byte alone.
std::size_t CharacterBytes(std::string_view text, std::size_t at) {
  return std::max<std::size_t>(1, support::Utf8CharacterAt(text, at));
}

int Characters(std::string_view text) {
  int count = 0;
  for (std::size_t at = 0; at < text.size(); at += CharacterBytes(text, at)) ++count;
  return count;
}

// `text` without its first `count` characters.
std::string_view AfterCharacters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (; count > 0 && at < text.size(); --count) at += CharacterBytes(text, at);
  return text.substr(std::min(at, text.size()));
}

// Places `text` at `start` in a cell of `width` blanks appended to `out`,
// cutting what falls outside; control characters become blanks. A cell holds
// characters, not bytes: a character of several bytes takes one place and is
// cut whole or not at all.
void Place(std::string_view text, int start, int width, std::string& out) {
  int place = start;
  int filled = 0;
  for (std::size_t i = 0; i < text.size() && place < width; ++place) {
    const std::size_t length = CharacterBytes(text, i);
    if (place >= 0) {
      out.append(static_cast<std::size_t>(place - filled), ' ');
      if (length == 1) {
        const auto c = static_cast<unsigned char>(text[i]);
        out.push_back((c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c));
      } else {
        out.append(text.substr(i, length));
      }
      filled = place + 1;
    }
    i += length;
  }
  out.append(static_cast<std::size_t>(width - filled), ' ');
}

void AlignInto(std::string_view text, ListAlign align, int indent, int width, char decimal_char,
               int places, std::string& out) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (align != ListAlign::kLeft) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
  const int length = Characters(text);
  int start = indent;
  switch (align) {
    case ListAlign::kLeft:
      break;
    case ListAlign::kRight:
      start = width - indent - length;
      break;
    case ListAlign::kCentre:
      start = indent + (width - indent - length) / 2;
      break;
    case ListAlign::kDecimal: {
      const std::size_t point = text.find(decimal_char);
      const int before =
          point == std::string_view::npos ? length : Characters(text.substr(0, point));
      const int tail = places > 0 ? places + 1 : 0;
      start = width - indent - tail - before;
      break;
    }
  }
  Place(text, start, width, out);
}

std::string_view HeaderLine(std::string_view header, int line) {
  for (int i = 0; i < line; ++i) {
    const std::size_t end = header.find('\n');
    if (end == std::string_view::npos) return {};
    header.remove_prefix(end + 1);
  }
  std::string_view text = header.substr(0, header.find('\n'));
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

int TextLines(std::string_view text) {
  if (text.empty()) return 0;
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Index ranges of the columns on each line of a row.
std::vector<std::pair<int, int>> RowLineRanges(const ListFormat& format) {
  std::vector<std::pair<int, int>> ranges;
  int first = 0;
  const int count = static_cast<int>(format.columns.size());
  for (int i = 0; i < count; ++i) {
    if (format.columns[static_cast<std::size_t>(i)].Has(kColumnNewLine) && i + 1 < count) {
      ranges.emplace_back(first, i + 1);
      first = i + 1;
    }
  }
  ranges.emplace_back(first, count);
  return ranges;
}

}  // namespace

void AppendListCell(const ListColumn& column, std::string_view field, const DialogMetrics& metrics,
                    int offset, std::string& out, std::int64_t tree_level) {
  const int width = CellWidth(column, metrics);
  if (width == 0) return;
  const Picture& picture = column.picture;
  PictureText shown;
  std::string_view text = field;
  if (picture.kind() != PictureKind::kNone) {
    support::Decimal decimal;
    std::int64_t number = 0;
    const PictureKind kind = picture.kind();
    if (kind == PictureKind::kString || kind == PictureKind::kKeyIn) {
      shown = FormatValue(PictureValue::Text(field), picture);
      text = shown.view();
    } else if (FieldValue(field, kind, &decimal, &number)) {
      shown = (kind == PictureKind::kNumber || kind == PictureKind::kScientific)
                  ? FormatValue(PictureValue::FromDecimal(decimal), picture)
                  : FormatValue(PictureValue::Long(number), picture);
      text = shown.view();
    }
  }
  if (column.Has(kColumnScrolling) && offset > 0) {
    text = AfterCharacters(text, static_cast<std::size_t>(offset));
  }
  const int places = picture.kind() == PictureKind::kNumber ? picture.places : 0;
  int indent = Chars(column.pixel_data_indent, metrics);
  if (column.Has(kColumnTree)) {
    const std::int64_t level =
        std::clamp<std::int64_t>(tree_level, -kMaxFormatNumber, kMaxFormatNumber);
    const std::int64_t depth = level < 0 ? -level : level;
    indent += static_cast<int>(std::clamp<std::int64_t>(depth - 1, 0, width)) * 2;
  }
  AlignInto(text, column.data_alignment, indent, width, column.decimal_char, places, out);
}

int ListHeaderLines(const ListFormat& format) {
  int lines = 0;
  bool group_headers = false;
  for (const ListGroup& group : format.groups) {
    if (group.bracketed && !group.header.empty()) group_headers = true;
  }
  for (const auto& [first, end] : RowLineRanges(format)) {
    int line_lines = 0;
    for (int i = first; i < end; ++i) {
      line_lines =
          std::max(line_lines, TextLines(format.columns[static_cast<std::size_t>(i)].header));
    }
    lines += line_lines;
  }
  return lines + (group_headers ? 1 : 0);
}

std::vector<std::string> ProduceListHeaders(const ListFormat& format,
                                            const DialogMetrics& metrics) {
  std::vector<std::string> lines;
  const bool group_headers =
      std::any_of(format.groups.begin(), format.groups.end(),
                  [](const ListGroup& g) { return g.bracketed && !g.header.empty(); });
  if (group_headers) {
    std::string line;
    for (std::size_t g = 0; g < format.groups.size(); ++g) {
      const ListGroup& group = format.groups[g];
      int width = 0;
      for (int i = group.first_column; i < group.first_column + group.column_count; ++i) {
        width += CellWidth(format.columns[static_cast<std::size_t>(i)], metrics);
      }
      if (g > 0) line += kCellSeparator;
      AlignInto(HeaderLine(group.header, 0), group.header_alignment,
                Chars(metrics.HorizontalPixels(group.header_indent), metrics), width, '.', 0, line);
    }
    lines.push_back(std::move(line));
  }
  for (const auto& [first, end] : RowLineRanges(format)) {
    int count = 0;
    for (int i = first; i < end; ++i) {
      count = std::max(count, TextLines(format.columns[static_cast<std::size_t>(i)].header));
    }
    for (int k = 0; k < count; ++k) {
      std::string line;
      for (int i = first; i < end; ++i) {
        const ListColumn& column = format.columns[static_cast<std::size_t>(i)];
        if (i > first) line += kCellSeparator;
        const int width = CellWidth(column, metrics);
        if (width == 0) continue;
        AlignInto(HeaderLine(column.header, k), column.header_alignment,
                  Chars(column.pixel_header_indent, metrics), width, column.decimal_char, 0, line);
      }
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

void ProduceListRows(const ListPageRequest& request, ListQueue& queue,
                     std::vector<std::string>* rows) {
  rows->clear();
  if (request.format == nullptr) return;
  const ListFormat& format = *request.format;
  const std::int32_t records = queue.Records();
  const std::int32_t first = std::max<std::int32_t>(0, request.first_record);
  for (int row = 0; row < request.visible_rows; ++row) {
    const std::int32_t record = first + row;
    if (record >= records || !queue.Fetch(record)) break;
    std::string text;
    text.reserve(128);
    const std::size_t count = format.columns.size();
    for (std::size_t i = 0; i < count; ++i) {
      const ListColumn& column = format.columns[i];
      if (i > 0) {
        const bool new_line = format.columns[i - 1].Has(kColumnNewLine);
        text += new_line ? kRowLineSeparator : kCellSeparator;
      }
      int offset = 0;
      if (request.column_offsets != nullptr && i < request.column_offsets->size()) {
        offset = (*request.column_offsets)[i];
      }
      std::int64_t level = 0;
      if (column.tree_field != kNoField) {
        const std::string_view level_text = Trimmed(queue.Field(column.tree_field));
        (void)std::from_chars(level_text.data(), level_text.data() + level_text.size(), level);
      }
      AppendListCell(column, queue.Field(column.field), request.metrics, offset, text, level);
    }
    rows->push_back(std::move(text));
  }
}

ListPage ProduceListPage(const ListPageRequest& request, ListQueue& queue) {
  ListPage page;
  if (request.format == nullptr) return page;
  page.header_lines = ProduceListHeaders(*request.format, request.metrics);
  ProduceListRows(request, queue, &page.rows);
  return page;
}

}  // namespace vaultrix::windows
