// The key distribution of a browse order: 100 values of the order field
// spread evenly between its lowest and highest value, so that the list's
// thumb can stand for a place in the order and a thumb drag can find one.
//
// The values are spread over the four characters that follow the prefix the
// lowest and highest value share, read as a number in base (alphabet size +
// 1): each character's place in the alphabet is its digit, 0 for a character
// outside it or past the end of the value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::app {

inline constexpr int kDistributionEntries = 100;

// Character-type flags that choose the alphabet.
inline constexpr unsigned kAlphabetLetters = 1;      // upper-case letters
inline constexpr unsigned kAlphabetPunctuation = 2;  // the thirty punctuation characters
inline constexpr unsigned kAlphabetDigits = 4;       // 0-9
inline constexpr unsigned kAlphabetLowerCase = 8;    // with letters: lower-case letters too

// Every character code from 1 to 255, in code order, that the flags admit.
[[nodiscard]] std::string DistributionAlphabet(unsigned flags);

// The 100 entries between `low` and `high` for a field of `width` bytes.
[[nodiscard]] std::vector<std::string> BuildKeyDistribution(std::string_view low,
                                                            std::string_view high,
                                                            std::size_t width, unsigned flags);

// The thumb position (0-100) of `value` (an order field) in a distribution:
// the number of the first entry not smaller than the upper-cased value; 0
// when that is the first entry, 100 when there is none.
[[nodiscard]] int ThumbPosition(const std::vector<std::string>& distribution,
                                std::string_view value);

}  // namespace vaultrix::app
