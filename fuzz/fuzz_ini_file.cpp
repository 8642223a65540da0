// Arbitrary bytes as an INI file: read its keys, write a key, read it back.
// Writing must change only that key: every other section and key reads the
// same before and after, and the written value reads back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "runtime/support/ascii_text.h"
#include "runtime/support/ini_file.h"

using vaultrix::support::EqualIgnoringAsciiCase;
using vaultrix::support::IniDocument;

namespace {

std::string CleanValue(const std::uint8_t* data, std::size_t size) {
  std::string value;
  for (std::size_t i = 0; i < size && value.size() < 64; ++i) {
    char c = static_cast<char>(data[i]);
    if (c != '\r' && c != '\n' && c != '\0' && c != ' ' && c != '\t') value += c;
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  IniDocument document = IniDocument::Parse(text, size);

  std::vector<std::pair<std::string, std::string>> before;
  for (const std::string& section : document.Sections()) {
    for (const std::string& key : document.Keys(section)) {
      before.emplace_back(section, key);
    }
  }

  // Write to the first key of the file when it has one, else to a new one.
  std::string section = "Fuzz";
  std::string key = "Key";
  if (!before.empty() && vaultrix::support::IsValidIniSectionName(before.front().first) &&
      vaultrix::support::IsValidIniKeyName(before.front().second)) {
    section = before.front().first;
    key = before.front().second;
  }
  std::string value = CleanValue(data, size);

  std::vector<std::string> old_values;
  for (const auto& [s, k] : before) old_values.push_back(document.Get(s, k).value_or("\x01missing"));

  document.Set(section, key, value);
  std::string written = document.Text();
  IniDocument reread = IniDocument::Parse(written.data(), written.size());
  if (reread.Get(section, key) != value) std::abort();
  for (std::size_t i = 0; i < before.size(); ++i) {
    const auto& [s, k] = before[i];
    if (EqualIgnoringAsciiCase(s, section) && EqualIgnoringAsciiCase(k, key)) continue;
    if (reread.Get(s, k).value_or("\x01missing") != old_values[i]) std::abort();
  }
  // Writing the same text again is stable.
  if (reread.Text() != written) std::abort();

  reread.DeleteKey(section, key);
  if (reread.Get(section, key).has_value()) std::abort();
  return 0;
}
