// Choosing the words of the words file.
#include "tools/words_file/word_list.h"

#include <algorithm>
#include <unordered_set>

namespace vaultrix::tools {
namespace {

bool Acceptable(std::string_view word) {
  return word.size() >= kShortestWord && word.size() <= kLongestWord &&
         std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

std::vector<std::string> SelectWords(std::string_view list) {
  std::vector<std::string> words;
  std::unordered_set<std::string_view> seen;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find('\n'), list.size());
    std::string_view line = list.substr(0, end);
    list.remove_prefix(std::min(end + 1, list.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Acceptable(line) && seen.insert(line).second) words.emplace_back(line);
  }
  return words;
}

}  // namespace vaultrix::tools
