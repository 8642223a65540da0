// Producing what a list shows: the header lines and the display strings of
// the visible rows, from the column table and the queue. This is a plain
// function of the list's state; the list publishes its result to the window
// system, so that every display driver renders the same text.
//
// Display strings are laid out in character cells of the font's average
// character width: each cell is exactly as many characters as the column is
// wide (an empty column gives an empty cell), holding the field formatted by
// the column's picture, aligned by the column's alignment and indent and cut
// at the cell's edges. Cells are joined by a tab, so a driver can take the
// cells apart again and lay them out in its own font; the lines of a row
// whose columns continue on further lines ("/") are joined by a line feed.
// Control characters of field texts show as blanks. A tree column's text is
// moved right by two characters for every level below the first (the level is
// the column's tree field; a negative level is a contracted one and counts by
// its size); icons and colours are left to the drivers, which find their
// field numbers in the column table.
//
// Alignment inside a cell: left starts after the indent; right ends the
// indent before the right edge; centre centres the text in what follows the
// indent; decimal puts the column's decimal character where a right-aligned
// text with the picture's decimal places would have it (a text without one
// ends just before that place). Text that does not fit is cut at the cell's
// edges: left-aligned text loses its end, right-aligned text its start.
// Trailing blanks of a formatted value never count; leading blanks count only
// for left-aligned columns, where they are part of the picture's layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/windows/list_format.h"
#include "runtime/windows/list_queue.h"

namespace vaultrix::windows {

inline constexpr char kCellSeparator = '\t';
inline constexpr char kRowLineSeparator = '\n';

struct ListPage {
  // A group header line when a bracketed group has a header (one cell per
  // group), then the column headers, one string per header text line.
  std::vector<std::string> header_lines;
  // One display string per visible row that holds a record.
  std::vector<std::string> rows;
};

// What the list is showing: its table, font and first record.
struct ListPageRequest {
  const ListFormat* format = nullptr;
  DialogMetrics metrics;
  std::int32_t first_record = 0;  // from 0
  int visible_rows = 1;
  // Characters each scrolling column's text is scrolled by, by column; may be
  // shorter than the table (missing entries are 0).
  const std::vector<int>* column_offsets = nullptr;
};

// The header lines and rows of the page.
[[nodiscard]] ListPage ProduceListPage(const ListPageRequest& request, ListQueue& queue);

// The rows alone (the header lines do not change while the list scrolls).
void ProduceListRows(const ListPageRequest& request, ListQueue& queue,
                     std::vector<std::string>* rows);

// The header lines alone; empty when no column or group has a header.
[[nodiscard]] std::vector<std::string> ProduceListHeaders(const ListFormat& format,
                                                          const DialogMetrics& metrics);

// Header text lines of the list: 0 when nothing has a header.
[[nodiscard]] int ListHeaderLines(const ListFormat& format);

// Appends one cell: `field` formatted by the column's picture, placed in the
// column's width in characters. `offset` characters are dropped from the
// front of a scrolling column's text; `tree_level` is the tree field's value.
void AppendListCell(const ListColumn& column, std::string_view field, const DialogMetrics& metrics,
                    int offset, std::string& out, std::int64_t tree_level = 0);

}  // namespace vaultrix::windows
