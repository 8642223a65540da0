// Arbitrary bytes as an environment file, parsed and applied to the locale.
// The entries must respect the size limits and the collation table must stay
// a permutation, whatever the file holds.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/support/environment_file.h"
#include "runtime/support/locale.h"

using namespace vaultrix::support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EnvironmentFile file = ParseEnvironmentFile(reinterpret_cast<const char*>(data), size);
  for (const EnvironmentEntry& entry : file.entries) {
    if (entry.key.empty() || entry.key.size() > kEnvironmentKeyMax) std::abort();
    if (entry.value.size() > kEnvironmentValueMax) std::abort();
  }
  Locale locale = DefaultLocale();
  ApplyEnvironment(file, locale);
  std::array<bool, 256> used{};
  for (int c = 0; c < 256; ++c) {
    if (used[locale.collation[c]]) std::abort();
    used[locale.collation[c]] = true;
  }
  for (const std::string& name : locale.month_names) {
    if (name.empty()) std::abort();
  }
  if (locale.am_text.empty() || locale.pm_text.empty()) std::abort();
  ReplaceLocale(locale);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  volatile int sink = CompareStringsNoCase("Vaultrix", bytes) + CompareStrings(bytes, "m");
  (void)sink;
  return 0;
}
