// Cutting UTF-8 text at character boundaries.
#include "runtime/support/utf8_text.h"

namespace vaultrix::support {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 for a byte that leads none.
std::size_t SequenceLength(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::size_t Utf8CharacterAt(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
  if (length == 0 || text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) return 0;
  }
  return length;
}

void MapSingleBytes(std::string& text, const std::array<std::uint8_t, 256>& table) {
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t length = Utf8CharacterAt(text, i); length != 0) {
      i += length;
      continue;
    }
    text[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
    ++i;
  }
}

std::size_t Utf8CutLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (!IsContinuation(byte(limit))) return limit;
  // The byte at the cut continues a character: find where that character
  // starts (at most three bytes back) and cut before it.
  for (std::size_t back = 1; back <= 3 && back <= limit; ++back) {
    const std::size_t start = limit - back;
    if (IsContinuation(byte(start))) continue;
    const std::size_t length = SequenceLength(byte(start));
    return length > back ? start : limit;
  }
  return limit;
}

}  // namespace vaultrix::support
