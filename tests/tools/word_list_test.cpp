// Which lines of a word list become words of the generator's words file.
#include <gtest/gtest.h>

#include "tools/words_file/word_list.h"

namespace vaultrix::tools {
namespace {

TEST(WordList, KeepsLowerCaseAsciiWordsOfThreeToTwentyLettersOnce) {
  const std::string list =
      "ox\ncat\nCat\ncat's\ncafé\nzebra\r\n\nabcdefghijklmnopqrst\nabcdefghijklmnopqrstu\n"
      "cat\nwell-known\nsmoked";
  const std::vector<std::string> expected = {"cat", "zebra", "abcdefghijklmnopqrst", "smoked"};
  EXPECT_EQ(SelectWords(list), expected);
  EXPECT_TRUE(SelectWords("").empty());
}

}  // namespace
}  // namespace vaultrix::tools
