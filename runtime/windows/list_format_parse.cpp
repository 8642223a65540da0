// The format-string parser: builds the column table and its groups from the
// text a window description or a procedure gives the list.
#include <algorithm>
#include <cctype>
#include <optional>
#include <tuple>

#include "runtime/windows/list_format.h"

namespace vaultrix::windows {
namespace {

std::optional<ListAlign> AlignmentOf(char c) {
  switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'L':
      return ListAlign::kLeft;
    case 'R':
      return ListAlign::kRight;
    case 'C':
      return ListAlign::kCentre;
    case 'D':
      return ListAlign::kDecimal;
    default:
      return std::nullopt;
  }
}

std::optional<std::uint32_t> TreeOptionOf(char c) {
  switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'L':
      return kTreeOptionL;
    case 'B':
      return kTreeOptionB;
    case 'I':
      return kTreeOptionI;
    case '1':
      return kTreeOption1;
    case 'R':
      return kTreeOptionR;
    default:
      return std::nullopt;
  }
}

class FormatParser {
 public:
  FormatParser(const char* ptr, const char* limit) : p_(ptr), limit_(limit) {}

  bool Parse(ListFormat* format) {
    std::int32_t next_field = 0;
    while (!AtEnd()) {
      if (Peek() == '[') {
        ++p_;
        if (!ParseGroup(format, &next_field)) return false;
      } else {
        ListGroup group;
        group.first_column = static_cast<int>(format->columns.size());
        group.column_count = 1;
        format->groups.push_back(group);
        if (!ParseColumn(format, &next_field)) return false;
      }
    }
    return true;
  }

 private:
  bool AtEnd() const { return p_ >= limit_; }
  char Peek() const { return AtEnd() ? '\0' : *p_; }
  char PeekUpper() const {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(Peek())));
  }
  bool PeekDigit() const { return !AtEnd() && std::isdigit(static_cast<unsigned char>(*p_)) != 0; }

  bool ReadNumber(std::int32_t* number) {
    bool negative = false;
    if (Peek() == '-') {
      negative = true;
      ++p_;
    }
    if (!PeekDigit()) return false;
    std::int32_t value = 0;
    while (PeekDigit()) {
      value = value * 10 + (*p_ - '0');
      if (value > kMaxFormatNumber) return false;
      ++p_;
    }
    *number = negative ? -value : value;
    return true;
  }

  // "(" number ")", the "(" not yet taken.
  bool ReadParenNumber(std::int32_t* number) {
    ++p_;
    if (!ReadNumber(number)) return false;
    if (Peek() != ')') return false;
    ++p_;
    return true;
  }

  // The text up to the next `closing`, which is taken too.
  bool ReadUntil(char closing, std::string* text) {
    const char* start = p_;
    while (!AtEnd() && *p_ != closing) ++p_;
    if (AtEnd()) return false;
    text->assign(start, p_);
    ++p_;
    return true;
  }

  // After the opening "~": the text, then an optional alignment and indent.
  bool ReadHeader(std::string* header, ListAlign* alignment, std::int32_t* indent) {
    if (!ReadUntil('~', header)) return false;
    if (auto align = AlignmentOf(Peek())) {
      *alignment = *align;
      ++p_;
    }
    if (Peek() == '(' && !ReadParenNumber(indent)) return false;
    return true;
  }

  // The modifiers a column and a group share. Answers false with *taken
  // false when the next character is none of them.
  bool SharedModifier(std::uint32_t* flags, std::uint32_t* flags2, std::int32_t* scroll_width,
                      std::int32_t* header_height, bool* taken) {
    *taken = true;
    switch (PeekUpper()) {
      case 'M':
        *flags |= kColumnResizable;
        break;
      case 'F':
        *flags |= kColumnFixed;
        break;
      case '|':
        *flags |= kColumnRightBorder;
        break;
      case '_':
        *flags |= kColumnUnderline;
        break;
      case 'S':
        ++p_;
        *flags |= kColumnScrolling;
        *scroll_width = kDefaultScrollWidth;
        return Peek() != '(' || ReadParenNumber(scroll_width);
      case 'H':
        ++p_;
        *flags2 |= kColumnHeaderHeight;
        return Peek() != '(' || ReadParenNumber(header_height);
      default:
        *taken = false;
        return false;
    }
    ++p_;
    return true;
  }

  bool ReadTreeOptions(std::uint32_t* flags2) {
    ++p_;
    while (Peek() != ')') {
      auto option = TreeOptionOf(Peek());
      if (!option) return false;
      *flags2 |= *option;
      ++p_;
    }
    ++p_;
    return true;
  }

  bool ColumnModifier(ListColumn& column, std::optional<std::int32_t>* field, bool* taken) {
    if (SharedModifier(&column.flags, &column.flags2, &column.scroll_width, &column.header_height,
                       taken)) {
      return true;
    }
    if (*taken) return false;
    if (AtEnd()) return false;
    *taken = true;
    const char c = PeekUpper();
    ++p_;
    switch (c) {
      case '/':
        column.flags |= kColumnNewLine;
        return true;
      case '?':
        column.flags |= kColumnValue;
        return true;
      case '*':
        column.flags2 |= kColumnColours;
        return true;
      case 'I':
        column.flags |= kColumnIcon;
        return true;
      case 'T':
        column.flags |= kColumnTree;
        return Peek() != '(' || ReadTreeOptions(&column.flags2);
      case '@': {
        std::string text;
        return ReadUntil('@', &text) && SetColumnPicture(column, text);
      }
      case '#': {
        std::int32_t number = 0;
        if (!ReadNumber(&number) || number < 0 || number > kMaxFieldNumber) return false;
        if (Peek() != '#') return false;
        ++p_;
        *field = number;
        return true;
      }
      case '~':
        return ReadHeader(&column.header, &column.header_alignment, &column.header_indent);
      default:
        --p_;
        *taken = false;
        return false;
    }
  }

  bool ParseColumn(ListFormat* format, std::int32_t* next_field) {
    ListColumn column;
    if (!ReadNumber(&column.width)) return false;
    if (auto align = AlignmentOf(Peek())) {
      column.data_alignment = column.header_alignment = *align;
      ++p_;
    }
    if (Peek() == '(') {
      if (!ReadParenNumber(&column.data_indent)) return false;
      column.header_indent = column.data_indent;
    }
    std::optional<std::int32_t> field;
    for (;;) {
      bool taken = false;
      if (!ColumnModifier(column, &field, &taken)) {
        if (taken) return false;
        break;
      }
    }
    column.field = field ? *field : *next_field;
    AssignExtraFields(column);
    *next_field = column.field + 1 + column.Extras();
    column.group = static_cast<int>(format->groups.size()) - 1;
    format->columns.push_back(std::move(column));
    return true;
  }

  bool ParseGroup(ListFormat* format, std::int32_t* next_field) {
    format->groups.emplace_back();
    const std::size_t index = format->groups.size() - 1;
    format->groups[index].bracketed = true;
    format->groups[index].first_column = static_cast<int>(format->columns.size());
    while (Peek() != ']') {
      if (AtEnd() || Peek() == '[') return false;
      if (!ParseColumn(format, next_field)) return false;
    }
    ++p_;
    ListGroup& group = format->groups[index];
    group.column_count = static_cast<int>(format->columns.size()) - group.first_column;
    if (group.column_count == 0) return false;
    if (Peek() == '(') {
      std::int32_t width = 0;
      if (!ReadParenNumber(&width)) return false;
      group.width = width;
    }
    for (;;) {
      bool taken = false;
      if (SharedModifier(&group.flags, &group.flags2, &group.scroll_width, &group.header_height,
                         &taken)) {
        continue;
      }
      if (taken) return false;
      if (Peek() != '~') break;
      ++p_;
      if (!ReadHeader(&group.header, &group.header_alignment, &group.header_indent)) return false;
    }
    return true;
  }

  const char* p_;
  const char* limit_;
};

}  // namespace

int ListColumn::Extras() const {
  return (Has2(kColumnColours) ? 4 : 0) + (Has(kColumnIcon) ? 1 : 0) + (Has(kColumnTree) ? 1 : 0);
}

bool operator==(const ListColumn& a, const ListColumn& b) {
  auto fields = [](const ListColumn& c) {
    return std::tie(c.data_alignment, c.header_alignment, c.flags, c.flags2, c.width, c.data_indent,
                    c.header_indent, c.scroll_width, c.header_height, c.header, c.picture_text,
                    c.field, c.colour_field, c.icon_field, c.tree_field, c.decimal_char, c.group,
                    c.left, c.right, c.top, c.bottom, c.pixel_data_indent, c.pixel_header_indent,
                    c.pixel_scroll_width);
  };
  return fields(a) == fields(b);
}

void AssignExtraFields(ListColumn& column) {
  std::int32_t next = column.field + 1;
  column.colour_field = kNoField;
  column.icon_field = kNoField;
  column.tree_field = kNoField;
  if (column.Has2(kColumnColours)) {
    column.colour_field = next;
    next += 4;
  }
  if (column.Has(kColumnIcon)) column.icon_field = next++;
  if (column.Has(kColumnTree)) column.tree_field = next;
}

bool SetColumnPicture(ListColumn& column, std::string_view text) {
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (text.find('@') != std::string_view::npos) return false;
  column.picture = Picture{};
  column.decimal_char = '.';
  if (text.empty()) {
    column.picture_text.clear();
    return true;
  }
  column.picture_text.assign("@").append(text);
  if (CompilePicture(text, column.picture)) {
    const PictureKind kind = column.picture.kind();
    if ((kind == PictureKind::kNumber || kind == PictureKind::kScientific) &&
        column.picture.decimal_char != '\0') {
      column.decimal_char = column.picture.decimal_char;
    }
  }
  return true;
}

bool ParseListFormat(const char* ptr, const char* limit, ListFormat* format) {
  if (limit < ptr || (ptr == nullptr && limit != nullptr)) return false;
  ListFormat parsed;
  FormatParser parser(ptr, limit);
  if (!parser.Parse(&parsed)) return false;
  *format = std::move(parsed);
  return true;
}

int ListFormat::ValueColumn() const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].Has(kColumnValue)) return static_cast<int>(i);
  }
  return columns.empty() ? -1 : 0;
}

int ListFormat::FieldCount() const {
  int count = 0;
  for (const ListColumn& column : columns) {
    count = std::max(count, column.field + 1 + column.Extras());
  }
  return count;
}

}  // namespace vaultrix::windows
