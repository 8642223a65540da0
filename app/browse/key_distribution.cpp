// Building the key distribution and placing a value in it.
#include "app/browse/key_distribution.h"

#include <algorithm>

#include "runtime/support/fixed_string.h"
#include "runtime/support/locale.h"

namespace vaultrix::app {
namespace {

// In the order the alphabet takes them; code 163 is the pound sign of the
// single-byte character set.
constexpr std::string_view kPunctuation =
    "`!\"\xA3$%^&*()'-=_+][#;~@:/.,?\\| ";
static_assert(kPunctuation.size() == 30);

constexpr int kPartLength = 4;

bool Admitted(unsigned char c, unsigned flags) {
  if (c >= '0' && c <= '9') return (flags & kAlphabetDigits) != 0;
  if (kPunctuation.find(static_cast<char>(c)) != std::string_view::npos) {
    return (flags & kAlphabetPunctuation) != 0;
  }
  if (!support::IsAlpha(c) || (flags & kAlphabetLetters) == 0) return false;
  return !support::IsLower(c) || (flags & kAlphabetLowerCase) != 0;
}

// The four characters after the prefix as a number; positions past the
// value's end count as digit 0.
std::int64_t PartNumber(std::string_view value, std::size_t prefix, std::string_view alphabet) {
  const std::int64_t base = static_cast<std::int64_t>(alphabet.size()) + 1;
  std::int64_t number = 0;
  for (int i = 0; i < kPartLength; ++i) {
    std::int64_t digit = 0;
    const std::size_t at = prefix + static_cast<std::size_t>(i);
    if (at < value.size()) {
      const auto c = static_cast<unsigned char>(value[at]);
      const std::size_t place = alphabet.find(static_cast<char>(c));
      if (place != std::string_view::npos) digit = static_cast<std::int64_t>(place) + 1;
    }
    number = number * base + digit;
  }
  return number;
}

// Writes a part number back as its four characters; digit 0 stands for no
// character and ends the text there.
std::string PartText(std::int64_t number, std::string_view alphabet) {
  const std::int64_t base = static_cast<std::int64_t>(alphabet.size()) + 1;
  std::string text;
  for (int i = 0; i < kPartLength; ++i) {
    const std::int64_t digit = number % base;
    number /= base;
    text.insert(text.begin(), digit == 0 ? ' ' : alphabet[static_cast<std::size_t>(digit - 1)]);
  }
  return text;
}

std::string Clip(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, std::min(width, text.size())));
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::string DistributionAlphabet(unsigned flags) {
  std::string alphabet;
  for (int code = 1; code <= 255; ++code) {
    if (Admitted(static_cast<unsigned char>(code), flags)) alphabet.push_back(static_cast<char>(code));
  }
  return alphabet;
}

std::vector<std::string> BuildKeyDistribution(std::string_view low_value,
                                              std::string_view high_value, std::size_t width,
                                              unsigned flags) {
  const std::string alphabet = DistributionAlphabet(flags);
  if (alphabet.empty()) return std::vector<std::string>(kDistributionEntries);
  const bool upper = (flags & kAlphabetLetters) != 0 && (flags & kAlphabetLowerCase) == 0;
  // Letters without lower case compare in upper case throughout, the common
  // prefix included, as the thumb compares the upper-cased order field.
  std::string low = Clip(low_value, width);
  std::string high = Clip(high_value, width);
  if (upper) {
    low = support::ToUpper(low);
    high = support::ToUpper(high);
  }
  if (high.size() < width) high.append(width - high.size(), alphabet.back());
  std::size_t prefix = 0;
  while (prefix < low.size() && prefix < high.size() && low[prefix] == high[prefix]) ++prefix;
  const std::string common = high.substr(0, prefix);
  const std::int64_t low_number = PartNumber(low, prefix, alphabet);
  const std::int64_t high_number = PartNumber(high, prefix, alphabet);
  const std::int64_t step = (high_number - low_number) / (kDistributionEntries - 1);
  std::vector<std::string> entries;
  entries.reserve(kDistributionEntries);
  for (int i = 0; i < kDistributionEntries; ++i) {
    std::int64_t number = low_number + step * i;
    if (i == kDistributionEntries - 1) number = high_number;
    std::string entry = common + PartText(number, alphabet);
    while (!entry.empty() && entry.back() == ' ') entry.pop_back();
    entries.push_back(std::move(entry));
  }
  return entries;
}

int ThumbPosition(const std::vector<std::string>& distribution, std::string_view value) {
  const std::string wanted = support::ToUpper(support::CLIP(value));
  for (std::size_t i = 0; i < distribution.size(); ++i) {
    if (support::CompareStrings(distribution[i], wanted) >= 0) {
      return i == 0 ? 0 : static_cast<int>(i + 1);
    }
  }
  return 100;
}

}  // namespace vaultrix::app
