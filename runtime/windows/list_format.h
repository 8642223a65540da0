// The column model of a list control and its format string: the column table
// that the list draws from, the groups that span columns under a header of
// their own, and the parser and writer of the format text.
//
// Grammar (left to right, one column after another):
//   format  := { group | column }
//   group   := "[" column { column } "]" [ "(" width ")" ] { group-modifier }
//   column  := width [ "L" | "R" | "C" | "D" ] [ "(" indent ")" ] { modifier }
//   modifier:= "/" | "@" picture "@" | "?" | "#" field "#" | "*" | "I" | "T" [ "(" options ")" ]
//            | "M" | "F" | "|" | "_" | "S" [ "(" width ")" ] | "H" [ "(" height ")" ]
//            | "~" header "~" [ "L" | "R" | "C" | "D" ] [ "(" indent ")" ]
//   group-modifier := "M" | "F" | "|" | "_" | "S" [ "(" width ")" ] | "H" [ "(" height ")" ]
//            | "~" header "~" [ "L" | "R" | "C" | "D" ] [ "(" indent ")" ]
// Letters are read in either case; numbers are decimal, widths and indents may
// be negative. Sizes are dialog units of the window's font.
//
// Choices made here:
// - The writer emits everything the parser reads, so that parsing the text the
//   writer produced always gives the same table: "#n#" when a column's field is
//   not the one it would take by position, "H(n)" with the header height when
//   one was given (the parser takes "H" alone as well), and the header part
//   whenever its alignment or indent differ even if the text is empty.
// - A text the grammar does not describe (an unknown character, an unclosed
//   "@", "~", "#", "(" or "[", a number out of range) does not parse; the list
//   then keeps the table it had.
// - A picture that does not compile stays in the column as written (so the
//   format reads back unchanged) and the column shows its field's text as it is.
// - "#n#" numbers the queue fields from 0, as the column record does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/windows/picture.h"

namespace vaultrix::windows {

// Alignment codes (two bits).
enum class ListAlign : std::uint8_t { kLeft = 0, kRight = 1, kCentre = 2, kDecimal = 3 };

// Column and group flags.
inline constexpr std::uint32_t kColumnRightBorder = 0x10;
inline constexpr std::uint32_t kColumnUnderline = 0x20;
inline constexpr std::uint32_t kColumnFixed = 0x40;
inline constexpr std::uint32_t kColumnScrolling = 0x80;
inline constexpr std::uint32_t kColumnResizable = 0x100;
inline constexpr std::uint32_t kColumnNewLine = 0x200 | 0x4000;
inline constexpr std::uint32_t kColumnValue = 0x400;
inline constexpr std::uint32_t kColumnIcon = 0x800;
inline constexpr std::uint32_t kColumnTree = 0x8000;

// Second flags.
inline constexpr std::uint32_t kColumnColours = 0x1;
inline constexpr std::uint32_t kColumnHeaderHeight = 0x2;
inline constexpr std::uint32_t kTreeOptionL = 0x4;
inline constexpr std::uint32_t kTreeOptionB = 0x8;
inline constexpr std::uint32_t kTreeOptionI = 0x10;
inline constexpr std::uint32_t kTreeOption1 = 0x20;
inline constexpr std::uint32_t kTreeOptionR = 0x40;
inline constexpr std::uint32_t kTreeOptions =
    kTreeOptionL | kTreeOptionB | kTreeOptionI | kTreeOption1 | kTreeOptionR;

inline constexpr std::int32_t kDefaultScrollWidth = 100;  // dialog units
inline constexpr std::int32_t kNoField = -1;
// Numbers in a format string stay within these bounds.
inline constexpr std::int32_t kMaxFormatNumber = 999999;
inline constexpr std::int32_t kMaxFieldNumber = 9999;

// One column of the table. Sizes as written are dialog units; the pixel
// geometry is filled in by LayOutListColumns.
struct ListColumn {
  ListAlign data_alignment = ListAlign::kLeft;
  ListAlign header_alignment = ListAlign::kLeft;
  std::uint32_t flags = 0;
  std::uint32_t flags2 = 0;
  std::int32_t width = 0;  // 0 or negative: an empty column
  std::int32_t data_indent = 0;
  std::int32_t header_indent = 0;
  std::int32_t scroll_width = kDefaultScrollWidth;
  std::int32_t header_height = 0;  // "H(n)": 0 when none was given
  std::string header;              // line breaks start further header lines
  std::string picture_text;        // with its leading "@"; empty for none
  std::int32_t field = 0;          // queue field shown, from 0
  std::int32_t colour_field = kNoField;
  std::int32_t icon_field = kNoField;
  std::int32_t tree_field = kNoField;
  char decimal_char = '.';
  int group = 0;  // index of its group in ListFormat::groups

  // Pixels, from LayOutListColumns.
  int left = 0, right = 0, top = 0, bottom = 0;
  int pixel_data_indent = 0, pixel_header_indent = 0, pixel_scroll_width = 0;

  // The compiled picture; kind kNone when there is none or it did not compile.
  Picture picture;

  [[nodiscard]] bool Has(std::uint32_t flag) const { return (flags & flag) == flag; }
  [[nodiscard]] bool Has2(std::uint32_t flag) const { return (flags2 & flag) == flag; }
  [[nodiscard]] bool Empty() const { return width <= 0; }
  [[nodiscard]] int Extras() const;  // queue fields after its own: colours, icon, tree

  // Equal in everything but the compiled picture, which the text decides.
  friend bool operator==(const ListColumn& a, const ListColumn& b);
};

// A group of columns: its own header over the columns it spans. A column
// written outside brackets is a group of its own (not bracketed).
struct ListGroup {
  int first_column = 0;
  int column_count = 0;
  bool bracketed = false;
  std::optional<std::int32_t> width;  // "(n)" after "]", dialog units
  std::uint32_t flags = 0;            // kColumnRightBorder ... kColumnResizable
  std::uint32_t flags2 = 0;           // kColumnHeaderHeight
  std::int32_t scroll_width = kDefaultScrollWidth;
  std::int32_t header_height = 0;
  std::string header;
  ListAlign header_alignment = ListAlign::kLeft;
  std::int32_t header_indent = 0;

  friend bool operator==(const ListGroup&, const ListGroup&) = default;
};

struct ListFormat {
  std::vector<ListColumn> columns;
  std::vector<ListGroup> groups;

  // The column marked "?", else the first column; -1 when there are none.
  [[nodiscard]] int ValueColumn() const;
  // Queue fields the columns take, counted from 0 to the highest used.
  [[nodiscard]] int FieldCount() const;

  friend bool operator==(const ListFormat&, const ListFormat&) = default;
};

// Parses the format text in [ptr, limit). On success replaces *format and
// answers true; otherwise answers false and leaves *format as it was. Never
// reads outside [ptr, limit).
[[nodiscard]] bool ParseListFormat(const char* ptr, const char* limit, ListFormat* format);
[[nodiscard]] inline bool ParseListFormat(std::string_view text, ListFormat* format) {
  return ParseListFormat(text.data(), text.data() + text.size(), format);
}

// The format text of a table: what reading the format property answers.
[[nodiscard]] std::string WriteListFormat(const ListFormat& format);

// Sets a column's picture text (with or without its leading "@") and compiles
// it; an empty text removes the picture. False (column unchanged) when the
// text holds an "@" after its first character, which no format could carry.
[[nodiscard]] bool SetColumnPicture(ListColumn& column, std::string_view text);

// Sets the colour, icon and tree fields, which follow the column's own field
// in that order.
void AssignExtraFields(ListColumn& column);

// The font measures that turn dialog units into pixels: a horizontal dialog
// unit is a quarter of the average character width, a vertical one an eighth
// of the character height. A row line is one character height.
struct DialogMetrics {
  int char_width = 8;
  int char_height = 16;

  [[nodiscard]] int HorizontalPixels(std::int32_t units) const;
  [[nodiscard]] int VerticalPixels(std::int32_t units) const;
};

// Fills in the pixel geometry of every column: x from the left of its line,
// lines one character height apart ("/" starts the next line).
void LayOutListColumns(ListFormat& format, const DialogMetrics& metrics);

// Lines per row: 1 plus the columns that start a new line after them.
[[nodiscard]] int ListRowLines(const ListFormat& format);

}  // namespace vaultrix::windows
