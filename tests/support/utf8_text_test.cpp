// UTF-8 text in fixed-length fields: cuts at character boundaries, and case
// tables that leave multi-byte characters whole.
#include <gtest/gtest.h>

#include "runtime/support/fixed_string.h"
#include "runtime/support/locale.h"
#include "runtime/support/utf8_text.h"

namespace vaultrix::support {
namespace {

TEST(Utf8Text, CutsFallOnCharacterBoundaries) {
  struct Case {
    std::string text;
    std::size_t limit, expected;
  };
  const Case cases[] = {
      {"Müller", 2, 1},            // inside "ü" (2 bytes)
      {"Müller", 3, 3},
      {"a\xE2\x82\xAC", 2, 1},     // inside "€" (3 bytes), after its first byte
      {"a\xE2\x82\xAC", 3, 1},     // after its second
      {"a\xF0\x9F\x94\x91", 4, 1}, // inside a 4-byte character
      {"a\xF0\x9F\x94\x91", 5, 5},
      {"ab\x80\x80\x80\x80", 4, 4},  // stray continuation bytes: any cut will do
      {"\xE9t\xE9", 1, 1},         // a single-byte text cuts anywhere
      {"short", 30, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8CutLength(c.text, c.limit), c.expected) << c.text;

  FixedString<4> field("Ærøskøbing");
  EXPECT_EQ(field.View(), "\xC3\x86r ") << "\"Ær\" and a blank, not half of \"ø\"";
  FixedString<8> eight("Ærøskøbing");
  EXPECT_EQ(eight.View(), "\xC3\x86r\xC3\xB8sk ");
}

TEST(Utf8Text, UpperCaseLeavesMultiByteCharactersWhole) {
  // The Windows character set's letters pair bytes that are also parts of
  // UTF-8 characters: 0xE2 with 0xC2 (the lead byte of the euro sign),
  // 0x9A with 0x8A (a continuation byte), 0xE9 with 0xC9.
  Locale locale = DefaultLocale();
  for (auto [upper, lower] : {std::pair<int, int>{0xC2, 0xE2}, {0x8A, 0x9A}, {0xC9, 0xE9}}) {
    locale.char_class[upper] = kCharUpper;
    locale.char_class[lower] = kCharLower;
    locale.upper[lower] = static_cast<std::uint8_t>(upper);
    locale.lower[upper] = static_cast<std::uint8_t>(lower);
  }
  ReplaceLocale(locale);
  EXPECT_EQ(ToUpper("müller \xE2\x82\xAC \xC4\x9A"), "MüLLER \xE2\x82\xAC \xC4\x9A");
  EXPECT_EQ(ToLower("ÆRØSKØBING \xC2\xA9"), "ÆrØskØbing \xC2\xA9");
  EXPECT_EQ(ToUpper("caf\xE9"), "CAF\xC9") << "a lone byte is a single-byte letter";
  ReplaceLocale(DefaultLocale());
}

}  // namespace
}  // namespace vaultrix::support
