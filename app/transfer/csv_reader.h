// Reading a comma-separated file line by line and field by field, the way
// import previews and imports it.
//
// A line ends at a line feed, with or without a carriage return before it
// (the return is dropped). Fields are separated by commas. A field that
// starts with a double quote runs to the next single double quote: a doubled
// quote inside it is one quote of the value, a line break inside it belongs
// to the value (as a line feed), and a quote that never closes runs to the
// end of the file. Whatever stands right after the closing quote (the comma,
// normally) is passed over unchecked. Any other field runs to the next comma;
// the last field of a line loses its trailing blanks, and once the rest of a
// line is blank it holds no more fields. A field keeps at most
// kMaxFieldLength bytes, cut at a character boundary. A UTF-8 byte order
// mark at the start of the file is not part of the first field.
//
// The reader works on the file's bytes in memory, which must outlive it.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vaultrix::app {

// Stores an imported value in a target field: cut to the field's size at a
// character boundary, blank padded.
void AssignField(std::span<char> target, std::string_view value);

enum class FieldKind : int { kNone = 0, kQuoted = 1, kUnquoted = 2 };

class CsvReader {
 public:
  explicit CsvReader(std::string_view text);
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;
  ~CsvReader();

  // Back to the first line.
  void Rewind();
  // Takes the next line; answers the bytes it took from the file (its line
  // end included), 0 at the end of the file.
  std::size_t NextLine();
  // Takes the line's next field into Field(); kNone when the line has no
  // more.
  FieldKind NextField();
  [[nodiscard]] const std::string& Field() const { return field_; }
  // The current field as a target takes it: a field whose picture is
  // neither string nor numeric is read from its display form, once, however
  // many targets take it.
  const std::string& FieldByPicture(std::string_view picture);

  // Bytes of the file taken so far, for the progress of an import.
  [[nodiscard]] std::size_t BytesRead() const { return next_line_; }
  [[nodiscard]] std::size_t Size() const { return text_.size(); }

 private:
  struct LineSpan {
    std::size_t end;   // where the line's text ends (its line end excluded)
    std::size_t next;  // where the next line starts
  };
  [[nodiscard]] LineSpan ScanLine(std::size_t start) const;
  // Where the quoted field whose opening quote is at `open` closes; npos
  // when it never does.
  [[nodiscard]] std::size_t ClosingQuote(std::size_t open) const;
  void TakeQuoted(std::size_t open, std::size_t close);
  void TakeText(std::string_view text);

  std::string_view text_;
  std::size_t first_line_ = 0;
  std::size_t next_line_ = 0;
  std::size_t line_end_ = 0;
  std::size_t position_ = kUsedUp;
  std::string field_;
  bool converted_ = false;

  static constexpr std::size_t kUsedUp = std::string_view::npos;
};

}  // namespace vaultrix::app
