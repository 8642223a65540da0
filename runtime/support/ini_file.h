// The text of an INI (profile) file in memory, edited so that everything the
// change does not touch keeps its exact text.
//
// Syntax as read:
//   [Section]        a line whose first non-blank is "["; the name runs to the
//                    first "]" (or the line's end) and is trimmed
//   key=value        a line with "="; key and value are trimmed of blanks and
//                    tabs at both ends; the value keeps all other characters
//   ; comment        a line whose first non-blank is ";"
//   anything else    kept as text, otherwise ignored (so are keys that stand
//                    before the first section)
// Lines end with LF, CR LF or a lone CR; the last line needs no line end. A
// UTF-8 byte-order mark before the first line is kept and skipped.
//
// Section and key names are matched without regard to ASCII letter case.
// When a section or key occurs more than once, the first one counts: reads
// and writes both use it.
//
// Text() writes every line followed by LF: the files are Linux text files,
// and a file read with CR LF ends is written back with LF ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::support {

// Whether a name or value can be written without changing the file's
// structure. Names are trimmed by the writer first; they must then be
// non-empty and hold no CR, LF or NUL; a section name no "]"; a key no "="
// and must not start with "[" or ";". A value must hold no CR, LF or NUL.
[[nodiscard]] bool IsValidIniSectionName(std::string_view section);
[[nodiscard]] bool IsValidIniKeyName(std::string_view key);
[[nodiscard]] bool IsValidIniValue(std::string_view value);

class IniDocument {
 public:
  // Parses the bytes [data, data + size). Never fails.
  [[nodiscard]] static IniDocument Parse(const char* data, std::size_t size);

  [[nodiscard]] std::optional<std::string> Get(std::string_view section,
                                               std::string_view key) const;

  // Sets a key, adding the section and key when missing. An existing key line
  // is rewritten as its original key text, "=", and the value.
  // REQUIRES: valid section, key and value (see above).
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Remove every line of the key from its section, or every section of that
  // name with all its lines. Answer whether anything was removed.
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  // Key names of a section, and section names, as written, each once.
  [[nodiscard]] std::vector<std::string> Keys(std::string_view section) const;
  [[nodiscard]] std::vector<std::string> Sections() const;

  [[nodiscard]] std::string Text() const;

 private:
  enum class LineKind { kOther, kSection, kKey };
  struct Line {
    std::string text;  // the line as written, without its line end
    LineKind kind = LineKind::kOther;
    std::string name;   // section or key name, trimmed
    std::string value;  // the key's value, trimmed
  };

  static Line ParseLine(std::string text, bool first_line);
  // Index of the first section header of that name, or npos.
  [[nodiscard]] std::size_t FindSection(std::string_view section) const;
  // One past the last line of the section that starts at `header`.
  [[nodiscard]] std::size_t SectionEnd(std::size_t header) const;

  std::vector<Line> lines_;
};

}  // namespace vaultrix::support
