// The words the generator's words file holds, taken from a word list of one
// word a line: words of 3 to 20 lower-case ASCII letters (names, possessives
// and words with accents are left out), each once, in the list's order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::tools {

inline constexpr std::size_t kShortestWord = 3;
inline constexpr std::size_t kLongestWord = 20;  // the size of W_:Word

[[nodiscard]] std::vector<std::string> SelectWords(std::string_view list);

}  // namespace vaultrix::tools
