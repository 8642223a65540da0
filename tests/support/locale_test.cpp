// The locale: built-in tables and names, the environment file and the "intl"
// section applied over them, and comparisons through the tables.
#include "runtime/support/locale.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vaultrix::support {
namespace {

Locale WithEnvironment(const std::string& text) {
  Locale locale = DefaultLocale();
  ApplyEnvironment(ParseEnvironmentFile(text.data(), text.size()), locale);
  return locale;
}

TEST(Locale, DefaultsAreEnglishAsciiAndIdentityCollation) {
  Locale locale = DefaultLocale();
  EXPECT_EQ(locale.month_names[0], "January");
  EXPECT_EQ(locale.month_names[8], "September");
  EXPECT_EQ(locale.month_abbreviations[11], "Dec");
  EXPECT_EQ(locale.am_text, "AM");
  EXPECT_EQ(locale.pm_text, "PM");
  EXPECT_EQ(locale.intl.s_long_date, "ddd', 'MMMM' 'dd', 'yyyy");
  for (int c = 0; c < 256; ++c) EXPECT_EQ(locale.collation[c], c);
  EXPECT_EQ(locale.upper['q'], 'Q');
  EXPECT_EQ(locale.lower['Q'], 'q');
  EXPECT_EQ(locale.char_class[0xC4], 0);  // no 8-bit letters without MORCHARSET
  EXPECT_EQ(locale.char_class['7'], kCharDigit);
}

TEST(Locale, WindowsCharacterSetAddsWesternLetters) {
  Locale locale = WithEnvironment("MORCHARSET=windows\n");
  EXPECT_EQ(locale.character_set, CharacterSet::kWindows);
  EXPECT_EQ(locale.lower[0xC4], 0xE4);
  EXPECT_EQ(locale.upper[0xE4], 0xC4);
  EXPECT_EQ(locale.upper[0xFF], 0x9F);
  EXPECT_EQ(locale.char_class[0xD7], 0);  // the multiplication sign is no letter
  EXPECT_EQ(locale.char_class[0xDF], kCharLower);
  EXPECT_EQ(locale.upper[0xDF], 0xDF);

  EXPECT_EQ(WithEnvironment("MORCHARSET=OEM\n").character_set, CharacterSet::kAscii);
}

TEST(Locale, CasePairsAreAddedAndOddValuesIgnored) {
  Locale locale = WithEnvironment("MORCASE=\xC4\xE4, \xD6\xF6\n");
  EXPECT_EQ(locale.lower[0xC4], 0xE4);
  EXPECT_EQ(locale.upper[0xF6], 0xD6);
  EXPECT_EQ(locale.char_class[0xD6], kCharUpper);
  EXPECT_EQ(locale.lower['A'], 'a');

  Locale odd = WithEnvironment("MORCASE=\xC4\xE4\xD6\n");
  EXPECT_EQ(odd.lower[0xC4], 0xC4);
  EXPECT_EQ(odd.char_class[0xC4], 0);
}

TEST(Locale, CollatingSequenceReordersOnlyTheListedCharacters) {
  Locale locale = WithEnvironment("MORCOLSEQ=AaBbA\n");
  // A a B b now sort in that order, in the places A, B, a, b held before.
  EXPECT_EQ(locale.collation['A'], 'A');
  EXPECT_EQ(locale.collation['a'], 'B');
  EXPECT_EQ(locale.collation['B'], 'a');
  EXPECT_EQ(locale.collation['b'], 'b');
  EXPECT_EQ(locale.collation['C'], 'C');
  EXPECT_EQ(WithEnvironment("MORCOLSEQ=A,a,B,b\n").collation, locale.collation);
  std::array<bool, 256> used{};
  for (int c = 0; c < 256; ++c) used[locale.collation[c]] = true;
  for (int c = 0; c < 256; ++c) EXPECT_TRUE(used[c]) << "weight " << c << " lost";
}

TEST(Locale, MonthNamesAndAmPmFromTheEnvironment) {
  Locale locale = WithEnvironment(
      "MORMONTH=Januar, Februar, M\xE4rz, April, Mai, Juni, Juli, August, September, Oktober, "
      "November, Dezember\nMORAMPM=vorm.;nachm.\n");
  EXPECT_EQ(locale.month_names[2], "M\xE4rz");
  EXPECT_EQ(locale.month_names[11], "Dezember");
  EXPECT_EQ(locale.month_abbreviations[9], "Okt");  // derived when MORMON is missing
  EXPECT_EQ(locale.am_text, "vorm.");
  EXPECT_EQ(locale.pm_text, "nachm.");

  Locale abbreviated = WithEnvironment("MORMON=jan feb mar apr mai jun jul aug sep okt nov des\n");
  EXPECT_EQ(abbreviated.month_abbreviations[4], "mai");
  EXPECT_EQ(abbreviated.month_names[4], "May");
}

TEST(Locale, WrongNumberOfNamesLeavesTheDefaults) {
  Locale locale = WithEnvironment(
      "MORMONTH=a,b,c\nMORMON=1,2,3,4,5,6,7,8,9,10,11,,\nMORAMPM=only\nMORAMPM=x,,\n");
  EXPECT_EQ(locale.month_names[0], "January");
  EXPECT_EQ(locale.month_abbreviations[10], "Nov");
  EXPECT_EQ(locale.am_text, "AM");
}

TEST(Locale, OtherEntriesAreKeptForLaterUsers) {
  Locale locale = WithEnvironment("MORDIGRAPH=AEae\nMORBUTTON=Ja,Nein\nMORMSG=x\n");
  EXPECT_EQ(locale.environment.Find("mordigraph"), "AEae");
  EXPECT_EQ(locale.environment.Find("MORBUTTON"), "Ja,Nein");
  EXPECT_EQ(locale.environment.entries.size(), 3u);
}

TEST(Locale, ComparisonsGoThroughTheCollationAndCaseTables) {
  ReplaceLocale(DefaultLocale());
  EXPECT_LT(CompareStrings("ABC", "abc"), 0);
  EXPECT_LT(CompareStrings("ab", "abc"), 0);
  EXPECT_EQ(CompareStrings("abc", "abc"), 0);
  EXPECT_GT(CompareStrings("b", "a\xFF"), 0);
  EXPECT_EQ(CompareStringsNoCase("Vaultrix", "VAULTRIX"), 0);
  EXPECT_NE(CompareStringsNoCase("\xC4", "\xE4"), 0);
  EXPECT_EQ(ToUpper("mixed Case 1"), "MIXED CASE 1");

  ReplaceLocale(WithEnvironment("MORCHARSET=WINDOWS\nMORCOLSEQ=AaBb\n"));
  EXPECT_LT(CompareStrings("a", "B"), 0);  // byte order would put "B" first
  EXPECT_EQ(CompareStringsNoCase("\xC4pfel", "\xE4PFEL"), 0);
  EXPECT_EQ(ToLower("\xC4"), "\xE4");
  EXPECT_TRUE(IsUpper(0xC4));
  EXPECT_TRUE(IsAlpha(0xE4));
  EXPECT_FALSE(IsAlpha('1'));
  EXPECT_TRUE(IsDigit('1'));
}

class LocaleFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vaultrix-locale-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    ReplaceLocale(DefaultLocale());
    std::string command = "rm -rf '" + root_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::string path = root_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string root_;
};

TEST_F(LocaleFiles, IntlSectionOverridesItsDefaults) {
  std::string profile = Write("WIN.INI",
                              "[Other]\niTime=5\n[INTL]\r\niTime=1\r\nITLZERO=0\r\nsTime=.\r\n"
                              "s1159=\r\nsShortDate=dd.MM.yyyy\r\n");
  IntlSettings intl = ReadIntlSettings(profile);
  EXPECT_EQ(intl.i_time, 1);
  EXPECT_EQ(intl.i_tlzero, 0);
  EXPECT_EQ(intl.s_time, ".");
  EXPECT_EQ(intl.s1159, "");
  EXPECT_EQ(intl.s2359, "PM");
  EXPECT_EQ(intl.s_short_date, "dd.MM.yyyy");
  EXPECT_EQ(intl.s_long_date, "ddd', 'MMMM' 'dd', 'yyyy");

  IntlSettings garbled = ReadIntlSettings(Write("BAD.INI", "[intl]\niTime=x\niTLzero=\n"));
  EXPECT_EQ(garbled.i_time, 0);
  EXPECT_EQ(garbled.i_tlzero, 1);
}

TEST_F(LocaleFiles, InitialiseReadsBothSourcesAndMissingFilesKeepDefaults) {
  std::string profile = Write("WIN.INI", "[intl]\ns2359=pm\n");
  std::string environment = Write("vaultrix.ENV", "MORAMPM = a.m., p.m.\x1A");
  InitialiseLocale(profile, environment);
  EXPECT_EQ(CurrentLocale().intl.s2359, "pm");
  EXPECT_EQ(CurrentLocale().am_text, "a.m.");
  EXPECT_EQ(CurrentLocale().pm_text, "p.m.");

  InitialiseLocale(profile, "");
  EXPECT_EQ(CurrentLocale().am_text, "AM");  // s1159 not set
  EXPECT_EQ(CurrentLocale().pm_text, "pm");  // the Windows text without MORAMPM

  InitialiseLocale(root_ + "/missing.ini", root_ + "/missing.ENV");
  EXPECT_EQ(CurrentLocale().intl.s2359, "PM");
  EXPECT_EQ(CurrentLocale().am_text, "AM");
  EXPECT_TRUE(CurrentLocale().environment.entries.empty());
}

}  // namespace
}  // namespace vaultrix::support
