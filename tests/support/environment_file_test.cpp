// The environment file's line syntax.
#include "runtime/support/environment_file.h"

#include <gtest/gtest.h>

#include <string>

namespace vaultrix::support {
namespace {

EnvironmentFile ParseText(const std::string& text) {
  return ParseEnvironmentFile(text.data(), text.size());
}

TEST(EnvironmentFile, BlanksAndTabsAroundTheEqualsSignAreIgnored) {
  EnvironmentFile file = ParseText(" MORAMPM \t=\t vorm, nachm \t\r\nMORCHARSET=WINDOWS");
  EXPECT_EQ(file.Find("MORAMPM"), "vorm, nachm");
  EXPECT_EQ(file.Find("morcharset"), "WINDOWS");
  EXPECT_EQ(file.Find("MORCASE"), std::nullopt);
}

TEST(EnvironmentFile, LinesEndWithCrLfOrCtrlZInAnyMix) {
  EnvironmentFile file = ParseText("A=1\rB=2\nC=3\x1A" "D=4\r\n\x1A\x1A" "E=5");
  ASSERT_EQ(file.entries.size(), 5u);
  EXPECT_EQ(file.Find("a"), "1");
  EXPECT_EQ(file.Find("C"), "3");
  EXPECT_EQ(file.Find("D"), "4");
  EXPECT_EQ(file.Find("e"), "5");
}

TEST(EnvironmentFile, KeysUpTo31CharactersAndValuesCutAt255) {
  const std::string key31(31, 'K');
  const std::string key32(32, 'L');
  const std::string long_value(300, 'v');
  EnvironmentFile file =
      ParseText(key31 + "=ok\n" + key32 + "=too long\nMORMSG=" + long_value + "\n");
  EXPECT_EQ(file.Find(key31), "ok");
  EXPECT_EQ(file.Find(key32), std::nullopt);
  EXPECT_EQ(file.Find(key32.substr(0, 31)), std::nullopt);  // never cut into another key
  EXPECT_EQ(file.Find("MORMSG"), std::string(255, 'v'));
}

TEST(EnvironmentFile, SkipsCommentsLinesWithoutEqualsAndEmptyKeys) {
  EnvironmentFile file = ParseText("; MORCASE=Xx\nno equals here\n=value\n  \nMORMON = a=b\n");
  ASSERT_EQ(file.entries.size(), 1u);
  EXPECT_EQ(file.entries[0].key, "MORMON");
  EXPECT_EQ(file.entries[0].value, "a=b");
}

TEST(EnvironmentFile, LaterLinesWinButAllAreKept) {
  EnvironmentFile file = ParseText("MORMSG=first\nmormsg=second\n");
  EXPECT_EQ(file.Find("MorMsg"), "second");
  ASSERT_EQ(file.entries.size(), 2u);
  EXPECT_EQ(file.entries[0].value, "first");
}

TEST(EnvironmentFile, AMissingFileHasNoEntries) {
  EXPECT_TRUE(ReadEnvironmentFile("/nonexistent/vaultrix.ENV").entries.empty());
  EXPECT_TRUE(ReadEnvironmentFile("").entries.empty());
  EXPECT_TRUE(ParseEnvironmentFile(nullptr, 0).entries.empty());
}

}  // namespace
}  // namespace vaultrix::support
