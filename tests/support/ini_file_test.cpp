// The INI text model: what it finds, and that edits keep every other line's text.
#include "runtime/support/ini_file.h"

#include <gtest/gtest.h>

#include <string>

namespace vaultrix::support {
namespace {

IniDocument ParseText(const std::string& text) { return IniDocument::Parse(text.data(), text.size()); }

TEST(IniDocument, FindsSectionsAndKeysWithoutRegardToCase) {
  IniDocument document = ParseText("[Vaultrix Settings]\nVX_Skip=1\n[Main]\nXPosit = 12 \n");
  EXPECT_EQ(document.Get("vaultrix settings", "vx_skip"), "1");
  EXPECT_EQ(document.Get("MAIN", "xposit"), "12");
  EXPECT_EQ(document.Get("Main", "VX_Skip"), std::nullopt);
  EXPECT_EQ(document.Get("Other", "XPosit"), std::nullopt);
}

TEST(IniDocument, ValuesKeepTheirTextButNotSurroundingBlanks) {
  IniDocument document = ParseText(
      "[S]\n  a  =\t x = y ; not a comment \t\nb=\nc=\"quoted\"\n;d=comment\ne\n=orphan\n");
  EXPECT_EQ(document.Get("S", "a"), "x = y ; not a comment");
  EXPECT_EQ(document.Get("S", "b"), "");
  EXPECT_EQ(document.Get("S", "c"), "\"quoted\"");
  EXPECT_EQ(document.Get("S", ";d"), std::nullopt);
  EXPECT_EQ(document.Get("S", "e"), std::nullopt);
  EXPECT_EQ(document.Keys("S"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(IniDocument, ReadsCrLfLoneCrAndAMissingFinalLineEnd) {
  IniDocument document = ParseText("[A]\r\nx=1\r\ny=2\rz=3");
  EXPECT_EQ(document.Get("A", "x"), "1");
  EXPECT_EQ(document.Get("A", "y"), "2");
  EXPECT_EQ(document.Get("A", "z"), "3");
  EXPECT_EQ(document.Text(), "[A]\nx=1\ny=2\nz=3\n");
}

TEST(IniDocument, FirstOfRepeatedSectionsAndKeysCounts) {
  IniDocument document = ParseText("k=before\n[A]\nk=1\nK=2\n[a]\nk=3\n");
  EXPECT_EQ(document.Get("A", "k"), "1");
  document.Set("a", "K", "9");
  EXPECT_EQ(document.Get("A", "k"), "9");
  EXPECT_EQ(document.Text(), "k=before\n[A]\nk=9\nK=2\n[a]\nk=3\n");
  EXPECT_EQ(document.Sections(), (std::vector<std::string>{"A"}));
}

TEST(IniDocument, SetKeepsCommentsOrderAndOriginalCase) {
  const std::string original =
      "; settings\r\n[Main]\r\n; where the frame was\r\nXPosit=10\r\n\r\n[BrowseUsers]\r\n"
      "?Browse:1=40L|M~Name~@s20@\r\n";
  IniDocument document = ParseText(original);
  document.Set("MAIN", "xposit", "20");
  document.Set("main", "Width", "300");
  EXPECT_EQ(document.Text(),
            "; settings\n[Main]\n; where the frame was\nXPosit=20\nWidth=300\n\n[BrowseUsers]\n"
            "?Browse:1=40L|M~Name~@s20@\n");
}

TEST(IniDocument, SetAddsSectionAtTheEndAfterAnEmptyLine) {
  IniDocument document = ParseText("[A]\nx=1");
  document.Set("Vaultrix Settings", "VX_CI", "30");
  EXPECT_EQ(document.Text(), "[A]\nx=1\n\n[Vaultrix Settings]\nVX_CI=30\n");

  IniDocument empty = ParseText("");
  empty.Set("S", "k", "v");
  EXPECT_EQ(empty.Text(), "[S]\nk=v\n");
}

TEST(IniDocument, NewKeyGoesAfterTheSectionsLastKeyNotAfterTrailingComments) {
  IniDocument document = ParseText("[A]\nx=1\n\n; about B\n[B]\ny=2\n");
  document.Set("A", "z", "3");
  EXPECT_EQ(document.Text(), "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n");
}

TEST(IniDocument, DeleteKeyAndSectionRemoveEveryCopy) {
  IniDocument document = ParseText("[A]\nx=1\nX=2\ny=3\n[B]\nx=4\n[a]\nw=5\n");
  EXPECT_TRUE(document.DeleteKey("a", "x"));
  EXPECT_EQ(document.Get("A", "x"), std::nullopt);
  EXPECT_EQ(document.Get("B", "x"), "4");
  EXPECT_FALSE(document.DeleteKey("A", "missing"));
  EXPECT_TRUE(document.DeleteSection("A"));
  EXPECT_EQ(document.Text(), "[B]\nx=4\n");
  EXPECT_FALSE(document.DeleteSection("A"));
}

TEST(IniDocument, OddHeadersAndBinaryBytesDoNotBreakParsing) {
  static const char kRaw[] = "[Unclosed\nk=1\n[ Spaced ] trailing\nv=\x01\xff\x00z\n";
  std::string text(kRaw, sizeof kRaw - 1);
  text += "\xEF\xBB\xBF";  // a byte-order mark that is not at the start is just text
  IniDocument document = ParseText(text);
  EXPECT_EQ(document.Get("Unclosed", "k"), "1");
  EXPECT_EQ(document.Get("spaced", "v"), std::string("\x01\xff\x00z", 4));

  IniDocument with_mark = ParseText("\xEF\xBB\xBF[A]\nk=1\n");
  EXPECT_EQ(with_mark.Get("A", "k"), "1");
  EXPECT_EQ(with_mark.Text(), "\xEF\xBB\xBF[A]\nk=1\n");
}

TEST(IniDocument, HugeLinesRoundTrip) {
  const std::string huge(3 << 20, 'x');
  IniDocument document = ParseText("[A]\nbig=" + huge + "\n[B]\nk=1");
  EXPECT_EQ(document.Get("A", "big"), huge);
  document.Set("B", "k", huge);
  IniDocument reread = ParseText(document.Text());
  EXPECT_EQ(reread.Get("B", "k"), huge);
  EXPECT_EQ(reread.Get("A", "big"), huge);
}

TEST(IniNames, RejectThoseThatWouldChangeTheFilesStructure) {
  EXPECT_TRUE(IsValidIniSectionName("Vaultrix Settings"));
  EXPECT_FALSE(IsValidIniSectionName("  "));
  EXPECT_FALSE(IsValidIniSectionName("a]b"));
  EXPECT_FALSE(IsValidIniSectionName("a\nb"));
  EXPECT_TRUE(IsValidIniKeyName("?Browse:1"));
  EXPECT_FALSE(IsValidIniKeyName("a=b"));
  EXPECT_FALSE(IsValidIniKeyName("[a"));
  EXPECT_FALSE(IsValidIniKeyName(";a"));
  EXPECT_FALSE(IsValidIniKeyName(std::string("a\0b", 3)));
  EXPECT_TRUE(IsValidIniValue("a=b;[c]"));
  EXPECT_FALSE(IsValidIniValue("a\rb"));
}

}  // namespace
}  // namespace vaultrix::support
