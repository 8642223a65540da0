// Profile (INI) files: reading and writing a key in a section of a named file,
// as GETINI and PUTINI do.
//
// File names: an empty name is the default profile, WIN.INI in the settings
// folder; a name without "/" (such as "VAULTRIX.INI") is a file in the
// settings folder, found there without regard to letter case when no file of
// the exact name exists; any other name is used as given. Writes create the
// settings folder (mode 0700) when it is missing.
//
// Reads never block and never see a half-written file: every write replaces
// the whole file by renaming a complete copy over it.
//
// Write protocol, so that writers in several processes never lose each
// other's changes:
//   1. open "<file>.lock" beside the file (created mode 0600, never removed)
//      and take an exclusive open-file-description lock on it, waiting;
//   2. read the file as it is now and apply the change to its text;
//   3. write the result to a new temporary file in the same folder (mode
//      0600, or the mode of the existing file), fsync it;
//   4. rename it over the file and fsync the folder;
//   5. release the lock.
// A file that is a symbolic link is replaced at the link's target.
//
// The functions that change a file answer 0 or an errno value (EINVAL for a
// name or value that cannot be written, EFBIG for a file larger than
// kProfileFileMax that would otherwise be cut).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::support {

inline constexpr std::size_t kProfileFileMax = 16u << 20;

// The path a profile name stands for (see above).
[[nodiscard]] std::string ProfilePath(std::string_view file);

// The value of a key, or `default_value` when the file, section or key is
// missing or the file cannot be read.
[[nodiscard]] std::string GetIni(std::string_view section, std::string_view key,
                                 std::string_view default_value, std::string_view file = "");

// The same for a key that may be missing.
[[nodiscard]] std::optional<std::string> FindIni(std::string_view section, std::string_view key,
                                                 std::string_view file = "");

// The leading decimal integer of a value (optional blanks, sign, digits), or
// `default_value` when the key is missing or its value starts with no digit.
[[nodiscard]] long GetIniLong(std::string_view section, std::string_view key, long default_value,
                              std::string_view file = "");

// Writes a key, creating the file and the section when missing.
[[nodiscard]] int PutIni(std::string_view section, std::string_view key, std::string_view value,
                         std::string_view file = "");

// Remove a key, or a section with all its keys. Missing ones are no error.
[[nodiscard]] int DeleteIniKey(std::string_view section, std::string_view key,
                               std::string_view file = "");
[[nodiscard]] int DeleteIniSection(std::string_view section, std::string_view file = "");

// Key names of a section and section names of a file, as written.
[[nodiscard]] std::vector<std::string> ListIniKeys(std::string_view section,
                                                   std::string_view file = "");
[[nodiscard]] std::vector<std::string> ListIniSections(std::string_view file = "");

}  // namespace vaultrix::support
