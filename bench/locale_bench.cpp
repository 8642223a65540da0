// Costs of the locale's comparisons (used by the symbol table and key
// building) and of reading a key from a profile of realistic size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/locations.h"
#include "runtime/support/ini_file.h"
#include "runtime/support/locale.h"
#include "runtime/support/profile.h"

namespace {

using namespace vaultrix::support;

void BM_CompareStringsNoCase(benchmark::State& state) {
  const std::string a = "BrowsePasswords:KeyService:Name";
  const std::string b = "browsepasswords:keyservice:namE";
  for (auto _ : state) benchmark::DoNotOptimize(CompareStringsNoCase(a, b));
}
BENCHMARK(BM_CompareStringsNoCase);

std::string ProfileText() {
  std::string text;
  for (int section = 0; section < 20; ++section) {
    text += "[Section" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 10; ++key) {
      text += "Key" + std::to_string(key) + "=value " + std::to_string(key) + "\r\n";
    }
  }
  return text;
}

void BM_IniDocumentParseAndGet(benchmark::State& state) {
  const std::string text = ProfileText();
  for (auto _ : state) {
    IniDocument document = IniDocument::Parse(text.data(), text.size());
    benchmark::DoNotOptimize(document.Get("section19", "key9"));
  }
}
BENCHMARK(BM_IniDocumentParseAndGet);

void BM_PutIniOnDisk(benchmark::State& state) {
  char pattern[] = "/tmp/vaultrix-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  vaultrix::platform::SetSettingsFolderOverride(pattern);
  int i = 0;
  for (auto _ : state) {
    if (PutIni("Main", "XPosit", std::to_string(i++), "VAULTRIX.INI") != 0) {
      state.SkipWithError("PutIni failed");
      break;
    }
  }
  vaultrix::platform::SetSettingsFolderOverride("");
  std::system(("rm -rf '" + std::string(pattern) + "'").c_str());
}
BENCHMARK(BM_PutIniOnDisk);

}  // namespace
