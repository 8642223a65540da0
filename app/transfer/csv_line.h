// The export line: one record of a comma-separated file, built field by
// field. String fields and formatted fields are written between double
// quotes without their trailing blanks, every double quote inside the value
// doubled (so the value reads back whole); numeric fields are written bare,
// without leading or trailing blanks. Every field after the first is led by
// one comma. A file whose values hold no double quote is exactly what the
// earlier versions of the program wrote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vaultrix::app {

inline constexpr std::size_t kMaxLineLength = 8000;
inline constexpr std::size_t kMaxFieldLength = 2000;

// `text` cut to at most `max_bytes` bytes without ending in half a UTF-8
// character.
[[nodiscard]] std::string_view CutAtCharacter(std::string_view text, std::size_t max_bytes);

// Overwrites a string's bytes and empties it: import and export text holds
// passwords, which must not stay behind in freed memory.
void WipeText(std::string& text);

class LineBuilder {
 public:
  LineBuilder() = default;
  LineBuilder(const LineBuilder&) = delete;
  LineBuilder& operator=(const LineBuilder&) = delete;
  ~LineBuilder() { WipeText(line_); }

  // An empty line.
  void Clear();

  // Appends `value` as the line's next field, by the kind of `picture`.
  // A header field (a field name) has "," and "[" turned into "_" and "]"
  // into a blank, so that array names read back as one name. The line
  // ends at kMaxLineLength bytes, at a character boundary.
  void Add(std::string_view value, std::string_view picture, bool header = false);

  [[nodiscard]] std::string_view Text() const { return line_; }
  [[nodiscard]] std::size_t FieldCount() const { return fields_; }

 private:
  void AppendQuoted(std::string_view value);
  void Append(std::string_view text);

  std::string line_;
  std::size_t fields_ = 0;
};

}  // namespace vaultrix::app
