// The environment file: optional settings that sit beside the executable (its
// path with ".ENV" appended) and change the runtime's locale.
//
// Syntax, one setting per line:
//   KEY = value
// - Lines end with CR, LF or Ctrl-Z (0x1A); any mix of them is accepted.
// - Blanks and tabs around the key and around the value are ignored.
// - Keys are 1 to 31 characters and found without regard to case. A line whose
//   key is longer, or that has no "=", or whose first non-blank is ";" (a
//   comment), is skipped.
// - Values are at most 255 characters; a longer value is cut to 255.
// - When a key appears more than once the last line wins for Find(); all lines
//   are kept in order in `entries`.
//
// Value formats of the keys the locale applies (locale.cpp):
//   MORCHARSET  "WINDOWS" (any case) selects the Windows Western character set
//               for case conversion and comparison; anything else keeps ASCII.
//   MORCOLSEQ   characters in the order they should sort, e.g. "AaBbCc". The
//               listed characters take, in that order, the weights the same
//               characters have in byte order; unlisted characters keep theirs,
//               so the table stays a permutation. Repeated characters are
//               ignored after their first place. Single characters between
//               commas ("A,a,B,b") are read as the same list.
//   MORCASE     pairs of an upper-case letter and its lower-case partner, e.g.
//               "ÄäÖöÜü"; blanks, tabs and commas between pairs are skipped.
//               Added to the built-in letters.
//   MORMONTH    the twelve full month names, MORMON the twelve abbreviations,
//   MORAMPM     the AM and PM texts: separated by commas, or by semicolons when
//               the value holds no comma, or by blanks and tabs when it holds
//               neither; each name is trimmed. MORMONTH without MORMON also
//               sets the abbreviations to the first three characters of each
//               name.
// A value that does not parse (wrong number of names, an odd MORCASE pair)
// is ignored as a whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::support {

inline constexpr std::size_t kEnvironmentKeyMax = 31;
inline constexpr std::size_t kEnvironmentValueMax = 255;

struct EnvironmentEntry {
  std::string key;    // as written (case kept)
  std::string value;  // trimmed, at most kEnvironmentValueMax characters
};

struct EnvironmentFile {
  std::vector<EnvironmentEntry> entries;

  // The value of the last entry whose key equals `key` without regard to case.
  [[nodiscard]] std::optional<std::string> Find(std::string_view key) const;
};

// Parses the bytes [data, data + size). Never fails: unusable lines are skipped.
[[nodiscard]] EnvironmentFile ParseEnvironmentFile(const char* data, std::size_t size);

// Reads and parses a file; a missing or unreadable file gives no entries.
// Files larger than 1 MiB are read only up to that size.
[[nodiscard]] EnvironmentFile ReadEnvironmentFile(const std::string& path);

}  // namespace vaultrix::support
