// The text a list queue field takes from its record field: a field that is
// the first bytes of a longer text may end inside a character, and that half
// character never reaches the list.
#include <gtest/gtest.h>

#include <string>

#include "app/browse/queue.h"

namespace vaultrix::app {
namespace {

TEST(QueueFieldText, LeavesOutAHalfCharacterAtTheEndOnly) {
  const std::string xs(253, 'x');
  const struct {
    std::string field, text;
  } cases[] = {
      {"M\xc3\xbcller    ", "M\xc3\xbcller"},  // whole, blanks clipped
      {xs + "a\xc3", xs + "a"},                // "ø" cut after its first byte
      {xs + "\xc3\xb8", xs + "\xc3\xb8"},      // "ø" whole at the end
      {"ab\xe2\x82", "ab"},                    // "€" cut after two of three
      {"ab\xe2", "ab"},                        // ... after one
      {"ab\xe2\x82\xac", "ab\xe2\x82\xac"},    // whole
      {"ab\xf0\x9f\x98", "ab"},                // four-byte character cut
      {"\xc3\x86r\xc3\xb8sk\xc3\xb8"
       "bing",
       "\xc3\x86r\xc3\xb8sk\xc3\xb8"
       "bing"},
      {"ab\x80", "ab\x80"},   // a stray continuation byte cuts nothing short
      {"ab\xc3 ", "ab\xc3"},  // nor does a lead byte followed by a blank
      {"\xc3", ""},
      {"   ", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QueueFieldText(std::span<const char>(c.field.data(), c.field.size())), c.text)
        << c.field;
  }
}

}  // namespace
}  // namespace vaultrix::app
