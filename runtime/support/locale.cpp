// The process's locale: built-in tables and names, the "intl" settings and the
// environment file applied over them (formats in environment_file.h).
#include "runtime/support/locale.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform/locations.h"
#include "platform/whole_file.h"
#include "runtime/support/ini_file.h"
#include "runtime/support/profile.h"
#include "runtime/support/utf8_text.h"

namespace vaultrix::support {
namespace {

constexpr std::array<const char*, 12> kEnglishMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

using Byte = std::uint8_t;

void MakeCasePair(Locale& locale, Byte upper_letter, Byte lower_letter) {
  locale.char_class[upper_letter] =
      static_cast<Byte>((locale.char_class[upper_letter] & ~kCharLower) | kCharUpper);
  locale.char_class[lower_letter] =
      static_cast<Byte>((locale.char_class[lower_letter] & ~kCharUpper) | kCharLower);
  locale.lower[upper_letter] = lower_letter;
  locale.upper[lower_letter] = upper_letter;
  // A byte that was a letter of the other case before loses its old partner's link.
  locale.upper[upper_letter] = upper_letter;
  locale.lower[lower_letter] = lower_letter;
}

void AddWindowsLetters(Locale& locale) {
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) MakeCasePair(locale, static_cast<Byte>(c), static_cast<Byte>(c + 0x20));
  }
  const std::pair<Byte, Byte> kExtraPairs[] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};
  for (auto [upper_letter, lower_letter] : kExtraPairs) MakeCasePair(locale, upper_letter, lower_letter);
  locale.char_class[0xDF] |= kCharLower;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char ca = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
    char cb = (b[i] >= 'a' && b[i] <= 'z') ? static_cast<char>(b[i] - 32) : b[i];
    if (ca != cb) return false;
  }
  return true;
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// Splits a list of names: on commas, else on semicolons, else on blanks and
// tabs. Answers the names only when there are exactly `count` non-empty ones.
std::optional<std::vector<std::string>> SplitNames(std::string_view value, std::size_t count) {
  std::vector<std::string> names;
  if (value.find(',') != std::string_view::npos || value.find(';') != std::string_view::npos) {
    char separator = value.find(',') != std::string_view::npos ? ',' : ';';
    std::size_t start = 0;
    for (;;) {
      std::size_t end = value.find(separator, start);
      names.push_back(Trimmed(value.substr(start, end == std::string_view::npos ? end : end - start)));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  } else {
    std::size_t i = 0;
    while (i < value.size()) {
      while (i < value.size() && IsBlank(value[i])) ++i;
      std::size_t start = i;
      while (i < value.size() && !IsBlank(value[i])) ++i;
      if (i > start) names.emplace_back(value.substr(start, i - start));
    }
  }
  if (names.size() != count) return std::nullopt;
  for (const std::string& name : names) {
    if (name.empty()) return std::nullopt;
  }
  return names;
}

// "A,a,B,b" lists single characters between commas; anything else is taken
// character by character.
std::string CollatingCharacters(std::string_view sequence) {
  bool comma_separated = sequence.size() >= 3 && sequence.size() % 2 == 1;
  for (std::size_t i = 1; comma_separated && i < sequence.size(); i += 2) {
    comma_separated = sequence[i] == ',';
  }
  if (!comma_separated) return std::string(sequence);
  std::string characters;
  for (std::size_t i = 0; i < sequence.size(); i += 2) characters += sequence[i];
  return characters;
}

void ApplyCollatingSequence(std::string_view sequence, Locale& locale) {
  std::array<bool, 256> listed{};
  std::vector<Byte> order;
  for (char c : CollatingCharacters(sequence)) {
    Byte b = static_cast<Byte>(c);
    if (listed[b]) continue;
    listed[b] = true;
    order.push_back(b);
  }
  // The weights the listed characters hold now, lowest first, handed out in
  // the listed order: unlisted characters keep their places.
  std::vector<Byte> weights;
  for (int c = 0; c < 256; ++c) {
    if (listed[c]) weights.push_back(locale.collation[c]);
  }
  std::sort(weights.begin(), weights.end());
  for (std::size_t i = 0; i < order.size(); ++i) locale.collation[order[i]] = weights[i];
}

bool ApplyCasePairs(std::string_view pairs, Locale& locale) {
  std::vector<std::pair<Byte, Byte>> found;
  std::size_t i = 0;
  while (i < pairs.size()) {
    if (IsBlank(pairs[i]) || pairs[i] == ',') {
      ++i;
      continue;
    }
    if (i + 1 >= pairs.size()) return false;
    Byte upper_letter = static_cast<Byte>(pairs[i]);
    Byte lower_letter = static_cast<Byte>(pairs[i + 1]);
    if (upper_letter == lower_letter) return false;
    found.emplace_back(upper_letter, lower_letter);
    i += 2;
  }
  for (auto [upper_letter, lower_letter] : found) MakeCasePair(locale, upper_letter, lower_letter);
  return true;
}

int IntOr(std::string_view value, int fallback) {
  std::size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  if (i >= value.size() || value[i] < '0' || value[i] > '9') return fallback;
  long result = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9' && result < 100000; ++i) {
    result = result * 10 + (value[i] - '0');
  }
  return static_cast<int>(negative ? -result : result);
}

Locale& TheLocale() {
  static Locale locale = DefaultLocale();
  return locale;
}

}  // namespace

Locale DefaultLocale() {
  Locale locale;
  for (int c = 0; c < 256; ++c) {
    locale.upper[c] = static_cast<Byte>(c);
    locale.lower[c] = static_cast<Byte>(c);
    locale.collation[c] = static_cast<Byte>(c);
  }
  for (int c = '0'; c <= '9'; ++c) locale.char_class[c] = kCharDigit;
  for (char c : std::string_view(" \t\r\n\v\f")) locale.char_class[static_cast<Byte>(c)] = kCharSpace;
  for (int c = 'A'; c <= 'Z'; ++c) MakeCasePair(locale, static_cast<Byte>(c), static_cast<Byte>(c + 32));
  for (std::size_t m = 0; m < 12; ++m) {
    locale.month_names[m] = kEnglishMonths[m];
    locale.month_abbreviations[m] = std::string(kEnglishMonths[m]).substr(0, 3);
  }
  return locale;
}

void ApplyEnvironment(const EnvironmentFile& environment, Locale& locale) {
  if (auto charset = environment.Find("MORCHARSET")) {
    if (EqualAsciiNoCase(*charset, "WINDOWS") && locale.character_set != CharacterSet::kWindows) {
      locale.character_set = CharacterSet::kWindows;
      AddWindowsLetters(locale);
    }
  }
  if (auto pairs = environment.Find("MORCASE")) ApplyCasePairs(*pairs, locale);
  if (auto sequence = environment.Find("MORCOLSEQ")) ApplyCollatingSequence(*sequence, locale);
  if (auto months = environment.Find("MORMONTH")) {
    if (auto names = SplitNames(*months, 12)) {
      for (std::size_t m = 0; m < 12; ++m) {
        locale.month_names[m] = (*names)[m];
        locale.month_abbreviations[m] = (*names)[m].substr(0, 3);
      }
    }
  }
  if (auto months = environment.Find("MORMON")) {
    if (auto names = SplitNames(*months, 12)) {
      for (std::size_t m = 0; m < 12; ++m) locale.month_abbreviations[m] = (*names)[m];
    }
  }
  if (auto texts = environment.Find("MORAMPM")) {
    if (auto names = SplitNames(*texts, 2)) {
      locale.am_text = (*names)[0];
      locale.pm_text = (*names)[1];
    }
  }
  locale.environment = environment;
}

IntlSettings ReadIntlSettings(const std::string& profile_path) {
  IntlSettings intl;
  std::string bytes;
  if (platform::ReadWholeFile(profile_path, kProfileFileMax, bytes) != 0) return intl;
  IniDocument profile = IniDocument::Parse(bytes.data(), bytes.size());
  constexpr std::string_view kSection = "intl";
  auto text = [&](std::string_view key, std::string& field) {
    if (auto value = profile.Get(kSection, key)) field = *value;
  };
  if (auto value = profile.Get(kSection, "iTime")) intl.i_time = IntOr(*value, intl.i_time);
  if (auto value = profile.Get(kSection, "iTLzero")) intl.i_tlzero = IntOr(*value, intl.i_tlzero);
  text("sTime", intl.s_time);
  text("s1159", intl.s1159);
  text("s2359", intl.s2359);
  text("sShortDate", intl.s_short_date);
  text("sLongDate", intl.s_long_date);
  return intl;
}

void InitialiseLocale() {
  InitialiseLocale(platform::DefaultProfilePath(), platform::EnvironmentFilePath());
}

void InitialiseLocale(const std::string& profile_path, const std::string& environment_path) {
  Locale locale = DefaultLocale();
  if (!profile_path.empty()) {
    locale.intl = ReadIntlSettings(profile_path);
    // Without "MORAMPM" the Windows texts apply; an empty one (a 24-hour
    // setting) keeps "AM"/"PM" so that 12-hour pictures stay readable.
    if (!locale.intl.s1159.empty()) locale.am_text = locale.intl.s1159;
    if (!locale.intl.s2359.empty()) locale.pm_text = locale.intl.s2359;
  }
  if (!environment_path.empty()) ApplyEnvironment(ReadEnvironmentFile(environment_path), locale);
  ReplaceLocale(std::move(locale));
}

const Locale& CurrentLocale() { return TheLocale(); }

void ReplaceLocale(Locale locale) { TheLocale() = std::move(locale); }

bool IsUpper(unsigned char c) { return (CurrentLocale().char_class[c] & kCharUpper) != 0; }
bool IsLower(unsigned char c) { return (CurrentLocale().char_class[c] & kCharLower) != 0; }
bool IsAlpha(unsigned char c) { return (CurrentLocale().char_class[c] & kCharAlpha) != 0; }
bool IsDigit(unsigned char c) { return (CurrentLocale().char_class[c] & kCharDigit) != 0; }

unsigned char ToUpper(unsigned char c) {
  const Locale& locale = CurrentLocale();
  return (locale.char_class[c] & kCharLower) != 0 ? locale.upper[c] : c;
}

unsigned char ToLower(unsigned char c) {
  const Locale& locale = CurrentLocale();
  return (locale.char_class[c] & kCharUpper) != 0 ? locale.lower[c] : c;
}

std::string ToUpper(std::string_view text) {
  std::string result(text);
  MapSingleBytes(result, CurrentLocale().upper);
  return result;
}

std::string ToLower(std::string_view text) {
  std::string result(text);
  MapSingleBytes(result, CurrentLocale().lower);
  return result;
}

namespace {

template <typename Fold>
int CompareThrough(std::string_view a, std::string_view b, Fold fold) {
  const Locale& locale = CurrentLocale();
  std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    int wa = locale.collation[fold(locale, static_cast<unsigned char>(a[i]))];
    int wb = locale.collation[fold(locale, static_cast<unsigned char>(b[i]))];
    if (wa != wb) return wa - wb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareStrings(std::string_view a, std::string_view b) {
  return CompareThrough(a, b, [](const Locale&, unsigned char c) { return c; });
}

int CompareStringsNoCase(std::string_view a, std::string_view b) {
  return CompareThrough(a, b, [](const Locale& locale, unsigned char c) {
    return (locale.char_class[c] & kCharLower) != 0 ? locale.upper[c] : c;
  });
}

}  // namespace vaultrix::support
