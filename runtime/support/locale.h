// The runtime's locale: the character tables of the 8-bit character set (class,
// upper case, lower case, collation), the month names and AM/PM texts, the
// "intl" section of the default profile and the entries of the environment
// file. There is one locale per process. The start-up calls InitialiseLocale()
// once before any thread starts; afterwards everything reads CurrentLocale().
// Tests may swap in a locale of their own with ReplaceLocale().
//
// Sources, in the order they are applied over the built-in English defaults:
//   1. the "intl" section of the default profile (WIN.INI in the settings folder);
//   2. the environment file (the executable's path with ".ENV" appended), see
//      environment_file.h for its syntax and the value formats of its keys.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/support/environment_file.h"

namespace vaultrix::support {

// Bits of Locale::char_class.
inline constexpr std::uint8_t kCharUpper = 0x01;  // an upper-case letter
inline constexpr std::uint8_t kCharLower = 0x02;  // a lower-case letter
inline constexpr std::uint8_t kCharDigit = 0x04;  // "0" to "9"
inline constexpr std::uint8_t kCharSpace = 0x08;  // blank, tab, CR, LF, VT, FF
inline constexpr std::uint8_t kCharAlpha = kCharUpper | kCharLower;

// Which built-in letter set the case tables start from. kAscii knows only
// "A".."Z"; kWindows (environment "MORCHARSET=WINDOWS") adds the letters of the
// Windows Western 8-bit character set: 0xC0..0xDE (without 0xD7) paired with
// 0xE0..0xFE (without 0xF7), 0x8A/0x9A, 0x8C/0x9C, 0x8E/0x9E, 0x9F/0xFF, and
// 0xDF as a lower-case letter without an upper-case partner.
enum class CharacterSet { kAscii, kWindows };

// The "intl" section of the default profile, as read at start. The texts are
// kept exactly as written; the picture code translates the date formats.
struct IntlSettings {
  int i_time = 0;                                   // "iTime": 0 12-hour clock, 1 24-hour
  int i_tlzero = 1;                                 // "iTLzero": 1 leading zero on hours
  std::string s_time = ":";                         // "sTime"
  std::string s1159 = "AM";                         // "s1159"
  std::string s2359 = "PM";                         // "s2359"
  std::string s_short_date = "MM/dd/yy";            // "sShortDate"
  std::string s_long_date = "ddd', 'MMMM' 'dd', 'yyyy";  // "sLongDate"
};

struct Locale {
  CharacterSet character_set = CharacterSet::kAscii;
  std::array<std::uint8_t, 256> char_class{};  // kChar* bits per byte
  std::array<std::uint8_t, 256> upper{};       // case partner of a lower-case letter, else the byte
  std::array<std::uint8_t, 256> lower{};       // case partner of an upper-case letter, else the byte
  std::array<std::uint8_t, 256> collation{};   // sort weight per byte; a permutation of 0..255

  // Full names "January".."December" and abbreviations "Jan".."Dec" unless the
  // environment file replaces them ("MORMONTH", "MORMON"). Abbreviations are
  // kept as written; pictures that show three letters take the first three.
  std::array<std::string, 12> month_names;
  std::array<std::string, 12> month_abbreviations;
  // The AM and PM texts: "MORAMPM" when given, else "s1159" and "s2359" of
  // "intl" when not empty, else "AM" and "PM".
  std::string am_text = "AM";
  std::string pm_text = "PM";

  IntlSettings intl;

  // Every entry of the environment file, including those applied above, so
  // that later users ("MORDIGRAPH", "MORBUTTON", "MORMSG", ...) find them.
  EnvironmentFile environment;
};

// The built-in locale: ASCII letters, identity collation, English month names,
// "AM"/"PM", the documented "intl" defaults, no environment entries.
[[nodiscard]] Locale DefaultLocale();

// Applies the entries of an environment file to a locale (see
// environment_file.h for the value formats). A value that does not parse
// leaves that part of the locale unchanged. The entries are stored in
// locale.environment.
void ApplyEnvironment(const EnvironmentFile& environment, Locale& locale);

// Reads the "intl" section of the profile file `profile_path` (missing keys
// keep their defaults).
[[nodiscard]] IntlSettings ReadIntlSettings(const std::string& profile_path);

// Builds the process's locale from the default profile and the environment
// file at their platform locations (platform/locations.h) and makes it
// current. Called once by the start-up, before any thread starts. A missing
// or unreadable file leaves the defaults.
void InitialiseLocale();

// The same with explicit files; an empty path skips that source.
void InitialiseLocale(const std::string& profile_path, const std::string& environment_path);

// The process's locale. Valid before InitialiseLocale() (the built-in one).
[[nodiscard]] const Locale& CurrentLocale();

// Makes `locale` the process's locale (tests, and the start-up itself). Not
// safe while other threads read the locale.
void ReplaceLocale(Locale locale);

// Character operations through the current locale's tables.
[[nodiscard]] bool IsUpper(unsigned char c);
[[nodiscard]] bool IsLower(unsigned char c);
[[nodiscard]] bool IsAlpha(unsigned char c);
[[nodiscard]] bool IsDigit(unsigned char c);
[[nodiscard]] unsigned char ToUpper(unsigned char c);
[[nodiscard]] unsigned char ToLower(unsigned char c);
[[nodiscard]] std::string ToUpper(std::string_view text);
[[nodiscard]] std::string ToLower(std::string_view text);

// The runtime's string comparison: byte by byte through the collation table;
// a string that is a prefix of the other sorts first. Answers <0, 0 or >0.
// Trailing blanks count; callers comparing fixed-length fields clip first.
[[nodiscard]] int CompareStrings(std::string_view a, std::string_view b);

// The same after folding lower-case letters to upper case through the case
// tables, so that "abc" and "ABC" compare equal.
[[nodiscard]] int CompareStringsNoCase(std::string_view a, std::string_view b);

}  // namespace vaultrix::support
