// vaultrix-bench-vault ENTRIES...: builds the password browser's benchmark
// vaults (bench/password_vault.h) into their cache when missing and prints
// each one's folder, so scripts can measure the program on them.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/password_vault.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vaultrix-bench-vault ENTRIES...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    int entries = 0;
    const char* end = argv[i] + std::strlen(argv[i]);
    if (std::from_chars(argv[i], end, entries).ptr != end || entries < 2) {
      std::fprintf(stderr, "vaultrix-bench-vault: not a number of entries: %s\n", argv[i]);
      return 2;
    }
    std::string error;
    const std::string folder = vaultrix::bench::CachedPasswordVault(entries, &error);
    if (folder.empty()) {
      std::fprintf(stderr, "vaultrix-bench-vault: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s\n", folder.c_str());
  }
  return 0;
}
