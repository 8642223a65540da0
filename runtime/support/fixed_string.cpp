// Blank padding, clipping and blank-padded comparison of text fields.
#include "runtime/support/fixed_string.h"

#include <cstring>

#include "runtime/support/utf8_text.h"

namespace vaultrix::support {
namespace {

constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;

// True when every byte of `text` is a blank; eight bytes at a time, since
// record fields are mostly long runs of padding.
bool AllBlanks(const char* text, std::size_t length) {
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text + i, 8);
    if (word != kEightBlanks) return false;
  }
  for (; i < length; ++i) {
    if (text[i] != kBlank) return false;
  }
  return true;
}

// Sign of the comparison of the longer text's tail with blanks.
int CompareTailWithBlanks(const unsigned char* tail, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (tail[i] != static_cast<unsigned char>(kBlank)) {
      return tail[i] < static_cast<unsigned char>(kBlank) ? -1 : 1;
    }
  }
  return 0;
}

}  // namespace

std::size_t ClippedLength(std::string_view text) {
  std::size_t length = text.size();
  const char* data = text.data();
  while (length >= 8) {
    std::uint64_t word;
    std::memcpy(&word, data + length - 8, 8);
    if (word != kEightBlanks) break;
    length -= 8;
  }
  while (length > 0 && data[length - 1] == kBlank) --length;
  return length;
}

void AssignFixed(std::span<char> field, std::string_view value) {
  const std::size_t copied = Utf8CutLength(value, field.size());
  if (copied > 0) std::memmove(field.data(), value.data(), copied);
  if (copied < field.size()) std::memset(field.data() + copied, kBlank, field.size() - copied);
}

void BlankFixed(std::span<char> field) {
  if (!field.empty()) std::memset(field.data(), kBlank, field.size());
}

int CompareBlankPadded(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common > 0) {
    const int order = std::memcmp(a.data(), b.data(), common);
    if (order != 0) return order < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  const bool a_longer = a.size() > b.size();
  const std::string_view longer = a_longer ? a : b;
  if (AllBlanks(longer.data() + common, longer.size() - common)) return 0;
  const int tail = CompareTailWithBlanks(
      reinterpret_cast<const unsigned char*>(longer.data()) + common, longer.size() - common);
  return a_longer ? tail : -tail;
}

bool EqualBlankPadded(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common > 0 && std::memcmp(a.data(), b.data(), common) != 0) return false;
  const std::string_view longer = a.size() > b.size() ? a : b;
  return AllBlanks(longer.data() + common, longer.size() - common);
}

int CompareBlankPadded(std::string_view a, std::string_view b, const CollationTable& collation) {
  const std::size_t length = a.size() > b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < length; ++i) {
    const auto ca = static_cast<unsigned char>(i < a.size() ? a[i] : kBlank);
    const auto cb = static_cast<unsigned char>(i < b.size() ? b[i] : kBlank);
    if (ca == cb) continue;
    const int wa = collation[ca];
    const int wb = collation[cb];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return 0;
}

}  // namespace vaultrix::support
