// How a new password is made: the character sets of the password types, one
// independent draw per character, and the word draw with its limit of 250
// tries. The draws are handed in, so the window uses the system's source
// (secure_random.h) and tests may use chosen ones.
//
//   type             set                                             size
//   "Alphabet Only"  a-z                                             26
//   "Alphanumeric"   a-z A-Z 1-9 0                                   62
//   anything else    the 62 above and ! @ # $ % & * (                70
//   "Word"           a word of the words file, drawn by record number
//
// A password field holds 30 characters, so no size above that is made: the
// generator's spin box stops at 30 and a larger size asked for here is cut.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vaultrix::app {

inline constexpr std::string_view kTypeWord = "Word";
inline constexpr std::string_view kTypeAlphabetOnly = "Alphabet Only";
inline constexpr std::string_view kTypeAlphanumeric = "Alphanumeric";

inline constexpr std::string_view kAlphabetOnlySet = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::string_view kAlphanumericSet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";
inline constexpr std::string_view kAllCharactersSet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890!@#$%&*(";

inline constexpr std::int32_t kLargestPassword = 30;
inline constexpr int kWordDraws = 250;

// RANDOM's shape: a whole number from low to high inclusive.
using RandomDraw = std::function<std::int32_t(std::int32_t low, std::int32_t high)>;

// The set of a password type (its value without trailing blanks).
[[nodiscard]] std::string_view CharacterSet(std::string_view type);

// `size` characters (cut to kLargestPassword), each drawn from `set` on its own.
[[nodiscard]] std::string CharacterPassword(std::string_view set, std::int32_t size,
                                            const RandomDraw& draw);

// The words of the words file as the generator reads them: by record number,
// from 1 to Count().
class WordSource {
 public:
  virtual ~WordSource() = default;
  [[nodiscard]] virtual std::int64_t Count() = 0;
  // The word of record `number` without trailing blanks; "" when it cannot be read.
  [[nodiscard]] virtual std::string Word(std::int64_t number) = 0;
};

struct WordDrawResult {
  std::string word;    // the word that fits, else the last one drawn
  bool fits = false;   // false: no word of that size turned up in kWordDraws draws
  int draws = 0;
};

[[nodiscard]] WordDrawResult WordPassword(std::int32_t size, WordSource& words,
                                          const RandomDraw& draw);

}  // namespace vaultrix::app
