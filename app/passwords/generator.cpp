// The password types' sets and draws.
#include "app/passwords/generator.h"

#include <algorithm>

#include "runtime/support/fixed_string.h"

namespace vaultrix::app {

std::string_view CharacterSet(std::string_view type) {
  const std::string_view clipped = support::CLIP(type);
  if (clipped == kTypeAlphabetOnly) return kAlphabetOnlySet;
  if (clipped == kTypeAlphanumeric) return kAlphanumericSet;
  return kAllCharactersSet;
}

std::string CharacterPassword(std::string_view set, std::int32_t size, const RandomDraw& draw) {
  std::string password;
  if (set.empty()) return password;
  const std::int32_t length = std::clamp<std::int32_t>(size, 0, kLargestPassword);
  const auto last = static_cast<std::int32_t>(set.size());
  for (std::int32_t i = 0; i < length; ++i) {
    const std::int32_t k = std::clamp<std::int32_t>(draw(1, last), 1, last);
    password.push_back(set[static_cast<std::size_t>(k - 1)]);
  }
  return password;
}

WordDrawResult WordPassword(std::int32_t size, WordSource& words, const RandomDraw& draw) {
  WordDrawResult result;
  for (; result.draws < kWordDraws; ++result.draws) {
    const std::int64_t count = words.Count();
    if (count < 1) continue;  // an empty file: no draw yields a word
    const std::int32_t high = static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
    result.word = words.Word(draw(1, high));
    if (static_cast<std::int32_t>(result.word.size()) == size) {
      ++result.draws;
      result.fits = true;
      break;
    }
  }
  return result;
}

}  // namespace vaultrix::app
