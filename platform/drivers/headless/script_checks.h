// The checks of scripts that look beyond the dump's plain text: regular
// expressions over the dump's lines or the clipboard, and files that the
// program wrote, named by paths that may use the environment and are taken
// relative to the script's own folder.
//
// Regular expressions are ECMAScript (std::regex); a check holds when some
// line of the text matches somewhere in it, so "^" and "$" anchor a line.
// Lines longer than kLongestMatchedLine are not matched (the check fails
// and says so) rather than risk the matcher's recursion on huge input.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vaultrix::platform::headless {

inline constexpr std::size_t kLongestMatchedLine = 8192;
inline constexpr std::size_t kLargestCheckedFile = 16 * 1024 * 1024;

// True when some line of `text` matches `pattern`. False with the reason in
// *error for a pattern that is no regular expression or a line too long;
// false with *error empty when no line matches.
[[nodiscard]] bool SomeLineMatches(std::string_view text, std::string_view pattern,
                                   std::string* error);

// A path as a script writes it: "$NAME" and "${NAME}" are replaced by the
// environment's values, then a relative path is taken from `base` (when
// not empty). nullopt with the reason for an unset variable.
[[nodiscard]] std::optional<std::string> ScriptPath(std::string_view written,
                                                    const std::string& base, std::string* error);

// The file exists (and, when `text` is given, holds it somewhere); false
// with the reason otherwise.
[[nodiscard]] bool FileHolds(const std::string& path, const std::optional<std::string>& text,
                             std::string* error);

// The file does not exist; false with the reason when it does.
[[nodiscard]] bool FileIsMissing(const std::string& path, std::string* error);

}  // namespace vaultrix::platform::headless
