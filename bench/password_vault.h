// The vault the password browser is measured on: `entries` password
// entries, half of them the first user's (a user who needs no password, so
// the toolbar's "User #1" logs in at once) and the other half shared by nine
// users with passwords, four of them before and five after him in name
// order. His entries' owner is written in three letter cases, as lists
// typed over the years are.
//
// Writing 200,000 entries and building their keys takes about a minute, so
// each size is built once into a cache folder that later runs reuse:
// $VAULTRIX_BENCH_VAULTS, default $TMPDIR/vaultrix-bench-vaults (/tmp when
// TMPDIR is unset), one folder "passwords-N" per size. Measured runs work on
// a copy (CopyPasswordVault), so the cached vault never changes.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "app/dictionary/data_dictionary.h"
#include "app/program/runtime_startup.h"
#include "app/services/open_data_file.h"
#include "bench/hvn_load.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"

namespace vaultrix::bench {

inline constexpr const char* kVaultOwner = "Kim";
inline constexpr const char* kVaultOthers[] = {"Amy", "Ben", "Cal", "Dan", "Sam",
                                               "Tom", "Uma", "Val", "Wes"};
inline constexpr const char* kVaultFiles[] = {"Vtrix_P.HVN", "Vtrix_U.HVN"};

inline std::string VaultCacheFolder() {
  if (const char* set = ::getenv("VAULTRIX_BENCH_VAULTS"); set != nullptr && *set != '\0') {
    return set;
  }
  const char* tmp = ::getenv("TMPDIR");
  return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vaultrix-bench-vaults";
}

namespace vault_detail {

inline std::string RandomText(std::mt19937& random, int length) {
  std::string text;
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + random() % 26));
  return text;
}

inline std::string OwnerOf(int i) {
  if (i % 2 == 0) {
    return kVaultOthers[(i / 2) % std::size(kVaultOthers)];
  }
  static const char* const kCases[] = {"Kim", "KIM", "kim"};
  return kCases[(i / 2) % 3];
}

// Writes the users file and the entries into the current directory, where
// the runtime has been started.
inline bool WriteVault(int entries) {
  app::OpenDataFile(app::Users());
  for (int u = -1; u < static_cast<int>(std::size(kVaultOthers)); ++u) {
    app::U_ = app::UserRecord{};
    app::U_.Name = u < 0 ? kVaultOwner : kVaultOthers[u];
    app::U_.Password = u < 0 ? "Not Required" : "pw";
    files::Add(app::Users().Block());
  }
  const bool users = support::ErrorCode() == 0;
  files::Close(app::Users().Block());
  files::FileBlock& block = app::Passwords().Block();
  files::Create(block);
  std::mt19937 random(11);
  const bool loaded = LoadHvnRecords(kVaultFiles[0], std::string(block.owner.View()), entries,
                                     sizeof(app::PasswordRecord), [&](int i, std::uint8_t* record) {
                                       app::PasswordRecord entry;
                                       entry.User = OwnerOf(i);
                                       entry.Service = RandomText(random, 12);
                                       entry.URL = "https://" + RandomText(random, 16);
                                       entry.Name = RandomText(random, 8);
                                       entry.Password = RandomText(random, 10);
                                       std::memcpy(record, &entry, sizeof entry);
                                     });
  files::Open(block, 0x42);
  (void)files::Send(block, "FULLBUILD=ON");
  files::Build(block);
  const bool built = support::ErrorCode() == 0;
  files::Close(block);
  return users && loaded && built;
}

}  // namespace vault_detail

// The cached vault's folder for `entries`, built first when missing; "" when
// it could not be built (*error says why). Leaves the current directory
// where it was.
inline std::string CachedPasswordVault(int entries, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(VaultCacheFolder()) / ("passwords-" + std::to_string(entries));
  std::error_code failed;
  if (fs::exists(folder / kVaultFiles[0], failed)) return folder.string();
  // Built aside and renamed into place, so that a run stopped half-way (or a
  // second run building at once) never leaves a partial vault in the cache.
  const fs::path building = folder.string() + ".building-" + std::to_string(::getpid());
  const fs::path previous = fs::current_path();
  fs::remove_all(building, failed);
  const app::StartupResult started = app::StartRuntime(building.string());
  bool written = false;
  if (started.ok) {
    app::UseDataDriver(&files::HalverinDriver());
    written = vault_detail::WriteVault(entries);
    app::UseDataDriver(nullptr);
  }
  fs::current_path(previous, failed);
  if (!started.ok || !written) {
    *error = started.ok ? "writing the vault failed" : started.error;
    fs::remove_all(building, failed);
    return "";
  }
  fs::rename(building, folder, failed);
  fs::remove_all(building, failed);  // another run's vault got there first
  if (!fs::exists(folder / kVaultFiles[0], failed)) {
    *error = "cannot place the vault in " + folder.string();
    return "";
  }
  return folder.string();
}

// Copies the vault's files from the cache into a data directory (mode 0600).
inline bool CopyPasswordVault(const std::string& cached, const std::string& data_dir,
                              std::string* error) {
  namespace fs = std::filesystem;
  std::error_code failed;
  fs::create_directories(data_dir, failed);
  fs::permissions(data_dir, fs::perms::owner_all, failed);
  for (const char* name : kVaultFiles) {
    const fs::path to = fs::path(data_dir) / name;
    fs::copy_file(fs::path(cached) / name, to, fs::copy_options::overwrite_existing, failed);
    if (failed) {
      *error = "cannot copy " + std::string(name) + ": " + failed.message();
      return false;
    }
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, failed);
  }
  return true;
}

}  // namespace vaultrix::bench
